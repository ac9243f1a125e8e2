"""What a modder who points tryster-cli at the wrong file is told: the file,
what was expected, what was found, then the library's code; with --json,
the same as an "error" object on standard output. A container cut short
is damaged, not empty: a warning, and a failure when nothing could be read.

    check_plain_errors.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import random
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "resfile"))
import containers  # noqa: E402
from cli_checks import check, finish, run  # noqa: E402


def refused(args, file, found, code):
    """Runs a command that must fail and checks its line on standard error."""
    result = run(*args, expect_ok=False)
    line = result.stderr.decode(errors="replace")
    check(result.returncode == 1 and line.startswith("tryster-cli: %s: expected " % file) and
          ("; found " + found) in line and line.rstrip().endswith(code),
          "%s: names the file, what it found (%s) and %s: %s" % (" ".join(args), found, code, line))
    return result


def main():
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        character = os.path.join(game, "UserData", "Characters", "User00001.iff")
        data = open(character, "rb").read()

        def write(name, content):
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(content)
            return path

        # A text file, with and without an extension, is no resource directory.
        for name in ("notes.txt", "notes"):
            path = write(name, b"hello\n")
            refused(["iff", "list", path], path, '6 bytes of text: "hello"', "(kShortRead (-48))")
        rng = random.Random(26)
        noise = write("noise.iff", bytes(rng.randrange(256) for _ in range(5000)))
        refused(["iff", "list", noise], noise, "5000 bytes that do not start as a container does",
                "(kBadHeader (-93))")

        # A folder where the neighbourhood file belongs, also as JSON.
        folder = os.path.join(game, "UserData")
        refused(["townie", "list", folder], folder, "a folder", "; found a folder")
        out = json.loads(run("townie", "list", folder, "--json", expect_ok=False).stdout)
        check(out["error"]["file"] == folder and out["error"]["found"] == "a folder" and out["error"]["code"] is None,
              "townie list --json of a folder: %s" % out)

        # Cut to 100 bytes: damaged, nothing readable, so a failure.
        cut = write("cut.iff", data[:100])
        result = refused(["iff", "list", cut], cut, "it damaged: only 36 bytes at offset 64", "(kShortRead (-48))")
        check(result.stdout == b"format 2.5\n", "the listing still shows the format: %r" % result.stdout)
        listed = json.loads(run("iff", "list", cut, "--json", expect_ok=False).stdout)
        check(listed["format"] == "2.5" and listed["types"] == [] and listed["error"]["code"] == -48 and
              listed["error"]["codeName"] == "kShortRead", "iff list --json keeps its keys and adds the error: %s"
              % listed)
        refused(["character", "show", cut], cut, "it damaged", "(kShortRead (-48))")

        # Cut a few bytes after a chunk: what can be read is listed, with a warning.
        chunks = containers.walk(data, 76)
        boundary = chunks[len(chunks) // 2][0]
        partly = write("partly.iff", data[:boundary + 10])
        result = run("iff", "list", partly)
        check(b"tryster-cli: warning: %s: expected its chunks to end with the file" % partly.encode() in result.stderr
              and b"id=" in result.stdout, "a partly readable file is listed with a warning: %s" % result.stderr)
    sys.exit(finish())


main()

"""Sharing at the edges, where players and scripts live: packs made with
the usual tools (GNU tar from inside the folder, Info-ZIP of the folder
itself), the reader pointed at a pipe, a damaged journal set aside only
when asked, arguments that are wrong before anything is done, and a date
file name the game's platform keeps for a device.

    check_share_edges.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from cli_checks import CLI, check, finish, run  # noqa: E402


def main():
    with tempfile.TemporaryDirectory() as work:
        source, game = os.path.join(work, "source"), os.path.join(work, "game")
        run("demo-world", source)
        run("demo-world", game)
        os.remove(os.path.join(game, "TemplateNPCs", "Date_Rosa.iff"))
        pack = os.path.join(work, "Date_Rosa.zip")
        run("date", "pack", "Date_Rosa", "--game", source, "--out", pack)
        unpacked = os.path.join(work, "Rosa")
        zipfile.ZipFile(pack).extractall(unpacked)

        # The ways players pack a folder.
        made = {
            "tar -czf x.tar.gz -C folder .": (["tar", "-czf", "dot.tar.gz", "-C", unpacked, "."], "dot.tar.gz"),
            "zip -r x.zip folder": (["zip", "-qr", "folder.zip", "Rosa"], "folder.zip"),
        }
        for what, (command, name) in made.items():
            if not shutil.which(command[0]):
                continue
            subprocess.run(command, cwd=work, check=True)
            result = run("date", "install", os.path.join(work, name), "--game", game, "--dry-run", "--json",
                         expect_ok=False)
            check(result.returncode == 0 and b'"Rosa Marsh"' in result.stdout, "%s installs: %s" % (what, result.stderr))

        # A pipe is refused at once, not waited on.
        pipe = os.path.join(work, "pipe.zip")
        os.mkfifo(pipe)
        try:
            result = subprocess.run([CLI, "date", "install", pipe, "--game", game], capture_output=True, timeout=60)
            check(result.returncode == 1 and b"pipe" in result.stderr, "a pipe: %s" % result.stderr)
        except subprocess.TimeoutExpired:
            check(False, "a pipe given as the pack is waited on")

        # Wrong before anything is done: the one line, nothing else.
        for args, said in ((["date", "uninstall", "", "--game", game], b"no date was named"),
                           (["date", "uninstall", "Rosa", "--game", work], b"is not the game's folder"),
                           (["date", "install", pack, "--game", work], b"is not the game's folder")):
            result = run(*args, expect_ok=False)
            check(result.returncode == 1 and result.stdout == b"" and result.stderr.count(b"\n") == 1 and
                  said in result.stderr, "%s: %s %s" % (args, result.stdout, result.stderr))

        # A damaged journal: explained, with what it names; set aside, kept,
        # only with the flag.
        journal = os.path.join(game, "TrysterLedger.journal.json")
        damaged = b'{"format": "tryster-ledger-journal", "record": {"files": [{"path": "GameData\\\\Skins\\\\x.bmp"'
        with open(journal, "wb") as f:
            f.write(damaged)
        blocked = run("date", "install", pack, "--game", game, "--json", expect_ok=False)
        document = json.loads(blocked.stdout)
        check(blocked.returncode == 1 and document["journal"]["names"] == ["GameData\\Skins\\x.bmp"] and
              "--set-aside-journal" in document["error"]["message"], "blocked by the journal: %s" % document)
        check(open(journal, "rb").read() == damaged, "the journal is left as it was")
        run("date", "install", pack, "--game", game, "--set-aside-journal", expect_ok=False)
        check(not os.path.exists(journal) and
              open(os.path.join(game, "TrysterLedger.journal.damaged.json"), "rb").read() == damaged,
              "set aside and kept")
        check(os.path.exists(os.path.join(game, "TemplateNPCs", "Date_Rosa.iff")), "then installed")

        # A new date's file name that is a device on the game's platform.
        result = run("date", "create", "--game", game, "--character", os.path.join(HERE, "data", "bob.json"),
                     "--out", os.path.join(game, "TemplateNPCs", "nul.srf"), expect_ok=False)
        check(result.returncode == 1 and b"NUL is the name of a device" in result.stderr and
              not os.path.exists(os.path.join(game, "TemplateNPCs", "nul.iff")), "nul.srf: %s" % result.stderr)
    sys.exit(finish())


main()

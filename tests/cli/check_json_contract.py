"""--json is a contract: every command that takes it prints exactly one JSON
document on standard output, whatever happens, for scripts to parse. Each
command runs here as a script would run it: on good input, on a file that
is missing or is not what it should be, on names whose bytes are not UTF-8
(escaped as \\xNN, never a reason to stop) and on game text beyond ASCII
(converted from the game's code page). A failure exits with 1 and carries
an "error" object with a message.

    check_json_contract.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from cli_checks import check, finish, run  # noqa: E402

ZOE = "Zo\u00eb"  # "Zoë", a name of the game's European editions
LATIN1 = b"Zo\xeb"  # the same in a file name made by another system: not UTF-8


def one_document(args, ok):
    """Runs a command with --json; its standard output must be one document,
    and a failure an error object in it. Returns the document."""
    result = run(*args, "--json", expect_ok=False)
    shown = b" ".join(a if isinstance(a, bytes) else a.encode() for a in args).decode(errors="backslashreplace")
    try:
        document = json.loads(result.stdout)
    except ValueError as e:
        check(False, "%s: not one JSON document (%s): %r" % (shown, e, result.stdout[:300]))
        return None
    check(result.returncode == (0 if ok else 1), "%s: exit status %d" % (shown, result.returncode))
    if not ok:
        error = document.get("error") if isinstance(document, dict) else None
        check(isinstance(error, dict) and isinstance(error.get("message"), str) and error["message"],
              "%s: an error object with a message: %s" % (shown, document))
    check(b"unexpected failure" not in result.stderr, "%s: %s" % (shown, result.stderr))
    return document


def main():
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        os.chdir(work)
        dates = os.path.join(game, "TemplateNPCs")
        neighborhood = os.path.join(game, "UserData", "Neighborhood.iff")
        character = os.path.join(game, "UserData", "Characters", "User00001.iff")
        missing = os.path.join(work.encode(), LATIN1 + b".iff")
        odd = os.path.join(work.encode(), b"odd\x9b.iff")
        with open(odd, "wb") as f:
            f.write(b"not a container \x9b\xff\n")
        description = os.path.join(work, "bob.json")
        shutil.copy(os.path.join(HERE, "data", "bob.json"), description)

        # A date named in the game's code page: "Zoë", the byte 0xEB.
        with open(description) as f:
            bob = json.load(f)
        bob["name"] = ZOE + " Quill"
        with open(os.path.join(work, "zoe.json"), "w", encoding="utf-8") as f:
            json.dump(bob, f, ensure_ascii=False)
        run("date", "create", "--game", game, "--character", "zoe.json", "--out",
            os.path.join(dates, "Quill.srf"))
        # The date again under a file name that is not UTF-8.
        oddly_named = os.path.join(dates.encode(), LATIN1 + b".iff")
        shutil.copy(os.path.join(dates, "Quill.iff"), oddly_named)

        pose = ["--game", game, "--skeleton", "adult", "--times", "0"]
        commands = [
            # (arguments of a good run, of failing runs)
            (["record", description], [["record", missing], ["record", odd]]),
            (["iff", "list", neighborhood], [["iff", "list", missing], ["iff", "list", odd]]),
            (["iff", "strings", os.path.join(dates, "Quill.iff"), "2000", "--type", "CTSS"], [["iff", "strings", odd, "2000"]]),
            (["anim", "scan", "--game", game], [["anim", "scan", "--game", missing]]),
            (["anim", "frames", "--game", game, "--anim", "a2o-heyyou1"],
             [["anim", "frames", "--game", game, "--anim", LATIN1]]),
            (["anim", "pose", *pose], [["anim", "pose", "--game", game, "--skeleton", LATIN1, "--times", "0"]]),
            (["anim", "skin", *pose], [["anim", "skin", "--game", missing, "--skeleton", "adult", "--times", "0"]]),
            (["catalog", "--game", game, "--gender", "female", "--body-type", "0", "--skin-tone", "1"],
             [["catalog", "--game", missing, "--gender", "female", "--body-type", "0", "--skin-tone", "1"]]),
            (["townie", "list", neighborhood], [["townie", "list", missing], ["townie", "list", odd]]),
            (["townie", "dates", "--game", game], [["townie", "dates", "--game", missing]]),
            (["character", "show", character], [["character", "show", missing], ["character", "show", odd]]),
            (["date", "show", os.path.join(dates, "Quill.iff")], [["date", "show", missing], ["date", "show", odd]]),
            (None,
             [["date", "uninstall", "Nobody", "--game", game], ["date", "uninstall", "", "--game", game],
              ["date", "uninstall", LATIN1, "--game", missing]]),
            (None, [["date", "install", missing, "--game", game], ["date", "install", odd, "--game", game],
                    ["date", "install", odd, "--game", work], ["date", "install", "--bogus", odd]]),
        ]
        for good, failing in commands:
            if good:
                one_document(good, True)
            for args in failing:
                one_document(args, False)

        # Bytes that are not UTF-8 are escaped, and the real reason is kept.
        refused = one_document(["character", "show", missing], False)
        if refused:
            check("Zo\\xEB.iff" in refused["error"]["message"], "escaped: %s" % refused["error"])
        shown = one_document(["date", "show", oddly_named], True)
        if shown:
            check(shown["file"].endswith("Zo\\xEB.iff"), "the odd name escaped: %s" % shown["file"])
        # Game text is converted from its code page.
        dates_json = one_document(["townie", "dates", "--game", game], True)
        if dates_json:
            check(any(d["name"] == ZOE + " Quill" for d in dates_json), "the name converted: %s" % dates_json)
        shown = one_document(["date", "show", os.path.join(dates, "Quill.iff")], True)
        if shown:
            check(shown["catalog"]["name"] == ZOE + " Quill", "date show converts: %s" % shown["catalog"])

        # The shared dates' commands, on a pack with an odd name: one
        # document with the date as the date itself says.
        pack = os.path.join(work.encode(), LATIN1 + b"\x9b.zip")
        run("date", "pack", "Quill", "--game", game, "--out", pack)
        other = os.path.join(work, "other")
        run("demo-world", other)
        plan = one_document(["date", "install", pack, "--game", other, "--dry-run"], True)
        if plan:
            check(plan["pack"].endswith("Zo\\xEB\\x9B.zip") and plan["date"]["name"] == ZOE + " Quill"
                  and plan["date"]["age"] == "Adult" and plan["date"]["manifestDiffers"] == [],
                  "the plan of an oddly named pack: %s" % {k: plan[k] for k in ("pack", "date")})
        installed = one_document(["date", "install", pack, "--game", other], True)
        check(installed and installed["installed"] is True, "installed: %s" % installed)
        again = one_document(["date", "install", pack, "--game", other], False)
        check(again and "already installed" in again["error"]["message"] and "files" in again,
              "a second install: the plan and its error in one document: %s" % again)
        removed = one_document(["date", "uninstall", ZOE + " Quill", "--game", other], True)
        check(removed and removed["date"] == "Quill", "uninstalled by the character's name: %s" % removed)
    sys.exit(finish())


main()

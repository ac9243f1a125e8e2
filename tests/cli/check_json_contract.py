"""--json is a contract: every command that takes it prints one JSON
document on standard output, whatever happens. Each runs as a script would:
on good input, on a missing or wrong file, on names whose bytes are not
UTF-8 (escaped as \\xNN) and on game text beyond ASCII (converted from the
game's code page). A failure exits with 1 and has an "error" object.

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

ZOE = "Zo\u00eb Quill"
LATIN1 = b"Zo\xeb"  # a file name made by another system: not UTF-8


def one_document(args, ok, help=False):
    """Runs a command with --json and returns its one document; help asked
    for so is one document too, its text under "help"."""
    result = run(*args, "--json", expect_ok=False)
    shown = repr(args)
    try:
        document = json.loads(result.stdout)
    except ValueError as e:
        check(False, "%s: not one JSON document (%s): %r" % (shown, e, result.stdout[:300]))
        return {}
    check(result.returncode == (0 if ok else 1) and b"unexpected failure" not in result.stderr,
          "%s: exit status %d: %s" % (shown, result.returncode, result.stderr))
    check(ok or document.get("error", {}).get("message"), "%s: an error with a message: %s" % (shown, document))
    check(not help or "Usage" in document.get("help", ""), "%s: help: %s" % (shown, document))
    return document


def main():
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        os.chdir(work)
        dates = os.path.join(game, "TemplateNPCs")
        neighborhood = os.path.join(game, "UserData", "Neighborhood.iff")
        missing = os.path.join(work.encode(), LATIN1 + b".iff")
        odd = os.path.join(work.encode(), b"odd\x9b.iff")
        with open(odd, "wb") as f:
            f.write(b"not a container \x9b\xff\n")
        # A date named "Zoë Quill" (the byte 0xEB in the game's files), also
        # under a file name that is not UTF-8.
        with open(os.path.join(HERE, "data", "bob.json")) as f:
            bob = json.load(f)
        bob["name"] = ZOE
        with open("zoe.json", "w", encoding="utf-8") as f:
            json.dump(bob, f)
        run("date", "create", "--game", game, "--character", "zoe.json", "--out", os.path.join(dates, "Quill.srf"))
        quill = os.path.join(dates, "Quill.iff")
        oddly_named = os.path.join(dates.encode(), LATIN1 + b".iff")
        shutil.copy(quill, oddly_named)

        # A game folder whose history someone damaged.
        damaged = os.path.join(work, "damaged")
        run("demo-world", damaged)
        with open(os.path.join(damaged, "TrysterLedger.json"), "w") as f:
            f.write('{"version": 2, "entries": [{"id": 1, "kind"')

        pose = ["--game", game, "--skeleton", "adult", "--times", "0"]
        catalog = ["--gender", "female", "--body-type", "0", "--skin-tone", "1"]
        commands = [  # a good run, then failing ones
            (["record", "zoe.json"], [["record", missing], ["record", odd]]),
            (["iff", "list", neighborhood], [["iff", "list", missing], ["iff", "list", odd]]),
            (["iff", "strings", quill, "2000", "--type", "CTSS"], [["iff", "strings", odd, "2000"]]),
            (["anim", "scan", "--game", game], [["anim", "scan", "--game", missing]]),
            (["anim", "frames", "--game", game, "--anim", "a2o-heyyou1"],
             [["anim", "frames", "--game", game, "--anim", LATIN1]]),
            (["anim", "pose", *pose], [["anim", "pose", "--game", game, "--skeleton", LATIN1, "--times", "0"]]),
            (["anim", "skin", *pose], [["anim", "skin", "--game", missing, "--skeleton", "adult", "--times", "0"]]),
            (["catalog", "--game", game, *catalog], [["catalog", "--game", missing, *catalog]]),
            (["townie", "list", neighborhood], [["townie", "list", missing], ["townie", "list", odd]]),
            (["townie", "dates", "--game", game], [["townie", "dates", "--game", missing]]),
            (["character", "show", quill], [["character", "show", missing], ["character", "show", odd]]),
            (["date", "show", quill], [["date", "show", missing], ["date", "show", odd]]),
            (["history", "--game", game], [["history", "--game", missing], ["history", "--game", damaged],
                                           ["history", "undo", "99", "--game", game],
                                           ["history", "undo", "x", "--game", game],
                                           ["history", "undo", "1", "--game", damaged, "--keep-current"],
                                           ["history", "forget", "99", "--game", game, "--dry-run"],
                                           ["history", "forget", "1", "--game", missing]]),
            (None, [["date", "uninstall", "Nobody", "--game", game], ["date", "uninstall", "", "--game", game],
                    ["date", "uninstall", LATIN1, "--game", missing]]),
            (None, [["date", "install", missing, "--game", game], ["date", "install", odd, "--game", game],
                    ["date", "install", odd, "--game", work], ["date", "install", "--bogus", odd]]),
        ]
        for args in (["--help"], ["date", "install", "--help"], ["--help-all"]):
            one_document(args, True, help=True)
        for good, failing in commands:
            if good:
                one_document(good, True)
            for args in failing:
                one_document(args, False)

        refused = one_document(["character", "show", missing], False)
        check("Zo\\xEB.iff" in refused.get("error", {}).get("message", ""), "escaped, the reason kept: %s" % refused)
        check(one_document(["date", "show", oddly_named], True).get("file", "").endswith("Zo\\xEB.iff"), "escaped")
        check(ZOE in [d["name"] for d in one_document(["townie", "dates", "--game", game], True)], "converted")
        check(one_document(["date", "show", quill], True).get("catalog", {}).get("name") == ZOE, "converted")

        # A pack with an odd file name, installed, refused again, uninstalled.
        pack = os.path.join(work.encode(), LATIN1 + b"\x9b.zip")
        run("date", "pack", "Quill", "--game", game, "--out", pack)
        other = os.path.join(work, "other")
        run("demo-world", other)
        plan = one_document(["date", "install", pack, "--game", other, "--dry-run"], True)
        check(plan.get("pack", "").endswith("Zo\\xEB\\x9B.zip") and
              plan.get("date", {}).get("name") == ZOE and plan["date"]["manifestDiffers"] == [], "plan: %s" % plan)
        check(one_document(["date", "install", pack, "--game", other], True).get("installed") is True, "installed")
        again = one_document(["date", "install", pack, "--game", other], False)
        check("already installed" in again.get("error", {}).get("message", "") and "files" in again,
              "the plan and its error in one document: %s" % again)
        check(one_document(["date", "uninstall", ZOE, "--game", other], True).get("date") == "Quill", "uninstalled")
    sys.exit(finish())


main()

"""A date shared through tryster-cli from one demo game folder to another:
`date pack`, then `date install --dry-run --json` (what it would write and
every conflict, nothing written), `date install`, `date uninstall --json`
(each step it took), which leaves the second folder as it began. An empty
name and a folder that is not the game's are refused before anything else is
said. A damaged journal is set aside only with --set-aside-journal, and a new
date may not be named after a device of the game's platform.

    check_date_share.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from cli_checks import check, finish, run, tree  # noqa: E402


def main():
    with tempfile.TemporaryDirectory() as work:
        source, game = os.path.join(work, "source"), os.path.join(work, "game")
        run("demo-world", source)
        run("demo-world", game)
        skins = os.path.join(game, "GameData", "Skins")
        os.remove(os.path.join(game, "TemplateNPCs", "Date_Rosa.iff"))
        os.remove(os.path.join(skins, "C021famed_blnd.bmp"))
        with open(os.path.join(skins, "c021fa_long.cmx"), "w") as f:
            f.write("the player's own\n")

        pack = os.path.join(work, "Date_Rosa.zip")
        run("date", "pack", "Date_Rosa", "--game", source, "--out", pack)
        names = zipfile.ZipFile(pack).namelist()
        check(names[:2] == ["manifest.json", "TemplateNPCs/Date_Rosa.iff"], "the pack starts %s" % names[:2])
        check("GameData/Skins/xskin-b006fafit_01-BODY.skn" in names, "the pack carries the body mesh")

        before = tree(game)
        plan = json.loads(run("date", "install", pack, "--game", game, "--dry-run", "--json").stdout)
        check(plan["date"]["name"] == "Rosa Marsh" and plan["date"]["gender"] == "Female", "the date: %s" % plan["date"])
        actions = {f["path"]: f["action"] for f in plan["files"]}
        check(actions.get("GameData\\Skins\\C021famed_blnd.bmp") == "write", "the missing texture is written")
        check(actions.get("GameData\\Skins\\b006fafit_01.cmx") == "skip", "an equal skin is skipped")
        check(plan["conflicts"] == [{"path": "GameData\\Skins\\c021fa_long.cmx", "resolution": "keep"}],
              "one conflict, the player's file kept: %s" % plan["conflicts"])
        check(plan["dryRun"] is True and tree(game) == before, "a dry run writes nothing")

        run("date", "install", pack, "--game", game)
        after = tree(game)
        with open(os.path.join(source, "TemplateNPCs", "Date_Rosa.iff"), "rb") as f:
            check(after.get(os.path.join("TemplateNPCs", "Date_Rosa.iff")) == f.read(), "the date arrives whole")
        check(after[os.path.join("GameData", "Skins", "c021fa_long.cmx")] == b"the player's own\n",
              "the player's skin is kept")
        again = run("date", "install", pack, "--game", game, expect_ok=False)
        check(again.returncode == 1 and b"already installed" in again.stderr, "a second install is refused")

        done = json.loads(run("date", "uninstall", "Rosa Marsh", "--game", game, "--json").stdout)
        check({"path": "TemplateNPCs\\Date_Rosa.iff", "action": "remove"} in done["steps"],
              "the uninstall names its steps: %s" % done.get("steps"))
        # The history stays: it lists the install and its undo.
        check(tree(game, ("TrysterLedger.json",)) == before,
              "the uninstall leaves the folder as it began, its history aside")

        for args, said in ((["date", "uninstall", "", "--game", game], b"no date was named"),
                           (["date", "install", pack, "--game", work], b"is not the game's folder")):
            result = run(*args, expect_ok=False)
            check(result.stdout == b"" and result.stderr.count(b"\n") == 1 and said in result.stderr,
                  "%s: %s" % (args, result.stderr))

        journal = os.path.join(game, "TrysterLedger.journal.json")
        with open(journal, "w") as f:
            f.write('{"record": {"files": [{"path": "GameData\\\\Skins\\\\x.bmp"')
        blocked = json.loads(run("date", "install", pack, "--game", game, "--json", expect_ok=False).stdout)
        check(blocked["journal"]["names"] == ["GameData\\Skins\\x.bmp"] and
              "--set-aside-journal" in blocked["error"]["message"], "blocked by the journal: %s" % blocked)
        run("date", "install", pack, "--game", game, "--set-aside-journal")
        check(not os.path.exists(journal) and os.path.exists(os.path.join(game, "TrysterLedger.journal.damaged.json")),
              "the journal set aside and kept")

        result = run("date", "create", "--game", game, "--character", os.path.join(HERE, "data", "bob.json"),
                     "--out", os.path.join(game, "TemplateNPCs", "nul.srf"), expect_ok=False)
        check(b"NUL is the name of a device" in result.stderr and
              not os.path.exists(os.path.join(game, "TemplateNPCs", "nul.iff")), "nul.srf: %s" % result.stderr)
    sys.exit(finish())


main()

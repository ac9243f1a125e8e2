"""A date shared through tryster-cli from one demo game folder to another:
`date pack`, then `date install --dry-run --json` (what it would write and
every conflict, nothing written), `date install`, `date uninstall --json`
(each step it took), which leaves the second folder as it began. A pack with a link in it is refused
with exit status 1 and nothing written.

    check_date_share.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import sys
import tarfile
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from cli_checks import check, finish, run  # noqa: E402


def tree(folder):
    """Every file under the folder and its bytes."""
    out = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                out[os.path.relpath(path, folder)] = f.read()
    return out


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
        check(tree(game) == before, "the uninstall leaves the folder as it began")

        hostile = os.path.join(work, "hostile.tar")
        with tarfile.open(hostile, "w") as t:
            t.add(pack, arcname="manifest.json")
            link = tarfile.TarInfo("GameData/Skins/x.bmp")
            link.type, link.linkname = tarfile.SYMTYPE, "/etc/passwd"
            t.addfile(link)
        refused = run("date", "install", hostile, "--game", game, expect_ok=False)
        check(refused.returncode == 1 and b"is a link" in refused.stderr and b"nothing was written" in refused.stderr,
              "a link is refused: %s" % refused.stderr.decode().strip())
        check(tree(game) == before, "a refused pack writes nothing")
    sys.exit(finish())


main()

"""The history through tryster-cli on the demo game folder. Each kind of
change (a new date, a townie replaced, a character restyled, a shared date
installed) is made and undone, which leaves the folder byte for byte as it
began, its history aside; the history lists the change and its undo. A dry
run writes nothing; a second undo is refused. Forgetting keeps the game as
it is and deletes only the backup that change needed. Two copies working on
one folder at once: one waits for the other's lock and no record is lost;
one that cannot have the lock in time refuses and writes nothing.

    check_history.py PATH-TO-TRYSTER-CLI
"""

import fcntl
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from cli_checks import CLI, check, finish, run, tree as whole_tree  # noqa: E402

HISTORY = "TrysterLedger.json"
BOB = os.path.join(HERE, "data", "bob.json")


def tree(folder):
    return whole_tree(folder, (HISTORY,))  # the history aside


def changes(game):
    return json.loads(run("history", "--game", game, "--json").stdout)["changes"]


def json_run(*args, ok=True):
    result = run(*args, "--json", expect_ok=False)
    check(result.returncode == (0 if ok else 1), "%r: exit %d %s" % (args, result.returncode, result.stderr))
    return json.loads(result.stdout)


def main():
    with tempfile.TemporaryDirectory() as work:
        demo, source = os.path.join(work, "demo"), os.path.join(work, "source")
        run("demo-world", demo)
        run("demo-world", source)
        run("date", "create", "--game", source, "--character", BOB,
            "--out", os.path.join(source, "TemplateNPCs", "Bob.srf"))
        pack = os.path.join(work, "Bob.zip")
        run("date", "pack", "Bob", "--game", source, "--out", pack)

        def game_with(name):
            game = os.path.join(work, name)
            shutil.copytree(demo, game)
            return game

        kinds = [  # kind, what, how it is made on a folder
            ("new-date", "New date", lambda g: run("date", "create", "--game", g, "--character", BOB,
                                                   "--out", os.path.join(g, "TemplateNPCs", "Bob.srf"))),
            ("townie-replaced", "Townie replaced",
             lambda g: run("townie", "replace", os.path.join(g, "UserData", "Neighborhood.iff"), "User00001.iff",
                           os.path.join(g, "TemplateNPCs", "Date_Rosa.iff"))),
            ("restyled", "Restyled",
             lambda g: run("character", "save-back", os.path.join(g, "UserData", "Characters", "User00002.iff"),
                           "--body-mesh", "b006fafit_01", "--body-texture", "B006FAFitmed_dots",
                           "--head-mesh", "c022fa_bob", "--head-texture", "C022famed_red",
                           "--skin-tone", "1", "--body-type", "0")),
            ("installed", "Shared date installed", lambda g: run("date", "install", pack, "--game", g)),
        ]
        for kind, what, make in kinds:
            game = game_with(kind)
            before = tree(game)
            make(game)
            check(tree(game) != before, "%s: the change wrote something" % kind)
            listed = changes(game)
            check(len(listed) == 1 and listed[0]["kind"] == kind and listed[0]["undoable"], "%s: %s" % (kind, listed))
            change = str(listed[0]["id"])
            made = tree(game)
            plan = json_run("history", "undo", change, "--game", game, "--dry-run")
            check(plan.get("dryRun") is True and plan.get("steps") and tree(game) == made,
                  "%s: a dry run names its steps and writes nothing: %s" % (kind, plan))
            done = json_run("history", "undo", change, "--game", game)
            check(done.get("undone") is True, "%s: undone: %s" % (kind, done))
            check(tree(game) == before, "%s: the undo leaves the folder as it began, its history aside" % kind)
            listed = changes(game)
            check([c["what"] for c in listed] == ["Undone: %s" % what, what] and not listed[1]["undoable"],
                  "%s: the change and its undo listed newest first: %s" % (kind, listed))
            again = json_run("history", "undo", change, "--game", game, ok=False)
            check("was undone by the change" in again.get("error", {}).get("message", "") and tree(game) == before,
                  "%s: a second undo is refused, nothing touched: %s" % (kind, again))

        # A folder the previous version changed: its ledger of installs is
        # read, taken back by `date uninstall`, and written anew.
        game = game_with("previous")
        before = tree(game)
        kinds[3][2](game)
        change = changes(game)[0]
        files = [{k: v for k, v in f.items() if k in ("path", "role", "sha256")} for f in change["files"]]
        with open(os.path.join(game, HISTORY), "w") as f:
            json.dump({"format": "tryster-ledger", "version": 1, "installs": [
                {"date": change["date"], "name": change["name"], "pack": change["pack"], "files": files}]}, f)
        check(changes(game)[0]["files"] == change["files"], "the previous version's ledger read")
        run("date", "uninstall", "Bob", "--game", game)
        with open(os.path.join(game, HISTORY)) as f:
            check(json.load(f).get("version") == 2, "written anew on the first change")
        check(tree(game) == before, "an install of the previous version taken back byte for byte")

        # Forget: the game stays replaced, the backup goes, undo is refused.
        game = game_with("forget")
        kinds[1][2](game)
        backup = os.path.join("UserData", "Characters", "User00001.iff.bak")
        made = tree(game)
        plan = json_run("history", "forget", "1", "--game", game, "--dry-run")
        check(plan.get("backups") == ["UserData\\Characters\\User00001.iff.bak"] and plan.get("bytes", 0) > 0
              and tree(game) == made, "forget names the backup it deletes and writes nothing: %s" % plan)
        done = json_run("history", "forget", "1", "--game", game)
        made.pop(backup)
        check(done.get("forgotten") is True and tree(game) == made, "only the backup is deleted: %s" % done)
        listed = changes(game)
        check(listed[0]["state"] == "forgotten" and not listed[0]["undoable"], "listed as forgotten: %s" % listed)
        shown = run("history", "--game", game).stdout.decode(errors="replace")
        check("[forgotten]" in shown and shown.count("[") == 1, "and so in the text: %r" % shown)
        json_run("history", "undo", "1", "--game", game, ok=False)
        check(tree(game) == made, "a forgotten change is not undone")

        # Two copies at once: four new dates written side by side are all
        # recorded, each with its files.
        game = game_with("together")
        names = ["Ann", "Bea", "Cat", "Dot"]
        with open(BOB) as f:
            bob = json.load(f)
        for name in names:
            bob["name"] = name
            with open(os.path.join(work, name + ".json"), "w") as f:
                json.dump(bob, f)
        runs = [subprocess.Popen([CLI, "date", "create", "--game", game, "--character", os.path.join(work, n + ".json"),
                                  "--out", os.path.join(game, "TemplateNPCs", n + ".srf")],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE) for n in names]
        for p in runs:
            check(p.wait() == 0, "a copy working beside others succeeds: %s" % p.stderr.read())
        listed = changes(game)
        check(sorted(c["name"] for c in listed) == names and sorted(c["id"] for c in listed) == [1, 2, 3, 4],
              "no record lost: %s" % [(c["id"], c["name"]) for c in listed])
        on_disk = tree(game)
        check(all(os.path.join("TemplateNPCs", n + ".iff") in on_disk for n in names), "every date is there")

        # Another copy holds the folder (as the window does while it writes):
        # a change waits for it, or refuses when it is not let go in time.
        lock = os.open(game, os.O_RDONLY | os.O_DIRECTORY)
        fcntl.flock(lock, fcntl.LOCK_EX)
        threading.Timer(1.0, lambda: fcntl.flock(lock, fcntl.LOCK_UN)).start()
        started = time.monotonic()
        done = json_run("history", "undo", "4", "--game", game)
        check(done.get("undone") is True and time.monotonic() - started >= 0.9, "the undo waited its turn: %s" % done)
        fcntl.flock(lock, fcntl.LOCK_EX)
        held = tree(game)
        refused = json_run("history", "undo", "3", "--game", game, ok=False)
        os.close(lock)
        check("another copy of Tryster is changing" in refused.get("error", {}).get("message", "")
              and tree(game) == held and len(changes(game)) == 5,
              "a folder held too long is refused, nothing written: %s" % refused)
    sys.exit(finish())


main()

"""Every file tryster-cli puts in place reaches the disk before it replaces
the old one, as seen by the system itself: traced with strace, each rename
of a command that writes the game's files follows a sync of the file it
moves, and a sync of the target's folder follows it. (That every state a
power cut may leave is safe is tests/cli/PowerCutTest.cpp's job, above the
file-system seam; this shows the seam's syncs are the system's.)

    check_durable_writes.py PATH-TO-TRYSTER-CLI

Exits with 77 (skipped) where strace is missing or cannot trace.
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from cli_checks import CLI, check, finish, run  # noqa: E402

SYNC = re.compile(r'\b(?:fsync|fdatasync)\(\d+<([^>]*)>\)\s*=\s*0')
RENAME = re.compile(r'\brename(?:at2?)?\((?:[A-Z_\d]+, )?"([^"]*)", (?:[A-Z_\d]+, )?"([^"]*)"(?:, \w+)?\)\s*=\s*0')


def traced(work, *args):
    """Runs tryster-cli under strace; the syncs and renames in order, as
    ("sync", path) and ("rename", source, target)."""
    log = os.path.join(work, "strace.log")
    # The leak checker cannot run under a tracer; the other tests run it.
    env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    result = subprocess.run(["strace", "-f", "-y", "-qq", "-o", log, "-e",
                             "trace=fsync,fdatasync,rename,renameat,renameat2", CLI, *args], capture_output=True, env=env)
    if result.returncode != 0:
        raise AssertionError("%s failed: %s" % (" ".join(args), result.stderr.decode(errors="replace")))
    events = []
    for line in open(log, encoding="utf-8", errors="replace"):
        if m := SYNC.search(line):
            events.append(("sync", os.path.realpath(m.group(1))))
        elif m := RENAME.search(line):
            events.append(("rename", os.path.realpath(m.group(1)), os.path.realpath(m.group(2))))
    return events


def check_order(name, events, renames):
    moves = [i for i, e in enumerate(events) if e[0] == "rename"]
    for i in moves:
        _, source, target = events[i]
        check(("sync", source) in events[:i], "%s syncs %s before its rename" % (name, source))
        check(("sync", os.path.dirname(target)) in events[i + 1:], "%s syncs the folder after %s" % (name, target))
    # The game folder's journal and history are put in place the same way,
    # around the change; the count is of the game's own files and backups.
    game_moves = [i for i in moves if not os.path.basename(events[i][2]).startswith("TrysterLedger")]
    check(len(game_moves) == renames, "%s renames %d files: %s" % (name, renames, events))


def main():
    if not shutil.which("strace") or subprocess.run(["strace", "-o", os.devnull, "true"]).returncode != 0:
        print("strace is missing or cannot trace here")
        sys.exit(77)
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        ann = os.path.join(work, "ann.json")
        with open(ann, "w") as f:
            json.dump({"name": "Ann", "gender": "female"}, f)
        dates = os.path.join(game, "TemplateNPCs")
        check_order("date create", traced(work, "date", "create", "--game", game, "--character", ann, "--out",
                                          os.path.join(dates, "Ann.srf")), 4)

        hood = os.path.join(game, "UserData", "Neighborhood.iff")
        check_order("townie replace (the backup, then the townie)", traced(
            work, "townie", "replace", hood, "User00001.iff", os.path.join(dates, "Ann.iff")), 2)

        data = os.path.join(work, "data.bin")
        with open(data, "wb") as f:
            f.write(b"tryster" * 10)
        date = os.path.join(dates, "Date_Rosa.iff")
        check_order("iff put", traced(work, "iff", "put", date, "DATA", "900", "-i", data), 1)
    sys.exit(finish())


main()

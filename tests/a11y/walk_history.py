"""Walks History through the accessibility interface: a date is created, a
townie replaced, a character restyled and a shared date installed, each
finishing message saying it can be undone from History; then the History
page lists the four, newest first, shows each one's character, and undoes
each in turn after its question, until the game folder is byte for byte as
it began (its history aside). Every control and dialog is found by its
name; a screenshot of each step.

    walk_history.py PROGRAM TRYSTER-CLI [SHOTS-FOLDER]

Run inside scripts/desktop-session with Debian's python3.
"""

import filecmp
import json
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_driver import back_to_welcome, run_walk, save_a_date, wait_for  # noqa: E402

NOTE = "can be undone from History"


def told(w, title, what, check):
    box = w.wait_dialog(title, 60)
    check(any(what in t and NOTE in t for t in w.text_in(box)), "%s, and how to undo it: %r" % (what, w.text_in(box)))
    return box


def differing(a, b):
    """Files that differ between two folders, or are in one only."""
    out = []
    for root, _, files in os.walk(a):
        for f in files:
            p = os.path.join(root, f)
            q = os.path.join(b, os.path.relpath(p, a))
            if not os.path.exists(q) or not filecmp.cmp(p, q, shallow=False):
                out.append(os.path.relpath(p, a))
    for root, _, files in os.walk(b):
        for f in files:
            if not os.path.exists(os.path.join(a, os.path.relpath(os.path.join(root, f), b))):
                out.append(os.path.relpath(os.path.join(root, f), b))
    return sorted(out)


def walk(w, check):
    before = os.path.join(w.work, "before")
    shutil.copytree(w.game, before)
    # A friend's date to install, made and packed by the command-line tool.
    friend = os.path.join(w.work, "friend")
    subprocess.run([w.cli, "demo-world", friend], check=True, capture_output=True)
    kit = os.path.join(w.work, "kit.json")
    with open(kit, "w") as f:
        json.dump({"name": "Kit Lowe", "gender": "male"}, f)
    subprocess.run([w.cli, "date", "create", "--game", friend, "--character", kit, "--out",
                    os.path.join(friend, "TemplateNPCs", "Kit.srf")], check=True, capture_output=True)
    pack = os.path.join(w.work, "Kit.zip")
    subprocess.run([w.cli, "date", "pack", "Kit", "--game", friend, "--out", pack], check=True, capture_output=True)
    w.wait_title("Ready!")

    save_a_date(w, "Lena Marsh", "Lena")
    question = told(w, "Tryster Inquery:", "one file to share", check)
    w.press_in(question, "Cancel")
    back_to_welcome(w)

    w.press("Replace")
    w.press_in(w.wait_dialog("Select the neighborhood:"), "Open")
    wait_for(lambda: w.items("Townies"), 20, "the townies")
    w.select("Townies", "User00002.iff")
    w.press("Next")
    w.wait_title("Jamie Rook", 20)
    w.select("Dates", "Date_Rosa.iff")
    w.press("Next")
    w.press_in(w.wait_dialog("Tryster Inquery:"), "OK")
    w.press_in(told(w, "Replace Complete", "Rosa Marsh has taken the place", check), "OK")
    wait_for(lambda: w.has_control("Load"), 20, "the welcome page")

    w.press("Load")
    chooser = w.wait_dialog("Select a Plom Character")
    w.type_in(chooser, "File name:", "User00001.iff")
    w.press_in(chooser, "Open")
    w.wait_title("Beauty is Skin Deep", 20)
    other = [t for t in w.items("Body Texture") if t not in w.selected("Body Texture")]
    w.select("Body Texture", other[0])
    w.press("Save Back")
    w.press_in(told(w, "Save Complete", "has been saved to the game", check), "OK")
    w.press("Back")

    w.press("Install a shared date")
    chooser = w.wait_dialog("Select a shared date")
    w.type_in(chooser, "File name:", pack)
    w.press_in(chooser, "Open")
    w.wait_title("Install a shared date", 20)
    w.press("Install")
    w.press_in(told(w, "Install Complete", "Kit Lowe is installed", check), "OK")
    wait_for(lambda: w.has_control("History"), 20, "the welcome page")

    w.press("History")
    changes = wait_for(lambda: w.items("Changes, newest first"), 20, "the changes")
    wanted = ["Shared date installed: Kit Lowe", "Restyled: Arlo Finch", "Townie replaced: Rosa Marsh",
              "New date: Lena Marsh"]
    check([next((t for t in wanted if t in c), c) for c in changes] == wanted, "the changes: %r" % changes)
    w.screenshot("history")
    for title in wanted:
        entry = next(c for c in w.items("Changes, newest first") if title in c and "undone" not in c)
        w.select("Changes, newest first", entry)
        if title.startswith("Townie"):
            w.wait_title("Rosa Marsh", 10)  # the character, on the preview
            w.screenshot("history-selected")
        check(title in w.control("Undo").description, "Undo names the change: %r" % w.control("Undo").description)
        w.press("Undo")
        question = w.wait_dialog("Tryster Inquery:")
        check(any("Undo the change" in t for t in w.text_in(question)), "the question: %r" % w.text_in(question))
        if title.startswith("New date"):
            w.screenshot("history-question")
        w.press_in(question, "OK")
        done = w.wait_dialog("Undo Complete", 30)
        check(any("The change was undone." in t for t in w.text_in(done)), "undone: %r" % w.text_in(done))
        w.press_in(done, "OK")
    w.screenshot("history-undone")
    check(differing(before, w.game) == ["TrysterLedger.json"],
          "the game folder as it began: %r" % differing(before, w.game))


run_walk(walk)

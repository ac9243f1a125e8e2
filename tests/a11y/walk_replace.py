"""Walks the Replace path through the accessibility interface: a townie of
the demo neighbourhood replaced by a date. Every control and dialog is
found by its name; a screenshot of each page.

    walk_replace.py PROGRAM TRYSTER-CLI [SHOTS-FOLDER]

Run inside scripts/desktop-session with Debian's python3.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_driver import run_walk, wait_for  # noqa: E402

def walk(w, check):
    chars = os.path.join(w.game, "UserData", "Characters")
    w.wait_title("Ready!")
    w.press("Replace")
    chooser = w.wait_dialog("Select the neighborhood:")
    w.screenshot("10-neighbourhood")
    w.press_in(chooser, "Open")
    wait_for(lambda: w.items("Townies"), 20, "the townies")
    check(w.items("Townies") == ["User00001.iff", "User00002.iff", "User00006.iff"],
          "the townies: %r" % w.items("Townies"))
    w.wait_title("Arlo Finch", 10)
    w.select("Townies", "User00002.iff")
    w.wait_title("Nadia Brook", 10)
    w.screenshot("10-townies")
    w.press("Next")
    w.wait_title("Jamie Rook", 20)
    check("GLM_Generic.iff" not in w.items("Dates"), "the generic date is not offered")
    w.select("Dates", "Date_Rosa.iff")
    w.wait_title("Rosa Marsh", 10)
    w.screenshot("11-dates")
    before = open(os.path.join(chars, "User00002.iff"), "rb").read()
    w.press("Next")
    question = w.wait_dialog("Tryster Inquery:")
    check("Are you sure you want to replace this Plom?" in w.text_in(question), "the replace question")
    w.screenshot("12-confirm")
    w.press_in(question, "OK")
    done = w.wait_dialog("Replace Complete", 30)
    check(any("Rosa Marsh has taken the place of the Townie in User00002.iff" in t and "History" in t
              for t in w.text_in(done)), "the replacement told, and how to undo it: %r" % w.text_in(done))
    w.press_in(done, "OK")
    wait_for(lambda: w.has_control("Create"), 20, "step 0 again")
    backup = os.path.join(chars, "User00002.iff.bak")
    check(os.path.isfile(backup) and open(backup, "rb").read() == before, "the townie's backup")



run_walk(walk)

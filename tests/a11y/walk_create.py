"""Walks the Create path through the accessibility interface, as a screen
reader's user would: every control found by its name, used through its
actions, texts, values and selections; a screenshot of each page.

    walk_create.py PROGRAM TRYSTER-CLI [SHOTS-FOLDER]

Run inside scripts/desktop-session with Debian's python3.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_driver import run_walk, wait_for  # noqa: E402

import pyatspi  # noqa: E402

def walk(w, check):
    w.wait_title("Ready!")
    for name in ("Create", "Replace", "Load", "About", "Help", "Preview"):
        check(w.has_control(name), "step 0 shows %r" % name)
    for name, role in (("Facing", pyatspi.ROLE_COMBO_BOX), ("Rotate", pyatspi.ROLE_COMBO_BOX),
                       ("Zoom", pyatspi.ROLE_SLIDER)):
        check(w.has_control(name, role), "the view control %r" % name)
    w.screenshot("0-welcome")

    w.select("Rotate", "Slow")
    wait_for(lambda: w.selected("Rotate") == "Slow", 5, "Rotate to show Slow")
    w.set_value("Zoom", 4)
    check(w.value_of("Zoom") == 4, "zoom set through its value")
    w.screenshot("0-zoom-large")
    w.set_value("Zoom", 3)
    w.select("Rotate", "None")

    w.press("Create")
    w.wait_title("Beauty is Skin Deep", 10)
    for name in ("Body Type", "Skin Type", "Male", "Female", "Body Mesh", "Body Texture", "Head Mesh",
                 "Head Texture", "Back", "Next"):
        check(w.has_control(name), "step 1 shows %r" % name)
    w.select("Body Type", "Full")
    w.control("Female").queryAction().doAction(0)
    wait_for(lambda: all("fa" in m for m in w.items("Body Mesh")) and w.items("Body Mesh"), 10,
             "the female bodies")
    bodies = w.items("Body Mesh")
    w.select("Body Mesh", bodies[-1])
    heads = w.items("Head Mesh")
    w.select("Head Mesh", heads[-1])
    check(w.selected("Head Mesh") == [heads[-1]], "the head chosen: %r" % w.selected("Head Mesh"))
    w.screenshot("1-appearance")
    w.press("Next")

    w.wait_title("What's in a name?", 10)
    # A name the game's code page cannot hold is refused as it is set, and
    # the field says why.
    w.type_text("Name of this Plom", "\u0141ukasz")
    check(w.text_of("Name of this Plom") == "", "the refused name: %r" % w.text_of("Name of this Plom"))
    hint = w.control("Name of this Plom").description
    check("\u0141" in hint, "the field says why: %r" % hint)
    w.type_text("Name of this Plom", "Zo\u00eb Quill")
    w.type_text("Describe this Plom", "Counts \u00e9, \u00f8, \u00df and \u20ac twice.")
    check(w.text_of("Name of this Plom") == "Zo\u00eb Quill", "the name typed")
    w.screenshot("2-name")
    w.press("Next")

    w.wait_title("What's your sign?", 10)
    for name, value in (("Nice", 5), ("Neat", 5), ("Outgoing", 8), ("Active", 4), ("Playful", 3)):
        w.set_value(name, value)
    left = w.control("Personality Points Left", pyatspi.ROLE_LABEL).description
    check(left == "0", "points left 0: %r" % left)
    w.screenshot("3-personality")
    w.press("Next")

    w.wait_title("What floats your boat?", 10)
    for interest in ("Music", "Food", "Travel", "Style", "Money"):
        w.select("Interests", interest)
        w.press("Add Top Interest")
        # The bus answers as the program gets to it: the next entry is
        # looked up once this one shows in the top list.
        wait_for(lambda: interest in w.items("Select Top 5 Interests"), 10,
                 "%s in the top list" % interest)
    check(w.items("Select Top 5 Interests") == ["Music", "Food", "Travel", "Style", "Money"],
          "the top list: %r" % w.items("Select Top 5 Interests"))
    check(not w.enabled("Add Top Interest"), "Add stops at five")
    w.select("Interests", "Weather")
    w.press("Add Low Interest")
    wait_for(lambda: w.items("Low Interests"), 10, "Weather in the low list")
    check(w.items("Low Interests") == ["Weather"], "the low list")
    w.screenshot("4-interests")
    w.press("Next")

    w.wait_title("Dating is work!", 10)
    w.select("Job Track", "Science")
    w.set_value("Job Level", 6)
    w.screenshot("5-career")
    w.press("Next")

    w.wait_title("Ready to Export?", 10)
    check(not w.enabled("Next"), "Next is off on the last page")
    w.screenshot("6-export")

    w.press("Save")
    chooser = w.wait_dialog("Select the name to save this Plom")
    w.screenshot("6-save-dialog")
    w.type_in(chooser, "File name:", "Zo\u00eb\u20ac")
    w.press_in(chooser, "Save")
    # No exchange page is configured: the question offers one file to share
    # (walk_share.py answers it).
    question = w.wait_dialog("Tryster Inquery:", 60)
    check(any("one file to share" in t for t in w.text_in(question)),
          "the question after the save: %r" % w.text_in(question))
    w.screenshot("6-finished")
    w.press_in(question, "Cancel")
    folder = os.path.join(w.game, "TemplateNPCs")
    for suffix in (".srf", ".iff", "head.jpg", "body.jpg"):
        check(os.path.isfile(os.path.join(folder, "Zo\u00eb\u20ac" + suffix)), "the save wrote Zo\u00eb\u20ac%s" % suffix)
    srf = open(os.path.join(folder, "Zo\u00eb\u20ac.srf"), "rb").read()
    check(b"Name=Zo\xeb Quill\r\n" in srf, "the exchange file holds the name in the game's code page")


run_walk(walk)

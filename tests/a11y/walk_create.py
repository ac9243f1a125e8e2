"""Walks the Create path by the keyboard alone, with Orca listening, after
using the view controls through their accessible actions as tools that
drive the window by name do. After the save, the date is put in one file
from the question that follows it, and "Share this date..." says which
date it shares.
"""

import os

from window_driver import run_walk, wait_for

import pyatspi


def walk(w, check):
    w.wait_title("Ready!")
    for name, role in (("Facing", pyatspi.ROLE_COMBO_BOX), ("Rotate", pyatspi.ROLE_COMBO_BOX),
                       ("Zoom", pyatspi.ROLE_SLIDER)):
        check(w.has_control(name, role), "the view control %r" % name)
    w.select("Rotate", "Slow")
    wait_for(lambda: w.selected("Rotate") == "Slow", 5, "Rotate to show Slow")
    w.set_value("Zoom", 4)
    check(w.value_of("Zoom") == 4, "zoom set through its value")
    w.set_value("Zoom", 3)
    w.select("Rotate", "None")
    w.screenshot("0-welcome")

    # The look: a full female body, her last body and head.
    w.enter("space", "Beauty is Skin Deep", "Body Type")
    w.arrow_to("Full")
    w.tab_to("Female")
    w.press_key("space", lambda h: h.name == "Female", "the Female button pressed")
    w.tab_to("Body Mesh")
    wait_for(lambda: w.items("Body Mesh") and all("fa" in m for m in w.items("Body Mesh")), 10, "the female bodies")
    w.arrow_to(w.items("Body Mesh")[-1], key="End")
    w.tab_to("Head Mesh")
    heads = w.items("Head Mesh")
    w.arrow_to(heads[-1], key="End")
    w.screenshot("1-appearance")
    w.tab_to("Next")

    # A name the game's code page cannot hold is refused as it is typed.
    w.enter("space", "What's in a name?", "Name of this Plom")
    w.type_keys("\u0141")
    w.listen("\u0141", lambda h: "\u0141" in h.said, "why the letter is refused")
    check(w.text_of("Name of this Plom") == "", "the refused letter: %r" % w.text_of("Name of this Plom"))
    w.type_keys("Zo\u00eb Quill")
    wait_for(lambda: w.text_of("Name of this Plom") == "Zo\u00eb Quill", 10, "the name typed")
    w.tab_to("Describe this Plom")
    w.type_keys("Counts \u00e9, \u00f8, \u00df and \u20ac twice.")
    wait_for(lambda: w.text_of("Describe this Plom").endswith("twice."), 10, "the description typed")
    w.screenshot("2-name")
    w.tab_to("Next")

    # Two points for Nice by the arrows, then the sign button spends the
    # rest: the points left and the sign are told as they change.
    w.enter("space", "What's your sign?", "Nice")
    for points in ("24 points left", "23 points left"):
        w.press_key("Right", lambda h, p=points: p in h.said, "%r told" % points)
    w.tab_to("Sign:")
    w.press_key("space", lambda h: "No points left" in h.said, "the points spent")
    w.screenshot("3-personality")
    w.tab_to("Next")

    # Five top interests from Hollywood on, then Weather as a low one.
    w.enter("space", "What floats your boat?", "Select Top 5 Interests")
    w.tab_to("Interests")
    w.arrow_to("Hollywood")
    w.tab_to("Add Top Interest", key="shift+Tab")
    for interest in ("Hollywood", "Romance", "Technology", "Money", "Parties"):
        w.key("space")
        wait_for(lambda: interest in w.items("Select Top 5 Interests"), 10, "%s in the top list" % interest)
    # Add goes off at five and the focus moves on: a Tab before Orca has
    # presented that would be lost in it.
    w.listen("space (5 times)", lambda h: h.is_focus and h.name == "Remove Top Interest", "Remove Top Interest")
    w.tab_to("Interests")
    w.press_key("Home", lambda h: h.name == "Weather", "Weather")
    w.tab_to("Add Low Interest")
    w.key("space")
    wait_for(lambda: w.items("Low Interests") == ["Weather"], 10, "Weather in the low list")
    w.heard_until_quiet("space")
    w.screenshot("4-interests")
    w.tab_to("Next")

    w.enter("space", "Dating is work!", "Job Track")
    w.arrow_to("Entertainment")
    w.tab_to("Job Level")
    w.press_key("End", lambda h: "10" in h.said, "the top level")
    w.screenshot("5-career")
    w.tab_to("Next")

    w.enter("space", "Ready to Export?", "Save")
    w.screenshot("6-export")

    w.open_dialog("space", "Select the name to save this Plom")
    w.screenshot("6-save-dialog")
    w.type_keys("Zo\u00eb\u20ac")
    w.heard_until_quiet("Zo\u00eb\u20ac")
    # No exchange page is configured: the question offers one file to share.
    # The save is told finished before it.
    w.key("Return")
    heard = w.listen("Return", lambda h: h.event == "window:activate" and h.name == "Tryster Inquery:",
                     "the question", 90)
    check([h.said for h in heard if h.role == "notification"] == ["notification Finished!"],
          "the save told finished: %r" % [h.said for h in heard if h.said])
    w.listen("", lambda h: h.is_focus and h.said and h.name == "OK", "its OK")
    w.wait_dialog("Tryster Inquery:")
    w.screenshot("6-finished")
    chooser = w.open_dialog("Return", "Share this date as one file", "File name:")
    check(w.field_text(chooser, "File name:") == "Zo\u00eb Quill.zip",
          "named after the character: %r" % w.field_text(chooser, "File name:"))
    pack = os.path.join(w.work, "Zo\u00eb Quill.zip")
    # Not the home folder of whoever runs the walk.
    w.key("ctrl+a")
    w.type_keys(pack)
    wait_for(lambda: w.field_text(chooser, "File name:") == pack, 10, "the pack's path typed")
    w.heard_until_quiet("(the pack's path)")
    w.screenshot("share-dialog")
    w.open_dialog("Return", "Share Complete", "OK")
    w.screenshot("share-done")
    w.press_key("Return", lambda h: h.is_focus and h.name == "Save", "the window again")
    w.tab_to("Share this date...", key="shift+Tab")
    check("Put Zo\u00eb Quill, its pictures and the skins it wears in one file" in w.listener.transcript[-1],
          "Share says which date: %r" % w.listener.transcript[-1])


run_walk(walk)

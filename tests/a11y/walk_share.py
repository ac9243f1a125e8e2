"""Walks sharing by the keyboard alone, with Orca listening: a date saved
on the last page is put in one file from the question after the save, and
"Share this date..." offers it again, saying which date it shares. A
screenshot of each step.

    walk_share.py PROGRAM TRYSTER-CLI [SHOTS-FOLDER]

Run inside scripts/desktop-session with Debian's python3.
"""

import os
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_driver import run_walk, wait_for  # noqa: E402


def save_a_date(w):
    """The Create path at its shortest: every page's check passed."""
    w.enter("space", "Beauty is Skin Deep", "Body Type")
    w.tab_to("Next")
    w.enter("space", "What's in a name?", "Name of this Plom")
    w.type_keys("Lena Marsh")
    w.tab_to("Describe this Plom")
    w.type_keys("Collects stamps.")
    wait_for(lambda: w.text_of("Describe this Plom") == "Collects stamps.", 10, "the description typed")
    w.tab_to("Next")
    w.enter("space", "What's your sign?", "Nice")
    w.tab_to("Next")
    w.enter("space", "What floats your boat?", "Select Top 5 Interests")
    w.tab_to("Interests")
    w.arrow_to("Hollywood")
    w.tab_to("Add Top Interest", key="shift+Tab")
    for count in range(1, 6):
        w.key("space")
        wait_for(lambda: len(w.items("Select Top 5 Interests")) == count, 10, "%d top interests" % count)
    w.heard_until_quiet("space (5 times)")
    w.tab_to("Next")
    w.enter("space", "Dating is work!", "Job Track")
    w.tab_to("Next")
    w.enter("space", "Ready to Export?", "Save")
    w.open_dialog("space", "Select the name to save this Plom")
    w.type_keys("Lena")
    w.heard_until_quiet("Lena")
    w.key("Return")


def walk(w, check):
    w.wait_title("Ready!")
    save_a_date(w)

    # No exchange address is configured: the question offers one file.
    w.listen("Return", lambda h: h.event == "window:activate" and h.name == "Tryster Inquery:", "the question", 90)
    w.listen("", lambda h: h.is_focus and h.said and h.name == "OK", "its OK")
    question = w.wait_dialog("Tryster Inquery:")
    check(any("one file to share" in t for t in w.text_in(question)), "the offer: %r" % w.text_in(question))
    w.screenshot("share-question")
    chooser = w.open_dialog("Return", "Share this date as one file")
    check(w.field_text(chooser, "File name:") == "Lena Marsh.zip",
          "named after the character: %r" % w.field_text(chooser, "File name:"))
    pack = os.path.join(w.work, "Lena Marsh.zip")
    # Not the home folder of whoever runs the walk.
    w.key("ctrl+a")
    w.type_keys(pack)
    wait_for(lambda: w.field_text(chooser, "File name:") == pack, 10, "the pack's path typed")
    w.heard_until_quiet("(the pack's path)")
    w.screenshot("share-dialog")
    done = w.open_dialog("Return", "Share Complete", "OK")
    check(any(pack in t for t in w.text_in(done)), "the message names the file: %r" % w.text_in(done))
    w.screenshot("share-done")
    w.press_key("Return", lambda h: h.is_focus and h.name == "Save", "the window again")
    w.tab_to("Share this date...", key="shift+Tab")
    check("Put Lena Marsh, its pictures and the skins it wears in one file" in w.listener.transcript[-1],
          "Share says which date: %r" % w.listener.transcript[-1])
    names = zipfile.ZipFile(pack).namelist() if os.path.isfile(pack) else []
    check("TemplateNPCs/Lena.iff" in names and "TemplateNPCs/Lenahead.jpg" in names,
          "the pack holds the date and its snapshots: %r" % names)


run_walk(walk)

"""Walks sharing through the accessibility interface: a date saved on the
last page is put in one file from the question after the save, and
"Share this date..." offers it again; then "Install a shared date" on the
welcome page shows a friend's date, whose texture differs from the
player's copy, and installs it with the player's choice to replace it.
Every control and dialog is found by its name; a screenshot of each page.

    walk_share.py PROGRAM TRYSTER-CLI [SHOTS-FOLDER]

Run inside scripts/desktop-session with Debian's python3.
"""

import os
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_driver import back_to_welcome, run_walk, save_a_date, wait_for  # noqa: E402

import pyatspi  # noqa: E402


def walk(w, check):
    w.wait_title("Ready!")
    save_a_date(w, "Lena Marsh", "Lena")

    # No exchange address is configured: the question offers one file.
    question = w.wait_dialog("Tryster Inquery:", 60)
    check(any("one file to share" in t for t in w.text_in(question)), "the offer: %r" % w.text_in(question))
    w.screenshot("share-question")
    w.press_in(question, "OK")
    chooser = w.wait_dialog("Share this date as one file")
    check(w.field_text(chooser, "File name:") == "Lena Marsh.zip",
          "named after the character: %r" % w.field_text(chooser, "File name:"))
    pack = os.path.join(w.work, "Lena Marsh.zip")
    w.type_in(chooser, "File name:", pack)  # not the home folder of whoever runs the walk
    w.screenshot("share-dialog")
    w.press_in(chooser, "Save")
    done = w.wait_dialog("Share Complete", 60)
    check(any(pack in t for t in w.text_in(done)), "the message names the file: %r" % w.text_in(done))
    w.screenshot("share-done")
    w.press_in(done, "OK")
    names = zipfile.ZipFile(pack).namelist() if os.path.isfile(pack) else []
    check("TemplateNPCs/Lena.iff" in names and "TemplateNPCs/Lenahead.jpg" in names,
          "the pack holds the date and its snapshots: %r" % names)
    check(w.has_control("Share this date..."), "offered again after the save")

    # A friend's Rosa, whose light head texture differs from the player's.
    friend = os.path.join(w.work, "friend")
    subprocess.run([w.cli, "demo-world", friend], check=True, capture_output=True)
    rosa = os.path.join(w.work, "Rosa.zip")
    subprocess.run([w.cli, "date", "pack", "Date_Rosa", "--game", friend, "--out", rosa], check=True,
                   capture_output=True)
    os.remove(os.path.join(w.game, "TemplateNPCs", "Date_Rosa.iff"))
    skins = os.path.join(w.game, "GameData", "Skins")
    mine = open(os.path.join(skins, "B003MAFitmed_bmoc.bmp"), "rb").read()
    with open(os.path.join(skins, "C021falgt_blnd.bmp"), "wb") as f:
        f.write(mine)

    back_to_welcome(w)
    w.press("Install a shared date")
    chooser = w.wait_dialog("Select a shared date")
    w.type_in(chooser, "File name:", rosa)
    w.press_in(chooser, "Open")
    w.wait_title("Install a shared date", 20)
    check(w.text_of("Name") == "Rosa Marsh", "the date's name: %r" % w.text_of("Name"))
    check(w.text_of("Gender") == "Female", "her gender: %r" % w.text_of("Gender"))
    files = w.items("Files to be written")
    check("C021falgt_blnd.bmp (yours is kept)" in files, "the files: %r" % files)
    choice = w.control("Replace your C021falgt_blnd.bmp", pyatspi.ROLE_CHECK_BOX)
    w.screenshot("install-review")
    choice.queryAction().doAction(0)
    wait_for(lambda: "C021falgt_blnd.bmp (replaces yours, which is kept as C021falgt_blnd.bmp.bak)"
             in w.items("Files to be written"), 10, "the replace chosen")
    w.press("Install")
    installed = w.wait_dialog("Install Complete", 30)
    check(any("Rosa Marsh is installed" in t for t in w.text_in(installed)), "installed: %r" % w.text_in(installed))
    w.screenshot("install-done")
    w.press_in(installed, "OK")
    wait_for(lambda: w.has_control("Create"), 20, "step 0 again")
    check(os.path.isfile(os.path.join(w.game, "TemplateNPCs", "Date_Rosa.iff")), "the date is in the game")
    check(open(os.path.join(skins, "C021falgt_blnd.bmp.bak"), "rb").read() == mine, "the player's texture kept")


run_walk(walk)

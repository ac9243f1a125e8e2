"""Walks the install of a shared date by the keyboard alone, with Orca
listening: a friend's date whose texture differs from the player's copy,
its review page read control by control, that skin chosen to be replaced.
"""

import os
import subprocess

from window_driver import run_walk, wait_for


def walk(w, check):
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

    w.wait_title("Ready!")
    w.tab_to("Install a shared date")
    chooser = w.open_dialog("space", "Select a shared date", "File name:")
    w.key("ctrl+a")
    w.type_keys(rosa)
    wait_for(lambda: w.field_text(chooser, "File name:") == rosa, 10, "the pack's path typed")
    w.heard_until_quiet("(the pack's path)")
    w.enter("Return", "Install a shared date", "Name")
    for control in ("Gender", "Description", "Files to be written", "Replace your C021falgt_blnd.bmp"):
        w.tab_to(control)
    w.screenshot("install-review")
    w.press_key("space", lambda h: "checked" in h.said, "the replace chosen")
    wait_for(lambda: "C021falgt_blnd.bmp (replaces yours, which is kept as C021falgt_blnd.bmp.bak)"
             in w.items("Files to be written"), 10, "the plan with the replace")
    w.tab_to("Install")
    check("Install Rosa Marsh and the skins it wears into the game." in w.listener.transcript[-1],
          "Install names the date: %r" % w.listener.transcript[-1])
    w.open_dialog("space", "Install Complete", "OK")
    w.screenshot("install-done")
    w.enter("Return", "Welcome to The Ploms Tryster", "Create")


run_walk(walk)

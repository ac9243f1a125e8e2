"""Walks the restyling of one of the player's Ploms by the keyboard alone,
with Orca listening: Load, the panel naming the character under the
cursor, a new look, and Save back. Her name and file name carry accents.
"""

import json
import os
import subprocess

from window_driver import run_walk, wait_for

NAME = "Zo\u00eb Quill"
FILE = "UserZo\u00eb.iff"


def walk(w, check):
    chars = os.path.join(w.game, "UserData", "Characters")
    # One of the player's Ploms, made by the command-line tool.
    character = os.path.join(w.work, "zoe.json")
    with open(character, "w", encoding="utf-8") as f:
        json.dump({"name": NAME, "description": "Writes letters.", "gender": "female", "skinTone": 2,
                   "appearance": {"bodyMesh": "b007fafat_01"}}, f)
    subprocess.run([w.cli, "date", "create", "--game", w.game, "--character", character,
                    "--out", os.path.join(chars, FILE[:-4] + ".srf")], check=True, capture_output=True)
    w.wait_title("Ready!")
    check("Load a Plom from the game..." in w.menu_commands(), "the window menu keeps Load")

    # Load's file dialog names the character under the cursor.
    w.tab_to("Load")
    chooser = w.open_dialog("space", "Select a Plom Character")
    w.type_keys(FILE)
    wait_for(lambda: w.field_text(chooser, "Character Name") == NAME, 20, "the panel naming her")
    w.heard_until_quiet(FILE)
    w.screenshot("load-dialog")
    w.enter("Return", "Beauty is Skin Deep", "Body Type")

    w.tab_to("Body Texture")
    textures = w.items("Body Texture")
    other = [t for t in textures if t not in w.selected("Body Texture")]
    check(other, "another body texture to choose: %r" % textures)
    w.arrow_to(other[0], key="Down" if textures.index(other[0]) > 0 else "Up")
    w.screenshot("load-restyle")
    w.tab_to("Save Back")
    w.open_dialog("space", "Save Complete", "OK")
    w.screenshot("load-saved")
    w.press_key("Return", lambda h: h.is_focus and h.name == "Save Back", "the window again")


run_walk(walk)

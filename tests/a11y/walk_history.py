"""Walks History by the keyboard alone, with Orca listening. Four changes are
made in the game folder while the window is open (a new date, a townie
replaced, a character restyled, a shared date installed, by the
command-line tool, whose history the window shares); the History button
says what it is for, the page lists the four newest first, each entry
presents its character, and Undo names the change selected. Each is undone
in turn after its question, until the game folder is byte for byte as it
began (its history aside). A screenshot of each state of the page.
"""

import filecmp
import json
import os
import shutil
import subprocess

from window_driver import run_walk, wait_for

LIST = "Changes, newest first"
TITLES = ["Shared date installed: Kit Lowe", "Restyled: Nadia Brook", "Townie replaced: Rosa Marsh",
          "New date: Lena Marsh"]


def differing(a, b):
    """Files that differ between two folders, or are in one only."""
    comparison = filecmp.dircmp(a, b)
    out = []

    def gather(c, prefix):
        out.extend(os.path.join(prefix, n) for n in c.left_only + c.right_only + c.diff_files + c.funny_files)
        for name, sub in c.subdirs.items():
            gather(sub, os.path.join(prefix, name))
    filecmp.clear_cache()
    gather(comparison, "")
    return sorted(out)


def make_changes(w):
    """The four kinds of change, made by the command-line tool."""
    def cli(*args):
        subprocess.run([w.cli, *args], check=True, capture_output=True)
    friend = os.path.join(w.work, "friend")
    cli("demo-world", friend)
    for name, game, out in (("Kit Lowe", friend, "Kit.srf"), ("Lena Marsh", w.game, "Lena.srf")):
        person = os.path.join(w.work, out + ".json")
        with open(person, "w") as f:
            json.dump({"name": name, "gender": "male" if name.startswith("Kit") else "female"}, f)
        if game == friend:
            cli("date", "create", "--game", game, "--character", person, "--out", os.path.join(game, "TemplateNPCs", out))
    pack = os.path.join(w.work, "Kit.zip")
    cli("date", "pack", "Kit", "--game", friend, "--out", pack)
    cli("date", "create", "--game", w.game, "--character", os.path.join(w.work, "Lena.srf.json"),
        "--out", os.path.join(w.game, "TemplateNPCs", "Lena.srf"))
    cli("townie", "replace", os.path.join(w.game, "UserData", "Neighborhood.iff"), "User00001.iff",
        os.path.join(w.game, "TemplateNPCs", "Date_Rosa.iff"))
    cli("character", "save-back", os.path.join(w.game, "UserData", "Characters", "User00002.iff"),
        "--body-mesh", "b006fafit_01", "--body-texture", "B006FAFitmed_dots", "--head-mesh", "c022fa_bob",
        "--head-texture", "C022famed_red", "--skin-tone", "1", "--body-type", "0")
    cli("date", "install", pack, "--game", w.game)


def walk(w, check):
    w.wait_title("Ready!")
    before = os.path.join(w.work, "before")
    shutil.copytree(w.game, before)

    # A game folder Tryster has not changed: the page says so, Undo waits.
    w.tab_to("History")
    check("each change can be undone" in w.listener.transcript[-1],
          "History says what it is for: %r" % w.listener.transcript[-1])
    w.enter("space", "History", LIST)
    check(w.items(LIST) == [] and not w.enabled("Undo"), "nothing to undo yet: %r" % w.items(LIST))
    w.screenshot("history-empty")
    w.press_key("shift+Tab", lambda h: h.is_focus and h.said, "the control before")
    w.tab_to("Back", key="Tab")
    w.enter("space", "Welcome to The Ploms Tryster", "Create")

    make_changes(w)
    w.tab_to("History")
    w.enter("space", "History", LIST)
    changes = w.items(LIST)
    check([next((t for t in TITLES if t in c), c) for c in changes] == TITLES, "newest first: %r" % changes)
    w.screenshot("history-entries")

    # A file changed since its change: the undo is refused as asked, and
    # offered keeping the current file; declined, nothing is touched.
    kit = os.path.join(w.game, "TemplateNPCs", "Kit.iff")
    with open(kit, "rb") as f:
        installed = f.read()
    with open(kit, "ab") as f:
        f.write(b"played since")
    w.tab_to("Undo")
    refusal = " ".join(w.text_in(w.open_dialog("space", "Tryster Inquery:", "OK")))
    check("changed outside Tryster" in refusal and "keeping the current file" in refusal, "the refusal: %r" % refusal)
    w.screenshot("history-refusal")
    w.press_key("Escape", lambda h: h.is_focus and h.said, "the page again")
    check(differing(before, w.game) != [] and not os.path.exists(kit + ".bak"), "declined, nothing touched")
    with open(kit, "wb") as f:
        f.write(installed)
    w.tab_to(LIST, key="shift+Tab")

    for title in TITLES:
        entry = next(c for c in w.items(LIST) if c.endswith(title))
        w.arrow_to(entry)
        if title.startswith("Townie"):
            wait_for(lambda: w.title().endswith("Rosa Marsh"), 20, "her on the preview")
            w.screenshot("history-selected")
        w.tab_to("Undo")
        check(title in w.listener.transcript[-1], "Undo names the change selected: %r" % w.listener.transcript[-1])
        question = w.open_dialog("space", "Tryster Inquery:", "OK")
        asked = " ".join(w.text_in(question))
        check(title.split(": ")[1] in asked, "the question names the change: %r" % asked)
        if title.startswith("Townie"):
            check("restored" in asked or "put back" in asked, "and what comes back: %r" % asked)
            w.screenshot("history-question")
        done = w.open_dialog("Return", "Undo Complete", "OK")
        check(any("undone" in t for t in w.text_in(done)), "the outcome: %r" % w.text_in(done))
        if title.startswith("Townie"):
            w.screenshot("history-outcome")
        w.press_key("Return", lambda h: h.is_focus and h.said, "the page again")
        w.tab_to(LIST, key="shift+Tab")

    # An undone change cannot be undone again: Undo waits on it.
    undone = next(c for c in w.items(LIST) if TITLES[0] + " [undone" in c)
    w.arrow_to(undone)
    check(not w.enabled("Undo"), "an undone change is not undone again")
    w.screenshot("history-undone")
    check(differing(before, w.game) == ["TrysterLedger.json"],
          "the game folder as it began: %r" % differing(before, w.game))


run_walk(walk)

"""Walks History by the keyboard alone, with Orca listening. The
command-line tool, whose history the window shares, makes four changes
while the window is open; each is undone in turn after its question, until
the game folder is byte for byte as it began (its history aside).
"""

import json
import os
import shutil
import subprocess

from window_driver import run_walk, wait_for

LIST = "Changes, newest first"
TITLES = ["Shared date installed: Kit Lowe", "Restyled: Nadia Brook", "Townie replaced: Rosa Marsh",
          "New date: Lena Marsh"]


def differing(a, b):
    """Files that differ between two folders, byte for byte, and files or
    folders in one only."""
    def files(root):
        return {os.path.relpath(os.path.join(d, n), root): n in names and open(os.path.join(d, n), "rb").read()
                for d, folders, names in os.walk(root) for n in names + folders}
    x, y = files(a), files(b)
    return sorted(k for k in x.keys() | y.keys() if x.get(k) != y.get(k))


def make_changes(w):
    """The four kinds of change, made by the command-line tool."""
    def cli(*args):
        subprocess.run([w.cli, *args], check=True, capture_output=True)
    def date(game, name, gender, out):
        person = os.path.join(w.work, out + ".json")
        with open(person, "w") as f:
            json.dump({"name": name, "gender": gender}, f)
        cli("date", "create", "--game", game, "--character", person, "--out", os.path.join(game, "TemplateNPCs", out))
    friend = os.path.join(w.work, "friend")
    cli("demo-world", friend)
    date(friend, "Kit Lowe", "male", "Kit.srf")
    pack = os.path.join(w.work, "Kit.zip")
    cli("date", "pack", "Kit", "--game", friend, "--out", pack)
    date(w.game, "Lena Marsh", "female", "Lena.srf")
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
    wait_for(lambda: w.title().endswith(": History"), 20, "no other change's character named in the title")
    check(not w.enabled("Undo"), "an undone change is not undone again")
    w.screenshot("history-undone")
    check(differing(before, w.game) == ["TrysterLedger.json"],
          "the game folder as it began: %r" % differing(before, w.game))


run_walk(walk)

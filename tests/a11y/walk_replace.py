"""Walks the Replace path by the keyboard alone, with Orca listening: a
townie of the demo neighbourhood replaced by a date, each page announced
by its name and its list, each list with its current entry.
"""

from window_driver import run_walk


def walk(w, check):
    w.wait_title("Ready!")
    w.tab_to("Replace")
    w.open_dialog("space", "Select the neighborhood:")
    w.heard_until_quiet()
    w.screenshot("10-neighbourhood")
    w.enter("Return", "Select the Townie to replace", "Townies")
    w.wait_title("Arlo Finch", 10)
    w.arrow_to("User00002.iff")
    w.wait_title("Nadia Brook", 10)
    w.screenshot("10-townies")
    w.tab_to("Next")
    w.enter("space", "Select the Date to put in its place", "Dates")
    w.wait_title("Jamie Rook", 20)
    w.arrow_to("Date_Rosa.iff")
    w.wait_title("Rosa Marsh", 10)
    w.screenshot("11-dates")
    w.tab_to("Next")
    w.open_dialog("space", "Tryster Inquery:", "OK")
    w.screenshot("12-confirm")
    done = w.open_dialog("Return", "Replace Complete", "OK")
    check(any("Rosa Marsh has taken the place of the Townie in User00002.iff" in t and "History" in t
              for t in w.text_in(done)), "the replacement told, and how to undo it: %r" % w.text_in(done))
    w.enter("Return", "Welcome to The Ploms Tryster", "Create")


run_walk(walk)

"""Drives the program's window the way assistive tools do: through the
desktop's accessibility interface (AT-SPI). Controls are found by their
accessible names and used through the actions, texts, values and
selections they expose. Run inside scripts/desktop-session, with Debian's
python3 (which has pyatspi).

A Window starts the program on a game folder of its own (made with
tryster-cli demo-world), waits for it on the accessibility bus, and can
take screenshots of the virtual display; the window menu's commands are
the window's own accessible actions.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

TITLE_PREFIX = "The Ploms Tryster: "


class Failure(Exception):
    pass


def wait_for(condition, timeout=30.0, what="a condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise Failure("timed out waiting for %s" % what)


class Window:
    def __init__(self, program, cli, shots=None, game=None):
        self.shots = shots
        self.cli = cli
        self.work = tempfile.mkdtemp(prefix="tryster-a11y-")
        self.game = game or os.path.join(self.work, "game")
        if not game:
            subprocess.run([cli, "demo-world", self.game], check=True, capture_output=True)
        registry = os.path.join(self.work, "registry.ini")
        with open(registry, "w") as f:
            f.write("[HKEY_LOCAL_MACHINE\\Software\\Orvel\\The Ploms]\nPLOMS_DATA=%s\n" % self.game)
        env = dict(os.environ, TRYSTER_REGISTRY=registry, TRYSTER_DEBUG="title",
                   XDG_CONFIG_HOME=os.path.join(self.work, "config"))
        self.log = open(os.path.join(self.work, "program.log"), "w")
        self.process = subprocess.Popen([program], cwd=self.work, env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.app = wait_for(self._find_app, 60, "the program on the accessibility bus")
        self.frame = wait_for(self._main_window, 60, "the main window")

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "tryster":
                return app
        return None

    def _main_window(self):
        """The wizard's window: the program's dialog that holds the preview
        (the splash and the message boxes share its title, not its controls)."""
        try:
            for window in self.app:
                if window is not None and window.name.startswith("The Ploms Tryster") and \
                        any(child is not None and child.name == "Preview" for child in window):
                    return window
        except Exception:
            return None
        return None

    def menu_commands(self):
        """The commands of the window menu, as the window's actions name them."""
        action = self.frame.queryAction()
        return [action.getName(i) for i in range(action.nActions)]

    def field_text(self, window, name):
        """The text of the field with this name in a window, or None."""
        field = self._find(window, lambda a: a.name == name and a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
        if field is None:
            return None
        t = field.queryText()
        return t.getText(0, t.characterCount)

    def wait_dialog(self, title, timeout=20):
        """Another window of the program with this title, once it is open."""
        def find():
            try:
                self.app.clearCache()
                for window in self.app:
                    if window is not None and window.name == title and \
                            window.getState().contains(pyatspi.STATE_SHOWING):
                        return window
            except Exception:
                return None
            return None
        return wait_for(find, timeout, "the window %r" % title)

    def press_in(self, window, name):
        button = wait_for(lambda: self._find(window, lambda a: a.name == name and a.getRole() == pyatspi.ROLE_PUSH_BUTTON),
                          10, "the button %r" % name)
        button.queryAction().doAction(0)

    def type_in(self, window, name, text):
        field = wait_for(lambda: self._find(window, lambda a: a.name == name and a.getRole() in (
            pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)), 10, "the field %r" % name)
        field.queryEditableText().setTextContents(text)

    def text_in(self, window):
        """The texts of the labels of a window (a message box's message)."""
        out = []
        stack = [window]
        while stack:
            node = stack.pop()
            for child in node:
                if child is None:
                    continue
                if child.getRole() == pyatspi.ROLE_LABEL and child.name:
                    out.append(child.name)
                stack.append(child)
        return out

    @staticmethod
    def _find(root, predicate):
        """The first descendant, breadth first, that satisfies the predicate."""
        queue = [root]
        while queue:
            node = queue.pop(0)
            try:
                children = list(node)
            except Exception:
                continue
            for child in children:
                if child is None:
                    continue
                try:
                    if predicate(child):
                        return child
                except Exception:
                    pass
                queue.append(child)
        return None

    # --- Looking -----------------------------------------------------------

    def title(self):
        return self.frame.name

    def wait_title(self, text, timeout=60):
        wait_for(lambda: self.title() == TITLE_PREFIX + text, timeout, "the title %r" % text)

    def control(self, name, role=None, showing=True):
        """The control with this accessible name (and role), shown on screen.
        Without a role a label is passed over: a field shares its label's name."""
        def match(a):
            if a.name != name:
                return False
            if role is not None and a.getRole() != role:
                return False
            if role is None and a.getRole() == pyatspi.ROLE_LABEL:
                return False
            return not showing or a.getState().contains(pyatspi.STATE_SHOWING)
        found = wait_for(lambda: self._find(self.frame, match), 10, "the control %r" % name)
        return found

    def has_control(self, name, role=None):
        return self._find(self.frame, lambda a: a.name == name and (
            a.getRole() == role if role is not None else a.getRole() != pyatspi.ROLE_LABEL) and
            a.getState().contains(pyatspi.STATE_SHOWING)) is not None

    def enabled(self, name):
        return self.control(name).getState().contains(pyatspi.STATE_ENABLED)

    def screenshot(self, name):
        if not self.shots or not shutil.which("import"):
            return
        os.makedirs(self.shots, exist_ok=True)
        time.sleep(0.3)  # a few frames of the preview
        subprocess.run(["import", "-window", "root", os.path.join(self.shots, name + ".png")], check=True)

    # --- Using -------------------------------------------------------------

    def press(self, name):
        control = self.control(name, pyatspi.ROLE_PUSH_BUTTON)
        action = control.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Press", "press", "click"):
                action.doAction(i)
                return
        action.doAction(0)

    def type_text(self, name, text):
        control = self.control(name)
        control.queryEditableText().setTextContents(text)

    def text_of(self, name):
        t = self.control(name).queryText()
        return t.getText(0, t.characterCount)

    def set_value(self, name, value):
        self.control(name).queryValue().currentValue = value

    def value_of(self, name):
        return self.control(name).queryValue().currentValue

    def items(self, name):
        """The entries of a list or drop-down, as its accessible children show them."""
        control = self.control(name)
        return [item.name for item in self._entries(control)]

    def _entries(self, control):
        # A list's entries change under it: ask the program, not the cache.
        control.clearCache()
        if control.getRole() == pyatspi.ROLE_COMBO_BOX:
            for child in control:
                if child.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_MENU):
                    child.clearCache()
                    return list(child)
            return []
        return [c for c in control if c.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL)]

    def select(self, name, entry):
        """Selects the entry with this text, as a screen reader's user would."""
        control = self.control(name)
        entries = self._entries(control)
        names = [e.name for e in entries]
        if entry not in names:
            raise Failure("%r has no entry %r (it has %r)" % (name, entry, names))
        item = entries[names.index(entry)]
        if item.getState().contains(pyatspi.STATE_SELECTED):
            return
        # The entry's own action selects it, as the list's selection would.
        action = item.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Toggle", "toggle"):
                action.doAction(i)
                wait_for(lambda: entry in self.selected(name), 10, "%r selected in %r" % (entry, name))
                return
        raise Failure("the entry %r of %r cannot be selected" % (entry, name))

    def selected(self, name):
        control = self.control(name)
        if control.getRole() == pyatspi.ROLE_COMBO_BOX:
            return self._combo_text(control)
        return [e.name for e in self._entries(control) if e.getState().contains(pyatspi.STATE_SELECTED)]

    @staticmethod
    def _combo_text(control):
        t = control.queryText()
        return t.getText(0, t.characterCount)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
        self.log.close()


def save_a_date(w, name, file_name):
    """The Create path at its shortest, from the welcome page to the save:
    every page's check passed. Returns at the save's file dialog's close."""
    w.press("Create")
    w.wait_title("Beauty is Skin Deep", 10)
    w.press("Next")
    w.wait_title("What's in a name?", 10)
    w.type_text("Name of this Plom", name)
    w.type_text("Describe this Plom", "Collects stamps.")
    w.press("Next")
    w.wait_title("What's your sign?", 10)
    w.press("Next")
    w.wait_title("What floats your boat?", 10)
    for interest in ("Music", "Food", "Travel", "Style", "Money"):
        w.select("Interests", interest)
        w.press("Add Top Interest")
        wait_for(lambda: interest in w.items("Select Top 5 Interests"), 10, "%s in the top list" % interest)
    w.press("Next")
    w.wait_title("Dating is work!", 10)
    w.press("Next")
    w.wait_title("Ready to Export?", 10)
    w.press("Save")
    chooser = w.wait_dialog("Select the name to save this Plom")
    w.type_in(chooser, "File name:", file_name)
    w.press_in(chooser, "Save")


def back_to_welcome(w):
    """From the last page of the Create path, one page at a time as the bus
    answers."""
    for title in ("Dating is work!", "What floats your boat?", "What's your sign?", "What's in a name?",
                  "Beauty is Skin Deep"):
        w.press("Back")
        w.wait_title(title, 10)
    w.press("Back")
    wait_for(lambda: w.has_control("History"), 10, "the welcome page")


def run_walk(walk):
    """Runs walk(window, check) on the program and tool named on the command
    line (PROGRAM TRYSTER-CLI [SHOTS-FOLDER]). A failed check is counted and
    the walk goes on; a Failure ends it with a screenshot. Exits 1 when
    anything failed."""
    program, cli = sys.argv[1], sys.argv[2]
    shots = sys.argv[3] if len(sys.argv) > 3 else None
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)
            print("FAIL:", message)

    w = Window(program, cli, shots)
    try:
        walk(w, check)
    except Failure as e:
        failures.append(str(e))
        print("FAIL:", e)
        w.screenshot("failure")
    finally:
        w.close()
    if failures:
        print("%d check(s) failed; the program's folder and log are kept in %s" % (len(failures), w.work))
        sys.exit(1)
    shutil.rmtree(w.work, ignore_errors=True)
    print("all checks passed")

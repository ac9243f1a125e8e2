"""Drives the program's window the way assistive tools do: through the
desktop's accessibility interface (AT-SPI), controls found by their
accessible names and used through their actions, texts, values and
selections; and by the keyboard alone, each key followed by what Orca
presents for it (screen_reader.py). Run inside scripts/desktop-session,
with Debian's python3 (which has pyatspi).
"""

import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time

import gi
import pyatspi

gi.require_version("Gdk", "3.0")
from screen_reader import Listener, ScreenReader, Unavailable

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
    """The program started on a demo game folder of its own in `work`."""

    def __init__(self, program, cli, shots, work, reader):
        self.shots = shots
        self.cli = cli
        self.work = work
        self.reader = reader
        self.listener = Listener("tryster", self.at_path)
        self.game = os.path.join(work, "game")
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

    def at_path(self, path):
        """The program's accessible at this path of child indices, or None."""
        node = self.app
        try:
            for index in path:
                node = node.getChildAtIndex(index)
        except Exception:  # a step past the tree's end, or an object gone
            return None
        return node

    def _find_app(self):
        return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "tryster"), None)

    def _main_window(self):
        """The wizard's window: the program's dialog that holds the preview
        (the splash and the message boxes share its title, not its controls)."""
        try:
            return next((w for w in self.app if w is not None and w.name.startswith("The Ploms Tryster") and
                         any(c is not None and c.name == "Preview" for c in w)), None)
        except Exception:
            return None

    def menu_commands(self):
        """The commands of the window menu, as the window's actions name them."""
        action = self.frame.queryAction()
        return [action.getName(i) for i in range(action.nActions)]

    def field_text(self, window, name):
        """The text of the field with this name in a window, or None."""
        field = self._find(window, lambda a: a.name == name and a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
        return None if field is None else _text(field)

    def wait_dialog(self, title, timeout=20):
        """Another window of the program with this title, once it is open."""
        def find():
            try:
                self.app.clearCache()
                return next((w for w in self.app if w is not None and w.name == title and
                             w.getState().contains(pyatspi.STATE_SHOWING)), None)
            except Exception:
                return None
        return wait_for(find, timeout, "the window %r" % title)

    def text_in(self, window):
        """The texts of the labels of a window (a message box's message)."""
        return [a.name for a in _descendants(window) if a.getRole() == pyatspi.ROLE_LABEL and a.name]

    @staticmethod
    def _find(root, predicate):
        """The first descendant, breadth first, that satisfies the predicate."""
        for node in _descendants(root):
            try:
                if predicate(node):
                    return node
            except Exception:
                pass
        return None

    # --- Looking -----------------------------------------------------------

    def title(self):
        return self.frame.name

    def wait_title(self, text, timeout=60):
        wait_for(lambda: self.title() == TITLE_PREFIX + text, timeout, "the title %r" % text)

    def _shown(self, name, role):
        """The control with this accessible name (and role) shown on screen,
        or None. Without a role a label is passed over: a field shares its
        label's name."""
        return self._find(self.frame, lambda a: a.name == name and (
            a.getRole() == role if role is not None else a.getRole() != pyatspi.ROLE_LABEL) and
            a.getState().contains(pyatspi.STATE_SHOWING))

    def control(self, name, role=None):
        return wait_for(lambda: self._shown(name, role), 10, "the control %r" % name)

    def has_control(self, name, role=None):
        return self._shown(name, role) is not None

    def enabled(self, name):
        return self.control(name).getState().contains(pyatspi.STATE_ENABLED)

    def screenshot(self, name):
        if not self.shots:
            return
        os.makedirs(self.shots, exist_ok=True)
        time.sleep(0.3)  # a few frames of the preview
        path = os.path.join(self.shots, name + ".png")
        if shutil.which("import"):
            subprocess.run(["import", "-window", "root", path], check=True)
            return
        # Without ImageMagick, the display's picture through GDK.
        from gi.repository import Gdk
        root = Gdk.get_default_root_window()
        picture = Gdk.pixbuf_get_from_window(root, 0, 0, root.get_width(), root.get_height())
        if picture:
            picture.savev(path, "png", [], [])

    # --- Using -------------------------------------------------------------

    def text_of(self, name):
        return _text(self.control(name))

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
            return _text(control)
        return [e.name for e in self._entries(control) if e.getState().contains(pyatspi.STATE_SELECTED)]

    # --- The keyboard, with a screen reader listening ----------------------

    def key(self, name):
        """Presses and releases a key ("Tab", "shift+Tab", "ctrl+a") in the
        window with the keyboard's focus."""
        *modifiers, key = name.split("+")
        held = [_keycode(_MODIFIERS[m]) for m in modifiers]
        for code in held:
            pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_PRESS)
        pyatspi.Registry.generateKeyboardEvent(_keyval(key), None, pyatspi.KEY_SYM)
        for code in reversed(held):
            pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_RELEASE)

    def type_keys(self, text):
        """Types the text key by key; letters the virtual keyboard lacks get
        keys of their own first, as a player's keyboard layout has them."""
        _keys_for(text)
        # A few keys at a time: the bus answers a long string late.
        for start in range(0, len(text), 8):
            pyatspi.Registry.generateKeyboardEvent(0, text[start:start + 8], pyatspi.KEY_STRING)

    def listen(self, label, until, what, timeout=30):
        """What Orca presents after the walk's `label` (a key) until
        until(heard) holds, checked and kept for the transcript."""
        try:
            events = self.reader.wait(until, timeout)
        except TimeoutError as e:
            self.listener.heard(label, e.args[0])
            raise Failure("after %s Orca did not present %s; it said %r" % (
                label, what, [h.said for h in e.args[0] if h.said]))
        self.listener.heard(label, events)
        return events

    def press_key(self, name, until=None, what="something", timeout=30):
        """A key, then what Orca presents for it (until `until` holds; by
        default the first thing it says)."""
        self.key(name)
        return self.listen(name, lambda h: not h.is_key and h.said and (until is None or until(h)), what, timeout)

    def tab_to(self, name, key="Tab", limit=30):
        """Tab (or `key`) until the control named `name` (or starting with
        it, when it ends in ":") has the focus."""
        for _ in range(limit):
            events = self.press_key(key, lambda h: h.is_focus and h.said, "the next control")
            reached = [h for h in events if h.is_focus and h.said][-1].name
            if reached == name or (name.endswith(":") and reached.startswith(name)):
                return
        raise Failure("%s did not reach %r" % (key, name))

    def arrow_to(self, entry, key="Down", limit=60):
        """Arrows through the focused list or drop-down until `entry` is
        presented (nothing when it is the current one)."""
        current = self.selected(self.listener.focus.name)
        if entry in ([current] if isinstance(current, str) else current):
            return
        for _ in range(limit):
            events = self.press_key(key, what="the next entry")
            if any(h.name == entry for h in events):
                return
        raise Failure("%s did not reach %r" % (key, entry))

    def enter(self, key, page, first, timeout=60):
        """A key that enters a page: Orca announces the page by its name,
        then the control with the focus, and nothing else."""
        self.key(key)
        events = self.listen(key, lambda h: h.is_focus and h.said and h.name == first,
                             "%r then %r" % (page, first), timeout)
        self.listener.entered(page, first, events + self.heard_until_quiet(), self.frame.getIndexInParent())

    def heard_until_quiet(self, label=""):
        """What Orca presents (after `label`) until it has been quiet a while."""
        events = self.reader.quiet()
        self.listener.heard(label, events)
        return events

    def open_dialog(self, key, title, focus=None, timeout=60):
        """A key that opens a dialog, presented by Orca, then its control
        `focus` with the focus, so the next key does not close it while
        Orca still reads it."""
        self.key(key)
        self.listen(key, lambda h: h.event == "window:activate" and h.name == title and h.said,
                    "the dialog %r" % title, timeout)
        if focus:
            self.listen("", lambda h: h.is_focus and h.said and h.name == focus, "%r in %r" % (focus, title))
        return self.wait_dialog(title, timeout)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
        self.log.close()


_MODIFIERS = {"shift": "Shift_L", "ctrl": "Control_L", "alt": "Alt_L"}


def _text(accessible):
    t = accessible.queryText()
    return t.getText(0, t.characterCount)


def _descendants(root):
    """Every descendant, breadth first; a node that no longer answers is passed over."""
    queue = [root]
    while queue:
        try:
            children = [c for c in queue.pop(0) if c is not None]
        except Exception:
            continue
        yield from children
        queue += children


def _keyval(name):
    from gi.repository import Gdk
    value = Gdk.keyval_from_name(name)
    if not value:
        raise Failure("no key %r" % name)
    return value


def _keys_for(text):
    """Puts each character of `text` that no key types on a spare key. (The
    bus would lend one key to each in turn, and a late reader reads the next.)"""
    from gi.repository import Gdk
    lacking = sorted({c for c in text if ord(c) > 0x7e})
    if not lacking:
        return
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
    x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x11.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.POINTER(ctypes.c_int)]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        return
    first, last, per = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
    x11.XDisplayKeycodes(display, ctypes.byref(first), ctypes.byref(last))
    count = last.value - first.value + 1
    mapping = x11.XGetKeyboardMapping(display, first.value, count, ctypes.byref(per))
    spare = [first.value + k for k in range(count)
             if not any(mapping[k * per.value + i] for i in range(per.value))]
    x11.XFree(mapping)
    for c in lacking:
        keysym = Gdk.unicode_to_keyval(ord(c))
        if x11.XKeysymToKeycode(display, keysym) or not spare:
            continue
        syms = (ctypes.c_ulong * per.value)(*([keysym, keysym] + [0] * (per.value - 2)))
        x11.XChangeKeyboardMapping(display, spare.pop(0), per.value, syms, 1)
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)


def _keycode(name):
    from gi.repository import Gdk
    found, keys = Gdk.Keymap.get_for_display(Gdk.Display.get_default()).get_entries_for_keyval(_keyval(name))
    if not found:
        raise Failure("no key %r on the keyboard" % name)
    return keys[0].keycode


def run_walk(walk):
    """Runs walk(window, check) on PROGRAM TRYSTER-CLI [SHOTS-FOLDER] from the
    command line, with Orca listening from before the program starts. A
    failed check is counted and the walk goes on; a Failure ends it with a
    screenshot. What Orca said goes to $TRYSTER_TRANSCRIPTS/NAME.txt where
    that names a folder. Without Orca the walk is skipped (exit 77), unless
    CI is set."""
    program, cli = sys.argv[1], sys.argv[2]
    shots = sys.argv[3] if len(sys.argv) > 3 else None
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)
            print("FAIL:", message)

    work = tempfile.mkdtemp(prefix="tryster-a11y-")
    try:
        reader = ScreenReader(os.path.join(work, "orca"))
    except Unavailable as e:
        print("screen reader: %s; what it says is not checked" % e)
        shutil.rmtree(work, ignore_errors=True)
        sys.exit(1 if os.environ.get("CI") else 77)
    started = time.monotonic()
    w = None
    try:
        w = Window(program, cli, shots, work, reader)
        w.listen("(start)", lambda h: h.is_focus and h.said, "the welcome page", 120)
        w.listener.entered("Welcome to The Ploms Tryster", "Create", w.reader.heard + w.heard_until_quiet(),
                           w.frame.getIndexInParent())
        walk(w, check)
    except Failure as e:
        failures.append(str(e))
        print("FAIL:", e)
        if w:
            w.screenshot("failure")
    finally:
        if w:
            w.close()
        reader.stop()
    if w:
        failures += w.listener.failures
        name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
        folder = os.environ.get("TRYSTER_TRANSCRIPTS")
        w.listener.write_transcript(os.path.join(folder or work, name.replace("walk_", "") + ".txt"),
                                    "tests/a11y/%s.py" % name)
        print("listened for %.0f s" % (time.monotonic() - started))
    if failures:
        print("%d check(s) failed; the program's folder and log are kept in %s" % (len(failures), work))
        sys.exit(1)
    shutil.rmtree(work, ignore_errors=True)
    print("all checks passed")

"""What a player who cannot see the screen hears: Orca run beside the
program with its speech off and its debug file on, each event it handles
read back from that file with what its speech would have said and its
braille display shown. Orca keeps everything it writes under the reader's
folder; the user's own settings are never read or touched.
"""

import os
import re
import signal
import subprocess
import time

import pyatspi

ORCA = "/usr/bin/orca"
# Orca is ready for the program once it listens to the desktop's events.
_READY = " - ORCA: Starting registry"

# Orca's own start, with three changes. Orca refuses to start beside
# another Orca of the same user, and its --replace kills every other one;
# walks run side by side (ctest runs two at a time, other checkouts run
# theirs), each in a desktop of its own: the walk's Orca starts without
# that check, and under another process name so that no one's --replace
# reaches it. Its debug file is written line by line, so that the walk
# reads what Orca presented as soon as it has.
_LAUNCH = """
import builtins, runpy, sys
orca = runpy.run_path(sys.argv[1], run_name="orca_in_walk")
scope = orca["main"].__globals__
scope["otherOrcas"] = lambda: []
scope["setProcessName"] = lambda name: False
scope["open"] = lambda path, mode="r": builtins.open(path, mode, buffering=1)
sys.argv = ["orca"] + sys.argv[2:]
sys.exit(scope["main"]())
"""

_BLOCK_START = re.compile(r"^vvvvv PROCESS (?:OBJECT EVENT (\S+)|(\S+): '?(.*?)'? \(\d+\)) vvvvv$")
_BLOCK_END = re.compile(r"^\^\^\^\^\^ PROCESS ")
_EVENT = re.compile(r" - OBJECT EVENT: (\S+) \((-?\d+), (-?\d+), ")
_SOURCE = re.compile(r"^\s+app\.name='(.*)' name='(.*)' role='(.*)'$")
_PATH = re.compile(r"^\s+path=\[(.*)\]$")
_SPEECH = re.compile(r" - SPEECH OUTPUT: '(.*)'(?: voice=\S+)?\s*\{.*\}$", re.S)
_BRAILLE = re.compile(r" - BRAILLE LINE:  '(.*)'$", re.S)
_CONTINUED = " " * 18


class Unavailable(Exception):
    """Orca cannot run here; the message says why."""


class Heard:
    """One event Orca handled: an object's event ("focus:",
    "window:activate", ...) with its source's name, role and path, or a key
    ("ATSPI_KEY_PRESSED_EVENT", its name in `name`); with the utterances and
    braille lines Orca presented for it."""

    def __init__(self, event):
        self.event = event
        self.detail1 = 0
        self.app = ""
        self.name = ""
        self.role = ""
        self.path = ()
        self.speech = []
        self.braille = []

    @property
    def said(self):
        return " ".join(s.strip() for s in self.speech if s.strip())

    @property
    def is_key(self):
        return self.event.startswith("ATSPI_KEY")

    @property
    def is_focus(self):
        """The event moves the focus (as Orca treats it)."""
        return self.event in ("focus:", "object:active-descendant-changed") or (
            self.event == "object:state-changed:focused" and self.detail1 == 1)


class ScreenReader:
    def __init__(self, folder, timeout=30):
        if not os.path.exists(ORCA):
            raise Unavailable("Orca is not installed (Debian package orca)")
        self.folder = folder
        home = os.path.join(folder, "home")
        prefs = os.path.join(folder, "prefs")
        for d in (home, prefs):
            os.makedirs(d, exist_ok=True)
        self.log_path = os.path.join(folder, "orca-debug.out")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   # Settings live in memory: nothing reaches the user's.
                   GSETTINGS_BACKEND="memory")
        self._out = open(os.path.join(folder, "orca.out"), "w")
        self.process = subprocess.Popen(
            ["/usr/bin/python3", "-c", _LAUNCH, ORCA, "--debug-file", self.log_path,
             "--disable", "speech,key-echo", "--user-prefs", prefs],
            env=env, stdout=self._out, stderr=subprocess.STDOUT, start_new_session=True)
        self._offset = 0
        self._partial = ""
        self._unfinished = None
        self._block = None
        self.heard = []   # every event Orca handled, in order
        self._cursor = 0  # the first of `heard` that new() has not returned
        deadline = time.monotonic() + timeout
        while not self._ready():
            if self.process.poll() is not None:
                raise Unavailable("Orca ended at start (see %s)" % self._out.name)
            if time.monotonic() > deadline:
                self.stop()
                raise Unavailable("Orca did not start within %d s" % timeout)
            time.sleep(0.1)
        self.new()  # Orca's own start

    def _ready(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return any(_READY in line for line in f)
        except FileNotFoundError:
            return False

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        self._out.close()

    # --- Reading the debug file ------------------------------------------

    def _read(self):
        try:
            with open(self.log_path, "rb") as f:
                f.seek(self._offset)
                data = f.read()
        except FileNotFoundError:
            return
        self._offset += len(data)
        text = self._partial + data.decode("utf-8", errors="replace")
        lines = text.split("\n")
        self._partial = lines.pop()
        for line in lines:
            self._line(line)

    def _line(self, line):
        # A presentation of several lines goes on in lines indented past
        # the time stamp.
        if self._unfinished is not None:
            if not line.startswith(_CONTINUED):
                self._unfinished = None
            else:
                self._unfinished += "\n" + line[len(_CONTINUED):]
                if self._presented(self._unfinished):
                    self._unfinished = None
                return
        if " - SPEECH OUTPUT: '" in line or " - BRAILLE LINE:  '" in line:
            if not self._presented(line):
                self._unfinished = line
            return
        start = _BLOCK_START.match(line)
        if start:
            self._block = Heard(start.group(1) or start.group(2))
            if start.group(2):
                self._block.name = start.group(3)
            return
        block = self._block
        if block is None:
            return
        if _BLOCK_END.match(line):
            self.heard.append(block)
            self._block = None
            return
        m = _EVENT.search(line)
        if m and not block.path:
            block.detail1 = int(m.group(2))
            return
        m = _SOURCE.match(line)
        if m and not block.role:
            block.app, block.name, block.role = m.groups()
            return
        m = _PATH.match(line)
        if m and not block.path:
            block.path = tuple(int(i) for i in m.group(1).split(",") if i.strip())
            return

    def _presented(self, line):
        """Takes a complete presentation from `line`; False when the line
        holds none or only its start."""
        block = self._block
        m = _SPEECH.search(line)
        if m:
            if block is not None:
                block.speech.append(m.group(1))
            return True
        m = _BRAILLE.search(line)
        if m:
            if block is not None:
                block.braille.append(m.group(1))
            return True
        return False

    def new(self):
        """The events Orca handled since the last call, in order."""
        self._read()
        out = self.heard[self._cursor:]
        self._cursor = len(self.heard)
        return out

    def wait(self, predicate, timeout=20):
        """Reads on until an event that satisfies the predicate is handled.
        Returns every event read meanwhile (that one last), or raises
        TimeoutError with the events read."""
        seen = []
        deadline = time.monotonic() + timeout
        while True:
            self._read()
            # One event at a time: what Orca handled after the one awaited
            # stays for the next call, even when both came in one read.
            while self._cursor < len(self.heard):
                heard = self.heard[self._cursor]
                self._cursor += 1
                seen.append(heard)
                if predicate(heard):
                    return seen
            if time.monotonic() > deadline:
                raise TimeoutError(seen)
            time.sleep(0.05)

    def quiet(self, for_seconds=0.6, timeout=20):
        """Reads on until Orca has handled nothing for a while; returns what
        it handled meanwhile."""
        seen = []
        deadline = time.monotonic() + timeout
        last = time.monotonic()
        while time.monotonic() - last < for_seconds and time.monotonic() < deadline:
            got = self.new()
            if got:
                seen += got
                last = time.monotonic()
            time.sleep(0.05)
        return seen


# --- Checking what Orca presents ------------------------------------------

# A window's activation presents it whole (a dialog read out): recorded only.
def _is_window(heard):
    return heard.event.startswith("window:")


class Listener:
    """Holds a walk to what a blind player needs of Orca, event by event:
    every control that takes the focus is presented with its name and role,
    by speech and braille; a list's entry only while its list has the focus;
    nothing from a page not shown; a page is entered with its name, then its
    focused control, and nothing else (entered()). What Orca says is kept
    with the keys that made it speak, as the walk's transcript."""

    def __init__(self, app_name, resolve=None):
        self.app_name = app_name
        self.resolve = resolve  # path -> the program's accessible there, or None
        self.failures = []
        self.transcript = []
        self.focus = None  # the last Heard that moved the focus with a presentation

    def fail(self, message):
        self.failures.append(message)
        print("FAIL:", message)

    def heard(self, label, events):
        """Checks and records events Orca handled after the walk's `label`
        (a key, or what the walk waited for)."""
        first = True
        for heard in events:
            if heard.is_key or not heard.said:
                continue
            self.transcript.append("%-18s %s" % (label if first else "", heard.said.replace("\n", " ")))
            first = False
            if heard.app and heard.app != self.app_name:
                continue
            if heard.is_focus:
                self._check_focus(heard)
            elif not _is_window(heard) and heard.role != "notification":
                self._check_shown(heard)

    def _check_focus(self, heard):
        said = heard.said.lower()
        braille = " ".join(heard.braille).lower()
        if heard.role == "list item":
            container = heard.path[:-1]
            focus = self.focus
            in_turn = focus is not None and (focus.path == container or focus.path[:-1] == container)
            if not in_turn:
                self.fail("an entry announced while its list has not the focus: %r" % heard.said)
            if heard.name.lower() not in said:
                self.fail("the entry %r presented as %r" % (heard.name, heard.said))
        else:
            if not heard.name:
                self.fail("an unnamed %s presented as %r" % (heard.role, heard.said))
            # A braille line shows some roles by their own marks (a text
            # field's cursor, a check box's box), not by name.
            if heard.name.lower() not in said or heard.role.lower() not in said:
                self.fail("%s %r said as %r" % (heard.role, heard.name, heard.said))
            if heard.name.lower() not in braille:
                self.fail("%s %r on the braille line as %r" % (heard.role, heard.name, braille))
        self._check_shown(heard)
        self.focus = heard

    def _check_shown(self, heard):
        if not self.resolve or not heard.path:
            return
        obj = self.resolve(heard.path)
        hidden = []
        while obj is not None:
            try:
                if not obj.getState().contains(pyatspi.STATE_SHOWING) and obj.getRole() != pyatspi.ROLE_LIST_ITEM:
                    hidden.append("%s %r" % (obj.getRoleName(), obj.name))
                obj = obj.parent
                if obj is not None and obj.getRole() == pyatspi.ROLE_APPLICATION:
                    break
            except Exception:
                break
        if hidden:
            self.fail("%r announced from what is not shown (%s)" % (heard.said, ", ".join(hidden)))

    def entered(self, page, first, events, window=0):
        """Checks that the first thing said for the focus names the page, then
        the control `first`, and nothing else but windows; only what Orca
        presented of the program's `window` (its index) counts, as a dialog
        closing on the way may be heard."""
        spoken = [h for h in events if not h.is_key and h.said and h.app in ("", self.app_name)
                  and (not h.path or h.path[0] == window)]
        focus = [h for h in spoken if h.is_focus]
        if not focus or focus[0].name != first:
            self.fail("the page %r entered without %r announced first: %r" % (page, first, [h.said for h in spoken]))
            return
        said = focus[0].said
        at_page, at_first = said.find(page), said.find(first)
        if at_page < 0 or at_first < at_page:
            self.fail("the page %r entered as %r" % (page, said))
        for heard in spoken:
            if heard is not focus[0] and not _is_window(heard):
                self.fail("on entering %r, also %r" % (page, heard.said))

    def write_transcript(self, path, walk):
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write("What Orca said on %s, by the keyboard alone: on each line the key the\n"
                    "walk pressed (or what it typed), then what Orca said for one event;\n"
                    "\"notification\" is what the window announced without moving the focus.\n"
                    "Orca ran with its speech off, read from its debug file.\n\n" % walk)
            f.write("\n".join(self.transcript) + "\n")

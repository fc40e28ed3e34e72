"""A small driver for end-to-end tests: the real plimo binary in its own Xvfb, driven by xdotool.

Each Session starts Xvfb on a display number of its own, makes a fresh working folder (with the
help file unless told otherwise), and starts the editor there. Without a window manager the main
window sits exactly where the editor puts it, so the panels' controls are clicked at their
designed places; screenshots tell when a panel shows. Waits poll for a condition with a deadline;
nothing sleeps for a fixed time where something can be waited for.
"""

import glob
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(os.path.dirname(HERE))
HELP_FILE = os.path.join(SOURCE_ROOT, "resources", "plimo-help.txt")
MAIN_TITLE = "Plimo Text Editor 1.7"
NOTE_TITLE = "Plimo - Note"
QUESTION_TITLE = "Plimo"
SAVE_TITLE = "Save your file"
OPEN_TITLE = "Open"
HELP_TITLE = "Plimo - Help"
ABOUT_TITLE = "Plimo - About"
PRINT_TITLE = "Print"  # the toolkit's print dialog

# The main window's layout, fixed by its design: `back` keeps a 10-pixel border inside the client
# area below the menu bar, and the one shown tool panel sits at its top, 62 pixels high, silver.
BACK_BORDER = 10
PANEL_HEIGHT = 62
WHITE = (255, 255, 255)
SILVER = (192, 192, 192)

# The tool panels' controls: left, top, width, height inside their panel.
CONTROLS = {
    # find
    "editF": (16, 16, 169, 28), "fButt": (194, 16, 80, 32), "cFind": (280, 16, 80, 32),
    # replace
    "rFrom": (16, 16, 169, 28), "rTo": (224, 16, 169, 28), "rButt": (408, 16, 80, 32),
    "cRep": (496, 16, 80, 32),
    # encrypt and decrypt
    "levelE": (16, 16, 177, 26), "pwdE": (248, 16, 169, 28), "eButt": (426, 16, 80, 32),
    "cEnc": (512, 16, 80, 32),
    "levelD": (16, 16, 177, 26), "pwdD": (248, 16, 169, 28), "dButt": (426, 16, 80, 32),
    "cDec": (512, 16, 80, 32),
    # type
    "ComboBox1": (16, 16, 177, 26), "cType": (208, 16, 80, 32), "ft": (312, 18, 273, 26),
    # Level A password
    "editLA": (16, 16, 169, 28), "laButt": (194, 16, 80, 32), "cLA": (280, 16, 80, 32),
}
LEVEL_A, LEVEL_B, LEVEL_C = 0, 1, 2
DESKTOP_VARIABLES = (
    "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
    "GNOME_DESKTOP_SESSION_ID", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR",
    "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
    "QT_FONT_DPI")
TYPE_SIZES = ["10", "12", "15", "18", "20", "22", "25", "28", "30", "32", "35"]


class E2EError(AssertionError):
    pass


class Image:
    """A screenshot as 8-bit RGB, read from ImageMagick's PPM output."""

    def __init__(self, ppm):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not m or int(m.group(3)) != 255:
            raise E2EError("the screenshot is not an 8-bit PPM picture")
        self.width, self.height = int(m.group(1)), int(m.group(2))
        self.data = ppm[m.end():]

    def pixel(self, x, y):
        o = (y * self.width + x) * 3
        return tuple(self.data[o:o + 3])

    def ink_box(self, left, top, right, bottom, darker_than=100):
        """The bounding box (x0, y0, x1, y1), ends excluded, of the dark pixels in a region."""
        xs, ys = [], []
        for y in range(max(0, top), min(self.height, bottom)):
            for x in range(max(0, left), min(self.width, right)):
                if max(self.pixel(x, y)) < darker_than:
                    xs.append(x)
                    ys.append(y)
        if not xs:
            return None
        return (min(xs), min(ys), max(xs) + 1, max(ys) + 1)


def run(*command, check=True, timeout=120, **kwargs):
    """Runs a command with its output captured as text; unless told, a failure raises E2EError
    with that output."""
    r = subprocess.run(command, capture_output=True, text=True, timeout=timeout, **kwargs)
    if check and r.returncode != 0:
        raise E2EError(f"{' '.join(command)} failed ({r.returncode}):\n{r.stdout}{r.stderr}")
    return r


def wait_until(condition, timeout=10.0, what="condition", poll=0.05):
    """The first true value of condition(), asked every `poll` seconds for `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2EError(f"timed out waiting for {what}")
        time.sleep(poll)


class Session:
    def __init__(self, binary, with_help=True, workdir=None, env=None, size=(1280, 1024),
                 wait_for=MAIN_TITLE, args=()):
        self.binary = os.path.abspath(binary)
        self.args = list(args)
        self.wait_for = wait_for
        self.size = size
        self._own_dir = workdir is None
        self.workdir = workdir or tempfile.mkdtemp(prefix="plimo-e2e-")
        if with_help and not os.path.exists(os.path.join(self.workdir, "plimo-help.txt")):
            shutil.copy(HELP_FILE, self.workdir)
        self.extra_env = env or {}
        self.xvfb = None
        self.app = None
        self.display = None

    # --- lifecycle -------------------------------------------------------------------------
    def __enter__(self):
        try:
            self.start_x()
            self.start_app(self.wait_for)
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, *exc):
        if exc[0] is not None and self.xvfb:
            # Leave what the screen showed beside the working folder's files for the post-mortem.
            try:
                self.screenshot(self.path("failure.png"))
            except Exception:  # noqa: BLE001 - the original failure is the one to report
                pass
            print(f"working folder kept: {self.workdir}", file=sys.stderr)
        self.stop_app()
        self.stop_x()
        if self._own_dir and exc[0] is None:
            shutil.rmtree(self.workdir, ignore_errors=True)
        return False

    def start_x(self):
        """Starts Xvfb on a display number of its own. Servers left to pick a free number
        (-displayfd alone) take no lock and can steal each other's socket when started side by
        side, as ctest -j does; a number named on the command line is locked by the server.
        With -noreset the server does not reset each time its last client leaves (a restart of
        the editor), which could turn away a client that arrives meanwhile."""
        rng = random.Random()
        for _ in range(50):
            number = rng.randrange(200, 30000)
            if (os.path.exists(f"/tmp/.X{number}-lock")
                    or os.path.exists(f"/tmp/.X11-unix/X{number}")):
                continue
            r, w = os.pipe()
            width, height = self.size
            xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-displayfd", str(w), "-screen", "0",
                 f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
                pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(w)
            with os.fdopen(r) as f:
                ready = f.readline().strip()  # written once the server takes connections
            if ready == str(number):
                self.xvfb = xvfb
                self.display = f":{number}"
                # Ready by its own word; a first client proves it before the editor relies on it.
                wait_until(self._x_answers, 10.0, f"Xvfb on {self.display} to answer")
                self.map_extra_keys()
                return
            xvfb.kill()  # the number was taken after all: try another
            xvfb.wait(timeout=10)
        raise E2EError("Xvfb did not start")

    # Keys the scenarios press that the server's keyboard lacks. xdotool would map each one for
    # a moment and put the map back, and a program that reads the key after that gets another
    # key; mapped for the whole session, they are keys like any other.
    EXTRA_KEYSYMS = ("dead_acute", "dead_grave", "dead_diaeresis", "U1F600", "U200F")

    def map_extra_keys(self):
        out = subprocess.run(["xmodmap", "-pke"], env=self.env(), capture_output=True, text=True,
                             timeout=30, check=True).stdout
        free = [int(line.split()[1]) for line in out.splitlines()
                if line.startswith("keycode") and len(line.split()) == 3]
        if len(free) < len(self.EXTRA_KEYSYMS):
            raise E2EError("the X server's keyboard has too few free keys")
        args = ["xmodmap"]
        for code, keysym in zip(free, self.EXTRA_KEYSYMS):
            args += ["-e", f"keycode {code} = {keysym}"]
        subprocess.run(args, env=self.env(), check=True, timeout=30)

    def _x_answers(self):
        return subprocess.run(["xdotool", "getdisplaygeometry"], env=self.env(),
                              capture_output=True, timeout=30).returncode == 0

    def stop_x(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)
            self.xvfb = None

    def env(self):
        e = dict(os.environ)
        # Run from a desktop session, Qt would take that desktop's theme (GTK file dialogs
        # instead of its own), style and scale: the tests need Qt's own, as on a bare X server.
        for name in DESKTOP_VARIABLES:
            e.pop(name, None)
        # The per-user options (the recent files) go to the working folder, not the real one.
        e.update({"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb",
                  "XDG_RUNTIME_DIR": self.workdir, "LC_ALL": "C.UTF-8",
                  "XDG_CONFIG_HOME": os.path.join(self.workdir, "config"),
                  "XDG_STATE_HOME": os.path.join(self.workdir, "state")})
        for name, value in self.extra_env.items():
            if value is None:  # None takes the variable out of the environment
                e.pop(name, None)
            else:
                e[name] = value
        return e

    def start_app(self, wait_for=MAIN_TITLE, command=None):
        self.log = open(os.path.join(self.workdir, "plimo.log"), "ab")
        self._client_top = None
        self.app = subprocess.Popen(command or [self.binary, *self.args], cwd=self.workdir,
                                    env=self.env(), stdout=self.log, stderr=self.log)
        if wait_for:
            self.main = self.wait_window(wait_for)
            self.focus(self.main)

    def check_alive(self):
        """Raises at once, with what the program printed, when it has ended unasked."""
        if self.app is not None and self.app.poll() is not None:
            with open(self.path("plimo.log"), "rb") as f:
                printed = f.read().decode(errors="replace")
            raise E2EError(f"the program ended with status {self.app.returncode}:\n{printed}")

    def stop_app(self):
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait(timeout=10)
        self.app = None
        if getattr(self, "log", None):
            self.log.close()
            self.log = None

    def wait_exit(self, timeout=10.0):
        """Waits for the program to end by itself and returns its exit status."""
        try:
            return self.app.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise E2EError("the program did not end") from None

    def restart(self):
        self.stop_app()
        self.start_app()

    def running(self):
        return self.app is not None and self.app.poll() is None

    # --- X helpers -------------------------------------------------------------------------
    def x(self, *args, check=True):
        r = subprocess.run(["xdotool", *map(str, args)], env=self.env(), capture_output=True,
                           text=True, timeout=30)
        if check and r.returncode != 0:
            raise E2EError(f"xdotool {' '.join(map(str, args))}: {r.stderr.strip()}")
        return r.stdout.strip()

    def windows(self, name):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                           env=self.env(), capture_output=True, text=True, timeout=30)
        return [w for w in r.stdout.split() if w]

    def wait_window(self, name, timeout=15.0):
        def shown():
            found = self.windows(name)
            if not found:
                self.check_alive()
            return (found or [None])[0]
        return wait_until(shown, timeout, f"window '{name}'")

    def wait_gone(self, name, timeout=10.0):
        wait_until(lambda: not self.windows(name), timeout, f"window '{name}' to close")

    def focus(self, window):
        self.x("windowactivate", "--sync", window, check=False)
        self.x("windowfocus", "--sync", window)

    def key(self, *keys, window=None):
        for k in keys:
            if window:
                self.x("key", "--window", window, "--clearmodifiers", k)
            else:
                self.x("key", "--clearmodifiers", k)

    def type(self, text):
        self.x("type", "--delay", "5", "--clearmodifiers", text)

    def geometry(self, window):
        out = subprocess.run(["xwininfo", "-id", window], env=self.env(), capture_output=True,
                             text=True, timeout=30).stdout
        values = {}
        for line in out.splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(key + ":"):
                    values[key] = int(line.split(":")[1])
        return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
                values["Width"], values["Height"])

    def click(self, window, x, y, button=1):
        self.x("mousemove", "--window", window, x, y)
        self.x("click", button)

    def screenshot(self, path, window="root"):
        subprocess.run(["import", "-window", str(window), path], env=self.env(), check=True,
                       timeout=30)
        return path

    def capture(self, window=None):
        """The pixels of a window (the main window unless told), as an Image."""
        r = subprocess.run(["import", "-window", str(window or self.main), "-depth", "8",
                            "ppm:-"], env=self.env(), capture_output=True, timeout=30)
        if r.returncode != 0:
            raise E2EError(f"import: {r.stderr.decode(errors='replace').strip()}")
        return Image(r.stdout)

    def clipboard(self):
        """The text on the X clipboard, or None while nobody owns it."""
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env(),
                           capture_output=True, timeout=30)
        return r.stdout.decode("utf-8") if r.returncode == 0 else None

    def wait_clipboard(self, expected, timeout=10.0):
        wait_until(lambda: self.clipboard() == expected, timeout, f"clipboard to hold {expected!r}")

    # --- the main window's panels ----------------------------------------------------------
    def client_top(self):
        """The height of the menu bar: the first row of `back`'s white border, measured once
        per start of the program (it depends on the font)."""
        if self._client_top is None:
            shot = self.capture()
            rows = [y for y in range(shot.height) if shot.pixel(3, y) == WHITE]
            if not rows:
                raise E2EError("cannot find the main window's client area")
            self._client_top = rows[0]
        return self._client_top

    def control_point(self, name, dx=None, dy=None):
        """Window coordinates of a point in a panel control (its centre unless told)."""
        x, y, w, h = CONTROLS[name]
        return (BACK_BORDER + x + (w // 2 if dx is None else dx),
                self.client_top() + BACK_BORDER + y + (h // 2 if dy is None else dy))

    def click_control(self, name):
        self.click(self.main, *self.control_point(name))

    def click_text_area(self):
        """A click into the editing area, below any panel, gives it the keyboard focus."""
        self.click(self.main, 350, self.client_top() + BACK_BORDER + PANEL_HEIGHT + 150)

    def panel_shown(self):
        return self.capture().pixel(BACK_BORDER + 2, self.client_top() + BACK_BORDER + 2) == SILVER

    def wait_panel(self, shown=True, timeout=10.0):
        wait_until(lambda: self.panel_shown() == shown, timeout,
                   "a tool panel to " + ("show" if shown else "hide"))

    def show_panel(self, keys):
        """A panel command whose toggle is known to be set: the panel appears."""
        self.focus(self.main)
        self.key(keys)
        self.wait_panel(True)

    def choose(self, list_name, index):
        """Picks entry `index` of a drop-down list as the user does, from the keyboard: a click
        focuses the list (and drops it down), Escape folds it up, Home and Down pick. (Enter in
        the dropped-down list would also press the panel's default button.)"""
        self.click_control(list_name)
        self.key("Escape", "Home", *(["Down"] * index))

    def fill(self, box_name, text):
        """Replaces the text of a panel's text box: click, select its text, type."""
        self.click_control(box_name)
        self.key("End", "shift+Home")
        if text:
            self.type(text)
        else:
            self.key("BackSpace")

    def control_colour(self, name):
        """The background colour of an (empty) text box, just inside its frame."""
        return self.capture().pixel(*self.control_point(name, dx=6, dy=5))

    def wait_control_colour(self, name, colour, timeout=10.0):
        wait_until(lambda: self.control_colour(name) == colour, timeout,
                   f"{name} to turn {colour}")

    def wait_control_ink(self, name, timeout=10.0):
        """Waits until a control shows some text (dark pixels inside its frame)."""
        x, y, w, h = CONTROLS[name]
        left, top = self.control_point(name, dx=0, dy=0)
        wait_until(lambda: self.capture().ink_box(left + 3, top + 3, left + w - 3, top + h - 3),
                   timeout, f"text in {name}")

    # --- dialogs and menus -----------------------------------------------------------------
    def wait_dialog(self, title, timeout=15.0):
        dialog = self.wait_window(title, timeout)
        self.focus(dialog)
        return dialog

    def dismiss(self, title, *keys, refocus=True):
        """Answers a modal window with keys and waits until it has gone; the main window then
        gets the focus back, unless the answer ends the program."""
        self.wait_dialog(title)
        self.key(*keys)
        self.wait_gone(title)
        if refocus:
            self.focus(self.main)

    def close_note(self):
        self.dismiss(NOTE_TITLE, "Return")

    def answer(self, yes, title=QUESTION_TITLE, refocus=True):
        self.dismiss(title, "alt+y" if yes else "alt+n", refocus=refocus)

    def choose_file(self, title, path):
        """Types a full path into a file dialog's name box and accepts it."""
        self.wait_dialog(title)
        self.type(path)
        self.key("Return")
        self.wait_gone(title)
        self.focus(self.main)

    def menu(self, *keys):
        """A menu item by its access letters, e.g. menu("alt+i", "v") for File > Save As."""
        self.focus(self.main)
        self.key(*keys)

    def save_new_document(self, name):
        """Ctrl+S on an unbound text: the save dialog, the name in the working folder; returns
        the bytes saved."""
        self.key("ctrl+s")
        self.choose_file(SAVE_TITLE, self.path(name))
        return self.wait_file(name)

    # --- files -----------------------------------------------------------------------------
    def path(self, name):
        return os.path.join(self.workdir, name)

    def journals(self):
        """The recovery journals in the session's state folder."""
        return glob.glob(os.path.join(self.workdir, "state", "plimo", "recovery", "*"))

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def wait_file(self, name, content=None, timeout=10.0):
        def ready():
            if not os.path.exists(self.path(name)):
                return False
            return content is None or self.read(name) == content
        wait_until(ready, timeout, f"file {name}" + (f" to hold {content!r}" if content else ""))
        return self.read(name)

    def wait_file_change(self, name, old, timeout=10.0):
        """Waits until a file holds something other than `old` and returns it."""
        def changed():
            data = self.read(name) if os.path.exists(self.path(name)) else old
            return data if data != old else None
        return wait_until(changed, timeout, f"file {name} to change")


XDG_OPEN_STAND_IN = """#!/bin/sh
# Records what the editor asks the desktop to open.
printf '%s\\n' "$@" >> "{record}"
"""


def xdg_open_stand_in(folder):
    """An xdg-open in `folder` that records each request (a mail program catching Quick Email):
    returns the environment that puts it first on PATH, and the file it records in."""
    record = os.path.join(folder, "opened.txt")
    stand_in = os.path.join(folder, "xdg-open")
    with open(stand_in, "w") as f:
        f.write(XDG_OPEN_STAND_IN.format(record=record))
    os.chmod(stand_in, 0o700)
    # A desktop session's requests go to xdg-open, found on PATH.
    return {"PATH": folder + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin")}, record


def run_scenarios(scenarios):
    """Runs each (name, function) and prints one line each, then the closing count line."""
    import traceback
    passed = failed = 0
    for name, fn in scenarios:
        started = time.monotonic()
        try:
            fn()
            passed += 1
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception:  # noqa: BLE001 - every failure is reported, then the next runs
            failed += 1
            print(f"FAIL {name}", flush=True)
            traceback.print_exc()
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)

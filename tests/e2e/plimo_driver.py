"""A small driver for end-to-end tests: the real plimo binary in its own Xvfb, driven by xdotool.

Each Session starts Xvfb on a free display (-displayfd), makes a fresh working folder (with the
help file unless told otherwise), and starts the editor there. Waits poll for a condition with a
deadline; nothing sleeps for a fixed time where something can be waited for.
"""

import os
import shutil
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(os.path.dirname(HERE))
HELP_FILE = os.path.join(SOURCE_ROOT, "resources", "plimo-help.txt")
MAIN_TITLE = "Plimo Text Editor 1.7"


class E2EError(AssertionError):
    pass


def wait_until(condition, timeout=10.0, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2EError(f"timed out waiting for {what}")
        time.sleep(0.05)


class Session:
    def __init__(self, binary, with_help=True, workdir=None, env=None, size=(1280, 1024)):
        self.binary = os.path.abspath(binary)
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
        self.start_x()
        self.start_app()
        return self

    def __exit__(self, *exc):
        self.stop_app()
        self.stop_x()
        if self._own_dir and exc[0] is None:
            shutil.rmtree(self.workdir, ignore_errors=True)
        return False

    def start_x(self):
        r, w = os.pipe()
        w_, h_ = self.size
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{w_}x{h_}x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise E2EError("Xvfb did not start")
        self.display = ":" + number

    def stop_x(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)
            self.xvfb = None

    def env(self):
        e = dict(os.environ)
        e.update({"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb",
                  "XDG_RUNTIME_DIR": self.workdir, "LC_ALL": "C.UTF-8"})
        e.update(self.extra_env)
        return e

    def start_app(self, wait_for=MAIN_TITLE):
        self.log = open(os.path.join(self.workdir, "plimo.log"), "ab")
        self.app = subprocess.Popen([self.binary], cwd=self.workdir, env=self.env(),
                                    stdout=self.log, stderr=self.log)
        if wait_for:
            self.main = self.wait_window(wait_for)
            self.focus(self.main)

    def stop_app(self):
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait(timeout=10)
        self.app = None

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
        return wait_until(lambda: (self.windows(name) or [None])[0], timeout,
                          f"window '{name}'")

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

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env(), check=True,
                       timeout=30)
        return path

    # --- files -----------------------------------------------------------------------------
    def path(self, name):
        return os.path.join(self.workdir, name)

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


def run_scenarios(scenarios):
    """Runs each (name, function) and prints one line each, then the closing count line."""
    import sys
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

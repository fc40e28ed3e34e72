#!/usr/bin/env python3
"""Start-up figures of the real editor, in its own Xvfb on a free display.

  * start-up time: from just before the process is started to its main window mapped, and to
    that window painted (the first pixels of the editing area on the screen); median of --runs;
  * idle memory: the resident set (VmRSS) once the started editor has stopped using processor
    time; median of the same runs;
  * 50 MB: one more start, then Ctrl+O, the path of a 50 MB file typed into the real open dialog,
    Return; the peak resident set (VmHWM) and the processor time the open took.

The X server is watched through Xlib (ctypes), so polling costs microseconds, not a process
start per look. The root window is black (-br) and the editing area white: a window is painted
once the pixel at its centre is no longer black.

usage: tools/startup_figures.py PATH/TO/plimo [--runs N] [--no-open] [--json FILE]
"""

import argparse
import ctypes
import ctypes.util
import json
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import plimo_driver as driver  # noqa: E402  (the test driver's helpers, shared)

HERE = os.path.dirname(os.path.abspath(__file__))
HELP_FILE = os.path.join(os.path.dirname(HERE), "resources", "plimo-help.txt")
MAIN_TITLE = "Plimo Text Editor 1.7"
OPEN_DIALOG_TITLE = "Open"
POLL = 0.001
CLOCK_TICK = os.sysconf("SC_CLK_TCK")
ONE_MB = 1024 * 1024
IS_VIEWABLE = 2
ZPIXMAP = 2
ALL_PLANES = 0xFFFFFFFFFFFFFFFF


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class XServer:
    """The few Xlib calls needed to find a process's windows and read a pixel."""

    def __init__(self, display):
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
            ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                           ctypes.POINTER(XWindowAttributes)]
        x.XGetImage.restype = ctypes.c_void_p
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XGetPixel.restype = ctypes.c_ulong
        x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.c_void_p]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        self.x = x
        self.dpy = x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display}")
        # A window that goes away between being listed and being asked about is no reason to
        # end this process (Xlib's default handler exits).
        self._on_error = ERROR_HANDLER(lambda dpy, event: 0)
        x.XSetErrorHandler(self._on_error)
        self.root = x.XDefaultRootWindow(self.dpy)
        self.atom_name = x.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)
        self.atom_pid = x.XInternAtom(self.dpy, b"_NET_WM_PID", 0)

    def top_levels(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            self.x.XFree(children)
        return windows

    def _property(self, window, atom):
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        items, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        ok = self.x.XGetWindowProperty(self.dpy, window, atom, 0, 1024, 0, 0,
                                       ctypes.byref(kind), ctypes.byref(fmt),
                                       ctypes.byref(items), ctypes.byref(after),
                                       ctypes.byref(data))
        if ok != 0 or not data.value:
            return None
        try:
            if fmt.value == 8:
                return ctypes.string_at(data.value, items.value)
            if fmt.value == 32 and items.value:
                return ctypes.cast(data.value, ctypes.POINTER(ctypes.c_ulong))[0]
            return None
        finally:
            self.x.XFree(data)

    def attributes(self, window):
        attrs = XWindowAttributes()
        if not self.x.XGetWindowAttributes(self.dpy, window, ctypes.byref(attrs)):
            return None
        return attrs

    def windows_of(self, pid):
        """(window, title, attributes) of the process's viewable top-level windows."""
        found = []
        for w in self.top_levels():
            if self._property(w, self.atom_pid) != pid:
                continue
            attrs = self.attributes(w)
            if attrs is None or attrs.map_state != IS_VIEWABLE:
                continue
            title = (self._property(w, self.atom_name) or b"").decode("utf-8", "replace")
            found.append((w, title, attrs))
        return found

    def pixel(self, window, x, y):
        image = self.x.XGetImage(self.dpy, window, x, y, 1, 1, ALL_PLANES, ZPIXMAP)
        if not image:
            return None
        try:
            return self.x.XGetPixel(image, 0, 0)
        finally:
            self.x.XDestroyImage(image)


def wait_until(condition, timeout, what):
    return driver.wait_until(condition, timeout, what, poll=POLL)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICK


def memory_mb(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1]) / 1024
    return 0.0


def wait_idle(pid, quiet=0.5, timeout=60.0):
    """Waits until the process has used no processor time for `quiet` seconds."""
    deadline = time.monotonic() + timeout
    last, since = cpu_seconds(pid), time.monotonic()
    while time.monotonic() - since < quiet:
        if time.monotonic() > deadline:
            raise RuntimeError("the editor never went idle")
        time.sleep(0.02)
        now = cpu_seconds(pid)
        if now != last:
            last, since = now, time.monotonic()
    return last, since


class Xvfb:
    def __enter__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-br"], pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait(timeout=10)


class Editor:
    """One start of the editor, timed from just before the process exists."""

    def __init__(self, binary, workdir, display, server):
        self.server = server
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                   XDG_RUNTIME_DIR=workdir, LC_ALL="C.UTF-8")
        self.log = open(os.path.join(workdir, "plimo.log"), "ab")
        self.started = time.monotonic()
        self.proc = subprocess.Popen([binary], cwd=workdir, env=env, stdout=self.log,
                                     stderr=self.log)
        self.pid = self.proc.pid

    def main_window(self):
        for w, title, attrs in self.server.windows_of(self.pid):
            if title == MAIN_TITLE:
                return w, attrs
        if self.proc.poll() is not None:
            raise RuntimeError("the editor ended during start-up")
        return None

    def measure_start(self):
        window, attrs = wait_until(self.main_window, 30, "the main window")
        mapped = time.monotonic() - self.started
        cx, cy = attrs.width // 2, attrs.height // 2
        wait_until(lambda: self.server.pixel(window, cx, cy), 30, "the first paint")
        painted = time.monotonic() - self.started
        cpu_at_paint = cpu_seconds(self.pid)
        self.window = window
        return mapped, painted, cpu_at_paint

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait(timeout=10)
        self.log.close()


def xdotool(display, *args):
    subprocess.run(["xdotool", *map(str, args)], env=dict(os.environ, DISPLAY=display),
                   check=True, capture_output=True, timeout=60)


def make_text_file(path, megabytes):
    """Printable lines of 40..100 characters with CR LF, made from one random megabyte."""
    rng = random.Random(7)
    piece = bytearray()
    while len(piece) < ONE_MB:
        n = rng.randint(40, 100)
        piece += bytes(rng.randint(33, 126) if i % 7 != 6 else 32 for i in range(n)) + b"\r\n"
    piece = bytes(piece[:ONE_MB - 2]) + b"\r\n"
    with open(path, "wb") as f:
        for _ in range(megabytes):
            f.write(piece)


def open_through_dialog(editor, display, path):
    xdotool(display, "windowfocus", "--sync", editor.window)
    xdotool(display, "key", "--clearmodifiers", "ctrl+o")

    def dialog():
        for w, title, _ in editor.server.windows_of(editor.pid):
            if title == OPEN_DIALOG_TITLE:
                return w
        return None

    window = wait_until(dialog, 30, "the open dialog")
    xdotool(display, "windowfocus", "--sync", window)
    xdotool(display, "type", "--delay", "2", "--clearmodifiers", path)
    cpu_before = cpu_seconds(editor.pid)
    returned = time.monotonic()
    xdotool(display, "key", "--clearmodifiers", "Return")
    wait_until(lambda: not dialog(), 30, "the open dialog to close")
    cpu_after, idle_since = wait_idle(editor.pid)
    return cpu_after - cpu_before, idle_since - returned


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("binary")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--no-open", action="store_true", help="skip the 50 MB open")
    parser.add_argument("--json", help="also write the figures to this file")
    args = parser.parse_args()
    binary = os.path.abspath(args.binary)

    workdir = tempfile.mkdtemp(prefix="plimo-startup-")
    shutil.copy(HELP_FILE, workdir)
    figures = {}
    try:
        with Xvfb() as x:
            server = XServer(x.display)
            # One start that is not counted: it writes plimo.dat and fills the file cache, as
            # on any start but the very first.
            warm = Editor(binary, workdir, x.display, server)
            warm.measure_start()
            warm.stop()

            mapped, painted, cpu, idle = [], [], [], []
            for run in range(args.runs):
                e = Editor(binary, workdir, x.display, server)
                try:
                    m, p, c = e.measure_start()
                    wait_idle(e.pid)
                    rss = memory_mb(e.pid, "VmRSS")
                finally:
                    e.stop()
                mapped.append(m)
                painted.append(p)
                cpu.append(c)
                idle.append(rss)
                print(f"run {run + 1}: mapped {m * 1e3:.0f} ms, painted {p * 1e3:.0f} ms, "
                      f"cpu {c * 1e3:.0f} ms, idle VmRSS {rss:.1f} MB", flush=True)
            figures.update(
                runs=args.runs,
                mapped_ms_median=statistics.median(mapped) * 1e3,
                painted_ms_median=statistics.median(painted) * 1e3,
                painted_ms_min=min(painted) * 1e3,
                painted_ms_max=max(painted) * 1e3,
                cpu_ms_at_paint_median=statistics.median(cpu) * 1e3,
                idle_rss_mb_median=statistics.median(idle),
                idle_rss_mb_max=max(idle))

            if not args.no_open:
                path = os.path.join(workdir, "big-50mb.txt")
                make_text_file(path, 50)
                e = Editor(binary, workdir, x.display, server)
                try:
                    e.measure_start()
                    wait_idle(e.pid)
                    before = memory_mb(e.pid, "VmRSS")
                    open_cpu, open_wall = open_through_dialog(e, x.display, path)
                    peak = memory_mb(e.pid, "VmHWM")
                    after = memory_mb(e.pid, "VmRSS")
                finally:
                    e.stop()
                # The editing area keeps the text as its bytes: 50 MB.
                if after - before < 45:
                    raise RuntimeError(f"the 50 MB file does not seem to be open "
                                       f"(VmRSS {before:.0f} -> {after:.0f} MB)")
                figures.update(open50_peak_rss_mb=peak, open50_rss_after_mb=after,
                               open50_cpu_s=open_cpu, open50_wall_to_idle_s=open_wall)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)

    print()
    print(f"start to window mapped (median of {args.runs}):  "
          f"{figures['mapped_ms_median']:.0f} ms")
    print(f"start to window painted (median of {args.runs}): "
          f"{figures['painted_ms_median']:.0f} ms "
          f"(min {figures['painted_ms_min']:.0f}, max {figures['painted_ms_max']:.0f}; "
          f"target 500 ms: {'met' if figures['painted_ms_median'] <= 500 else 'MISSED'})")
    print(f"processor time until painted (median):     "
          f"{figures['cpu_ms_at_paint_median']:.0f} ms")
    print(f"idle resident memory (median):               "
          f"{figures['idle_rss_mb_median']:.1f} MB "
          f"(target 80 MB: {'met' if figures['idle_rss_mb_median'] < 80 else 'MISSED'})")
    if "open50_peak_rss_mb" in figures:
        print(f"50 MB file opened through the dialog: peak {figures['open50_peak_rss_mb']:.0f} MB, "
              f"resident after {figures['open50_rss_after_mb']:.0f} MB, "
              f"processor {figures['open50_cpu_s']:.2f} s, "
              f"Return to idle {figures['open50_wall_to_idle_s']:.2f} s")
    if args.json:
        with open(args.json, "w") as f:
            json.dump(figures, f, indent=2)
    return 0


if __name__ == "__main__":
    sys.exit(main())

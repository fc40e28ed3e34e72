#!/usr/bin/env python3
"""The editor starts in a fresh folder: 700 x 500, centred, and plimo.dat holds the defaults;
the window carries the icon and the class the menu entry names."""
import subprocess
import sys

from plimo_driver import MAIN_TITLE, Session, run_scenarios

BINARY = sys.argv[1]


def first_start():
    with Session(BINARY) as s:
        x, y, w, h = s.geometry(s.main)
        assert (w, h) == (700, 500), (w, h)
        assert (x, y) == ((1280 - 700) // 2, (1024 - 500) // 2), (x, y)
        data = s.wait_file("plimo.dat")
        assert data == b"Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n", data
        # The desktop matches the window with the menu entry (StartupWMClass=plimo) and shows
        # its icon.
        props = subprocess.run(["xprop", "-id", s.main, "WM_CLASS", "_NET_WM_ICON"], env=s.env(),
                               capture_output=True, text=True, timeout=30).stdout
        assert 'WM_CLASS(STRING) = "plimo", "plimo"' in props, props
        assert "_NET_WM_ICON(CARDINAL) = " in props, props[:200]
        s.type("Hello")
        s.key("ctrl+t")
        s.screenshot(s.path("started.png"))
        assert s.running()


run_scenarios([("first start", first_start)])

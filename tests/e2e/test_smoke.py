#!/usr/bin/env python3
"""The editor starts in a fresh folder: 700 x 500, centred, and plimo.dat holds the defaults."""
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
        s.type("Hello")
        s.key("ctrl+t")
        s.screenshot(s.path("started.png"))
        assert s.running()


run_scenarios([("first start", first_start)])

#!/usr/bin/env python3
"""Pictures of the main window with each tool panel shown, at 1x and 2x scale (QT_SCALE_FACTOR),
in the real editor on its own Xvfb, with the fonts the set-up installs. The level lists show
their longest entry, "Very Good - Level B"; the status bar shows where the caret is; the find
panel marks the hits of "the"; the line numbers are on. Then the print preview of the letter.

usage: tools/panel_screenshots.py PATH/TO/plimo [OUTPUT_FOLDER]   (default docs/screenshots)
"""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from plimo_driver import (BACK_BORDER, CONTROLS, LEVEL_B, SILVER, Session,  # noqa: E402
                          wait_until)

PREVIEW_TITLE = "Print Preview"

PANELS = [("find", "ctrl+f", None), ("replace", "ctrl+r", None), ("encrypt", "ctrl+e", "levelE"),
          ("decrypt", "ctrl+d", "levelD"), ("type", "ctrl+t", None),
          ("level-a-password", "ctrl+l", None), ("go-to-line", "ctrl+g", None)]


def save(path):
    subprocess.run(["convert", path, "-strip", path], check=True, timeout=60)
    print(path)


def shoot(binary, scale, folder):
    env = {"QT_SCALE_FACTOR": str(scale)}
    workdir = tempfile.mkdtemp(prefix="plimo-shots-")
    os.makedirs(os.path.join(workdir, "config", "plimo"))
    with open(os.path.join(workdir, "config", "plimo", "options"), "w") as f:
        f.write("line-numbers=on\n")
    with Session(binary, workdir=workdir, env=env, size=(1280 * scale, 1024 * scale)) as s:
        s.type("Dear Anna,")
        s.key("Return")
        s.type("the letter goes on, and on, and the next line is the third.")
        for name, keys, level_list in PANELS:
            s.focus(s.main)
            s.key(keys)
            # The panel's top left corner, in the scaled window's pixels.
            corner = ((BACK_BORDER + 2) * scale, s.client_top() + (BACK_BORDER + 2) * scale)
            wait_until(lambda: s.capture().pixel(*corner) == SILVER, 10.0, f"the {name} panel")
            if level_list:
                x, y, w, h = CONTROLS[level_list]
                s.click(s.main, (BACK_BORDER + x + w // 2) * scale,
                        s.client_top() + (BACK_BORDER + y + h // 2) * scale)
                s.key("Escape", "Home", *(["Down"] * LEVEL_B))
            if name == "find":
                s.type("the")
            path = os.path.join(folder, f"panel-{name}-{scale}x.png")
            s.screenshot(path, window=s.main)
            save(path)
        s.menu("alt+i", "w")  # File > Print Preview
        preview = s.wait_dialog(PREVIEW_TITLE)
        path = os.path.join(folder, f"print-preview-{scale}x.png")
        s.screenshot(path, window=preview)
        save(path)
        s.key("Escape")
    shutil.rmtree(workdir, ignore_errors=True)


def main():
    binary = sys.argv[1]
    folder = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "docs", "screenshots")
    os.makedirs(folder, exist_ok=True)
    for scale in (1, 2):
        shoot(binary, scale, folder)


main()

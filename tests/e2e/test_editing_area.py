#!/usr/bin/env python3
"""The editing area in the real window: typing, a selection dragged with the mouse, the X11
selection pasted with the middle button, a dead key, and Ctrl+Z after Encrypt bringing back the
text exactly as it looked."""
import subprocess
import sys

from plimo_driver import (BACK_BORDER, LEVEL_C, PANEL_HEIGHT, E2EError, Session,
                          run_scenarios, wait_until)

BINARY = sys.argv[1]


def text_top(s):
    """Window y of the editing area's first text row, with no panel shown."""
    return s.client_top() + BACK_BORDER * 2 + 4


def primary(s):
    """The X11 selection (PRIMARY), or None while nobody owns it."""
    r = subprocess.run(["xclip", "-o", "-selection", "primary"], env=s.env(),
                       capture_output=True, timeout=30)
    return r.stdout.decode("utf-8") if r.returncode == 0 else None


def text_pixels(s):
    """The pixels of the editing area's first lines, the caret away in the find box."""
    s.key("ctrl+f")
    s.wait_panel(True)
    shot = s.capture()
    top = s.client_top() + BACK_BORDER + PANEL_HEIGHT + 2
    box = (BACK_BORDER + 2, top, 600, top + 80)
    if shot.ink_box(*box) is None:
        raise E2EError("no text in the editing area")
    pixels = [shot.pixel(x, y) for y in range(box[1], box[3]) for x in range(box[0], box[2])]
    s.key("ctrl+f")
    s.wait_panel(False)
    return pixels


def drag_selects_and_middle_click_pastes():
    with Session(BINARY) as s:
        s.type("alpha beta gamma")
        y = text_top(s) + 8
        # From the left edge to the middle of the line: a prefix of it, and the X11 selection.
        s.x("mousemove", "--window", s.main, BACK_BORDER * 2 + 6, y)
        s.x("mousedown", 1)
        s.x("mousemove", "--window", s.main, 200, y)
        s.x("mousemove", "--window", s.main, 120, y)
        s.x("mouseup", 1)
        selected = wait_until(lambda: primary(s), 10.0, "the X11 selection")
        if not selected or not "alpha beta gamma".startswith(selected):
            raise E2EError(f"the drag selected {selected!r}")
        # The middle button pastes it where it is clicked: past the end of the line.
        s.click(s.main, 600, y, button=2)
        assert s.save_new_document("dragged.txt") == ("alpha beta gamma" + selected).encode()
        # A double click takes a whole word.
        s.x("mousemove", "--window", s.main, BACK_BORDER * 2 + 4, y)
        s.x("click", "--repeat", 2, 1)
        wait_until(lambda: primary(s) == "alpha", 10.0, "the double-clicked word as selection")


def dead_key_composes():
    with Session(BINARY) as s:
        s.type("caf")
        s.key("dead_acute", "e")
        s.key("Return")
        s.key("dead_grave", "a", "dead_diaeresis", "u")
        assert s.save_new_document("composed.txt") == b"caf\xe9\r\n\xe0\xfc"


def undo_after_encrypt_brings_the_text_back():
    with Session(BINARY) as s:
        s.type("Dear Ann,")
        s.key("Return")
        s.type("see you at eight.")
        before = text_pixels(s)
        s.key("ctrl+e")
        s.wait_panel(True)
        s.choose("levelE", LEVEL_C)
        s.fill("pwdE", "mistyped")
        s.click_control("eButt")  # the panel closes as the text is encrypted
        s.wait_panel(False)
        if text_pixels(s) == before:
            raise E2EError("the text looks the same after Encrypt")
        s.click_text_area()
        s.key("ctrl+z")
        wait_until(lambda: text_pixels(s) == before, 10.0, "the text to look as before Encrypt")
        assert s.save_new_document("letter.txt") == b"Dear Ann,\r\nsee you at eight."
        s.key("ctrl+y")  # and the encryption is there again
        s.key("ctrl+s")
        cipher = s.wait_file_change("letter.txt", b"Dear Ann,\r\nsee you at eight.")
        if len(cipher) != 28 or cipher[9:11] != b"\r\n":
            raise E2EError(f"redo gave {cipher!r}")


run_scenarios([
    ("a dragged selection, the X11 selection and a middle-click paste",
     drag_selects_and_middle_click_pastes),
    ("dead keys compose accented letters", dead_key_composes),
    ("Ctrl+Z after Encrypt: the text back, looking as it did", undo_after_encrypt_brings_the_text_back),
])

#!/usr/bin/env python3
"""Unsaved text survives kill -9: typed in the real window, the editor killed, started again,
Restore gives back what was typed two seconds before the kill; the same after Encrypt and after
Replace All over 50 MB; Discard leaves nothing behind."""
import os
import sys
import tempfile
import time

from plimo_driver import (QUESTION_TITLE, SAVE_TITLE, WHITE, Session, run_scenarios,
                          wait_until)

BINARY = sys.argv[1]
# The journal is on the disk at most this long after the last change.
SYNCED_WITHIN = 2.0


def kill_and_answer(s, keys):
    """kill -9, a new start, and the restore question answered with `keys`."""
    s.restart()
    s.dismiss(QUESTION_TITLE, *keys)


def typed_text_comes_back():
    with Session(BINARY) as s:
        s.type("First line")
        s.key("Return")
        s.type("second line")
        time.sleep(SYNCED_WITHIN)
        kill_and_answer(s, ["Return"])  # Restore is the default button
        s.key("ctrl+s")  # a new document: Save As
        s.choose_file(SAVE_TITLE, s.path("back.txt"))
        assert s.wait_file("back.txt") == b"First line\r\nsecond line"
        wait_until(lambda: not s.journals(), 10.0, "the journal to go once saved")


def discard_leaves_nothing():
    with Session(BINARY) as s:
        s.type("to be thrown away")
        time.sleep(SYNCED_WITHIN)
        assert s.journals()
        kill_and_answer(s, ["alt+d"])
        wait_until(lambda: not s.journals(), 10.0, "the journal to be removed")
        # Nothing is left for the next start either.
        s.restart()
        time.sleep(1.0)
        assert not s.windows(QUESTION_TITLE)


def encrypted_text_comes_back():
    plain = b"Meet at the north gate"
    with Session(BINARY) as s:
        s.type(plain.decode())
        s.show_panel("ctrl+e")
        s.click_control("eButt")  # Level A, the level at start
        s.wait_panel(False)
        time.sleep(SYNCED_WITHIN)
        kill_and_answer(s, ["Return"])
        s.key("ctrl+s")
        s.choose_file(SAVE_TITLE, s.path("cipher.txa"))
        cipher = s.wait_file("cipher.txa")
        assert len(cipher) == len(plain) and cipher != plain, cipher
        # The cipher text back, byte for byte: it decrypts to the text typed.
        s.show_panel("ctrl+d")
        s.click_control("dButt")
        s.wait_panel(False)
        s.menu("alt+i", "v")  # File > Save As
        s.choose_file(SAVE_TITLE, s.path("plain.txt"))
        assert s.wait_file("plain.txt", plain) == plain


def replace_all_of_50_mb_comes_back():
    line = b"apple pie and apple tart\r\n"
    text = line * (50 * 1024 * 1024 // len(line))
    with tempfile.TemporaryDirectory(prefix="plimo-e2e-") as folder:
        with open(os.path.join(folder, "big.txt"), "wb") as f:
            f.write(text)
        with Session(BINARY, workdir=folder, args=["big.txt"]) as s:
            def painted():
                shot = s.capture()
                return any(shot.pixel(3, y) == WHITE for y in range(shot.height))
            wait_until(painted, 60.0, "the window painted after opening 50 MB")
            s.show_panel("ctrl+r")
            s.type("apple")
            s.click_control("rTo")
            s.type("pear")
            s.click_control("rButt")
            # A whole-text change writes a copy: there once it has its name.
            expected = text.replace(b"apple", b"pear")
            wait_until(lambda: any(p.endswith(".journal") and os.path.getsize(p) > len(expected)
                                   for p in s.journals()), 60.0, "the journal of 50 MB")
            kill_and_answer(s, ["Return"])
            s.key("ctrl+s")  # bound to big.txt, unchanged on the disk: written at once
            assert s.wait_file("big.txt", expected, timeout=60.0) == expected


run_scenarios([
    ("typed text comes back after kill -9", typed_text_comes_back),
    ("Discard leaves nothing behind", discard_leaves_nothing),
    ("encrypted text comes back", encrypted_text_comes_back),
    ("Replace All of 50 MB comes back", replace_all_of_50_mb_comes_back),
])

#!/usr/bin/env python3
"""Documents as a person handles them: a letter typed, saved through the real save dialog,
encrypted at Level B, saved, closed, opened again through the real open dialog and decrypted;
a start in a folder that lacks the help file; a file named on the command line, and saving over
a file that another program changed meanwhile."""
import os
import subprocess
import sys
import tempfile

from plimo_driver import (LEVEL_B, MAIN_TITLE, NOTE_TITLE, OPEN_TITLE, QUESTION_TITLE,
                          SAVE_TITLE, WHITE, E2EError, Session, run_scenarios)

BINARY = sys.argv[1]

LETTER = ["Dear Anna,", "the spare key is under the third flower pot (left of the door).",
          "See you on Friday at 7 - Tom"]
LETTER_BYTES = "\r\n".join(LETTER).encode("ascii")
LEVEL_B_CODE = "417"

# Set to a folder to keep a picture of the editor for the README.
SCREENSHOT_DIR = os.environ.get("PLIMO_SCREENSHOT_DIR")


def type_lines(s, lines):
    for i, line in enumerate(lines):
        if i:
            s.key("Return")
        s.type(line)


def assert_cipher_text_of(cipher, plain):
    """A shift cipher keeps the length and the line breaks, and changes the other bytes."""
    assert len(cipher) == len(plain), (len(cipher), len(plain))
    for c, p in zip(cipher, plain):
        assert (c in b"\r\n") == (p in b"\r\n"), (cipher, plain)
        assert c in b"\r\n" or 32 <= c <= 157, cipher
    assert cipher != plain


def letter_round_trip_at_level_b():
    with Session(BINARY) as s:
        txt, txb = s.path("letter.txt"), s.path("letter.txb")
        type_lines(s, LETTER)

        s.key("ctrl+s")  # a new document: Save runs Save As
        s.choose_file(SAVE_TITLE, txt)
        assert s.wait_file("letter.txt", LETTER_BYTES) == LETTER_BYTES

        s.show_panel("ctrl+e")
        s.choose("levelE", LEVEL_B)
        # The user's pick of Level B switches the password box on, white.
        s.wait_control_colour("pwdE", WHITE)
        s.fill("pwdE", LEVEL_B_CODE)
        if SCREENSHOT_DIR:
            s.wait_control_ink("pwdE")
            os.makedirs(SCREENSHOT_DIR, exist_ok=True)
            s.screenshot(os.path.join(SCREENSHOT_DIR, "screenshot.png"), window=s.main)
        s.click_control("eButt")
        s.wait_panel(False)

        # The document stays bound to letter.txt: Save writes the cipher text there at once.
        s.key("ctrl+s")
        cipher = s.wait_file_change("letter.txt", LETTER_BYTES)
        assert_cipher_text_of(cipher, LETTER_BYTES)
        assert not s.windows(SAVE_TITLE), "Save asked for a name although the text has a file"

        s.menu("alt+i", "v")  # File > Save As
        s.choose_file(SAVE_TITLE, txb)
        assert s.wait_file("letter.txb", cipher) == cipher

        s.key("ctrl+w")
        s.answer(True)  # "Closing this file - are you sure?"
        # The editing area is empty now: Save refuses with a message and writes nothing.
        s.key("ctrl+s")
        s.close_note()
        assert s.read("letter.txb") == cipher

        s.key("ctrl+o")
        s.choose_file(OPEN_TITLE, txb)
        s.show_panel("ctrl+d")
        s.choose("levelD", LEVEL_B)
        s.fill("pwdD", LEVEL_B_CODE)
        s.click_control("dButt")
        s.wait_panel(False)
        s.key("ctrl+s")  # bound to letter.txb since the open: no dialog
        assert s.wait_file("letter.txb", LETTER_BYTES) == LETTER_BYTES
        assert not s.windows(SAVE_TITLE) and not s.windows(NOTE_TITLE)
        assert s.running()


def start_without_help_file():
    error_caption = "Plimo Text Editorius 1.7"
    with Session(BINARY, with_help=False, wait_for=None) as s:
        # The help window reads its file while the windows are made, before the main window
        # is shown: the error box comes first, captioned with the application title.
        s.wait_dialog(error_caption)
        if s.windows(MAIN_TITLE):
            raise E2EError("the main window showed before the error box was closed")
        s.key("Return")
        s.wait_gone(error_caption)
        s.main = s.wait_window(MAIN_TITLE)
        s.focus(s.main)
        assert s.running()

        s.type("Still works.")
        s.key("ctrl+s")
        s.choose_file(SAVE_TITLE, s.path("after.txt"))
        assert s.wait_file("after.txt", b"Still works.") == b"Still works."
        assert not os.path.exists(s.path("plimo-help.txt"))


def command_line_prints_and_refuses():
    # No display is needed to ask for help or the version.
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}

    def run(*args):
        return subprocess.run([BINARY, *args], env=env, capture_output=True, text=True,
                              timeout=30)
    r = run("--version")
    assert (r.returncode, r.stdout, r.stderr) == (0, "Plimo Text Editor 1.7\n", ""), r
    r = run("--help")
    assert r.returncode == 0 and r.stdout.startswith("Usage: plimo [FILE]\n") and not r.stderr, r
    for wrong in (["--frobnicate"], ["a.txt", "b.txt"]):
        r = run(*wrong)
        assert r.returncode == 2 and not r.stdout, (wrong, r)
        assert r.stderr.startswith("plimo: ") and "Usage: plimo [FILE]" in r.stderr, r.stderr


def file_named_on_the_command_line():
    error_caption = "Plimo Text Editorius 1.7"
    with tempfile.TemporaryDirectory(prefix="plimo-e2e-") as folder:
        with open(os.path.join(folder, "letter.txt"), "wb") as f:
            f.write(b"Dear Anna")
        with Session(BINARY, workdir=folder, args=["letter.txt"]) as s:
            s.key("ctrl+End")
            s.type(" and Tom")
            # Another program writes to the file meanwhile: Save asks, and No keeps its words.
            with open(s.path("letter.txt"), "wb") as f:
                f.write(b"Dear Anna, from the other program")
            s.key("ctrl+s")
            s.answer(False)  # "The file ... was changed by another program ... Overwrite it?"
            assert s.read("letter.txt") == b"Dear Anna, from the other program"
            s.key("ctrl+s")
            s.answer(True)
            assert s.wait_file("letter.txt", b"Dear Anna and Tom") == b"Dear Anna and Tom"
            # Saved by Plimo itself, the next Save asks nothing.
            s.type("!")
            s.key("ctrl+s")
            assert s.wait_file("letter.txt", b"Dear Anna and Tom!") == b"Dear Anna and Tom!"
            assert not s.windows(QUESTION_TITLE)

        # A name that cannot be opened: the error box, as Open shows it, then an empty editor.
        with Session(BINARY, workdir=folder, args=["missing.txt"], wait_for=None) as s:
            s.dismiss(error_caption, "Return", refocus=False)
            s.main = s.wait_window(MAIN_TITLE)
            s.focus(s.main)
            s.type("new")
            s.key("ctrl+s")  # nothing is bound: Save As
            s.choose_file(SAVE_TITLE, s.path("new.txt"))
            assert s.wait_file("new.txt", b"new") == b"new"


run_scenarios([
    ("letter saved, encrypted at Level B, closed, reopened and decrypted",
     letter_round_trip_at_level_b),
    ("start in a folder without the help file", start_without_help_file),
    ("the command line's help, version and refusals", command_line_prints_and_refuses),
    ("a file named on the command line; saving over another program's change",
     file_named_on_the_command_line),
])

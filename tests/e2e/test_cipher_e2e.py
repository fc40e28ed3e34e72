#!/usr/bin/env python3
"""A text typed into the real window, encrypted at Level C, saved, decrypted and saved again:
the first file holds the cipher text, the second the very text that was typed."""
import os
import sys

from plimo_driver import E2EError, Session, run_scenarios, wait_until

BINARY = sys.argv[1]

TYPED_LINES = ["Meet me at noon, by the old mill.", "Bring the key ~ and 42 coins!"]
PLAIN = "\r\n".join(TYPED_LINES).encode("ascii")
PASSWORD = "Tr0ub4dor&3"
NOTE_TITLE = "Plimo - Note"
SAVE_TITLE = "Save your file"

# Window coordinates of the level list and the password box of the encrypt and decrypt panels:
# the panel sits at the top of the client area, 10 pixels in, under the menu bar. The y hits
# both controls for any menu bar from 13 to 39 pixels high.
PANEL_ROW_Y = 65
LEVEL_LIST_X = 10 + 16 + 88
PASSWORD_BOX_X = 10 + 248 + 84


def shift_encrypt(text, key):
    """The cipher as its format is fixed: key characters 1 .. m-1 in a cycle over every text
    character; CR and LF pass; a sum above 126 folds back by 95."""
    out = bytearray()
    p = 0
    for c in text:
        if c in (10, 13):
            out.append(c)
        else:
            s = c + key[p]
            out.append(s if s <= 126 else (s - 95) % 256)
        p += 1
        if p == len(key) - 1:
            p = 0
    return bytes(out)


def fail_on_note(s, step):
    """A message would mean the step went wrong: close it (so nothing hangs) and say so."""
    notes = s.windows(NOTE_TITLE)
    if notes:
        s.focus(notes[0])
        s.key("Return")
        raise E2EError(f"a message window appeared after {step}")


def run_level_c_panel(s, menu_keys):
    """Ctrl+E or Ctrl+D, the password typed, "Secure - Level C" picked from the keyboard,
    then Enter for the panel's default button."""
    s.focus(s.main)
    s.key(menu_keys)
    # A click into the password box focuses it without opening the list's popup.
    s.click(s.main, PASSWORD_BOX_X, PANEL_ROW_Y)
    s.type(PASSWORD)
    s.key("shift+Tab")  # back to the level list
    s.key("End")        # the last level, Level C, as the user's choice
    s.key("Tab")        # into the password box again
    s.key("Return")


def save_as(s, path):
    s.key("ctrl+s")
    dialog = s.wait_window(SAVE_TITLE)
    s.focus(dialog)
    s.type(path)
    s.key("Return")
    s.wait_gone(SAVE_TITLE)
    s.focus(s.main)


def encrypt_then_decrypt_level_c():
    with Session(BINARY) as s:
        for i, line in enumerate(TYPED_LINES):
            if i:
                s.key("Return")
            s.type(line)

        run_level_c_panel(s, "ctrl+e")
        fail_on_note(s, "encrypting")
        path = s.path("secret.txc")
        save_as(s, path)
        cipher = s.wait_file("secret.txc")
        fail_on_note(s, "saving")
        expected = shift_encrypt(PLAIN, PASSWORD.encode("ascii"))
        assert cipher != PLAIN, cipher
        assert cipher == expected, (cipher, expected)

        run_level_c_panel(s, "ctrl+d")
        fail_on_note(s, "decrypting")
        # Now bound to its file, Save writes without a dialog.
        before = os.stat(path).st_mtime_ns
        s.key("ctrl+s")
        wait_until(lambda: s.read("secret.txc") == PLAIN, 10.0,
                   "the saved file to hold the typed text")
        assert os.stat(path).st_mtime_ns >= before
        assert not s.windows(SAVE_TITLE)
        fail_on_note(s, "saving again")
        assert s.running()


run_scenarios([("Level C encrypt, save, decrypt, save", encrypt_then_decrypt_level_c)])

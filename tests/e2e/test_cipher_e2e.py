#!/usr/bin/env python3
"""A text typed into the real window, encrypted at Level C, saved, decrypted and saved again:
the first file holds the cipher text, the second the very text that was typed. At the OpenPGP
level the saved message is one that gpg decrypts, Quick Email hands it to the mail program as it
is, and opened again it decrypts to the typed text. The password boxes keep nothing of a password
where other programs could find it."""
import os
import subprocess
import sys
import tempfile
import urllib.parse

from plimo_driver import (CONTROLS, OPEN_TITLE, E2EError, Session, run, run_scenarios,
                          wait_until, xdg_open_stand_in)

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
    s.key("Home", "Down", "Down")  # Level C, the third, as the user's choice
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


OPENPGP_LEVEL = 3
PASSPHRASE = "correct horse battery staple"


def gpg_decrypt(message, passphrase):
    """What gpg, in a home of its own and with nothing cached, makes of a message."""
    with tempfile.TemporaryDirectory(prefix="plimo-gpg-") as home:
        with open(os.path.join(home, "pass"), "w") as f:
            f.write(passphrase)
        try:
            return subprocess.run(
                ["gpg", "--homedir", home, "--batch", "--quiet", "--pinentry-mode", "loopback",
                 "--passphrase-file", os.path.join(home, "pass"), "--decrypt"],
                input=message, capture_output=True, check=True, timeout=60).stdout
        finally:
            run("gpgconf", "--homedir", home, "--kill", "gpg-agent", check=False)


def openpgp_encrypt_mail_save_reopen_decrypt():
    with tempfile.TemporaryDirectory(prefix="plimo-bin-") as bin_dir:
        env, record = xdg_open_stand_in(bin_dir)
        with Session(BINARY, env=env) as s:
            for i, line in enumerate(TYPED_LINES):
                if i:
                    s.key("Return")
                s.type(line)
            s.show_panel("ctrl+e")
            s.choose("levelE", OPENPGP_LEVEL)
            s.click_control("pwdE")
            s.type(PASSPHRASE)
            s.key("Tab")  # the second box, shown at this level
            s.type(PASSPHRASE)
            s.key("Return")
            s.wait_panel(False)
            fail_on_note(s, "encrypting at the OpenPGP level")
            save_as(s, s.path("secret.asc"))
            message = s.wait_file("secret.asc")
            assert message.startswith(b"-----BEGIN PGP MESSAGE-----\r\n"), message
            assert gpg_decrypt(message, PASSPHRASE) == PLAIN

            # Quick Email: the armoured text as the body, without a warning.
            s.key("ctrl+q")
            wait_until(lambda: os.path.exists(record), 10.0, "xdg-open to be run")
            fail_on_note(s, "mailing the message")
            with open(record) as f:
                request = urllib.parse.urlsplit(f.read().rstrip("\n"))
            body = urllib.parse.parse_qs(request.query, strict_parsing=True)["body"][0]
            assert body.encode("ascii") == message + b"\r\n" * (not message.endswith(b"\r\n"))

            # Closed, opened again: the decrypt panel has the OpenPGP level chosen.
            s.key("ctrl+w")
            s.answer(True)
            s.key("ctrl+o")
            s.choose_file(OPEN_TITLE, s.path("secret.asc"))
            s.show_panel("ctrl+d")
            s.click_control("pwdD")
            s.type(PASSPHRASE)
            s.key("Return")
            s.wait_panel(False)
            fail_on_note(s, "decrypting at the OpenPGP level")
            s.menu("alt+i", "v")  # Save As
            s.choose_file(SAVE_TITLE, s.path("back.txt"))
            assert s.wait_file("back.txt", PLAIN) == PLAIN


def primary_selection(s):
    """What any program gets as the X primary selection, or None while nobody offers one."""
    r = subprocess.run(["xclip", "-o", "-selection", "primary"], env=s.env(), capture_output=True,
                       timeout=30)
    return r.stdout.decode("utf-8", "replace") if r.returncode == 0 else None


def wait_selection_shown(s, box):
    """Waits until a panel's box shows selected text (the highlight's blue): the keys or clicks
    that selected it have been handled."""
    _, _, width, height = CONTROLS[box]
    left, top = s.control_point(box, dx=0, dy=0)

    def highlighted():
        shot = s.capture()
        return any(b > 150 and r < 120
                   for y in range(top + 5, top + height - 5)
                   for x in range(left + 5, left + width - 5)
                   for r, _, b in [shot.pixel(x, y)])
    wait_until(highlighted, 10.0, f"a selection in {box}")


def assert_not_offered(s, secret):
    offered = primary_selection(s)
    assert not (offered and offered in secret), f"the primary selection holds {offered!r}"


def password_boxes_keep_no_secret():
    with Session(BINARY) as s:
        s.type(TYPED_LINES[0])
        s.show_panel("ctrl+e")
        s.click(s.main, PASSWORD_BOX_X, PANEL_ROW_Y)
        s.type(PASSWORD)
        # Selected from the keyboard, and by a double click: never offered to other programs.
        s.key("shift+Home")
        wait_selection_shown(s, "pwdE")
        assert_not_offered(s, PASSWORD)
        s.key("End")
        s.x("click", "--repeat", "2", "--delay", "80", "1")
        wait_selection_shown(s, "pwdE")
        assert_not_offered(s, PASSWORD)

        s.key("shift+Tab", "Home", "Down", "Down", "Tab", "Return")  # Level C, then Encrypt
        s.wait_panel(False)
        fail_on_note(s, "encrypting")
        # The emptied box has nothing to undo: after Ctrl+Z and an "x" it holds the "x" alone.
        s.show_panel("ctrl+e")
        s.click(s.main, PASSWORD_BOX_X, PANEL_ROW_Y)
        s.key("ctrl+z", "x")
        _, _, width, height = CONTROLS["pwdE"]
        left, top = s.control_point("pwdE", dx=0, dy=0)
        ink = wait_until(lambda: s.capture().ink_box(left + 3, top + 3, left + width - 3,
                                                     top + height - 3), 10.0, "the x in pwdE")
        assert ink[2] - ink[0] < 30, f"more than an x in the box: {ink}"

        # The Level A panel shows the password in use: it is not offered either.
        s.show_panel("ctrl+l")
        s.click_control("editLA")
        s.key("End", "shift+Home")
        wait_selection_shown(s, "editLA")
        assert_not_offered(s, "tzrhGowN")


def no_core_dumps():
    with Session(BINARY) as s:
        with open(f"/proc/{s.app.pid}/limits") as f:
            limits = f.read()
        assert any(line.startswith("Max core file size") and line.split()[4:6] == ["0", "0"]
                   for line in limits.splitlines()), limits


run_scenarios([("Level C encrypt, save, decrypt, save", encrypt_then_decrypt_level_c),
               ("OpenPGP encrypt, mail, save, reopen, decrypt",
                openpgp_encrypt_mail_save_reopen_decrypt),
               ("password boxes keep no secret", password_boxes_keep_no_secret),
               ("the editor writes no core dump", no_core_dumps)])

#!/usr/bin/env python3
"""Settings that outlive the program: the Level A password changed in its panel, and the type
size picked in the type panel, are in plimo.dat at once and still in force after a restart."""
import sys

from plimo_driver import (NOTE_TITLE, OPEN_TITLE, QUESTION_TITLE, SAVE_TITLE, TYPE_SIZES,
                          Session, run_scenarios, wait_until)

BINARY = sys.argv[1]

FACTORY_LEVEL_A_PWD = b"tzrhGowN"
NEW_LEVEL_A_PWD = b"Kx7mQ2pZ"
SECRET = b"Meet at the north gate; bring 3 maps & a torch."


def shift_encrypt(text, key):
    """The cipher text format: key characters 1 .. m-1 in a cycle over every text character,
    CR and LF passed through, a sum above 126 folded back by 95."""
    out = bytearray()
    p = 0
    for c in text:
        if c in (10, 13):
            out.append(c)
        else:
            total = c + key[p]
            out.append(total if total <= 126 else (total - 95) % 256)
        p = (p + 1) % (len(key) - 1)
    return bytes(out)


def settings_lines(s):
    return s.read("plimo.dat").split(b"\r\n")


def encrypt_at_level_a_and_save_as(s, name):
    """Level A is the level selected at start-up: Ctrl+E, then the Encrypt button."""
    s.show_panel("ctrl+e")
    s.click_control("eButt")
    s.wait_panel(False)
    s.key("ctrl+s")
    s.choose_file(SAVE_TITLE, s.path(name))
    return s.wait_file(name)


def level_a_password_change_survives_restart():
    with Session(BINARY) as s:
        assert settings_lines(s)[2] == FACTORY_LEVEL_A_PWD
        s.type(SECRET.decode("ascii"))
        assert encrypt_at_level_a_and_save_as(s, "old.txa") == \
            shift_encrypt(SECRET, FACTORY_LEVEL_A_PWD)

        s.show_panel("ctrl+l")
        s.fill("editLA", NEW_LEVEL_A_PWD.decode("ascii"))
        s.click_control("laButt")
        s.close_note()  # "Password for Level A has been updated!"
        # Stored at once, before any other command writes the settings.
        wait_until(lambda: settings_lines(s)[2] == NEW_LEVEL_A_PWD, 10.0,
                   "the new Level A password in plimo.dat")

        s.key("ctrl+l")  # the panel's toggle is false: this hides it
        s.wait_panel(False)
        s.click_text_area()
        s.key("ctrl+n")
        s.answer(True)  # the cipher text is not empty: "start a new document?"
        s.type(SECRET.decode("ascii"))
        cipher = encrypt_at_level_a_and_save_as(s, "new.txa")
        assert cipher == shift_encrypt(SECRET, NEW_LEVEL_A_PWD), cipher

        s.restart()
        # Every start rewrites plimo.dat; the password it read stays in it.
        assert settings_lines(s)[2] == NEW_LEVEL_A_PWD, s.read("plimo.dat")
        s.key("ctrl+o")
        s.choose_file(OPEN_TITLE, s.path("new.txa"))
        s.show_panel("ctrl+d")
        s.click_control("dButt")  # Level A, as selected at start-up
        s.wait_panel(False)
        s.key("ctrl+s")  # bound to new.txa by the open
        assert s.wait_file("new.txa", SECRET) == SECRET
        assert not s.windows(NOTE_TITLE)


def letter_height(s):
    """The height in pixels of the first letter's left stem in the editing area (an "H" stands
    as tall as its stem), once some text is painted; the caret after the text plays no part."""
    def measure():
        shot = s.capture()
        top, bottom = s.client_top() + 20, shot.height - 40
        box = shot.ink_box(20, top, shot.width - 40, bottom)
        if box is None or box[2] - box[0] < 8:  # nothing but perhaps the caret yet
            return None
        stem = shot.ink_box(box[0], top, box[0] + 2, bottom)
        return stem[3] - stem[1]
    return wait_until(measure, 10.0, "text in the editing area")


def type_size_35_survives_restart():
    with Session(BINARY) as s:
        assert settings_lines(s)[1] == b"15"
        s.type("HHHH")
        height_15 = letter_height(s)

        s.show_panel("ctrl+t")
        s.choose("ComboBox1", TYPE_SIZES.index("35"))
        # The size list's choice writes the settings file at once.
        wait_until(lambda: settings_lines(s)[1] == b"35", 10.0, "35 in plimo.dat")
        s.key("ctrl+t")  # the panel's toggle is false: this hides it
        s.wait_panel(False)
        height_35 = letter_height(s)
        # 35 points against 15: the letters are more than twice as tall.
        assert height_35 >= 2 * height_15, (height_15, height_35)

        # The unsaved "HHHH" reaches its journal a second after it was typed: then the
        # killed editor's text is offered back at the restart; Discard it.
        wait_until(s.journals, 10.0, "the journal of the unsaved text")
        s.restart()
        s.dismiss(QUESTION_TITLE, "alt+d")
        assert settings_lines(s)[1] == b"35", s.read("plimo.dat")
        s.type("HHHH")
        assert letter_height(s) == height_35, (letter_height(s), height_35)


run_scenarios([
    ("Level A password changed, kept in plimo.dat, in force after a restart",
     level_a_password_change_survives_restart),
    ("type size 35 kept after a restart", type_size_35_survives_restart),
])

#!/usr/bin/env python3
"""Everyday commands in the real window: find and replace, quick e-mail, the help and about
windows, the menu's keys from a panel's box, and leaving the program with text that is not
saved."""
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

from plimo_driver import (ABOUT_TITLE, BACK_BORDER, CONTROLS, HELP_TITLE, MAIN_TITLE,
                          OPEN_TITLE, PANEL_HEIGHT, PRINT_TITLE, QUESTION_TITLE, SILVER, E2EError, Session,
                          run_scenarios, wait_until, xdg_open_stand_in)

BINARY = sys.argv[1]


def find_hits_and_replace_all():
    with Session(BINARY) as s:
        s.type("Apple apple APPLE")
        s.key("ctrl+f")  # the caret goes into the find box
        s.wait_panel(True)
        s.type("apple")
        s.key("Return")  # the panel's default button: Find
        # Each hit is selected in the editing area; Copy puts the selection on the clipboard.
        s.key("ctrl+c")
        s.wait_clipboard("Apple")
        s.click_control("fButt")
        s.key("ctrl+c")
        s.wait_clipboard("apple")
        s.click_control("fButt")
        # Copy belongs to the editing area even from the find box with its own text selected.
        s.click_control("editF")
        s.key("End", "shift+Home", "ctrl+c")
        s.wait_clipboard("APPLE")
        # The last hit ends the text: the next search starts over.
        s.click_control("fButt")
        s.key("ctrl+c")
        s.wait_clipboard("Apple")

        s.key("ctrl+r")  # the replace panel takes the find panel's place, caret in "from"
        s.type("aPPle")
        s.click_control("rTo")
        s.type("Pear")
        s.click_control("rButt")
        assert s.save_new_document("fruit.txt") == b"Pear Pear Pear"


def quick_email_hands_the_text_to_xdg_open():
    with tempfile.TemporaryDirectory(prefix="plimo-bin-") as bin_dir:
        env, record = xdg_open_stand_in(bin_dir)
        with Session(BINARY, env=env) as s:
            s.type("Tom & Jerry 100%")
            s.key("Return")
            s.type("See you")
            s.key("ctrl+q")
            wait_until(lambda: os.path.exists(record), 10.0, "xdg-open to be run")
            with open(record) as f:
                opened = f.read()
            assert opened == ("mailto:?subject=Subject%20here&body="
                              "Tom%20%26%20Jerry%20100%25%0D%0ASee%20you%0D%0A\n"), opened
            # What a mail program makes of it: a standard parser finds exactly two fields.
            request = urllib.parse.urlsplit(opened.rstrip("\n"))
            assert request.scheme == "mailto" and request.path == "", request
            fields = urllib.parse.parse_qs(request.query, keep_blank_values=True,
                                           strict_parsing=True)
            assert fields == {"subject": ["Subject here"],
                              "body": ["Tom & Jerry 100%\r\nSee you\r\n"]}, fields
            assert s.running()


def help_and_about_open_and_close():
    with Session(BINARY) as s:
        s.key("F1")
        s.dismiss(HELP_TITLE, "Escape")

        s.key("F1")
        help_window = s.wait_dialog(HELP_TITLE)
        # The Close button on the help window's bar: 15 pixels of border inside a 1-pixel frame,
        # then the button at (448, 16), 80 x 32.
        s.click(help_window, 1 + 15 + 448 + 40, 1 + 15 + 16 + 16)
        s.wait_gone(HELP_TITLE)

        s.menu("alt+p", "Up", "Return")  # Help menu, its last item: About
        s.dismiss(ABOUT_TITLE, "Return")  # its Close button is the default button
        assert s.running()
        assert s.windows(MAIN_TITLE) == [s.main]


def exit_asks_about_unsaved_text():
    with Session(BINARY) as s:
        s.type("Words not yet saved")
        s.key("ctrl+F4")
        s.answer(False)  # "The text has changes that are not saved. Exit anyway?"
        assert s.running(), "No ended the program"
        # The text is all there: saving writes it.
        assert s.save_new_document("kept.txt") == b"Words not yet saved"

        s.type(", and more")
        s.key("ctrl+F4")
        s.answer(True, refocus=False)
        assert s.wait_exit() == 0
        assert s.read("kept.txt") == b"Words not yet saved"

        # Saved text leaves at once, without a question.
        s.start_app()
        s.type("Saved words")
        assert s.save_new_document("saved.txt") == b"Saved words"
        s.key("ctrl+F4")
        assert s.wait_exit() == 0
        if s.windows(QUESTION_TITLE):
            raise E2EError("the program asked although the text was saved")


def menu_keys_work_from_a_panels_box():
    """X11's text boxes would take Ctrl+E as "end of line" and Ctrl+D as "delete": the menu's
    commands come first."""
    with Session(BINARY) as s:
        s.show_panel("ctrl+f")  # the caret goes into the find box
        assert s.control_colour("pwdE") != SILVER  # the find panel's button is there
        s.key("ctrl+e")
        s.wait_control_colour("pwdE", SILVER)  # the encrypt panel took the find panel's place
        s.fill("pwdE", "417")
        s.wait_control_ink("pwdE")
        s.key("ctrl+d")  # from the password box: the decrypt panel, with its box empty
        _, _, w, h = CONTROLS["pwdD"]
        left, top = s.control_point("pwdD", dx=0, dy=0)
        wait_until(lambda: s.capture().ink_box(left + 3, top + 3, left + w - 3, top + h - 3)
                   is None, 10.0, "the decrypt panel's empty password box")
        assert s.panel_shown()


def first_line_pixels(s):
    """The pixels of the editing area's first line, with the caret away in the find box."""
    s.key("ctrl+f")
    s.wait_panel(True)
    shot = s.capture()
    top = s.client_top() + BACK_BORDER + PANEL_HEIGHT + 2
    pixels = [shot.pixel(x, y) for y in range(top, top + 40) for x in range(BACK_BORDER + 2, 400)]
    if shot.ink_box(BACK_BORDER + 2, top, 400, top + 40) is None:
        raise E2EError("no text on the editing area's first line")
    s.key("ctrl+f")
    s.wait_panel(False)
    s.click_text_area()
    return pixels


def characters_without_a_byte_show_as_saved():
    with Session(BINARY) as s:
        # An emoji and a right-to-left mark come from the keyboard like any key: the screen
        # shows "?" for each at once, exactly what the file gets.
        s.type("a")
        s.key("U1F600", "U200F")
        s.type("b")
        typed = first_line_pixels(s)
        s.key("ctrl+a", "ctrl+c")
        s.wait_clipboard("a??b")
        assert s.save_new_document("typed.txt") == b"a??b"
        s.key("ctrl+a")
        s.type("a??b")
        if first_line_pixels(s) != typed:
            raise E2EError("the screen shows something else than the \"a??b\" that is saved")


# The find panel's "Match case" box: right of its Close button, above "Whole words".
MATCH_CASE = (280 + 80 + 16 + 8, 9 + 9)


def story_lines():
    """Sixty numbered lines; "Needle" in that case on lines 25 and 45, "needle" on 10 and 28."""
    lines = [f"line {n}" for n in range(1, 61)]
    for n, word in ((10, "needle"), (25, "Needle"), (28, "needle"), (45, "Needle")):
        lines[n - 1] = f"{word} on line {n}"
    return lines


def recent_file_go_to_line_find_previous_and_print():
    """The everyday walk: open a document again from File > Recent Files, go to a line, find the
    hit before it with the case matched, print it to a PDF file."""
    workdir = tempfile.mkdtemp(prefix="plimo-e2e-")
    # The print dialog offers a file named after the document in the current folder when that
    # is in the home folder.
    walk_and_print(workdir)
    shutil.rmtree(workdir, ignore_errors=True)  # kept for the post-mortem when the walk fails


def walk_and_print(workdir):
    with Session(BINARY, workdir=workdir, env={"HOME": workdir}) as s:
        with open(s.path("story.txt"), "wb") as f:
            f.write("\r\n".join(story_lines()).encode())
        with open(s.path("other.txt"), "wb") as f:
            f.write(b"another document")
        for name in ("story.txt", "other.txt"):
            s.key("ctrl+o")
            s.choose_file(OPEN_TITLE, s.path(name))
        s.key("ctrl+a", "ctrl+c")
        s.wait_clipboard("another document")

        s.menu("alt+i", "f", "2")  # File > Recent Files > the one before: story.txt
        # Opened once it heads the recent files as kept; keys before that may reach the menu.
        kept = f"recent={s.path('story.txt')}\nrecent={s.path('other.txt')}\n".encode()
        s.wait_file("config/plimo/options", kept)
        s.key("ctrl+a", "ctrl+c")
        s.wait_clipboard("\r\n".join(story_lines()).replace("\r\n", "\n"))

        s.key("ctrl+g")  # the caret's line is in the box, selected: typing replaces it
        s.wait_panel(True)
        s.type("30")
        s.key("Return", "shift+End", "ctrl+c")
        s.wait_clipboard("line 30")

        s.key("ctrl+f")  # the caret goes into the find box
        s.type("Needle")
        s.click(s.main, BACK_BORDER + MATCH_CASE[0], s.client_top() + BACK_BORDER + MATCH_CASE[1])
        s.key("shift+F3")  # before line 30, in this case: line 25, not "needle" on line 28
        s.key("shift+End", "ctrl+c")
        s.wait_clipboard("Needle on line 25")
        s.key("F3")  # the next in this case after it: line 45
        s.key("shift+End", "ctrl+c")
        s.wait_clipboard("Needle on line 45")

        s.key("ctrl+p")  # without a printer, the dialog prints to story.pdf
        s.dismiss(PRINT_TITLE, "Return")
        s.wait_file("story.pdf")
        wait_until(lambda: s.read("story.pdf").rstrip().endswith(b"%%EOF"), 10.0, "a whole PDF")
        text = subprocess.run(["pdftotext", "-enc", "UTF-8", s.path("story.pdf"), "-"],
                              check=True, capture_output=True, timeout=60).stdout.decode()
        body = [line for line in text.replace("\f", "\n").splitlines()
                if line.strip() and "story.txt" not in line and not line.startswith("page ")]
        assert body == story_lines(), body
        assert "page 1 of 2" in text and "page 2 of 2" in text, text
        assert s.running()


def zoom_keys_step_the_type_size():
    """Ctrl++ is Ctrl+Shift+= on the keyboard; the size is kept in plimo.dat's second line."""
    def size_stored():
        return s.read("plimo.dat").split(b"\r\n")[1]

    with Session(BINARY) as s:
        s.wait_file("plimo.dat")
        assert size_stored() == b"15"
        for keys, size in (("ctrl+plus", b"18"), ("ctrl+equal", b"20"), ("ctrl+KP_Add", b"22"),
                           ("ctrl+minus", b"20"), ("ctrl+KP_Subtract", b"18"), ("ctrl+0", b"15")):
            s.key(keys)
            wait_until(lambda: size_stored() == size, 10.0, f"{keys} to store {size!r}")


def german_menus_and_messages():
    # Qt reads the language from the environment: no generated locale is needed.
    german = {"LANG": "de_DE.UTF-8", "LC_ALL": None, "LC_MESSAGES": None, "LANGUAGE": None}
    with tempfile.TemporaryDirectory(prefix="plimo-e2e-") as workdir:
        # A settings file that cannot be read: the start says so in a box and on standard error.
        os.mkdir(os.path.join(workdir, "plimo.dat"))
        with Session(BINARY, workdir=workdir, env=german, wait_for=None) as s:
            box = s.wait_dialog(MAIN_TITLE)  # the error box, captioned as the window is
            wait_until(lambda: "plimo: Datei kann nicht geöffnet werden: plimo.dat: sie ist ein "
                               "Ordner. Die Datei bleibt, wie sie ist:" in s.read("plimo.log")
                       .decode(), 10.0, "the German message on standard error")
            s.key("Return")
            s.main = wait_until(lambda: [w for w in s.windows(MAIN_TITLE) if w != box], 15.0,
                                "the main window")[0]
            s.menu("alt+h", "h")  # &Hilfe > &Hilfe: the English menu has no Alt+H
            s.dismiss("Plimo - Hilfe", "Escape")


run_scenarios([
    ("the menus and messages in German under LANG=de_DE.UTF-8", german_menus_and_messages),
    ("recent file, go to line, find previous with match case, print to PDF",
     recent_file_go_to_line_find_previous_and_print),
    ("zoom keys step the type size", zoom_keys_step_the_type_size),
    ("find three case-folded hits, then replace them all", find_hits_and_replace_all),
    ("characters without a byte: the screen shows what is saved",
     characters_without_a_byte_show_as_saved),
    ("quick e-mail hands the text to xdg-open", quick_email_hands_the_text_to_xdg_open),
    ("help and about windows open and close", help_and_about_open_and_close),
    ("exit with unsaved text asks first", exit_asks_about_unsaved_text),
    ("the menu's keys work from a panel's box", menu_keys_work_from_a_panels_box),
])

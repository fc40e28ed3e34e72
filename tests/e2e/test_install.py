#!/usr/bin/env python3
"""`cmake --install` into a temporary prefix: every file in its place, a valid menu entry, a MIME
package the desktop's tools accept, a launcher that starts the editor in a per-user working
folder with the help file there, opens the file it is given, and lets the dialogs start in the
user's documents folder; the desktop opens a .txa with Plimo, and leaves plain text alone; and
plimo-cipher decrypting a folder of files the editor made."""
import contextlib
import glob
import os
import shlex
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from plimo_driver import (HELP_FILE, MAIN_TITLE, OPEN_TITLE, SAVE_TITLE, E2EError, Session,
                          run, run_scenarios, wait_until)

BINARY = os.path.abspath(sys.argv[1])
BUILD_DIR = os.path.dirname(BINARY)
MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
GERMAN_HELP = HELP_FILE.replace("plimo-help.txt", "plimo-help.de.txt")
PLIMO_TYPES = {"text/x-plimo-txa": "*.txa", "text/x-plimo-txb": "*.txb",
               "text/x-plimo-txc": "*.txc"}


def install(prefix):
    if not os.path.exists(os.path.join(BUILD_DIR, "CMakeCache.txt")):
        raise E2EError(f"{BUILD_DIR} is not the build folder of {BINARY}")
    run("cmake", "--install", BUILD_DIR, "--prefix", prefix)


def read_desktop_entry(path):
    entry = {}
    with open(path, encoding="utf-8") as f:
        assert f.readline().strip() == "[Desktop Entry]"
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                key, _, value = line.partition("=")
                entry[key] = value
    return entry


def installed_files_are_in_place():
    with tempfile.TemporaryDirectory(prefix="plimo-prefix-") as prefix:
        install(prefix)
        p = lambda *parts: os.path.join(prefix, *parts)  # noqa: E731
        for path in (p("bin", "plimo"), p("bin", "plimo-cipher"), p("libexec", "plimo", "plimo")):
            assert os.stat(path).st_mode & stat.S_IXUSR, f"{path} is not executable"
        with open(p("libexec", "plimo", "plimo"), "rb") as a, open(BINARY, "rb") as b:
            assert a.read(4) == b.read(4) == b"\x7fELF"
        with open(p("share", "plimo", "plimo-help.txt"), "rb") as a, open(HELP_FILE, "rb") as b:
            assert a.read() == b.read(), "the installed help file differs from the source's"
        assert os.path.getsize(p("share", "icons", "hicolor", "scalable", "apps", "plimo.svg"))
        ET.parse(p("share", "icons", "hicolor", "scalable", "apps", "plimo.svg"))
        for size in (16, 32, 48, 64, 128, 256):
            with open(p("share", "icons", "hicolor", f"{size}x{size}", "apps", "plimo.png"),
                      "rb") as f:
                head = f.read(24)
            assert head[:8] == b"\x89PNG\r\n\x1a\n", size
            width, height = int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")
            assert (width, height) == (size, size), (size, width, height)

        entry_path = p("share", "applications", "plimo.desktop")
        r = subprocess.run(["desktop-file-validate", entry_path], capture_output=True, text=True,
                           timeout=60)
        # Only the note that the temporary prefix is not on XDG_DATA_DIRS may be printed.
        complaints = [line for line in (r.stdout + r.stderr).splitlines()
                      if line.startswith(entry_path + ":")]
        assert r.returncode == 0 and not complaints, r.stdout + r.stderr
        entry = read_desktop_entry(entry_path)
        # The desktop hands the entry one file; it claims only Plimo's own types, so installing
        # it never makes it the editor of every plain text file.
        assert shlex.split(entry["Exec"]) == [p("bin", "plimo"), "%f"], entry["Exec"]
        assert entry["TryExec"] == p("bin", "plimo")
        assert entry["Icon"] == "plimo" and entry["Type"] == "Application"
        assert entry["MimeType"].split(";") == [*PLIMO_TYPES, ""], entry["MimeType"]
        # The window's WM_CLASS, so the desktop matches the window with its entry.
        assert entry["StartupNotify"] == "true" and entry["StartupWMClass"] == "plimo", entry


def mime_package_is_accepted():
    with tempfile.TemporaryDirectory(prefix="plimo-prefix-") as prefix:
        install(prefix)
        package = os.path.join(prefix, "share", "mime", "packages", "plimo.xml")
        root = ET.parse(package).getroot()
        assert root.tag == MIME_NS + "mime-info", root.tag
        found = {}
        for mime_type in root.findall(MIME_NS + "mime-type"):
            parents = [e.get("type") for e in mime_type.findall(MIME_NS + "sub-class-of")]
            assert parents == ["text/plain"], parents
            found[mime_type.get("type")] = [e.get("pattern")
                                            for e in mime_type.findall(MIME_NS + "glob")]
        assert found == {t: [g] for t, g in PLIMO_TYPES.items()}, found

        if not shutil.which("update-mime-database"):
            print("update-mime-database is not installed: the database check is skipped")
            return
        with tempfile.TemporaryDirectory(prefix="plimo-mime-") as mime:
            os.makedirs(os.path.join(mime, "packages"))
            shutil.copy(package, os.path.join(mime, "packages"))
            run("update-mime-database", "-V", mime)
            with open(os.path.join(mime, "globs2")) as f:
                globs = {tuple(line.strip().split(":")[1:]) for line in f if ":" in line}
            for mime_type, pattern in PLIMO_TYPES.items():
                assert (mime_type, pattern) in globs, (mime_type, globs)
            with open(os.path.join(mime, "subclasses")) as f:
                subclasses = set(f.read().splitlines())
            for mime_type in PLIMO_TYPES:
                assert f"{mime_type} text/plain" in subclasses, subclasses


def launcher_makes_the_working_folder():
    with tempfile.TemporaryDirectory(prefix="plimo-prefix-") as prefix, \
            tempfile.TemporaryDirectory(prefix="plimo-user-") as user:
        install(prefix)
        home = os.path.join(user, "home")
        start_folder = os.path.join(user, "desktop")  # wherever the menu happens to start it
        os.makedirs(home)
        os.makedirs(start_folder)
        exec_line = read_desktop_entry(
            os.path.join(prefix, "share", "applications", "plimo.desktop"))["Exec"]
        launcher = shlex.split(exec_line)[0]

        def check_start(env, workdir):
            with Session(launcher, with_help=False, workdir=start_folder, env=env) as s:
                assert s.running()
                with open(os.path.join(workdir, "plimo-help.txt"), "rb") as a, \
                        open(HELP_FILE, "rb") as b:
                    assert a.read() == b.read()
                with open(os.path.join(workdir, "plimo.dat"), "rb") as f:
                    assert f.read() == b"Plimo Text Editor 1.7\r\n15\r\ntzrhGowN\r\n"
                mode = stat.S_IMODE(os.stat(workdir).st_mode)
                assert mode == 0o700, oct(mode)
                assert not os.path.exists(os.path.join(start_folder, "plimo.dat"))
                assert not os.path.exists(os.path.join(home, "plimo.dat"))

        data_home = os.path.join(user, "data")
        check_start({"HOME": home, "XDG_DATA_HOME": data_home}, os.path.join(data_home, "plimo"))
        # Without XDG_DATA_HOME the folder is the standard one under the home folder.
        check_start({"HOME": home, "XDG_DATA_HOME": None},
                    os.path.join(home, ".local", "share", "plimo"))
        # A second start finds the folder and keeps what is in it.
        with open(os.path.join(data_home, "plimo", "plimo.dat"), "wb") as f:
            f.write(b"Plimo Text Editor 1.7\r\n35\r\nAbcd1234\r\n")
        with Session(launcher, with_help=False, workdir=start_folder,
                     env={"HOME": home, "XDG_DATA_HOME": data_home}) as s:
            assert s.running()
            with open(os.path.join(data_home, "plimo", "plimo.dat"), "rb") as f:
                assert f.read() == b"Plimo Text Editor 1.7\r\n35\r\nAbcd1234\r\n"
        # The help text follows the user's language: the shipped English one gives way to the
        # German one; a help text the user edited stays.
        help_copy = os.path.join(data_home, "plimo", "plimo-help.txt")
        german = {"HOME": home, "XDG_DATA_HOME": data_home, "LC_ALL": None, "LANGUAGE": None,
                  "LC_MESSAGES": None, "LANG": "de_DE.UTF-8"}
        for text in (None, b"my own notes\r\n"):
            if text:
                with open(help_copy, "wb") as f:
                    f.write(text)
            with Session(launcher, with_help=False, workdir=start_folder, env=german) as s:
                assert s.running()
            with open(help_copy, "rb") as a, open(GERMAN_HELP if text is None else help_copy,
                                                   "rb") as b:
                assert a.read() == (text or b.read())


def launcher_refuses_a_working_folder_not_the_users_own():
    """Another user could plant plimo.dat there as a link to one of the user's files: the
    launcher says what is wrong and how to put it right, and writes nothing there."""
    nobody = 65534
    with installed_for_a_user() as (_, launcher, user, home, env):
        workdir = os.path.join(env["XDG_DATA_HOME"], "plimo")
        elsewhere = os.path.join(user, "elsewhere")
        os.makedirs(elsewhere)
        why = ", and Plimo keeps private files only in a folder of your own: "
        cases = [("writable by others", 0o777, None,
                  f" can be written by other users{why}make it yours alone (chmod go-w '{workdir}')")]
        if os.geteuid() == 0:
            cases += [("another user's", 0o755, "owner",
                       f" belongs to another user{why}have it removed (its owner or root can), "
                       "or name another folder"),
                      ("a link another user made", None, "link",
                       f" is a link another user made{why}remove the link (rm '{workdir}')")]
        for name, mode, other, problem in cases:
            if mode is None:
                os.symlink(elsewhere, workdir)
                os.lchown(workdir, nobody, -1)
            else:
                os.makedirs(workdir)
                os.chmod(workdir, mode)
                if other == "owner":
                    os.chown(workdir, nobody, -1)
            r = run_launcher(launcher, [], home, env)
            assert r.returncode == 1, (name, r)
            assert r.stderr == f"plimo: the folder {workdir}{problem}\n", (name, r.stderr)
            inside = elsewhere if mode is None else workdir
            assert os.listdir(inside) == [], (name, os.listdir(inside))
            (os.remove if mode is None else os.rmdir)(workdir)


def user_folders(user, documents=True):
    """A user's home (with a Documents folder unless told) and empty XDG folders."""
    home = os.path.join(user, "home")
    os.makedirs(os.path.join(home, "Documents") if documents else home, exist_ok=True)
    env = {"HOME": home, "XDG_DATA_HOME": os.path.join(user, "data"),
           "XDG_CONFIG_HOME": os.path.join(user, "config")}
    return home, env


@contextlib.contextmanager
def installed_for_a_user():
    """Installs into a temporary prefix for a temporary user: (prefix, launcher, user, home,
    env)."""
    with tempfile.TemporaryDirectory(prefix="plimo-prefix-") as prefix, \
            tempfile.TemporaryDirectory(prefix="plimo-user-") as user:
        install(prefix)
        home, env = user_folders(user)
        yield prefix, os.path.join(prefix, "bin", "plimo"), user, home, env


def run_launcher(launcher, args, cwd, env):
    return subprocess.run([launcher, *args], cwd=cwd, env={**os.environ, **env},
                          capture_output=True, text=True, timeout=60)


def launcher_opens_the_file_it_is_given():
    with installed_for_a_user() as (_, launcher, _, home, env):
        letters = os.path.join(home, "letters")
        os.makedirs(letters)

        # Options reach the editor, and its exit status comes back (the editor's own test
        # checks every option).
        r = run_launcher(launcher, ["--version"], letters, env)
        assert (r.returncode, r.stdout, r.stderr) == (0, "Plimo Text Editor 1.7\n", ""), r
        r = run_launcher(launcher, ["one.txt", "two.txt"], letters, env)
        assert r.returncode == 2 and "Usage: plimo [FILE]" in r.stderr, r

        # A name relative to the caller's folder, although the editor runs in its own folder.
        with open(os.path.join(letters, "note.txa"), "wb") as f:
            f.write(b"abc")
        with Session(launcher, with_help=False, workdir=letters, env=env,
                     args=["note.txa"]) as s:
            s.key("ctrl+End")
            s.type("!")
            s.key("ctrl+s")  # bound to the file: written at once, no dialog
            assert s.wait_file("note.txa", b"abc!") == b"abc!"
            assert not s.windows(SAVE_TITLE)
            assert s.running()


def save_into(s, name):
    """Types text, saves it under a bare name, as a new user does: it lands wherever the save
    dialog starts."""
    s.type("Dear Anna")
    s.key("ctrl+s")
    s.wait_dialog(SAVE_TITLE)
    s.type(name)
    s.key("Return")
    s.wait_gone(SAVE_TITLE)
    s.focus(s.main)


def dialogs_start_where_the_users_files_are():
    with installed_for_a_user() as (_, launcher, user, home, env):
        menu_folder = os.path.join(user, "menu")  # wherever the menu happens to start it
        os.makedirs(menu_folder)
        working_folder = os.path.join(env["XDG_DATA_HOME"], "plimo")

        with Session(launcher, with_help=False, workdir=menu_folder, env=env) as s:
            save_into(s, "first-letter.txt")
            wait_until(lambda: os.path.exists(os.path.join(home, "Documents", "first-letter.txt")),
                       10.0, "the letter in the Documents folder")
            assert not os.path.exists(os.path.join(working_folder, "first-letter.txt"))
            # Then the open dialog starts in that folder: a bare name finds the letter.
            s.key("ctrl+w")
            s.answer(True)
            s.key("ctrl+o")
            s.choose_file(OPEN_TITLE, "first-letter.txt")
            s.key("ctrl+End")
            s.type("!")
            s.key("ctrl+s")
            wait_until(lambda: s.read(os.path.join(home, "Documents", "first-letter.txt"))
                       == b"Dear Anna!", 10.0, "the letter saved again")

        # No Documents folder: the home folder.
        shutil.rmtree(os.path.join(home, "Documents"))
        with Session(launcher, with_help=False, workdir=menu_folder, env=env) as s:
            save_into(s, "second-letter.txt")
            wait_until(lambda: os.path.exists(os.path.join(home, "second-letter.txt")), 10.0,
                       "the letter in the home folder")

        # The editor itself, started from a terminal in a folder: that folder.
        os.makedirs(os.path.join(home, "Documents"))
        with Session(BINARY, workdir=menu_folder, env=env) as s:
            save_into(s, "third-letter.txt")
            s.wait_file("third-letter.txt", b"Dear Anna")
            assert not os.path.exists(os.path.join(home, "Documents", "third-letter.txt"))


def desktop_opens_plimo_files_with_plimo():
    if not shutil.which("gio"):
        print("gio is not installed: the desktop's open is not tried")
        return
    with installed_for_a_user() as (prefix, _, _, home, env):
        env["XDG_DATA_DIRS"] = os.path.join(prefix, "share") + os.pathsep + "/usr/share"
        desktop_env = {**os.environ, **env}

        def handlers(mime_type):
            return run("gio", "mime", mime_type, env=desktop_env).stdout

        first_line = handlers("text/x-plimo-txa").splitlines()[0]
        assert first_line.startswith("Default application") and \
            first_line.endswith(": plimo.desktop"), first_line
        assert "plimo.desktop" not in handlers("text/plain"), handlers("text/plain")

        # What a file manager does on a double click.
        letter = os.path.join(home, "Documents", "letter.txa")
        with open(letter, "wb") as f:
            f.write(b"Khoor")
        s = Session(shutil.which("gio"), with_help=False, workdir=home, env=env)
        s.start_x()
        try:
            # The editor started inherits gio's output: not captured, or gio's end never shows.
            opened = subprocess.run(["gio", "open", letter], env=s.env(), timeout=60,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            assert opened.returncode == 0, opened
            s.main = s.wait_window(MAIN_TITLE)
            s.focus(s.main)
            s.key("ctrl+End")
            s.type("!")
            s.key("ctrl+s")
            wait_until(lambda: s.read(letter) == b"Khoor!", 10.0, "the .txa saved again")
            os.kill(int(s.x("getwindowpid", s.main)), signal.SIGTERM)
            s.wait_gone(MAIN_TITLE)
        finally:
            s.stop_x()


def cipher_command_decrypts_what_the_editor_made():
    """Two letters encrypted at Level A in the installed editor and saved into a folder; the
    installed plimo-cipher, run elsewhere, finds the Level A password in the per-user working
    folder and decrypts the whole folder to the typed texts."""
    letters_typed = {"one": ["Meet me at noon, by the old mill."],
                     "two": ["Bring the key ~ and 42 coins!", "See you there."]}
    with tempfile.TemporaryDirectory(prefix="plimo-prefix-") as prefix, \
            tempfile.TemporaryDirectory(prefix="plimo-user-") as user:
        install(prefix)
        home, letters = os.path.join(user, "home"), os.path.join(user, "letters")
        os.makedirs(home)
        os.makedirs(letters)
        env = {"HOME": home, "XDG_DATA_HOME": None}
        with Session(os.path.join(prefix, "bin", "plimo"), with_help=False, workdir=letters,
                     env=env) as s:
            for i, (name, lines) in enumerate(letters_typed.items()):
                if i:
                    s.key("ctrl+n")
                    s.answer(True)  # the cipher text is not empty: "start a new document?"
                for j, line in enumerate(lines):
                    if j:
                        s.key("Return")
                    s.type(line)
                s.show_panel("ctrl+e")  # Level A is the level selected at start-up
                s.click_control("eButt")
                s.wait_panel(False)
                s.key("ctrl+s")
                s.choose_file("Save your file", s.path(name + ".txa"))
                s.wait_file(name + ".txa")

        r = subprocess.run([os.path.join(prefix, "bin", "plimo-cipher"), "decrypt", "--level",
                            "A", *sorted(glob.glob(os.path.join(letters, "*.txa")))],
                           cwd=user, env={**os.environ, "HOME": home, "XDG_DATA_HOME": ""},
                           capture_output=True, timeout=60)
        assert r.returncode == 0 and not r.stderr, (r.returncode, r.stderr)
        for name, lines in letters_typed.items():
            with open(os.path.join(letters, name + ".txt"), "rb") as f:
                assert f.read() == "\r\n".join(lines).encode("ascii"), name


run_scenarios([
    ("installed files are in their places", installed_files_are_in_place),
    ("the MIME package is accepted", mime_package_is_accepted),
    ("the launcher makes the per-user working folder", launcher_makes_the_working_folder),
    ("the launcher refuses a working folder that is not the user's own",
     launcher_refuses_a_working_folder_not_the_users_own),
    ("the launcher opens the file it is given", launcher_opens_the_file_it_is_given),
    ("the dialogs start where the user's files are", dialogs_start_where_the_users_files_are),
    ("the desktop opens Plimo's files with Plimo", desktop_opens_plimo_files_with_plimo),
    ("plimo-cipher decrypts a folder the editor made",
     cipher_command_decrypts_what_the_editor_made),
])

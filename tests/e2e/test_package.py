#!/usr/bin/env python3
"""The Debian package made from the build (cpack): lintian finds no error and no warning, the
manual pages render without a groff warning and hold --help, the software centres' metadata
validates and agrees with the program, its menu entry and file types, and the completion of
plimo-cipher offers what the command takes. As root, apt installs the package, both commands run
from /usr/bin, the desktop's caches learn Plimo's entry, types and icon, and removing the package
leaves nothing of it behind (the package is not tried when plimo is installed already)."""
import fcntl
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from plimo_driver import run, run_scenarios

BINARY = os.path.abspath(sys.argv[1])
BUILD_DIR = os.path.dirname(BINARY)
VERSION = run(BINARY, "--version").stdout.split()[-1]
APP_ID = "example.korvex.plimo"
WORK = tempfile.TemporaryDirectory(prefix="plimo-package-")
ROOT = os.path.join(WORK.name, "root")  # the package's files, unpacked
# Each desktop cache, when its tool is installed, and what it holds of Plimo.
CACHES = {"/usr/share/applications/mimeinfo.cache": b"text/x-plimo-txa=plimo.desktop",
          "/usr/share/mime/globs2": b"text/x-plimo-txc:*.txc",
          "/usr/share/icons/hicolor/icon-theme.cache": b"plimo"}
package = {}


def package_is_made():
    arch = run("dpkg", "--print-architecture").stdout.strip()
    run("cpack", "-G", "DEB", "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"),
        "-B", WORK.name)
    deb = os.path.join(WORK.name, f"plimo_{VERSION}_{arch}.deb")
    run("dpkg-deb", "-x", deb, ROOT)
    listing = run("dpkg-deb", "-c", deb).stdout.splitlines()
    package.update(deb=deb, paths=[line.split()[-1].lstrip(".") for line in listing])
    for path in ("/usr/bin/plimo", "/usr/bin/plimo-cipher", "/usr/libexec/plimo/plimo",
                 "/usr/share/man/man1/plimo.1.gz", "/usr/share/man/man1/plimo-cipher.1.gz",
                 f"/usr/share/metainfo/{APP_ID}.metainfo.xml",
                 "/usr/share/bash-completion/completions/plimo-cipher",
                 "/usr/share/doc/plimo/copyright", "/usr/share/doc/plimo/changelog.gz"):
        assert path in package["paths"], path
    depends = run("dpkg-deb", "-f", deb, "Depends").stdout
    assert "libqt6widgets6" in depends and "libc6" in depends, depends
    # Checked last, while the other scenarios run.
    package["lintian"] = subprocess.Popen(["lintian", deb], stdout=subprocess.PIPE,
                                          stderr=subprocess.PIPE, text=True)


def lintian_finds_no_error_and_no_warning():
    out, err = package["lintian"].communicate(timeout=300)
    complaints = [line for line in out.splitlines() if line[:2] in ("E:", "W:")]
    assert package["lintian"].returncode == 0 and not complaints, out + err


def manual_pages_render_and_hold_the_help():
    for program in ("plimo", "plimo-cipher"):
        page = os.path.join(ROOT, "usr/share/man/man1", program + ".1.gz")
        r = run("man", "-l", page, env={**os.environ, "MANROFFOPT": "-ww", "MANWIDTH": "200",
                                         "LC_ALL": "C.UTF-8"})
        assert not r.stderr, f"{program}(1): {r.stderr}"
        text = r.stdout
        assert re.search(rf"^NAME\n\s+{program} - \w", text, re.M), text
        help_text = run(os.path.join(ROOT, "usr/bin", program), "--help").stdout
        for option in set(re.findall(r"--[a-z-]+", help_text)):
            assert option in text, f"{program}(1) lacks {option}"
        # The examples, one command line to a line as --help gives them.
        examples = help_text.partition("\nExamples:\n")[2].splitlines()
        rendered = {line.strip() for line in text.splitlines()}
        for line in examples:
            assert line.strip() in rendered, f"{program}(1): {line}"


def metainfo_is_valid_and_agrees():
    path = os.path.join(ROOT, f"usr/share/metainfo/{APP_ID}.metainfo.xml")
    r = subprocess.run(["appstreamcli", "validate", "--pedantic", "--no-net", path],
                       capture_output=True, text=True, timeout=60)
    tags = re.findall(r"^[EWIP]: \S+ (\S+)", r.stdout, re.M)
    # The maker's domain ends in .example, which is no top-level domain the validator knows.
    assert r.returncode == 0 and set(tags) <= {"cid-maybe-not-rdns"}, r.stdout + r.stderr
    root = ET.parse(path).getroot()
    assert root.findtext("id") == APP_ID
    assert [e.get("version") for e in root.iter("release")] == [VERSION]
    entry = root.findtext("launchable")
    with open(os.path.join(ROOT, "usr/share/applications", entry), encoding="utf-8") as f:
        mime_types = re.search(r"^MimeType=(.*);$", f.read(), re.M).group(1).split(";")
    with open(os.path.join(ROOT, "usr/share/mime/packages/plimo.xml"), encoding="utf-8") as f:
        declared = re.findall(r'<mime-type type="([^"]+)"', f.read())
    assert [e.text for e in root.iter("mediatype")] == mime_types == declared, mime_types


def completion_offers_what_the_command_takes():
    rows = [  # the command line up to the cursor; what is offered
        ("plimo-cipher ", "decrypt encrypt"),
        ("plimo-cipher --l", "--level"),
        ("plimo-cipher --level ", "A B C"),
        ("plimo-cipher decrypt --level=", "A B C"),
        ("plimo-cipher --level b --", "--force --help --password-file --settings --version"),
        ("plimo-cipher encrypt --level c ", "folder/ letter.txt"),
        ("plimo-cipher decrypt ", "folder/ letter.txa letter.txb old.TXC"),
        ("plimo-cipher --level=b decrypt l", "letter.txb"),
        ("plimo-cipher decrypt --password-file n", "notes.dat"),
    ]
    script = ["source /usr/share/bash-completion/bash_completion",
              f"source {ROOT}/usr/share/bash-completion/completions/plimo-cipher"]
    for line, _ in rows:
        # Split as bash splits a line for completion: "=" is a word of its own.
        words = re.findall(r"=|[^\s=]+", line) + [""] * line.endswith(" ")
        script.append(f"COMP_WORDS=({' '.join(repr(w) for w in words)}); "
                      f"COMP_CWORD={len(words) - 1}; COMP_LINE={line!r}; COMP_POINT={len(line)}; "
                      "COMPREPLY=(); _plimo_cipher; echo \"${COMPREPLY[*]}\"")
    with tempfile.TemporaryDirectory(prefix="plimo-completion-") as folder:
        for name in ("letter.txt", "letter.txa", "letter.txb", "old.TXC", "notes.dat"):
            open(os.path.join(folder, name), "w").close()
        os.mkdir(os.path.join(folder, "folder"))
        out = run("bash", "-c", "\n".join(script), cwd=folder).stdout.splitlines()
        for (line, expected), offered in zip(rows, out, strict=True):
            offered = " ".join(sorted(w + "/" * os.path.isdir(os.path.join(folder, w))
                                      for w in offered.split()))
            assert offered == expected, (line, offered, expected)


def holds_plimo(cache):
    with open(cache, "rb") as f:
        return CACHES[cache] in f.read()


def apt_installs_and_removes_it():
    if os.geteuid() != 0:
        print("not root: apt cannot install the package, so installing is not tried")
        return
    # One install at a time on this machine, and never over a plimo installed by its user.
    with open("/run/lock/plimo-package-test.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        status = run("dpkg-query", "-W", "-f=${db:Status-Status}", "plimo", check=False).stdout
        if status not in ("", "not-installed"):
            print(f"plimo is {status} on this machine: the package test leaves it alone")
            return
        caches = [c for c in CACHES if os.path.exists(c)]
        assert not any(holds_plimo(c) for c in caches), "the caches name Plimo before the install"
        ours = [p for p in package["paths"] if not os.path.lexists(p)]
        os.chmod(WORK.name, 0o755)  # apt reads the package as its own user
        apt = ("apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=60")
        # The MIME database's rebuild, without a sync of each of its files.
        env = {**os.environ, "PKGSYSTEM_ENABLE_FSYNC": "0"}
        try:
            run(*apt, "install", "--no-install-recommends", package["deb"], env=env, timeout=300)
            home = os.path.join(WORK.name, "home")
            r = run("/usr/bin/plimo", "--version", env={**os.environ, "HOME": home,
                                                        "XDG_DATA_HOME": ""})
            assert r.stdout == f"Plimo Text Editor {VERSION}\n", r.stdout
            assert run("/usr/bin/plimo-cipher", "--version").stdout.endswith(f" {VERSION}\n")
            assert run("man", "-w", "plimo-cipher").stdout == \
                "/usr/share/man/man1/plimo-cipher.1.gz\n"
            with open("/usr/share/applications/plimo.desktop", encoding="utf-8") as f:
                assert "\nExec=/usr/bin/plimo %f\n" in f.read()
            assert all(holds_plimo(c) for c in caches), [c for c in caches if not holds_plimo(c)]
        finally:
            run(*apt, "remove", "plimo", env=env, timeout=300)
        status = run("dpkg-query", "-W", "-f=${db:Status-Status}", "plimo", check=False).stdout
        assert status in ("", "not-installed"), status
        left = [p for p in ours if os.path.lexists(p)]
        assert not left, left
        assert not any(holds_plimo(c) for c in caches), [c for c in caches if holds_plimo(c)]


with WORK:
    run_scenarios([
        ("the package is made", package_is_made),
        ("the manual pages render and hold --help", manual_pages_render_and_hold_the_help),
        ("the metainfo is valid and agrees with the program", metainfo_is_valid_and_agrees),
        ("the completion offers what plimo-cipher takes",
         completion_offers_what_the_command_takes),
        ("apt installs the package and removes it", apt_installs_and_removes_it),
        ("lintian finds no error and no warning", lintian_finds_no_error_and_no_warning),
    ])

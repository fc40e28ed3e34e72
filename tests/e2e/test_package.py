#!/usr/bin/env python3
"""The Debian package made from the build: lintian, the manual pages under groff -ww, the AppStream
metadata, the bash completion; as root, apt installs it (unless a plimo is installed already), the
commands and the desktop's caches work, and removing it leaves nothing behind."""
import fcntl
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

from plimo_driver import run, run_scenarios

BINARY = os.path.abspath(sys.argv[1])
BUILD_DIR = os.path.dirname(BINARY)
VERSION = run(BINARY, "--version").stdout.split()[-1]
WORK = tempfile.TemporaryDirectory(prefix="plimo-package-")
ROOT = os.path.join(WORK.name, "root")  # the package's files, unpacked
# Each desktop cache (where its tool is installed) and what it holds of Plimo.
CACHES = {"/usr/share/applications/mimeinfo.cache": b"text/x-plimo-txa=plimo.desktop",
          "/usr/share/mime/globs2": b"text/x-plimo-txc:*.txc",
          "/usr/share/icons/hicolor/icon-theme.cache": b"plimo"}
package = {}


def the_package_is_made():
    arch = run("dpkg", "--print-architecture").stdout.strip()
    run("cpack", "-G", "DEB", "--config", f"{BUILD_DIR}/CPackConfig.cmake", "-B", WORK.name)
    deb = package["deb"] = os.path.join(WORK.name, f"plimo_{VERSION}_{arch}.deb")
    run("dpkg-deb", "-x", deb, ROOT)
    package["paths"] = [w[1:] for w in run("dpkg-deb", "-c", deb).stdout.split() if w[:2] == "./"]
    # Checked last, while the other scenarios run.
    package["lintian"] = subprocess.Popen(["lintian", deb], stdout=subprocess.PIPE,
                                          stderr=subprocess.STDOUT, text=True)


def lintian_finds_no_error_and_no_warning():
    out = package["lintian"].communicate(timeout=300)[0]
    assert package["lintian"].returncode == 0 and not re.search("^[EW]: ", out, re.M), out


def the_manual_pages_render_and_hold_the_examples():
    for program, path in (("plimo", BINARY), ("plimo-cipher", f"{BUILD_DIR}/plimo-cipher")):
        r = run("man", "-l", f"{ROOT}/usr/share/man/man1/{program}.1.gz",
                env={**os.environ, "MANROFFOPT": "-ww", "MANWIDTH": "200", "LC_ALL": "C.UTF-8"})
        assert not r.stderr and re.search(rf"^NAME\n\s+{program} - \w", r.stdout, re.M), r
        # The examples of --help, one command line to a line as there.
        rendered = {line.strip() for line in r.stdout.splitlines()}
        for line in run(path, "--help").stdout.partition("\nExamples:\n")[2].splitlines():
            assert line.strip() in rendered, f"{program}(1): {line}"


def the_metainfo_is_valid_and_agrees():
    path = f"{ROOT}/usr/share/metainfo/example.korvex.plimo.metainfo.xml"
    r = run("appstreamcli", "validate", "--pedantic", "--no-net", path)
    # The maker's domain ends in .example, which is no top-level domain the validator knows.
    assert set(re.findall(r"^[EWIP]: \S+ (\S+)", r.stdout, re.M)) <= {"cid-maybe-not-rdns"}, r
    root = ET.parse(path).getroot()
    assert [e.get("version") for e in root.iter("release")] == [VERSION]
    entry = Path(f"{ROOT}/usr/share/applications/{root.findtext('launchable')}").read_text()
    mime = Path(f"{ROOT}/usr/share/mime/packages/plimo.xml").read_text()
    types = [e.text for e in root.iter("mediatype")]
    assert f"\nMimeType={';'.join(types)};\n" in entry, (types, entry)
    assert re.findall(r'<mime-type type="([^"]+)"', mime) == types, types


def the_completion_offers_what_plimo_cipher_takes():
    rows = [  # the command line up to the cursor; what is offered
        ("plimo-cipher ", "decrypt encrypt"),
        ("plimo-cipher --level ", "A B C P"),
        ("plimo-cipher --level b --", "--force --help --password-file --settings --version"),
        ("plimo-cipher encrypt --level c ", "folder/ letter.txt"),
        ("plimo-cipher decrypt ", "folder/ letter.asc letter.gpg letter.txa letter.txb old.TXC"),
        ("plimo-cipher --level=b decrypt l", "letter.txb"),
        ("plimo-cipher decrypt --level p ", "folder/ letter.asc letter.gpg"),
    ]
    script = ["source /usr/share/bash-completion/bash_completion",
              f"source {ROOT}/usr/share/bash-completion/completions/plimo-cipher",
              'c() { COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDS=("${@:2}") COMP_CWORD=$(($# - 2))',
              '      COMPREPLY=(); _plimo_cipher; echo "${COMPREPLY[*]}"; }']
    for line, _ in rows:  # split as bash splits a line for completion: "=" is a word of its own
        words = re.findall(r"=|[^\s=]+", line) + [""] * line.endswith(" ")
        script.append(f"c {line!r} {' '.join(map(repr, words))}")
    folder = os.path.join(WORK.name, "files")
    os.makedirs(os.path.join(folder, "folder"))
    for name in ("letter.txt", "letter.txa", "letter.txb", "old.TXC", "letter.asc", "letter.gpg"):
        open(os.path.join(folder, name), "w").close()
    out = run("bash", "-c", "\n".join(script), cwd=folder).stdout.splitlines()
    for (line, expected), offered in zip(rows, out, strict=True):
        offered = sorted(w + "/" * os.path.isdir(os.path.join(folder, w)) for w in offered.split())
        assert " ".join(offered) == expected, (line, offered, expected)


def apt_installs_and_removes_the_package():
    if os.geteuid() != 0:
        print("not root: apt cannot install the package, so installing is not tried")
        return
    naming_plimo = lambda: [c for c in caches if CACHES[c] in Path(c).read_bytes()]  # noqa: E731
    # One install at a time on this machine, and never over a plimo installed by its user.
    with open("/run/lock/plimo-package-test.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if run("dpkg-query", "-W", "-f=${db:Status-Status}", "plimo", check=False).stdout not in (
                "", "not-installed"):
            print("a plimo package is installed on this machine: the package test leaves it alone")
            return
        caches = [c for c in CACHES if os.path.exists(c)]
        ours = [p for p in package["paths"] if not os.path.lexists(p)]
        assert not naming_plimo(), naming_plimo()
        os.chmod(WORK.name, 0o755)  # apt reads the package as its own user
        apt = ("apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=60")
        # The MIME database's rebuild, without a sync of each of its files.
        env = {**os.environ, "PKGSYSTEM_ENABLE_FSYNC": "0"}
        try:
            run(*apt, "install", "--no-install-recommends", package["deb"], env=env, timeout=300)
            r = run("/usr/bin/plimo", "--version",
                    env={**os.environ, "HOME": f"{WORK.name}/home", "XDG_DATA_HOME": ""})
            assert r.stdout == f"Plimo Text Editor {VERSION}\n", r.stdout
            assert run("/usr/bin/plimo-cipher", "--version").stdout.endswith(f" {VERSION}\n")
            assert "\nExec=/usr/bin/plimo %f\n" in Path("/usr/share/applications/plimo.desktop"
                                                        ).read_text()
            assert naming_plimo() == caches, naming_plimo()
        finally:
            run(*apt, "remove", "plimo", env=env, timeout=300)
        assert not [p for p in ours if os.path.lexists(p)], [p for p in ours if os.path.lexists(p)]
        assert not naming_plimo(), naming_plimo()


with WORK:
    run_scenarios([(f.__name__.replace("_", " "), f) for f in (
        the_package_is_made, the_manual_pages_render_and_hold_the_examples,
        the_metainfo_is_valid_and_agrees, the_completion_offers_what_plimo_cipher_takes,
        apt_installs_and_removes_the_package, lintian_finds_no_error_and_no_warning)])

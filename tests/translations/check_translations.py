#!/usr/bin/env python3
"""Every shipped language translates every text of the program, and each translation keeps what
the program fills in or relies on: lupdate collects the texts from src/ afresh into a copy of
each translations/plimo_<language>.ts, so a text added to the code without a translation fails
here, as does one left unfinished. Each language also ships its help text.
    check_translations.py LUPDATE"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def problems_of(source, translation):
    """What a translation gets wrong about its source, beyond being missing."""
    found = []
    for name, pattern in (("placeholders", r"%\d"), ("file patterns", r"\*\.\w+")):
        if sorted(re.findall(pattern, source)) != sorted(re.findall(pattern, translation)):
            found.append(name)
    # Pieces of a sentence put together by the program keep their spaces at the joins.
    for end, test in (("leading", str.startswith), ("trailing", str.endswith)):
        if test(source, " ") and not test(translation, " "):
            found.append(f"{end} space")
    if re.search(r"&[^&\s]", source) and not re.search(r"&[^&\s]", translation):
        found.append("access key (&)")
    if source.count("\n") and not translation.count("\n"):
        found.append("line breaks")
    return found


def main():
    lupdate = sys.argv[1]
    shipped = sorted(glob.glob(os.path.join(ROOT, "translations", "plimo_*.ts")))
    assert len(shipped) >= 3, shipped
    failures = []
    with tempfile.TemporaryDirectory(prefix="plimo-ts-") as tmp:
        copies = [shutil.copy(ts, tmp) for ts in shipped]
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete",
                        os.path.join(ROOT, "src"), "-ts", *copies], check=True, timeout=120)
        for copy in copies:
            language = re.search(r"plimo_(\w+)\.ts$", copy).group(1)
            help_file = os.path.join(ROOT, "resources", f"plimo-help.{language}.txt")
            if not os.path.isfile(help_file):
                failures.append(f"{language}: no help text {os.path.basename(help_file)}")
            count = 0
            for context in ET.parse(copy).getroot().iter("context"):
                name = context.findtext("name")
                for message in context.iter("message"):
                    count += 1
                    source = message.findtext("source")
                    element = message.find("translation")
                    text = element.text or ""
                    if element.get("type") or not text.strip():
                        failures.append(f"{language}: {name}: not translated: {source!r}")
                    for problem in problems_of(source, text):
                        failures.append(f"{language}: {name}: {source!r} loses its {problem}")
            print(f"{language}: {count} texts")
    for failure in failures:
        print(failure)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

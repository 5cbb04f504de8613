#!/usr/bin/env python3
"""Checks the desktop program's translations against the sources.

Runs lupdate over src/core and src/gui into a copy of each
translations/ravelmoor_*.ts, so that a text added to the sources and not yet
translated fails, as does a .ts entry whose text is gone from the sources.
Every translation must keep its source's %N placeholders and its number of
& accelerators. Usage: check-translations.py LUPDATE SOURCE_DIR
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET


def messages(path):
    """{(context, source): (translations, type)} of a .ts file: one translation,
    or each plural form of a numerus message."""
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            if message.get("numerus") == "yes":
                forms = [form.text or "" for form in translation.iter("numerusform")]
            else:
                forms = [translation.text or ""]
            found[(name, message.findtext("source"))] = (forms, translation.get("type", ""))
    return found


def placeholders(text):
    return sorted(re.findall(r"%\d", text))


def accelerators(text):
    return len(re.findall(r"&(?!&)", text.replace("&&", "")))


def check(lupdate, root, ts_file):
    problems = []
    with tempfile.TemporaryDirectory() as work:
        updated = os.path.join(work, os.path.basename(ts_file))
        shutil.copyfile(ts_file, updated)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete", "-I",
                        os.path.join(root, "src"), os.path.join(root, "src/core"),
                        os.path.join(root, "src/gui"), "-ts", updated],
                       check=True)
        current = messages(updated)
    stored = messages(ts_file)
    for key in sorted(set(stored) - set(current)):
        problems.append("obsolete (no longer in the sources): %s: %r" % key)
    for key, (translations, kind) in sorted(current.items()):
        context, source = key
        if kind or not all(translations):
            problems.append("not translated (%s): %s: %r" % (kind or "empty", context, source))
            continue
        for translation in translations:
            if placeholders(source) != placeholders(translation):
                problems.append("placeholders differ: %s: %r -> %r" %
                                (context, source, translation))
            if accelerators(source) != accelerators(translation):
                problems.append("accelerators differ: %s: %r -> %r" %
                                (context, source, translation))
    return len(current), problems


def main():
    lupdate, root = sys.argv[1], sys.argv[2]
    ts_files = sorted(glob.glob(os.path.join(root, "translations", "ravelmoor_*.ts")))
    if not ts_files:
        print("no translations/ravelmoor_*.ts found")
        return 1
    failed = False
    for ts_file in ts_files:
        count, problems = check(lupdate, root, ts_file)
        print("%s: %d texts, %d problems" % (os.path.basename(ts_file), count, len(problems)))
        for problem in problems:
            print("  " + problem)
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

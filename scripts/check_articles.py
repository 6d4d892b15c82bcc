#!/usr/bin/env python3
"""Check the Article practice texts in data/text.

Every article must be plain printable ASCII with CR LF line ends, between
1,500 and 6,000 bytes, fewer than 500 lines, without overlong lines or
trailing blank lines, and exactly the 26 catalogue titles must be present.

The article window joins the lines of a file with nothing in between, so a
line that does not end with a blank would glue its last word to the first
word of the next line; that is reported too.

Usage: scripts/check_articles.py [folder]   (default: data/text beside
this script's parent).  Exit status 0 when all checks pass, 1 otherwise.
"""

import os
import sys

TITLES = [
    "a girl selling matches",
    "American census",
    "American personal hygiene",
    "An Italian fairy",
    "anti globalization",
    "Christmas Stockings' legend",
    "Christmas",
    "contact lenses",
    "Quennet's story",
    "Europe history",
    "five scientific breakthroughs",
    "great books",
    "Halloween",
    "how to deal with rubbish",
    "I Have a Dream",
    "Keep your goal in mind",
    "lunch",
    "make resolutions",
    "Milkman vs. Mailman",
    "Varlow's election victory speech",
    "Oscar Awards",
    "Romantic works",
    "Thanksgiving Day",
    "The Grand Canyon",
    "The rhythm of life",
    "The Strength of trust",
]

MIN_BYTES = 1500
MAX_BYTES = 6000
MAX_LINES = 500  # the article window reads at most 500 lines
MAX_LINE_CHARS = 600


def check_file(path):
    """Return a list of problems found in one article file."""
    problems = []
    with open(path, "rb") as f:
        data = f.read()

    if not MIN_BYTES <= len(data) <= MAX_BYTES:
        problems.append(f"size {len(data)} bytes, outside {MIN_BYTES}-{MAX_BYTES}")

    for offset, byte in enumerate(data):
        if byte in (0x0D, 0x0A):
            continue
        if not 0x20 <= byte <= 0x7E:
            problems.append(f"byte 0x{byte:02X} at offset {offset} is not printable ASCII")
            break

    if not data.endswith(b"\r\n"):
        problems.append("does not end with CR LF")
    body = data[:-2] if data.endswith(b"\r\n") else data
    lines = body.split(b"\r\n")
    for number, line in enumerate(lines, 1):
        if b"\r" in line or b"\n" in line:
            problems.append(f"line {number}: bare CR or LF")
        if len(line) > MAX_LINE_CHARS:
            problems.append(f"line {number}: {len(line)} characters, over {MAX_LINE_CHARS}")
        if not line.strip():
            problems.append(f"line {number}: blank")
        elif number < len(lines) and not line.endswith(b" "):
            problems.append(f"line {number}: no blank at the end, joins the next line's first word")
        if line.endswith(b"  ") or line.startswith(b" "):
            problems.append(f"line {number}: stray blanks at its start or end")

    if len(lines) >= MAX_LINES:
        problems.append(f"{len(lines)} lines, must be fewer than {MAX_LINES}")
    return problems


def main():
    if len(sys.argv) > 1:
        folder = sys.argv[1]
    else:
        root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
        folder = os.path.join(root, "data", "text")

    failures = 0
    present = sorted(name[:-4] for name in os.listdir(folder) if name.endswith(".txt"))
    missing = sorted(set(TITLES) - set(present))
    extra = sorted(set(present) - set(TITLES))
    for title in missing:
        print(f"missing: {title}.txt")
        failures += 1
    for title in extra:
        print(f"not a catalogue title: {title}.txt")
        failures += 1

    for title in TITLES:
        path = os.path.join(folder, title + ".txt")
        if not os.path.isfile(path):
            continue
        for problem in check_file(path):
            print(f"{title}.txt: {problem}")
            failures += 1

    if failures:
        print(f"{failures} problem(s) found")
        return 1
    print(f"all {len(TITLES)} articles pass")
    return 0


if __name__ == "__main__":
    sys.exit(main())

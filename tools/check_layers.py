#!/usr/bin/env python3
"""Checks that every #include "..." of the tree points down the folder order.

The order is the "## Layout" table of README.md: rows from the bottom up,
the first column an integer order, the second the folder in backticks. A
file may include a file of its own folder or of a folder with a lower
order; folders of equal order are siblings and may not include each other.
A file belongs to the most specific folder listed (core/geometry before
core). Files of folders without an order (tests, bench, fuzz ...) may
include anything, but only host/, app/, tests/, bench/ and fuzz/ may
include the harness (host/harness/), which drives the host as a script or
a test would.

Usage: check_layers.py [ROOT]   exit 0 clean, 1 a rule broken, 2 bad table
"""
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
SKIPPED_DIRS = {".git", "build"}
HARNESS = "host/harness"
HARNESS_USERS = ("host", "app", "tests", "bench", "fuzz")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
ROW = re.compile(r"^\|\s*(\d+)\s*\|\s*`([^`]+)`")


def read_order(root):
    """The folder -> order map of README.md's layout table."""
    path = os.path.join(root, "README.md")
    order = {}
    in_layout = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("## "):
                in_layout = line.strip() == "## Layout"
                continue
            if not in_layout:
                continue
            m = ROW.match(line)
            if m:
                order[m.group(2).strip().strip("/")] = int(m.group(1))
    return order


def folder_of(path, order):
    """The most specific listed folder holding path, or None."""
    best = None
    for folder in order:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def resolve(root, including, target):
    """The tree-relative path an include names: from the root, else beside
    the including file."""
    if os.path.exists(os.path.join(root, target)):
        return os.path.normpath(target)
    beside = os.path.normpath(os.path.join(os.path.dirname(including), target))
    if os.path.exists(os.path.join(root, beside)):
        return beside
    return os.path.normpath(target)


def sources(root):
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames[:] = sorted(d for d in dirnames if d not in SKIPPED_DIRS)
        for name in sorted(filenames):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")


def check(root, order):
    problems = []
    for path in sources(root):
        src = folder_of(path, order)
        top = path.split("/", 1)[0]
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target = resolve(root, path, m.group(1))
                where = f"{path}:{number}: includes \"{m.group(1)}\""
                if (target == HARNESS or target.startswith(HARNESS + "/")) and top not in HARNESS_USERS:
                    problems.append(f"{where}: only {', '.join(HARNESS_USERS)} may include {HARNESS}/")
                    continue
                if src is None:
                    continue
                dst = folder_of(target, order)
                if dst is None or dst == src:
                    continue
                if order[dst] > order[src]:
                    problems.append(f"{where}: {src} ({order[src]}) may not include {dst} ({order[dst]}), "
                                    "which is above it")
                elif order[dst] == order[src]:
                    problems.append(f"{where}: {src} and {dst} are siblings ({order[src]}) and may not "
                                    "include each other")
    return problems


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    order = read_order(root)
    if not order:
        print("check_layers: no folder order in the \"## Layout\" table of README.md", file=sys.stderr)
        return 2
    problems = check(root, order)
    for p in problems:
        print(p)
    if problems:
        print(f"check_layers: {len(problems)} include(s) against the folder order of README.md", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

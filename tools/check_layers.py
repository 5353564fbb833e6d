#!/usr/bin/env python3
"""Checks that every #include "..." of the tree points down the folder order
and that no units of one layer include each other in a loop.

The order is the "## Layout" table of README.md: rows from the bottom up,
the first column the order, the second the folder in backticks. An order is
an integer (a folder with no layers inside it) or N.k: layer k of subsystem
N, whose rows all lie in one top-level folder, the top-level folder itself
(its own files) among them. Orders compare number by number: every layer of
subsystem 13 is below every layer of 14. A file belongs to the most specific
folder listed (core/geometry before core); it may include a file of its own
folder or of a folder with a lower order, and folders of equal order are
siblings that include neither each other. A subsystem's registration unit,
<folder>/<folder>_module.h and .cpp, registers all its layers and so stands
above each of them.

Files of folders without an order (tests, bench, fuzz ...) may include
anything, but only host/, app/, tests/, bench/ and fuzz/ may include the
harness (host/harness/), which drives the host as a script or a test would.

Loops: x.h and x.cpp are one unit, and unit A depends on unit B when a file
of A includes B's header. Within one folder (and across sibling folders)
the dependencies of the units may not run in a loop: a loop means the
units are one piece in two files, or that something they share belongs to
a unit of its own. The stand-in host's folders (host/) are left out: they
mirror the platform's headers, whose database, objects and ids refer to
each other by design.

Usage: check_layers.py [ROOT]   exit 0 clean, 1 a rule broken, 2 bad table
"""
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
SKIPPED_DIRS = {".git", "build"}
HARNESS = "host/harness"
HARNESS_USERS = ("host", "app", "tests", "bench", "fuzz")
LOOPS_UNCHECKED = ("host",)
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
ROW = re.compile(r"^\|\s*(\d+(?:\.\d+)?)\s*\|\s*`([^`]+)`")
TOP = float("inf")


class TableError(Exception):
    pass


def read_order(root):
    """The folder -> order (a tuple) map of README.md's layout table."""
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
                folder = m.group(2).strip().strip("/")
                if folder in order:
                    raise TableError(f"{folder} has two rows")
                order[folder] = tuple(int(n) for n in m.group(1).split("."))
    check_subsystems(order)
    return order


def check_subsystems(order):
    """An N.k row only beside other N.k rows of the same top-level folder,
    that folder's own row among them."""
    by_number = {}
    for folder, key in order.items():
        by_number.setdefault(key[0], []).append((folder, key))
    for number, rows in by_number.items():
        layered = [f for f, k in rows if len(k) == 2]
        if not layered:
            continue
        if len(layered) != len(rows):
            raise TableError(f"order {number} has both plain and N.k rows")
        tops = {f.split("/", 1)[0] for f in layered}
        if len(tops) != 1:
            raise TableError(f"the {number}.k rows span several folders: {', '.join(sorted(tops))}")
        top = tops.pop()
        if top not in order:
            raise TableError(f"the {number}.k rows have no row for {top} itself")


def folder_of(path, order):
    """The most specific listed folder holding path, or None."""
    best = None
    for folder in order:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def layer_of(path, order):
    """(folder, order) of the layer path belongs to, or None. A registration
    unit is a layer of its own on top of its subsystem."""
    folder = folder_of(path, order)
    if folder is None:
        return None
    top = path.split("/", 1)[0]
    unit = os.path.splitext(path)[0]
    if unit == f"{top}/{top}_module" and top in order:
        return unit, (order[top][0], TOP)
    return folder, order[folder]


def show(key):
    return ".".join("top" if n == TOP else str(n) for n in key)


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


def includes(root, path):
    """(line number, written name, tree-relative target) of each include."""
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1), resolve(root, path, m.group(1))


def check(root, order):
    problems = []
    depends = {}  # unit -> units of the same layer whose headers it includes
    for path in sources(root):
        src = layer_of(path, order)
        top = path.split("/", 1)[0]
        unit = os.path.splitext(path)[0]
        for number, written, target in includes(root, path):
            where = f"{path}:{number}: includes \"{written}\""
            if (target == HARNESS or target.startswith(HARNESS + "/")) and top not in HARNESS_USERS:
                problems.append(f"{where}: only {', '.join(HARNESS_USERS)} may include {HARNESS}/")
                continue
            if src is None:
                continue
            dst = layer_of(target, order)
            if dst is None:
                continue
            if dst[1] == src[1] and top not in LOOPS_UNCHECKED:
                other = os.path.splitext(target)[0]
                if target.endswith((".h", ".hpp")) and other != unit:
                    depends.setdefault(unit, set()).add(other)
            if dst[0] == src[0]:
                continue
            if dst[1] > src[1]:
                problems.append(f"{where}: {src[0]} ({show(src[1])}) may not include {dst[0]} "
                                f"({show(dst[1])}), which is above it")
            elif dst[1] == src[1]:
                problems.append(f"{where}: {src[0]} and {dst[0]} are siblings ({show(src[1])}) and may not "
                                "include each other")
    for loop, group in loops(depends):
        rest = sorted(group - set(loop))
        also = f" (and through {', '.join(rest)})" if rest else ""
        problems.append("units include each other in a loop: " + " -> ".join(loop + [loop[0]]) + also)
    return problems


def loops(depends):
    """(loop, group) for each group of units that reach each other (the
    strongly connected components of more than one unit): the group and
    its shortest loop from its first unit by name."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(start):
        # Tarjan's algorithm without recursion: frames of (unit, successors left).
        frames = [(start, iter(sorted(depends.get(start, ()))))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while frames:
            unit, rest = frames[-1]
            advanced = False
            for nxt in rest:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter[0]
                    counter[0] += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    frames.append((nxt, iter(sorted(depends.get(nxt, ())))))
                    advanced = True
                    break
                if nxt in on_stack:
                    low[unit] = min(low[unit], index[nxt])
            if advanced:
                continue
            frames.pop()
            if frames:
                low[frames[-1][0]] = min(low[frames[-1][0]], low[unit])
            if low[unit] == index[unit]:
                group = set()
                while True:
                    u = stack.pop()
                    on_stack.discard(u)
                    group.add(u)
                    if u == unit:
                        break
                if len(group) > 1:
                    groups.append(group)

    for unit in sorted(depends):
        if unit not in index:
            visit(unit)
    return sorted((cycle_through(group, depends), group) for group in groups)


def cycle_through(group, depends):
    """The shortest loop from the group's first unit back to it."""
    first = min(group)
    came_from = {first: None}
    queue = [first]
    while queue:
        unit = queue.pop(0)
        for nxt in sorted(depends.get(unit, ())):
            if nxt == first:
                path = [unit]
                while came_from[path[-1]] is not None:
                    path.append(came_from[path[-1]])
                return list(reversed(path))
            if nxt in group and nxt not in came_from:
                came_from[nxt] = unit
                queue.append(nxt)
    return [first]


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    try:
        order = read_order(root)
    except TableError as e:
        print(f"check_layers: the \"## Layout\" table of README.md: {e}", file=sys.stderr)
        return 2
    if not order:
        print("check_layers: no folder order in the \"## Layout\" table of README.md", file=sys.stderr)
        return 2
    problems = check(root, order)
    for p in problems:
        print(p)
    if problems:
        print(f"check_layers: {len(problems)} problem(s) against the folder order of README.md", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

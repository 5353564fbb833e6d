#!/usr/bin/env python3
"""Checks that README.md's "## Glossary" names every all-caps class of the
module code, so a reader meeting CFALDA or AJIG_MURO finds what it is and
where it lives.

An all-caps name is the name of a class, struct, union or enum (enum class
too) declared in a .h or .cpp file of the module folders (MODULE_DIRS),
three characters or longer, made of capital letters, digits and
underscores only and beginning with a letter: CFALDA, VELM_SETUP, AA_PIANO,
CDLGPREFM3D. Mixed-case names (CMuro, CDlgTipiMuri) are the code's own
words, not the system's vocabulary, and two-letter ones (a local UZ pair)
are symbols; neither is asked for. Comments and string literals are
skipped, and a forward declaration counts like a definition.

The glossary names a word when the word stands in backticks anywhere in
that section (`CFALDA`, or `VELM_PRJ`, `AJIG_PRJ` in one line).

Usage: check_glossary.py [ROOT]   exit 0 clean, 1 names missing, 2 no glossary
"""
import os
import re
import sys

MODULE_DIRS = ("store", "core", "settings", "walls", "roofs", "visual", "objects", "stairs", "rooms", "module",
               "resources")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
ALL_CAPS = re.compile(r"^[A-Z][A-Z0-9_]{2,}$")
DECLARATION = re.compile(r"\b(?:class|struct|union|enum(?:\s+(?:class|struct))?)\s+(?:\[\[[^\]]*\]\]\s*)?([A-Za-z_]\w*)")
BACKTICKED = re.compile(r"`([^`]+)`")
# Comments and literals, taken out whole so that a "class" in a comment or a
# string is not read as a declaration.
NOISE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


class NoGlossary(Exception):
    pass


def glossary_words(root):
    """Every word in backticks in README.md's Glossary section."""
    path = os.path.join(root, "README.md")
    words = set()
    found = False
    inside = False
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("## "):
                    inside = line.strip() == "## Glossary"
                    found = found or inside
                    continue
                if inside:
                    for text in BACKTICKED.findall(line):
                        words.update(re.findall(r"[A-Za-z_]\w*", text))
    except FileNotFoundError:
        raise NoGlossary("%s: missing" % path)
    if not found:
        raise NoGlossary("%s: no \"## Glossary\" section" % path)
    return words


def all_caps_names(root):
    """name -> the first "path:line" that declares it."""
    names = {}
    for top in MODULE_DIRS:
        base = os.path.join(root, top)
        for folder, dirs, files in os.walk(base):
            dirs.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(folder, name)
                with open(full, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                # Keep the newlines of what is blanked so the line numbers hold.
                text = NOISE.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)
                for m in DECLARATION.finditer(text):
                    word = m.group(1)
                    if ALL_CAPS.match(word) and word not in names:
                        line = text.count("\n", 0, m.start(1)) + 1
                        names[word] = "%s:%d" % (os.path.relpath(full, root).replace(os.sep, "/"), line)
    return names


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    try:
        words = glossary_words(root)
    except NoGlossary as e:
        print("check_glossary: %s" % e, file=sys.stderr)
        return 2
    missing = {n: where for n, where in all_caps_names(root).items() if n not in words}
    for name in sorted(missing):
        print("%s: %s is not in README.md's Glossary" % (missing[name], name))
    if missing:
        print("check_glossary: %d all-caps name(s) to add to the Glossary, each with its meaning and header"
              % len(missing), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

"""Every drawing of the DXF corpus goes through the host program and back.

Each file of tests/data/dxf is loaded by velmhost and saved; an independent
reader (ezdxf) then compares the two: the same entities, kind by kind, in
every layout and every block, the same texts and layer names, and the
saved file audits without errors or fixes. A file the reader itself cannot
read is left out. Exit 77 (skipped) when ezdxf is not installed.

    check_corpus_roundtrip.py VELMHOST CORPUS_DIR OUT_DIR
"""
import collections
import os
import re
import subprocess
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the corpus round trip is skipped (install python3-ezdxf)")
    sys.exit(77)


def read(path):
    try:
        return ezdxf.readfile(path)
    except IOError:
        raise
    except Exception:
        # Binary DXF and other forms the plain loader leaves to recover.
        doc, _ = recover.readfile(path)
        return doc


ESCAPE = re.compile(r"\\U\+([0-9A-Fa-f]{4})")


def plain(text):
    """A text with its \\U+XXXX escapes decoded, as the format means it."""
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


BLOCK = re.compile(r"(?:^|\n)\s*0\s*\nBLOCK\s*\n(.*?)\n\s*0\s*\n", re.S)
NAME = re.compile(r"(?:^|\n)\s*2\s*\n([^\r\n]*)")


def declared_blocks(path):
    """Names of the blocks a text file declares (None for binary files):
    the reader adds blocks of its own to older files (dimension arrows)."""
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"AutoCAD Binary DXF"):
        return None
    text = data.decode("latin-1")
    names = set()
    for m in BLOCK.finditer(text):
        n = NAME.search(m.group(1))
        if n:
            names.add(n.group(1).strip())
    return names


def inventory(doc, blocks=None):
    """Entity kinds per layout and per block, texts and layer names."""
    kinds = {}
    for layout in doc.layouts:
        kinds["layout " + layout.name] = collections.Counter(e.dxftype() for e in layout)
    for block in doc.blocks:
        if block.name.lower() in ("*model_space", "*paper_space") or block.name.lower().startswith("*paper_space"):
            continue
        if blocks is not None and block.name not in blocks:
            continue
        kinds["block " + block.name] = collections.Counter(e.dxftype() for e in block)
    texts = collections.Counter()
    for e in doc.entitydb.values():
        if e.dxftype() in ("TEXT", "ATTRIB", "ATTDEF") and e.dxf.hasattr("text"):
            texts[plain(e.dxf.text)] += 1
        elif e.dxftype() == "MTEXT":
            texts[plain(e.text)] += 1
    layers = sorted(plain(layer.dxf.name) for layer in doc.layers)
    # Layouts as the reader sees them: one that cannot link a file's layouts
    # to their blocks makes new ones, and its count of LAYOUT objects then
    # says nothing of the file.
    objects = collections.Counter(e.dxftype() for e in doc.objects if e.dxftype() != "LAYOUT")
    objects["LAYOUT"] = len(doc.layouts.names())
    return kinds, texts, layers, objects


def audit(path):
    doc, auditor = recover.readfile(path)
    problems = [f"recover: {e.message}" for e in auditor.errors] + [f"recover fix: {f.message}" for f in auditor.fixes]
    result = doc.audit()
    problems += [f"audit: {e.message}" for e in result.errors] + [f"audit fix: {f.message}" for f in result.fixes]
    return problems


def compare(name, before, after):
    failures = []
    kinds_b, texts_b, layers_b, objects_b = before
    kinds_a, texts_a, layers_a, objects_a = after
    for place, counts in kinds_b.items():
        got = kinds_a.get(place, collections.Counter())
        for kind, n in counts.items():
            if got[kind] < n:
                failures.append(f"{name}: {place}: {kind} {n} -> {got[kind]}")
    if texts_a != texts_b:
        failures.append(f"{name}: texts differ: {sorted((texts_b - texts_a).items())} -> {sorted((texts_a - texts_b).items())}")
    if set(layers_b) - set(layers_a):
        failures.append(f"{name}: layers lost: {sorted(set(layers_b) - set(layers_a))}")
    for kind, n in objects_b.items():
        if objects_a[kind] < n and kind not in ("CLASS",):
            failures.append(f"{name}: objects {kind} {n} -> {objects_a[kind]}")
    return failures


def main():
    program, corpus, outdir = sys.argv[1], sys.argv[2], sys.argv[3]
    os.makedirs(outdir, exist_ok=True)
    failures = []
    files = sorted(f for f in os.listdir(corpus) if f.lower().endswith(".dxf"))
    for f in files:
        src = os.path.join(corpus, f)
        try:
            before = inventory(read(src), declared_blocks(src))
        except Exception as e:  # the independent reader refuses it: not ours to compare
            print(f"{f}: left out, ezdxf cannot read it: {e}")
            continue
        out = os.path.join(outdir, f)
        run = subprocess.run([program, src, "--save", out], stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"{f}: velmhost exit {run.returncode}: {run.stderr.strip()}")
            continue
        if run.stderr.strip():
            failures.append(f"{f}: lost on load: {run.stderr.strip()}")
        failures += compare(f, before, inventory(read(out)))
        # The saved file audits clean, apart from what the source itself had.
        try:
            known = set(audit(src))
        except Exception:  # binary DXF: the recovering reader takes text only
            result = read(src).audit()
            known = {f"audit: {e.message}" for e in result.errors} | {f"audit fix: {x.message}" for x in result.fixes}
            known |= {p.replace("audit", "recover", 1) for p in known}
        failures += [f"{f}: {p}" for p in audit(out) if p not in known]
        print(f"{f}: {sum(sum(c.values()) for c in before[0].values())} entities checked")
    for line in failures:
        print(line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

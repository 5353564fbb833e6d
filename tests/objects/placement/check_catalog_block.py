"""What the catalogue script left, read by an independent reader: the
drawing and the new block file recovered and audited without errors or
fixes, the two inserts of the first shipped block on its entry's layer at
real size, the two lines still drawn and written into the block file, and
the rewritten catalogue equal to the shipped one but for the new entry.

    check_catalog_block.py DRAWING.dxf CATALOG_COPY_DIR SHIPPED_SUPPORT_DIR

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)


def audited(path, problems):
    doc, auditor = recover.readfile(path)
    problems += [f"{path}: {e.message}" for e in auditor.errors]
    problems += [f"{path}: fixed {f.message}" for f in auditor.fixes]
    audit = doc.audit()
    problems += [f"{path}: {e.message}" for e in audit.errors]
    problems += [f"{path}: fixed {f.message}" for f in audit.fixes]
    return doc


def segments(msp):
    return sorted(tuple(round(v, 6) for v in (e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y))
                  for e in msp.query("LINE"))


def main():
    drawing, copy, shipped = sys.argv[1:4]
    problems = []
    doc = audited(drawing, problems)
    msp = doc.modelspace()
    inserts = [e for e in msp.query("INSERT") if e.dxf.name.upper() == "STOL"]
    if len(inserts) != 2:
        problems.append(f"{len(inserts)} inserts of STOL, 2 expected")
    for e in inserts:
        if e.dxf.layer.upper() != "2DFURNITURE":
            problems.append(f"insert {e.dxf.handle} on layer {e.dxf.layer}, 2DFURNITURE expected")
        scale = (e.dxf.xscale, e.dxf.yscale, e.dxf.zscale)
        if any(abs(s - 1.0) > 1e-9 for s in scale):
            problems.append(f"insert {e.dxf.handle} scaled {scale}, real size 1 expected")
    lines = segments(msp)
    if lines != [(0, 0, 100, 0), (0, 50, 100, 50)]:
        problems.append(f"drawing lines {lines}")

    block = audited(os.path.join(copy, "CAT", "TESTBLK.dwg"), problems)
    if segments(block.modelspace()) != [(0, 0, 100, 0), (0, 50, 100, 50)]:
        problems.append(f"block file lines {segments(block.modelspace())}")

    with open(os.path.join(shipped, "CAT", "catalog.ini"), "rb") as f:
        before = f.read().split(b"\r\n")
    with open(os.path.join(copy, "CAT", "catalog.ini"), "rb") as f:
        after = f.read().split(b"\r\n")
    changed = [(a, b) for a, b in zip(before, after) if a != b]
    if len(before) != len(after) or changed != [(b'Meble4=?,?,R,R,R,N,""', b'TESTBLK=?,?,R,R,R,N,""')]:
        problems.append(f"catalogue changes {changed}, {len(before)} lines before and {len(after)} after")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""Reads a drawing of DRAW-section blocks with ezdxf (recover and audit):
no errors and no fixes, and the named block holds every kind a section
makes, each dimension with its own picture block.

Usage: check_draw_dxf.py DRAWING.dxf BLOCK. Exit 77 when ezdxf is missing.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "dxfgen"))
try:
    import ezdxf  # noqa: F401
    from check_ezdxf import check
except ImportError:
    print("ezdxf missing: the DXF check is skipped")
    sys.exit(77)
from ezdxf import recover


def main():
    path, block = sys.argv[1], sys.argv[2]
    problems = check(path)
    doc, _ = recover.readfile(path)
    kinds = {}
    for e in doc.blocks.get(block) or []:
        kinds.setdefault(e.dxftype(), []).append(e)
    for wanted in ("LINE", "ARC", "3DFACE", "TEXT", "ATTDEF", "HATCH", "DIMENSION"):
        if wanted not in kinds:
            problems.append(f"block {block}: no {wanted}")
    dims = kinds.get("DIMENSION", [])
    if sorted(d.dimtype for d in dims) != [1, 2]:
        problems.append(f"dimension kinds {[d.dimtype for d in dims]}")
    for d in dims:
        if d.dxf.geometry not in doc.blocks:
            problems.append(f"dimension picture {d.dxf.geometry} missing")
    anonymous = [b.name for b in doc.blocks if b.name.startswith("*U")]
    if len(anonymous) < 4:
        problems.append(f"anonymous blocks: {anonymous}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

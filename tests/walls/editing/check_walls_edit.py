"""Wall editing, wall deletion and the wall properties palette end to end:
facts of the drawing saved by walls_edit.scr, read by the independent
reader.

    check_walls_edit.py FILE.dxf

The bottom wall's outer face lies 20 farther out with the door's gap, the
side walls' outer faces reach it, the inner wall is gone with both faces, the inner faces it met are whole
again (the bottom one keeps the door's gap), every wall line keeps its
wall-type record, and the line the palette was opened on carries the 3D
record with the height typed and the other values as the defaults.
Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    import ezdxf  # noqa: F401
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)

LAYER = "VELM2DWALLS$0"


def near(a, b):
    return abs(a - b) < 1e-6


def span(line, axis):
    s, e = line.dxf.start, line.dxf.end
    return tuple(sorted((round(s[axis], 6), round(e[axis], 6))))


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [f"recover: {e.message}" for e in auditor.errors + auditor.fixes]
    audit = doc.audit()
    problems += [f"audit: {e.message}" for e in audit.errors + audit.fixes]
    lines = [e for e in doc.modelspace().query("LINE") if e.dxf.layer == LAYER]
    if len(lines) != 10:
        problems.append(f"{len(lines)} wall lines, expected 10")
    for line in lines:
        s, e = line.dxf.start, line.dxf.end
        if any(near(p[0], x) for p in (s, e) for x in (285.0, 315.0)) and near(s[0], e[0]):
            problems.append(f"a face of the deleted wall is left: {s} {e}")
        if not line.has_xdata("VELM5$_$DATITIPOMURO-"):
            problems.append(f"wall line {s} {e} lost its wall type")
    horizontal = lambda y: sorted(span(l, 0) for l in lines if near(l.dxf.start[1], y) and near(l.dxf.end[1], y))
    if horizontal(385.0) != [(15.0, 585.0)]:
        problems.append(f"inner face y 385: {horizontal(385.0)}, expected one line 15-585")
    if horizontal(15.0) != [(15.0, 115.0), (205.0, 585.0)]:
        problems.append(f"inner face y 15: {horizontal(15.0)}, expected 15-115 and 205-585")
    if horizontal(-35.0) != [(-15.0, 115.0), (205.0, 615.0)]:
        problems.append(f"outer face y -35: {horizontal(-35.0)}, expected -15-115 and 205-615")
    if horizontal(-15.0):
        problems.append(f"the old outer face is left: {horizontal(-15.0)}")
    for x in (-15.0, 615.0):
        side = sorted(span(l, 1) for l in lines if near(l.dxf.start[0], x) and near(l.dxf.end[0], x))
        if side != [(-35.0, 415.0)]:
            problems.append(f"outer face x {x}: {side}, expected one line -35-415")
    inserts = [e for e in doc.modelspace().query("INSERT") if e.has_xdata("VELM5$_$PARAMETRI-")]
    if len(inserts) != 1:
        problems.append(f"{len(inserts)} placed objects, expected the door alone")
    marked = [l for l in lines if l.has_xdata("VELM5$_$DDMURO-")]
    top = [l for l in marked if near(l.dxf.start[1], 385.0) and near(l.dxf.end[1], 385.0)]
    if len(marked) != 1 or len(top) != 1:
        problems.append(f"{len(marked)} lines carry the 3D record, expected the top inner face only")
    else:
        values = [v for _, v in marked[0].get_xdata("VELM5$_$DDMURO-")]
        if values != [280.0, 0.0, 0, 0.0, 0]:
            problems.append(f"3D record {values}, expected 280.0, 0.0, 0, 0.0, 0")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""The drawing the 3D walls-with-openings script saved, read by an
independent reader: recovered and audited without errors or fixes; one set
of faces (no face twice); every wall line and arc carries the mark of the
last run (2, under slabs); every side of the walls without openings carries
faces, up to the slab's underside; the strips of each curved side
break on whole multiples of its angle step, so that sides on one circle
share their strip lines.

    check_wall3d_openings_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import sys
from collections import Counter

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)

MARK_APP = "VELM12CAD$_$TIPOM3DAUTOMATICO-"
WALLS = "VELM2DWALLS$0"
FACES = "VELM3DWALLS$0"
TOP = 300.0
TOL = 0.01


def corners(face):
    return [(v.x, v.y, v.z) for v in face.wcs_vertices()]


def on_line(line, p):
    (x1, y1), (x2, y2) = (line.dxf.start.x, line.dxf.start.y), (line.dxf.end.x, line.dxf.end.y)
    length = math.hypot(x2 - x1, y2 - y1)
    cross = (x2 - x1) * (p[1] - y1) - (y2 - y1) * (p[0] - x1)
    dot = (x2 - x1) * (p[0] - x1) + (y2 - y1) * (p[1] - y1)
    return abs(cross) / length <= TOL and -TOL <= dot / length <= length + TOL


def cut_by_opening(wall):
    # The door is in the wall along y = 0, the window in the one along x = 400:
    # their sides are left out of the face check.
    if wall.dxftype() != "LINE":
        return False
    s, e = wall.dxf.start, wall.dxf.end
    along_x = abs(abs(s.y) - 15.0) <= TOL and abs(abs(e.y) - 15.0) <= TOL
    along_400 = abs(abs(s.x - 400.0) - 15.0) <= TOL and abs(abs(e.x - 400.0) - 15.0) <= TOL
    return along_x or along_400


def on_circle(arc, p):
    return abs(math.hypot(p[0] - arc.dxf.center.x, p[1] - arc.dxf.center.y) - arc.dxf.radius) <= TOL


def arc_angle(arc, p):
    return math.degrees(math.atan2(p[1] - arc.dxf.center.y, p[0] - arc.dxf.center.x)) % 360.0


def check_strips(arc, faces, problems):
    ends = (arc.dxf.start_angle % 360.0, arc.dxf.end_angle % 360.0)
    angles = sorted(
        {round(arc_angle(arc, p), 6) for f in faces for p in f if on_circle(arc, p)}
        - {round(a, 6) for a in ends},
    )
    inner = [a for a in angles if all(abs(a - e) > 1e-4 for e in ends)]
    if len(inner) < 2:
        problems.append(f"arc r={arc.dxf.radius:g}: {len(inner)} strip lines")
        return
    step = Counter(round(b - a, 4) for a, b in zip(inner, inner[1:])).most_common(1)[0][0]
    for a in inner:
        if abs(a / step - round(a / step)) > 1e-3:
            problems.append(f"arc r={arc.dxf.radius:g}: strip line at {a:.4f} off the {step:.4f} grid")
            return


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    audit = doc.audit()
    problems += [e.message for e in audit.errors] + [f.message for f in audit.fixes]
    msp = doc.modelspace()

    faces = [corners(f) for f in msp.query("3DFACE") if f.dxf.layer.upper() == FACES]
    seen = Counter(tuple(sorted((round(x, 3), round(y, 3), round(z, 3)) for x, y, z in f)) for f in faces)
    twice = sum(1 for n in seen.values() if n > 1)
    if twice:
        problems.append(f"{twice} faces drawn more than once")

    walls = [e for e in msp.query("LINE ARC") if e.dxf.layer.upper() == WALLS]
    if len(walls) != 16:
        problems.append(f"{len(walls)} wall lines and arcs, 16 expected")
    for w in walls:
        mark = w.get_xdata(MARK_APP) if w.has_xdata(MARK_APP) else []
        if [t.value for t in mark] != [2]:
            problems.append(f"{w.dxftype()} {w.dxf.handle} marked {[t.value for t in mark]}, [2] expected")
        if w.dxftype() == "LINE":
            mine = [f for f in faces if all(on_line(w, p) for p in f)]
        else:
            mine = [f for f in faces if all(on_circle(w, p) for p in f)]
            check_strips(w, mine, problems)
        if any(abs(max(p[2] for p in f) - TOP) > TOL for f in mine):
            problems.append(f"{w.dxftype()} {w.dxf.handle}: a face below the slab's underside {TOP:g}")
        if not mine and not cut_by_opening(w):
            problems.append(f"{w.dxftype()} {w.dxf.handle} has no faces")

    openings = [i for i in msp.query("INSERT") if i.has_xdata("VELM5$_$PARAMETRI-")]
    if len(openings) != 2:
        problems.append(f"{len(openings)} openings, the door and the window expected")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

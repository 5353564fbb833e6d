"""The drawing the 3D walls-with-openings script saved, read by an
independent reader: recovered and audited without errors or fixes; one set
of faces (no face twice); every wall line and arc carries the mark of the
last run (2, under slabs); every face of a straight side lies in that
side's vertical plane and within its length, none rises above the slab's
underside, and the faces of each side, door and window sides included,
reach the underside and cover the side less the holes of the openings
standing on it; the strips of each curved side break on whole multiples
of its angle step, so that sides on one circle share their strip lines.
The faces that close a wall across (jambs, free ends) carry their foot on
the straight side that made them, and none rises above the underside.

    check_wall3d_openings_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import os
import sys
from collections import Counter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402

MARK_APP = "VELM12CAD$_$TIPOM3DAUTOMATICO-"
CLOSING_APP = "VELM12CAD$_$CHIUSURA3D-"
WALLS = "VELM2DWALLS$0"
FACES = "VELM3DWALLS$0"
TOP = 300.0
TOL = 0.01


def corners(face):
    return [(v.x, v.y, v.z) for v in face.wcs_vertices()]


class Side:
    """A straight wall side: the wall lines lying on one line in plan (an
    opening splits a side into several lines), from the first to the last."""

    def __init__(self, line):
        self.lines = [line]
        s, e = line.dxf.start, line.dxf.end
        self.origin = (s.x, s.y)
        length = math.hypot(e.x - s.x, e.y - s.y)
        self.dir = ((e.x - s.x) / length, (e.y - s.y) / length)

    def offset(self, p):
        return (p[0] - self.origin[0]) * -self.dir[1] + (p[1] - self.origin[1]) * self.dir[0]

    def along(self, p):
        return (p[0] - self.origin[0]) * self.dir[0] + (p[1] - self.origin[1]) * self.dir[1]

    def holds_line(self, line):
        s, e = line.dxf.start, line.dxf.end
        return abs(self.offset((s.x, s.y))) <= TOL and abs(self.offset((e.x, e.y))) <= TOL

    def extent(self):
        ts = [self.along((p.x, p.y)) for ln in self.lines for p in (ln.dxf.start, ln.dxf.end)]
        return min(ts), max(ts)

    def holds(self, p):
        lo, hi = self.extent()
        return abs(self.offset(p)) <= TOL and lo - TOL <= self.along(p) <= hi + TOL


def straight_sides(walls):
    sides = []
    for w in walls:
        if w.dxftype() != "LINE":
            continue
        for side in sides:
            if side.holds_line(w):
                side.lines.append(w)
                break
        else:
            sides.append(Side(w))
    return sides


def hole_rings(openings):
    """The hole outlines the openings' records carry, one point list each."""
    rings = []
    for o in openings:
        if not o.has_xdata("VELM5$_$TAG3DISTR-"):
            continue
        ring, flagged = None, False
        for tag in o.get_xdata("VELM5$_$TAG3DISTR-"):
            if tag.code == 1002:
                ring, flagged = ([] if tag.value == "{" else None), False
                if ring is not None:
                    rings.append(ring)
            elif ring is not None and tag.code == 1070:
                flagged = True
            elif ring is not None and tag.code == 1011 and flagged:
                ring.append((tag.value[0], tag.value[1], tag.value[2]))
    return [r for r in rings if len(r) >= 3]


def area(f):
    def tri(a, b, c):
        u = [b[i] - a[i] for i in range(3)]
        v = [c[i] - a[i] for i in range(3)]
        x = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
        return math.sqrt(sum(c * c for c in x)) / 2.0

    return tri(f[0], f[1], f[2]) + tri(f[0], f[2], f[3])


def check_side(side, mine, holes, problems):
    lo, hi = side.extent()
    name = f"side at ({side.origin[0]:g},{side.origin[1]:g})"
    if not mine:
        problems.append(f"{name} has no faces")
        return
    top = max(p[2] for f in mine for p in f)
    if abs(top - TOP) > TOL:
        problems.append(f"{name}: its faces rise to {top:g}, the slab's underside is {TOP:g}")
    expected = (hi - lo) * TOP
    for ring in holes:
        if all(abs(side.offset(p)) <= TOL for p in ring):
            ts = [side.along(p) for p in ring]
            zs = [p[2] for p in ring]
            expected -= (max(ts) - min(ts)) * (max(zs) - min(zs))
    got = sum(area(f) for f in mine)
    if abs(got - expected) > 1e-3:
        problems.append(f"{name}: faces cover {got:.3f}, the side less its openings {expected:.3f}")


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
    doc, problems = dxfcheck.read(sys.argv[1])
    msp = doc.modelspace()

    entities = [f for f in msp.query("3DFACE") if f.dxf.layer.upper() == FACES]
    closing = [f for f in entities if f.has_xdata(CLOSING_APP)]
    faces = [corners(f) for f in entities if not f.has_xdata(CLOSING_APP)]
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
        if w.dxftype() != "ARC":
            continue
        mine = [f for f in faces if all(on_circle(w, p) for p in f)]
        check_strips(w, mine, problems)
        if any(abs(max(p[2] for p in f) - TOP) > TOL for f in mine):
            problems.append(f"ARC {w.dxf.handle}: a face below the slab's underside {TOP:g}")
        if not mine:
            problems.append(f"ARC {w.dxf.handle} has no faces")

    openings = dxfcheck.with_record(msp, "VELM5$_$PARAMETRI-")
    if len(openings) != 2:
        problems.append(f"{len(openings)} openings, the door and the window expected")
    holes = hole_rings(msp.query("INSERT"))
    if len(holes) != 4:
        problems.append(f"{len(holes)} hole outlines, one per face of the door and of the window expected")
    sides = straight_sides(walls)
    if len(sides) != 10:
        problems.append(f"{len(sides)} straight sides, 10 expected")
    arcs = [w for w in walls if w.dxftype() == "ARC"]
    mine = {id(side): [] for side in sides}
    for f in faces:
        if all(abs(p[2] - f[0][2]) <= TOL for p in f) or any(all(on_circle(a, p) for p in f) for a in arcs):
            continue  # a top, or a strip of a curved side
        holder = [side for side in sides if all(side.holds(p) for p in f)]
        if len(holder) == 1:
            mine[id(holder[0])].append(f)
        else:
            problems.append(f"a face off every straight side: {[tuple(round(c, 2) for c in p) for p in f]}")
    for side in sides:
        check_side(side, mine[id(side)], holes, problems)
    for f in closing:
        foot = [t.value for t in f.get_xdata(CLOSING_APP)]
        if len(foot) != 1 or not any(side.holds((foot[0][0], foot[0][1])) for side in sides):
            problems.append(f"closing face {f.dxf.handle}: its foot {foot} on no straight side")
        if any(p[2] > TOP + TOL for p in corners(f)):
            problems.append(f"closing face {f.dxf.handle} above the slab's underside {TOP:g}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Reads the drawing views_oblique.scr saved and checks each slanted
section of the room: the section hatches cover the walls' cuts, whose area
follows from the walls' thickness and the angle the line meets them at,
and no drawn line crosses the inside of a hatch.

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import views_dxf as vd  # noqa: E402

THICK, HIGH = 30.0, 300.0
# Each view by where it is placed: the walls' cut area it must show.
EXPECTED = {
    # The west wall met at 28 degrees, the north wall at 62.
    (0, -3000): (THICK / math.sin(math.radians(28.0)) + THICK / math.sin(math.radians(62.0))) * HIGH,
    # Two cuts 30 * sqrt(2) wide across the corner, the void between them
    # bare.
    (0, -6000): 2.0 * THICK * math.sqrt(2.0) * HIGH,
}


def area(ring):
    return abs(sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:] + ring[:1]))) / 2.0


def inside(p, ring):
    x, y, inn = p[0], p[1], False
    for a, b in zip(ring, ring[1:] + ring[:1]):
        if (a[1] > y) != (b[1] > y) and x < a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1]):
            inn = not inn
    return inn


def main():
    import ezdxf
    path = sys.argv[1]
    doc = ezdxf.readfile(path)
    problems = []
    seen = {}
    for insert, record in vd.views(doc.modelspace()):
        if record is not None:
            seen[(round(insert.dxf.insert.x), round(insert.dxf.insert.y))] = insert
    for at, want in EXPECTED.items():
        insert = seen.get(at)
        if insert is None:
            problems.append("no view at %d,%d" % at)
            continue
        rings = [ring for _, ring in vd.hatch_rings(vd.entities(insert), vd.HATCH, vd.placed(insert))]
        got = sum(area(r) for r in rings)
        if abs(got - want) > 0.01 * want:
            problems.append("view at %d,%d: hatched %.0f, the walls' cut is %.0f" % (at[0], at[1], got, want))
        # A line inside a hatch: a point of it a unit away from every edge
        # of the hatch and inside it.
        for layer, a, b in vd.view_lines(insert):
            for k in range(1, 10):
                p = (a[0] + k / 10.0 * (b[0] - a[0]), a[1] + k / 10.0 * (b[1] - a[1]))
                for ring in rings:
                    if inside(p, ring) and all(inside((p[0] + dx, p[1] + dy), ring)
                                               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                        problems.append("view at %d,%d: a line on %s from %s to %s crosses a hatch" %
                                        (at[0], at[1], layer, a, b))
                        break
                else:
                    continue
                break
    for p in problems:
        print("%s: %s" % (path, p))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""The erased door, the hidden edge, the moved wall layer and the camera's
view: facts of the drawing saved by edit_reactors.scr, read by the
independent reader.

    check_edit_reactors.py FILE.dxf

The front wall's 3D sides cover their whole length again (no hole where
the door was), an edge of the left wall's outer side is shown again, the right
wall's sides and one of its lines lie on the second wall layer, and the
layout's viewport 2 looks from the camera along its heading with the lens
of its opening angle.
Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import sys

try:
    import ezdxf  # noqa: F401
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)


def near(a, b, eps=1e-6):
    return abs(a - b) < eps


def corners(face):
    return [face.dxf.vtx0, face.dxf.vtx1, face.dxf.vtx2, face.dxf.vtx3]


def area_xz(face):
    p = corners(face)

    def tri(a, b, c):
        return abs((b[0] - a[0]) * (c[2] - a[2]) - (c[0] - a[0]) * (b[2] - a[2])) / 2.0

    return tri(p[0], p[1], p[2]) + tri(p[0], p[2], p[3])


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [f"recover: {e.message}" for e in auditor.errors + auditor.fixes]
    audit = doc.audit()
    problems += [f"audit: {e.message}" for e in audit.errors + audit.fixes]
    msp = doc.modelspace()
    faces = list(msp.query("3DFACE"))
    height = max(max(c[2] for c in corners(f)) for f in faces) if faces else 0.0

    # The front wall's two sides, whole.
    for y, length in ((-15.0, 630.0), (15.0, 570.0)):
        side = [f for f in faces if all(near(c[1], y) for c in corners(f))]
        area = sum(area_xz(f) for f in side)
        if not near(area, length * height, 1e-3):
            problems.append(f"front side y={y}: area {area}, expected {length * height}")
        gap = [f for f in side if min(c[0] for c in corners(f)) >= 115 - 1e-6
               and max(c[0] for c in corners(f)) <= 205 + 1e-6]
        if gap:
            problems.append(f"front side y={y}: {len(gap)} faces only across the old door")

    # The wall sides are made of triangles whose sloped edges are hidden.
    # In plan the pick at (-15, 200) is the middle of the left wall's outer
    # side, where the snap finds the middle of such an edge: it is shown.
    def sloped_edges(x):
        for f in faces:
            p = corners(f)
            if not all(near(c[0], x) for c in p):
                continue
            for k in range(4):
                a, b = p[k], p[(k + 1) % 4]
                if not near(a[1], b[1]) and not near(a[2], b[2]):
                    yield (a[1] + b[1]) / 2, bool(f.dxf.get("invisible", 0) & (1 << k))

    shown = [y for y, hidden in sloped_edges(-15.0) if not hidden]
    if [round(y, 6) for y in shown] != [200.0]:
        problems.append(f"left wall's outer side: sloped edges shown at y {shown}, expected one at 200")
    if any(not hidden for _, hidden in sloped_edges(615.0)):
        problems.append("a sloped edge of the right wall's outer side is shown")

    # The right wall's side on the second wall layer, in 3D and in plan.
    moved = [f for f in faces if f.dxf.layer == "VELM3DWALLS_B$0"]
    xs = {round(c[0], 6) for f in moved for c in corners(f)}
    if not moved or len(xs) != 1 or xs.pop() not in (585.0, 615.0):
        problems.append(f"3D faces on VELM3DWALLS_B$0: {len(moved)} at x {sorted(xs)}")
    lines = [e for e in msp.query("LINE") if e.dxf.layer == "VELM2DWALLS_B$0"]
    if len(lines) != 1 or not all(near(e.dxf.start[0], e.dxf.end[0]) and e.dxf.start[0] in (585.0, 615.0)
                                  for e in lines):
        problems.append(f"lines on VELM2DWALLS_B$0: {[(e.dxf.start, e.dxf.end) for e in lines]}")

    # Viewport 2 through the camera.
    viewports = [v for v in doc.layout().query("VIEWPORT") if v.dxf.id == 2]
    if len(viewports) != 1:
        problems.append(f"{len(viewports)} viewports numbered 2")
    else:
        v = viewports[0]
        target = v.dxf.view_target_point
        eye = target + v.dxf.view_direction_vector
        for got, want, what in ((target, (900, 10200, 160), "target"), (eye, (900, 200, 160), "camera")):
            if not all(near(g, w, 1e-6) for g, w in zip(got, want)):
                problems.append(f"viewport {what} {tuple(got)}, expected {want}")
        lens = 18.0 / math.tan(math.radians(30.0))
        if not near(v.dxf.perspective_lens_length, lens, 1e-6):
            problems.append(f"lens {v.dxf.perspective_lens_length}, expected {lens}")

    for p in problems:
        print(p)
    print("edit reactors:", "ok" if not problems else f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""Facts of the roof demo drawing, read by an independent DXF reader.

    check_roofs_dxf.py FILE.dxf

Every pitch carries its slab xdata and its outline is planar, as are the
3DFACEs of its block; the rectangle's hip roof has its ridge from
(300, 300) to (700, 300) at z 300; the gable roof's ridge runs from x 375 to
x 625 at z 300 and its front slabs' lower corners lie at z 150. Exit 77
(skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

APP = "VELM5$_$VFALDA-"


def outline(insert):
    pts, loop = [], 0
    for code, value in insert.get_xdata(APP):
        if code == 1002 and value == "{":
            loop += 1
        elif code == 1011 and loop == 1:
            pts.append(tuple(value))
    return pts


def plane(pts):
    nx = ny = nz = 0.0
    for i, p in enumerate(pts):
        q = pts[(i + 1) % len(pts)]
        nx += (p[1] - q[1]) * (p[2] + q[2])
        ny += (p[2] - q[2]) * (p[0] + q[0])
        nz += (p[0] - q[0]) * (p[1] + q[1])
    length = (nx * nx + ny * ny + nz * nz) ** 0.5
    nx, ny, nz = nx / length, ny / length, nz / length
    d = -(nx * pts[0][0] + ny * pts[0][1] + nz * pts[0][2])
    return nx, ny, nz, d


def off(pl, p):
    return abs(pl[0] * p[0] + pl[1] * p[1] + pl[2] * p[2] + pl[3])


def near(p, q):
    return all(abs(a - b) < 1e-6 for a, b in zip(p, q))


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path, labelled=True)
    pitches = dxfcheck.with_record(doc.modelspace(), APP)
    if len(pitches) != 14:
        problems.append(f"{len(pitches)} pitches, expected 14")
    rect_points, gable_loops = [], []
    for insert in pitches:
        pts = outline(insert)
        if len(pts) < 3:
            problems.append(f"pitch with {len(pts)} outline vertices")
            continue
        pl = plane(pts)
        if any(off(pl, p) > 1e-6 for p in pts):
            problems.append(f"pitch outline not planar: {pts}")
        block = doc.blocks.get(insert.dxf.name)
        faces = [e for e in block if e.dxftype() == "3DFACE"] if block else []
        if not faces:
            problems.append(f"pitch block {insert.dxf.name} without faces")
        for face in faces:
            corners = [face.dxf.vtx0, face.dxf.vtx1, face.dxf.vtx2, face.dxf.vtx3]
            fp = plane([tuple(c) for c in corners[:3]]) if len({tuple(c) for c in corners[:3]}) == 3 else None
            if fp and off(fp, tuple(corners[3])) > 1e-6:
                problems.append(f"face not planar in {insert.dxf.name}")
        if all(p[1] < 1000 for p in pts):
            rect_points += pts
        if all(p[1] >= 3999 for p in pts):
            gable_loops.append(pts)
    for ridge_end in [(300, 300, 300), (700, 300, 300)]:
        if not any(near(p, ridge_end) for p in rect_points):
            problems.append(f"rectangle ridge end {ridge_end} missing")
    ridge = sorted({round(p[0], 6) for loop in gable_loops for p in loop if abs(p[2] - 300) < 1e-6})
    if ridge != [375.0, 625.0]:
        problems.append(f"gable ridge at x {ridge}, expected 375 and 625")
    fronts = [loop for loop in gable_loops if len(loop) == 3]
    if len(fronts) != 2:
        problems.append(f"{len(fronts)} front slabs, expected 2")
    for loop in fronts:
        low = [p for p in loop if abs(p[2] - 150) < 1e-6]
        if len(low) != 2:
            problems.append(f"front slab {loop}: lower corners not at z 150")
    for p in problems:
        print(f"{path}: {p}")
    print(path, "pitches:", len(pitches))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

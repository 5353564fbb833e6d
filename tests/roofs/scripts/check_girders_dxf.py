"""Facts of the girder demo drawing, read by an independent DXF reader.

    check_girders_dxf.py FILE.dxf

Each girder carries its slab xdata with flag word 4 and a four-vertex loop
whose corners lie 18 / cos(16.70 degrees) + 80 below the roof slab's plane
(z = 0.3 y); two of them pass the gutter edge by 30. The profile's block
holds 12 3DFACEs (4 side faces per path segment, two triangles per cap)
and is inserted at (0, -200). Exit 77 (skipped) when ezdxf is not
installed.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

APP = "VELM5$_$VFALDA-"


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path, labelled=True)
    msp = doc.modelspace()
    drop = 18.0 / math.cos(math.atan(0.3)) + 80.0
    girders = 0
    projecting = 0
    for insert in msp.query("INSERT"):
        if not insert.has_xdata(APP):
            continue
        tags = list(insert.get_xdata(APP))
        flag = next(v for c, v in tags if c == 1070)
        if flag != 4:
            continue
        girders += 1
        corners = [tuple(v) for c, v in tags if c == 1011]
        if len(corners) != 4:
            problems.append(f"girder with {len(corners)} corners")
            continue
        for x, y, z in corners:
            if abs((0.3 * y - z) - drop) > 1e-6:
                problems.append(f"girder corner ({x}, {y}, {z}) is {0.3 * y - z:.4f} below the slab, expected {drop:.4f}")
        if min(y for _, y, _ in corners) < -29.999:
            projecting += 1
    if girders != 10:
        problems.append(f"{girders} girders, expected 10")
    if projecting != 2:
        problems.append(f"{projecting} girders pass the edge by 30, expected 2")
    profiles = [i for i in msp.query("INSERT") if i.dxf.layer == "3DEAVES"]
    if len(profiles) != 1:
        problems.append(f"{len(profiles)} profile inserts, expected 1")
    else:
        p = profiles[0]
        if any(abs(a - b) > 1e-9 for a, b in zip(p.dxf.insert, (0.0, -200.0, 0.0))):
            problems.append(f"profile inserted at {tuple(p.dxf.insert)}")
        faces = [e for e in doc.blocks.get(p.dxf.name) if e.dxftype() == "3DFACE"]
        if len(faces) != 12:
            problems.append(f"profile block holds {len(faces)} faces, expected 12")
    for p in problems:
        print(f"{path}: {p}")
    print(path, "girders:", girders)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

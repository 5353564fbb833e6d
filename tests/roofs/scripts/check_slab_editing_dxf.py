"""Facts of the slab editing demo drawing, read by an independent DXF reader.

    check_slab_editing_dxf.py FILE.dxf

The floor slab has one loop of five vertices through the two moved ones and
the inserted one, and one hatch; the first pitch is back to one loop and
rises 50 % from its gutter; the main roof holds the dormers' triangle as a
second loop, and each dormer pitch two of its corners; the Z-profile has
thickness 20 and flag word 28. Exit 77 (skipped) when ezdxf is not
installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

APP = dxfcheck.SLAB_APP


def slab_data(insert):
    """Thickness, flag word and loops (lists of (x, y, z, flag)) of the slab xdata."""
    record = dxfcheck.slab_record(insert)
    return record.thickness, record.flag, record.loops


def holds(loop, point):
    return any(all(abs(v[i] - point[i]) < 1e-3 for i in range(len(point))) for v in loop)


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path, labelled=True)
    msp = doc.modelspace()
    slabs = [(i.dxf.layer, *slab_data(i)) for i in msp.query("INSERT") if i.has_xdata(APP)]

    def find(what, test):
        found = [s for s in slabs if s[3] and test(s[3][0])]
        if len(found) != 1:
            problems.append(f"{len(found)} slabs found for {what}, expected 1")
            return None
        return found[0]

    def within(x0, y0, x1, y1):
        return lambda loop: all(x0 - 1e-6 <= v[0] <= x1 + 1e-6 and y0 - 1e-6 <= v[1] <= y1 + 1e-6 for v in loop)

    floor = find("the floor slab", lambda loop: holds(loop, (1100, 900)))
    if floor:
        loops = floor[3]
        if len(loops) != 1 or len(loops[0]) != 5:
            problems.append(f"floor slab loops {[len(k) for k in loops]}, expected one of 5")
        for p in [(1100, 900), (-100, 800), (500, -100)]:
            if not holds(loops[0], p):
                problems.append(f"floor slab outline misses {p}")
    hatches = list(msp.query("HATCH"))
    if len(hatches) != 1 or hatches[0].dxf.layer != "3DFLOORSLAB_H":
        problems.append(f"hatches {[h.dxf.layer for h in hatches]}, expected the floor slab's one")

    pitch = find("the first pitch", within(0, 1000, 600, 1400))
    if pitch:
        if len(pitch[3]) != 1:
            problems.append(f"first pitch: {len(pitch[3])} loops, expected 1")
        for v in pitch[3][0]:
            want = (v[1] - 1000) * 0.5
            if abs(v[2] - want) > 1e-6:
                problems.append(f"first pitch vertex {v[:3]}: z expected {want}")

    triangle = [(400, 2200, 60), (500, 2333.3333, 100), (600, 2200, 60)]
    main_roof = find("the main roof", lambda loop: holds(loop, (0, 2000)) and holds(loop, (1000, 2600)))
    if main_roof:
        loops = main_roof[3]
        if len(loops) != 2 or len(loops[1]) != 3 or not all(holds(loops[1], p) for p in triangle):
            problems.append(f"main roof openings {loops[1:]}, expected the triangle {triangle}")
    for name, corners, box in [("the first dormer", triangle[:2], (400, 2100, 500, 2500)),
                               ("the second dormer", triangle[1:], (500, 2100, 600, 2500))]:
        dormer = find(name, within(*box))
        if dormer and not all(holds(dormer[3][0], p) for p in corners):
            problems.append(f"{name} outline {dormer[3][0]}, expected to hold {corners}")

    profile = [s for s in slabs if s[0] == "3DSWALK"]
    if len(profile) != 1:
        problems.append(f"{len(profile)} Z-profiles, expected 1")
    elif abs(profile[0][1] - 20.0) > 1e-9 or profile[0][2] != 28:
        problems.append(f"Z-profile thickness {profile[0][1]}, flag word {profile[0][2]}: expected 20 and 28")

    for p in problems:
        print(f"{path}: {p}")
    print(path, "slabs:", len(slabs))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

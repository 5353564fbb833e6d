"""The drawing the modify-replace-regenerate script saved, read by an
independent reader: recovered and audited without errors or fixes; the
widened door carries its new width in its record, its block and its wall
gap; the copied window's place holds the plain opening with the values it
took over from the window, and the original window is untouched.

    check_modify_replace_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

RECORD = "VELM5$_$PARAMETRI-"
OPENING = "VELM6$_$ABINFISSI_OBJ-"
WALL_LAYER = "VELM2DWALLS$0"
NEW_DOOR_WIDTH = 120.0
COPY_AT = (485.0, 15.0)  # where the window copy was placed on the first wall


def close(a, b, tol=1e-6):
    return abs(a - b) <= tol


def record_values(insert):
    """Name and numbered values of an object's parameter record."""
    tags = [(t.code, t.value) for t in insert.get_xdata(RECORD)]
    # The numbered values follow the record's last point, in pairs.
    start = max(i for i, (code, _) in enumerate(tags) if code == 1010) + 1
    values = {}
    for (code, number), (_, value) in zip(tags[start::2], tags[start + 1 :: 2]):
        if code == 1070:
            values[number] = value
    return tags[0][1], values


def face_gaps(walls, y):
    """Uncovered stretches of the wall face y between its covered ends."""
    spans = sorted(
        (min(w.dxf.start.x, w.dxf.end.x), max(w.dxf.start.x, w.dxf.end.x))
        for w in walls
        if close(w.dxf.start.y, y, 1e-6) and close(w.dxf.end.y, y, 1e-6)
    )
    gaps = []
    for (_, end), (start, _) in zip(spans, spans[1:]):
        if start - end > 1e-6:
            gaps.append((round(end, 6), round(start, 6)))
    return gaps


def main():
    doc, problems = dxfcheck.read(sys.argv[1])
    msp = doc.modelspace()
    objects = {}
    for insert in msp.query("INSERT"):
        if insert.has_xdata(RECORD):
            name, values = record_values(insert)
            objects.setdefault(name.upper(), []).append((insert, values))
    counts = {k: len(v) for k, v in objects.items()}
    if counts != {"P1": 1, "F1": 1, "A1": 1}:
        problems.append(f"objects {counts}, one P1, one F1 and one A1 expected")
        for p in problems:
            print(p)
        return 1

    door, values = objects["P1"][0]
    if not close(values.get(8, 0.0), NEW_DOOR_WIDTH):
        problems.append(f"door record width {values.get(8)}, {NEW_DOOR_WIDTH} expected")
    opening = [t.value for t in door.get_xdata(OPENING)]
    mark = opening.index("D-") if "D-" in opening else -1
    if mark < 0 or not close(opening[mark + 2], NEW_DOOR_WIDTH):
        problems.append(f"door opening record {opening}, width {NEW_DOOR_WIDTH} expected after its mark")
    block = doc.blocks.get(door.dxf.name)
    jambs = [e for e in block.query("LINE") if e.dxf.layer.upper() == "2DOPENINGS_W"]
    xs = [p.x for e in jambs for p in (e.dxf.start, e.dxf.end)]
    if not xs or not close(max(xs) - min(xs), NEW_DOOR_WIDTH):
        problems.append(f"door block {door.dxf.name} jambs span {xs}, {NEW_DOOR_WIDTH} expected")
    arcs = list(block.query("ARC"))
    if len(arcs) != 1 or not close(arcs[0].dxf.radius, NEW_DOOR_WIDTH):
        problems.append(f"door block leaf arcs {[a.dxf.radius for a in arcs]}, one of {NEW_DOOR_WIDTH} expected")

    # The door sits on the first wall (faces y=-15 and y=15) and opens from
    # its insertion point along its rotation: both faces are cut exactly there.
    walls = [e for e in msp.query("LINE") if e.dxf.layer.upper() == WALL_LAYER]
    x0 = door.dxf.insert.x
    x1 = x0 + NEW_DOOR_WIDTH * math.cos(math.radians(door.dxf.rotation))
    expected = (round(min(x0, x1), 6), round(max(x0, x1), 6))
    # Widened, the door keeps the jamb its fixed point holds: the one at 100,
    # where the door placed 100 from the wall's start had it.
    if not close(expected[0], 100.0, 1e-4):
        problems.append(f"the widened door spans {expected}; its jamb at 100 should have stayed")
    for y in (-15.0, 15.0):
        gaps = face_gaps(walls, y)
        if not any(close(g[0], expected[0], 1e-4) and close(g[1], expected[1], 1e-4) for g in gaps):
            problems.append(f"wall face y={y} gaps {gaps}, the door's {expected} expected")

    plain, values = objects["A1"][0]
    if not (close(plain.dxf.insert.x, COPY_AT[0], 1e-4) and close(plain.dxf.insert.y, COPY_AT[1], 1e-4)):
        problems.append(f"A1 at {tuple(plain.dxf.insert)}, where the copy was {COPY_AT} expected")
    # Width and heights taken over from the window, the mark prefix its own.
    wanted = {8: 90.0, 190: 150.0, 192: 85.0, 11098: "O-"}
    for number, value in wanted.items():
        got = values.get(number)
        same = got == value if isinstance(value, str) else got is not None and close(got, value)
        if not same:
            problems.append(f"A1 value {number} is {got}, {value} expected")

    window, values = objects["F1"][0]
    if not (close(window.dxf.insert.x, 585.0, 1e-4) and close(window.dxf.rotation, 270.0)):
        problems.append(f"the original window moved: {tuple(window.dxf.insert)} rotation {window.dxf.rotation}")
    if not close(values.get(8, 0.0), 90.0):
        problems.append(f"the original window's width changed: {values.get(8)}")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

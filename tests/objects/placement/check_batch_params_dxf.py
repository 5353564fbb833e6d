"""The drawing the batch-parameters script saved, read by an independent
reader: recovered and audited without errors or fixes; the dimension text
distance moved on the door and the first window only; the first window's
height given to the second; both windows' floor deduction 90 in their
records and the lighting value carried into the two other records; the
labels numbered 7 and 8; no fixed-point marker left in the block of any
placed object.

    check_batch_params_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

RECORD = "VELM5$_$PARAMETRI-"
TAG3D = "VELM5$_$TAG3DISTR-"
OPENING = "VELM6$_$ABINFISSI_OBJ-"
MARKERS = "VELM_FIXEDP_X"


def close(a, b, tol=1e-6):
    return a is not None and abs(a - b) <= tol


def record(insert):
    """Name, item 8, item 9 and the numbered values of the record."""
    tags = [(t.code, t.value) for t in insert.get_xdata(RECORD)]
    points = [i for i, (code, _) in enumerate(tags) if code == 1010]
    values = {}
    rest = tags[points[-1] + 1 :]
    for (code, number), (_, value) in zip(rest[::2], rest[1::2]):
        if code == 1070:
            values[number] = value
    return tags[0][1], tags[points[-2]][1], tags[points[-1]][1], values


def main():
    doc, problems = dxfcheck.read(sys.argv[1])
    msp = doc.modelspace()
    objects = {}
    for insert in msp.query("INSERT"):
        if insert.has_xdata(RECORD):
            name, pair, flags, values = record(insert)
            objects.setdefault(name.upper(), []).append((insert, pair, flags, values))
    counts = {k: len(v) for k, v in objects.items()}
    if counts != {"P1": 1, "F1": 2, "ETI1": 2}:
        print(f"objects {counts}, one P1, two F1 and two ETI1 expected")
        return 1

    door = objects["P1"][0]
    if not close(door[1][0], 40.0):
        problems.append(f"door dimension text at {door[1][0]}, 40 expected")
    windows = sorted(objects["F1"], key=lambda o: -o[0].dxf.insert.x)  # the first on the right wall
    for i, (insert, pair, flags, values) in enumerate(windows):
        want = 40.0 if i == 0 else 70.0
        if not close(pair[0], want):
            problems.append(f"window {i + 1} dimension text at {pair[0]}, {want} expected")
        if not close(values.get(190), 150.0):
            problems.append(f"window {i + 1} height {values.get(190)}, 150 expected")
        if not close(flags[1], 90.0) or not close(flags[2], 0.0):
            problems.append(f"window {i + 1} deductions {tuple(flags)}, floor 90 and top 0 expected")
        tag = [t.value for t in insert.get_xdata(TAG3D)]
        first = next(k for k, t in enumerate(insert.get_xdata(TAG3D)) if t.code == 1070)
        if not close(tag[first + 3], 1.35):
            problems.append(f"window {i + 1} lighting value {tag[first + 3]} in its 3D record, 1.35 expected")
        mark = [t.value for t in insert.get_xdata(OPENING)]
        got = mark[12:15]
        if not all(close(g, w) for g, w in zip(got, (1.35, 0.0, 90.0))):
            problems.append(f"window {i + 1} opening record values {got}, 1.35, 0, 90 expected")

    numbers = sorted(o[3].get(11034) for o in objects["ETI1"])
    if numbers != [7.0, 8.0]:
        problems.append(f"label numbers {numbers}, 7 and 8 expected")

    # Every block a placed object shows; a block an object showed before it
    # was drawn again is no object's any more and keeps what it held.
    shown = {insert.dxf.name for insert in msp.query("INSERT")}
    for block in doc.blocks:
        if block.name not in shown:
            continue
        left = [e for e in block.query("LINE") if e.dxf.layer.upper() == MARKERS]
        if left:
            problems.append(f"block {block.name} still holds {len(left)} marker lines")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""The hatches and header of a drawing saved here, as an independent reader
(ezdxf) sees them: the pattern lines of each hatch at its scale and angle,
none for a solid fill, the header's colour and angle; and the reader's own
save of the drawing loads again without a fault.

    check_dxf_hatch_header.py FILE.dxf     (written by host_tests,
                                            DxfHatchPattern.lines_of_a_hatch_made_here_…)

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

import ezdxf  # noqa: E402


def close(a, b, tol=1e-9):
    return abs(a - b) <= tol


def check_hatches(doc, failures):
    hatches = list(doc.modelspace().query("HATCH"))
    if len(hatches) != 5:
        failures.append(f"5 hatches expected, {len(hatches)} read")
        return
    ansi, dashed, tiles, user, solid = hatches

    def lines(h):
        return list(h.pattern.lines) if h.pattern else []

    s75, c75 = math.sin(math.radians(75)), math.cos(math.radians(75))
    got = lines(ansi)
    if len(got) != 1 or not close(got[0].angle, 75) or not (
        close(got[0].offset[0], -6.35 * s75) and close(got[0].offset[1], 6.35 * c75)
    ):
        failures.append(f"ANSI31 at 30 degrees, scale 2: {[(l.angle, tuple(l.offset)) for l in got]}")
    got = lines(dashed)
    if len(got) != 1 or not (
        close(got[0].angle, 90)
        and close(got[0].base_point[0], -4) and close(got[0].base_point[1], 2)
        and close(got[0].offset[0], -20) and close(got[0].offset[1], 1)
        and [round(d, 9) for d in got[0].dash_length_items] == [12, -8]
    ):
        failures.append(f"DASHED at 90 degrees, scale 2: {got}")
    if len(lines(tiles)) != 2:
        failures.append(f"TILES: {len(lines(tiles))} lines, 2 expected")
    got = lines(user)
    angles = sorted(round(l.angle % 360, 6) for l in got)
    if angles != [45, 135] or any(not close(math.hypot(*l.offset), 5) for l in got):
        failures.append(f"double user-defined hatch at 45 degrees, 5 apart: {got}")
    if not solid.dxf.solid_fill or lines(solid):
        failures.append("SOLID carries pattern lines or is not solid")
    for h in (ansi, dashed, tiles, user):
        if h.dxf.solid_fill or h.dxf.pattern_type not in (0, 1, 2):
            failures.append(f"{h.dxf.pattern_name}: solid {h.dxf.solid_fill} type {h.dxf.pattern_type}")


def check_header(doc, failures, label):
    if doc.header.get("$CECOLOR") != 3:
        failures.append(f"{label}: $CECOLOR {doc.header.get('$CECOLOR')!r}, 3 expected")
    if not close(float(doc.header.get("$ANGBASE", -1)), 45):
        failures.append(f"{label}: $ANGBASE {doc.header.get('$ANGBASE')!r}, 45 expected")


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path, labelled=True)
    failures = [f"{path}: {p}" for p in problems]
    check_hatches(doc, failures)
    check_header(doc, failures, "as saved here")
    # The reader's own save of our file must load again, plainly.
    with tempfile.TemporaryDirectory() as tmp:
        resaved = os.path.join(tmp, "resaved.dxf")
        ezdxf.readfile(path).saveas(resaved)
        try:
            again = ezdxf.readfile(resaved)
        except Exception as e:  # noqa: BLE001 - any fault of the reader fails the check
            failures.append(f"the reader's own save does not load: {e}")
        else:
            check_hatches(again, failures)
            check_header(again, failures, "saved again by the reader")
    for f in failures:
        print(f)
    print(path, "hatches and header:", "faults" if failures else "as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

"""The plan chains of window_crossing.scr, read by an independent reader:
the chain through the window and on to the free wall measures the west
wall, the room, the east wall at the window, the gap to the free wall and
the free wall (30, 370, 30, 170, 30); the chain ending in the window's wall
measures 30, 370, 30.

    check_window_crossing_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

TOL = 1e-6


def spans(dims, line_y):
    """The measurements of the chain whose extension lines start at y."""
    return sorted(round(d.get_measurement(), 6) for d in dims if abs(d.dxf.defpoint2.y - line_y) < TOL)


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path)
    dims = list(doc.modelspace().query("DIMENSION"))
    expected = {-70.0: [30.0, 30.0, 30.0, 170.0, 370.0], -170.0: [30.0, 30.0, 370.0]}
    for y, want in expected.items():
        got = spans(dims, y)
        if got != want:
            problems.append(f"chain at y {y} measures {got}, not {want}")
    if len(dims) != sum(len(w) for w in expected.values()):
        problems.append(f"{len(dims)} dimensions")
    for p in problems:
        print("FAIL:", p)
    if problems:
        return 1
    print(path, "every span through the window dimensioned")
    return 0


if __name__ == "__main__":
    sys.exit(main())

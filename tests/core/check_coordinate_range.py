"""No coordinate of a saved drawing lies beyond 1e10 or is not a number.

Reads the DXF text itself: every value of the coordinate group codes
(10-38) of every section is checked, so nothing a command wrote escapes.
Usage: check_coordinate_range.py DRAWING.dxf [MIN_LINES]
"""
import math
import sys

LIMIT = 1e10


def main() -> int:
    path = sys.argv[1]
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    bad = []
    for i in range(0, len(lines) - 1, 2):
        try:
            code = int(lines[i].strip())
        except ValueError:
            continue
        if 10 <= code <= 38:
            try:
                v = float(lines[i + 1])
            except ValueError:
                continue
            if not math.isfinite(v) or abs(v) > LIMIT:
                bad.append((i + 2, code, lines[i + 1].strip()))
    for line, code, value in bad[:20]:
        print(f"{path}:{line}: group {code} holds {value}")
    if bad:
        print(f"{len(bad)} coordinates out of range")
        return 1
    print("every coordinate within 1e10")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The yardstick for room labelling: the face lines of the generated floor
(C x R rooms of 400 x 300 on the axes, walls 30 thick centred; each room's
four inner faces and the four outer faces of the house, 4CR + 4 lines)
noded, polygonized and measured by a general geometry library (GEOS
through shapely, python3-shapely). Prints the rooms found, their total
area and the seconds the pass took, best of three.

    bench/floor_polygonize.py [COLS ROWS]   (default 31 32: 992 rooms)

Not run in CI; bench/whole_floor.cpp's BM_RoomLabels is compared with it.
"""
import sys
import time

from shapely.geometry import LineString
from shapely.ops import polygonize, unary_union

X, Y, H = 400.0, 300.0, 15.0


def face_lines(cols, rows):
    lines = []
    for j in range(rows):
        for i in range(cols):
            l, r = i * X + H, (i + 1) * X - H
            b, t = j * Y + H, (j + 1) * Y - H
            lines += [((l, b), (r, b)), ((r, b), (r, t)), ((r, t), (l, t)), ((l, t), (l, b))]
    w, h = cols * X + H, rows * Y + H
    lines += [((-H, -H), (w, -H)), ((w, -H), (w, h)), ((w, h), (-H, h)), ((-H, h), (-H, -H))]
    return [LineString(s) for s in lines]


def measure(cols, rows):
    lines = face_lines(cols, rows)
    t0 = time.perf_counter()
    polygons = list(polygonize(unary_union(lines)))
    rooms = [p.area for p in polygons if not p.interiors]
    seconds = time.perf_counter() - t0
    return len(rooms), sum(rooms), seconds


if __name__ == "__main__":
    cols, rows = (int(sys.argv[1]), int(sys.argv[2])) if len(sys.argv) > 2 else (31, 32)
    runs = [measure(cols, rows) for _ in range(3)]
    count, area, _ = runs[0]
    print(f"{count} rooms, area {area:.0f}, {min(r[2] for r in runs):.4f} s")

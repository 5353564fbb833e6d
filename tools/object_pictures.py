#!/usr/bin/env python3
"""Draws the object pictures of the shipped definitions.

Each definition NAME.txt in support/ gets a large picture IDB_NAME.bmp and a
slide IDB__NAME.bmp in support/velmObjBmp.dll/, a plan symbol of its kind in
dark lines on white; IDB_BORDOSEL.bmp is the frame around the chosen slide.
Run it again after adding a definition: python3 tools/object_pictures.py
"""
import math
import os
from bmp24 import bmp24
import sys

WHITE = (255, 255, 255)
INK = (40, 40, 40)
WALL = (120, 120, 120)
MARK = (0, 90, 200)


class Picture:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[WHITE] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    # Coordinates in the unit square, y up, with a margin.
    def at(self, u, v):
        m = 0.08
        return (round((m + u * (1 - 2 * m)) * (self.w - 1)), round((1 - m - v * (1 - 2 * m)) * (self.h - 1)))

    def line(self, a, b, c=INK):
        (x0, y0), (x1, y1) = self.at(*a), self.at(*b)
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def poly(self, pts, c=INK, closed=True):
        for i in range(len(pts) - (0 if closed else 1)):
            self.line(pts[i], pts[(i + 1) % len(pts)], c)

    def rect(self, u0, v0, u1, v1, c=INK, fill=False):
        if fill:
            steps = max(2, round((v1 - v0) * self.h))
            for i in range(steps + 1):
                v = v0 + (v1 - v0) * i / steps
                self.line((u0, v), (u1, v), c)
        self.poly([(u0, v0), (u1, v0), (u1, v1), (u0, v1)], c)

    def arc(self, cu, cv, r, a0, a1, c=INK):
        n = 48
        pts = [(cu + r * math.cos(a0 + (a1 - a0) * i / n), cv + r * math.sin(a0 + (a1 - a0) * i / n)) for i in range(n + 1)]
        self.poly(pts, c, closed=False)

    def bmp(self):
        return bmp24(self.w, self.h, self.px)


def wall_with_gap(p, g0=0.3, g1=0.7):
    for v in (0.4, 0.6):
        p.line((0, v), (g0, v), WALL)
        p.line((g1, v), (1, v), WALL)
    p.line((g0, 0.4), (g0, 0.6), WALL)
    p.line((g1, 0.4), (g1, 0.6), WALL)


def draw(p, name):
    n = name.upper()
    if n.startswith("ABC_") or n[:7] in ("TMS_TAB", "TMS_REC", "TMS_TOT"):  # schedule parts
        p.rect(0.1, 0.2, 0.9, 0.8)
        heavy = {"ABC_TAB": 0.65, "TMS_TAB": 0.65, "ABC_TOT": 0.35, "TMS_TOT": 0.35}.get(n[:7])
        for v in (0.35, 0.5, 0.65):
            p.line((0.1, v), (0.9, v), MARK if v == heavy else INK)
        for u in (0.3, 0.6):
            p.line((u, 0.2), (u, 0.8))
    elif n.startswith("TMS_ETI"):  # room label with its area
        p.rect(0.2, 0.3, 0.8, 0.7)
        p.line((0.2, 0.5), (0.8, 0.5))
        if n.endswith("P"):
            p.line((0.5, 0.3), (0.5, 0.1), MARK)
    elif n.startswith("P") and not n.startswith("PIL"):  # door: leaf and swing
        wall_with_gap(p)
        p.line((0.3, 0.6), (0.3, 1.0))
        p.arc(0.3, 0.6, 0.4, 0, math.pi / 2)
    elif n.startswith("FANG"):  # corner window
        p.poly([(0, 0.4), (0.6, 0.4), (0.6, 0)], WALL, closed=False)
        p.poly([(0, 0.6), (0.4, 0.6), (0.4, 0)], WALL, closed=False)
        p.line((0.1, 0.5), (0.5, 0.5))
        p.line((0.5, 0.5), (0.5, 0.1))
    elif n.startswith("F") or n.startswith("LUC"):  # window: frame lines
        wall_with_gap(p)
        for v in (0.45, 0.5, 0.55):
            p.line((0.3, v), (0.7, v))
        if n.startswith("F1C"):
            p.arc(0.5, -0.6, 1.1, math.pi / 2 - 0.35, math.pi / 2 + 0.35, MARK)
    elif n.startswith("A"):  # opening without a frame
        wall_with_gap(p)
        p.line((0.3, 0.4), (0.7, 0.6), MARK)
        p.line((0.3, 0.6), (0.7, 0.4), MARK)
    elif n.startswith("PIL"):  # pilaster against a wall
        p.line((0, 0.3), (1, 0.3), WALL)
        p.rect(0.35, 0.3, 0.65, 0.6, INK, fill=True)
    elif n.startswith("SCALA"):  # straight stair with its arrow
        p.rect(0.1, 0.25, 0.9, 0.75)
        for i in range(1, 8):
            u = 0.1 + 0.8 * i / 8
            p.line((u, 0.25), (u, 0.75))
        p.line((0.15, 0.5), (0.85, 0.5), MARK)
        p.poly([(0.78, 0.56), (0.85, 0.5), (0.78, 0.44)], MARK, closed=False)
    elif n.startswith("BAL"):  # balustrade: rail and posts
        p.line((0, 0.5), (1, 0.5))
        for i in range(6):
            u = 0.05 + 0.18 * i
            p.rect(u, 0.46, u + 0.04, 0.54, INK, fill=True)
    elif n.startswith("SEP"):  # separator: dashed line
        for i in range(0, 10, 2):
            p.line((i / 10, 0.5), ((i + 1) / 10, 0.5), MARK)
    elif n.startswith("TAV"):  # table with chairs
        p.rect(0.25, 0.3, 0.75, 0.7)
        for u in (0.33, 0.57):
            p.rect(u, 0.12, u + 0.1, 0.24)
            p.rect(u, 0.76, u + 0.1, 0.88)
    elif n.startswith("ETI"):  # numbered label
        p.arc(0.5, 0.5, 0.3, 0, 2 * math.pi)
        p.line((0.5, 0.35), (0.5, 0.65))
    elif n.startswith("TMS_LUCE"):  # light source
        p.arc(0.5, 0.5, 0.2, 0, 2 * math.pi, MARK)
        for k in range(8):
            a = k * math.pi / 4
            p.line((0.5 + 0.27 * math.cos(a), 0.5 + 0.27 * math.sin(a)),
                   (0.5 + 0.4 * math.cos(a), 0.5 + 0.4 * math.sin(a)), MARK)
    elif n.startswith("TMS_PROS"):  # camera
        p.rect(0.2, 0.35, 0.6, 0.65)
        p.poly([(0.6, 0.45), (0.85, 0.3), (0.85, 0.7), (0.6, 0.55)])
    elif n.startswith("TMS_SEZ"):  # section mark
        p.line((0.1, 0.5), (0.9, 0.5), MARK)
        for u in (0.1, 0.9):
            p.line((u, 0.5), (u, 0.8))
            p.poly([(u - 0.05, 0.72), (u, 0.8), (u + 0.05, 0.72)], INK, closed=False)
        if n.endswith("2"):
            p.line((0.5, 0.3), (0.5, 0.7), MARK)
        if n.endswith("S"):
            p.line((0.3, 0.3), (0.7, 0.7), MARK)
    elif n.startswith("KEY_QD"):  # dimension symbols
        p.line((0.1, 0.4), (0.9, 0.4))
        for u in (0.1, 0.9):
            p.line((u, 0.25), (u, 0.55))
        p.line((0.35, 0.6), (0.65, 0.6), MARK)
    elif n.startswith("KEY_ETI"):  # grid axis label
        p.line((0.5, 0.0), (0.5, 0.45), MARK)
        p.arc(0.5, 0.7, 0.2, 0, 2 * math.pi)
    else:
        p.rect(0.1, 0.1, 0.9, 0.9)
        p.line((0.1, 0.1), (0.9, 0.9))
        p.line((0.1, 0.9), (0.9, 0.1))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support")
    out = os.path.join(root, "velmObjBmp.dll")
    os.makedirs(out, exist_ok=True)
    names = sorted(f[:-4] for f in os.listdir(root) if f.endswith(".txt"))
    for name in names:
        for prefix, (w, h) in (("IDB_", (160, 120)), ("IDB__", (96, 72))):
            p = Picture(w, h)
            draw(p, name)
            with open(os.path.join(out, prefix + name + ".bmp"), "wb") as f:
                f.write(p.bmp())
    frame = Picture(104, 80)
    for i in range(3):
        for x in range(frame.w):
            frame.dot(x, i, MARK)
            frame.dot(x, frame.h - 1 - i, MARK)
        for y in range(frame.h):
            frame.dot(i, y, MARK)
            frame.dot(frame.w - 1 - i, y, MARK)
    with open(os.path.join(out, "IDB_BORDOSEL.bmp"), "wb") as f:
        f.write(frame.bmp())
    return 0


if __name__ == "__main__":
    sys.exit(main())

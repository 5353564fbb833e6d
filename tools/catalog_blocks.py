#!/usr/bin/env python3
"""Writes the shipped user block catalogue in support/CAT/.

catalog.ini holds two groups of twenty entries, "Meble" and "Sanitarne",
four blocks each; the other slots are free and carry their default names
(group name and slot number). Each block is a small DXF drawing
"<name>.dwg" drawn in centimetres on layer 0, its insertion point at a
corner or at the middle of the side that stands against a wall, with its
preview "<name>.bmp" drawn from the same geometry. Beside support/VXD.LST
go the browser's pictures: the selection frame "VELMatsel.bmp", the
preview of a block without one "VELMatnos.bmp" and the free slot
"VELMatlib.bmp".

Run it again after changing a block: python3 tools/catalog_blocks.py
"""
import math
import os
from bmp24 import bmp24

HERE = os.path.dirname(os.path.abspath(__file__))
SUPPORT = os.path.join(HERE, "..", "support")
CAT = os.path.join(SUPPORT, "CAT")

WHITE = (255, 255, 255)
INK = (40, 40, 40)
FRAME = (0, 90, 200)
PREVIEW_W, PREVIEW_H = 96, 60


def rect(x0, y0, x1, y1):
    return [("L", x0, y0, x1, y0), ("L", x1, y0, x1, y1), ("L", x1, y1, x0, y1), ("L", x0, y1, x0, y0)]


def table():
    return rect(0, 0, 160, 90) + rect(8, 8, 152, 82)


def chair():
    return rect(0, 0, 45, 45) + rect(0, 45, 45, 52) + [("L", 5, 5, 40, 5)]


def bed():
    return rect(0, 0, 160, 200) + rect(10, 165, 75, 195) + rect(85, 165, 150, 195) + [("L", 0, 150, 160, 150)]


def sofa():
    return rect(0, 0, 200, 90) + rect(0, 70, 200, 90) + rect(0, 0, 20, 70) + rect(180, 0, 200, 70) + [
        ("L", 100, 0, 100, 70)]


def wc():
    # The middle of the side against the wall at the origin, the bowl towards -y.
    return rect(-20, -18, 20, 0) + [("A", 0, -38, 18, 180, 360), ("L", -18, -38, -18, -18),
                                     ("L", 18, -38, 18, -18)]


def washbasin():
    return rect(-30, -45, 30, 0) + [("C", 0, -25, 15), ("C", 0, -6, 2)]


def bath():
    return rect(0, 0, 170, 75) + rect(8, 8, 162, 67) + [("C", 150, 37.5, 3)]


def shower_tray():
    return rect(0, 0, 90, 90) + [("L", 0, 0, 90, 90), ("L", 0, 90, 90, 0), ("C", 45, 45, 5)]


GROUPS = [
    ("Meble", "2DFURNITURE", [
        ("STOL", "Stół 160x90", table),
        ("KRZESLO", "Krzesło", chair),
        ("LOZKO", "Łóżko podwójne 160x200", bed),
        ("SOFA", "Sofa trzyosobowa", sofa),
    ]),
    ("Sanitarne", "2DFURNITURE", [
        ("WC", "Miska ustępowa z płuczką", wc),
        ("UMYWALKA", "Umywalka 60 cm", washbasin),
        ("WANNA", "Wanna 170x75", bath),
        ("BRODZIK", "Brodzik 90x90", shower_tray),
    ]),
]


def dxf(shapes):
    out = ["0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "9", "$INSBASE", "10", "0.0", "20", "0.0",
           "30", "0.0", "9", "$INSUNITS", "70", "5", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"]
    for s in shapes:
        if s[0] == "L":
            out += ["0", "LINE", "8", "0", "10", f"{s[1]:g}", "20", f"{s[2]:g}", "30", "0", "11", f"{s[3]:g}",
                    "21", f"{s[4]:g}", "31", "0"]
        elif s[0] == "C":
            out += ["0", "CIRCLE", "8", "0", "10", f"{s[1]:g}", "20", f"{s[2]:g}", "30", "0", "40", f"{s[3]:g}"]
        else:
            out += ["0", "ARC", "8", "0", "10", f"{s[1]:g}", "20", f"{s[2]:g}", "30", "0", "40", f"{s[3]:g}",
                    "50", f"{s[4]:g}", "51", f"{s[5]:g}"]
    out += ["0", "ENDSEC", "0", "EOF"]
    return "\r\n".join(out) + "\r\n"


def points(shapes):
    for s in shapes:
        if s[0] == "L":
            yield from [(s[1], s[2]), (s[3], s[4])]
        else:
            yield from [(s[1] - s[3], s[2] - s[3]), (s[1] + s[3], s[2] + s[3])]


class Picture:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[WHITE] * w for _ in range(h)]

    def dot(self, x, y, c=INK):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, a, b, c=INK):
        (x0, y0), (x1, y1) = a, b
        n = max(abs(round(x1) - round(x0)), abs(round(y1) - round(y0)), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def bmp(self):
        return bmp24(self.w, self.h, self.px)


def preview(shapes):
    pic = Picture(PREVIEW_W, PREVIEW_H)
    pts = list(points(shapes))
    x0, x1 = min(p[0] for p in pts), max(p[0] for p in pts)
    y0, y1 = min(p[1] for p in pts), max(p[1] for p in pts)
    k = min((PREVIEW_W - 10) / (x1 - x0), (PREVIEW_H - 10) / (y1 - y0))
    ox = (PREVIEW_W - (x1 - x0) * k) / 2
    oy = (PREVIEW_H - (y1 - y0) * k) / 2

    def at(x, y):
        return (ox + (x - x0) * k, PREVIEW_H - 1 - (oy + (y - y0) * k))

    for s in shapes:
        if s[0] == "L":
            pic.line(at(s[1], s[2]), at(s[3], s[4]))
        else:
            a0, a1 = (0, 360) if s[0] == "C" else (s[4], s[5])
            n = 36
            arc = [at(s[1] + s[3] * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
                      s[2] + s[3] * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]
            for i in range(n):
                pic.line(arc[i], arc[i + 1])
    return pic.bmp()


def frame():
    pic = Picture(PREVIEW_W + 6, PREVIEW_H + 6)
    for t in range(2):
        pic.line((t, t), (pic.w - 1 - t, t), FRAME)
        pic.line((pic.w - 1 - t, t), (pic.w - 1 - t, pic.h - 1 - t), FRAME)
        pic.line((pic.w - 1 - t, pic.h - 1 - t), (t, pic.h - 1 - t), FRAME)
        pic.line((t, pic.h - 1 - t), (t, t), FRAME)
    return pic.bmp()


def no_preview():
    pic = Picture(PREVIEW_W, PREVIEW_H)
    pic.line((30, 15), (66, 45))
    pic.line((30, 45), (66, 15))
    return pic.bmp()


def free_slot():
    pic = Picture(PREVIEW_W, PREVIEW_H)
    for x in range(10, PREVIEW_W - 10, 4):
        pic.dot(x, 10, (160, 160, 160))
        pic.dot(x, PREVIEW_H - 11, (160, 160, 160))
    for y in range(10, PREVIEW_H - 10, 4):
        pic.dot(10, y, (160, 160, 160))
        pic.dot(PREVIEW_W - 11, y, (160, 160, 160))
    return pic.bmp()


def main():
    os.makedirs(CAT, exist_ok=True)
    lines = ["[CATALOG]"]
    for group, layer, blocks in GROUPS:
        lines.append(f"#={group}")
        for slot in range(20):
            if slot < len(blocks):
                name, text, shape = blocks[slot]
                lines.append(f'{name}={layer},?,R,R,R,N,"{text}"')
                with open(os.path.join(CAT, name + ".dwg"), "w", newline="") as f:
                    f.write(dxf(shape()))
                with open(os.path.join(CAT, name + ".bmp"), "wb") as f:
                    f.write(preview(shape()))
            else:
                lines.append(f'{group}{slot}=?,?,R,R,R,N,""')
    with open(os.path.join(CAT, "catalog.ini"), "w", encoding="utf-8", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    for name, data in (("VELMatsel.bmp", frame()), ("VELMatnos.bmp", no_preview()), ("VELMatlib.bmp", free_slot())):
        with open(os.path.join(SUPPORT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()

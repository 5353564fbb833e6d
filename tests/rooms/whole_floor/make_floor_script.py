#!/usr/bin/env python3
"""Writes the script of a generated floor: a grid of COLS x ROWS rooms of
400 x 300 on the wall axes, walls 30 thick centred, drawn one wall command
each (the perimeter one closed wall, each inner horizontal axis one wall
from face to face, each partition from the face below to the face above),
then a door "P1" in the bottom wall of every room and every room labelled.

The saved drawing and the transcript of the 11 x 11 floor are kept beside
it: whatever makes the walls, doors and labels faster must leave both
byte for byte as they are.

    make_floor_script.py COLS ROWS > floor.scr
"""
import sys


def floor_script(cols, rows):
    X, Y, H = 400, 300, 15
    out = [f"; {cols} x {rows} rooms: written by make_floor_script.py"]
    out += ["VELMWALLD", "0,0", f"{cols * X},0", f"{cols * X},{rows * Y}", f"0,{rows * Y}", "Zamknij"]
    for j in range(1, rows):
        out += ["VELMWALLD", f"{H},{j * Y}", f"{cols * X - H},{j * Y}", ""]
    for j in range(rows):
        for i in range(1, cols):
            out += ["VELMWALLD", f"{i * X},{j * Y + H}", f"{i * X},{(j + 1) * Y - H}", ""]
    faces = 4 * cols * rows + 4
    out += [f"!expect count 0=LINE 8=VELM2DWALLS$0 -3=VELM5$_$DATITIPOMURO- {faces}"]
    for j in range(rows):
        for i in range(cols):
            out += ["VELMOBJECT", "P1", f"!pick {i * X + 200},{j * Y + H}", "100", ""]
    out += [f"!expect count 0=INSERT -3=VELM5$_$PARAMETRI- {cols * rows}"]
    for j in range(rows):
        for i in range(cols):
            out += ["!dialog 139 ok", "VELMSPACEUNIT"]
            if i == 0 and j == 0:
                out += [f"{cols * X + 600},{rows * Y}"]  # the card, asked once
            out += [f"{i * X + 100},{j * Y + 100}", ""]
    out += [f"!expect count 0=INSERT -3=VELM5$_$ETICHETTEVANI- {cols * rows}",
            f"!expect count 0=INSERT -3=VELM5$_$RECORDVANI- {cols * rows}"]
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    sys.stdout.write(floor_script(int(sys.argv[1]), int(sys.argv[2])))

"""Writes release5.dxf: a drawing as release 5 of the module left it, with
a setup insert whose xdata holds the settings record (the fixed part, then
print-scale, floor, layer-group and take-off sections), an old level layer
with a line on it and a pitch record with the old "3D" prefix.

    /usr/bin/python3 make_release5_dxf.py [OUT.dxf]
"""
import os
import sys

import ezdxf

INT_TEXT = {4, 5, 7, 8, 15, 21, 22, 26, 27, 44, 48, 50, 51, 80, 84, 85, 89}
TEXT = {6, 16, 23, 24, 34, 37, 53, 54, 60, 65, 66, 98, 99, 101, 102, 110}
SHORT = {13, 45, 52, 55, 58, 100, 111, 112}
POINT = {90, 97}
SPECIAL = {1: 300.0, 2: 280.0, 10: 0.01, 15: "100", 49: 90.0}


def fixed_part():
    tags = []
    for n in range(1, 113):
        if n in SPECIAL:
            v = SPECIAL[n]
            tags.append((1000, v) if isinstance(v, str) else (1040, v))
        elif n in INT_TEXT:
            tags.append((1000, str(n)))
        elif n in TEXT:
            tags.append((1000, "T%d" % n))
        elif n in SHORT:
            tags.append((1070, n))
        elif n in POINT:
            tags.append((1011, (float(n), n + 1.0, n + 2.0)))
        else:
            tags.append((1040, n + 0.5))
    return tags


def markers():
    t = [(1000, "___FFSS_INIT100")] + [(1040, float(i)) for i in range(1, 8)]
    t += [(1000, "___INIT_APIANI"), (1000, "300 320"), (1000, "600 280"), (1000, "koniec")]
    t += [(1000, "___INIT_GRGEN"), (1000, "Ściany"), (1000, "END___INIT_GRGEN")]
    t += [(1000, "___COMP_INITART2"), (1000, "A"), (1000, "B"), (1000, "C"), (1000, "END___COMP_INITART")]
    return t


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "release5.dxf")
    doc = ezdxf.new("R2013")
    msp = doc.modelspace()
    doc.appids.new("VELM5$_$SETUP-")
    doc.appids.new("VELM5$_$VFALDA-")
    doc.layers.add("VELM2DWALLS$300_5")
    msp.add_line((0, 0), (500, 0), dxfattribs={"layer": "VELM2DWALLS$300_5"})
    msp.add_line((0, 100), (500, 100), dxfattribs={"layer": "VELM2DWALLS$300_5"})
    setup = doc.blocks.new("SETUP5")
    setup.add_point((0, 0))
    insert = msp.add_blockref("SETUP5", (0, 0))
    insert.set_xdata("VELM5$_$SETUP-", fixed_part() + markers())
    pitch = msp.add_line((0, 0), (0, 500))
    pitch.set_xdata("VELM5$_$VFALDA-", [(1000, "3DTETTO"), (1040, 30.0)])
    doc.saveas(out)


if __name__ == "__main__":
    main()

"""Reads the stairs demo drawing with the independent DXF reader: one stair
with its floor distance of 320 after the edit, one slab whose second loop is
the stair's opening polygon (repeated points apart).

Usage: check_stairs_demo.py DRAWING.dxf   (exit 77 without ezdxf)"""
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(77)


def same(a, b):
    return abs(a[0] - b[0]) < 1e-6 and abs(a[1] - b[1]) < 1e-6


def distinct(points):
    out = []
    for p in points:
        if not out or not same(out[-1], p):
            out.append(p)
    if len(out) > 1 and same(out[0], out[-1]):
        out.pop()
    return out


def slab_loops(insert):
    loops, current = [], None
    for tag in insert.get_xdata("VELM5$_$VFALDA-"):
        if tag.code == 1002:
            current = [] if tag.value == "{" else None
            if current is not None:
                loops.append(current)
        elif tag.code == 1011 and current is not None:
            current.append(tag.value)
    return loops


def main():
    doc = ezdxf.readfile(sys.argv[1])
    msp = doc.modelspace()
    stairs = [e for e in msp.query("INSERT") if e.has_xdata("VELM5$_$POLIGFALDA-")]
    slabs = [e for e in msp.query("INSERT") if e.has_xdata("VELM5$_$VFALDA-")]
    errors = []
    if len(stairs) != 1:
        errors.append("stairs with an opening polygon: %d, expected 1" % len(stairs))
    if len(slabs) != 1:
        errors.append("slabs: %d, expected 1" % len(slabs))
    if not errors:
        polygon = distinct([t.value for t in stairs[0].get_xdata("VELM5$_$POLIGFALDA-") if t.code == 1011])
        loops = slab_loops(slabs[0])
        if len(loops) != 2:
            errors.append("slab loops: %d, expected 2" % len(loops))
        else:
            opening = distinct(loops[1])
            if len(opening) != len(polygon) or not all(same(a, b) for a, b in zip(opening, polygon)):
                errors.append("the slab's opening is not the stair's polygon (%d and %d points)"
                              % (len(opening), len(polygon)))
        mode = stairs[0].get_xdata("VELM6$_$MODE_SCALE-") if stairs[0].has_xdata("VELM6$_$MODE_SCALE-") else []
        if not any(t.code == 1040 and abs(t.value - 320.0) < 1e-9 for t in mode):
            errors.append("the stair's record does not hold the floor distance 320")
    for e in errors:
        print(e)
    sys.exit(1 if errors else 0)


main()

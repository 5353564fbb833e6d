"""The part of the print-scale fixture no command of the module draws yet:
hatches of roofs, slabs and a wall face with their hatch records, a symbol
insert, and two dimensions, one in the module's dimension style.

    make_rescale_base.py OUT.dxf

The fixture tests/data/rescale.dxf is this drawing with walls, a door, a
window and a labelled room added by make_rescale_fixture.scr:

    /usr/bin/python3 tests/settings/rescale/make_rescale_base.py /tmp/rescale_base.dxf
    build/app/velmhost /tmp/rescale_base.dxf --support support \\
        --script tests/settings/rescale/make_rescale_fixture.scr --save tests/data/rescale.dxf
"""
import os
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing: the fixture is not made")
    sys.exit(77)

HATCH_APP = "VELM5$_$TRATTEGGI-"
SYMBOL_APP = "VELM5$_$SIMBOLI-"


def hatch_record(kind, scale, layer, loop, flags):
    """The hatch record: kind, scale, angle, pattern, three points of the
    plane, the element layer, the shift, then the loop."""
    p1, p2, p3 = loop[0], loop[1], loop[3]
    items = [(1070, kind), (1040, scale), (1040, 0.0), (1000, "ANSI31"),
             (1011, p1), (1011, p2), (1011, p3), (1000, layer), (1040, 0.0), (1002, "{")]
    for p in loop:
        items.append((1011, p))
        if flags:
            items.append((1070, 0))
    items.append((1002, "}"))
    return items


def add_hatch(msp, kind, scale, layer, hatch_layer, loop, flags=False):
    hatch = msp.add_hatch(dxfattribs={"layer": hatch_layer})
    hatch.set_pattern_fill("ANSI31", scale=scale)
    hatch.paths.add_polyline_path([(p[0], p[1]) for p in loop], is_closed=True)
    hatch.set_xdata(HATCH_APP, hatch_record(kind, scale, layer, loop, flags))
    return hatch


def main(out):
    doc = ezdxf.new("R2013")
    msp = doc.modelspace()
    for app in (HATCH_APP, SYMBOL_APP):
        doc.appids.add(app)

    # Roof (1) and slab (2) outlines in plan, a wall face (3) upright.
    add_hatch(msp, 1, 1.0, "ROOF", "3DROOF_H",
              [(1000, 0, 0), (1200, 0, 0), (1200, 200, 0), (1000, 200, 0)])
    add_hatch(msp, 2, 1.0, "SLAB", "3DSLAB_H",
              [(1300, 0, 0), (1500, 0, 0), (1500, 200, 0), (1300, 200, 0)])
    face = [(1000, -300, 0), (1100, -300, 0), (1100, -300, 100), (1000, -300, 100)]
    wall = add_hatch(msp, 3, 1.0, "WALLFACE", "WALLFACE", face, flags=True)
    # The wall face's own picture is not read again: the record's loop is.
    wall.paths.clear()
    wall.paths.add_polyline_path([(1000, -400), (1100, -400), (1100, -300), (1000, -300)], is_closed=True)

    symbol = doc.blocks.new("NORD")
    symbol.add_circle((0, 0), 10)
    symbol.add_line((0, -10), (0, 10))
    ref = msp.add_blockref("NORD", (1700, 100), dxfattribs={"xscale": 1.0, "yscale": 1.0, "zscale": 1.0})
    ref.set_xdata(SYMBOL_APP, [(1000, "NORD")])

    doc.dimstyles.new("VELMASSOC", dxfattribs={"dimscale": 1.0, "dimtxt": 2.5, "dimasz": 2.5})
    for style, y in (("VELMASSOC", -150), ("STANDARD", -250)):
        dim = msp.add_linear_dim(base=(0, y), p1=(0, -100), p2=(600, -100), dimstyle=style,
                                 dxfattribs={"layer": "WYMIARY"})
        dim.render()
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    doc.saveas(out)


if __name__ == "__main__":
    main(sys.argv[1])

"""Writes the DXF corpus of the reader's round-trip test with ezdxf.

One drawing per format version R12 .. R2018 with every kind the library
writes for it (entities of model space, two paper-space layouts and a
block; objects; extension dictionaries), plus drawings in the 8-bit code
pages of older formats and one binary DXF. Run from anywhere:
    python3 tests/data/dxf/make_corpus.py
The files written beside this script are committed; the hand-written ones
(hand_*.dxf) are not touched.
"""
import os
import re
import sys

import ezdxf
from ezdxf.math import Vec2

HERE = os.path.dirname(os.path.abspath(__file__))
VERSIONS = ["R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"]


def common(msp, doc):
    msp.add_line((0, 0), (10, 0), dxfattribs={"layer": "ŚCIANY" if doc.dxfversion >= "AC1021" else "WALLS"})
    msp.add_circle((5, 5), 2)
    msp.add_arc((0, 0), 3, 10, 80)
    msp.add_point((1, 1))
    msp.add_solid([(0, 0), (1, 0), (0, 1)])
    msp.add_trace([(0, 0), (1, 0), (0, 1), (1, 1)])
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 1), (0, 1, 0)])
    msp.add_text("voilà", dxfattribs={"height": 2.5}).set_placement((2, 2))
    msp.add_polyline2d([(0, 0), (3, 0), (3, 3)], close=True)
    msp.add_polyline3d([(0, 0, 0), (3, 0, 1), (3, 3, 2)])
    pf = msp.add_polyface()
    pf.append_face([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)])
    blk = doc.blocks.new("DOOR")
    blk.add_line((0, 0), (1, 1))
    blk.add_attdef("TAG", (0, 0), dxfattribs={"height": 1})
    ref = msp.add_blockref("DOOR", (20, 0))
    ref.add_attrib("TAG", "D1", (20, 0))
    m = msp.add_blockref("DOOR", (30, 0), dxfattribs={"rotation": 15})
    m.grid(size=(2, 3), spacing=(4, 5))  # MINSERT
    dim = msp.add_linear_dim(base=(0, 5), p1=(0, 0), p2=(10, 0))
    dim.render()
    for e in msp.query("INSERT"):
        pass


def modern(msp, doc):
    msp.add_lwpolyline([(0, 0), (5, 0, 0.5), (5, 5)], format="xyb")
    msp.add_mtext("Akapit\\Pdrugi", dxfattribs={"char_height": 1}).set_location((0, 20))
    msp.add_ellipse((0, 0), major_axis=(4, 0), ratio=0.5)
    msp.add_spline([(0, 0), (2, 3), (5, 1), (8, 4)])
    msp.add_xline((0, 0), (1, 1))
    msp.add_ray((0, 0), (1, 0))
    msp.add_leader([(0, 0), (3, 3), (6, 3)])
    msp.add_mline([(0, 0), (10, 0), (10, 10)])
    mesh = msp.add_mesh()
    with mesh.edit_data() as d:
        d.vertices = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)]
        d.faces = [(0, 1, 2, 3)]
    msp.new_entity("TOLERANCE", dxfattribs={"dimstyle": "Standard", "content": "{\\Fgdt;j}%%v0.5"})
    msp.new_entity("HELIX", dxfattribs={"axis_base_point": (0, 0, 0), "start_point": (1, 0, 0),
                                        "axis_vector": (0, 0, 1), "radius": 1, "turns": 3,
                                        "turn_height": 1})
    msp.add_wipeout([(0, 0), (2, 0), (2, 2)])
    hatch = msp.add_hatch(color=2)
    path = hatch.paths.add_edge_path()
    path.add_line((0, 0), (10, 0))
    path.add_ellipse((10, 5), major_axis=(0, 5), ratio=0.5, start_angle=270, end_angle=450)
    path.add_spline(fit_points=[(10, 10), (5, 12), (0, 10)])
    path.add_line((0, 10), (0, 0))
    h2 = msp.add_hatch(color=3)
    h2.paths.add_polyline_path([(20, 0), (25, 0), (25, 5)], is_closed=True)
    h2.set_pattern_fill("ANSI31", scale=0.5)
    msp.add_radius_dim(center=(40, 0), radius=3, angle=45).render()
    msp.add_diameter_dim(center=(50, 0), radius=3, angle=30).render()
    msp.add_angular_dim_2l(base=(60, 5), line1=((60, 0), (65, 0)), line2=((60, 0), (63, 4))).render()
    msp.add_ordinate_x_dim(feature_location=(70, 3), offset=(2, 2)).render()
    ml = msp.add_multileader_mtext("Standard")
    ml.set_content("etykieta")
    ml.add_leader_line(ezdxf.render.mleader.ConnectionSide.left, [Vec2(80, 0)])
    ml.build(insert=Vec2(85, 5))
    msp.add_body()
    # Objects the host only keeps.
    imgdef = doc.add_image_def("zdjecie.png", size_in_pixel=(64, 48))
    msp.add_image(imgdef, insert=(0, 30), size_in_units=(6.4, 4.8))
    xr = doc.objects.add_xrecord(doc.rootdict.dxf.handle)
    xr.reset([(1, "dane"), (40, 1.5), (70, 3)])
    doc.rootdict["VELM_TEST_XRECORD"] = xr
    doc.objects.add_dictionary_var(doc.rootdict.dxf.handle, "1")
    doc.header["$USERI1"] = 7
    group = doc.groups.new("GRUPA")
    group.extend(msp.query("CIRCLE ARC"))
    # Extension dictionaries on an entity, a layer and a block reference.
    line = msp.query("LINE").first
    xd = line.new_extension_dict()
    xd.add_xrecord("NOTATKA").reset([(1, "przy linii")])
    lay = doc.layers.new("Z_SLOWNIKIEM")
    lay.new_extension_dict().add_xrecord("X").reset([(1, "warstwa")])
    msp.query("INSERT").first.new_extension_dict()
    doc.blocks.get("DOOR").block_record.new_extension_dict()


def layouts(doc):
    for name in ("Arkusz A", "Arkusz B"):
        lay = doc.layouts.new(name)
        lay.add_line((0, 0), (100, 100))
        lay.add_circle((50, 50), 10)


def make(version):
    doc = ezdxf.new(version, setup=True)
    msp = doc.modelspace()
    common(msp, doc)
    if version != "R12":
        modern(msp, doc)
    layouts(doc)
    return doc


def eight_bit(path, codec, keep_escaped):
    """The library escapes every non-ASCII letter; an older program writes
    the letters its code page has as single bytes, and escapes the rest."""
    text = open(path, encoding="cp1252").read()  # what the library wrote with
    escape = re.compile(r"\\U\+([0-9A-Fa-f]{4})")

    def letter(m):
        c = chr(int(m.group(1), 16))
        try:
            c.encode(codec)
        except UnicodeEncodeError:
            return m.group(0)
        return m.group(0) if c in keep_escaped else c

    with open(path, "wb") as f:
        f.write(escape.sub(letter, text).encode(codec))


def main():
    for v in VERSIONS:
        doc = make(v)
        doc.saveas(os.path.join(HERE, f"all_{v}.dxf"))
    # 8-bit code pages of older formats.
    for version, cp, text in (("R12", "ANSI_1252", "voilà, façade"), ("R2000", "ANSI_1250", "Łódź, żółw"),
                              ("R2004", "ANSI_1251", "Привет"), ("R2000", "ANSI_1252", "Ü+0141: Łata")):
        doc = ezdxf.new(version)
        doc.header["$DWGCODEPAGE"] = cp
        doc.layers.new("WARSTWA_Ł")  # not in 1252: written as a \U+ escape
        doc.modelspace().add_text(text, dxfattribs={"layer": "WARSTWA_Ł"})
        path = os.path.join(HERE, f"codepage_{version}_{cp}.dxf")
        doc.saveas(path)
        eight_bit(path, "cp" + cp[5:], keep_escaped="Ł" if cp == "ANSI_1252" else "")
    doc = make("R2010")
    doc.saveas(os.path.join(HERE, "binary_R2010.dxf"), fmt="bin")
    doc = make("R12")
    doc.saveas(os.path.join(HERE, "binary_R12.dxf"), fmt="bin")


if __name__ == "__main__":
    sys.exit(main())

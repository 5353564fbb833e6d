"""The drawing the dimensioning demo saved, read by an independent reader:
the file is recovered and audited without errors or fixes; the plan chain
holds three dimensions measuring 30, 370 and 30 (the two walls and the
room between them), each drawn, as a reader works it out from its
style and its own overrides, with text and arrows 2.5 mm of paper at 1:50
in centimetres (12.5), the size its own picture has; the five dimension
symbols of the room measure its
inner faces, the south face in two pieces beside the door; the two
elevation marks, on the elevation layer without a floor suffix, read 0 and
300 in the drawing's precision, inserted at the symbol scale of 1:50 in
centimetres (40 paper millimetres a unit: 4), their text 8 high.

    check_dimensions_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

SYMBOL = "VELM6$_$QUOTEINT-"
TOL = 1e-6
# 2.5 mm of paper at 1:50, in centimetres.
DIMENSION_SIZE = 12.5
MARK_SCALE = 4.0
MARK_TEXT = 12.5  # 2.5 mm on paper at 1:50, as the chains' text


def near(values, expected):
    return len(values) == len(expected) and all(abs(a - b) < TOL for a, b in zip(sorted(values), sorted(expected)))


def decimal(doc, value):
    """A length as the host writes it in decimal units: the drawing's
    precision, trailing zeros dropped when DIMZIN says so."""
    text = f"{value:.{doc.header.get('$LUPREC', 4)}f}"
    if doc.header.get("$DIMZIN", 0) & 8 and "." in text:
        text = text.rstrip("0").rstrip(".")
    return text


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path)
    msp = doc.modelspace()

    measured = [d.get_measurement() for d in msp.query("DIMENSION")]
    if not near(measured, [30.0, 370.0, 30.0]):
        problems.append(f"plan chain measures {measured}, not 30, 370, 30")

    for d in msp.query("DIMENSION"):
        style = d.override()  # the style with the dimension's own overrides
        scale = style.get("dimscale", 1.0) or 1.0
        text, arrow = style.get("dimtxt", 2.5) * scale, style.get("dimasz", 2.5) * scale
        if abs(text - DIMENSION_SIZE) > TOL or abs(arrow - DIMENSION_SIZE) > TOL:
            problems.append(f"dimension {d.get_measurement()}: text {text}, arrows {arrow}")
        drawn = [t.dxf.height for t in doc.blocks.get(d.dxf.geometry).query("TEXT")]
        if drawn != [text]:
            problems.append(f"dimension {d.get_measurement()}: its picture's text {drawn}, not {text}")

    symbols = dxfcheck.with_record(msp, SYMBOL)
    lengths = []
    for insert in symbols:
        values = [t.value for t in insert.get_xdata(SYMBOL)]
        # point, rotation, length, decimals, definition, floor elevation
        if len(values) != 6 or values[4] != "key_qd2" or abs(values[5]) > TOL:
            problems.append(f"symbol record {values}")
            continue
        lengths.append(values[2])
    # The south face runs 15..385; the door, 90 wide, stands 100 from its
    # west end.
    if not near(lengths, [370.0, 270.0, 270.0, 100.0, 180.0]):
        problems.append(f"symbols measure {sorted(lengths)}")

    marks = msp.query('INSERT[name=="VELM--AQ"]')
    texts = sorted((a.dxf.text for m in marks for a in m.attribs), key=float)
    expected = [decimal(doc, 0.0), decimal(doc, 300.0)]
    if texts != expected:
        problems.append(f"marks read {texts}, not {expected}")
    for m in marks:
        heights = [a.dxf.height for a in m.attribs]
        scaled = abs(m.dxf.xscale - MARK_SCALE) < TOL and abs(m.dxf.yscale - MARK_SCALE) < TOL
        if not scaled or not heights or any(abs(h - MARK_TEXT) > TOL for h in heights):
            problems.append(f"mark at scale {m.dxf.xscale}, {m.dxf.yscale}, text {heights}")
    layers = {m.dxf.layer for m in marks}
    if layers != {"2DELEV_DIM"}:
        problems.append(f"marks on {layers}")

    for p in problems:
        print("FAIL:", p)
    if problems:
        return 1
    print(path, "dimensions, symbols and marks as drawn")
    return 0


if __name__ == "__main__":
    sys.exit(main())

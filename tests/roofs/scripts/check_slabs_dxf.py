"""Facts of the slab demo drawing, read by an independent DXF reader.

    check_slabs_dxf.py FILE.dxf

The floor slab, the roof slab and the Z-profile carry their slab xdata
with the flag words 0, 0 and 28; the floor slab keeps its outline and two
openings; the roof slab's outline rises from z 0 at its gutter to z 120;
the roof hatch uses "VELTILE" at the roof scale stretched by the slope
(2.0 / cos 16.70 degrees). Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

APP = dxfcheck.SLAB_APP


def slab_data(insert):
    """Name, flag word and loops (lists of (x, y, z, flag)) of the slab xdata."""
    record = dxfcheck.slab_record(insert)
    return record.name, record.flag, record.loops


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path, labelled=True)
    msp = doc.modelspace()
    slabs = {}
    for insert in msp.query("INSERT"):
        if insert.has_xdata(APP):
            slabs[insert.dxf.layer] = slab_data(insert)
    expected_flags = {"FLOORSLAB": 0, "ROOFSLAB": 0, "3DSWALK": 28}
    for layer, flag in expected_flags.items():
        if layer not in slabs:
            problems.append(f"no slab on {layer}")
        elif slabs[layer][1] != flag:
            problems.append(f"{layer}: flag word {slabs[layer][1]}, expected {flag}")
    if "FLOORSLAB" in slabs and len(slabs["FLOORSLAB"][2]) != 3:
        problems.append(f"floor slab: {len(slabs['FLOORSLAB'][2])} loops, expected 3")
    if "ROOFSLAB" in slabs:
        zs = sorted(round(v[2], 6) for v in slabs["ROOFSLAB"][2][0])
        if zs != [0.0, 0.0, 120.0, 120.0]:
            problems.append(f"roof outline z {zs}, expected 0, 0, 120, 120")
    hatches = [h for h in msp.query("HATCH") if h.dxf.layer == "3DROOFSLAB_H"]
    if len(hatches) != 1:
        problems.append(f"{len(hatches)} roof hatches, expected 1")
    else:
        h = hatches[0]
        want = 2.0 / math.cos(math.atan(0.3))
        if h.dxf.pattern_name.upper() != "VELTILE":
            problems.append(f"roof hatch pattern {h.dxf.pattern_name}")
        if abs(h.dxf.pattern_scale - want) > 1e-3:
            problems.append(f"roof hatch scale {h.dxf.pattern_scale:.4f}, expected {want:.4f}")
    for p in problems:
        print(f"{path}: {p}")
    print(path, "slabs:", ", ".join(f"{k} flags {v[1]}" for k, v in sorted(slabs.items())))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

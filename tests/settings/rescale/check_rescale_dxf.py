"""The print-scale updates read back by an independent reader: the drawing
saved after rescale.scr compared with the fixture it started from.

    check_rescale_dxf.py FIXTURE.dxf SAVED.dxf

Symbols at the new symbol scale (X and Y, Z kept); the wall-face hatch made
again at the new wall scale while roof and slab hatches keep theirs; the
module's dimension with its own scale and the other without one; label and
card made anew; door and window regenerated on new blocks; no "3D*" pattern
left in the layer groups. Exit 77 when ezdxf is missing.
"""
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped")
    sys.exit(77)

HATCH_APP = "VELM5$_$TRATTEGGI-"
failures = []


def expect(cond, what):
    if not cond:
        failures.append(what)


def load(path):
    doc, auditor = recover.readfile(path)
    expect(not auditor.errors and not auditor.fixes, f"{path}: recover reports problems")
    return doc


def with_app(doc, app):
    return [e for e in doc.modelspace() if e.has_xdata(app)]


def hatch_scales(doc):
    out = {}
    for e in with_app(doc, HATCH_APP):
        tags = e.get_xdata(HATCH_APP)
        out.setdefault(tags[0].value, []).append(tags[1].value)
    return out


def own_dimscale(dim):
    if not dim.has_xdata("ACAD"):
        return None
    tags = list(dim.get_xdata("ACAD"))
    for i in range(len(tags) - 1):
        if tags[i].code == 1070 and tags[i].value == 40 and tags[i + 1].code == 1040:
            return tags[i + 1].value
    return None


def main(fixture_path, saved_path):
    before, after = load(fixture_path), load(saved_path)

    symbols = with_app(after, "VELM5$_$SIMBOLI-")
    expect(len(symbols) == 1, f"one symbol, found {len(symbols)}")
    for s in symbols:
        expect((s.dxf.xscale, s.dxf.yscale, s.dxf.zscale) == (2.0, 2.0, 1.0),
               f"symbol scales {s.dxf.xscale} {s.dxf.yscale} {s.dxf.zscale}")

    old, new = hatch_scales(before), hatch_scales(after)
    expect(new.get(3) == [0.5], f"wall hatch scales {new.get(3)}")
    for kind in (1, 2):
        expect(new.get(kind) == old.get(kind) and new.get(kind), f"kind {kind}: {old.get(kind)} -> {new.get(kind)}")

    dims = {d.dxf.dimstyle.upper(): d for d in after.modelspace().query("DIMENSION")}
    expect(set(dims) == {"VELMASSOC", "STANDARD"}, f"dimension styles {sorted(dims)}")
    if "VELMASSOC" in dims:
        # The dimension entry 2 is paper millimetres: 0.2 in centimetres.
        scale = own_dimscale(dims["VELMASSOC"])
        expect(scale is not None and abs(scale - 0.2) < 1e-9, f"own scale {scale}")
    if "STANDARD" in dims:
        expect(own_dimscale(dims["STANDARD"]) is None, "the other style's dimension got its own scale")

    for app in ("VELM5$_$ETICHETTEVANI-", "VELM5$_$TABELLEVANI-"):
        was = {e.dxf.handle for e in with_app(before, app)}
        now = {e.dxf.handle for e in with_app(after, app)}
        expect(len(was) == 1 and len(now) == 1 and not (was & now), f"{app}: {was} -> {now}")

    was = {e.dxf.name for e in with_app(before, "VELM5$_$TAG3DISTR-")}
    now = {e.dxf.name for e in with_app(after, "VELM5$_$TAG3DISTR-")}
    expect(len(was) == 2 and len(now) == 2 and not (was & now), f"door and window blocks {was} -> {now}")

    with open(saved_path, encoding="utf-8") as f:
        lines = [line.strip() for line in f]
    objects = lines[lines.index("OBJECTS"):] if "OBJECTS" in lines else []
    expect(not any(line.upper() == "3D*" for line in objects), "a 3D* pattern left in the layer groups")

    for f in failures:
        print("FAIL:", f)
    print("rescale facts:", "fail" if failures else "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))

"""Reads the handrails demo drawing with the independent DXF reader: the
drawing audits clean; two handrail INSERTs at Z 0 without xdata, each
block holding by-layer 3DFACEs on the rail layer; the balustrade's block
also holds one vertical element of four faces in each of its eight runs;
the rail of each stands above the stair it follows.

Usage: check_handrails_demo.py DRAWING.dxf   (exit 77 without ezdxf)"""
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    sys.exit(77)


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    errors = []
    if auditor.has_errors or auditor.has_fixes:
        errors.append("recover: %d errors, %d fixes" % (len(auditor.errors), len(auditor.fixes)))
    audit = doc.audit()
    if audit.has_errors or audit.has_fixes:
        errors.append("audit: %d errors, %d fixes" % (len(audit.errors), len(audit.fixes)))
    rails = [e for e in doc.modelspace().query("INSERT") if e.dxf.layer.upper() == "VELMSTAIRS$0"]
    if len(rails) != 2:
        errors.append("handrail INSERTs: %d, expected 2" % len(rails))
    for n, rail in enumerate(rails):
        if abs(rail.dxf.insert.z) > 1e-9:
            errors.append("handrail %d at z %g" % (n, rail.dxf.insert.z))
        if rail.xdata is not None and len(rail.xdata.data):
            errors.append("handrail %d carries xdata" % n)
        faces = [e for e in doc.blocks[rail.dxf.name] if e.dxftype() == "3DFACE"]
        on_rail = [f for f in faces if f.dxf.layer == "3DSTAIRS_HR"]
        if not on_rail:
            errors.append("handrail %d: no faces on 3DSTAIRS_HR" % n)
        if any(f.dxf.color != 256 for f in faces):
            errors.append("handrail %d: faces not by layer" % n)
        posts = [f for f in faces if f.dxf.layer == "3DSTAIRS_RL"]
        expected = 32 if n == 1 else 0
        if len(posts) != expected:
            errors.append("handrail %d: %d faces on 3DSTAIRS_RL, expected %d" % (n, len(posts), expected))
        # The rail's top stands the rail height above the treads it follows.
        top = max(max(v.z for v in f.wcs_vertices()) for f in on_rail) if on_rail else 0.0
        if top < 90.0:
            errors.append("handrail %d: top at %g, below the rail height" % (n, top))
    for e in errors:
        print(e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())

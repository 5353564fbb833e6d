"""The drafting script's drawing read by the independent reader.

    check_drafting_commands.py FILE.dxf

The file survives recovery and audit without an error or a fix. The IP1
symbol is one INSERT at z 300 with its three attributes and its symbol
record; the overlapping wall lines at y 0 are one line from 0 to 150; the
line drawn at 305 lies at 300; the walls at x 0 and 30 are cut at y 250;
the line at x 1000 is on "NOWA", colour 3, linetype "DASHED", which the
LTYPE table holds. Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    import ezdxf  # noqa: F401
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)

WALLS = "VELM2DWALLS$300"


def fail(message):
    print(message)
    sys.exit(1)


def near(a, b):
    return abs(a - b) < 1e-6


def main(path):
    doc, auditor = recover.readfile(path)
    if auditor.has_errors or auditor.has_fixes:
        fail(f"audit: {len(auditor.errors)} errors, {len(auditor.fixes)} fixes")
    msp = doc.modelspace()

    inserts = [e for e in msp.query("INSERT") if e.dxf.name.upper().startswith("IP1")]
    if len(inserts) != 1:
        fail(f"IP1 inserts: {len(inserts)}")
    ip1 = inserts[0]
    if not near(ip1.dxf.insert.z, 300):
        fail(f"IP1 at z {ip1.dxf.insert.z}")
    if len(list(ip1.attribs)) != 3:
        fail(f"IP1 attributes: {len(list(ip1.attribs))}")
    if not ip1.has_xdata("VELM5$_$SIMBOLI-"):
        fail("IP1 without its symbol record")

    walls = [e for e in msp.query("LINE") if e.dxf.layer == WALLS]

    def spans(horizontal, at):
        out = []
        for line in walls:
            s, e = line.dxf.start, line.dxf.end
            if horizontal and near(s.y, at) and near(e.y, at):
                out.append(tuple(sorted((round(s.x, 6), round(e.x, 6)))))
            if not horizontal and near(s.x, at) and near(e.x, at):
                out.append(tuple(sorted((round(s.y, 6), round(e.y, 6)))))
        return sorted(out)

    if spans(True, 0) != [(0, 150)]:
        fail(f"wall lines at y 0: {spans(True, 0)}")
    lifted = [line for line in walls if near(line.dxf.start.y, 100)]
    if len(lifted) != 1 or not near(lifted[0].dxf.start.z, 300) or not near(lifted[0].dxf.end.z, 300):
        fail("the line drawn at 305 is not at 300")
    for x in (0, 30):
        if spans(False, x) != [(200, 250), (250, 300)]:
            fail(f"wall at x {x}: {spans(False, x)}")

    changed = [e for e in msp.query("LINE") if near(e.dxf.start.x, 1000)]
    if len(changed) != 1:
        fail(f"lines at x 1000: {len(changed)}")
    line = changed[0]
    if line.dxf.layer != "NOWA" or line.dxf.color != 3 or line.dxf.linetype.upper() != "DASHED":
        fail(f"line at x 1000: {line.dxf.layer} {line.dxf.color} {line.dxf.linetype}")
    if "DASHED" not in [lt.dxf.name.upper() for lt in doc.linetypes]:
        fail("DASHED missing from the LTYPE table")
    print("drafting drawing: all facts hold")


if __name__ == "__main__":
    main(sys.argv[1])

"""Wall clean-up, the structural grid and an opening by script end to end:
facts of the drawing saved by drafting.scr, read by the independent reader.

    check_drafting.py FILE.dxf

The L, T and X junctions are cut as their walls meet (the X in eight
pieces), the collinear faces are one line, the open wall is closed at its
right end, every wall line keeps its wall-type record, the grid's layer is
locked and its labels carry their texts as attributes, and the opening is
an object of the written definition whose wall's faces are cut at its gap.
Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    import ezdxf  # noqa: F401
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)

WALLS = "VELM2DWALLS$0"
GRID = "VELM2DMESH$0"


def near(a, b):
    return abs(a - b) < 1e-6


def spans(lines, horizontal, c):
    a, b = (1, 0) if horizontal else (0, 1)
    out = []
    for line in lines:
        s, e = line.dxf.start, line.dxf.end
        if near(s[a], c) and near(e[a], c):
            out.append(tuple(sorted((round(s[b], 6), round(e[b], 6)))))
    return sorted(out)


def within(found, low, high):
    """The spans lying between low and high along their axis."""
    return [s for s in found if s[0] >= low - 1e-6 and s[1] <= high + 1e-6]


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [f"recover: {e.message}" for e in auditor.errors + auditor.fixes]
    audit = doc.audit()
    problems += [f"audit: {e.message}" for e in audit.errors + audit.fixes]
    msp = doc.modelspace()
    lines = [e for e in msp.query("LINE") if e.dxf.layer == WALLS]
    for line in lines:
        if not line.has_xdata("VELM5$_$DATITIPOMURO-"):
            problems.append(f"wall line {line.dxf.start} {line.dxf.end} lost its wall type")

    def expect(what, found, wanted):
        if found != wanted:
            problems.append(f"{what}: {found}, expected {wanted}")

    # The L: outer faces to the outer corner, inner faces to their crossing.
    expect("L outer face y -15", within(spans(lines, True, -15), -100, 400), [(0.0, 315.0)])
    expect("L inner face y 15", within(spans(lines, True, 15), -100, 400), [(0.0, 285.0)])
    expect("L outer face x 315", within(spans(lines, False, 315), -100, 400), [(-15.0, 300.0)])
    expect("L inner face x 285", within(spans(lines, False, 285), -100, 400), [(15.0, 300.0)])
    # The T: the branch stops on the near face, which is opened between.
    expect("T near face y 15", within(spans(lines, True, 15), 500, 1100), [(600.0, 785.0), (815.0, 1000.0)])
    expect("T far face y -15", within(spans(lines, True, -15), 500, 1100), [(600.0, 1000.0)])
    for x in (785, 815):
        expect(f"T branch face x {x}", spans(lines, False, x), [(15.0, 300.0)])
    # The X: eight pieces, the crossing square left open.
    pieces = 0
    for y in (-15, 15):
        found = within(spans(lines, True, y), 1100, 1700)
        expect(f"X face y {y}", found, [(1200.0, 1385.0), (1415.0, 1600.0)])
        pieces += len(found)
    for x in (1385, 1415):
        found = spans(lines, False, x)
        expect(f"X face x {x}", found, [(-200.0, -15.0), (15.0, 200.0)])
        pieces += len(found)
    if pieces != 8:
        problems.append(f"the X is in {pieces} pieces, expected 8")
    # The collinear walls' lower faces joined into one line.
    expect("joined face y 985", spans(lines, True, 985), [(0.0, 500.0)])
    # The open wall closed at its right end.
    expect("closing line x 200", within(spans(lines, False, 200), 1300, 1500), [(1385.0, 1415.0)])

    layer = doc.layers.get(GRID) if GRID in doc.layers else None
    if layer is None or not layer.is_locked():
        problems.append(f"{GRID} is not locked")
    labels = [e for e in msp.query("INSERT") if not e.has_xdata("VELM5$_$PARAMETRI-")]
    if len(labels) != 16:
        problems.append(f"{len(labels)} grid labels, expected 16")
    texts = sorted(a.dxf.text for i in labels for a in i.attribs)
    if texts != sorted(list("ABCDEFGH") + [str(n) for n in range(1, 9)]):
        problems.append(f"grid label texts {texts}")

    openings = []
    for insert in msp.query("INSERT"):
        if not insert.has_xdata("VELM5$_$PARAMETRI-"):
            continue
        values = [v for _, v in insert.get_xdata("VELM5$_$PARAMETRI-")]
        if "$$TEMP$$__$$" in [str(v) for v in values]:
            openings.append(insert)
    if len(openings) != 1:
        problems.append(f"{len(openings)} openings of the written definition, expected 1")
    # The long wall's faces are cut at the opening's gap, 100 wide.
    for y in (1985, 2015):
        found = spans(lines, True, y)
        if len(found) != 2 or not near(found[1][0] - found[0][1], 100.0):
            problems.append(f"wall face y {y}: {found}, expected two pieces 100 apart")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

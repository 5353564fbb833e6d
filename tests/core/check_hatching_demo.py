"""The hatching demo's drawing read by the independent reader.

    check_hatching_demo.py FILE.dxf

The file survives recovery and audit without a fix. The room's floor hatch
has two loops, the room's inner outline 370 x 270 and the stair's island,
and its area is the room's less the island's. The wall hatches are
inserts on "VELM3DWALLS_H$0", one for the straight face and one for each
facet of the curved face, each with its record of kind 3, the facets'
pattern shifts adding up their chords. The free hatch
on "HATCH3D" has no record and an area of 100 x 100.
Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    import ezdxf  # noqa: F401
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)

HATCH_APP = "VELM5$_$TRATTEGGI-"
ISLAND_APP = "VELM5$_$ISOLTRATT-"


def ring_area(points):
    area = 0.0
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        area += x1 * y2 - x2 * y1
    return abs(area) / 2.0


def loop_points(path):
    if hasattr(path, "vertices"):
        return [(v[0], v[1]) for v in path.vertices]
    return [(e.start[0], e.start[1]) for e in path.edges]


def hatch_area(hatch):
    rings = [loop_points(p) for p in hatch.paths]
    outer = max(rings, key=ring_area)
    return ring_area(outer) - sum(ring_area(r) for r in rings if r is not outer)


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [f"recover: {e.message}" for e in auditor.errors + auditor.fixes]
    audit = doc.audit()
    problems += [f"audit: {e.message}" for e in audit.errors + audit.fixes]
    msp = doc.modelspace()

    floors = [h for h in msp.query("HATCH") if h.dxf.layer == "VELMHATCHFLOOR$0"]
    islands = [e for e in msp.query("INSERT") if e.has_xdata(ISLAND_APP)]
    if len(floors) != 1 or len(islands) != 1:
        problems.append(f"{len(floors)} floor hatches and {len(islands)} islands, expected one of each")
    else:
        island = [(t.value[0], t.value[1]) for t in islands[0].get_xdata(ISLAND_APP) if t.code == 1011]
        floor = floors[0]
        if len(floor.paths) != 2:
            problems.append(f"floor hatch with {len(floor.paths)} loops, expected 2")
        expected = 370.0 * 270.0 - ring_area(island)
        if abs(hatch_area(floor) - expected) > 1e-3:
            problems.append(f"floor hatch area {hatch_area(floor):.3f}, expected {expected:.3f}")

    walls = [e for e in msp.query("INSERT") if e.dxf.layer == "VELM3DWALLS_H$0"]
    kinds = [[t.value for t in e.get_xdata(HATCH_APP)][:1] for e in walls if e.has_xdata(HATCH_APP)]
    if len(kinds) != len(walls) or any(k != [3] for k in kinds):
        problems.append("a wall hatch insert without its record of kind 3")
    flat = [e for e in walls if len({round(p.value[1], 6) for p in e.get_xdata(HATCH_APP) if p.code == 1011}) == 1]
    if len(flat) != 1:
        problems.append(f"{len(flat)} wall hatches in one vertical plane y = const, expected the straight face")
    if len(walls) < 3:
        problems.append(f"{len(walls)} wall hatch inserts, expected the straight face and the arc's facets")
    # The pattern runs on across the facets: each facet's shift is the sum
    # of the chords before it.
    facets = []
    for e in walls:
        if e in flat:
            continue
        tags = list(e.get_xdata(HATCH_APP))
        points = [t.value for t in tags if t.code == 1011][3:]
        shift = [t.value for t in tags if t.code == 1040][-1]
        facets.append((shift, ((points[1][0] - points[0][0]) ** 2 + (points[1][1] - points[0][1]) ** 2) ** 0.5))
    facets.sort()
    if facets and abs(facets[0][0]) > 1e-9:
        problems.append(f"the first facet's pattern shift is {facets[0][0]}, expected 0")
    for (shift, chord), (following, _) in zip(facets, facets[1:]):
        if abs(shift + chord - following) > 1e-6:
            problems.append(f"facet shifts {shift} then {following}: the chord {chord} is not added")
            break

    free = [h for h in msp.query("HATCH") if h.dxf.layer == "HATCH3D"]
    if len(free) != 1:
        problems.append(f"{len(free)} free hatches, expected 1")
    elif free[0].has_xdata(HATCH_APP):
        problems.append("the free hatch carries a hatch record")
    else:
        ocs = free[0].ocs()
        rings = [[ocs.to_wcs((x, y, 0)) for x, y in loop_points(p)] for p in free[0].paths]
        plane = [[(p[0], p[2]) for p in r] for r in rings]
        area = ring_area(plane[0]) if plane else 0.0
        if abs(area - 10000.0) > 1e-3:
            problems.append(f"free hatch area {area:.3f}, expected 10000")
    for p in problems:
        print(p)
    print(f"{len(walls)} wall hatch inserts")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

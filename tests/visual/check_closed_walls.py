"""The walls of a saved drawing as closed solids, read by an independent
reader: for each floor, the 3DFACEs on its 3D wall layers together with the
faces the objects set into the walls draw on their opening layers (their
reveals) must close: cut at the corners of other faces lying on them, the
pieces of every face edge are edges of an even number of faces. Door
leaves and panes are sheets of their own and are not counted.

    check_closed_walls.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import bisect
import math
import os
import sys
from collections import defaultdict

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402

TOL = 1e-3


def level(layer):
    return layer.rsplit("$", 1)[1] if "$" in layer else ""


def faces_of(msp):
    """(layer, floor, corners) of every 3DFACE, inserts expanded: a face in
    an object's block belongs to the floor of the object's own layer."""
    out = []

    def visit(entity, outer_layer, floor, depth):
        layer = entity.dxf.layer
        if layer == "0" and outer_layer:
            layer = outer_layer
        if entity.dxftype() == "3DFACE":
            out.append((layer, floor, [tuple(v) for v in entity.wcs_vertices()]))
        elif entity.dxftype() == "INSERT" and depth < 16:
            for child in entity.virtual_entities():
                visit(child, layer, floor, depth + 1)

    for e in msp:
        visit(e, "", level(e.dxf.layer), 0)
    return out


def open_edges(quads):
    verts, grid = [], defaultdict(list)

    def vid(p):
        key = tuple(math.floor(c / (2 * TOL)) for c in p)
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                for dz in (-1, 0, 1):
                    for v in grid[(key[0] + dx, key[1] + dy, key[2] + dz)]:
                        if math.dist(verts[v], p) <= TOL:
                            return v
        verts.append(p)
        grid[key].append(len(verts) - 1)
        return len(verts) - 1

    edges = []
    for q in quads:
        ring = []
        for p in q:
            v = vid(p)
            if v not in ring:
                ring.append(v)
        if len(ring) >= 3:
            edges += [(ring[i], ring[(i + 1) % len(ring)]) for i in range(len(ring))]
    order = sorted(range(len(verts)), key=lambda v: verts[v][0])
    xs = [verts[v][0] for v in order]
    cover = defaultdict(int)
    for a, b in edges:
        pa, pb = verts[a], verts[b]
        length = math.dist(pa, pb)
        u = [(pb[i] - pa[i]) / length for i in range(3)]
        cuts = [(0.0, a), (length, b)]
        lo = bisect.bisect_left(xs, min(pa[0], pb[0]) - TOL)
        hi = bisect.bisect_right(xs, max(pa[0], pb[0]) + TOL)
        for v in order[lo:hi]:
            if v in (a, b):
                continue
            p = verts[v]
            t = sum((p[i] - pa[i]) * u[i] for i in range(3))
            if t <= TOL or t >= length - TOL:
                continue
            if math.dist([pa[i] + t * u[i] for i in range(3)], p) <= TOL:
                cuts.append((t, v))
        cuts.sort()
        for (_, v), (_, w) in zip(cuts, cuts[1:]):
            if v != w:
                cover[(min(v, w), max(v, w))] += 1
    return [(verts[v], verts[w], n) for (v, w), n in cover.items() if n % 2]


def main():
    doc, problems = dxfcheck.read(sys.argv[1])
    floors = defaultdict(list)
    for layer, floor, corners in faces_of(doc.modelspace()):
        name = layer.upper()
        if "3DWALLS" in name or "3DOPENINGS" in name:
            floors[floor].append(corners)
    if not floors:
        problems.append("no wall faces")
    for floor in sorted(floors):
        bad = open_edges(floors[floor])
        if bad:
            problems.append(f"floor {floor or '(no level)'}: {len(bad)} open edge pieces, e.g. "
                            + "; ".join(f"{tuple(round(c, 2) for c in a)}-{tuple(round(c, 2) for c in b)} x{n}"
                                        for a, b, n in bad[:6]))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

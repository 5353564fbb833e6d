"""What the checkers of saved views share: the view record of an INSERT
read from its xdata, the lines and hatches of a view placed in the world
(the block's contents through its INSERT, or loose in model space), the
upright cut lines gathered by their x, and a view's lines as a comparable
set.

Imported where ezdxf is not installed, it ends the checker with exit 77
(through dxfcheck).
"""
import math
import os
import sys
from collections import namedtuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402,F401  (exit 77 without ezdxf)

VIEW_APP = "VELMP$_$VISTASEZ-"
MARKS_APP = "VELMP$_$PUNTIQUOTE-"
SECTION = "VELMSECTION"
CUT = "VELMSECTION_SEC"
HATCH = "VELMSECTION_H"
SHADE_HATCH = "2DSHADE_H"
SHADE_LINE = "2DSHADE_L"
TOL = 1e-6

ViewRecord = namedtuple("ViewRecord", "kind rows translation hidden display depth depth_point")


def view_record(insert):
    """The view record of an INSERT, or None: the kind, the frame's three
    rows and translation, the hidden-line flag, then the display frame
    (rows and translation) and the depth and depth point as the kind asks."""
    if not insert.has_xdata(VIEW_APP):
        return None
    tags = list(insert.get_xdata(VIEW_APP))
    ints = [v for c, v in tags if c == 1070]
    points = [tuple(v) for c, v in tags if c == 1010]
    reals = [v for c, v in tags if c == 1040]
    kind = ints[0] if ints else None
    hidden = ints[1] if len(ints) > 1 else None
    display = (points[4:7], points[7]) if kind is not None and kind & 1 and len(points) >= 8 else None
    depth = reals[0] if reals else None
    depth_point = points[-1] if kind is not None and kind & 2 and len(points) > 4 else None
    return ViewRecord(kind, points[:3], points[3] if len(points) > 3 else None, hidden, display, depth,
                      depth_point)


def views(msp):
    """The INSERTs of views (on layer "0", of an anonymous block) in model
    space, each with its record or None."""
    return [(e, view_record(e)) for e in msp.query("INSERT")
            if e.dxf.name.upper().startswith("*U") and e.dxf.layer == "0"]


def placed(insert):
    """A function placing block coordinates in the world through the
    INSERT (no rotation, as the view commands make them)."""
    block = insert.doc.blocks.get(insert.dxf.name)
    base = block.block.dxf.base_point
    ins = insert.dxf.insert
    sx, sy = insert.dxf.xscale, insert.dxf.yscale
    return lambda p: (ins.x + (p[0] - base.x) * sx, ins.y + (p[1] - base.y) * sy)


def entities(insert):
    """The block's entities of an INSERT."""
    return list(insert.doc.blocks.get(insert.dxf.name))


def lines(source, layers=(SECTION, CUT), place=None):
    """(layer, (x1, y1), (x2, y2)) of the LINEs on the layers, placed."""
    place = place or (lambda p: (p[0], p[1]))
    out = []
    for e in source:
        if e.dxftype() == "LINE" and e.dxf.layer in layers:
            out.append((e.dxf.layer, place(e.dxf.start), place(e.dxf.end)))
    return out


def view_lines(insert, layers=(SECTION, CUT)):
    return lines(entities(insert), layers, placed(insert))


def box(segments):
    xs = [p[0] for _, a, b in segments for p in (a, b)]
    ys = [p[1] for _, a, b in segments for p in (a, b)]
    return min(xs), min(ys), max(xs), max(ys)


def upright_cuts(segments, tol=0.01):
    """The distinct x of the upright lines on the cut layer, each with the
    lowest and highest y its lines reach together."""
    out = []
    for layer, a, b in segments:
        if layer != CUT or abs(a[0] - b[0]) > tol or abs(a[1] - b[1]) < tol:
            continue
        for u in out:
            if abs(u[0] - a[0]) <= tol:
                u[1], u[2] = min(u[1], a[1], b[1]), max(u[2], a[1], b[1])
                break
        else:
            out.append([a[0], min(a[1], b[1]), max(a[1], b[1])])
    return sorted(out)


def wall_pairs(cuts, height, thickness, tol=0.01):
    """The upright cuts at least the storey high, paired by the wall
    thickness: the x of each pair's west face."""
    tall = [u[0] for u in cuts if u[2] - u[1] >= height - tol]
    pairs, used = [], set()
    for i, x in enumerate(tall):
        if i in used:
            continue
        for j in range(i + 1, len(tall)):
            if j not in used and abs(tall[j] - x - thickness) <= tol:
                pairs.append(x)
                used.update((i, j))
                break
    return pairs, tall


def hatch_rings(source, layer, place=None):
    """(hatch, [(x, y)…]) of the HATCHes on the layer: the points of their
    outer loop, placed."""
    place = place or (lambda p: (p[0], p[1]))
    out = []
    for e in source:
        if e.dxftype() != "HATCH" or e.dxf.layer != layer:
            continue
        ring = []
        for path in e.paths:
            if hasattr(path, "vertices"):
                ring += [place(v) for v in path.vertices]
            else:
                for edge in path.edges:
                    ring.append(place(edge.start))
        out.append((e, ring))
    return out


def length(segments):
    return sum(math.hypot(b[0] - a[0], b[1] - a[1]) for _, a, b in segments)


def unmatched(first, second, shift=(0.0, 0.0), tol=0.01):
    """The segments of first (moved by shift) that no segment of second on
    the same layer matches end for end, either way round, within tol."""
    left = list(second)
    out = []
    for layer, a, b in first:
        a = (a[0] + shift[0], a[1] + shift[1])
        b = (b[0] + shift[0], b[1] + shift[1])
        for k, (layer2, c, d) in enumerate(left):
            if layer2 == layer and ((near(a, c, tol) and near(b, d, tol)) or (near(a, d, tol) and near(b, c, tol))):
                del left[k]
                break
        else:
            out.append((layer, a, b))
    return out


def near(a, b, tol=TOL):
    return all(abs(x - y) <= tol for x, y in zip(a, b))

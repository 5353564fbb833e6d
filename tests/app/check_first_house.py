"""Facts of the walkthrough's house, read from its saved drawing by an
independent reader: the drawing is recovered and audited without errors or
fixes; the walls in 3D stand from the floor to the floor's height set first
(300, not the new drawing's 1); the stair climbs 300 in 16 risers of 18.75
(its 420-long flight of 28 treads) to the floor above, and its opening is
cut into the slab; the slab fills 275 to 300, the ceiling of the ground
floor; the roof's four pitches rise at 40 % from the gutter at 280, so
their underside meets the walls' outer faces at the walls' top, 300; the
four openings; the plan chains measure the walls they cross, with text and
arrows 2.5 mm of paper at 1:50 in centimetres (12.5) as every reader
derives them; the room dimension symbols measure the rooms' inner faces in
pieces beside the openings; the section and the elevation are there, every
hatch of the drawing with its pattern's lines; every piece of the cut of
each wall, the slab, the stair and the roof's pitches in the section along
the ridge lies under the section hatch; a camera and a light.

    check_first_house.py FILE.dxf        exit 77 when ezdxf is missing
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402

TOL = 1e-6
STAIR_APP = "VELM6$_$MODE_SCALE-"
OPENING_APP = "VELM5$_$POLIGFALDA-"
SYMBOL_APP = "VELM6$_$QUOTEINT-"
VIEW_APP = "VELMP$_$VISTASEZ-"
PARAM_APP = "VELM5$_$PARAMETRI-"

doc, problems = dxfcheck.read(sys.argv[1], labelled=True)
msp = doc.modelspace()


def near(a, b, tol=TOL):
    return abs(a - b) < tol


def same(values, expected, tol=TOL):
    return len(values) == len(expected) and all(near(a, b, tol) for a, b in zip(sorted(values), sorted(expected)))


def face_points(insert):
    """The 3DFACE corners an INSERT shows, through its nested blocks (the
    blocks are placed by their insertion points only)."""
    points = []

    def walk(name, dx, dy, dz):
        for e in doc.blocks[name]:
            if e.dxftype() == "3DFACE":
                points.extend((v.x + dx, v.y + dy, v.z + dz) for v in (e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3))
            elif e.dxftype() == "INSERT":
                at = e.dxf.insert
                walk(e.dxf.name, dx + at.x, dy + at.y, dz + at.z)

    at = insert.dxf.insert
    walk(insert.dxf.name, at.x, at.y, at.z)
    return points


def inserts(layer):
    return msp.query('INSERT[layer=="%s"]' % layer)


faces = msp.query('3DFACE[layer=="VELM3DWALLS$0"]')
if len(faces) == 0:
    problems.append("no 3D wall faces")
else:
    zs = [v.z for f in faces for v in (f.dxf.vtx0, f.dxf.vtx1, f.dxf.vtx2, f.dxf.vtx3)]
    if abs(min(zs)) > TOL or abs(max(zs) - 300.0) > TOL:
        problems.append("3D walls from z %g to %g, expected 0 to 300" % (min(zs), max(zs)))

for layer, n in (("FLOORSLAB", 1), ("ROOFSLAB", 4), ("STAIRS", 1)):
    if len(inserts(layer)) != n:
        problems.append("%d inserts on %s, expected %d" % (len(inserts(layer)), layer, n))
openings = dxfcheck.with_record(msp, "VELM6$_$ABINFISSI_OBJ-")
if len(openings) != 4:
    problems.append("%d scheduled openings, expected 4 (two doors, two windows)" % len(openings))

# The stair: 38 values, then the risers, the first side and the second side.
for stair in inserts("STAIRS")[:1]:
    record = stair.get_xdata(STAIR_APP)
    values = [v for c, v in record if c in (1040, 1070, 1000)][:38]
    floors, start, end = values[3], values[13], values[14]
    groups, count = [], None
    for code, value in record:
        if code == 1002:
            if value == "{":
                count = 0
            else:
                groups.append(count // 4)
                count = None
        elif count is not None:
            count += 1
    risers = groups[0] if groups else 0
    if risers != 16 or not near(floors, 300.0) or not near(start, 0.0) or not near(end, 300.0):
        problems.append("stair of %d risers over %g from %g to %g, expected 16 over 300 from 0 to 300"
                        % (risers, floors, start, end))
    treads = sorted({round(p[2], 6) for p in face_points(stair)})
    # Each tread's top at a multiple of 18.75; the last one, 281.25, a riser below the floor above.
    tops = [z for z in treads if near(z / 18.75, round(z / 18.75), 1e-9) and z > 0]
    if not tops or not near(max(tops), 281.25) or len(tops) != 15:
        problems.append("stair treads at %s, expected 15 tops 18.75 apart up to 281.25" % tops)
    if not stair.has_xdata(OPENING_APP):
        problems.append("the stair carries no opening")
    opening = [tuple(v)[:2] for c, v in stair.get_xdata(OPENING_APP) if c == 1011] if stair.has_xdata(OPENING_APP) else []

# The slab over the ground floor: 275 to 300, its outline and the stair's opening.
for slab in inserts("FLOORSLAB")[:1]:
    zs = [p[2] for p in face_points(slab)]
    if not zs or not near(min(zs), 275.0) or not near(max(zs), 300.0):
        problems.append("floor slab from %s to %s, expected 275 to 300" % (min(zs, default=None), max(zs, default=None)))
    loops = dxfcheck.slab_record(slab).loops
    if len(loops) != 2:
        problems.append("floor slab of %d loops, expected the outline and the stair's opening" % len(loops))
    else:
        # The stair's polygon repeats the vertex each riser's edge ends at.
        hole = sorted({(round(x, 6), round(y, 6)) for x, y, z, flag in loops[1]})
        if hole != sorted({(round(x, 6), round(y, 6)) for x, y in opening}):
            problems.append("the slab's opening %s is not the stair's %s" % (hole, opening))
        xs, ys = [p[0] for p in hole], [p[1] for p in hole]
        if not (near(min(xs), 870.0) and near(max(xs), 970.0) and min(ys) > 150.0 and near(max(ys), 570.0)):
            problems.append("the slab's opening spans x %g..%g, y %g..%g" % (min(xs), max(xs), min(ys), max(ys)))

# The roof: each pitch's underside rises at 40 % from its gutter, 50 out
# from the walls at 280, so it meets the walls' outer faces at their top.
roof = [p for r in inserts("ROOFSLAB") for p in face_points(r)]
if not roof or not near(min(p[2] for p in roof), 280.0):
    problems.append("the roof's lowest point at %s, expected the gutter at 280" % min((p[2] for p in roof), default=None))
for r in inserts("ROOFSLAB"):
    for x, y, z, flag in (v for loop in dxfcheck.slab_record(r).loops for v in loop):
        inward = min(x + 50.0, 1050.0 - x, y + 50.0, 850.0 - y)
        if not near(z, 280.0 + 0.4 * inward, 1e-6):
            problems.append("roof vertex (%g, %g) at %g, expected %g" % (x, y, z, 280.0 + 0.4 * inward))
            break

# Dimension chains: the walls on y = 400 and on x = 300.
dimensions = msp.query("DIMENSION")
measured = [d.get_measurement() for d in dimensions]
if not same(measured, [30.0, 564.0, 12.0, 364.0, 30.0, 30.0, 740.0, 30.0]):
    problems.append("the chains measure %s" % sorted(measured))
for d in dimensions:
    style = d.override()
    scale = style.get("dimscale", 1.0) or 1.0
    text, arrow = style.get("dimtxt", 2.5) * scale, style.get("dimasz", 2.5) * scale
    if not near(text, 12.5) or not near(arrow, 12.5):
        problems.append("dimension %g: text %g, arrows %g, expected 12.5" % (d.get_measurement(), text, arrow))

# The chains' values stay clear of the marks the openings draw beside the
# walls: text boxes (a character about 0.8 of the text's height wide,
# centred on the text's point) must not meet.


def text_box(center, text, height, angle):
    import math
    half_w, half_h = 0.4 * height * len(text), 0.5 * height
    c, s = abs(math.cos(math.radians(angle))), abs(math.sin(math.radians(angle)))
    w, h = half_w * c + half_h * s, half_w * s + half_h * c
    return (center[0] - w, center[1] - h, center[0] + w, center[1] + h)


def mark_boxes():
    import math
    for opening in inserts("VELM2DOPENINGS_W$0"):
        at, turn = opening.dxf.insert, math.radians(opening.dxf.rotation)
        for t in doc.blocks[opening.dxf.name].query("TEXT"):
            p = t.dxf.align_point if (t.dxf.halign or t.dxf.valign) else t.dxf.insert
            x = at.x + p.x * math.cos(turn) - p.y * math.sin(turn)
            y = at.y + p.x * math.sin(turn) + p.y * math.cos(turn)
            yield t.dxf.text, text_box((x, y), t.dxf.text, t.dxf.height, t.dxf.rotation + opening.dxf.rotation)


marks = list(mark_boxes())
if len(marks) < 8:
    problems.append("%d texts of opening marks, expected a mark and a size for each of the four" % len(marks))
for d in dimensions:
    value = "%g" % round(d.get_measurement(), 6)
    chain = text_box(d.dxf.text_midpoint, value, 12.5, d.dxf.get("angle", 0.0))
    for text, box in marks:
        if chain[0] < box[2] and box[0] < chain[2] and chain[1] < box[3] and box[1] < chain[3]:
            problems.append("the chain's value %s covers the mark text %s" % (value, text))

# Room dimension symbols: each room's inner faces, in pieces beside the openings.
lengths = [[v for c, v in s.get_xdata(SYMBOL_APP)][2] for s in dxfcheck.with_record(msp, SYMBOL_APP)]
if not same(lengths, [740.0, 100.0, 364.0, 550.0, 100.0, 100.0, 314.0,
                      550.0, 100.0, 364.0, 740.0, 100.0, 174.0]):
    problems.append("room dimension symbols measure %s" % sorted(lengths))

# The section and the elevation; every hatch with its pattern's lines.
views = dxfcheck.with_record(msp, VIEW_APP)
if len(views) != 2:
    problems.append("%d views, expected a section and an elevation" % len(views))
for block in doc.blocks:
    for h in block.query("HATCH"):
        if not h.dxf.solid_fill and (h.pattern is None or not h.pattern.lines):
            problems.append("hatch %s on %s without its pattern's lines" % (h.dxf.pattern_name, h.dxf.layer))


def face_quads(insert):
    """The 3DFACEs an INSERT shows, each four corners, through its nested
    blocks (placed by their insertion points only)."""
    quads = []

    def walk(name, dx, dy, dz):
        for e in doc.blocks[name]:
            if e.dxftype() == "3DFACE":
                quads.append([(v.x + dx, v.y + dy, v.z + dz) for v in (e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3)])
            elif e.dxftype() == "INSERT":
                at = e.dxf.insert
                walk(e.dxf.name, dx + at.x, dy + at.y, dz + at.z)

    at = insert.dxf.insert
    walk(insert.dxf.name, at.x, at.y, at.z)
    return quads


def cut_segments(quads, y):
    """Where the faces cross the plane at y, as (x1, z1, x2, z2)."""
    out = []
    for quad in quads:
        corners = quad[:3] if quad[3] == quad[0] or quad[3] == quad[2] else quad
        on = []
        for a, b in zip(corners, corners[1:] + corners[:1]):
            if (a[1] - y) * (b[1] - y) < 0:
                s = (y - a[1]) / (b[1] - a[1])
                on.append((a[0] + s * (b[0] - a[0]), a[2] + s * (b[2] - a[2])))
        if len(on) == 2:
            out.append((on[0][0], on[0][1], on[1][0], on[1][1]))
    return out


def cut_pieces(segments, step=2.0, margin=0.5):
    """The pieces of a solid's cut: groups of grid points inside the cut
    (a row's crossings taken in pairs), farther than margin from its
    edges along the row, joined where they neighbour on the grid."""
    if not segments:
        return []
    x0 = min(min(s[0], s[2]) for s in segments)
    z0, z1 = min(min(s[1], s[3]) for s in segments), max(max(s[1], s[3]) for s in segments)
    inside = set()
    row = 0
    while z0 + 0.31 + row * step < z1:
        z = z0 + 0.31 + row * step
        xs = sorted(a + (z - b) * (c - a) / (d - b) for a, b, c, d in segments if (b > z) != (d > z))
        for left, right in zip(xs[0::2], xs[1::2]):
            k = int((left + margin - x0) / step) + 1
            while x0 + k * step <= right - margin:
                if x0 + k * step >= left + margin:
                    inside.add((k, row))
                k += 1
        row += 1
    pieces = []
    while inside:
        todo, piece = [inside.pop()], []
        while todo:
            k, r = todo.pop()
            piece.append((x0 + k * step, z0 + 0.31 + r * step))
            for n in ((k + 1, r), (k - 1, r), (k, r + 1), (k, r - 1)):
                if n in inside:
                    inside.remove(n)
                    todo.append(n)
        pieces.append(piece)
    return pieces


def in_ring(p, ring):
    inside = False
    for (ax, ay), (bx, by) in zip(ring, ring[-1:] + ring[:-1]):
        if (ay > p[1]) != (by > p[1]) and p[0] < ax + (p[1] - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return inside


# The section along y = 400 cuts the three walls, the slab, the stair and
# the roof's pitches along the ridge. Each piece of each solid's cut, as a
# hair behind and a hair before the plane give it, lies under the section
# hatch (the shadow hatch is not counted). The section is drawn at real
# size with the least x and height of what lies behind the plane at its
# lower-left point, 0,-1500.
SECTION_Y, SECTION_AT, SECTION_ORIGIN_X = 400.0, (0.0, -1500.0), -100.0
section = [v for v in views if abs(v.dxf.insert.x - SECTION_AT[0]) < TOL and abs(v.dxf.insert.y - SECTION_AT[1]) < TOL]
if len(section) != 1:
    problems.append("no section view at %g,%g" % SECTION_AT)
else:
    solids = [("the walls", [[(v.x, v.y, v.z) for v in (f.dxf.vtx0, f.dxf.vtx1, f.dxf.vtx2, f.dxf.vtx3)]
                             for f in faces])]
    solids += [("%s %s" % (r.dxf.layer, r.dxf.name), face_quads(r))
               for layer in ("FLOORSLAB", "STAIRS", "ROOFSLAB") for r in inserts(layer)]
    behind = [(x, z) for _, quads in solids for quad in quads for (x, y, z) in quad if y >= SECTION_Y]
    behind += [(s[0], s[1]) for _, quads in solids for s in cut_segments(quads, SECTION_Y)]
    least_x, least_z = min(x for x, _ in behind), min(z for _, z in behind)
    to_sheet = (SECTION_AT[0] - least_x, SECTION_AT[1] - least_z)
    hatches = [[(v[0], v[1]) for path in h.paths for v in getattr(path, "vertices", [])]
               for h in doc.blocks[section[0].dxf.name].query("HATCH") if h.dxf.layer == "VELMSECTION_H"]
    base = doc.blocks[section[0].dxf.name].block.dxf.base_point
    hatches = [[(x - base.x + SECTION_AT[0], y - base.y + SECTION_AT[1]) for x, y in ring] for ring in hatches]
    cut = {}
    for side in (1e-4, -1e-4):
        for name, quads in solids:
            for piece in cut_pieces(cut_segments(quads, SECTION_Y + side)):
                bare = [p for p in piece if not any(in_ring((p[0] + to_sheet[0], p[1] + to_sheet[1]), r)
                                                     for r in hatches)]
                cut[name] = cut.get(name, 0) + (side > 0)
                if len(bare) > 0.01 * len(piece):
                    xs = [p[0] for p in piece]
                    problems.append("the section's cut of %s at x %.0f..%.0f (a hair %s the plane) is %d%% "
                                    "without section hatch" % (name, min(xs), max(xs),
                                                               "behind" if side > 0 else "before",
                                                               100 * len(bare) // len(piece)))
    roofs = sum(n for name, n in cut.items() if name.startswith("ROOFSLAB"))
    if cut.get("the walls") != 3 or not any(n.startswith("FLOORSLAB") for n in cut) or \
            not any(n.startswith("STAIRS") for n in cut) or roofs != 3:
        problems.append("the section cuts %s, expected three walls, the slab, the stair and three roof pitches"
                        % sorted(cut.items()))

names = sorted(next(v for c, v in e.get_xdata(PARAM_APP) if c == 1000)
               for e in dxfcheck.with_record(msp, PARAM_APP) if e.dxf.layer == "2DSYMBOLS")
if names != ["TMS_LUCE", "TMS_PROS"]:
    problems.append("camera and light: %s" % names)

if problems:
    sys.exit("first house: " + "; ".join(problems))
print("first house: walls 0 to 300, stair of 16 risers through the slab's opening, slab 275 to 300, "
      "roof on the walls, openings, chains, room dimensions, section, elevation, camera and light")

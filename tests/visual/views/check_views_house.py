"""The views of the house that views_house.scr saved, read by an
independent reader.

    check_views_house.py HOUSE.dxf               the three views as made
    check_views_house.py HOUSE.dxf REGEN.dxf     the first view rebuilt

As made: the drawing audits without errors or fixes; the view of the whole
model is an INSERT on layer "0" at 0,-2000, scale 1, not rotated, whose
record says kind 0, hidden lines 0, the frame rows (1,0,0), (0,0,1),
(0,1,0) with the section line's first point at the origin; its lines start
at the lower-left point; upright cut lines stand at the six faces of the
three walls the line crosses, 30 apart, the walls' middles 600 and 1000
from the west wall's, each cut wall hatched ANSI31 over its 30 x 300 on
"VELMSECTION_H"; the view of the selected objects has no record, lies in
the window 2000 x 1000 from 0,-4000 and touches its far side, scaled the
same on both axes; the view drawn loose into model space is the first one
moved to 3000,-2000, line for line and hatch for hatch.

Rebuilt: the drawing audits clean; one view with a record, at 0,-2000 on a
new block, the same record, the same lines; the selected view untouched.

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import views_dxf as vd  # noqa: E402
from dxfcheck import read  # noqa: E402

ROWS = [(1, 0, 0), (0, 0, 1), (0, 1, 0)]
FIRST_POINT = (-100.0, 400.0, 0.0)
LOWER_LEFT = (0.0, -2000.0)
FIT_LOWER_LEFT, FIT_CORNER = (0.0, -4000.0), (2000.0, -3000.0)
LOOSE_SHIFT = (3000.0, 0.0)
STOREY, WALL = 300.0, 30.0
# The floor slab lies on the walls' tops, its underside this far below the
# storey's height: a wall's inner face stops at it, since the cut of the
# slab and the walls is one cap and no edge is drawn across it.
UNDER_SLAB = 275.0
MIDDLES = [0.0, 600.0, 1000.0]  # the walls' axes from the west wall's
TOL = 0.01


class Checks:
    def __init__(self):
        self.problems = []

    def that(self, ok, message):
        if not ok:
            self.problems.append(message)
        return ok


def the_views(doc, c):
    """The view with a record and the one without (each or None)."""
    found = vd.views(doc.modelspace())
    recorded = [e for e, r in found if r is not None]
    plain = [e for e, r in found if r is None]
    c.that(len(recorded) == 1, "%d views with a record, expected 1" % len(recorded))
    c.that(len(plain) == 1, "%d views without a record, expected 1" % len(plain))
    return (recorded[0] if recorded else None), (plain[0] if plain else None)


def check_record_view(view, c):
    d = view.dxf
    c.that(d.layer == "0", "the view's INSERT is on %r, expected \"0\"" % d.layer)
    c.that(vd.near(d.insert, (*LOWER_LEFT, 0.0)), "the view's INSERT is at %s, expected 0,-2000" % (d.insert,))
    c.that(vd.near((d.xscale, d.yscale, d.zscale), (1, 1, 1)),
           "the view's scale is %g,%g,%g, expected 1" % (d.xscale, d.yscale, d.zscale))
    c.that(abs(d.rotation) < vd.TOL, "the view is rotated by %g" % d.rotation)
    r = vd.view_record(view)
    c.that(r.kind == 0, "record kind %s, expected 0" % r.kind)
    c.that(r.hidden == 0, "hidden-line flag %s, expected 0" % r.hidden)
    c.that(len(r.rows) == 3 and all(vd.near(a, b) for a, b in zip(r.rows, ROWS)),
           "frame rows %s, expected %s" % (r.rows, ROWS))
    if r.translation is not None and len(r.rows) == 3:
        origin = [sum(m * p for m, p in zip(row, FIRST_POINT)) + t for row, t in zip(r.rows, r.translation)]
        c.that(vd.near(origin, (0, 0, 0)), "the section line's first point goes to %s, not the origin" % origin)
    return r


def check_walls_cut(segments, source, place, scale, c, what):
    """The six upright wall faces and their hatches; the x of the west
    wall's west face."""
    cuts = vd.upright_cuts(segments)
    west, tall = vd.wall_pairs(cuts, UNDER_SLAB * scale, WALL * scale)
    c.that(len(tall) == 6, "%s: %d upright cut lines up to the slab, expected 6: %s" % (what, len(tall), tall))
    if not c.that(len(west) == 3, "%s: the tall cuts %s do not pair into three walls %g thick" %
                  (what, tall, WALL * scale)):
        return None
    middles = [x + WALL * scale / 2 - (west[0] + WALL * scale / 2) for x in west]
    c.that(vd.near(middles, [m * scale for m in MIDDLES], TOL * max(scale, 1)),
           "%s: the walls' middles at %s from the west wall's, expected %s" %
           (what, middles, [m * scale for m in MIDDLES]))
    rings = vd.hatch_rings(source, vd.HATCH, place)
    for hatch, _ in rings:
        c.that(hatch.dxf.pattern_name.upper() == "ANSI31", "%s: a section hatch of pattern %s, expected ANSI31" %
               (what, hatch.dxf.pattern_name))
    for x in west:
        hatched = [ring for _, ring in rings if ring
                   and abs(min(p[0] for p in ring) - x) <= TOL and abs(max(p[0] for p in ring) - x - WALL * scale) <= TOL
                   and max(p[1] for p in ring) - min(p[1] for p in ring) >= STOREY * scale - TOL]
        c.that(len(hatched) == 1, "%s: %d section hatches over the wall cut at x %g, expected 1" %
               (what, len(hatched), x))
    return west[0]


def check_fitted(view, c):
    segments = vd.view_lines(view)
    if not c.that(segments, "the fitted view has no lines"):
        return
    x0, y0, x1, y1 = vd.box(segments)
    c.that(vd.near((x0, y0), FIT_LOWER_LEFT, TOL), "the fitted view starts at %g,%g, not 0,-4000" % (x0, y0))
    c.that(x1 <= FIT_CORNER[0] + TOL and y1 <= FIT_CORNER[1] + TOL,
           "the fitted view reaches %g,%g, past the window's corner 2000,-3000" % (x1, y1))
    c.that(abs(x1 - FIT_CORNER[0]) <= TOL or abs(y1 - FIT_CORNER[1]) <= TOL,
           "the fitted view reaches %g,%g, touching neither far side of the window" % (x1, y1))
    # One scale on both axes: the walls keep their thickness, spacing and
    # height in proportion; the scale is the one that makes some two
    # upright cuts a wall's thickness apart.
    xs = [u[0] for u in vd.upright_cuts(segments)]
    for scale in sorted({(b - a) / WALL for i, a in enumerate(xs) for b in xs[i + 1:]}):
        west, _ = vd.wall_pairs(vd.upright_cuts(segments), UNDER_SLAB * scale, WALL * scale)
        middles = [x - west[0] for x in west]
        if len(west) == 3 and vd.near(middles, [m * scale for m in MIDDLES], TOL):
            check_walls_cut(segments, vd.entities(view), vd.placed(view), scale, c, "fitted view")
            break
    else:
        c.that(False, "the fitted view's upright cuts %s show no three walls at one scale" % xs)


def check_loose(doc, view, c):
    """The loose view is the block's view moved by LOOSE_SHIFT."""
    msp = doc.modelspace()
    loose = vd.lines(msp)
    framed = vd.view_lines(view)
    c.that(loose, "no loose view lines in model space")
    extra = vd.unmatched(loose, framed, (-LOOSE_SHIFT[0], -LOOSE_SHIFT[1]))
    missing = vd.unmatched(framed, loose, LOOSE_SHIFT)
    c.that(not extra, "%d loose lines not in the block's view, first %s" % (len(extra), extra[:1]))
    c.that(not missing, "%d lines of the block's view not drawn loose, first %s" % (len(missing), missing[:1]))
    rings = [r for _, r in vd.hatch_rings(msp, vd.HATCH)]
    framed_rings = [r for _, r in vd.hatch_rings(vd.entities(view), vd.HATCH, vd.placed(view))]
    c.that(len(rings) == len(framed_rings), "%d loose section hatches, the block's view has %d" %
           (len(rings), len(framed_rings)))
    for ring in framed_rings:
        moved = [(p[0] + LOOSE_SHIFT[0], p[1] + LOOSE_SHIFT[1]) for p in ring]
        c.that(any(len(r) == len(moved) and all(any(vd.near(p, q, TOL) for q in r) for p in moved) for r in rings),
               "the section hatch along %s has no loose copy" % moved[:4])


def check_made(path, c):
    doc, problems = read(path, labelled=True)
    c.problems += problems
    view, fitted = the_views(doc, c)
    if view is not None:
        check_record_view(view, c)
        segments = vd.view_lines(view)
        if c.that(segments, "the view has no lines"):
            x0, y0, _, _ = vd.box(segments)
            c.that(vd.near((x0, y0), LOWER_LEFT, TOL), "the view's lines start at %g,%g, not 0,-2000" % (x0, y0))
            check_walls_cut(segments, vd.entities(view), vd.placed(view), 1.0, c, "view")
            check_loose(doc, view, c)
    if fitted is not None:
        check_fitted(fitted, c)
    return doc, view, fitted


def check_rebuilt(made, path, c):
    _, view, fitted = made
    doc, problems = read(path, labelled=True)
    c.problems += problems
    new_view, new_fitted = the_views(doc, c)
    if new_view is None or view is None:
        return
    check_record_view(new_view, c)
    c.that(new_view.dxf.name != view.dxf.name, "the rebuilt view kept its block %s" % view.dxf.name)
    c.that(vd.view_record(new_view) == vd.view_record(view), "the rebuilt view's record changed: %s, was %s" %
           (vd.view_record(new_view), vd.view_record(view)))
    before, after = vd.view_lines(view), vd.view_lines(new_view)
    lost, gained = vd.unmatched(before, after), vd.unmatched(after, before)
    c.that(not lost and not gained, "the rebuilt view lost %d lines and gained %d (first %s, %s)" %
           (len(lost), len(gained), lost[:1], gained[:1]))
    if fitted is not None and new_fitted is not None:
        c.that(new_fitted.dxf.name == fitted.dxf.name and vd.near(new_fitted.dxf.insert, fitted.dxf.insert),
               "the fitted view changed")


def main():
    c = Checks()
    made = check_made(sys.argv[1], c)
    if len(sys.argv) > 2:
        c = Checks()  # the first drawing's facts have their own test
        check_rebuilt(made, sys.argv[2], c)
    path = sys.argv[-1]
    for p in c.problems:
        print("%s: %s" % (path, p))
    if not c.problems:
        print("%s: every fact holds" % path)
    return 1 if c.problems else 0


if __name__ == "__main__":
    sys.exit(main())

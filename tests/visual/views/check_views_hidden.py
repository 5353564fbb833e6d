"""The house's view rebuilt from a record asking for hidden lines and
shadows (views_hidden.scr on a copy of the drawing whose record's flag
set_view_hidden_flag.py set), read by an independent reader beside the same
view rebuilt without them.

    check_views_hidden.py HIDDEN.dxf PLAIN.dxf

The drawing audits without errors or fixes; one view with a record, at
0,-2000, its record as before but for the flag, which stays 1; its block
holds the shadows as SOLID hatches on "2DSHADE_H", each in a colour of its
own between 1 and 255, with their outlines on "2DSHADE_L"; the shadows lie
within the view; its visible edges are no longer, together, than the plain
view's, whose hidden faces were not taken out.

The copy's light comes low from the south-east (1,-1,0.3, towards the
light): the inner wall, cut by the section, casts its shadow west onto the
north wall's inner face, from the inner wall to 385 (the depth of the
north wall's face behind the cut) further west, at x 200; so a point of
that face at x 400, z 100 lies in a shadow, and one at x 100, z 100, lit
under the cut ceiling slab, in none. (Under the drawing's own light, from
the north-east above, every face this view shows turns away from the light
and receives no shadow.)

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import views_dxf as vd  # noqa: E402
from dxfcheck import read  # noqa: E402

LOWER_LEFT = (0.0, -2000.0, 0.0)
TOL = 0.01
# The west wall's west face stands at world x -15; the view shows the
# floor, z 0, at its lower-left y.
WEST_FACE, FLOOR = -15.0, -2000.0
IN_PARTITION_SHADOW = (400.0, 100.0)
LIT = (100.0, 100.0)


def inside(p, ring):
    hit = False
    for a, b in zip(ring, ring[1:] + ring[:1]):
        if (a[1] > p[1]) != (b[1] > p[1]) and p[0] < a[0] + (p[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1]):
            hit = not hit
    return hit


def recorded_view(path, problems):
    doc, found = read(path, labelled=True)
    problems += found
    views = [e for e, r in vd.views(doc.modelspace()) if r is not None]
    if len(views) != 1:
        problems.append("%d views with a record, expected 1" % len(views))
        return None
    return views[0]


def main():
    hidden_path, plain_path = sys.argv[1], sys.argv[2]
    problems = []
    view = recorded_view(hidden_path, problems)
    plain = recorded_view(plain_path, [])
    if view is not None:
        record = vd.view_record(view)
        if record.hidden != 1:
            problems.append("the rebuilt record's hidden-line flag is %s, expected 1" % record.hidden)
        if not vd.near(view.dxf.insert, LOWER_LEFT):
            problems.append("the view is at %s, expected 0,-2000" % (view.dxf.insert,))
        if plain is not None:
            before = vd.view_record(plain)
            if record._replace(hidden=before.hidden) != before:
                problems.append("the record changed beyond its flag: %s, plain %s" % (record, before))

        contents = vd.entities(view)
        place = vd.placed(view)
        shades = vd.hatch_rings(contents, vd.SHADE_HATCH, place)
        if not shades:
            problems.append("no shadow hatch on %s" % vd.SHADE_HATCH)
        for hatch, ring in shades:
            if hatch.dxf.pattern_name.upper() != "SOLID" or not hatch.dxf.solid_fill:
                problems.append("a shadow hatch of pattern %s, expected SOLID" % hatch.dxf.pattern_name)
            if not 1 <= hatch.dxf.color <= 255:
                problems.append("a shadow hatch in colour %d, expected 1..255" % hatch.dxf.color)
        west, _ = vd.wall_pairs(vd.upright_cuts(vd.view_lines(view)), 300.0, 30.0)
        for world, shaded in ((IN_PARTITION_SHADOW, True), (LIT, False)) if west else ():
            at = (world[0] + west[0] - WEST_FACE, world[1] + FLOOR)
            if any(inside(at, ring) for _, ring in shades) != shaded:
                problems.append("the north wall at x %g, z %g is %s, expected %s" %
                                (world[0], world[1], "lit" if shaded else "in a shadow",
                                 "the inner wall's shadow" if shaded else "lit"))
        outlines = vd.view_lines(view, (vd.SHADE_LINE,))
        if not outlines:
            problems.append("no shadow outline on %s" % vd.SHADE_LINE)

        edges = vd.view_lines(view)
        if not edges:
            problems.append("the view has no lines")
        else:
            x0, y0, x1, y1 = vd.box(edges)
            for _, ring in shades:
                for p in ring:
                    if not (x0 - TOL <= p[0] <= x1 + TOL and y0 - TOL <= p[1] <= y1 + TOL):
                        problems.append("a shadow reaches %s, outside the view %s" % (p, (x0, y0, x1, y1)))
                        break
        if plain is not None:
            seen, all_edges = vd.length(edges), vd.length(vd.view_lines(plain))
            print("%s: visible edges %.1f long, %.1f without hidden faces; %d shadows, %d outline lines" %
                  (hidden_path, seen, all_edges, len(shades), len(outlines)))
            if seen > all_edges + TOL:
                problems.append("the visible edges are %.3f long, longer than the plain view's %.3f" %
                                (seen, all_edges))
    for p in problems:
        print("%s: %s" % (hidden_path, p))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

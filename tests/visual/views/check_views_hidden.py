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

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import views_dxf as vd  # noqa: E402
from dxfcheck import read  # noqa: E402

LOWER_LEFT = (0.0, -2000.0, 0.0)
TOL = 0.01


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

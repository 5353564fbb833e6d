"""The five sections views_sections.scr saved, read by an independent
reader.

    check_views_sections.py FILE.dxf

The drawing audits without errors or fixes and holds five views with a
record, one at each lower-left point. The line by two points, the same line
given the other way and the picked symbol make one frame: rows (1,0,0),
(0,0,1), (0,1,0), the line's first point at the origin, kind 0; the first
view's upright cut lines stand at the six faces of the three walls the line
crosses, 30 apart; the three views draw the same lines. The whole-model
view ("Widok") cuts nothing: no line on "VELMSECTION_SEC". The axonometric
view is kind 1, its view frame the symbol's, its display frame looking
along the display's direction from the south-east, above.

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import views_dxf as vd  # noqa: E402
from dxfcheck import read  # noqa: E402

ROWS = [(1, 0, 0), (0, 0, 1), (0, 1, 0)]
FIRST_POINT = (-100.0, 400.0, 0.0)
POINTS, REVERSED, SYMBOL, WHOLE, AXONOMETRIC = (0, -2000), (0, -4000), (0, -6000), (0, -8000), (0, -10000)
STOREY, WALL = 300.0, 30.0
# The floor slab lies on the walls' tops, its underside this far below the
# storey's height: a wall's inner face stops at it, since the cut of the
# slab and the walls is one cap and no edge is drawn across it.
UNDER_SLAB = 275.0
THIRD = 1.0 / math.sqrt(3.0)
TOL = 0.01


def main():
    path = sys.argv[1]
    doc, problems = read(path, labelled=True)
    recorded = {}
    for insert, record in vd.views(doc.modelspace()):
        if record is not None:
            recorded[(round(insert.dxf.insert.x), round(insert.dxf.insert.y))] = (insert, record)
    for at in (POINTS, REVERSED, SYMBOL, WHOLE, AXONOMETRIC):
        if at not in recorded:
            problems.append("no view with a record at %d,%d" % at)
    if len(recorded) != 5:
        problems.append("%d views with a record, expected 5" % len(recorded))

    def frame_is_the_lines(at, what):
        if at not in recorded:
            return
        r = recorded[at][1]
        if not (len(r.rows) == 3 and all(vd.near(a, b) for a, b in zip(r.rows, ROWS))):
            problems.append("%s: frame rows %s, expected %s" % (what, r.rows, ROWS))
        elif r.translation is not None:
            origin = [sum(m * p for m, p in zip(row, FIRST_POINT)) + t for row, t in zip(r.rows, r.translation)]
            if not vd.near(origin, (0, 0, 0)):
                problems.append("%s: the line's first point goes to %s, not the origin" % (what, origin))

    for at, what, kind in ((POINTS, "two points", 0), (REVERSED, "the points reversed", 0), (SYMBOL, "the symbol", 0),
                           (AXONOMETRIC, "axonometric", 1)):
        frame_is_the_lines(at, what)
        if at in recorded and recorded[at][1].kind != kind:
            problems.append("%s: record kind %s, expected %d" % (what, recorded[at][1].kind, kind))

    if POINTS in recorded:
        first = vd.view_lines(recorded[POINTS][0])
        west, tall = vd.wall_pairs(vd.upright_cuts(first), UNDER_SLAB, WALL)
        if len(tall) != 6 or len(west) != 3:
            problems.append("two points: upright cuts up to the slab at %s, expected three walls' faces" % tall)
        for at, what in ((REVERSED, "the points reversed"), (SYMBOL, "the symbol")):
            if at in recorded:
                shift = (at[0] - POINTS[0], at[1] - POINTS[1])
                other = vd.view_lines(recorded[at][0])
                lost, gained = vd.unmatched(first, other, shift), vd.unmatched(other, first, (-shift[0], -shift[1]))
                if lost or gained:
                    problems.append("%s: %d lines of the first view missing, %d more (first %s, %s)" %
                                    (what, len(lost), len(gained), lost[:1], gained[:1]))

    if WHOLE in recorded:
        r = recorded[WHOLE][1]
        if r.kind != 0:
            problems.append("whole model: record kind %s, expected 0" % r.kind)
        if not vd.view_lines(recorded[WHOLE][0]):
            problems.append("whole model: the view has no lines")
        cut = vd.view_lines(recorded[WHOLE][0], (vd.CUT,))
        if cut:
            problems.append("whole model: %d cut lines, expected none" % len(cut))

    if AXONOMETRIC in recorded:
        r = recorded[AXONOMETRIC][1]
        if r.display is None:
            problems.append("axonometric: no display frame in the record")
        else:
            rows, _ = r.display
            if not vd.near(rows[2], (-THIRD, THIRD, -THIRD), 1e-6):
                problems.append("axonometric: the display frame looks along %s, expected %s" %
                                (rows[2], (-THIRD, THIRD, -THIRD)))
        if SYMBOL in recorded and r.translation is not None:
            symbol = recorded[SYMBOL][1]
            if not vd.near(r.translation, symbol.translation):
                problems.append("axonometric: the view frame's translation %s, the symbol's %s" %
                                (r.translation, symbol.translation))

    for p in problems:
        print("%s: %s" % (path, p))
    if not problems:
        print("%s: every fact holds" % path)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""The drawing the door-into-wall script saved, read by an independent
reader: recovered and audited without errors or fixes, both openings carry
their records, with the marks and numbers the counters gave them, and each
face of the two walls is cut once at its opening.

    check_door_into_wall_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

RECORDS = ("VELM5$_$PARAMETRI-", "VELM5$_$PARASPEC-", "VELM5$_$TAG3DISTR-", "VELM6$_$ABINFISSI_OBJ-")


def main():
    doc, problems = dxfcheck.read(sys.argv[1])
    marks = {}
    for insert in doc.modelspace().query("INSERT"):
        if not insert.has_xdata("VELM6$_$ABINFISSI_OBJ-"):
            continue
        for app in RECORDS:
            if not insert.has_xdata(app):
                problems.append(f"opening {insert.dxf.handle} lacks {app}")
        values = [t.value for t in insert.get_xdata("VELM6$_$ABINFISSI_OBJ-")]
        for i, v in enumerate(values[:-1]):
            if v in ("D-", "W-"):
                marks[v] = values[i + 1]
    if marks != {"D-": 1, "W-": 1}:
        problems.append(f"opening marks {marks}, D- 1 and W- 1 expected")
    walls = [e for e in doc.modelspace().query("LINE") if e.dxf.layer.upper() == "VELM2DWALLS$0"]
    gaps = sorted(round(abs(w.dxf.end.y - w.dxf.start.y) + abs(w.dxf.end.x - w.dxf.start.x), 3) for w in walls)
    if len(walls) != 8:
        problems.append(f"{len(walls)} wall lines, 8 expected: {gaps}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

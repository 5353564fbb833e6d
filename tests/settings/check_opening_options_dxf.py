"""The drawing the opening-options script saved, read by an independent
reader: recovered and audited without errors or fixes; the door keeps its
records and was rebuilt with the options of the sheet: its option values
say no dimension text and the other options kept, and its block still
draws the leaf.

    check_opening_options_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402

RECORDS = ("VELM5$_$PARAMETRI-", "VELM5$_$PARASPEC-", "VELM5$_$TAG3DISTR-", "VELM6$_$ABINFISSI_OBJ-")
# No dimension text; sill, label, loaded view and centre line as before.
OPTIONS = {10001: 1.0, 10002: 0.0, 10003: 0.0, 10004: 0.0, 10005: 0.0}


def option_values(insert):
    values = [t.value for t in insert.get_xdata("VELM5$_$PARASPEC-")]
    return {n: v for n, v in zip(values, values[1:]) if isinstance(n, int) and n in OPTIONS}


def main():
    doc, problems = dxfcheck.read(sys.argv[1])
    doors = dxfcheck.with_record(doc.modelspace(), "VELM5$_$PARAMETRI-")
    if len(doors) != 1:
        problems.append(f"{len(doors)} openings, one door expected")
    for door in doors:
        for app in RECORDS:
            if not door.has_xdata(app):
                problems.append(f"door {door.dxf.handle} lacks {app}")
        if door.has_xdata("VELM5$_$PARASPEC-") and option_values(door) != OPTIONS:
            problems.append(f"door options {option_values(door)}, {OPTIONS} expected")
        block = doc.blocks.get(door.dxf.name)
        if block is None or not any(e.dxftype() == "ARC" for e in block):
            problems.append(f"door block {door.dxf.name} draws no leaf")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

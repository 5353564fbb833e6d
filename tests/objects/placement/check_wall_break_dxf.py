"""The drawing the wall-break script saved, read by an independent reader:
recovered and audited without errors or fixes, every wall LINE carries the
wall-type record, and the placed objects keep theirs.

    check_wall_break_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402


def main():
    path = sys.argv[1]
    doc, problems = dxfcheck.read(path)
    walls = [e for e in doc.modelspace().query("LINE") if e.dxf.layer.upper() == "VELM2DWALLS$0"]
    if len(walls) != 10:
        problems.append(f"{len(walls)} wall lines, 10 expected")
    for line in walls:
        if not line.has_xdata("VELM5$_$DATITIPOMURO-"):
            problems.append(f"wall line {line.dxf.handle} lost its wall record")
    objects = dxfcheck.with_record(doc.modelspace(), "VELM5$_$PARAMETRI-")
    if len(objects) != 3:
        problems.append(f"{len(objects)} placed objects, 3 expected")
    return dxfcheck.report(path, problems)


if __name__ == "__main__":
    sys.exit(main())

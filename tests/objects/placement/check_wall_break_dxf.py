"""The drawing the wall-break script saved, read by an independent reader:
recovered and audited without errors or fixes, every wall LINE carries the
wall-type record, and the placed objects keep theirs.

    check_wall_break_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)


def main():
    path = sys.argv[1]
    doc, auditor = recover.readfile(path)
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    audit = doc.audit()
    problems += [e.message for e in audit.errors] + [f.message for f in audit.fixes]
    walls = [e for e in doc.modelspace().query("LINE") if e.dxf.layer.upper() == "VELM2DWALLS$0"]
    if len(walls) != 10:
        problems.append(f"{len(walls)} wall lines, 10 expected")
    for line in walls:
        if not line.has_xdata("VELM5$_$DATITIPOMURO-"):
            problems.append(f"wall line {line.dxf.handle} lost its wall record")
    objects = [e for e in doc.modelspace().query("INSERT") if e.has_xdata("VELM5$_$PARAMETRI-")]
    if len(objects) != 3:
        problems.append(f"{len(objects)} placed objects, 3 expected")
    for p in problems:
        print(f"{path}: {p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

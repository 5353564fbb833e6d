"""An independent reader opens the drawing the stair test saved.

Runs the stair drawing test of the module test program (it saves the
drawing with two stairs, their plan blocks and their xdata), then reads the
file with ezdxf's recovering loader and audits it: no errors, no fixes.
Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import subprocess
import sys

try:
    import ezdxf  # noqa: F401
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)


def main():
    program, path = sys.argv[1], sys.argv[2]
    if os.path.exists(path):
        os.remove(path)
    subprocess.run([program, "--gtest_filter=StairDrawing.*"], check=True)
    doc, auditor = recover.readfile(path)
    problems = [f"recover: {e.message}" for e in auditor.errors]
    problems += [f"recover fix: {f.message}" for f in auditor.fixes]
    audit = doc.audit()
    problems += [f"audit: {e.message}" for e in audit.errors]
    problems += [f"audit fix: {f.message}" for f in audit.fixes]
    inserts = [e for e in doc.modelspace() if e.dxftype() == "INSERT"]
    stairs = [e for e in inserts if e.has_xdata("VELM6$_$MODE_SCALE-")]
    if len(stairs) != 2:
        problems.append(f"expected 2 stair inserts with xdata, found {len(stairs)}")
    for p in problems:
        print(p)
    print(path, "stairs:", len(stairs), "problems:", len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

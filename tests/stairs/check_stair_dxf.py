"""An independent reader opens the drawing the stair test saved.

Runs a stair test of the module test program (by default the drawing test,
which saves two stairs, their plan blocks and their xdata; optionally
another filter, the number of stairs it saves and "faces" when the stairs
carry their 3D faces), then reads the file with ezdxf's recovering loader
and audits it: no errors, no fixes. With "faces", every stair's nested
blocks must lie on the floors' level layers and hold 3DFACEs on the three
3D stair layers, and the stair carries its opening and 3D outlines.
Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402


def check_faces(doc, stair):
    problems = []
    for app in ("VELM5$_$POLIGFALDA-", "VELM7$_$INFOSCALEST3D-"):
        if not stair.has_xdata(app):
            problems.append(f"stair {stair.dxf.handle}: no {app}")
    layers = set()
    nested = list(doc.blocks[stair.dxf.name].query("INSERT"))
    if not nested or any(not n.dxf.layer.startswith("VELMSTAIRS$") for n in nested):
        problems.append(f"stair {stair.dxf.handle}: nested blocks not on level layers")
    for n in nested:
        for face in doc.blocks[n.dxf.name].query("3DFACE"):
            layers.add(face.dxf.layer)
            if face.dxf.color != 256:
                problems.append(f"face {face.dxf.handle} not by layer")
    if not {"3DSTAIRS", "3DSTAIRS_TR"} <= layers:
        problems.append(f"stair {stair.dxf.handle}: faces on {sorted(layers)}")
    return problems


def main():
    program, path = sys.argv[1], sys.argv[2]
    pattern = sys.argv[3] if len(sys.argv) > 3 else "StairDrawing.*"
    expected = int(sys.argv[4]) if len(sys.argv) > 4 else 2
    faces = len(sys.argv) > 5 and sys.argv[5] == "faces"
    if os.path.exists(path):
        os.remove(path)
    subprocess.run([program, "--gtest_filter=" + pattern], check=True)
    doc, problems = dxfcheck.read(path, labelled=True)
    inserts = [e for e in doc.modelspace() if e.dxftype() == "INSERT"]
    stairs = [e for e in inserts if e.has_xdata("VELM6$_$MODE_SCALE-")]
    if len(stairs) != expected:
        problems.append(f"expected {expected} stair inserts with xdata, found {len(stairs)}")
    if faces:
        for stair in stairs:
            problems += check_faces(doc, stair)
    for p in problems:
        print(p)
    print(path, "stairs:", len(stairs), "problems:", len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

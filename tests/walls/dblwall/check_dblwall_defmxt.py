"""The double-line walls and the wall types editor end to end.

    check_dblwall_defmxt.py VELMHOST SOURCE_DIR WORK_DIR

Runs dblwall_defmxt.scr through the host program with a data folder of its
own (copies of the shipped configuration and wall-type files), checks the
saved drawing with the independent DXF reader, then the data folder: the
new type's file with the build-ups 100 and 101, each holding the layer
"Ściana", and the shipped files, not edited, as they were and without
backups.
"""
import glob
import os
import shutil
import subprocess
import sys


def blocks(lines):
    found, current = {}, None
    for line in lines:
        if line.startswith("ENDSTRATIFICAZIONE"):
            current = None
        elif line.startswith("STRATIFICAZIONE"):
            current = line[len("STRATIFICAZIONE"):]
            found[current] = []
        elif current is not None:
            found[current].append(line)
    return found


def main():
    host, source, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    data = os.path.join(work, "data")
    os.makedirs(data)
    support = os.path.join(source, "support")
    shipped = sorted(os.path.basename(p) for p in glob.glob(os.path.join(support, "*.mxt")))
    for name in shipped + ["VELMDCONFIG.CFG"]:
        shutil.copy(os.path.join(support, name), data)
    out = os.path.join(work, "dblwall_defmxt.dxf")
    script = os.path.join(source, "tests", "walls", "dblwall", "dblwall_defmxt.scr")
    run = subprocess.run([host, "--support", data, "--support", support, "--script", script, "--save", out],
                         cwd=source)
    if run.returncode != 0:
        print("velmhost failed:", run.returncode)
        return 1
    problems = []
    new = os.path.join(data, "AANOWY.mxt")
    if not os.path.exists(new):
        problems.append("the new type's file is missing")
    else:
        with open(new, encoding="utf-8") as f:
            found = blocks(f.read().split("\n"))
        if sorted(found) != ["100", "101"]:
            problems.append(f"build-ups {sorted(found)}, expected 100 and 101")
        for number, layers in found.items():
            if not layers or layers[0] != "Ściana":
                problems.append(f"build-up {number} holds {layers[:1]}, expected Ściana")
    # The shipped types were not edited: their files are as they were, and
    # no backup was made of them.
    for name in shipped:
        with open(os.path.join(data, name), "rb") as f, open(os.path.join(support, name), "rb") as g:
            if f.read() != g.read():
                problems.append(f"{name} was written")
        if os.path.exists(os.path.join(data, name[:-4] + ".mxk")):
            problems.append(f"backup of the unedited {name}")
    for p in problems:
        print(p)
    if problems:
        return 1
    return subprocess.run(["/usr/bin/python3", os.path.join(source, "tests", "dxfgen", "check_ezdxf.py"), out]).returncode


if __name__ == "__main__":
    sys.exit(main())

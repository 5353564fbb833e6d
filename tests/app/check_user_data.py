"""What the commands write goes to the user's data folder, never into the
shipped support folder the host program reads.

    check_user_data.py VELMHOST SOURCE_DIR WORK_DIR

Runs, without --support and from the source tree as a developer does, the
scripts that write support data: the room label catalogue (UA_DEF.DLC) and
a new wall type (AANOWY.mxt), then an opening made by a written definition
("$$TEMP$$__$$.TXT"), with XDG_DATA_HOME in WORK_DIR. The source tree's
support/ must hold the same files with the same bytes afterwards; the
catalogue and the new type are in WORK_DIR/data/velmor, and the opening's
definition in neither folder.
"""
import hashlib
import os
import shutil
import subprocess
import sys


def snapshot(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return files


def main():
    host, source, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"), XDG_CONFIG_HOME=os.path.join(work, "config"))
    support = os.path.join(source, "support")
    user = os.path.join(work, "data", "velmor")
    before = snapshot(support)
    hole = os.path.join(work, "hole.scr")
    with open(hole, "w", encoding="utf-8") as f:
        f.write("VELMWALLD\n0,0\n400,0\n\n_PLINE\n1000,0\n1100,0\n1100,200\n1000,200\n_C\n"
                "VELMWHOLE\n!pick 1050,0\n1000,0\n")
    runs = [
        (os.path.join("tests", "rooms", "defroomd.scr"), True),
        (os.path.join("tests", "walls", "dblwall", "dblwall_defmxt.scr"), True),
        (hole, False),  # the opening finds no wall there: only the file counts
    ]
    problems = []
    for script, must_pass in runs:
        out = os.path.join(work, os.path.basename(script) + ".dxf")
        run = subprocess.run([host, "--script", script, "--save", out], cwd=source, env=env,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True)
        if must_pass and run.returncode != 0:
            problems.append(f"{script}: velmhost exit {run.returncode}\n{run.stdout[-2000:]}{run.stderr}")
    after = snapshot(support)
    for name in sorted(set(before) | set(after)):
        if name not in after:
            problems.append(f"support/{name} removed")
        elif name not in before:
            problems.append(f"support/{name} added")
        elif before[name] != after[name]:
            problems.append(f"support/{name} changed")
    for name in ("UA_DEF.DLC", "AANOWY.mxt"):
        if not os.path.exists(os.path.join(user, name)):
            problems.append(f"{name} is not in the user's data folder {user}")
    edited = os.path.join(user, "UA_DEF.DLC")
    if os.path.exists(edited):
        with open(edited, "rb") as f, open(os.path.join(support, "UA_DEF.DLC"), "rb") as g:
            if f.read() == g.read():
                problems.append("UA_DEF.DLC in the user's data folder was not edited")
    for root, _, names in os.walk(user):
        if "$$TEMP$$__$$.TXT" in names:
            problems.append(f"the opening's definition was left in {root}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

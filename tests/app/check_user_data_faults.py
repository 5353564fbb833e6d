"""A user data folder that cannot take the edit: the edit fails aloud and
the shipped support folder stays as it was.

    check_user_data_faults.py VELMHOST SOURCE_DIR WORK_DIR

Runs, from the source tree without --support, a script that edits a row of
the VRML material table ("LAYERVRML.DEF") and presses OK, with
XDG_DATA_HOME set to: a regular file; a folder under a regular file; a
seeded folder made read-only (mode 0555; not for root, whom modes do not
stop); a seeded folder on which no file may grow past a few bytes (a file
size limit, as a full disk stops a write part way); and a folder whose
parents are missing, which works. Then two runs at once on one fresh
folder, both seeding it and each editing another layer, ten times: both
edits are in the table every time. A failing run must say at start what is
wrong with the folder (but for the full one, which looks fine), say
"nie można zapisać" with the file and that the changes were not saved, and
end with status 1 and its transcript's last line, the folder as it was (no
temporary file left); every run must leave support/ byte for byte as it
was. The size limit is set as a user's shell sets it ("ulimit -f"): the
signal a write past it sends keeps its default action, which ends a
program that does not ignore it. A first start into a folder that takes
only small files names those it could not copy and leaves no part of one.
"""
import hashlib
import os
import resource
import shutil
import signal
import stat
import subprocess
import sys

SCRIPT = '!dialog 319 select 1001 "3DWALLS" slider 1388 7 ok\nVELMWRLMAT\n'
OTHER = '!dialog 319 select 1001 "3DPILASTERS" slider 1388 9 ok\nVELMWRLMAT\n'


def snapshot(folder):
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return files


def no_growth():
    # As a user's shell starts the program under "ulimit -f": the signal a
    # write past the limit sends keeps its default, which ends a program
    # that does not ignore it.
    signal.signal(signal.SIGXFSZ, signal.SIG_DFL)
    resource.setrlimit(resource.RLIMIT_FSIZE, (64, 64))


def run(host, source, work, data, script, limit=None):
    env = dict(os.environ, XDG_DATA_HOME=data, XDG_CONFIG_HOME=os.path.join(work, "config"))
    return subprocess.run([host, "--script", script], cwd=source, env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, preexec_fn=limit)


def both_at_once(host, source, work, scripts):
    """Problems of ten rounds of two runs started together on a new folder."""
    problems = []
    for round_ in range(10):
        data = os.path.join(work, "both")
        shutil.rmtree(data, ignore_errors=True)
        env = dict(os.environ, XDG_DATA_HOME=data, XDG_CONFIG_HOME=os.path.join(work, "config"))
        runs = [subprocess.Popen([host, "--script", s], cwd=source, env=env, stdin=subprocess.DEVNULL,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True) for s in scripts]
        outs = [r.communicate()[0] for r in runs]
        for r, out in zip(runs, outs):
            if r.returncode != 0:
                problems.append(f"both at once, round {round_}: exit {r.returncode}\n{out[-1500:]}")
        with open(os.path.join(data, "velmor", "LAYERVRML.DEF"), encoding="utf-8") as f:
            rows = {line.split(",")[0]: line.strip() for line in f}
        if rows.get("3DWALLS", "").split(",")[2:3] != ["7"] or rows.get("3DPILASTERS", "").split(",")[2:3] != ["9"]:
            problems.append(f"both at once, round {round_}: an edit is lost: {rows.get('3DWALLS')} "
                            f"{rows.get('3DPILASTERS')}")
    return problems


def seeding_full(host, source, work, support):
    """Problems of a first start into a folder that takes only small files."""
    data = os.path.join(work, "seeded full")
    r = run(host, source, work, data, os.path.join(work, "nothing.scr"), no_growth)
    problems = []
    if r.returncode != 0:
        problems.append(f"seeding a full folder: exit {r.returncode}\n{r.stderr[-1500:]}")
    if "nie skopiowano" not in r.stderr or os.path.join(data, "velmor") not in r.stderr or "A1.txt" not in r.stderr:
        problems.append(f"seeding a full folder: the files not copied are not named\n{r.stderr}")
    shipped = snapshot(support)
    for name, digest in snapshot(os.path.join(data, "velmor")).items():
        if shipped.get(name) != digest:
            problems.append(f"seeding a full folder: {name} is no whole copy of a shipped file")
    return problems


def main():
    host, source, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    support = os.path.join(source, "support")
    before = snapshot(support)
    script = os.path.join(work, "edit.scr")
    with open(script, "w", encoding="utf-8") as f:
        f.write(SCRIPT)
    with open(os.path.join(work, "file"), "w") as f:
        f.write("not a folder\n")

    def seeded(name):
        data = os.path.join(work, name)
        first = run(host, source, work, data, os.path.join(work, "nothing.scr"))
        return data, first

    with open(os.path.join(work, "nothing.scr"), "w") as f:
        f.write("")
    cases = [("file", os.path.join(work, "file"), None, True),
             ("under a file", os.path.join(work, "file", "data"), None, True)]
    readonly, _ = seeded("readonly")
    if os.geteuid() != 0:
        os.chmod(os.path.join(readonly, "velmor"), stat.S_IRUSR | stat.S_IXUSR | stat.S_IRGRP | stat.S_IXGRP
                 | stat.S_IROTH | stat.S_IXOTH)
        cases.append(("read-only", readonly, None, True))
    else:
        print("read-only (mode 0555) left out: root writes whatever the mode")
    full, _ = seeded("full")
    cases.append(("full", full, no_growth, False))
    problems = seeding_full(host, source, work, support)
    for name, data, limit, said_at_start in cases:
        held = snapshot(data) if os.path.isdir(data) else None
        r = run(host, source, work, data, script, limit)
        out = r.stdout + r.stderr
        if not r.stdout.rstrip().endswith("Rysunku nie zapisano."):
            problems.append(f"{name}: the transcript's last line is lost\n{r.stdout[-500:]}")
        if held is not None and snapshot(data) != held:
            problems.append(f"{name}: the folder is not as it was (a file changed or one left behind)")
        if r.returncode != 1:
            problems.append(f"{name}: exit {r.returncode}, not 1\n{out[-1500:]}")
        if said_at_start and "folder" not in r.stderr:
            problems.append(f"{name}: the folder is not named at start\n{r.stderr}")
        if "nie można zapisać" not in out or "LAYERVRML.DEF" not in out or "zmiany nie zostały zapisane" not in out:
            problems.append(f"{name}: the failed write is not said\n{out[-1500:]}")
    missing = os.path.join(work, "a", "b", "c")
    r = run(host, source, work, missing, script)
    edited = os.path.join(missing, "velmor", "LAYERVRML.DEF")
    if r.returncode != 0:
        problems.append(f"missing parents: exit {r.returncode}\n{(r.stdout + r.stderr)[-1500:]}")
    elif not os.path.exists(edited):
        problems.append("missing parents: the edit is not in the user's data folder")
    else:
        with open(edited, "rb") as f, open(os.path.join(support, "LAYERVRML.DEF"), "rb") as g:
            if f.read() == g.read():
                problems.append("missing parents: the edited table is the shipped one")
    other = os.path.join(work, "other.scr")
    with open(other, "w", encoding="utf-8") as f:
        f.write(OTHER)
    problems += both_at_once(host, source, work, [script, other])
    os.chmod(os.path.join(readonly, "velmor"), stat.S_IRWXU)
    after = snapshot(support)
    if after != before:
        changed = sorted(n for n in set(before) | set(after) if before.get(n) != after.get(n))
        problems.append(f"support/ changed: {changed}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

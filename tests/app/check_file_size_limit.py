"""The host program under a file-size limit, started as a user's shell
starts it after "ulimit -f": the signal a write past the limit sends keeps
its default action, which ends a program that does not ignore it.

    check_file_size_limit.py VELMHOST SOURCE_DIR WORK_DIR

A drawing larger than the limit is opened and saved back over itself, once
with --save and once by the script's own _SAVE. Each save fails aloud with
the writer's message naming the file, the run ends with status 1, as a
failed command does, and its transcript's last line, the folder holds no temporary
file, and the drawing is byte for byte what it was. A run whose transcript
goes into a file that reaches the limit goes on to its end as well. A
wall type's edit and the layer catalogue's, under a limit below the size
of the user's files, fail the same way and leave the files as they were.
"""
import os
import resource
import shutil
import signal
import subprocess
import sys

LIMIT = 4096


def as_a_shell_does(limit=LIMIT):
    signal.signal(signal.SIGXFSZ, signal.SIG_DFL)
    resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))


def run(host, source, work, args, stdout=subprocess.PIPE, limit=LIMIT):
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"),
               XDG_CONFIG_HOME=os.path.join(work, "config"))
    return subprocess.run([host] + args, cwd=source, env=env, stdin=subprocess.DEVNULL, stdout=stdout,
                          stderr=subprocess.PIPE, text=True, preexec_fn=lambda: as_a_shell_does(limit))


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    host, source, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    drawings = os.path.join(work, "drawings")
    os.makedirs(drawings)
    # The drawing, and the user's data folder seeded, without the limit.
    lines = "".join(f"LINE\n{i},0\n{i},100\n\n" for i in range(60))
    write(os.path.join(work, "draw.scr"), lines)
    drawing = os.path.join(drawings, "house.dxf")
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"), XDG_CONFIG_HOME=os.path.join(work, "config"))
    made = subprocess.run([host, "--script", os.path.join(work, "draw.scr"), "--save", drawing], cwd=source,
                          env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if made.returncode != 0 or os.path.getsize(drawing) <= LIMIT:
        print(f"the drawing was not made larger than the limit: exit {made.returncode}\n{made.stderr}")
        return 1
    before = read(drawing)
    write(os.path.join(work, "one.scr"), "LINE\n0,0\n500,500\n\n")
    write(os.path.join(work, "save.scr"), f"LINE\n0,0\n500,500\n\n_SAVE\n{drawing}\n")

    problems = []
    cases = [("--save", ["--script", os.path.join(work, "one.scr"), "--save", drawing], 1),
             ("_SAVE", ["--script", os.path.join(work, "save.scr")], 1)]
    for name, args, status in cases:
        r = run(host, source, work, [drawing] + args)
        said = r.stdout + r.stderr
        if r.returncode != status:
            problems.append(f"{name}: exit {r.returncode}, not {status}\n{said[-1500:]}")
        if f"nie można zapisać {drawing}: plik przekracza dozwolony rozmiar" not in said:
            problems.append(f"{name}: the failed write is not said with the file\n{said[-1500:]}")
        if not r.stdout.rstrip().endswith("Rysunku nie zapisano."):
            problems.append(f"{name}: the transcript's last line is lost\n{r.stdout[-500:]}")
        left = sorted(set(os.listdir(drawings)) - {"house.dxf"})
        if left:
            problems.append(f"{name}: files left beside the drawing: {left}")
        if read(drawing) != before:
            problems.append(f"{name}: the drawing is not what it was")

    # The user's own files under a limit below their size: a wall type's
    # edit (its backup is written first) and the layer catalogue's fail
    # aloud, naming the file, and leave it as it was.
    user = os.path.join(work, "data", "velmor")
    edits = [("CEGLA.mxk", "CEGLA.mxt", "!dialog 153 edit 1091 \"9\" ok\n"
              "!dialog 129 select 1021 \"Ściana z cegły pełnej\" click 1003 ok\nVELMDEFMXT\n"),
             ("LAYERC.DEF", "LAYERC.DEF", "!dialog 133 select 1001 2 click 1238 ok\n(c:ddlcolor)\n")]
    for named, kept, script in edits:
        write(os.path.join(work, "user.scr"), script)
        was = read(os.path.join(user, kept))
        r = run(host, source, work, ["--script", os.path.join(work, "user.scr")], limit=256)
        said = r.stdout + r.stderr
        if r.returncode != 1:
            problems.append(f"{kept}: exit {r.returncode}, not 1\n{said[-1500:]}")
        if f"nie można zapisać {os.path.join(user, named)}: plik przekracza dozwolony rozmiar" not in said:
            problems.append(f"{kept}: the failed write is not said with the file\n{said[-1500:]}")
        if read(os.path.join(user, kept)) != was:
            problems.append(f"{kept}: the file is not what it was")

    # The transcript into a file that reaches the limit: the run goes on.
    with open(os.path.join(work, "transcript.txt"), "w") as out:
        r = run(host, source, work, ["--script", os.path.join(work, "draw.scr")], stdout=out)
    if r.returncode != 0:
        problems.append(f"transcript in a full file: exit {r.returncode}\n{r.stderr[-1500:]}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

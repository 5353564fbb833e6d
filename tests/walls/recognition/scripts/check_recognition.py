"""Walls recognised from plain lines, through the host program.

Runs velmhost on the scripts beside this file and reads each saved drawing
with ezdxf's recovering loader and audit (no errors, no fixes), then checks
what the commands left: the external-side flags of "VELMWALLATT" on exactly
the marked faces' lines, and the build-up block of "VELMDEFWALL" (one LINE
per inner layer boundary and one HATCH per hatched layer of the 1:50
build-up of the shipped brick wall) with the type's name on the lines. The
type assignment runs once with a data folder holding copies of the shipped
files and once with the shipped support folder. Exit 77 (skipped) when ezdxf
is not installed.
"""
import os
import shutil
import subprocess
import sys
import tempfile

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)

APP = "VELM5$_$DATITIPOMURO-"
BRICK = "Ściana z cegły pełnej"
HERE = os.path.dirname(os.path.abspath(__file__))


def run(velmhost, source, script, out, support):
    args = [velmhost, "--script", os.path.join(HERE, script), "--save", out]
    for folder in support:
        args += ["--support", folder]
    result = subprocess.run(args, cwd=source, capture_output=True, text=True)
    if result.returncode != 0:
        print(result.stdout[-3000:], result.stderr[-3000:])
        raise SystemExit(f"{script}: velmhost exit {result.returncode}")


def audited(path):
    doc, auditor = recover.readfile(path)
    audit = doc.audit()
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    problems += [e.message for e in audit.errors] + [f.message for f in audit.fixes]
    if problems:
        raise SystemExit(f"{path}: " + "; ".join(problems))
    return doc


def record(line):
    if not line.has_xdata(APP):
        return None
    return [value for code, value in line.get_xdata(APP)]


def ends(line):
    s, e = line.dxf.start, line.dxf.end
    return (round(s.x), round(s.y)), (round(e.x), round(e.y))


def check_wallatt(doc):
    outer = {(0, 0), (430, 0), (430, 430), (0, 430)}
    for line in doc.modelspace().query("LINE"):
        a, b = ends(line)
        marked = (a in outer and b in outer) or (a[0] == 630 and b[0] == 630)
        data = record(line)
        flag = data[1] if data and len(data) > 1 else 0
        if flag != (1 if marked else 0):
            raise SystemExit(f"wallatt: line {a}-{b} has record {data}")


def check_defwall(doc, label):
    lines = doc.modelspace().query("LINE")
    names = [record(line) for line in lines]
    if len(lines) != 2 or any(not n or n[0] != BRICK for n in names):
        raise SystemExit(f"{label}: wall lines {names}")
    inserts = doc.modelspace().query("INSERT")
    if len(inserts) != 1:
        raise SystemExit(f"{label}: {len(inserts)} block references")
    block = doc.blocks[inserts[0].dxf.name]
    kinds = sorted(e.dxftype() for e in block)
    if kinds != ["HATCH", "LINE", "LINE"]:
        raise SystemExit(f"{label}: block holds {kinds}")


def main():
    velmhost, source, outdir = sys.argv[1], sys.argv[2], sys.argv[3]
    os.makedirs(outdir, exist_ok=True)
    support = os.path.join(source, "support")

    out = os.path.join(outdir, "wallatt.dxf")
    run(velmhost, source, "wallatt.scr", out, [support])
    check_wallatt(audited(out))

    with tempfile.TemporaryDirectory() as data:
        for name in os.listdir(support):
            if name.lower().endswith(".mxt") or name.upper() == "VELMDCONFIG.CFG":
                shutil.copy(os.path.join(support, name), data)
        out = os.path.join(outdir, "defwall_data.dxf")
        run(velmhost, source, "defwall.scr", out, [data])
        check_defwall(audited(out), "data folder")
    out = os.path.join(outdir, "defwall_support.dxf")
    run(velmhost, source, "defwall.scr", out, [support])
    check_defwall(audited(out), "support")
    print("walls recognised: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""A drawing of release 5 opened in the host program is converted once.

    check_release5.py VELMHOST SOURCE_DIR OUT_DIR

Opens release5.dxf with convert.scr and saves it; the output must show the
conversion message, the saved file must hold the print-scale record, the
floors, the layer group and the take-off insert's xdata in its order, and
audit clean with ezdxf. Opened again with the same checks, it must print no
message. Exit 77 (skipped) when ezdxf is missing.
"""
import os
import subprocess
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the check is skipped (install python3-ezdxf)")
    sys.exit(77)

MESSAGE = "Converting drawing from release 5 of Velmor"


def run(velmhost, drawing, script, out):
    r = subprocess.run([velmhost, drawing, "--script", script, "--save", out],
                       capture_output=True, text=True)
    print(r.stdout, r.stderr)
    if r.returncode != 0:
        raise SystemExit(f"{drawing}: exit status {r.returncode}")
    return r.stdout


def objects_of(path, kind):
    """The group pairs of every object of that kind, from the file's text."""
    with open(path, encoding="utf-8") as f:
        lines = [l.rstrip("\r\n") for l in f]
    pairs = [(int(lines[i].strip()), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]
    found, current = [], None
    for code, value in pairs:
        if code == 0:
            current = [] if value == kind else None
            if current is not None:
                found.append(current)
        elif current is not None:
            current.append((code, value.strip()))
    return found


def audit(path):
    doc, auditor = recover.readfile(path)
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    checked = doc.audit()
    problems += [e.message for e in checked.errors] + [f.message for f in checked.fixes]
    return doc, problems


def main():
    velmhost, source, outdir = sys.argv[1:4]
    here = os.path.join(source, "tests", "settings", "release5")
    script = os.path.join(here, "convert.scr")
    os.makedirs(outdir, exist_ok=True)
    first = os.path.join(outdir, "release5_converted.dxf")
    second = os.path.join(outdir, "release5_reopened.dxf")
    failures = []

    if MESSAGE not in run(velmhost, os.path.join(here, "release5.dxf"), script, first):
        failures.append("no conversion message")
    doc, problems = audit(first)
    failures += [f"{first}: {p}" for p in problems]

    scales = objects_of(first, "VELM_FSCALA")
    values = [float(v) for c, v in scales[0] if c == 140] if scales else []
    keys = [int(v) for c, v in scales[0] if c == 170][1:] if scales else []
    if 100 not in keys:
        failures.append(f"no print-scale record 100 in {keys}")
    else:
        i = keys.index(100)
        record = values[10 * i:10 * i + 10]
        if record != [7.0, 1.0, 90.0, 90.0, 2.0, 3.0, 4.0, 0.1 * 100 * 0.01, 6.0, 0.01]:
            failures.append(f"print-scale record 100 is {record}")
    floors = objects_of(first, "VELM_PIANI")
    reals = [float(v) for c, v in floors[0] if c == 140] if floors else []
    pairs = list(zip(reals[0::2], reals[1::2]))
    if (300.0, 320.0) not in pairs or (600.0, 280.0) not in pairs:
        failures.append(f"floors {pairs}")
    groups = objects_of(first, "VELM_GENGRUPPO")
    if not groups or "Ściany" not in [v for c, v in groups[0] if c == 300]:
        failures.append("layer group Ściany missing")

    inserts = [e for e in doc.modelspace().query("INSERT") if e.has_xdata("VELM6$_$COMPUTODESC-")]
    if len(inserts) != 1:
        failures.append(f"{len(inserts)} take-off inserts")
    else:
        xdata = [(t.code, t.value) for t in inserts[0].get_xdata("VELM6$_$COMPUTODESC-")]
        want = [(1070, 3), (1070, 2), (1000, "C"), (1000, "B"), (1000, "A"), (1070, 1), (1070, 0)]
        if xdata != want:
            failures.append(f"take-off xdata {xdata}")

    if MESSAGE in run(velmhost, first, script, second):
        failures.append("converted again on reopening")
    failures += [f"{second}: {p}" for p in audit(second)[1]]
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

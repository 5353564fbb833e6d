"""An independent reader opens the saved drawings without errors or fixes.

Runs the sample program twice (the sample as saved, and as saved again
after loading it back), then reads each file with ezdxf's recovering
loader and audits it. With --saved PROGRAM ARGUMENT FILE it runs the
program with the argument (a test that saves a drawing) and checks FILE.
Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import subprocess
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)


def check(path):
    doc, auditor = recover.readfile(path)
    problems = [f"recover: {e.message}" for e in auditor.errors] + [f"recover fix: {f.message}" for f in auditor.fixes]
    audit = doc.audit()
    problems += [f"audit: {e.message}" for e in audit.errors] + [f"audit fix: {f.message}" for f in audit.fixes]
    kinds = sorted({e.dxftype() for e in doc.modelspace()})
    print(path, "entities:", " ".join(kinds))
    return problems


def check_saved(program, argument, path):
    if os.path.exists(path):
        os.remove(path)
    subprocess.run([program, argument], check=True)
    failures = [f"{path}: {p}" for p in check(path)]
    for f in failures:
        print(f)
    return 1 if failures else 0


def main():
    if sys.argv[1] == "--saved":
        return check_saved(sys.argv[2], sys.argv[3], sys.argv[4])
    program, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    failures = []
    for mode in ("", "--reload"):
        path = os.path.join(outdir, "sample%s.dxf" % mode.replace("-", "_"))
        subprocess.run([program, path] + ([mode] if mode else []), check=True)
        for p in check(path):
            failures.append(f"{path}: {p}")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

"""An independent reader opens the saved drawings without errors or fixes.

    check_ezdxf.py PROGRAM OUTDIR [FILE.dxf…]   runs the sample program twice
                                    (the sample as saved, and as saved again
                                    after loading it back) and checks both
                                    files, then each further file given
    check_ezdxf.py FILE.dxf         checks one saved drawing

Each file is read with ezdxf's recovering loader and audited. Exit 77
(skipped) when ezdxf is not installed.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402


def check(path):
    doc, problems = dxfcheck.read(path, labelled=True)
    kinds = sorted({e.dxftype() for e in doc.modelspace()})
    print(path, "entities:", " ".join(kinds))
    return problems


def main():
    if len(sys.argv) == 2:
        problems = check(sys.argv[1])
        for p in problems:
            print(f"{sys.argv[1]}: {p}")
        return 1 if problems else 0
    program, outdir = sys.argv[1], sys.argv[2]
    os.makedirs(outdir, exist_ok=True)
    failures = []
    for mode in ("", "--reload"):
        path = os.path.join(outdir, "sample%s.dxf" % mode.replace("-", "_"))
        subprocess.run([program, path] + ([mode] if mode else []), check=True)
        for p in check(path):
            failures.append(f"{path}: {p}")
    for path in sys.argv[3:]:
        for p in check(path):
            failures.append(f"{path}: {p}")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

"""What the DXF fact checkers share: the drawing read by ezdxf's recovering
loader and audited, every error and fix either reports being a problem; the
entities that carry a record; the report of the problems found. Each
checker keeps its own facts.

Imported where ezdxf is not installed, it ends the checker with exit 77
(skipped).
"""
import sys

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)


def read(path, labelled=False):
    """The drawing and the problems its reading found; labelled, each
    problem names its step ("recover", "audit") and whether it was a fix."""
    doc, auditor = recover.readfile(path)
    audit = doc.audit()
    problems = []
    for step, found in (("recover", auditor), ("audit", audit)):
        if labelled:
            problems += [f"{step}: {e.message}" for e in found.errors]
            problems += [f"{step} fix: {f.message}" for f in found.fixes]
        else:
            problems += [e.message for e in found.errors] + [f.message for f in found.fixes]
    return doc, problems


def with_record(layout, app, kind="INSERT"):
    """The entities of the kind in the layout (or block) that carry the
    application's xdata, in the drawing's order."""
    return [e for e in layout.query(kind) if e.has_xdata(app)]


def report(path, problems):
    """Prints each problem after the file's name; the exit status."""
    for p in problems:
        print(f"{path}: {p}")
    return 1 if problems else 0

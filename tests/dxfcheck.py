"""What the DXF fact checkers share: the drawing read by ezdxf's recovering
loader and audited, every error and fix either reports being a problem; the
entities that carry a record and the slab record read from its xdata; the
report of the problems found. Each
checker keeps its own facts.

Imported where ezdxf is not installed, it ends the checker with exit 77
(skipped).
"""
import sys
from collections import namedtuple

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


SLAB_APP = "VELM5$_$VFALDA-"
SlabRecord = namedtuple("SlabRecord", "name thickness flag loops")


def slab_record(insert):
    """The slab record of an INSERT: its name (the first text), thickness
    (the first real), flag word (the number before the first loop) and
    loops, each a list of (x, y, z, flag) vertices."""
    name = thickness = flag = None
    loops, loop, pending = [], None, None
    for code, value in insert.get_xdata(SLAB_APP):
        if code == 1000 and name is None:
            name = value
        elif code == 1040 and thickness is None:
            thickness = value
        elif code == 1070 and flag is None and loop is None and not loops:
            flag = value
        elif code == 1002:
            if value == "{":
                loop = []
            else:
                loops.append(loop)
                loop = None
        elif code == 1011 and loop is not None:
            pending = tuple(value)
        elif code == 1070 and loop is not None and pending is not None:
            loop.append((*pending, value))
            pending = None
    return SlabRecord(name, thickness, flag, loops)


def report(path, problems):
    """Prints each problem after the file's name; the exit status."""
    for p in problems:
        print(f"{path}: {p}")
    return 1 if problems else 0

"""Reads a drawing of placed objects with ezdxf (recover and audit): no
errors and no fixes, and the door "P1" carries its parameter record (name,
type 11, the parameters in the reverse of their declaration order), its
outline record and its mark record with the kind "PORTE".

Usage: check_records_dxf.py DRAWING.dxf P1.txt. Exit 77 when ezdxf is missing.
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "dxfgen"))
try:
    import ezdxf  # noqa: F401
    from check_ezdxf import check
except ImportError:
    print("ezdxf missing: the DXF check is skipped")
    sys.exit(77)
from ezdxf import recover


def declared_parameters(definition):
    """Numbers of the parameters (quoted description, order digits, type)."""
    numbers = []
    with open(definition, encoding="utf-8") as f:
        in_var = False
        for line in f:
            if line.strip().upper() == "VAR":
                in_var = True
            elif line.strip().upper().startswith("END_VAR"):
                break
            elif in_var:
                m = re.match(r'[$#-](\d+)="[^"]*"\d+[ABDIRS]', line, re.IGNORECASE)
                if m:
                    numbers.append(int(m.group(1)))
    return numbers


def main():
    path, definition = sys.argv[1], sys.argv[2]
    problems = check(path)
    doc, _ = recover.readfile(path)
    wanted = list(reversed(declared_parameters(definition)))
    found = False
    for insert in doc.modelspace().query("INSERT"):
        if not insert.has_xdata("VELM5$_$PARAMETRI-"):
            continue
        params = list(insert.get_xdata("VELM5$_$PARAMETRI-"))
        if params[0].value != "P1":
            continue
        found = True
        if params[2] != (1070, 11):
            problems.append(f"P1 type {params[2]}")
        numbers = [v for c, v in params[8:] if c == 1070]
        if numbers != wanted:
            problems.append(f"P1 parameters {numbers}, wanted {wanted}")
        if not insert.has_xdata("VELM5$_$TAG3DISTR-"):
            problems.append("P1 without TAG3DISTR")
        if not insert.has_xdata("VELM6$_$ABINFISSI_OBJ-"):
            problems.append("P1 without ABINFISSI_OBJ")
        else:
            mark = list(insert.get_xdata("VELM6$_$ABINFISSI_OBJ-"))
            if mark[1] != (1000, "PORTE"):
                problems.append(f"P1 kind {mark[1]}")
    if not found:
        problems.append("no P1 object")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""The drawing and CSV file the room editing demo saved, read by an
independent reader: the drawing passes recover and audit, both halves of
the room split by the separation line are labelled with their own area and
perimeter (the edited label keeps them and shows its new destination), and
the extract holds one record per label, each after an empty line, with the
area in square metres and the template name last.

    check_rooms_edit.py FILE.dxf FILE.csv

Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)

LABEL = "VELM5$_$ETICHETTEVANI-"
HALF_AREA = 400.0 * 300.0  # each half of the clear 800 x 300 room
HALF_PERIMETER = 2 * (400.0 + 300.0)


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    audit = doc.audit()
    problems += [e.message for e in audit.errors] + [f.message for f in audit.fixes]

    labels = [e for e in doc.modelspace().query("INSERT") if e.has_xdata(LABEL)]
    if len(labels) != 2:
        problems.append(f"{len(labels)} labels, expected 2")
    destinations = []
    for label in labels:
        # Item 0 is the template name, item 1 variable 60, and so on.
        record = list(label.get_xdata(LABEL))
        if len(record) < 17:
            problems.append(f"label record of {len(record)} items")
            continue
        area, perimeter = record[1].value, record[4].value
        if abs(area - HALF_AREA) > 1e-6:
            problems.append(f"label area {area}, expected {HALF_AREA}")
        if abs(perimeter - HALF_PERIMETER) > 1e-6:
            problems.append(f"label perimeter {perimeter}, expected {HALF_PERIMETER}")
        destinations.append(record[16].value)
    if "Kuchnia" not in destinations:
        problems.append(f"destinations {destinations}, expected the edited Kuchnia among them")

    with open(sys.argv[2], encoding="utf-8", newline="") as f:
        text = f.read()
    lines = text.split("\n")
    # The template keeps its line feed and every record starts with one.
    if len(lines) != 5 or lines[0] or lines[2] or lines[4]:
        problems.append(f"extract {text!r}: expected two records, each after an empty line")
    else:
        for line in (lines[1], lines[3]):
            fields = line.split(";")
            if len(fields) != 8 or fields[2] != "12.00" or fields[-1] != "TMS_TAB1":
                problems.append(f"record {line!r}: expected the area 12.00 third and TMS_TAB1 last")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

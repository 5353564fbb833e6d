"""The drawing and the CSV file the schedules script saved, read by an
independent reader: the file is recovered and audited without errors or
fixes; the doors' table carries its record and was placed with the "DOORS"
parameter set; there is one row per door, numbered by the doors' marks; one
total counts the doors and sums their heights and areas; the CSV holds one
line per opening of the floor, as the extract pattern lays it out.

    check_schedules.py FILE.dxf FILE.csv

Exit 77 (skipped) when ezdxf is not installed.
"""
import sys

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)

MARK = "VELM6$_$ABINFISSI_OBJ-"
TABLE = "VELM6$_$ABINFISSI_TAB-"
ROW = "VELM6$_$ABINFISSI_ETI-"
TOTAL = "VELM6$_$ABINFISSI_TOT-"
PARAMS = "VELM5$_$PARAMETRI-"


def values(insert, app):
    return [t.value for t in insert.get_xdata(app)]


def attribs(insert):
    return {a.dxf.tag: a.dxf.text for a in insert.attribs}


def main():
    dxf, csv = sys.argv[1:3]
    doc, auditor = recover.readfile(dxf)
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    audit = doc.audit()
    problems += [e.message for e in audit.errors] + [f.message for f in audit.fixes]

    inserts = list(doc.modelspace().query("INSERT"))
    # Items 1, 2, 8, 9, 11 and 13 of a mark: definition, kind, number,
    # width, height, area.
    openings = [values(i, MARK) for i in inserts if i.has_xdata(MARK)]
    doors = [m for m in openings if m[1] == "PORTE"]
    if len(openings) != 3 or len(doors) != 2:
        problems.append(f"{len(openings)} openings, {len(doors)} doors; 3 and 2 expected")

    tables = [i for i in inserts if i.has_xdata(TABLE)]
    if len(tables) != 1:
        problems.append(f"{len(tables)} tables, 1 expected")
    else:
        table = tables[0]
        if values(table, TABLE) != ["VELMOA01", "DOORS", 20]:
            problems.append(f"table record {values(table, TABLE)}")
        params = values(table, PARAMS) if table.has_xdata(PARAMS) else []
        if params[:2] != ["ABC_TAB", "DOORS"]:
            problems.append(f"table parameters {params[:2]}, ABC_TAB placed with DOORS expected")

    rows = [i for i in inserts if i.has_xdata(ROW)]
    numbers = sorted(attribs(r).get("NR") for r in rows)
    if numbers != sorted(str(m[7]) for m in doors):
        problems.append(f"rows numbered {numbers}, the doors are {sorted(m[7] for m in doors)}")
    for r in rows:
        a = attribs(r)
        if values(r, ROW) != ["DOORS"] or a.get("TYP") != "P1" or a.get("SZER") != "90":
            problems.append(f"row {r.dxf.handle}: {values(r, ROW)} {a}")

    totals = [i for i in inserts if i.has_xdata(TOTAL)]
    if len(totals) != 1:
        problems.append(f"{len(totals)} totals, 1 expected")
    else:
        total = totals[0]
        a = attribs(total)
        expected = {
            "LICZBA": str(len(doors)),
            "SUMA2": f"{sum(m[10] for m in doors):.2f}",
            "SUMA3": f"{sum(m[12] for m in doors):.2f}",
        }
        if values(total, TOTAL) != ["VELMOA01", "DOORS"] or any(a.get(k) != v for k, v in expected.items()):
            problems.append(f"total {values(total, TOTAL)} {a}, {expected} expected")

    # "$058.00;$064.00;$057.00;$065.02;$066.02;$073.00;$075.00"
    with open(csv, encoding="utf-8") as f:
        lines = f.read().splitlines()
    got = sorted(tuple(line.split(";")[:4]) for line in lines)
    want = sorted((m[1], str(m[7]), m[0], f"{m[8]:.2f}") for m in openings)
    if got != want or any(len(line.split(";")) != 7 for line in lines):
        problems.append(f"CSV lines {lines}, {want} expected")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""The house the house_schedules script saved, read by an independent reader
and held against numbers worked out by hand, as an architect would check
the sheet before handing it out.

Clear rooms (axes 15..985 x 15..785, walls 30, partition 12 on x = 600):
room 1 is 564 x 740 cm, room 2 364 x 740 cm; the stair's footprint below
its cut (100 wide, 4 treads of 28) is taken off room 2. Areas in m2 and
lengths in m with two decimals. The print scale is 1:50 in centimetres:
card and schedule texts are 2.5 mm on paper (12.5 units), labels and
opening marks 3 mm (15 units).

    check_house_schedules.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import math
import sys

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf missing: the DXF check is skipped (install python3-ezdxf)")
    sys.exit(77)

LABEL = "VELM5$_$ETICHETTEVANI-"
ROW = "VELM5$_$RECORDVANI-"
CARD = "VELM5$_$TABELLEVANI-"
MARK = "VELM6$_$ABINFISSI_OBJ-"
TABLE = "VELM6$_$ABINFISSI_TAB-"
SCHEDULE_ROW = "VELM6$_$ABINFISSI_ETI-"
STAIR_FOOTPRINT = "VELM7$_$DETCOMPSCALE-"

ROOM1 = {"name": "Pokój dzienny", "area": 5.64 * 7.40, "perimeter": 2 * (5.64 + 7.40)}
ROOM2_GROSS = 3.64 * 7.40
STAIR = 1.00 * 4 * 0.28
ROOM2 = {"name": "Kuchnia", "area": ROOM2_GROSS - STAIR, "perimeter": 2 * (3.64 + 7.40)}
HEIGHT = "2.75"
TABLE_TEXT = 2.5 * 50 / 10  # 2.5 mm at 1:50, drawing units in centimetres
LABEL_TEXT = 15.0
STAIR_BOX = (870.0, 100.0, 970.0, 296.0)

# Per schedule, by mark number: width, height, then (number, name) of the
# room on the side the opening was placed from and on the other side.
DOORS = {
    1: ("100", "210", ("1", ROOM1["name"]), None),
    2: ("90", "205", ("1", ROOM1["name"]), ("2", ROOM2["name"])),
}
WINDOWS = {
    1: ("90", "150", ("2", ROOM2["name"]), None),
    2: ("150", "150", ("1", ROOM1["name"]), None),
}


def attribs(insert):
    return {a.dxf.tag: a for a in insert.attribs}


def texts(insert):
    return {tag: a.dxf.text for tag, a in attribs(insert).items()}


def near(a, b, tol=1e-6):
    return abs(a - b) <= tol


def world_texts(doc, insert):
    """The TEXT entities of an INSERT's block, placed and turned as drawn."""
    angle = math.radians(insert.dxf.rotation)
    base = insert.dxf.insert
    out = []
    for t in doc.blocks[insert.dxf.name].query("TEXT"):
        p = t.dxf.align_point if t.dxf.halign or t.dxf.valign else t.dxf.insert
        x = base.x + p.x * math.cos(angle) - p.y * math.sin(angle)
        y = base.y + p.x * math.sin(angle) + p.y * math.cos(angle)
        out.append((t.dxf.text, x, y, (t.dxf.rotation + insert.dxf.rotation) % 360.0, t.dxf.height))
    return out


def check_rooms(doc, inserts, problems):
    labels = sorted((i for i in inserts if i.has_xdata(LABEL)), key=lambda i: texts(i).get("NUMER", ""))
    rows = {i.get_xdata(ROW)[1].value: i for i in inserts if i.has_xdata(ROW)}
    if len(labels) != 2 or sorted(rows) != [1, 2]:
        problems.append(f"{len(labels)} labels and rows {sorted(rows)}; 2 and [1, 2] expected")
        return
    for number, (label, room) in enumerate(zip(labels, (ROOM1, ROOM2)), start=1):
        shown = texts(label)
        area = f"{room['area']:.2f}"
        if shown.get("POW") != area or shown.get("WYS") != HEIGHT or shown.get("PRZEZN") != room["name"]:
            problems.append(f"label {number} shows {shown}; {area} m2, {HEIGHT} m expected")
        # Nothing else on the area's line: the marker of fixed values is
        # drawn only for a label that has them.
        pow_y = attribs(label)["POW"].dxf.insert.y
        crowd = [t for t, a in attribs(label).items() if t != "POW" and near(a.dxf.insert.y, pow_y, 1e-3)]
        if crowd:
            problems.append(f"label {number}: {crowd} on the line of its area")
        for tag, a in attribs(label).items():
            if not near(a.dxf.height, LABEL_TEXT, 1e-6):
                problems.append(f"label {number} {tag} {a.dxf.height} high, {LABEL_TEXT} expected")
        notes = [t for t in world_texts(doc, label) if t[0].startswith("odliczenia")]
        if number == 1 and notes:
            problems.append(f"label 1 notes a deduction it does not have: {notes}")
        if number == 2:
            want = f"odliczenia: {STAIR:.2f}"
            if [n[0] for n in notes] != [want]:
                problems.append(f"label 2 notes {[n[0] for n in notes]}; {want!r} expected")
            elif not near(float(shown.get("POW", "nan")) + STAIR, ROOM2_GROSS, 0.006):
                problems.append("label 2: area and deduction do not add up to the room")

        row = texts(rows[number])
        want = {"PRZEZN": room["name"], "POW": area, "OBWOD": f"{room['perimeter']:.2f}", "WYS": HEIGHT}
        if row != want:
            problems.append(f"card row {number} shows {row}; {want} expected")
        for tag, a in attribs(rows[number]).items():
            if not near(a.dxf.height, TABLE_TEXT):
                problems.append(f"card row {number} {tag} {a.dxf.height} high, {TABLE_TEXT} expected")

    # The stair as written: its footprint below the cut is what room 2 lost.
    stairs = [i for i in inserts if i.has_xdata(STAIR_FOOTPRINT)]
    if len(stairs) == 1:
        pts = [t.value for t in stairs[0].get_xdata(STAIR_FOOTPRINT) if t.code == 1011]
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        footprint = (max(xs) - min(xs)) * (max(ys) - min(ys)) / 10000.0
        if not near(footprint, STAIR, 1e-9):
            problems.append(f"stair footprint {footprint} m2, {STAIR} expected")
    cards = [i for i in inserts if i.has_xdata(CARD)]
    for card in cards:
        for text in doc.blocks[card.dxf.name].query("TEXT"):
            if not near(text.dxf.height, TABLE_TEXT):
                problems.append(f"card text {text.dxf.text!r} {text.dxf.height} high, {TABLE_TEXT} expected")


def check_schedules(doc, inserts, problems):
    tables = {i.get_xdata(TABLE)[1].value: i for i in inserts if i.has_xdata(TABLE)}
    if sorted(tables) != ["DOORS", "WINDOWS"]:
        problems.append(f"schedules {sorted(tables)}; DOORS and WINDOWS expected")
    for name, table in tables.items():
        for text in doc.blocks[table.dxf.name].query("TEXT"):
            if not near(text.dxf.height, TABLE_TEXT):
                problems.append(f"{name} heading {text.dxf.text!r} {text.dxf.height} high")
    for name, want in (("DOORS", DOORS), ("WINDOWS", WINDOWS)):
        rows = [i for i in inserts if i.has_xdata(SCHEDULE_ROW) and i.get_xdata(SCHEDULE_ROW)[0].value == name]
        got = {}
        for r in rows:
            a = texts(r)
            for tag, att in attribs(r).items():
                if not near(att.dxf.height, TABLE_TEXT):
                    problems.append(f"{name} row {a.get('NR')} {tag} {att.dxf.height} high")
            own = (a.get("NR1"), a.get("POM1")) if "NR1" in a else None
            other = (a.get("NR2"), a.get("POM2")) if "NR2" in a else None
            got[int(a.get("NR", "0"))] = (a.get("SZER"), a.get("WYS"), own, other)
            if (a.get("TYP"), a.get("POM2", "")) != ({"DOORS": "P1", "WINDOWS": "F1"}[name], other[1] if other else ""):
                problems.append(f"{name} row {a}")
        if got != want:
            problems.append(f"{name} rows {got}; {want} expected")


def check_marks(doc, inserts, problems):
    for opening in (i for i in inserts if i.has_xdata(MARK)):
        for text, x, y, angle, height in world_texts(doc, opening):
            # Read from the bottom or from the right of the sheet.
            if 90.0 + 1e-6 < angle < 270.0 - 1e-6 or near(angle, 270.0):
                problems.append(f"mark {text!r} at ({x:.1f}, {y:.1f}) turned {angle:.1f} degrees: upside down")
            if not near(height, LABEL_TEXT):
                problems.append(f"mark {text!r} {height} high")
            if text.startswith("W-"):
                x0, y0, x1, y1 = STAIR_BOX
                inside_house = 0.0 < x < 1000.0 and 0.0 < y < 800.0
                if inside_house or (x0 <= x <= x1 and y0 <= y <= y1):
                    problems.append(f"window mark {text!r} at ({x:.1f}, {y:.1f}) inside the house")


def main():
    doc, auditor = recover.readfile(sys.argv[1])
    problems = [e.message for e in auditor.errors] + [f.message for f in auditor.fixes]
    audit = doc.audit()
    problems += [e.message for e in audit.errors] + [f.message for f in audit.fixes]
    inserts = list(doc.modelspace().query("INSERT"))
    check_rooms(doc, inserts, problems)
    check_schedules(doc, inserts, problems)
    check_marks(doc, inserts, problems)
    for p in problems:
        print(f"{sys.argv[1]}: {p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

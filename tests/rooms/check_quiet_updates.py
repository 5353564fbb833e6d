"""What quiet_updates.scr left, read by an independent reader: the whole
floor measured again and the rooms renumbered without a question, with the
object parameters asked in the dialog and on the command line alike.

    check_quiet_updates.py FILE.dxf TRANSCRIPT

From the first update on, the transcript shows neither the parameter dialog
nor the parameter set prompt nor its failure. The drawing holds the two
labels with the areas measured last (room 1 470 x 370, room 2 370 x 370
after its east face moved twice) and the numbers given last (1 and 2), a
row of each number on the card, and one total summing both areas; the card,
its labels, rows and total all under the card's new name.

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402

LABEL = "VELM5$_$ETICHETTEVANI-"
ROW = "VELM5$_$RECORDVANI-"
TOTAL = "VELM5$_$TOTABVANI-"
CARD = "VELM5$_$TABELLEVANI-"
NAME = "Parter"  # the card renamed last
M2 = 10000.0  # square centimetres in a square metre
# The interior point's x of each room, its clear area and its number.
ROOMS = {250.0: (470.0 * 370.0, 1), 750.0: (370.0 * 370.0, 2)}
QUESTIONS = ("[okno 150]", "Nazwa ustawionych parametrów", "Ustawienie parametrów nie jest zdefiniowane")


def main():
    with open(sys.argv[2], encoding="utf-8") as f:
        transcript = f.read()
    doc, problems = dxfcheck.read(sys.argv[1])

    start = transcript.find("Polecenie: VELMSUNITR")
    if start < 0:
        problems.append("the transcript shows no VELMSUNITR")
    for question in QUESTIONS:
        if start >= 0 and question in transcript[start:]:
            problems.append(f"an update asked: {question!r} in the transcript")

    msp = doc.modelspace()
    labels = dxfcheck.with_record(msp, LABEL)
    if len(labels) != 2:
        problems.append(f"{len(labels)} labels, expected 2")
    for label in labels:
        record = list(label.get_xdata(LABEL))
        # The record: template name, variables 60 to 84, leader, height flag,
        # the interior point and the insertion point.
        points = [t.value for t in record if t.code == 1011]
        if len(record) < 20 or not points:
            problems.append(f"label record too short: {record[:3]}")
            continue
        x = round(points[0][0])
        if x not in ROOMS:
            problems.append(f"label of a room at x = {x}, expected one of {sorted(ROOMS)}")
            continue
        area, number = ROOMS[x]
        if abs(record[1].value - area) > 1e-6:
            problems.append(f"room at x = {x}: area {record[1].value}, expected {area}")
        if record[19].value != number:  # variable 78
            problems.append(f"room at x = {x}: number {record[19].value}, expected {number}")
        if record[20].value != NAME:  # variable 79
            problems.append(f"room at x = {x}: card {record[20].value!r}, expected {NAME!r}")

    cards = [list(c.get_xdata(CARD)) for c in dxfcheck.with_record(msp, CARD)]
    if [c[1].value for c in cards if len(c) > 1] != [NAME]:
        problems.append(f"cards {[[t.value for t in c] for c in cards]}, expected one named {NAME!r}")
    rows = dxfcheck.with_record(msp, ROW)
    if any(list(r.get_xdata(ROW))[0].value != NAME for r in rows):
        problems.append(f"a row not on the card {NAME!r}")
    numbers = sorted(list(r.get_xdata(ROW))[1].value for r in rows)
    if numbers != [1, 2]:
        problems.append(f"card rows numbered {numbers}, expected [1, 2]")
    for row in rows:
        number = list(row.get_xdata(ROW))[1].value
        shown = {a.dxf.tag: a.dxf.text for a in row.attribs}
        expected = [a for a, n in ROOMS.values() if n == number]
        try:
            value = float(shown.get("POW", "nan"))
        except ValueError:
            value = float("nan")
        if expected and not abs(value - expected[0] / M2) <= 0.006:
            problems.append(f"row {number} shows area {shown.get('POW')!r}, expected {expected[0] / M2:.2f}")

    totals = dxfcheck.with_record(msp, TOTAL)
    if len(totals) != 1:
        problems.append(f"{len(totals)} totals, expected 1")
    else:
        record = list(totals[0].get_xdata(TOTAL))
        if len(record) < 2 or record[1].value != NAME:
            problems.append(f"the total is of the card {[t.value for t in record]}, expected {NAME!r}")
        shown = {a.dxf.tag: a.dxf.text for a in totals[0].attribs}
        whole = sum(a for a, _ in ROOMS.values()) / M2
        try:
            value = float(shown.get("SUMA60", "nan"))
        except ValueError:
            value = float("nan")
        if not abs(value - whole) <= 0.006:
            problems.append(f"the total shows {shown.get('SUMA60')!r}, expected {whole:.2f}")
    return dxfcheck.report(sys.argv[1], problems)


if __name__ == "__main__":
    sys.exit(main())

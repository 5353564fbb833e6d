"""The drawing the room update script saved, read by an independent reader:
the room label's record holds 31 items and the clear area after the wall
moved, the card carries its record, and its one row shows the new area in
square metres (the record keeps square centimetres).

    check_room_update_dxf.py FILE.dxf

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import dxfcheck  # noqa: E402

LABEL = "VELM5$_$ETICHETTEVANI-"
CARD = "VELM5$_$TABELLEVANI-"
ROW = "VELM5$_$RECORDVANI-"
# Clear room before and after the inner face of the right wall moved 50 in.
OLD_AREA = 570.0 * 370.0
NEW_AREA = 520.0 * 370.0
M2 = 10000.0  # square centimetres in a square metre


def main():
    doc, problems = dxfcheck.read(sys.argv[1])

    labels, cards, rows = (dxfcheck.with_record(doc.modelspace(), app) for app in (LABEL, CARD, ROW))
    for name, found in (("label", labels), ("card", cards), ("row", rows)):
        if len(found) != 1:
            problems.append(f"{len(found)} INSERTs with the {name} record, expected 1")
    if labels:
        # The record as stored: the application name, then its items.
        record = list(labels[0].get_xdata(LABEL))
        if len(record) + 1 != 31:
            problems.append(f"label record holds {len(record) + 1} items, expected 31")
        if len(record) < 2 or record[0].value != "TMS_TAB1":
            problems.append(f"label record starts {record[:1]}, expected the template TMS_TAB1")
        elif record[1].code != 1040 or abs(record[1].value - NEW_AREA) > 1e-6:
            problems.append(f"label area (variable 60) {record[1].value}, expected {NEW_AREA}")
    if cards:
        record = list(cards[0].get_xdata(CARD))
        if not record or record[0].value != "TMS_TAB1":
            problems.append(f"card record {record}, expected the template TMS_TAB1 first")
    if rows:
        record = list(rows[0].get_xdata(ROW))
        if len(record) != 2 or record[1].code != 1070 or record[1].value != 1:
            problems.append(f"row record {record}, expected the card name and row 1")
        shown = {a.dxf.tag: a.dxf.text for a in rows[0].attribs}
        try:
            area = float(shown.get("POW", "nan"))
        except ValueError:
            area = float("nan")
        if abs(area - NEW_AREA / M2) > 0.006:
            problems.append(f"row shows area {shown.get('POW')!r}, expected the new {NEW_AREA / M2:.2f}"
                            + (" (the row was not rewritten)" if abs(area - OLD_AREA / M2) < 0.006 else ""))
    return dxfcheck.report(sys.argv[1], problems)


if __name__ == "__main__":
    sys.exit(main())

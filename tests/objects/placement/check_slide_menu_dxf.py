"""The drawing the slide-menu script saved, and the table definition it
edited, read by an independent reader: the drawing recovers and audits
without errors or fixes; the table placed from the menu carries the width
typed in the parameter dialog, the one placed from the set editor the new
set's width and name; the edited definition is the shipped one with the
new set added to its TYPO section and every other line as it was.

    check_slide_menu_dxf.py FILE.dxf SHIPPED/TAV1.txt COPIED/TAV1.txt

Exit 77 (skipped) when ezdxf is not installed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import dxfcheck  # noqa: E402

RECORD = "VELM5$_$PARAMETRI-"
WIDTH = 42
MENU_WIDTH = 95.0
NEW_SET = "Stół 120x90"
NEW_SET_VALUES = {40: 120.0, 42: 90.0, 43: 75.0}
WIDTH_VAR_LINE = '$42="Szerokość stołu"02D95'


def record(insert):
    """Name, set name and numbered values of an object's parameter record."""
    tags = [(t.code, t.value) for t in insert.get_xdata(RECORD)]
    start = max(i for i, (code, _) in enumerate(tags) if code == 1010) + 1
    values = {}
    for (code, number), (_, value) in zip(tags[start::2], tags[start + 1 :: 2]):
        if code == 1070:
            values[number] = value
    return tags[0][1], tags[1][1], values


def split_typo(lines):
    """The lines before the TYPO section, its sets, and the lines after it."""
    begin = next(i for i, line in enumerate(lines) if line.strip().upper() == "TYPO")
    end = next(i for i, line in enumerate(lines) if line.strip().upper() == "END_TYPO")
    sets = []
    body = lines[begin + 1 : end]
    i = 0
    while i < len(body):
        if body[i].strip().upper() == "BEGIN":
            sets.append((body[i + 1].strip(), {}))
            i += 2
            continue
        number, value = body[i].split("=", 1)
        sets[-1][1][int(number.strip().lstrip("$"))] = float(value)
        i += 1
    return lines[:begin], sets, lines[end + 1 :]


def check_definition(shipped, copied, problems):
    with open(shipped, encoding="utf-8") as f:
        before = f.read().splitlines()
    with open(copied, encoding="utf-8") as f:
        after = f.read().splitlines()
    head0, sets0, tail0 = split_typo(before)
    head1, sets1, tail1 = split_typo(after)
    # The width typed in the parameter dialog is remembered as the default.
    head0 = [WIDTH_VAR_LINE if line.startswith(f"${WIDTH}=") else line for line in head0]
    if head1 != head0 or tail1 != tail0:
        problems.append("lines outside the TYPO section changed")
    if sets1 != sets0 + [(NEW_SET, NEW_SET_VALUES)]:
        problems.append(f"parameter sets {sets1}, the shipped ones and {NEW_SET!r} expected")


def main():
    doc, problems = dxfcheck.read(sys.argv[1])
    tables = [record(i) for i in doc.modelspace().query("INSERT") if i.has_xdata(RECORD)]
    if len(tables) != 2 or any(name.upper() != "TAV1" for name, _, _ in tables):
        problems.append(f"objects {[t[0] for t in tables]}, two TAV1 expected")
    else:
        by_set = {set_name: values for _, set_name, values in tables}
        if NEW_SET not in by_set:
            problems.append(f"set names {list(by_set)}, {NEW_SET!r} expected on one table")
        else:
            width = by_set.pop(NEW_SET).get(WIDTH)
            if width is None or abs(width - 90.0) > 1e-6:
                problems.append(f"the second table's width is {width}, 90 expected")
            width = next(iter(by_set.values())).get(WIDTH)
            if width is None or abs(width - MENU_WIDTH) > 1e-6:
                problems.append(f"the first table's width is {width}, {MENU_WIDTH} expected")
    check_definition(sys.argv[2], sys.argv[3], problems)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""Copies a saved drawing with the hidden-line flag of its view records set
to 1, as a view made by an older release may hold it: the second 1070 of
each "VELMP$_$VISTASEZ-" record. The file is edited as text, group by
group, so nothing else of it changes.

    set_view_hidden_flag.py IN.dxf OUT.dxf

Exit 1 when the drawing holds no view record to change.
"""
import sys

VIEW_APP = "VELMP$_$VISTASEZ-"


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    changed = 0
    shorts = None  # 1070 groups seen in the view record being read
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1]
        if code == "1001" or code == "0":
            shorts = 0 if code == "1001" and value.strip() == VIEW_APP else None
        elif code == "1070" and shorts is not None:
            shorts += 1
            if shorts == 2:
                lines[i + 1] = "1" + ("\r" if value.endswith("\r") else "")
                changed += 1
                shorts = None
    if not changed:
        print("%s: no view record with a hidden-line flag" % sys.argv[1])
        return 1
    with open(sys.argv[2], "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(lines))
    print("%s: %d view records set to hidden lines" % (sys.argv[2], changed))
    return 0


if __name__ == "__main__":
    sys.exit(main())

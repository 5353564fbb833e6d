"""Copies a saved drawing as a view made by an older release may leave it:
the hidden-line flag of its view records set to 1 (the second 1070 of each
"VELMP$_$VISTASEZ-" record) and, when given, another light direction in
the drawing's settings store (the point of slot 267, SETOMBRE_DIRLUCE,
which no command sets). The file is edited as text, group by group, so
nothing else of it changes.

    hidden_view_drawing.py IN.dxf OUT.dxf [--light X,Y,Z]

Exit 1 when the drawing holds no view record, or no light, to change.
"""
import sys

VIEW_APP = "VELMP$_$VISTASEZ-"
LIGHT_SLOT = 267


def set_hidden_flags(lines):
    changed = 0
    shorts = None  # 1070 groups seen in the view record being read
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1]
        if code in ("1001", "0"):
            shorts = 0 if code == "1001" and value.strip() == VIEW_APP else None
        elif code == "1070" and shorts is not None:
            shorts += 1
            if shorts == 2:
                lines[i + 1] = "1" + ("\r" if value.endswith("\r") else "")
                changed += 1
                shorts = None
    return changed


def set_light(lines, light):
    """The settings store files its slots in order after its class marker,
    one group each (a point is 1010 with its 1020 and 1030)."""
    slot = None
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1].strip()
        if slot is None:
            if code == "100" and value == "VELM_SETUP":
                slot = 0
            continue
        if code == "0":
            return False
        if code in ("1020", "1030"):
            continue
        if slot == LIGHT_SLOT:
            if code != "1010" or [lines[i + 2].strip(), lines[i + 4].strip()] != ["1020", "1030"]:
                return False
            end = "\r" if lines[i + 1].endswith("\r") else ""
            for k, v in enumerate(light):
                lines[i + 1 + 2 * k] = repr(float(v)) + end
            return True
        slot += 1
    return False


def main():
    args = sys.argv[1:]
    light = None
    if "--light" in args:
        at = args.index("--light")
        light = args[at + 1].split(",")
        del args[at:at + 2]
    with open(args[0], encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    changed = set_hidden_flags(lines)
    if not changed:
        print("%s: no view record with a hidden-line flag" % args[0])
        return 1
    if light and not set_light(lines, light):
        print("%s: no light direction in the settings store" % args[0])
        return 1
    with open(args[1], "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(lines))
    print("%s: %d view records set to hidden lines%s" %
          (args[1], changed, ", the light from %s" % ",".join(light) if light else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())

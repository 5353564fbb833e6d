#!/usr/bin/env python3
"""Structural check of the text support files shipped in support/.

Each file is parsed by its own format the way the module reads it (field
scans, line limits, wildcard matching) and checked against the rules that
keep a new drawing working: every line parses, keys are unique, colours and
line weights are values the host accepts, every linetype and pattern the
files use is defined, and the view-mode lists name only catalogue layers and
cover every 2D and 3D layer.

The object definitions ("*.txt", with their include files) are checked
structurally: a VAR section of well-formed declarations, parameter sets
that name every parameter with a readable value, and a DRAW section whose
statements are drawn on layers of the catalogue.

Limits: the host's wildcard syntax is checked only for the subset the lists
use ("*" and "?"); other special characters are reported rather than
interpreted. Hatch geometry is checked for well-formed families, not drawn.

The module's files lie in SUPPORT_DIR; the host's standard pattern and
linetype files ("zwcadiso.pat", "zwcad.lin") in its subfolder host/.

Usage: check_support.py [SUPPORT_DIR]   (default: support/ beside tests/)
Exit status 0 when every file passes, 1 otherwise.
"""

import os
import re
import sys

# Element keys the module hands to the layer service or forms from its
# settings; a catalogue without one of them gives that element a bare
# default layer.
REQUIRED_KEYS = [
    "2DWALLS", "2DWALLL", "2DFUNL", "3DWALLS", "3DWALLS_H",
    "2DOPENINGS_W", "3DOPENINGS_W", "2DWINDOWS_S", "3DWINDOWS", "VELM_FIXEDP_X",
    "FLOORSLAB", "3DFLOORSLAB_S", "3DFLOORSLAB_T", "3DFLOORSLAB_B",
    "2DFLOORSLAB", "3DFLOORSLAB_H",
    "ROOFSLAB", "3DROOFSLAB_S", "3DROOFSLAB_T", "3DROOFSLAB_B",
    "2DROOFSLAB", "3DROOFSLAB_H", "HELPLINES",
    "GIRDER", "3DGIRDER", "2DGIRDER", "3DEAVES", "3DVAULT",
    "3DSWALK", "2DSWALK", "3DSWALK_H", "PARAPETS",
    "STAIRS", "2DSTAIRS", "2DSTAIRS_CUT", "2DSTAIRS_PL", "2DSTAIRS_AC",
    "3DSTAIRS", "3DSTAIRS_TR", "3DSTAIRS_RI", "3DSTAIRS_HR", "3DSTAIRS_RL",
    "3DRAILINGS_PR",
    "2DROOMDATA", "2DCONTOUR", "2DABCDATA", "ROOMTRIANGLE", "2DROOMTRIANGLE",
    "2DROOMTRIANGLE_COD", "2DROOMTRIANGLE_VAL",
    "2DDIM_P", "2DDIM_R", "2DELEV_DIM",
    "HATCH3D", "HATCHFLOOR",
    "VELMSECTION", "VELMSECTION_SEC", "VELMSECTION_BRK", "VELMSECTION_H",
    "2DSHADE_H", "2DSHADE_L", "2DMESH",
]

# Pattern names the module's defaults ask the hatch service for.
REQUIRED_PATTERNS = ["ANGLE", "ANSI31", "AR-HBONE", "SOLID", "VELSTONE", "VELTILE"]

# The line weights the host offers (hundredths of a millimetre) and the
# three special values default, by block, by layer.
LINE_WEIGHTS = {-3, -2, -1, 0, 5, 9, 13, 15, 18, 20, 25, 30, 35, 40, 50, 53,
                60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211}

HOST_PATTERNS = "host/zwcadiso.pat"
HOST_LINETYPES = "host/zwcad.lin"

CONFIG_KEYS = {"STR_INF_VANI": int, "NUM_INF_VANI": int, "PATHCATALOG": str}

LAYER_LINE_MAX = 258      # longer catalogue lines are read in pieces
LIST_LINE_MAX = 122       # list lines are read 123 characters at a time
CONFIG_LINE_MAX = 256
NUMBER = r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?"


class Report:
    def __init__(self):
        self.errors = []

    def error(self, name, lineno, text):
        where = f"{name}:{lineno}" if lineno else name
        self.errors.append(f"{where}: {text}")


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = argv[1] if len(argv) > 1 else os.path.join(here, "..", "..", "support")
    report = Report()
    check_support_folder(folder, report)
    for line in report.errors:
        print(line)
    print(f"{len(report.errors)} problem(s) in {os.path.normpath(folder)}")
    return 1 if report.errors else 0


def check_support_folder(folder, report):
    lines = {}
    for name in ["LAYERC.DEF", "TCLAYERC.DEF", "VELMDCONFIG.CFG", "VXD.LST",
                 "VLTETTI.LST", "VLSOLAI.LST"]:
        lines[name] = read_text_lines(folder, name, report)
    # The host's own pattern and linetype files sit apart from the module's
    # folder: the pattern picker takes every .pat file beside VXD.LST for a
    # pattern of that name.
    for name in [HOST_PATTERNS, HOST_LINETYPES]:
        lines[name] = read_text_lines(folder, name, report)
    own_patterns = sorted(f for f in os.listdir(folder) if f.lower().endswith(".pat"))
    for name in own_patterns:
        lines[name] = read_text_lines(folder, name, report)

    linetypes = check_linetype_file(HOST_LINETYPES, lines[HOST_LINETYPES], report)
    catalogue = check_catalogue("LAYERC.DEF", lines["LAYERC.DEF"], linetypes, report)
    for key in REQUIRED_KEYS:
        if key.upper() not in catalogue:
            report.error("LAYERC.DEF", 0, f"no row for the element key {key}")
    subset = check_catalogue("TCLAYERC.DEF", lines["TCLAYERC.DEF"], linetypes, report)
    check_subset_agrees("TCLAYERC.DEF", subset, catalogue, report)

    check_config("VELMDCONFIG.CFG", lines["VELMDCONFIG.CFG"], report)

    layers = [row["layer"] for row in catalogue.values()]
    check_view_mode_list("VXD.LST", lines["VXD.LST"], layers, report)
    for name in ["VLTETTI.LST", "VLSOLAI.LST"]:
        check_plain_list(name, lines[name], layers, report)

    check_definitions(folder, catalogue, report)

    patterns = check_pattern_file(HOST_PATTERNS, lines[HOST_PATTERNS], report)
    for name in own_patterns:
        own = check_pattern_file(name, lines[name], report)
        stem = name[:-4].upper()
        if list(own) != [stem]:
            report.error(name, 0, f"a pattern file must define exactly the pattern {stem}")
        for pattern in own:
            if pattern in patterns:
                report.error(name, 0, f"pattern {pattern} is defined twice")
            patterns[pattern] = own[pattern]
    for pattern in REQUIRED_PATTERNS:
        if pattern not in patterns:
            report.error(HOST_PATTERNS, 0, f"the pattern {pattern} is not defined")

    check_wall_types(folder, patterns, catalogue, report)
    check_room_labels(folder, report)
    check_block_catalogue(folder, catalogue, report)


def read_text_lines(folder, name, report):
    """Lines of a support file without their line ends; None when unusable."""
    path = os.path.join(folder, name)
    try:
        with open(path, "rb") as stream:
            data = stream.read()
    except OSError as exc:
        report.error(name, 0, f"cannot be read: {exc.strerror}")
        return []
    if data.startswith(b"\xef\xbb\xbf"):
        # A byte-order mark would hide the "**" or "V2D" that opens line 1.
        report.error(name, 1, "starts with a byte-order mark")
    if b"\r" in data:
        report.error(name, 0, "has carriage returns; lines must end with LF only")
    if data and not data.endswith(b"\n"):
        # The list readers drop the last character of every line.
        report.error(name, 0, "last line has no line end")
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as exc:
        report.error(name, 0, f"is not UTF-8: {exc}")
        return []
    return text.split("\n")[:-1] if text.endswith("\n") else text.split("\n")


# --- layer catalogue -------------------------------------------------------

ROW = re.compile(r"^([^,]+),([^,]+),(-?\d+),([^,]+),([^,]+),(-?\d+)$")
SYMBOL = re.compile(r"^[A-Za-z0-9_$\-]+$")


def check_catalogue(name, lines, linetypes, report):
    """Rows keyed by upper-case element key, as the layer service looks them up."""
    rows = {}
    section = None            # (group, subgroup or None) the next row falls in
    counts = {}               # rows per section, in file order
    for lineno, line in enumerate(lines, 1):
        if len(line) > LAYER_LINE_MAX:
            report.error(name, lineno, "line longer than the reader's buffer")
        if line.startswith("**"):
            sub = line.startswith("***")
            title = group_title(name, lineno, line[3:] if sub else line[2:], report)
            if sub and section is None:
                report.error(name, lineno, "subgroup before any group")
                continue
            section = (section[0], title) if sub else (title, None)
            if section in counts:
                report.error(name, lineno, f"group {'%'.join(filter(None, section))} repeated")
            counts[section] = 0
            continue
        match = ROW.match(line)
        if not match:
            report.error(name, lineno, "not a row of six comma-separated fields")
            continue
        if section is None:
            report.error(name, lineno, "row before any group")
        else:
            counts[section] += 1
        row = check_row(name, lineno, match.groups(), linetypes, report)
        if row["key"].upper() in rows:
            report.error(name, lineno, f"key {row['key']} repeated")
        rows[row["key"].upper()] = row
    for (group, sub), count in counts.items():
        has_subgroups = any(g == group and s is not None for g, s in counts)
        if count == 0 and (sub is not None or not has_subgroups):
            report.error(name, 0, f"group {'%'.join(filter(None, (group, sub)))} has no rows")
    return rows


def check_row(name, lineno, fields, linetypes, report):
    key, layer, colour, spare, linetype, weight = fields
    if not SYMBOL.match(layer):
        report.error(name, lineno, f"layer name {layer!r} is not a valid symbol name")
    # Layers of a floor are found again as "VELM" + key + "$" + level, and
    # the 2D/3D view rule reads the prefix of the name, so the name must be
    # the key itself.
    if layer != key:
        report.error(name, lineno, f"layer name {layer} differs from its key {key}")
    if not 1 <= int(colour) <= 255:
        report.error(name, lineno, f"colour {colour} is not 1-255")
    if any(ord(c) < 32 for c in spare):
        report.error(name, lineno, "spare text holds control characters")
    if linetype.upper() != "CONTINUOUS" and linetype.upper() not in linetypes:
        report.error(name, lineno, f"linetype {linetype} is not in zwcad.lin")
    if int(weight) not in LINE_WEIGHTS:
        report.error(name, lineno, f"line weight {weight} is not one the host offers")
    return {"key": key, "layer": layer, "colour": int(colour),
            "linetype": linetype, "weight": int(weight)}


def group_title(name, lineno, rest, report):
    if not rest.endswith(",") or rest.count(",") != 1:
        # Without its closing comma the title would take in the line end.
        report.error(name, lineno, "group line must be the title and one comma")
    title = rest.split(",")[0]
    if not title.strip():
        report.error(name, lineno, "empty group title")
    if "%" in title:
        report.error(name, lineno, "group title holds '%', the group path separator")
    return title


def check_subset_agrees(name, subset, catalogue, report):
    for key, row in subset.items():
        full = catalogue.get(key)
        if full is None:
            report.error(name, 0, f"key {row['key']} is not in LAYERC.DEF")
        elif any(full[f] != row[f] for f in ("layer", "colour", "linetype", "weight")):
            report.error(name, 0, f"key {row['key']} differs from LAYERC.DEF")


# --- configuration file ----------------------------------------------------

def check_config(name, lines, report):
    seen = set()
    for lineno, line in enumerate(lines, 1):
        if len(line) > CONFIG_LINE_MAX:
            report.error(name, lineno, "line longer than the reader's buffer")
        if not line.strip() or line.startswith("#"):
            continue
        key, sep, value = line.partition("=")
        if not sep or key not in CONFIG_KEYS:
            report.error(name, lineno, f"unknown entry {line!r}")
            continue
        if key in seen:
            report.error(name, lineno, f"key {key} repeated; only the first counts")
        seen.add(key)
        if CONFIG_KEYS[key] is int and not re.match(r"^\s*[-+]?\d+\s*$", value):
            report.error(name, lineno, f"{key} needs an integer value")
        if not value:
            report.error(name, lineno, f"{key} has an empty value and would not match")
    for key in ("STR_INF_VANI", "NUM_INF_VANI"):
        if key not in seen:
            report.error(name, 0, f"no entry for {key}")


# --- view-mode lists -------------------------------------------------------

def wildcard_to_regex(pattern):
    parts = []
    for char in pattern:
        if char == "*":
            parts.append(".*")
        elif char == "?":
            parts.append(".")
        else:
            parts.append(re.escape(char))
    return re.compile("^" + "".join(parts) + "$")


def layer_forms(layer):
    """The names a catalogue layer takes in a drawing: bare and on floors."""
    return [layer, f"VELM{layer}$0", f"VELM{layer}$300", f"VELM{layer}$-20.5"]


def check_pattern_line(name, lineno, line, layers, report):
    if len(line) > LIST_LINE_MAX:
        report.error(name, lineno, "line longer than the reader's buffer")
    if not line or line != line.strip():
        report.error(name, lineno, "empty pattern or blanks around it")
        return None
    if line != line.upper():
        report.error(name, lineno, "pattern not in upper case")
    if re.search(r"[#@.~\[\]`,]", line):
        report.error(name, lineno, "pattern uses wildcard characters this check does not read")
        return None
    regex = wildcard_to_regex(line)
    if not any(regex.match(form) for layer in layers for form in layer_forms(layer)):
        report.error(name, lineno, f"pattern {line} names no layer of the catalogue")
    return regex


def check_view_mode_list(name, lines, layers, report):
    markers = [i for i, l in enumerate(lines) if l[:3].upper() in ("V2D", "V3D", "END")]
    kinds = [lines[i][:3].upper() for i in markers]
    if kinds != ["V2D", "V3D", "END"]:
        report.error(name, 0, f"sections must be V2D, V3D, END once each; found {kinds}")
        return
    first, second, end = markers
    if end != len(lines) - 1:
        report.error(name, end + 1, "lines after END are ignored")
    lists = {}
    for label, start, stop in (("2D", first, second), ("3D", second, end)):
        lists[label] = [check_pattern_line(name, n + 1, lines[n], layers, report)
                        for n in range(start + 1, stop)]
    for layer in layers:
        for form in layer_forms(layer):
            in2 = any(r and r.match(form) for r in lists["2D"])
            in3 = any(r and r.match(form) for r in lists["3D"])
            if in2 and in3:
                report.error(name, 0, f"{form} is in both lists")
            # The layer service makes a new layer off by these same prefixes,
            # so the lists must agree with it.
            if layer.startswith("2D") and not in2:
                report.error(name, 0, f"2D layer {form} is in no 2D pattern")
            if layer.startswith("3D") and not in3:
                report.error(name, 0, f"3D layer {form} is in no 3D pattern")


def check_plain_list(name, lines, layers, report):
    if not lines:
        report.error(name, 0, "list is empty")
    for lineno, line in enumerate(lines, 1):
        check_pattern_line(name, lineno, line, layers, report)


# --- wall-type files --------------------------------------------------------

WALL_TYPE_BITMAPS = "velmObjBmp.dll"


def check_wall_types(folder, patterns, catalogue, report):
    """Every ".mxt" parses as the module reads it and is in the writer's form."""
    files = sorted(f for f in os.listdir(folder) if f.lower().endswith(".mxt"))
    if not files:
        report.error("*.mxt", 0, "no wall-type file is shipped")
    bitmaps = os.path.join(folder, WALL_TYPE_BITMAPS)
    names = set()
    layers = {row["layer"].upper() for row in catalogue.values()}
    for name in files + ["GENMURO"]:
        stem = name[:-4] if name.lower().endswith(".mxt") else name
        if not os.path.isfile(os.path.join(bitmaps, f"IDB_{stem}.bmp")):
            report.error(name, 0, f"no preview IDB_{stem}.bmp in {WALL_TYPE_BITMAPS}")
    for name in files:
        lines = read_text_lines(folder, name, report)
        parsed = parse_wall_type(name, lines, report)
        if parsed is None:
            continue
        if parsed["name"] in names:
            report.error(name, 1, f"wall type {parsed['name']} is shipped twice")
        names.add(parsed["name"])
        if parsed["stored"] != name[:-4]:
            report.error(name, 2, "stored file name differs from the file's name")
        if parsed["layer"].upper() not in layers:
            report.error(name, 5, f"layer {parsed['layer']} is not a catalogue layer")
        if write_wall_type(parsed) != lines:
            report.error(name, 0, "not in the form the module writes back")
        scales = [scale for scale, _ in parsed["scales"]]
        for wanted in (50, 100, 200):
            if wanted not in scales:
                report.error(name, 0, f"no build-up for the scale {wanted}")
        for scale, strata in parsed["scales"]:
            if not strata:
                report.error(name, 0, f"build-up {scale} has no layers")
            for lineno, stratum in strata:
                pattern = stratum["pattern"].lstrip("-").upper()
                if pattern != "0" and pattern not in patterns:
                    report.error(name, lineno + 1, f"hatch pattern {pattern} is not defined")
                if stratum["layer"].upper() not in layers:
                    report.error(name, lineno + 4, f"layer {stratum['layer']} is not a catalogue key")
                if not re.fullmatch(r"[$s0-9.+\-*/ ]+", stratum["thickness"]):
                    report.error(name, lineno + 3, "thickness outside the expression language")


def parse_wall_type(name, lines, report):
    """The file's fields as the module's reader takes them; None when it fails."""
    if len(lines) < 5:
        report.error(name, 0, "fewer than five header lines")
        return None
    for lineno in (3, 4):
        if not re.fullmatch(r"-?\d+", lines[lineno - 1]):
            report.error(name, lineno, "colour and priority must be whole numbers")
    parsed = {"name": lines[0], "stored": lines[1], "color": lines[2], "priority": lines[3],
              "layer": lines[4], "scales": []}
    at = 5
    while at < len(lines):
        opening = re.fullmatch(r"(?i)STRATIFICAZIONE(-?\d+)", lines[at])
        if not opening:
            report.error(name, at + 1, "expected STRATIFICAZIONE and a scale")
            return None
        scale = int(opening.group(1))
        at += 1
        strata = []
        while True:
            if at >= len(lines):
                report.error(name, at, "file ends inside a build-up")
                return None
            if lines[at].upper().startswith("ENDSTRATIFICAZIONE"):
                if lines[at] != f"ENDSTRATIFICAZIONE{scale}":
                    report.error(name, at + 1, "closing line does not repeat its scale")
                at += 1
                break
            if at + 5 > len(lines):
                report.error(name, at + 1, "file ends inside a layer")
                return None
            material, pattern, hatch_scale, thickness, layer = lines[at:at + 5]
            if not re.fullmatch(NUMBER, hatch_scale):
                report.error(name, at + 3, "hatch scale is not a number")
                return None
            strata.append((at + 1, {"material": material, "pattern": pattern,
                                    "scale": float(hatch_scale), "thickness": thickness,
                                    "layer": layer}))
            at += 5
        parsed["scales"].append((scale, strata))
    return parsed


def write_wall_type(parsed):
    """The lines the module's writer makes of a parsed file."""
    lines = [parsed["name"], parsed["stored"], parsed["color"], parsed["priority"], parsed["layer"]]
    for scale, strata in parsed["scales"]:
        lines.append(f"STRATIFICAZIONE{scale}")
        for _, s in strata:
            lines += [s["material"], s["pattern"], "%f" % s["scale"], s["thickness"], s["layer"]]
        lines.append(f"ENDSTRATIFICAZIONE{scale}")
    return lines
# --- room label field catalogue and label templates -------------------------

ROOM_SETS = ["TMS_TAB1", "TMS_ETI1"]
ROOM_FIELDS = ["$70", "$71", "$75", "$76", "$77", "$78", "$79"]


def read_crlf_lines(folder, name, report):
    """Lines of a file kept in the Windows form (CR LF, UTF-8)."""
    try:
        with open(os.path.join(folder, name), "rb") as stream:
            data = stream.read()
    except OSError as exc:
        report.error(name, 0, f"cannot be read: {exc.strerror}")
        return []
    if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
        report.error(name, 0, "lines must end with CR LF")
    if data and not data.endswith(b"\r\n"):
        report.error(name, 0, "last line has no line end")
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as exc:
        report.error(name, 0, f"is not UTF-8: {exc}")
        return []
    return text.split("\r\n")[:-1]


BLOCK_ENTRY = re.compile(r'([^=]+)=([^,]+),([^,]+),([^,]+),([^,]+),([^,]+),([^,]+)(?:,"([^"]*)"?)?(.*)$')
BLOCK_NAME_BAD = set('=,\\/:*?"<>|')
BLOCK_PICTURES = ["VELMatsel.bmp", "VELMatnos.bmp", "VELMatlib.bmp"]


def check_block_catalogue(folder, catalogue, report):
    """The user block catalogue CAT/catalog.ini read back as the module reads
    it: a header, then groups of exactly 20 entry lines; every block file
    an entry names is a DXF drawing with its preview; a layer is a key of
    the layer catalogue; the browser's pictures lie beside VXD.LST."""
    name = "CAT/catalog.ini"
    for picture in BLOCK_PICTURES:
        if not os.path.isfile(os.path.join(folder, picture)):
            report.error(picture, 0, "is missing")
    lines = read_crlf_lines(folder, name, report)
    if not lines:
        return
    if not lines[0].upper().startswith("[CATALOG]"):
        report.error(name, 1, "the first line must be [CATALOG]")
        return
    i, groups, named = 1, [], set()
    while i < len(lines):
        head = re.match(r"#=\s*(\S+)(.*)$", lines[i])
        if not head:
            report.error(name, i + 1, "a group line \"#=NAME\" expected")
            return
        if head.group(2).strip():
            report.error(name, i + 1, "a group name holds a blank and reads back cut")
        groups.append(head.group(1))
        for k in range(20):
            lineno = i + 2 + k
            if lineno > len(lines):
                report.error(name, lineno, f"group {head.group(1)} has {k} entries, 20 expected")
                return
            entry = BLOCK_ENTRY.match(lines[lineno - 1])
            if not entry:
                report.error(name, lineno, "an entry line needs seven fields")
                continue
            block, layer, rotation, sx, sy, sz, explode, _, tail = entry.groups()
            if set(block) & BLOCK_NAME_BAD:
                report.error(name, lineno, f"block name {block} is no file name")
            if block.upper() in named:
                report.error(name, lineno, f"block {block} is named twice")
            named.add(block.upper())
            if layer != "?" and layer.upper() not in catalogue:
                report.error(name, lineno, f"layer {layer} is no key of LAYERC.DEF")
            if rotation not in ("?", "!") and not re.fullmatch(NUMBER, rotation):
                report.error(name, lineno, f"rotation {rotation} is neither ?, ! nor a number")
            if sx in ("R", "S", "?"):
                if (sy, sz) != (sx, sx):
                    report.error(name, lineno, "scales Y and Z must repeat the letter of X")
            elif not all(re.fullmatch(NUMBER, v) and float(v) > 0 for v in (sx, sy, sz)):
                report.error(name, lineno, "fixed scales must be positive numbers")
            if explode not in ("S", "N"):
                report.error(name, lineno, f"explode letter {explode} is neither S nor N")
            if tail not in ("", "1"):
                report.error(name, lineno, f"unexpected {tail!r} after the description")
            dwg = os.path.join(folder, "CAT", block + ".dwg")
            if os.path.isfile(dwg):
                with open(dwg, "rb") as stream:
                    data = stream.read()
                if b"ENTITIES" not in data or not data.rstrip().endswith(b"EOF"):
                    report.error(f"CAT/{block}.dwg", 0, "is no DXF drawing with entities")
                if not os.path.isfile(os.path.join(folder, "CAT", block + ".bmp")):
                    report.error(f"CAT/{block}.bmp", 0, "the block has no preview")
        i += 21
    if len(set(g.upper() for g in groups)) != len(groups):
        report.error(name, 0, "two groups have the same name")
    for f in os.listdir(os.path.join(folder, "CAT")):
        if f.lower().endswith(".dwg") and f[:-4].upper() not in named:
            report.error(f"CAT/{f}", 0, "no entry names this block")


def parse_label_catalogue(name, lines, report):
    """Sets as the definition dialogs read them: {set: [(field, kind, prompt, values)]}."""
    sets, i = {}, 0
    while i < len(lines):
        header = lines[i]
        i += 1
        if not header.startswith("["):
            report.error(name, i, "line outside a set")
            continue
        set_name = header[1:].split("]")[0]
        if i >= len(lines):
            report.error(name, i, f"set {set_name} has no title")
            break
        i += 1
        fields = []
        while i < len(lines) and lines[i] != "[END]":
            if not re.fullmatch(r"\$(\d+)", lines[i]) or i + 2 >= len(lines):
                report.error(name, i + 1, "expected a field name $NN")
                return sets
            field, kind, prompt = lines[i:i + 3]
            i += 3
            values = []
            if kind == "T_LIST":
                if i >= len(lines) or not re.fullmatch(r"\d+", lines[i]):
                    report.error(name, i + 1, "list field without a count")
                    return sets
                count = int(lines[i])
                values = lines[i + 1:i + 1 + count]
                i += 1 + count
            elif kind != "T_EDIT":
                report.error(name, i - 1, f"kind {kind!r} is neither T_EDIT nor T_LIST")
            if not 70 <= int(field[1:]) <= 84:
                report.error(name, i, f"field {field} outside $70..$84")
            fields.append((field, kind, prompt, values))
        if i >= len(lines):
            report.error(name, i, f"set {set_name} has no [END]")
            break
        i += 1
        if not fields:
            report.error(name, i, f"set {set_name} has no fields and would be dropped")
        if len(fields) > 20:
            report.error(name, i, f"set {set_name} has more fields than the room form shows")
        if set_name in sets:
            report.error(name, i, f"set {set_name} repeated")
        sets[set_name] = fields
    return sets


def check_room_labels(folder, report):
    sets = parse_label_catalogue("UA_DEF.DLC", read_crlf_lines(folder, "UA_DEF.DLC", report), report)
    for wanted in ROOM_SETS:
        fields = {f[0]: f for f in sets.get(wanted, [])}
        if wanted not in sets:
            report.error("UA_DEF.DLC", 0, f"no set {wanted}")
            continue
        for field in ROOM_FIELDS:
            if field not in fields:
                report.error("UA_DEF.DLC", 0, f"set {wanted} lacks {field}")
        for field in ("$75", "$76"):
            if field in fields and (fields[field][1] != "T_LIST" or not fields[field][3]):
                report.error("UA_DEF.DLC", 0, f"set {wanted}: {field} must be a list with choices")
    tab = os.path.join(folder, "tab")
    templates = sorted(f for f in os.listdir(tab) if f.upper().endswith(".UA")) if os.path.isdir(tab) else []
    for wanted in ROOM_SETS:
        if f"{wanted}.UA" not in templates:
            report.error("tab", 0, f"no template {wanted}.UA")
    for name in templates:
        keys, ended = {}, False
        for lineno, line in enumerate(read_crlf_lines(tab, name, report), 1):
            if line[:3].lower() == "end":
                ended = True
                break
            key = line[:4].lower()
            if key not in ("eti=", "tab=", "rec=", "tot="):
                report.error(name, lineno, "neither a key nor end")
                continue
            if key in keys:
                report.error(name, lineno, f"key {key} repeated")
            keys[key] = line[4:].split()
        if not ended or not keys.get("eti="):
            report.error(name, 0, "a template needs eti= with a block name and an end line")
        if name[:-3] not in sets:
            report.error(name, 0, f"no field set {name[:-3]} in UA_DEF.DLC")


# --- object definitions ----------------------------------------------------

DEFINITION_LINE_MAX = 256   # characters of a line entry besides its line break
EXPRESSION_MAX = 257
STATEMENTS = {"LINE", "ARC", "CIRCLE", "TEXT", "TEXTNS", "ATTDEF", "3DFACE", "PFACE",
              "PLINE", "LWPLINE", "SPOLIG", "HATCH", "DIM"}
DECLARATION = re.compile(r"^[#$-](\d+)\s*=\s*(\S.*)$")
PARAMETER = re.compile(r'^"([^"]*)"(\d{0,2})([ABDIRSabdirsC])(.*)$')
TYPO_LINE = re.compile(r"^\$(\d+)\s*=(.*)$")


def check_definitions(folder, catalogue, report):
    names = {f.lower(): f for f in os.listdir(folder)}
    bitmaps = os.path.join(folder, WALL_TYPE_BITMAPS)
    if not os.path.isfile(os.path.join(bitmaps, "IDB_BORDOSEL.bmp")):
        report.error(WALL_TYPE_BITMAPS, 0, "no slide frame IDB_BORDOSEL.bmp")
    for name in sorted(f for f in names.values() if f.lower().endswith(".txt")):
        # The parameter dialog shows the picture, the slide menu the slide.
        for prefix in ("IDB_", "IDB__"):
            if not os.path.isfile(os.path.join(bitmaps, f"{prefix}{name[:-4]}.bmp")):
                report.error(name, 0, f"no picture {prefix}{name[:-4]}.bmp in {WALL_TYPE_BITMAPS}")
        lines = expand_includes(folder, names, name, [name.lower()], report)
        if lines is not None:
            check_definition(name, lines, catalogue, report)


def expand_includes(folder, names, name, open_files, report):
    """The definition's lines with its include files in place; None on a fault."""
    raw = read_text_lines(folder, name, report)
    out = []
    for lineno, line in enumerate(raw, 1):
        if len(line) > DEFINITION_LINE_MAX:
            report.error(name, lineno, "line longer than one line entry of the reader")
        if not line.startswith('@"'):
            out.append(line)
            continue
        target = line[2:].split('"')[0]
        if target.lower() in open_files:
            report.error(name, lineno, f"{target} includes itself")
            return None
        if target.lower() not in names:
            report.error(name, lineno, f"include file {target} is not in the folder")
            return None
        inner = expand_includes(folder, names, names[target.lower()], open_files + [target.lower()], report)
        if inner is None:
            return None
        out.extend(inner)
    return out


def section(lines, keyword):
    """Index of the line after the section's keyword line, or None."""
    for i, line in enumerate(lines):
        words = line.split()
        if words and words[0].upper() == keyword:
            return i + 1
    return None


def check_definition(name, lines, catalogue, report):
    start = section(lines, "VAR")
    if start is None:
        report.error(name, 0, "no VAR section")
        return
    params, orders, insertion = {}, {}, 10
    end = None
    for i in range(start, len(lines)):
        line = lines[i]
        if line.startswith("E"):
            end = i
            break
        if not line or line[0] not in "#$-":
            continue
        match = DECLARATION.match(line)
        if not match:
            report.error(name, 0, f"declaration {line!r} cannot be read")
            continue
        number, value = int(match.group(1)), match.group(2)
        if not value.startswith('"'):
            expression = value.split(";")[0].strip()
            if not expression or len(expression) > EXPRESSION_MAX:
                report.error(name, 0, f"variable {number}: expression empty or too long")
            if number == 3:
                insertion = int(float(expression))
            continue
        param = PARAMETER.match(value)
        if not param:
            report.error(name, 0, f"variable {number}: parameter line {value!r} cannot be read")
            continue
        description, order, letter, rest = param.groups()
        if order:
            if int(order) in orders:
                report.error(name, 0, f"variable {number}: order {order} already taken by {orders[int(order)]}")
            orders[int(order)] = number
        if letter == "C":
            continue
        if letter.upper() == "S" and rest.count('"') < 2:
            report.error(name, 0, f"variable {number}: text value not quoted")
        elif letter.upper() != "S" and not re.match(NUMBER, rest):
            report.error(name, 0, f"variable {number}: value {rest!r} is not a number")
        params[number] = letter.upper()
    if end is None:
        report.error(name, 0, "VAR section has no end line")
        return
    check_parameter_sets(name, lines, params, insertion, report)
    check_draw_layers(name, lines, catalogue, report)


def check_parameter_sets(name, lines, params, insertion, report):
    start = section(lines, "TYPO")
    if start is None:
        return
    # Stairs read the height or the riser from the set by a drawing setting:
    # the set holds both, and the one not read need not be a parameter.
    ignored = {14: 5, 15: 4}.get(insertion)
    expected = set(params)
    current, seen = None, set()
    for line in lines[start:]:
        if not line:
            report.error(name, 0, "empty line inside TYPO")
            return
        if line.startswith("BEGIN") or line.startswith("END_TYPO"):
            if current is not None and seen != expected:
                missing = sorted(expected - seen)
                report.error(name, 0, f"parameter set {current!r} misses {missing}")
            if line.startswith("END_TYPO"):
                return
            current, seen = None, set()
            continue
        if current is None:
            current = line
            continue
        match = TYPO_LINE.match(line)
        if not match:
            report.error(name, 0, f"parameter set {current!r}: line {line!r} cannot be read")
            continue
        number, value = int(match.group(1)), match.group(2)
        if number == ignored:
            seen.add(number)
            continue
        if number not in params:
            report.error(name, 0, f"parameter set {current!r}: {number} is not a parameter")
            continue
        if params[number] == "S" and value.count('"') != 2:
            report.error(name, 0, f"parameter set {current!r}: text of {number} not quoted")
        elif params[number] != "S" and not re.match(NUMBER, value.strip()):
            report.error(name, 0, f"parameter set {current!r}: value of {number} is not a number")
        seen.add(number)
    report.error(name, 0, "TYPO section has no END_TYPO")


def check_draw_layers(name, lines, catalogue, report):
    start = section(lines, "DRAW")
    if start is None:
        report.error(name, 0, "no DRAW section")
        return
    def known(layer):
        return layer.startswith("-$") or layer.upper() in catalogue
    if start >= len(lines) or not known(lines[start].split()[0] if lines[start].split() else ""):
        report.error(name, 0, "the object's layer after DRAW is not a catalogue key")
    i = start + 1
    while i < len(lines) and lines[i].strip() != "END":
        words = lines[i].split()
        i += 1
        if not words or words[0].upper() not in STATEMENTS or len(words) > 1:
            continue
        if i < len(lines) and lines[i].startswith("(") and ")" in lines[i]:
            i += 1
        layer = lines[i].split()[0] if i < len(lines) and lines[i].split() else ""
        if not known(layer):
            report.error(name, 0, f"statement {words[0]} draws on {layer!r}, not a catalogue key")
    if i >= len(lines):
        report.error(name, 0, "DRAW section has no END line")


# --- hatch patterns and linetypes -----------------------------------------

PATTERN_HEADER = re.compile(r"^\*([^,\s]+)\s*,\s*(\S.*)$")
PATTERN_FAMILY = re.compile(rf"^\s*{NUMBER}(\s*,\s*{NUMBER})*\s*$")


def check_pattern_file(name, lines, report):
    """Pattern names (upper case) with their count of line families."""
    patterns = {}
    current = None
    for lineno, line in enumerate(lines, 1):
        if len(line) > 255:
            report.error(name, lineno, "line longer than the picker's buffer")
        if not line.strip() or line.startswith(";"):
            continue
        header = PATTERN_HEADER.match(line)
        if header:
            if current is not None and patterns[current] == 0:
                report.error(name, lineno, f"pattern {current} has no line families")
            current = header.group(1).upper()
            if current in patterns:
                report.error(name, lineno, f"pattern {current} defined twice")
            patterns[current] = 0
            continue
        if current is None or not PATTERN_FAMILY.match(line):
            report.error(name, lineno, "neither a pattern header nor a line family")
            continue
        values = [float(v) for v in line.split(",")]
        patterns[current] += 1
        if len(values) < 5:
            report.error(name, lineno, "a line family needs angle, origin x, y, shift, spacing")
            continue
        if values[4] == 0.0:
            report.error(name, lineno, "spacing 0 stacks every line on the first")
        dashes = values[5:]
        if dashes and sum(abs(d) for d in dashes) == 0.0:
            report.error(name, lineno, "dash sequence of zero length")
    if current is not None and patterns[current] == 0:
        report.error(name, len(lines), f"pattern {current} has no line families")
    return patterns


LINETYPE_HEADER = re.compile(r"^\*([^,\s]+),(.*)$")
LINETYPE_BODY = re.compile(rf"^A(\s*,\s*{NUMBER})+\s*$")


def check_linetype_file(name, lines, report):
    """Linetype names (upper case) defined in the file."""
    names = set()
    expect_body = None
    for lineno, line in enumerate(lines, 1):
        if not line.strip() or line.startswith(";"):
            continue
        header = LINETYPE_HEADER.match(line)
        if header:
            if expect_body:
                report.error(name, lineno, f"linetype {expect_body} has no A line")
            expect_body = header.group(1).upper()
            if expect_body in names:
                report.error(name, lineno, f"linetype {expect_body} defined twice")
            if expect_body == "CONTINUOUS":
                # The picker lists Continuous itself; a file entry doubles it.
                report.error(name, lineno, "Continuous is built in and must not be defined")
            names.add(expect_body)
            continue
        if not expect_body or not LINETYPE_BODY.match(line):
            report.error(name, lineno, "neither a linetype header nor its A line")
            continue
        values = [float(v) for v in line.split(",")[1:]]
        if values[0] < 0:
            report.error(name, lineno, "a linetype starts with a dash or dot, not a gap")
        if sum(abs(v) for v in values) == 0.0:
            report.error(name, lineno, "dash sequence of zero length")
        expect_body = None
    if expect_body:
        report.error(name, len(lines), f"linetype {expect_body} has no A line")
    return names


if __name__ == "__main__":
    sys.exit(main(sys.argv))

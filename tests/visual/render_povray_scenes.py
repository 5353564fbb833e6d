#!/usr/bin/env python3
"""Renders every scene the module tests wrote, and one polygon per shipped
material, with the module's include folder on the renderer's path; each
must render with exit status 0 and no parse error.

Usage: render_povray_scenes.py SCENE_FOLDER SUPPORT_FOLDER
Exit 77 when the renderer is missing.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

INCLUDES = ["colors.inc", "textures.inc", "stones.inc", "metals.inc", "glass.inc", "woods.inc",
            "velmak.inc", "velmakUser.inc"]


# The renderer says "Possible Parse Error" of what it only warns about.
PARSE_ERROR = re.compile(r"(?<!Possible )Parse Error:")


def material_scene(support):
    lines = ['#include "%s"' % i for i in INCLUDES]
    lines.append("camera { location <0, -5, 3> look_at <0, 0, 0> }")
    lines.append("light_source { <10, -10, 10> color rgb 1 }")
    x = 0
    with open(os.path.join(support, "TEXTUREPOV.DEF"), encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\r\n").split(",")
            if line.startswith("**") or len(fields) < 4:
                continue
            body = "pigment { %s }" % fields[0] if fields[3] == "0" else "texture { %s  scale 1.00 }" % fields[0]
            lines.append("polygon { 5, <%d, 0, 0> <%d, 0, 0> <%d, 1, 0> <%d, 1, 0> <%d, 0, 0>\n%s\n}"
                         % (x, x + 1, x + 1, x, x, body))
            x += 1
    return "\n".join(lines) + "\n"


def main():
    scenes, support = sys.argv[1:3]
    povray = shutil.which("povray")
    if not povray:
        print("povray missing: skipped")
        return 77
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        materials = os.path.join(tmp, "materials.pov")
        with open(materials, "w", encoding="utf-8") as f:
            f.write(material_scene(support))
        files = sorted(glob.glob(os.path.join(scenes, "*.pov"))) + [materials]
        if len(files) < 2:
            print("no scenes in " + scenes)
            return 1
        for path in files:
            result = subprocess.run([povray, "-D", "+W64", "+H48", "+L" + os.path.abspath(os.path.join(support, "POV-Ray")),
                                     "+I" + path, "+O" + os.path.join(tmp, "out.png")],
                                    capture_output=True, text=True, cwd=tmp)
            ok = result.returncode == 0 and not PARSE_ERROR.search(result.stderr)
            print(("ok     " if ok else "FAILED ") + os.path.basename(path))
            if not ok:
                print(result.stderr[-2000:])
                failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

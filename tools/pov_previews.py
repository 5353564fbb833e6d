#!/usr/bin/env python3
"""Renders the preview pictures of the shipped render materials.

Every material row of support/TEXTUREPOV.DEF gets support/POV-Ray/
velmAnteprime/_NAME.BMP: a square of the material, one metre wide, lit from
the upper left, rendered by the POV-Ray engine with the module's include
folder on its path. Run it again after adding a material:
python3 tools/pov_previews.py
"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SUPPORT = os.path.join(ROOT, "support")
INCLUDES = ["colors.inc", "textures.inc", "stones.inc", "metals.inc", "glass.inc", "woods.inc",
            "velmak.inc", "velmakUser.inc"]
SIZE = 48


def materials():
    with open(os.path.join(SUPPORT, "TEXTUREPOV.DEF"), encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\r\n").split(",")
            if line.startswith("**") or len(fields) < 4:
                continue
            yield fields[0], int(fields[3])


def scene(name, mode):
    body = "pigment { %s }" % name if mode == 0 else "texture { %s }" % name
    lines = ['#include "%s"' % i for i in INCLUDES]
    lines += [
        "camera { orthographic location <0.5, 0.5, -2> look_at <0.5, 0.5, 0> right <1, 0, 0> up <0, 1, 0> }",
        "light_source { <-2, 3, -4> color rgb 1.2 }",
        "background { color rgb <1, 1, 1> }",
        "box { <0, 0, 0>, <1, 1, 0.01> %s }" % body,
    ]
    return "\n".join(lines) + "\n"


def main():
    out_dir = os.path.join(SUPPORT, "POV-Ray", "velmAnteprime")
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for name, mode in materials():
            pov = os.path.join(tmp, "preview.pov")
            with open(pov, "w") as f:
                f.write(scene(name, mode))
            target = os.path.join(out_dir, "_%s.BMP" % name)
            result = subprocess.run(["povray", "-D", "-V", "+FB", "+W%d" % SIZE,
                                     "+H%d" % SIZE, "+A0.3", "+L" + os.path.join(SUPPORT, "POV-Ray"),
                                     "+I" + pov, "+O" + os.path.join(tmp, "out.bmp")], capture_output=True, text=True,
                                    cwd=tmp)
            if result.returncode != 0:
                sys.stderr.write(result.stderr)
                return 1
            os.replace(os.path.join(tmp, "out.bmp"), target)
    return 0


if __name__ == "__main__":
    sys.exit(main())

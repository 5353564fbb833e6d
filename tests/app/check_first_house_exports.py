#!/usr/bin/env python3
"""The walkthrough's exports, in the folder it ran in, as a user takes them:

    check_first_house_exports.py render FOLDER
        `povray -D first_house.pov` in the folder (the scene finds its
        include files beside it) renders first_house.png, and the picture
        shows the house: not one flat colour, and the house, not the sky,
        fills a good part of it.
    check_first_house_exports.py vrml FOLDER
        first_house.wrl has the headlight on, the camera's viewpoint and
        the light, and the independent VRML reader reads it with nothing
        on standard error.

Exit 77 when the renderer or the VRML reader is missing.
"""
import os
import shutil
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "visual"))
from check_vrml_files import read_errors  # noqa: E402
from render_exported_scene import png_pixels  # noqa: E402


def render(folder):
    povray = shutil.which("povray")
    if not povray:
        print("povray missing: skipped")
        return 77
    picture = os.path.join(folder, "first_house.png")
    if os.path.exists(picture):
        os.remove(picture)
    # A smaller picture than the scene's own, for speed; the rest as a user runs it.
    done = subprocess.run([povray, "-D", "+W200", "+H150", "first_house.pov"], cwd=folder,
                          capture_output=True, text=True, timeout=300)
    if done.returncode != 0 or not os.path.exists(picture):
        print("povray failed:", done.stderr[-2000:])
        return 1
    rows = png_pixels(picture)
    pixels = [p[:3] for row in rows for p in row]
    sky = rows[0][0][:3]
    colours = set(pixels)
    house = sum(1 for p in pixels if p != sky) / len(pixels)
    if len(colours) < 2 or house < 0.2:
        print("the picture shows %d colours, %.0f %% of it not the sky's %s" % (len(colours), house * 100, sky))
        return 1
    print("first_house.png: %d colours, the house on %.0f %% of it" % (len(colours), house * 100))
    return 0


def vrml(folder):
    if not shutil.which("tovrmlx3d"):
        print("tovrmlx3d missing: skipped")
        return 77
    path = os.path.join(folder, "first_house.wrl")
    if not os.path.exists(path):
        print("no", path)
        return 1
    text = open(path, encoding="utf-8").read()
    problems = []
    if "headlight TRUE" not in text:
        problems.append("the headlight is off")
    if text.count("Viewpoint {") != 2 or 'description "Punto di vista1"' not in text:
        problems.append("not the default viewpoint and the camera's")
    if "PointLight {" not in text:
        problems.append("no light")
    errors = read_errors(path)
    if errors:
        problems.append("the reader says: " + errors)
    for p in problems:
        print(path + ":", p)
    if problems:
        return 1
    print(path, "read: headlight, the camera's viewpoint, the light")
    return 0


if __name__ == "__main__":
    sys.exit({"render": render, "vrml": vrml}[sys.argv[1]](sys.argv[2]))

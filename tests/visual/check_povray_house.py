#!/usr/bin/env python3
"""Checks the scene the house script wrote, and renders it.

Usage: check_povray_house.py SCENE.pov DRAWING.dxf INCLUDE_FOLDER

The scene must hold the eight includes in order, the picked camera, the
placed light, the ground plane and one polygon per 3DFACE of model space and
of the blocks its references show (two for a warped face, none for a face
on a line); the include folder must hold the module's files; the renderer
must read the scene without an error. Exit 77 when the independent DXF
reader or the renderer is missing.
"""
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

INCLUDES = ["colors.inc", "textures.inc", "stones.inc", "metals.inc", "glass.inc", "woods.inc",
            "velmak.inc", "velmakUser.inc"]
TOL = 1e-6


# The renderer says "Possible Parse Error" of what it only warns about.
PARSE_ERROR = re.compile(r"(?<!Possible )Parse Error:")


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def cross(u, v):
    return [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]


def norm(u):
    return math.sqrt(sum(x * x for x in u))


def polygons_of(corners):
    a, b, c, d = corners
    if max(norm(cross(sub(b, a), sub(c, a))), norm(cross(sub(b, a), sub(d, a))),
           norm(cross(sub(c, a), sub(d, a)))) <= TOL:
        return 0
    for i in range(4):
        if norm(sub(corners[i], corners[(i + 1) % 4])) <= TOL:
            return 1
    n = cross(sub(b, a), sub(c, a))
    off = abs(sum(n[i] * (d[i] - a[i]) for i in range(3))) / norm(n)
    return 1 if off <= 1e-9 else 2


def count_faces(doc):
    from ezdxf.math import Matrix44

    def walk(entities, m):
        total = 0
        for e in entities:
            t = e.dxftype()
            if t == "3DFACE":
                total += polygons_of([list(m.transform(e.dxf.get(f"vtx{i}"))) for i in range(4)])
            elif t == "INSERT":
                total += walk(doc.blocks[e.dxf.name], e.matrix44() * m)
        return total

    return walk(doc.modelspace(), Matrix44())


def main():
    scene_path, dxf_path, include = [os.path.abspath(a) for a in sys.argv[1:4]]
    try:
        import ezdxf
    except ImportError:
        print("ezdxf missing: skipped")
        return 77
    povray = shutil.which("povray")
    if not povray:
        print("povray missing: skipped")
        return 77
    text = open(scene_path, encoding="utf-8").read()
    problems = []
    expected = "".join('#include "%s"\n' % i for i in INCLUDES)
    if not text.startswith(expected):
        problems.append("the eight includes are not first, in order")
    if "location  <500.00, -800.00, 160.00>\nlook_at   <500.00, -700.00, 160.00>" not in text:
        problems.append("camera not at the picked camera")
    if "angle     60.00\n" not in text:
        problems.append("camera angle not 60.00")
    if "light_source { <-300.00, -500.00, 250.00>" not in text:
        problems.append("light missing")
    if "plane { z, 0.00\n" not in text:
        problems.append("ground plane missing")
    polygons = len(re.findall(r"^polygon \{$", text, re.M))
    doc = ezdxf.readfile(dxf_path)
    faces = count_faces(doc)
    if polygons != faces or polygons == 0:
        problems.append("%d polygons for %d face polygons of the drawing" % (polygons, faces))
    for name in ("velmak.inc", "velmakUser.inc", "velmAnteprime"):
        if not os.path.exists(os.path.join(include, name)):
            problems.append("include folder lacks " + name)
    with tempfile.TemporaryDirectory() as tmp:
        result = subprocess.run([povray, "-D", "+W80", "+H60", "+L" + include, "+I" + scene_path,
                                 "+O" + os.path.join(tmp, "scene.png")],
                                capture_output=True, text=True, cwd=tmp)
        if result.returncode != 0 or PARSE_ERROR.search(result.stderr):
            problems.append("povray failed:\n" + result.stderr[-2000:])
    for p in problems:
        print(p)
    print("%d polygons, %d problems" % (polygons, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

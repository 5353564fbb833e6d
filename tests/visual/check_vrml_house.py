#!/usr/bin/env python3
"""Checks the VRML file the house script wrote.

Usage: check_vrml_house.py FILE.wrl DRAWING.dxf LAYERVRML.DEF

The material table must hold the shininess set in the dialog; the file must
start with the VRML header, hold the default viewpoint and the picked
camera looking north with its up towards +z, the placed light, the walls in
one Shape with the table's shininess, as many faces in all its Shapes as
the drawing has 3DFACEs (model space and the blocks its references show,
on layers that are on and thawed), a sky with one colour more than its
angles; and the independent VRML reader must read it without a word on
standard error. Exit 77 when the DXF reader or the VRML reader is missing.
"""
import math
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_vrml_files import read_errors  # noqa: E402


def turn(v, axis, angle):
    """Rodrigues' rotation of v about the unit axis."""
    n = math.sqrt(sum(a * a for a in axis))
    k = [a / n for a in axis]
    c, s = math.cos(angle), math.sin(angle)
    kv = sum(k[i] * v[i] for i in range(3))
    cross = [k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]]
    return [v[i] * c + cross[i] * s + k[i] * kv * (1 - c) for i in range(3)]


def drawing_faces(doc):
    hidden = {layer.dxf.name.upper() for layer in doc.layers if layer.is_off() or layer.is_frozen()}

    def walk(entities):
        walls = total = 0
        for e in entities:
            if e.dxftype() == "3DFACE" and e.dxf.layer.upper() not in hidden:
                total += 1
                walls += e.dxf.layer.upper().startswith("VELM3DWALLS$")
            elif e.dxftype() == "INSERT":
                w, t = walk(doc.blocks[e.dxf.name])
                walls += w
                total += t
        return walls, total

    return walk(doc.modelspace())


def check_light_reach(wrl, check):
    """The point and spot lights, as the reader reads them, reach every
    vertex of the model: without a radius the format's 100 units light a
    drawing in centimetres one metre around each light."""
    import subprocess
    import xml.etree.ElementTree as ET
    done = subprocess.run(["tovrmlx3d", wrl, "--encoding=xml"], capture_output=True, text=True, timeout=120)
    root = ET.fromstring(done.stdout[done.stdout.index("<X3D"):])
    points = []
    for coordinate in root.iter("Coordinate"):
        values = [float(v) for v in coordinate.get("point", "").replace(",", " ").split()]
        points.extend(values[i:i + 3] for i in range(0, len(values) - 2, 3))
    lights = [e for e in root.iter() if e.tag in ("PointLight", "SpotLight")]
    check(lights and points, f"{len(lights)} point or spot lights, {len(points)} vertices read")
    for light in lights:
        at = [float(v) for v in light.get("location", "0 0 0").split()]
        reach = float(light.get("radius", "100"))
        farthest = max((math.dist(at, p) for p in points), default=0.0)
        check(reach >= farthest, f"{light.tag} at {at} reaches {reach}, the model {farthest:.2f}")


def main():
    wrl, dxf, table = sys.argv[1:4]
    try:
        import ezdxf
    except ImportError:
        print("ezdxf missing: skipped")
        return 77
    import shutil
    if not shutil.which("tovrmlx3d"):
        print("tovrmlx3d missing: skipped")
        return 77
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    rows = [line.rstrip("\r\n").split(",") for line in open(table, encoding="utf-8")]
    walls_row = [r for r in rows if r[0] == "3DWALLS"]
    check(len(walls_row) == 1 and walls_row[0][2] == "7", f"3DWALLS row: {walls_row}")

    text = open(wrl, encoding="utf-8").read()
    check(text.startswith("#VRML V2.0 utf8\n"), "header")
    check('description "Default"' in text, "default viewpoint")
    camera = re.search(r'Viewpoint \{\nfieldOfView ([-\d.]+)\nposition  ([-\d.]+) ([-\d.]+) ([-\d.]+) \n'
                       r'orientation  ([-\d.]+) ([-\d.]+) ([-\d.]+) ([-\d.]+)\ndescription "Punto di vista1"',
                       text)
    check(camera is not None, "camera viewpoint")
    if camera:
        v = [float(x) for x in camera.groups()]
        check(abs(v[0] - 1.0472) < 1e-9, f"field of view {v[0]}")
        check(v[1:4] == [500.0, -800.0, 160.0], f"camera position {v[1:4]}")
        look = turn([0, 0, -1], v[4:7], v[7])
        up = turn([0, 1, 0], v[4:7], v[7])
        check(abs(look[1] - 1) < 1e-3 and abs(look[0]) < 1e-3 and abs(look[2]) < 1e-3, f"looks {look}")
        check(abs(up[2] - 1) < 1e-3, f"up {up}")
    check("location -300.00, -500.00, 250.00\n" in text, "light location")

    sky = re.search(r"skyColor \[([^\]]*)\]\nskyAngle \[([^\]]*)\]", text)
    check(sky is not None and len(sky.group(1).split(",")) == len(sky.group(2).split()) + 1, "sky")

    shapes = text.split("Shape {\n")[1:]
    faces = []
    for shape in shapes:
        index = shape[shape.index("coordIndex [\n") + 13:shape.index("]\ncreaseAngle")]
        lines = [line for line in index.split("\n") if line.strip()]
        check(all(line.split()[-1] == "-1" and len(line.split()) in (4, 5) for line in lines), "face lines")
        faces.append((re.search(r"shininess ([\d.]+)", shape).group(1), len(lines)))
    shiny = [n for s, n in faces if s == "0.7000"]

    doc = ezdxf.readfile(dxf)
    walls, total = drawing_faces(doc)
    check(walls == 46, f"the drawing has {walls} wall faces (the door's two jambs among them)")
    check(shiny == [walls], f"wall shapes {shiny}")
    check(sum(n for _, n in faces) == total, f"{sum(n for _, n in faces)} faces in shapes, {total} in the drawing")

    check_light_reach(wrl, check)

    errors = read_errors(wrl)
    check(not errors, f"VRML reader: {errors}")
    for f in failures:
        print("FAIL:", f)
    print(f"{len(shapes)} shapes, {total} faces")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

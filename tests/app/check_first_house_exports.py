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
        on standard error; the viewpoint the file opens on (its first)
        stands outside the house and, cast ray by ray through a 4:3
        window, shows the whole house on a good part of the picture.

Exit 77 when the renderer or the VRML reader is missing.
"""
import math
import os
import re
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


NUMBER = r"[-+0-9.eE]+"


def vrml_triangles(text):
    """The faces of every IndexedFaceSet, as triangles fanned from each
    face's first corner (the file writes its points in the drawing's axes,
    outside any transform)."""
    triangles = []
    pattern = re.compile(r"point \[(.*?)\]\s*\}\s*coordIndex \[(.*?)\]", re.S)
    for points_text, index_text in pattern.findall(text):
        values = [float(v) for v in re.findall(NUMBER, points_text)]
        points = [tuple(values[i:i + 3]) for i in range(0, len(values) - 2, 3)]
        face = []
        for index in (int(v) for v in index_text.split()):
            if index >= 0:
                face.append(points[index])
                continue
            triangles.extend((face[0], face[k], face[k + 1]) for k in range(1, len(face) - 1))
            face = []
    return triangles


def first_viewpoint(text):
    body = re.search(r"Viewpoint \{(.*?)\}", text, re.S).group(1)
    position = [float(v) for v in re.search(r"position\s+(%s)\s+(%s)\s+(%s)" % ((NUMBER,) * 3), body).groups()]
    axis_angle = [float(v) for v in re.search(r"orientation\s+(%s)\s+(%s)\s+(%s)\s+(%s)" % ((NUMBER,) * 4), body).groups()]
    fov = re.search(r"fieldOfView\s+(%s)" % NUMBER, body)
    return position, axis_angle, float(fov.group(1)) if fov else 0.785398


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def rotate(v, axis_angle):
    """Rodrigues' rotation of v about the axis by the angle."""
    axis, angle = axis_angle[:3], axis_angle[3]
    n = math.sqrt(dot(axis, axis)) or 1.0
    k = [a / n for a in axis]
    c, s = math.cos(angle), math.sin(angle)
    kv = dot(k, v)
    kx = cross(k, v)
    return [v[i] * c + kx[i] * s + k[i] * kv * (1 - c) for i in range(3)]


def hit_distance(origin, direction, triangle):
    """Moeller-Trumbore: the distance along the ray to the triangle, or None."""
    a, b, c = triangle
    e1, e2 = sub(b, a), sub(c, a)
    p = cross(direction, e2)
    det = dot(e1, p)
    if abs(det) < 1e-12:
        return None
    t_vec = sub(origin, a)
    u = dot(t_vec, p) / det
    if u < 0 or u > 1:
        return None
    q = cross(t_vec, e1)
    v = dot(direction, q) / det
    if v < 0 or u + v > 1:
        return None
    t = dot(e2, q) / det
    return t if t > 1e-6 else None


def opening_view(text, columns=48, rows=36):
    """What the viewpoint the file opens on shows, as a browser's 4:3
    window would: problems, and the share of rays that meet the model."""
    triangles = vrml_triangles(text)
    if not triangles:
        return ["no faces"], 0.0
    eye, orientation, fov = first_viewpoint(text)
    corners = [p for t in triangles for p in t]
    low = [min(p[i] for p in corners) for i in range(3)]
    high = [max(p[i] for p in corners) for i in range(3)]
    problems = []
    if all(low[i] < eye[i] < high[i] for i in range(3)):
        problems.append("the opening viewpoint %s stands inside the model's box %s..%s" % (eye, low, high))
    forward, up = rotate([0, 0, -1], orientation), rotate([0, 1, 0], orientation)
    right = cross(forward, up)
    # The field of view spans the window's smaller side, its height here.
    half_height = math.tan(fov / 2)
    half_width = half_height * columns / rows
    outside = 0
    for p in corners:
        d = sub(p, eye)
        depth = dot(d, forward)
        if depth <= 0 or abs(dot(d, right) / depth) > half_width or abs(dot(d, up) / depth) > half_height:
            outside += 1
    if outside:
        problems.append("%d of the model's %d corners lie outside the opening view" % (outside, len(corners)))
    hits = 0
    for row in range(rows):
        for column in range(columns):
            x = (2 * (column + 0.5) / columns - 1) * half_width
            y = (1 - 2 * (row + 0.5) / rows) * half_height
            direction = [forward[i] + x * right[i] + y * up[i] for i in range(3)]
            if any(hit_distance(eye, direction, t) is not None for t in triangles):
                hits += 1
    return problems, hits / (columns * rows)


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
    view_problems, shown = opening_view(text)
    problems.extend(view_problems)
    if shown < 0.2:
        problems.append("the opening view shows the model on %.0f %% of it" % (shown * 100))
    errors = read_errors(path)
    if errors:
        problems.append("the reader says: " + errors)
    for p in problems:
        print(path + ":", p)
    if problems:
        return 1
    print(path, "read: headlight, the camera's viewpoint, the light; it opens on the house (%.0f %% of the view)"
          % (shown * 100))
    return 0


if __name__ == "__main__":
    sys.exit({"render": render, "vrml": vrml}[sys.argv[1]](sys.argv[2]))

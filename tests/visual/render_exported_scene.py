#!/usr/bin/env python3
"""Exports the house's scene for a user with a home of nothing but the
defaults (no documents folder, no registry file, no renderer set up), then
renders it as a user would: `povray SCENE.pov` in the scene's folder, with
no library folder given. The export must not complain, and the picture
must show something (not one flat colour).

Usage: render_exported_scene.py VELMHOST SCRIPT SUPPORT WORK_FOLDER
The script writes WORK_FOLDER/out/scene.pov. Exit 77 when the renderer is
missing (the export is still checked).
"""
import os
import shutil
import struct
import subprocess
import sys
import zlib


def png_pixels(path):
    """The rows of an 8-bit, non-interlaced PNG as lists of pixel tuples."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}[colour]
    if depth != 8 or interlace:
        raise ValueError("only 8-bit non-interlaced pictures are read")
    raw, stride, rows, prior = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prior[i]
            c = prior[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + channels]) for x in range(0, stride, channels)])
        prior = line
    return rows


def main():
    velmhost, script, support, work = [os.path.abspath(a) for a in sys.argv[1:5]]
    shutil.rmtree(work, ignore_errors=True)
    home, out = os.path.join(work, "home"), os.path.join(work, "out")
    os.makedirs(home)
    os.makedirs(out)
    env = dict(os.environ, HOME=home)
    for name in ("XDG_DOCUMENTS_DIR", "XDG_CONFIG_HOME"):
        env.pop(name, None)
    run = subprocess.run([velmhost, "--support", support, "--script", script,
                          "--save", os.path.join(work, "house.dxf")],
                         capture_output=True, text=True, env=env, cwd=work)
    problems = []
    if run.returncode != 0:
        problems.append("velmhost exit status %d:\n%s" % (run.returncode, run.stdout[-2000:] + run.stderr))
    if "Nie można utworzyć katalogu podglądu" in run.stdout:
        problems.append("the export could not make the preview folder")
    scene = os.path.join(out, "scene.pov")
    if not os.path.exists(scene):
        problems.append("no scene written")
    povray = shutil.which("povray")
    if not problems and povray:
        render = subprocess.run([povray, "+W80", "+H60", "-D", "+FN", "scene.pov"],
                                capture_output=True, text=True, env=env, cwd=out)
        picture = os.path.join(out, "scene.png")
        if render.returncode != 0 or not os.path.exists(picture):
            problems.append("povray failed:\n" + render.stderr[-2000:])
        else:
            colours = {p for row in png_pixels(picture) for p in row}
            if len(colours) < 2:
                problems.append("the picture is one flat colour %s" % (colours,))
            else:
                print("%d colours in the picture" % len(colours))
    for p in problems:
        print(p)
    if problems:
        return 1
    if not povray:
        print("povray missing: rendering skipped")
        return 77
    return 0


if __name__ == "__main__":
    sys.exit(main())

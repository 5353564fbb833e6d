#!/usr/bin/env python3
"""Reads every VRML file of a folder with an independent reader.

Usage: check_vrml_files.py FOLDER

tovrmlx3d exits 0 even when it gives up on a file, so a file passes when
the reader prints nothing on standard error. Exit 77 when the reader is
missing, 1 when the folder holds no file or a file is refused.
"""
import glob
import os
import shutil
import subprocess
import sys


def read_errors(path):
    """What the reader says of the file on standard error (empty: read)."""
    done = subprocess.run(["tovrmlx3d", path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          text=True, timeout=120)
    return done.stderr.strip()


def main():
    if not shutil.which("tovrmlx3d"):
        print("tovrmlx3d missing: skipped")
        return 77
    files = sorted(glob.glob(os.path.join(sys.argv[1], "*.wrl")))
    if not files:
        print("no VRML file in", sys.argv[1])
        return 1
    bad = 0
    for path in files:
        errors = read_errors(path)
        if errors:
            print(f"{path}: {errors}")
            bad += 1
    print(f"{len(files) - bad} of {len(files)} files read")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""velmhost's keyboard mode through a pseudo-terminal, as a user types:
circles drawn by typed lines, one of them through a line recalled from the
history and one typed with a correction, and one by Enter at the empty
command prompt, which repeats the last command; prompts cancelled by Ctrl-C, at
the prompt and typed ahead, and by Escape, each leaving the program
running; Ctrl-D typed ahead ending the session at the command prompt, and
the drawing saved with the three circles.

usage: keyboard_pty.py VELMHOST OUT.dxf"""
import os
import pty
import re
import select
import signal
import sys
import termios
import time

velmhost, out_dxf = sys.argv[1], sys.argv[2]
if os.path.exists(out_dxf):
    os.remove(out_dxf)

pid, fd = pty.fork()
if pid == 0:
    os.execv(velmhost, [velmhost, "--save", out_dxf])

seen = b""


def wait_for(pattern, timeout=120):
    """Reads the terminal until the output since the last wait matches."""
    global seen
    start = len(seen)
    end = time.time() + timeout
    while time.time() < end:
        ready, _, _ = select.select([fd], [], [], 0.2)
        if not ready:
            continue
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
        if re.search(pattern, seen[start:]):
            return
    sys.exit("keyboard_pty: no %r on the terminal; it shows:\n%s" % (pattern, seen[start:].decode("utf-8", "replace")))


def type_keys(keys):
    os.write(fd, keys)


def wait_until_line_mode():
    """Waits, a short while, for the window between two edited lines in
    which the editor has handed the terminal back to its line mode."""
    end = time.time() + 2
    while time.time() < end and not termios.tcgetattr(fd)[3] & termios.ICANON:
        pass


def count(text):
    return seen.count(text.encode("utf-8"))


wait_for(rb"Polecenie: ")
type_keys(b"_CIRCLE\r")
wait_for("Podaj środek okręgu".encode())
type_keys(b"100,100\r")
wait_for("promień".encode())
type_keys(b"25\r")
wait_for(rb"Polecenie: ")

# Ctrl-C cancels the prompt that waits, not the program.
type_keys(b"_LINE\r")
wait_for(rb"Podaj")
type_keys(b"\x03")
wait_for(rb"\*Anuluj\*[\s\S]*Polecenie: ")

# Ctrl-C typed while the command starts, with the terminal back in its line
# mode, cancels the command's first prompt as well.
type_keys(b"_LINE\r")
wait_until_line_mode()
type_keys(b"\x03")
wait_for(rb"\*Anuluj\*[\s\S]*Polecenie: ")

# Escape does the same, once the editor has waited for a longer key.
type_keys(b"_LINE\r")
wait_for(rb"Podaj")
type_keys(b"\x1b")
wait_for(rb"\*Anuluj\*[\s\S]*Polecenie: ")

# The history: four lines back is "_CIRCLE"; a typo mended with Backspace.
type_keys(b"\x1b[A\x1b[A\x1b[A\x1b[A\r")
wait_for("Podaj środek okręgu".encode())
type_keys(b"300,109\x7f0\r")
wait_for("promień".encode())
type_keys(b"40\r")

# Enter at the empty command prompt repeats the last command.
wait_for(rb"Polecenie: ")
type_keys(b"\r")
wait_for("Podaj środek okręgu".encode())
type_keys(b"500,100\r")
wait_for("promień".encode())
type_keys(b"30\r")

# Ctrl-D typed ahead, while the command still runs and the terminal is back
# in its line mode, ends the session as well once the prompt comes; the
# drawing is saved.
wait_until_line_mode()
type_keys(b"\x04")
wait_for(rb"Polecenie: ")
try:
    while True:
        ready, _, _ = select.select([fd], [], [], 60)
        if not ready:
            break
        chunk = os.read(fd, 4096)
        if not chunk:
            break
        seen += chunk
except OSError:
    pass
# A session that does not end fails here rather than at the test's timeout.
for _ in range(300):
    ended, status = os.waitpid(pid, os.WNOHANG)
    if ended:
        break
    time.sleep(0.1)
else:
    os.kill(pid, signal.SIGKILL)
    _, status = os.waitpid(pid, 0)
    sys.exit("keyboard_pty: the session did not end at Ctrl-D; the terminal shows:\n"
             + seen.decode("utf-8", "replace"))
text = seen.decode("utf-8", "replace")
failures = []
if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
    failures.append("velmhost ended with status %r" % status)
if count("Nieznane polecenie"):
    failures.append("a typed answer reached the command prompt")
if count("*Anuluj*") != 3:
    failures.append("expected three cancelled prompts, saw %d" % count("*Anuluj*"))
try:
    with open(out_dxf, encoding="utf-8") as f:
        lines = [line.strip() for line in f]
except OSError as e:
    failures.append("no saved drawing: %s" % e)
    lines = []
circles = [i for i in range(len(lines) - 1) if lines[i] == "0" and lines[i + 1] == "CIRCLE"]
centres = sorted((float(lines[i + 1 + lines[i + 1:].index("10") + 1]), float(lines[i + 1 + lines[i + 1:].index("20") + 1])) for i in circles)
if centres != [(100.0, 100.0), (300.0, 100.0), (500.0, 100.0)]:
    failures.append("circles at %r, expected (100,100), (300,100) and (500,100)" % centres)
if failures:
    sys.exit("keyboard_pty: " + "; ".join(failures) + "\n--- terminal ---\n" + text)
print("keyboard_pty: circles drawn, prompts cancelled, session ended by Ctrl-D")

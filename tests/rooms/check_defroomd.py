"""The catalogue VELMDEFROOMD saved: the shipped sets byte for byte, then
the new set "NOWY" and no trace of the cancelled one."""
import sys

shipped, saved = (open(p, "rb").read() for p in sys.argv[1:3])
if not saved.startswith(shipped):
    sys.exit("the shipped sets changed")
rest = saved[len(shipped):].decode("utf-8")
if "[NOWY]" not in rest or "Nowy zestaw" not in rest or "Kuchnia" not in rest:
    sys.exit("the new set is missing: " + rest)
if "ANULOWANY" in saved.decode("utf-8"):
    sys.exit("the cancelled set was written")

"""Facts of the walkthrough's house, read from its saved drawing by an
independent reader: the walls in 3D stand from the floor to the floor's
height set first (300, not the new drawing's 1), the slab, the roof's four
pitches, the stair and the four openings are there.

    check_first_house.py FILE.dxf        exit 77 when ezdxf is missing
"""
import sys

try:
    import ezdxf
except ImportError:
    print("ezdxf missing: the house check is skipped (install python3-ezdxf)")
    sys.exit(77)

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
problems = []

faces = msp.query('3DFACE[layer=="VELM3DWALLS$0"]')
if len(faces) == 0:
    problems.append("no 3D wall faces")
else:
    zs = [v.z for f in faces for v in (f.dxf.vtx0, f.dxf.vtx1, f.dxf.vtx2, f.dxf.vtx3)]
    if abs(min(zs)) > 1e-6 or abs(max(zs) - 300.0) > 1e-6:
        problems.append("3D walls from z %g to %g, expected 0 to 300" % (min(zs), max(zs)))


def inserts(layer):
    return len(msp.query('INSERT[layer=="%s"]' % layer))


for layer, n in (("FLOORSLAB", 1), ("ROOFSLAB", 4), ("STAIRS", 1)):
    if inserts(layer) != n:
        problems.append("%d inserts on %s, expected %d" % (inserts(layer), layer, n))
openings = [e for e in msp.query("INSERT") if e.has_xdata("VELM6$_$ABINFISSI_OBJ-")]
if len(openings) != 4:
    problems.append("%d scheduled openings, expected 4 (two doors, two windows)" % len(openings))

if problems:
    sys.exit("first house: " + "; ".join(problems))
print("first house: walls 0 to 300, slab, roof, stair and four openings")

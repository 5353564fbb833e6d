// The caps of a section: where the section plane cuts a solid, its cut is
// closed by a cap, whatever layers the solid's faces lie on (a slab's top,
// bottom and sides, a stair's treads and risers). The face set is hollow
// behind the cut, so nothing of the faces marks the cap: it is what each
// solid's cut edges enclose (cap_solids), the union of all solids' caps
// hatched once. A ring around empty space (a room closed by the cut walls
// and slabs) is no solid's and no cap.
//
// The caps become section hatch boundaries beside the cut walls' own
// outlines (what is inside them is not drawn), and no shadow falls inside
// one.
//
// Limits: a solid whose faces do not close (a model drawn elsewhere) is
// capped only where its cut closes, or where a gap in it lies at one level
// between two free ends with the solid just off the gap (an open foot or
// top); a gap standing upright (a wall without faces at an opening's side)
// leaves that piece of the cut bare.
#pragma once

class CSezione;
struct OutlinePolygon;
struct VertexNode;

// Finds the caps among the cut edges of the section's face set (before any
// face is taken out of it) into section.capOutlines.
void FindSectionCaps(CSezione& section);

// Whether a cap holds the ring (a point well inside it lies in a cap) and
// the ring rings no void of the cuts' graph.
bool InCap(const CSezione& section, const VertexNode* ring);

// Appends to the wall outline list a copy of each cap that no ring already
// there holds.
void AddCapOutlines(CSezione& section);

// Takes out of the section's shadow pieces what lies inside a cap.
void ClearShadowsInCaps(CSezione& section);

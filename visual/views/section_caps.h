// The caps of a section: where the section plane cuts a solid, its cut is
// closed by a cap, whatever layers the solid's faces lie on (a slab's top,
// bottom and sides, a stair's treads and risers). The face set is hollow
// behind the cut, so nothing of the faces marks the cap; it is found here
// from the cut edges of all layers together and kept only where a solid
// lies behind it: rays from a point inside it, into the view, cross that
// solid's faces an odd number of times. A ring around empty space (a room
// closed by the cut walls and slabs) crosses them an even number of times
// and is no cap. The 3D walls, open at their foot and top, are judged by
// their cut in the plane instead, and closed across their feet and tops.
// Where the cuts of two solids overlap or meet, the cap is their union.
//
// The caps become section hatch boundaries beside the cut walls' own
// outlines (what is inside them is not drawn), and no shadow falls inside
// one.
//
// Limits: a wall whose opening's reveals are another object's faces (a
// door's) has its cut left open there, and a level row beyond the opening
// may find the wall where there is none.
#pragma once

#include <string>

class CSezione;
struct OutlinePolygon;
struct VertexNode;

// Whether a layer's name marks the faces of the 3D walls.
bool IsWallLayerName(const std::string& name);

// Finds the caps among the cut edges of the section's face set (before any
// face is taken out of it) into section.capOutlines.
void FindSectionCaps(CSezione& section);

// Whether a cap holds the ring (a point well inside it lies in a cap).
bool InCap(const CSezione& section, const VertexNode* ring);

// Appends to the wall outline list a copy of each cap that no ring already
// there holds.
void AddCapOutlines(CSezione& section);

// Takes out of the section's shadow pieces what lies inside a cap.
void ClearShadowsInCaps(CSezione& section);

// The caps of a section: where the section plane cuts a solid, its cut is
// closed by a cap, whatever layers the solid's faces lie on (a slab's top,
// bottom and sides, a stair's treads and risers). The face set is hollow
// behind the cut, so nothing of the faces marks the cap; it is found here
// from the cut edges of all layers together and kept only where the solid
// lies behind it: the ray from a point inside it, along the view direction,
// crosses the faces an odd number of times. A ring around empty space (a
// room closed by the cut walls and slabs) crosses them an even number of
// times and is no cap.
//
// The caps become section hatch boundaries beside the cut walls' own
// outlines (what is inside them is not drawn), and no shadow falls inside
// one.
//
// Limits: a cap is a ring without holes, a bounded face of the plan graph
// of the cuts; the cut of a hollow solid (a ring around a ring) is judged
// by points that may fall in its hollow.
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

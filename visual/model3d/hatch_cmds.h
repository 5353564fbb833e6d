// The hatch commands: a free outline typed point by point in any plane, the
// floors of rooms picked by an inner point, and the faces of walls between
// two heights or up to the slabs over them, openings left out. Each opens
// its settings dialog first and keeps what OK confirms in the drawing.
#pragma once

#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "walls/graph/hatch_graph.h"

// "VELMHATCH3D"
void CmdHatch3D();
// "VELMHFLOOR"
void CmdHatchFloor();
// "VELMHWALL"
void CmdHatchWall();

// ---- the parts, open to their tests ----

// The top of a straight face with variable height, from E back to S: the
// profile under the slabs, with a vertex too close to the bottom (bottomZ)
// raised, repeats removed, a vertex put where an edge crosses the cap
// height and every part above the cap brought down onto it. Consumes
// `profile` (S to E).
VertexNode* CapSlabTop(VertexNode* profile, double bottomZ, double capZ);

// One facet of an arc face between the angles from and to (already clamped
// to the arc), as polygons in world coordinates: the strip on the chord
// from low to the top (`top`, the top's vertices over the chord in any
// order, consumed; null for a flat top at high), less the opening. Seams
// invisible; bottom, top and the opening's edges visible.
struct ArcFacet {
    Point3 centre;
    double radius = 0.0;
    double from = 0.0, to = 0.0;  // unwrapped, from < to
    double low = 0.0, high = 0.0;
};
// The opening's angles are unwrapped as the facet's are; a jamb within the
// shared tolerance of the wall's own end (arcStart, arcEnd) notches
// nothing.
std::vector<VertexNode*> ArcFacetPolygons(const ArcFacet& facet, const HatchArcOpening* opening,
                                          double arcStart, double arcEnd, VertexNode* top);

// Services of the 3D display and view commands: the visibility of one edge
// of a 3DFACE toggled, the camera of the current layout viewport set, and
// the 3DFACEs and wall entities that belong to one face of the wall-face
// graph gathered into selection sets. No user interaction but the camera's
// one message in the model tab.
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "walls/graph/wall_face.h"

// The edge of the 3DFACE `face` (its entity list, corners taken through
// `matrix`) nearest to `point` changes its visibility; the entity is written
// back. The first edge wins on equal distances.
void ToggleNearestFaceEdge(const Point3& point, const Matrix4& matrix, resbuf* face);

// Modes: -1 the view settings put back (perspective and clipping off); 0
// direction and target; 1 the same with the front clip at the camera; 3
// also the lens and a view height from it; 4 the same in perspective.
// Others change nothing. In the model tab only a message.
void SetViewportCamera(const Point3& camera, const Point3& target, double lens, int mode);

// The 3DFACEs of `input` on the floor at `level` whose corners all lie on
// the wall face are added to `output` (made when it holds no set).
void SelectFacesOnWallFace(ads_name output, double level, const ads_name input, const WallFace& face);

// The wall entities of the face's edges are added to `set`.
void AddFaceEdgesToSelection(const WallFace& face, ads_name set);

// What lies on the face of the graph at `level` that holds the wall LINE
// or ARC `wall` is added to `out` (made when it holds no set): its 3DFACEs
// among `faces`, or with `faces` null its wall lines and arcs. With `outer`
// the same for every face of the wall's contour, its curves taken by
// chords. False when no face holds the entity.
bool GatherOnWallFace(const ads_name wall, double level, bool outer, const std::int64_t* faces, ads_name out);

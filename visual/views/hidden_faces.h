// Hidden faces of a view: the faces of the view's face set that lie wholly
// behind a nearer plane of faces are removed before the faces are projected.
//
// Coplanar faces of one layer form a face group. Each group's outline
// polygons (holes bridged in) are traced along the edges its faces do not
// share, and a face that lies behind the group's plane and, seen from the
// viewer, inside one of its outlines is dropped. Faces and outlines are
// screened by cell boxes on a 20 x 20 x 20 grid over the face set, and the
// faces run from the farthest depth cell to the nearest so that the test
// of one outline stops at the first face wholly in front of it.
//
// Layers whose names match a shadow-layer pattern of the drawing (railings,
// glazing: what one sees through) make no groups; their faces are kept and
// hide nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/matrix4.h"
#include "host/ge/geplane.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_faces.h"

// One member of a face group: names a face of the face set, never owns it.
struct FaceMember {
    FaceMember* next = nullptr;
    SectionFace* face = nullptr;
};

// Coplanar faces of one layer with their outlines in view coordinates.
struct FaceGroup {
    FaceGroup* next = nullptr;
    FaceMember* members = nullptr;
    OutlinePolygon* outlines = nullptr;
    std::string layer;
    ZcGePlane plane;  // the plane of the face that started the group (c <= 0)
    std::int32_t id = 0;
};

// Frees the groups with their member nodes and outlines (not the faces).
FaceGroup* FreeFaceGroups(FaceGroup* groups);

// 0 when the layer name matches one of the patterns (both upper-cased, by
// the host's wildcard match), 1 otherwise.
int IsShadedLayer(const std::vector<std::string>& patterns, const std::string& layer);

// The shadow-layer patterns of the current drawing.
std::vector<std::string> ReadShadowLayerPatterns();

// Removes the hidden faces of the face set (which it takes) and returns
// what is left, farthest depth cell first. The face groups, sorted by the
// lowest depth cell of their first outline, go to groupsOut (null when
// there is none). The grid is 21 coordinates per axis, axis by axis.
SectionFace* ComputeHiddenLines(SectionFace* faces, const double grid[63], FaceGroup** groupsOut);
// The same with the shadow-layer patterns given.
SectionFace* ComputeHiddenLines(SectionFace* faces, const double grid[63], FaceGroup** groupsOut,
                                const std::vector<std::string>& patterns);

// The passes of ComputeHiddenLines, for whoever has groups of their own.
// Marks the invisible edges two members of a group share.
void MarkSharedGroupEdges(FaceGroup* groups);
// Traces every group's outlines with their holes bridged in, in view
// coordinates; frees the member lists.
void BuildGroupOutlines(FaceGroup* groups, const double grid[63]);
// Drops from the face set (sorted farthest first) every face hidden by an
// outline of a group whose plane is not perpendicular to the view plane.
SectionFace* RemoveFacesHiddenByGroups(FaceGroup* groups, SectionFace* faces);

// The span of a grid: 21 coordinates per axis from the minimum to the
// maximum in equal steps, axis by axis.
void SpanViewGrid(const double boxMin[3], const double boxMax[3], double grid[63]);

// The matrices between view coordinates and a plane's own (x and y in the
// plane by the arbitrary-axis rule, z along its normal).
void PlaneMatrices(const ZcGePlane& plane, Matrix4& toPlane, Matrix4& toSpace);
void TransformRing(VertexNode* ring, const Matrix4& m);
// The outline's plan box from its ring.
void SetOutlineBox(OutlinePolygon& o);

// Cast shadows of a view: the shadows the face groups of a view throw on
// one another under a parallel light, less what nearer groups cover in the
// view, grouped by the group they fall on.
//
// Every group outline is taken into light coordinates (a frame whose z runs
// towards the light): there a caster's shadow on a receiver is the part of
// the receiver's outline that the caster, laid onto the receiver's plane
// along the light, covers where it lies nearer the light. Receivers hidden
// in the view and casters wholly in another's shadow are screened out
// first; the pieces are brought back into view coordinates and clipped by
// the outlines in front of them.
#pragma once

#include <cstdint>

#include "core/geometry/matrix4.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/polygon_clip.h"

// How the shadow pass finds the pairs worth trying (a caster and a
// receiver, an outline and the pieces it may cover, pieces that may join):
// through plan indexes, leaving out pairs whose rings lie clearly apart;
// or, with `indexed` false, by trying every pair the boxes let through,
// which gives the same pieces. `pairsTried`, when set, counts the outline
// and piece pairs the hiding tried.
struct ShadowSearch {
    bool indexed = true;
    std::int64_t* pairsTried = nullptr;
};

// The visible shadow pieces, numbered 1, 2, 3, … in list order, or null.
// The groups (view coordinates, as ComputeHiddenLines leaves them) are
// numbered in list order and lose those seen edge-on. The light direction
// points towards the light, in world coordinates; the view frame takes the
// world into view coordinates. A user break sets breakFlag and gives null.
ShadowGroup* ComputeViewShading(FaceGroup** groups, const Matrix4& viewFrame, const Point3& lightDirection,
                                std::uint8_t& breakFlag, const ShadowSearch& search = {});

// Removes from the pieces (view coordinates, with cell boxes on gridA) the
// parts that outlines of nearer groups cover, then merges each group's
// pieces and numbers the groups. A user break sets breakFlag and stops.
ShadowGroup* HideShadowPieces(ShadowGroup* shadows, FaceGroup* groups, const double gridA[63],
                              std::uint8_t& breakFlag, const ShadowSearch& search = {});

// Takes out of the shadow pieces (view coordinates) what lies inside one
// of the outlines: the cuts of a section, which lie nearer than anything
// they cover and which nothing shades, whatever the faces behind them
// (a solid left open at its ends, top or bottom shows its inside there).
void ClearShadowsInOutlines(ShadowGroup* shadows, const OutlinePolygon* outlines);

// The progress meter labels of the two passes.
inline constexpr const char* kShadingMeter = "Obliczenia cieniowania";
inline constexpr const char* kHidingMeter = "Ukrywanie odcieni";

// The hatching service: building elements' contours filled with a hatch
// pattern, in the contour's own plane, in plan, or as a wall face block,
// and the hatch record "VELM5$_$TRATTEGGI-" that lets an element's hatch be
// found again (by its outline), re-made at another scale or removed.
//
// A contour is a list of loops (FaceRecord nodes, the vertex ring in
// `corners`): the first is the outer boundary, the others are islands. A
// vertex's edgeFlag 0 marks the edge to the next vertex as visible.
#pragma once

#include <optional>
#include <string>

#include "core/geometry/matrix4.h"
#include "core/geometry/triangulate.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

struct resbuf;
class ZcDbEntity;
class ZcDbHatch;

constexpr const char* kHatchApp = "VELM5$_$TRATTEGGI-";
constexpr const char* kHatchTooDenseMessage =
    "\nKreskowanie jest zbyt ciasne, użyj większego współczynnika skali";

// The record's values, in record order; the loops travel apart.
struct HatchXData {
    int kind = 0;
    double scale = 1.0;
    double angle = 0.0;  // degrees
    std::string pattern;
    Point3 p1, p2, p3;
    std::string layer;
    double shift = 0.0;
};

// A hatch in the plane of the contour on the hatch layer of `layer` for the
// element kind `kind` (1 and 2 "3D%s_H", 6 "%s_H", a level layer its own
// key at its level), tagged unless kind is 4; z of every vertex is raised
// by the elevation.
void HatchContour(const FaceRecord* contour, const std::string& layer, const double* angle,
                  const double* scale, const double* elevation, const std::string& pattern, int kind);
// A hatch in plan at the height of the first vertex, on `layer`, untagged.
void HatchContourPlan(const FaceRecord* contour, const std::string& layer, const double* angle,
                      const double* scale, const std::string& pattern);
// A wall face: an anonymous block of the visible edges (on the bare layer
// name + "_c") and the hatch, inserted at the origin on `layer` with the
// record of kind 3 (points with their visibility flags). shift may be null.
void HatchContour3d(const FaceRecord* contour, const std::string& layer, const double* angle,
                    const double* scale, const std::string& pattern, const double* shift);

// The record of `entity`: its values and its loops (a new list the caller
// frees with FreeList); null when the entity has no record or the record is
// not well formed (a group of the wrong code or a record cut short).
FaceRecord* GetHatchData(const ads_name entity, HatchXData& data);

// The kind code of the first tagged entity whose first loop matches
// `outline` (same vertex count, every outline vertex strictly within
// |tolerance| of a vertex of the loop), its name in `entity`; 0 for none.
// `data` holds what was last read.
int FindHatchByOutline(const VertexNode* outline, double tolerance, HatchXData& data, ads_name entity);

// ---- shared with the other makers of hatches ----

// A hatch as the service makes them: unassociated, normal style, the
// pattern custom when "<pattern>.pat" is on the support path, else
// predefined; angle in degrees. The caller owns it.
ZcDbHatch* NewModuleHatch(const std::string& layer, double angleDegrees, double scale,
                          const std::string& pattern);
// Evaluates the pattern lines; when the host cannot, prints
// kHatchTooDenseMessage, deletes the hatch and returns false.
bool EvaluateModuleHatch(ZcDbHatch* hatch);
// Appends the entity to the working drawing's block of that name and
// closes it; when that fails the entity is deleted and false returned.
bool AppendToBlock(const std::string& blockName, ZcDbEntity* entity);

// ---- the parts, open to their tests ----

// The catalogue key of the hatch layer and whether it is a level layer.
struct HatchLayerKey {
    std::string key;
    bool useLevel = false;
    double level = 0.0;
};
HatchLayerKey HatchLayerKeyFor(const std::string& layer, int kind);

// The record as an xdata list (1001 first). withFlags adds each vertex's
// visibility flag after its point; z of each point is raised by zRaise.
resbuf* BuildHatchRecord(const HatchXData& data, const FaceRecord* loops, bool withFlags, double zRaise);
// Reads a record list (starting at its 1001 or at any node before the first
// 1070); null when it is not well formed.
FaceRecord* ParseHatchRecord(const resbuf* xdata, HatchXData& data);

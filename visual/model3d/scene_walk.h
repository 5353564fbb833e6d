// What the scene exporters share when they walk the drawing: the placed
// light objects, the record groups of a placed object (its name, insertion
// point and rotation), the entities of a block in their order, the
// transform of a nested insert, and the view and pick variables they read.
// Each exporter keeps its own reading of a light's or camera's numbered
// values and its own output.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/db/dbid.h"
#include "host/db/dbxform.h"
#include "host/ge/gebase.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

namespace scene {

// The record of placed objects and its special part.
inline constexpr const char* kParamApp = "VELM5$_$PARAMETRI-";
inline constexpr const char* kParaSpecApp = "VELM5$_$PARASPEC-";
// The object name of cameras and the object type of lights.
inline constexpr const char* kCameraName = "TMS_PROS";
inline constexpr int kLightObjectType = 49;

// The 1001 group of `app` in an xdata list (names compared without case).
const resbuf* FindApp(const resbuf* list, const char* app);
// The first 1000 group of the object record: the object's name.
const resbuf* ObjectNameGroup(const resbuf* list);
const resbuf* FindGroup(const resbuf* list, int code);
// The insertion point (group 10) and rotation (group 50) of the record.
ZcGePoint3d InsertionPoint(const resbuf* list);
double InsertionRotation(const resbuf* list);

// The kinds of a placed light (variable 34 of its special record); a light
// of another number is passed over by the exporters.
inline constexpr int kNoLight = 0;
inline constexpr int kPointLight = 1;
inline constexpr int kSpotLight = 2;
inline constexpr int kDirectionalLight = 3;
// The light kind: the whole part of the real after the first 1070 group of
// the special record that reads 34, read pair by pair (number, value) so
// that variables written before it are stepped over; kNoLight when there is
// none.
int LightKind(const ads_name light);

// Each placed light (an INSERT with the object record, of the light type)
// handed to `visit` in the drawing's order, until it returns false.
void ForEachPlacedLight(const std::function<bool(const ads_name light)>& visit);
// What a walk of the whole drawing may expand to: every reference replaced
// by its block's contents, the entities other than references counted. A
// real building is 10^4 to 10^6 faces; ten million keeps a walk's time
// and memory within any machine, where nested blocks of a few kilobytes
// can otherwise stand for billions. The bytes a scene file takes are
// bounded on their own as it is written (scene_file.h): ten million faces
// would take some four gigabytes.
inline constexpr std::uint64_t kMaxSceneEntities = 10000000;
// True, with the reason on the command line and the command marked as
// failed, when the drawing cannot be walked whole: a block that contains
// itself, blocks nested deeper than a walk's path may grow, or more than
// kMaxSceneEntities entities. A command that walks the whole drawing asks
// before it writes anything.
bool RefuseOversizedScene();
// The faces a scene holds of a block's contents (a space's, say): its
// 3DFACEs and those of the blocks its references show, at any depth, each
// reference counted; a dimension's block and every other entity hold none.
// Counted once per block definition, nothing opened or expanded.
std::uint64_t SceneFaces(const ZcDbObjectId& blockId);
// The entities of a block record, read whole before the caller opens any.
std::vector<ZcDbObjectId> BlockEntities(const ZcDbObjectId& blockId);
// left × right: a nested insert's transform within its parent's.
ZcDbXform Product(const ZcDbXform& left, const ZcDbXform& right);

ZcGePoint3d Polar(const ZcGePoint3d& base, double angle, double distance);
Point3 ToPoint3(const ZcGePoint3d& p);
// A point system variable (VIEWDIR, VIEWCTR …).
ZcGePoint3d ReadPointVar(const char* name);

}  // namespace scene

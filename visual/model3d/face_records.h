// The 3D faces of the walls as they stand in the drawing: plain 3DFACEs on
// the level layer of the side they belong to, found again only by that
// layer's level and by where they stand in plan; and the mark that
// generation leaves on the 2D wall lines, which tells later edits in which
// mode to generate a side again.
//
// With levels switched off every layer reads level 0, so a face's floor is
// told by its height instead: the floor of the floor list (or the floor
// being generated) lying highest more than the tolerance below the mean z
// of its corners, else the lowest.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"

struct WallFace;

inline constexpr const char* kModel3DTypeApp = "VELM12CAD$_$TIPOM3DAUTOMATICO-";
inline constexpr const char* k3DWallsKey = "3DWALLS";

// Puts the mode mark on one wall entity; an equal mark is not written
// again, other applications' xdata stays. False when the entity cannot be
// read or written.
bool SetModelTypeXData(const ads_name entity, int mode);
// Marks every wall line and arc of the face.
void MarkFaceModelType(const WallFace& face, int mode);

// Erase the faces of the floor at `elevation` standing on a straight side
// (all four corners on the segment in plan) or on a curved one (corner 1
// or 2 at the radius, all four within the span).
void Erase3DFacesOnSegment(const Point3& p1, const Point3& p2, double elevation);
void Erase3DFacesOnArc(const ArcRecord& arc, double elevation);

// Both erases for many sides of one floor in one pass over the faces (a
// face is erased when it stands on any of them).
void Erase3DFacesOnSides(const std::vector<const WallFace*>& sides, double elevation);

// The final layer names the floor's wall faces may lie on: "3DWALLS" and
// the 3D twin of every wall layer, mapped through the catalogue and made
// level layers as the generators make them (no layer is made).
std::vector<std::string> FloorWallFaceLayers(const AAR_LAYERC& catalogue, double elevation);
// Every 3DFACE of the floor on those layers, and their erase.
std::vector<std::array<std::int64_t, 2>> FloorWallFaces(const AAR_LAYERC& catalogue, double elevation);
void EraseFloorWallFaces(const AAR_LAYERC& catalogue, double elevation);

// The wall faces of one floor as they stand, kept for a step that makes
// some of them again and may be given up: Restore erases every face of
// the floor made since and brings back every one erased since, so the
// floor holds the very faces it held, corners in their order.
class FloorFacesKept {
public:
    FloorFacesKept(const AAR_LAYERC& catalogue, double elevation);
    void Restore() const;

private:
    const AAR_LAYERC& m_catalogue;
    double m_elevation;
    std::vector<std::array<std::int64_t, 2>> m_faces;
};

// The layer of a face's side: "3DWALLS", or with useWallLayer the 3D twin
// of the first edge with a wall-layer index (straight edges, then arc
// edges; the later found wins), through EnsureLayer.
std::string SideLayer(const WallFace& face, bool useWallLayer, const AAR_LAYERC& catalogue, double elevation,
                      bool ownKindOnly);

// True when the face (corners c) belongs to the floor at `elevation`.
bool FaceOnFloor(const std::string& layer, const Point3 corners[4], double elevation);

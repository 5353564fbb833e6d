// Face records, level layers and the mode mark. The erases select every
// 3DFACE once and reject faces of other floors by their layer's level
// before any geometry is read.
#include "visual/model3d/face_records.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/level_layers.h"
#include "core/level_settings.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "settings/floors.h"
#include "store/settings_store.h"
#include "store/velm_layermuri.h"
#include "visual/model3d/wall_closing.h"
#include "walls/graph/wall_face.h"

namespace {

// Every 3DFACE of the drawing, as names.
std::vector<std::array<std::int64_t, 2>> AllFaces(const char* layer = nullptr) {
    std::vector<std::array<std::int64_t, 2>> out;
    host::ResbufList filter(layer ? zcutBuildList(RTDXF0, "3DFACE", 8, layer, 0)
                                  : zcutBuildList(RTDXF0, "3DFACE", 0));
    host::SelectionSet set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return out;
    const std::int32_t n = set.size();
    out.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (set.name(i, e)) out.push_back({e[0], e[1]});
    }
    return out;
}

bool ReadFaceList(const resbuf* list, std::string& layer, Point3 c[4]);

// Layer and corners of a 3DFACE; false when unreadable.
bool ReadFace(const ads_name e, std::string& layer, Point3 c[4]) {
    host::ResbufList list(zcdbEntGet(e));
    if (!list) return false;
    return ReadFaceList(list.get(), layer, c);
}

bool ReadFaceList(const resbuf* list, std::string& layer, Point3 c[4]) {
    int found = 0;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 8 && rb->resval.rstring) layer = rb->resval.rstring;
        if (rb->restype >= 10 && rb->restype <= 13) {
            const double* p = rb->resval.rpoint;
            c[rb->restype - 10] = {p[0], p[1], p[2]};
            ++found;
        }
    }
    return found == 4;
}

std::vector<double> FloorElevations(double elevation) {
    std::vector<double> out{elevation};
    if (ZcDbObjectPointer<VELM_PIANI> floors(OpenPianiObject(true)); floors) {
        for (const AA_PIANO& f : floors->piani.floors) out.push_back(f.elevation);
    }
    return out;
}

bool OnFloorByHeight(const Point3 c[4], double elevation, const std::vector<double>& floors) {
    const double mean = (c[0].z + c[1].z + c[2].z + c[3].z) / 4.0;
    double best = 0.0, lowest = floors.front();
    bool found = false;
    for (double f : floors) {
        lowest = std::min(lowest, f);
        if (f < mean - SharedTolerance && (!found || f > best)) {
            best = f;
            found = true;
        }
    }
    const double floor = found ? best : lowest;
    return std::fabs(floor - elevation) <= kLevelTolerance;
}

bool OnFloor(const std::string& layer, const Point3 c[4], double elevation,
             const std::vector<double>* floors) {
    if (floors) return OnFloorByHeight(c, elevation, *floors);
    double level = 0.0;
    return !ParseDollarNumber(layer, level) || std::fabs(level - elevation) <= GeomEpsilon;
}

template <class Test>
void EraseFacesWhere(double elevation, Test&& standsOnSide) {
    const bool byHeight = LevelsSwitchedOff();
    const std::vector<double> floors = byHeight ? FloorElevations(elevation) : std::vector<double>{};
    const host::ResbufList apps(zcutBuildList(RTSTR, kClosingFaceApp, 0));
    for (const auto& name : AllFaces()) {
        const ads_name e{name[0], name[1]};
        host::ResbufList list(zcdbEntGetX(e, apps.get()));
        std::string layer;
        Point3 c[4];
        if (!list || !ReadFaceList(list.get(), layer, c)) continue;
        if (!OnFloor(layer, c, elevation, byHeight ? &floors : nullptr)) continue;
        // A face closing a wall across stands where its side does: at its foot.
        if (Point3 foot; ClosingFaceFoot(list.get(), foot)) std::fill(c, c + 4, foot);
        if (standsOnSide(c)) zcdbEntDel(e);
    }
}

}  // namespace

bool FaceOnFloor(const std::string& layer, const Point3 corners[4], double elevation) {
    if (!LevelsSwitchedOff()) return OnFloor(layer, corners, elevation, nullptr);
    const std::vector<double> floors = FloorElevations(elevation);
    return OnFloor(layer, corners, elevation, &floors);
}

bool SetModelTypeXData(const ads_name entity, int mode) {
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    if (!list) return false;
    if (resbuf* app = FindXDataApp(list.get(), kModel3DTypeApp)) {
        resbuf* value = app->rbnext;
        if (value && value->restype == 1070) {
            if (value->resval.rint == mode) return true;
            value->resval.rint = static_cast<short>(mode);
            return zcdbEntMod(list.get()) == RTNORM;
        }
        // A mark without its mode gets one.
        resbuf* added = zcutBuildList(1070, mode, 0);
        added->rbnext = app->rbnext;
        app->rbnext = added;
        return zcdbEntMod(list.get()) == RTNORM;
    }
    resbuf* last = list.get();
    bool hasXData = false;
    for (; last->rbnext; last = last->rbnext) hasXData = hasXData || last->restype == -3;
    hasXData = hasXData || last->restype == -3;
    last->rbnext = hasXData ? zcutBuildList(1001, kModel3DTypeApp, 1070, mode, 0)
                            : zcutBuildList(-3, 1001, kModel3DTypeApp, 1070, mode, 0);
    return zcdbEntMod(list.get()) == RTNORM;
}

void MarkFaceModelType(const WallFace& face, int mode) {
    if (host::ResbufList found{zcdbTblSearch("APPID", kModel3DTypeApp, 0)}; !found)
        zcdbRegApp(kModel3DTypeApp);
    for (const FaceEdge* e = face.edges; e; e = e->next)
        if (e->hasEntity()) SetModelTypeXData(e->entity, mode);
    for (const FaceEdge* e = face.arcEdges; e; e = e->next)
        if (e->hasEntity()) SetModelTypeXData(e->entity, mode);
}

namespace {

bool StandsOnSegment(const Point3& p1, const Point3& p2, const Point3 corners[4]) {
    for (int i = 0; i < 4; ++i) {
        const Point3 c{corners[i].x, corners[i].y, p1.z};
        if (!IsPointOnSegment(c, p1, p2)) return false;
    }
    return true;
}

bool StandsOnArc(const ArcRecord& arc, const Point3 corners[4]) {
    Point3 c[4];
    for (int i = 0; i < 4; ++i) c[i] = {corners[i].x, corners[i].y, arc.centre.z};
    auto atRadius = [&](const Point3& p) {
        return std::fabs(HostDistance(arc.centre, p) - arc.radius) <= SharedTolerance;
    };
    if (!atRadius(c[0]) && !atRadius(c[1])) return false;
    for (int i = 0; i < 4; ++i)
        if (!IsPointOnArc(c[i], arc, false)) return false;
    return true;
}

}  // namespace

void Erase3DFacesOnSegment(const Point3& p1, const Point3& p2, double elevation) {
    EraseFacesWhere(elevation, [&](Point3 c[4]) { return StandsOnSegment(p1, p2, c); });
}

void Erase3DFacesOnArc(const ArcRecord& arc, double elevation) {
    EraseFacesWhere(elevation, [&](Point3 c[4]) { return StandsOnArc(arc, c); });
}

void Erase3DFacesOnSides(const std::vector<const WallFace*>& sides, double elevation) {
    if (sides.empty()) return;
    // A grid of the sides' plan boxes, so each face is tested against the
    // sides near its first corner only.
    double total = 0.0;
    for (const WallFace* f : sides) total += f->isArc() ? f->arc.radius : Distance2d(f->start, f->end);
    const double cell = std::max(total / static_cast<double>(sides.size()), 100.0 * SharedTolerance);
    auto key = [cell](double x, double y) {
        return (static_cast<std::int64_t>(std::floor(x / cell)) << 32) ^
               (static_cast<std::int64_t>(std::floor(y / cell)) & 0xffffffff);
    };
    std::unordered_map<std::int64_t, std::vector<const WallFace*>> grid;
    const double pad = 2.0 * SharedTolerance;
    for (const WallFace* f : sides) {
        double x0, y0, x1, y1;
        if (f->isArc()) {
            x0 = f->arc.centre.x - f->arc.radius, x1 = f->arc.centre.x + f->arc.radius;
            y0 = f->arc.centre.y - f->arc.radius, y1 = f->arc.centre.y + f->arc.radius;
        } else {
            x0 = std::min(f->start.x, f->end.x), x1 = std::max(f->start.x, f->end.x);
            y0 = std::min(f->start.y, f->end.y), y1 = std::max(f->start.y, f->end.y);
        }
        for (double x = std::floor((x0 - pad) / cell); x <= std::floor((x1 + pad) / cell); x += 1.0)
            for (double y = std::floor((y0 - pad) / cell); y <= std::floor((y1 + pad) / cell); y += 1.0)
                grid[key(x * cell + cell / 2, y * cell + cell / 2)].push_back(f);
    }
    EraseFacesWhere(elevation, [&](Point3 c[4]) {
        auto it = grid.find(key(c[0].x, c[0].y));
        if (it == grid.end()) return false;
        for (const WallFace* f : it->second)
            if (f->isArc() ? StandsOnArc(f->arc, c) : StandsOnSegment(f->start, f->end, c)) return true;
        return false;
    });
}

std::vector<std::string> FloorWallFaceLayers(const AAR_LAYERC& catalogue, double elevation) {
    std::vector<std::string> keys{k3DWallsKey};
    if (ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject()); walls) {
        for (int i = 0; i < static_cast<int>(walls->entries.size()); ++i)
            keys.push_back(walls->Get3DLayerName(i));
    }
    std::vector<std::string> layers;
    for (std::string name : keys) {
        if (const AA_LAYERC* row = catalogue.FindKey(name); row && !row->layerName.empty())
            name = row->layerName;
        if (!LevelsSwitchedOff()) MakeLevelLayerName(name, elevation);
        const bool seen = std::any_of(layers.begin(), layers.end(), [&](const std::string& l) {
            return zcutEqualsNoCase(l.c_str(), name.c_str());
        });
        if (!seen) layers.push_back(name);
    }
    return layers;
}

std::vector<std::array<std::int64_t, 2>> FloorWallFaces(const AAR_LAYERC& catalogue, double elevation) {
    const bool byHeight = LevelsSwitchedOff();
    const std::vector<double> floors = byHeight ? FloorElevations(elevation) : std::vector<double>{};
    std::vector<std::array<std::int64_t, 2>> out;
    for (const std::string& layer : FloorWallFaceLayers(catalogue, elevation)) {
        for (const auto& name : AllFaces(layer.c_str())) {
            const ads_name e{name[0], name[1]};
            if (byHeight) {
                std::string l;
                Point3 c[4];
                if (!ReadFace(e, l, c) || !OnFloorByHeight(c, elevation, floors)) continue;
            }
            out.push_back(name);
        }
    }
    return out;
}

void EraseFloorWallFaces(const AAR_LAYERC& catalogue, double elevation) {
    for (const auto& name : FloorWallFaces(catalogue, elevation)) {
        const ads_name e{name[0], name[1]};
        zcdbEntDel(e);
    }
}

FloorFacesKept::FloorFacesKept(const AAR_LAYERC& catalogue, double elevation)
    : m_catalogue(catalogue), m_elevation(elevation), m_faces(FloorWallFaces(catalogue, elevation)) {
    std::sort(m_faces.begin(), m_faces.end());
}

void FloorFacesKept::Restore() const {
    for (const auto& name : FloorWallFaces(m_catalogue, m_elevation)) {
        if (std::binary_search(m_faces.begin(), m_faces.end(), name)) continue;
        const ads_name e{name[0], name[1]};
        zcdbEntDel(e);
    }
    // An erased face reads as nothing; erasing it again brings it back.
    for (const auto& name : m_faces) {
        const ads_name e{name[0], name[1]};
        if (!host::ResbufList(zcdbEntGet(e))) zcdbEntDel(e);
    }
}

std::string SideLayer(const WallFace& face, bool useWallLayer, const AAR_LAYERC& catalogue, double elevation,
                      bool ownKindOnly) {
    std::string name = k3DWallsKey;
    if (useWallLayer) {
        int index = -1;
        const bool straight = !face.isArc();
        if (!ownKindOnly || straight)
            for (const FaceEdge* e = face.edges; e && index < 0; e = e->next)
                if (e->layerIndex >= 0) index = e->layerIndex;
        if (!ownKindOnly || !straight) {
            int arcIndex = -1;
            for (const FaceEdge* e = face.arcEdges; e && arcIndex < 0; e = e->next)
                if (e->layerIndex >= 0) arcIndex = e->layerIndex;
            if (arcIndex >= 0) index = arcIndex;
        }
        if (index >= 0) {
            if (ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject()); walls) {
                name = walls->Get3DLayerName(index);
            }
        }
    }
    EnsureLayer(name, catalogue, true, elevation, true);
    return name;
}

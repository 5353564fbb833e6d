// Room deductions, roof windows and roof pitches (see the header).
#include "rooms/room_deductions.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/polygon.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbpoly.h"
#include "objects/language/obj_context.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/graph/contour_highlight.h"
#include "walls/graph/outline_record.h"

namespace {

using Name = std::array<std::int64_t, 2>;
// Every entity carrying `app` (only INSERTs with `insertsOnly`).
std::vector<Name> SelectFromDrawing(const char* app, bool insertsOnly) {
    const host::ResbufList filter(
        insertsOnly ? zcutBuildList(-4, "<and", -3, 1001, app, RTDXF0, "INSERT", -4, "and>", 0)
                    : zcutBuildList(-3, 1001, app, 0));
    std::vector<Name> names;
    host::SelectionSet set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return names;
    const std::int32_t n = set.size();
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (set.name(i, e)) names.push_back({e[0], e[1]});
    }
    return names;
}

// The selections of the innermost open RoomRecordScope, by application,
// and what each selected entity gives, read once per scope however many
// rooms ask.
struct ScopeSelections {
    std::map<std::pair<std::string, bool>, std::vector<Name>> byApp;
    std::map<std::pair<Name, bool>, std::optional<double>> levels;
    std::map<Name, std::optional<Point3>> points;
    std::map<Name, std::optional<double>> layerLevels;
    struct Deduction {
        std::optional<double> area;
        OwnedList<VertexNode> polygon;
    };
    std::map<Name, Deduction> deductions;
};
ScopeSelections* g_scope = nullptr;

// read() once per key while a scope is open; every time without one.
template <class Map, class Read>
typename Map::mapped_type Remembered(Map ScopeSelections::*table, const typename Map::key_type& key,
                                     Read read) {
    if (!g_scope) return read();
    Map& map = g_scope->*table;
    auto at = map.find(key);
    if (at == map.end()) at = map.emplace(key, read()).first;
    return at->second;
}

std::vector<Name> SelectWithApp(const char* app, bool insertsOnly) {
    if (!g_scope) return SelectFromDrawing(app, insertsOnly);
    auto key = std::make_pair(std::string(app), insertsOnly);
    auto at = g_scope->byApp.find(key);
    if (at == g_scope->byApp.end())
        at = g_scope->byApp.emplace(key, SelectFromDrawing(app, insertsOnly)).first;
    return at->second;
}

bool SameLevel(double a, double b) {
    return std::fabs(a - b) <= GeomEpsilon;
}

std::optional<double> LevelOf(const Name& e, bool followBlocks) {
    return Remembered(&ScopeSelections::levels, {e, followBlocks}, [&]() -> std::optional<double> {
        double level = 0.0;
        if (GetEntityLevel(e.data(), level, nullptr, followBlocks) != 1) return std::nullopt;
        return level;
    });
}

std::optional<Point3> InsertionPoint(const Name& e) {
    return Remembered(&ScopeSelections::points, e, [&]() -> std::optional<Point3> {
        host::ResbufList list(zcdbEntGet(e.data()));
        const resbuf* at = FindRbCode(list.get(), 10);
        if (!at) return std::nullopt;
        return Point3{at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]};
    });
}

bool AllInside(const VertexNode* polygon, const VertexNode* room, int mode) {
    for (const VertexNode* v = polygon; v; v = v->next)
        if (PointInPolygon(v->pt(), room, mode) == kOutsidePolygon) return false;
    return true;
}

// Whether the deduction polyline belongs to the floor: with levels on, a
// polyline on a level layer deducts on that floor only.
bool OnFloor(const Name& e, double level) {
    if (SettingInt(SetupVar::VELMLAYERQP, 0) != 0) return true;
    const std::optional<double> own =
        Remembered(&ScopeSelections::layerLevels, e, [&]() -> std::optional<double> {
            host::ResbufList list(zcdbEntGet(e.data()));
            const resbuf* layer = FindRbCode(list.get(), 8);
            double value = 0.0;
            if (!layer || !ParseLevelSuffix(layer->resval.rstring, value)) return std::nullopt;
            return value;
        });
    return !own || SameLevel(*own, level);
}

std::optional<double> ReadDeduction(const Name& e, OwnedList<VertexNode>& polygon);

// The polyline's area and outline polygon; nullopt to skip it.
std::optional<double> DeductionArea(const Name& e, OwnedList<VertexNode>& polygon) {
    if (!g_scope) return ReadDeduction(e, polygon);
    auto at = g_scope->deductions.find(e);
    if (at == g_scope->deductions.end()) {
        ScopeSelections::Deduction d;
        d.area = ReadDeduction(e, d.polygon);
        at = g_scope->deductions.emplace(e, std::move(d)).first;
    }
    if (!at->second.area) return std::nullopt;
    polygon.reset(CopyVertexList(at->second.polygon.get()));
    return at->second.area;
}

std::optional<double> ReadDeduction(const Name& e, OwnedList<VertexNode>& polygon) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, e.data()) != Zcad::eOk) return std::nullopt;
    double area = 0.0;
    Point3 first;
    {
        ZcDbObjectPointer<ZcDbPolyline> pline(id, ZcDb::kForRead);
        if (pline.openStatus() != Zcad::eOk || pline->numVerts() < 3) return std::nullopt;
        pline->getArea(area);
        ZcGePoint3d p;
        pline->getPointAt(0, p);
        first = {p.x, p.y, p.z};
    }
    polygon.reset(PolylineEntityToPolygon(e.data(), first, 0));
    if (!polygon) return std::nullopt;
    return area;
}

void RemoveInside(std::vector<Name>& names, double level, const VertexNode* polygon, int mode,
                  bool followBlocks) {
    std::erase_if(names, [&](const Name& e) {
        const std::optional<double> own = LevelOf(e, followBlocks);
        if (!own || !SameLevel(*own, level)) return false;
        const std::optional<Point3> at = InsertionPoint(e);
        return at && PointInPolygon(*at, polygon, mode) != kOutsidePolygon;
    });
}

// The stair footprint from its record's 1011 points, at the level, in the
// reverse of the stored order.
VertexNode* StairFootprint(const Name& e, double level) {
    host::ResbufList list(GetEntXData(e.data(), kStairFootprintApp));
    const resbuf* app = FindXDataApp(list.get(), kStairFootprintApp);
    if (!app) return nullptr;
    VertexNode* head = nullptr;
    bool started = false;
    for (const resbuf* rb = app->rbnext; rb; rb = rb->rbnext) {
        if (rb->restype == 1011) started = true;
        if (!started || rb->restype != 1011) continue;
        VertexNode* v = NewVertex(rb->resval.rpoint[0], rb->resval.rpoint[1], level, 0, 0, 0, 0);
        v->next = head;
        head = v;
    }
    return head;
}

// Adds the area of an outline (a valid one only: the area reader answers
// negative for too few vertices or a break) and shows it.
double CountOutline(const VertexNode* outline) {
    const double area = PolygonAreaByEars(outline, HostUserBreak);
    if (area <= 0.0) return 0.0;
    HighlightContour(outline, -5, false);
    return area;
}

}  // namespace

RoomRecordScope::RoomRecordScope() : m_outer(g_scope) {
    g_scope = new ScopeSelections;
}

RoomRecordScope::~RoomRecordScope() {
    delete g_scope;
    g_scope = static_cast<ScopeSelections*>(m_outer);
}

double ComputeRoomDeductions(const VertexNode* room, double level) {
    double total = 0.0;
    const bool stairs = SettingInt(SetupVar::SETCOM_DETSCAINT, 1) != 0;
    const bool pillars = SettingInt(SetupVar::SETCOM_DETPILINT, 1) != 0;
    std::vector<Name> P = pillars ? SelectWithApp(kPilasterApp, false) : std::vector<Name>{};
    std::vector<Name> S = stairs ? SelectWithApp(kStairFootprintApp, false) : std::vector<Name>{};
    const std::vector<Name> D = SelectWithApp(kDeductionApp, false);

    for (const Name& e : D) {
        if (!OnFloor(e, level)) continue;
        OwnedList<VertexNode> polygon;
        const std::optional<double> area = DeductionArea(e, polygon);
        if (!area || !AllInside(polygon.get(), room, 0)) continue;
        total += *area;
        HighlightContour(polygon.get(), -5, false);
        RemoveInside(P, level, polygon.get(), 0, false);
        RemoveInside(S, level, polygon.get(), 1, true);
    }
    for (const Name& e : S) {
        const std::optional<double> own = LevelOf(e, true);
        if (!own || !SameLevel(*own, level)) continue;
        const std::optional<Point3> at = InsertionPoint(e);
        if (!at || PointInPolygon(*at, room, kEdgesReported) == kOutsidePolygon) continue;
        OwnedList<VertexNode> footprint(StairFootprint(e, *own));
        total += CountOutline(footprint.get());
    }
    for (const Name& e : P) {
        const std::optional<double> own = LevelOf(e, false);
        if (!own || !SameLevel(*own, level)) continue;
        const std::optional<Point3> at = InsertionPoint(e);
        if (!at || PointInPolygon(*at, room, kEdgesUntested) == kOutsidePolygon) continue;
        OwnedList<VertexNode> outline(GetPillarOutline(e.data()));
        total += CountOutline(outline.get());
    }
    return total;
}

void SumRoofWindowValues(const VertexNode* room, double level, double& windows, double& ventilation) {
    windows = 0.0;
    ventilation = 0.0;
    for (const Name& e : SelectWithApp(kOpeningApp, true)) {
        if (static_cast<InsertionType>(GetParamObjectType(e.data())) != InsertionType::RoofWindow) continue;
        const std::optional<double> own = LevelOf(e, false);
        if (!own || !SameLevel(*own, level)) continue;
        host::ResbufList opening(GetEntXData(e.data(), kOpeningApp));
        const resbuf* app = FindXDataApp(opening.get(), kOpeningApp);
        if (!app) continue;
        OwnedList<VertexNode> polygon(ReadOpeningPolygon(app, nullptr));
        if (!polygon || !AllInside(polygon.get(), room, 1)) continue;
        host::ResbufList params(GetEntXData(e.data(), kSpecialParamsApp));
        const resbuf* rb = FindXDataApp(params.get(), kSpecialParamsApp);
        for (rb = rb ? rb->rbnext : nullptr; rb && rb->restype == 1070 && rb->rbnext;
             rb = rb->rbnext->rbnext) {
            const resbuf* value = rb->rbnext;
            const double real = value->restype == 1070 ? value->resval.rint : value->resval.rreal;
            if (rb->resval.rint == 11015) windows += real;
            if (rb->resval.rint == 11016) ventilation += real;
        }
    }
}

bool IsRoofPitchFlag(int flagWord) {
    if (IsZProfileWord(flagWord)) return false;
    if (flagWord >= kSlabIgnoreWallHeight) flagWord -= kSlabIgnoreWallHeight;
    return flagWord < kSlabSingleLayer;
}

RoofPitch* CollectRoofPitches(double level) {
    RoofPitch* pitches = nullptr;
    for (const Name& e : SelectWithApp(kSlabApp, true)) {
        {
            host::ResbufList list(GetEntXData(e.data(), kSlabApp));
            const resbuf* app = FindXDataApp(list.get(), kSlabApp);
            const resbuf* flag = app ? FindRbCode(app, 1070) : nullptr;
            if (flag && !IsRoofPitchFlag(flag->resval.rint)) continue;
        }
        OwnedList<VertexNode> outline(GetSlabOutlineVertices(e.data()));
        bool above = false;
        for (const VertexNode* v = outline.get(); v; v = v->next) above = above || v->z > level + GeomEpsilon;
        if (!above) continue;
        auto pitch = std::make_unique<RoofPitch>();
        if (!PolygonNormal(outline.get(), pitch->a, pitch->b, pitch->c, pitch->d)) continue;
        if (std::fabs(pitch->c) < GeomEpsilon) continue;
        for (VertexNode* v = outline.get(); v; v = v->next) v->z = 0.0;
        pitch->outline = outline.release();
        pitch->next = pitches;
        pitches = pitch.release();
    }
    return pitches;
}

// Entity readers and selections over the host's entity-data interface.
// Selections are the host's select-all with a filter, so their cost is the
// host's one pass over the drawing; nothing here walks the drawing itself.
#include "core/entity_readers.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/entity_data.h"
#include "core/level_layers.h"
#include "core/level_settings.h"
#include "core/levels.h"
#include "host/ads/ads.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"

namespace {

constexpr std::size_t kMaxSelectName = 259;
constexpr const char* kNotType = "Element nie jest";
constexpr const char* kWrongLayer = "Element nie należy do prawidłowej warstwy";
constexpr const char* kWrongLevel = "Element nie należy do obowiązującej wysokości podłogi";

const char* Text(const resbuf* rb) {
    return rb && rb->resval.rstring ? rb->resval.rstring : "";
}
bool Read(const resbuf* list, int code, Point3& p);
host::ResbufList TypeLayerFilter(const std::string& type, const std::string& layer, bool excludeRectangles);
int SelectAll(const resbuf* filter, ads_name set);
void AddAll(ads_name from, ads_name into, bool& haveSet);

}  // namespace

resbuf* GetEntXData(const ads_name entity, const char* app) {
    const host::ResbufList apps(zcutBuildList(RTSTR, app, 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    if (!FindRbCode(list.get(), 1001)) return nullptr;
    return list.release();
}

void HighlightEntity(const ads_name entity, int flag) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, entity) != Zcad::eOk) return;
    ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
    if (!ent) return;
    if (flag == 0)
        ent->highlight();
    else
        ent->unhighlight();
}

void GetEntTypeAndColor(const ads_name entity, std::string& type, int* color) {
    type.clear();
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list) return;
    type = Text(FindRbCode(list.get(), 0));
    if (!color) return;
    int c = 256;
    if (const resbuf* rb = FindRbCode(list.get(), 62)) c = std::abs(rb->resval.rint);
    if (c == 256) {
        const resbuf* layer = FindRbCode(list.get(), 8);
        if (!layer) {
            c = 0;
        } else {
            // A layer that is off keeps its colour negative.
            const host::ResbufList rec(zcdbTblSearch("LAYER", Text(layer), 0));
            if (const resbuf* rb = FindRbCode(rec.get(), 62)) c = std::abs(rb->resval.rint);
        }
    }
    *color = c;
}

int CheckEntTypeAndLayer(const ads_name entity, std::string_view type, std::string_view layer, bool verbose) {
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list) return 0;
    if (!zcutEqualsNoCase(Text(FindRbCode(list.get(), 0)), type)) {
        if (verbose) zcutPrintf("\n%s %s", kNotType, std::string(type).c_str());
        return 0;
    }
    const resbuf* rb = FindRbCode(list.get(), 8);
    if (!rb || !zcutEqualsNoCase(Text(rb), layer)) {
        if (verbose) zcutPrintf("\n%s", kWrongLayer);
        return 0;
    }
    return 1;
}

int CheckEntityLevelLayer(const ads_name entity, std::string_view type, bool verbose, double& level,
                          bool matchLevel, bool excludeRectangles) {
    const bool levelsOn = !LevelsSwitchedOff();
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    const host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    if (!list) return 0;
    if (excludeRectangles && FindXDataApp(list.get(), kRectangleApp)) {
        if (verbose) zcutPrintf("\n%s", kWrongLayer);
        return 0;
    }
    if (!zcutEqualsNoCase(Text(FindRbCode(list.get(), 0)), type)) {
        if (verbose) zcutPrintf("\n%s %s", kNotType, std::string(type).c_str());
        return 0;
    }
    const resbuf* layerRb = FindRbCode(list.get(), 8);
    if (!layerRb) {
        if (verbose) zcutPrintf("\n%s", kWrongLayer);
        return 0;
    }
    const std::string layer = Text(layerRb);
    double parsed = 0.0;
    if (levelsOn) {
        if (!ParseDollarNumber(layer, parsed)) {
            if (verbose) zcutPrintf("\n%s", kWrongLayer);
            return 0;
        }
    } else {
        level = 0.0;
    }
    if (matchLevel && std::fabs(level - parsed) >= kLevelTolerance) {
        if (verbose) zcutPrintf("\n%s", kWrongLevel);
        return 0;
    }
    const std::string base = levelsOn ? layer.substr(0, layer.find('$')) : layer;
    for (const std::string& entry : DrawingWallLayers()) {
        if (zcutEqualsNoCase(levelsOn ? "VELM" + entry : entry, base)) {
            if (!matchLevel) level = parsed;
            return 1;
        }
    }
    return 0;
}

int ExistsEntityType(std::string_view type, bool verbose, ads_name set) {
    const std::string t(type);
    const host::ResbufList filter(zcutBuildList(RTDXF0, t.c_str(), 0));
    if (t.size() <= kMaxSelectName && SelectAll(filter.get(), set)) return 1;
    if (verbose) zcutPrintf("\nNie istnieje %s w rysunku", t.c_str());
    return 0;
}

int SelectTypeOnLayer(std::string_view type, std::string_view layer, bool verbose, ads_name set,
                      bool excludeRectangles) {
    const std::string t(type), l(layer);
    if (t.size() <= kMaxSelectName && l.size() <= kMaxSelectName) {
        const host::ResbufList filter = TypeLayerFilter(t, l, excludeRectangles);
        if (SelectAll(filter.get(), set)) return 1;
    }
    if (verbose) zcutPrintf("\nNie istnieje %s na warstwie %s", t.c_str(), l.c_str());
    return 0;
}

std::vector<std::string> WallLayerNamesAt(double level) {
    const bool levelsOn = !LevelsSwitchedOff();
    std::vector<std::string> names = DrawingWallLayers();
    if (levelsOn)
        for (std::string& layer : names) MakeLevelLayerName(layer, level);
    return names;
}

int SelectOnWallLayers(std::string_view type, ads_name set, double level, bool report) {
    const std::string t(type);
    bool haveSet = false;
    for (const std::string& layer : WallLayerNamesAt(level)) {
        const host::ResbufList filter(zcutBuildList(RTDXF0, t.c_str(), 8, layer.c_str(), 0));
        ads_name found = {0, 0};
        if (SelectAll(filter.get(), found)) {
            AddAll(found, set, haveSet);
            zcedSSFree(found);
        }
    }
    std::int32_t count = 0;
    if (haveSet && zcedSSLength(set, &count) == RTNORM && count > 0) return 1;
    if (haveSet) zcedSSFree(set);
    set[0] = set[1] = 0;
    if (report) zcutPrintf("\nBrak %s elementów na warstwach ścian", t.c_str());
    return 0;
}

void FilterLineArcSelection(ads_name set) {
    std::int32_t count = 0;
    if (zcedSSLength(set, &count) != RTNORM) return;
    std::vector<std::array<std::int64_t, 2>> drop;
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name ent;
        if (zcedSSName(set, i, ent) != RTNORM) continue;
        std::string type;
        GetEntTypeAndColor(ent, type);
        const bool line = zcutEqualsNoCase(type, "LINE");
        const bool arc = zcutEqualsNoCase(type, "ARC");
        double level = 0.0;
        // Wall elements are no free lines; whatever is neither goes too.
        const bool wall =
            (line || arc) && CheckEntityLevelLayer(ent, line ? "LINE" : "ARC", false, level, false, false);
        if (!(line || arc) || wall) drop.push_back({ent[0], ent[1]});
    }
    for (const auto& e : drop) {
        ads_name ent = {e[0], e[1]};
        zcedSSDel(ent, set);
    }
}

int EraseTypeOnLayer(std::string_view type, std::string_view layer) {
    ads_name set = {0, 0};
    if (!SelectTypeOnLayer(type, layer, false, set, false)) return 0;
    std::int32_t count = 0;
    zcedSSLength(set, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name ent;
        if (zcedSSName(set, i, ent) == RTNORM) zcdbEntDel(ent);
    }
    zcedSSFree(set);
    return 1;
}

int GetCircleData(const ads_name entity, CircleRecord& circle) {
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list || !zcutEqualsNoCase(Text(FindRbCode(list.get(), 0)), "CIRCLE")) return 0;
    const resbuf* radius = FindRbCode(list.get(), 40);
    if (!radius || !Read(list.get(), 10, circle.centre)) return 0;
    circle.radius = radius->resval.rreal;
    return 1;
}

int GetLineData(const ads_name entity, Point3& start, Point3& end) {
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list || !zcutEqualsNoCase(Text(FindRbCode(list.get(), 0)), "LINE")) return 0;
    Point3 a, b;
    if (!Read(list.get(), 10, a) || !Read(list.get(), 11, b)) return 0;
    start = a;
    end = b;
    return 1;
}

int Get3dFaceData(const ads_name entity, Point3 corners[4]) {
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list || !zcutEqualsNoCase(Text(FindRbCode(list.get(), 0)), "3DFACE")) return 0;
    Point3 p[4];
    for (int i = 0; i < 4; ++i)
        if (!Read(list.get(), 10 + i, p[i])) return 0;
    for (int i = 0; i < 4; ++i) corners[i] = p[i];
    return 1;
}

namespace {

bool Read(const resbuf* list, int code, Point3& p) {
    const resbuf* rb = FindRbCode(list, code);
    if (!rb) return false;
    p = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
    return true;
}

host::ResbufList TypeLayerFilter(const std::string& type, const std::string& layer, bool excludeRectangles) {
    if (!excludeRectangles)
        return host::ResbufList(
            zcutBuildList(-4, "<and", RTDXF0, type.c_str(), 8, layer.c_str(), -4, "and>", 0));
    return host::ResbufList(zcutBuildList(-4, "<and", -4, "<not", -3, 1001, kRectangleApp, -4, "not>", RTDXF0,
                                          type.c_str(), 8, layer.c_str(), -4, "and>", 0));
}

int SelectAll(const resbuf* filter, ads_name set) {
    if (zcedSSGet("X", nullptr, nullptr, filter, set) != RTNORM) return 0;
    std::int32_t count = 0;
    if (zcedSSLength(set, &count) == RTNORM && count > 0) return 1;
    zcedSSFree(set);
    return 0;
}

void AddAll(ads_name from, ads_name into, bool& haveSet) {
    std::int32_t count = 0;
    zcedSSLength(from, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name ent;
        if (zcedSSName(from, i, ent) != RTNORM) continue;
        if (!haveSet) {
            haveSet = zcedSSAdd(ent, nullptr, into) == RTNORM;
        } else {
            zcedSSAdd(ent, into, into);
        }
    }
}

}  // namespace

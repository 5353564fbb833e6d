// View-mode lists and their application to layers and viewports. See
// viewmode.h; the notes here say why.
#include "settings/viewmode.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/ads/wcmatch.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "settings/floors.h"

namespace {

constexpr std::size_t kMaxLineLength = 122;

std::string PatternOf(const std::string& line) {
    std::string cut = line.size() > kMaxLineLength ? line.substr(0, kMaxLineLength) : line;
    return host::toUpper(cut);
}

bool StartsWithNoCase(const std::string& line, std::string_view word) {
    return line.size() >= word.size() &&
           zcutEqualsNoCase(std::string_view(line).substr(0, word.size()), word);
}

struct LayerInfo {
    ZcDbObjectId id;
    std::string name;
    bool frozen = false;
};

std::vector<LayerInfo> ReadLayers(ZcDbDatabase* db) {
    std::vector<LayerInfo> layers;
    if (!db) return layers;
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
        if (!table) return layers;
        ids = table->recordIds(true);
    }
    layers.reserve(ids.size());
    for (ZcDbObjectId id : ids) {
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec(id, ZcDb::kForRead);
        if (rec) layers.push_back({id, rec->name(), rec->isFrozen()});
    }
    return layers;
}

void SetLayerFrozen(ZcDbObjectId id, bool frozen) {
    ZcDbObjectPointer<ZcDbLayerTableRecord> rec(id, ZcDb::kForWrite);
    if (rec && rec->isFrozen() != frozen) rec->setIsFrozen(frozen);
}

void ApplyToViewport(ZcDbObjectId viewport, const std::vector<ZcDbObjectId>& thaw,
                     const std::vector<ZcDbObjectId>& freeze) {
    ZcDbObjectPointer<ZcDbViewport> vp(viewport, ZcDb::kForWrite);
    if (!vp) return;
    if (!thaw.empty()) vp->thawLayersInViewport(thaw);
    if (!freeze.empty()) vp->freezeLayersInViewport(freeze);
}

}  // namespace

VxdLists ParseVxdLines(const std::vector<std::string>& lines) {
    VxdLists lists;
    enum { kBefore, k2d, k3d } section = kBefore;
    for (const std::string& line : lines) {
        if (section == kBefore) {
            if (StartsWithNoCase(line, "V2D")) section = k2d;
        } else if (section == k2d) {
            if (StartsWithNoCase(line, "V3D"))
                section = k3d;
            else
                lists.list2d.push_back(PatternOf(line));
        } else {
            if (StartsWithNoCase(line, "END")) {
                lists.complete = true;
                break;
            }
            lists.list3d.push_back(PatternOf(line));
        }
    }
    return lists;
}

std::optional<SupportFault> VxdListFault(const std::vector<std::string>& lines) {
    const char* const markers[] = {"V2D", "V3D", "END"};
    std::size_t met = 0;
    for (const std::string& line : lines)
        if (StartsWithNoCase(line, markers[met]) && ++met == 3) return std::nullopt;
    return SupportFault{std::max<std::size_t>(lines.size(), 1), std::string("brak wiersza ") + markers[met]};
}

std::vector<std::string> ParsePatternLines(const std::vector<std::string>& lines) {
    std::vector<std::string> patterns;
    patterns.reserve(lines.size());
    for (const std::string& line : lines) patterns.push_back(PatternOf(line));
    return patterns;
}

bool MatchesAnyPattern(const std::vector<std::string>& patterns, std::string_view layer) {
    const std::string upper = host::toUpper(layer);
    for (const std::string& pattern : patterns)
        if (!pattern.empty() && host::wcMatch(upper.c_str(), pattern.c_str())) return true;
    return false;
}

int FindLayerInVxdList(const VxdLists& lists, std::string_view layer, int in2d, int in3d) {
    if (MatchesAnyPattern(lists.list2d, layer)) return in2d;
    if (MatchesAnyPattern(lists.list3d, layer)) return in3d;
    return -1;
}

std::optional<bool> VxdThawDecision(const VxdLists& lists, std::string_view layer, int mode) {
    if (MatchesAnyPattern(lists.list3d, layer)) return ModeShows3D(mode);
    if (MatchesAnyPattern(lists.list2d, layer)) return ModeShows2D(mode);
    return std::nullopt;
}

VxdViewportState GetViewportVxdState(ZcDbDatabase* db, const VxdLists& lists, ZcDbObjectId viewport) {
    VxdViewportState state;
    ZcDbObjectPointer<ZcDbViewport> vp(viewport, ZcDb::kForRead);
    if (!vp) return state;
    for (const LayerInfo& layer : ReadLayers(db)) {
        if (state.shows2d && state.shows3d) break;
        // Floor layers say what the floor shows, not what the mode shows.
        if (LayerNameLevel(layer.name)) continue;
        if (vp->isLayerFrozenInViewport(layer.id)) continue;
        if (MatchesAnyPattern(lists.list2d, layer.name)) state.shows2d = true;
        if (MatchesAnyPattern(lists.list3d, layer.name)) state.shows3d = true;
    }
    return state;
}

void ApplyViewModeLists(ZcDbDatabase* db, const VxdLists& lists, int tilemode, int mode,
                        ZcDbObjectId viewport, const VELM_PIANI* floors) {
    const std::vector<LayerInfo> layers = ReadLayers(db);
    if (tilemode != 0) {
        for (const LayerInfo& layer : layers)
            if (std::optional<bool> thaw = VxdThawDecision(lists, layer.name, mode))
                SetLayerFrozen(layer.id, !*thaw);
        return;
    }
    // A file cut short before "END" leaves the viewport as it was.
    if (!lists.complete) return;
    // In paper space a layer takes part only when the viewport shows its
    // floor; the floor test walks every layer, so it is asked once a level.
    std::map<double, bool> shownLevels;
    std::vector<ZcDbObjectId> thaw, freeze;
    for (const LayerInfo& layer : layers) {
        std::optional<bool> decision = VxdThawDecision(lists, layer.name, mode);
        if (!decision) continue;
        if (floors) {
            double elevation = 0.0;
            int count = 0;
            if (!floors->FindFloorOfLayer(layer.name, elevation, count)) {
                if (std::optional<double> level = LayerNameLevel(layer.name)) {
                    auto it = shownLevels.find(*level);
                    if (it == shownLevels.end())
                        it = shownLevels.emplace(*level, floors->IsFloorVisible(db, false, viewport, *level))
                                 .first;
                    if (!it->second) continue;
                }
            }
        }
        (*decision ? thaw : freeze).push_back(layer.id);
    }
    ApplyToViewport(viewport, thaw, freeze);
}

void SwitchLayerList(ZcDbDatabase* db, const std::vector<std::string>& patterns, int tilemode, bool on,
                     ZcDbObjectId viewport) {
    std::vector<ZcDbObjectId> listed;
    for (const LayerInfo& layer : ReadLayers(db)) {
        if (!MatchesAnyPattern(patterns, layer.name)) continue;
        if (tilemode != 0)
            SetLayerFrozen(layer.id, !on);
        else
            listed.push_back(layer.id);
    }
    if (tilemode == 0)
        ApplyToViewport(viewport, on ? listed : std::vector<ZcDbObjectId>{},
                        on ? std::vector<ZcDbObjectId>{} : listed);
}

int ViewModeForDirection(const ZcGeVector3d& viewdir) {
    const bool plan = std::abs(viewdir.x) < kLevelEpsilon && std::abs(viewdir.y) < kLevelEpsilon;
    return plan ? kViewMode2D : kViewMode3D;
}

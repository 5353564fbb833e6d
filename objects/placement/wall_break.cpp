// Cutting the wall lines at placed objects on demand: one picked object, or
// every opening and pilaster of the current floor (see wall_cuts.h).
#include <cmath>
#include <cstring>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "objects/language/obj_records.h"
#include "objects/placement/wall_cuts.h"
#include "objects/placement/wall_edit_util.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

using namespace wallcut;

namespace {

constexpr const char* kNotOpeningOrPilaster = "\nWybrany obiekt nie jest ani otworem, ani pilastrem";

// Every entity carrying the application's xdata.
void BreakAllWith(const char* app, double level) {
    host::ResbufList filter(zcutBuildList(-3, 1001, app, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) == RTNORM) BreakWallAtObject(e, level, true);
    }
    zcedSSFree(set);
}

}  // namespace

int BreakWallAtObject(const ads_name entity, double level, bool wholeFloor) {
    host::ResbufList list(GetEntXData(entity, kParamRecordApp));
    const resbuf* app = list ? FindXDataApp(list.get(), kParamRecordApp) : nullptr;
    if (!app) {
        zcutPrintf("%s", kNotOpeningOrPilaster);
        return 0;
    }
    InsertionType type = InsertionType::None;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype == 1070) {
            type = static_cast<InsertionType>(rb->resval.rint);
            break;
        }
    }
    const resbuf* at = FindRbCode(list.get(), 10);
    const Point3 insertion = at ? ToPoint(at->resval.rpoint) : Point3{};
    // Levels compare within the level tolerance everywhere else too.
    if (wholeFloor && std::abs(insertion.z - level) > kLevelTolerance) return 0;
    if (type == InsertionType::None) {
        if (!wholeFloor) zcutPrintf("%s", kNotOpeningOrPilaster);
        return 0;
    }
    switch (type) {
        case InsertionType::StraightWallOpening: {
            const OwnedOutline o{ReadTag3DiStr(entity)};
            if (!o) break;
            WallSelection lines("LINE", insertion.z, !wholeFloor);
            ads_name a, b;
            FindStraightWallLinesAtGap(*o, lines.set(), a, b);
            CutStraightWallAtOpening(entity, a, b);
            break;
        }
        case InsertionType::ArcWallOpening: {
            const OwnedOutline o{ReadTag3DiStr(entity)};
            if (!o) break;
            WallSelection arcs("ARC", insertion.z, !wholeFloor);
            ads_name a, b;
            FindArcWallArcsAtGap(*o, arcs.set(), a, b);
            CutArcWallAtOpening(entity, a, b);
            break;
        }
        case InsertionType::Pilaster:
            CutWallAtPilaster(entity);
            break;
        case InsertionType::WallCorner: {
            ads_name lines[4];
            if (FindWallLinesAtOpening(entity, lines)) CutCornerWallAtObject(entity, lines);
            break;
        }
        default:
            break;
    }
    return 1;
}

void CmdWallBreak() {
    for (;;) {
        zcedInitGet(RSG_NONULL, "Całość");
        ads_name picked;
        ads_point at;
        const int rc = zcedEntSel("\nWybierz otwór lub pilaster [Cała bieżąca podłoga]:", picked, at);
        if (rc == RTNORM) {
            BreakWallAtObject(picked, 0.0, false);
            continue;
        }
        if (rc == RTKWORD) {
            const double level = SettingReal(SetupVar::SQPAV, 0.0);
            BreakAllWith(kTag3DiStrRecordApp, level);
            BreakAllWith(kPilastroStrApp, level);
            return;
        }
        if (rc == RTERROR && PickHitNothing()) continue;
        return;
    }
}

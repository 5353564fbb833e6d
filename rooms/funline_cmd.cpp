// VELMFUNLINE. The chain is drawn one level per segment: level 0 asks for
// the start, every deeper level for one end point, draws its segment and
// goes one level deeper, so that each level can take back its own segment
// when the level below answers undo ("Cofnij": the end point is asked
// again) or cancel (every segment of the run goes). A point whose snap
// square crosses exactly one wall line or separation line moves onto that
// line and ends the chain there; a square that crosses two (a corner)
// leaves the point where it is.
#include "rooms/funline_cmd.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kSeparationLayerKey = "2DFUNL";

enum class Answer { kDone, kUndo, kCancel };

struct Chain {
    double level = 0.0;
    std::string layer;  // the separation layer of the floor
    double snap = 0.0;  // distance of the snap square's corners
    // The layer is made with the first segment, so that a chain given up
    // before it leaves the drawing as it was.
    AAR_LAYERC catalogue;
    bool layerMade = false;
};

bool IsWallOrSeparationLine(const Chain& chain, const ads_name e) {
    double level = chain.level;
    return CheckEntityLevelLayer(e, "LINE", false, level, true, false) == 1 ||
           CheckEntTypeAndLayer(e, "LINE", chain.layer, false) == 1;
}

bool LineEnds(const ads_name e, Point3& a, Point3& b) {
    const host::ResbufList list(zcdbEntGet(e));
    const resbuf* p = FindRbCode(list.get(), 10);
    const resbuf* q = FindRbCode(list.get(), 11);
    const bool ok = p && q;
    if (ok) {
        a = {p->resval.rpoint[0], p->resval.rpoint[1], p->resval.rpoint[2]};
        b = {q->resval.rpoint[0], q->resval.rpoint[1], q->resval.rpoint[2]};
    }
    return ok;
}

// Moves the point onto the one line its snap square crosses; false (the
// point unchanged) for none or more than one.
bool SnapPoint(const Chain& chain, Point3& point) {
    const Point3 c1 = PolarPoint(point, 0.75 * std::numbers::pi, chain.snap);
    const Point3 c2 = PolarPoint(point, -0.25 * std::numbers::pi, chain.snap);
    const ads_point p1{c1.x, c1.y, c1.z}, p2{c2.x, c2.y, c2.z};
    ads_name set;
    if (zcedSSGet("C", p1, p2, nullptr, set) != RTNORM) return false;
    std::int32_t n = 0, lines = 0;
    zcedSSLength(set, &n);
    ads_name found{0, 0};
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) != RTNORM || !IsWallOrSeparationLine(chain, e)) continue;
        if (++lines == 1) found[0] = e[0], found[1] = e[1];
    }
    zcedSSFree(set);
    Point3 a, b;
    if (lines != 1 || !LineEnds(found, a, b)) return false;
    Point3 foot;
    PerpendicularFoot(point, a, b, foot);
    point = {foot.x, foot.y, point.z};
    return true;
}

// "Wybierz": a point on a picked wall or separation line, at a distance
// from its end nearest to the pick; false for cancel.
bool PickPointOnLine(const Chain& chain, Point3& point) {
    ads_name e;
    for (;;) {
        ads_point at;
        const int rc = zcedEntSel("\nWybierz linię ściany lub linię funkcyjną:", e, at);
        if (rc == RTNORM) {
            if (IsWallOrSeparationLine(chain, e)) {
                Point3 a, b;
                if (!LineEnds(e, a, b)) return false;
                const Point3 pick{at[0], at[1], at[2]};
                if (Distance2d(pick, b) < Distance2d(pick, a)) std::swap(a, b);
                double d = 0.0;
                if (GetDistInRange(1, nullptr, nullptr,
                                   "\nOdległość od najbliższego punktu końcowego wybranej linii:", &d) !=
                    RTNORM)
                    return false;
                const double length = std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
                const double t = length > 0.0 ? d / length : 0.0;
                point = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
                return true;
            }
            zcutPrintf("\nWybrany element nie jest ani linią reprezentującą ścianę, ani linią funkcyjną");
            continue;
        }
        if (rc == RTCAN || !PickHitNothing()) return false;
    }
}

// Makes one segment; its name, so that its level can erase it.
bool DrawSegment(Chain& chain, const Point3& from, const Point3& to, ads_name made) {
    if (!chain.layerMade) {
        std::string layer = kSeparationLayerKey;
        EnsureLayer(layer, chain.catalogue, true, chain.level, false);
        chain.layerMade = true;
    }
    const ads_point a{from.x, from.y, from.z}, b{to.x, to.y, to.z};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "LINE", 8, chain.layer.c_str(), 10, a, 11, b, 39, 0.0, 0));
    const int rc = zcdbEntMake(list.get());
    return rc == RTNORM && zcdbEntLast(made) == RTNORM;
}

Answer EndLevel(Chain& chain, const Point3& previous);

// Draws the segment to `to` and hands on to the next level; the answer of
// the level below decides whether the segment stays. `again` is set when
// its end point is to be asked again.
Answer Continue(Chain& chain, const Point3& previous, const Point3& to, bool& again) {
    ads_name segment;
    if (!DrawSegment(chain, previous, to, segment)) return Answer::kCancel;
    const Answer below = EndLevel(chain, to);
    if (below == Answer::kDone) return Answer::kDone;
    zcdbEntDel(segment);
    again = below == Answer::kUndo;
    return Answer::kCancel;
}

// One level below the start: asks for an end point from `previous`.
Answer EndLevel(Chain& chain, const Point3& previous) {
    const ads_point base{previous.x, previous.y, previous.z};
    for (;;) {
        ads_point p;
        const int rc =
            GetPointInRange(0, "Wybierz Cofnij", base, "\nOkreśl punkt końcowy lub [Wybierz/Cofnij]", p);
        Point3 point{p[0], p[1], p[2]};
        if (rc == RTNONE) return Answer::kDone;
        if (rc == RTKWORD) {
            char word[64] = "";
            zcedGetInput(word);
            if (std::string(word) == "Cofnij") return Answer::kUndo;
            if (!PickPointOnLine(chain, point)) return Answer::kCancel;
            ads_name segment;
            return DrawSegment(chain, previous, point, segment) ? Answer::kDone : Answer::kCancel;
        }
        if (rc != RTNORM) return Answer::kCancel;
        if (SnapPoint(chain, point)) {
            ads_name segment;
            return DrawSegment(chain, previous, point, segment) ? Answer::kDone : Answer::kCancel;
        }
        bool again = false;
        const Answer answer = Continue(chain, previous, point, again);
        if (!again) return answer;
    }
}

}  // namespace

void VelmFunLine() {
    Chain chain;
    chain.level = SettingReal(SetupVar::SQPAV);
    chain.snap = 0.3 * SettingReal(SetupVar::MDPLINESTART, 30.0);
    chain.catalogue.ReadLayerDefFile("LAYERC.DEF");
    chain.layer = kSeparationLayerKey;
    LayerAttrEntry described;
    EnsureLayer(chain.layer, chain.catalogue, true, chain.level, false, &described);
    ads_point p;
    const int rc =
        GetPointInRange(0, "Wybierz", nullptr, "\nOkreśl punkt początkowy lub [Wybierz/Enter]:", p);
    Point3 start{p[0], p[1], p[2]};
    if (rc == RTNORM) {
        SnapPoint(chain, start);
    } else if (rc == RTKWORD || rc == RTNONE) {
        if (!PickPointOnLine(chain, start)) return;
    } else {
        return;
    }
    EndLevel(chain, start);
}

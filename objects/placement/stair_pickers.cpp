// The stair pickers: the side of a stair a balustrade stands on and the
// handrail corner of a stair, read from the stair's handrail record.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/module_state.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "objects/placement/host_pickers.h"
#include "objects/placement/wall_edit_util.h"

using namespace wallcut;

namespace {

constexpr const char* kStairRecordApp = "VELM5$_$DATICMANOSCALA-";
constexpr const char* kNoHandrailData =
    "\nSchody nie posiadają wystarczających informacji, aby wstawić poręcz";

// The stair record: placement of the stair and its sides and corners. A
// handrail record keeps its values where the record writer takes them
// from: A, B, C in a; D in b[2] until the point P fills b; the sign in
// c[1], the arc flag in c[2], the angle in c[0]; start, end and centre in
// d, e and f.
struct StairRecord {
    Point3 base;
    double rotation = 0.0;
    double scale[3] = {1.0, 1.0, 1.0};
    std::vector<ObjHandrail> records;
};

void Store(double out[3], const Point3& p) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}
Point3 PointOf(const double v[3]) {
    return {v[0], v[1], v[2]};
}

// One "{" … "}" block from rb (after the "{"); rb ends after the "}".
ObjHandrail ReadBlock(const resbuf*& rb, double xScale) {
    ObjHandrail h;
    std::vector<double> reals;
    std::vector<Point3> points;
    for (; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "}") {
            rb = rb->rbnext;
            break;
        }
        if (rb->restype == 1040) reals.push_back(rb->resval.rreal);
        if (rb->restype == 1010 || rb->restype == 1011) points.push_back(ToPoint(rb->resval.rpoint));
    }
    reals.resize(7, 0.0);
    points.resize(4);
    h.a[0] = reals[0], h.a[1] = reals[1], h.a[2] = reals[2], h.b[2] = reals[3];
    h.c[1] = reals[4];
    h.c[2] = std::abs(reals[5]) >= SharedTolerance ? 1.0 : 0.0;
    Store(h.b, points[0]);
    h.c[0] = reals[6] * xScale;
    Store(h.d, points[1]);
    Store(h.e, points[2]);
    Store(h.f, points[3]);
    return h;
}

// 1 read, 0 the entity has no record.
int ReadStairRecord(const ads_name stair, StairRecord& out) {
    RbList list(GetEntXData(stair, kStairRecordApp));
    const resbuf* app = list ? FindXDataApp(list.get(), kStairRecordApp) : nullptr;
    if (!app) return 0;
    if (const resbuf* rb = FindRbCode(list.get(), 10)) out.base = ToPoint(rb->resval.rpoint);
    if (const resbuf* rb = FindRbCode(list.get(), 50)) out.rotation = rb->resval.rreal;
    for (int i = 0; i < 3; ++i)
        if (const resbuf* rb = FindRbCode(list.get(), 41 + i)) out.scale[i] = rb->resval.rreal;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001;) {
        if (rb->restype == 1002 && rb->resval.rstring && std::string(rb->resval.rstring) == "{") {
            rb = rb->rbnext;
            out.records.push_back(ReadBlock(rb, out.scale[0]));
            continue;
        }
        rb = rb->rbnext;
    }
    return 1;
}

void TakeStair(ObjContext& c, const ads_name stair, const StairRecord& s) {
    ads_name_set(stair, c.firstEntity);
    for (int i = 0; i < 3; ++i) c.scale[i] = s.scale[i];
    c.mirrored = s.scale[0] < 0.0 ? 1 : 0;
}

// The side under the point: its index, or -1.
int SideUnder(const std::vector<ObjHandrail>& sides, Point3 p) {
    for (std::size_t i = 0; i < sides.size(); ++i) {
        const ObjHandrail& h = sides[i];
        const Point3 s = PointOf(h.d), e = PointOf(h.e), centre = PointOf(h.f);
        const Point3 u{e.x - s.x, e.y - s.y, e.z - s.z}, v{centre.x - s.x, centre.y - s.y, centre.z - s.z};
        const Point3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        if (std::abs(n.z) < GeomEpsilon) continue;  // no plane, or one seen edge-on
        p.z = s.z - (n.x * (p.x - s.x) + n.y * (p.y - s.y)) / n.z;
        const bool on = h.c[2] == 0.0 ? IsPointOnSegment(p, s, e)
                                      : std::abs(h.c[1] - HostDistance(p, centre)) < SharedTolerance;
        if (on) return static_cast<int>(i);
    }
    return -1;
}

const char* const kBalustradePrompts[4] = {
    "\nWybierz schody po stronie, gdzie wstawić barierkę:",
    "\nWybierz schody po stronie, gdzie wstawić barierkę lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz schody po stronie, gdzie wstawić barierkę lub Enter, aby zamknąć:",
    "\nWybierz schody po stronie, gdzie wstawić barierkę lub Enter, aby zaakceptować poprzednią pozycję:"};
const char* const kCornerPrompts[4] = {
    "\nWybierz schody, gdzie wstawić narożnik poręczy:",
    "\nWybierz schody, gdzie wstawić narożnik poręczy lub [Modyfikuj parametry/Zastąp]:",
    "\nWybierz schody, gdzie wstawić narożnik poręczy lub Enter, aby zamknąć:",
    "\nWybierz schody, gdzie wstawić narożnik poręczy lub Enter, aby zaakceptować poprzednią pozycję:"};

// The entity pick of the stair pickers under the common rules.
int PickStair(ObjContext& c, int iteration, const char* const prompts[4], const ParameterEditor& edit,
              ads_name stair, ads_point at) {
    for (;;) {
        const bool keywords = c.runMode == 0 && iteration == 0 && c.skipParamInput != 0;
        const char* prompt = c.runMode != 0  ? prompts[3]
                             : iteration > 0 ? prompts[2]
                                             : prompts[keywords ? 1 : 0];
        zcedInitGet(0, keywords ? "Modyfikuj Zastąp" : nullptr);
        resbuf zero;
        zero.restype = RTSHORT;
        zero.resval.rint = 0;
        zcedSetVar("ERRNO", &zero);
        const int rc = zcedEntSel(prompt, stair, at);
        if (rc == RTNORM) return 1;
        if (rc == RTCAN) return -1;
        if (rc == RTKWORD) {
            char keyword[64] = {};
            zcedGetInput(keyword);
            if (zcutEqualsNoCase(keyword, "Zastąp")) return 1000;
            if (zcutEqualsNoCase(keyword, "Modyfikuj") && edit) edit(c);
            continue;
        }
        resbuf rb;
        const int error = zcedGetVar("ERRNO", &rb) == RTNORM && rb.restype == RTSHORT ? rb.resval.rint : 0;
        if (error == OL_ENTSELPICK) continue;
        if (error == OL_ENTSELNULL) {
            if (c.runMode != 0) return 0;
            if (iteration > 0) return -1;
            continue;
        }
        return -1;
    }
}

}  // namespace

int PickStairSideForBalustrade(ObjContext& c, int iteration, const ParameterEditor& edit) {
    ads_name stair;
    ads_point at;
    const int rc = PickStair(c, iteration, kBalustradePrompts, edit, stair, at);
    if (rc != 1) return rc;
    StairRecord s;
    if (!ReadStairRecord(stair, s)) {
        zcutPrintf("%s", kNoHandrailData);
        return -1;
    }
    TakeStair(c, stair, s);
    c.handrails.clear();
    for (const ObjHandrail& h : s.records)
        if (h.c[1] >= 0.0) c.handrails.push_back(h);
    ads_point snapped;
    if (zcedOsnap(at, "_NEAR", snapped) == RTNORM) ads_point_set(snapped, at);
    for (;;) {
        const int side = SideUnder(c.handrails, ToPoint(at));
        if (side >= 0) {
            std::rotate(c.handrails.begin(), c.handrails.begin() + side, c.handrails.end());
            c.handrails.front().c[0] += s.rotation;
            return 1;
        }
        zcutPrintf("\nNie można znaleźć boku schodów");
        if (zcedGetPoint(nullptr, "\nWybierz schody po stronie, gdzie wstawić barierkę:", at) != RTNORM)
            return -1;
    }
}

int PickStairForHandrailCorner(ObjContext& c, int iteration, const ParameterEditor& edit) {
    ads_name stair;
    ads_point at;
    const int rc = PickStair(c, iteration, kCornerPrompts, edit, stair, at);
    if (rc != 1) return rc;
    StairRecord s;
    if (!ReadStairRecord(stair, s)) {
        zcutPrintf("%s", kNoHandrailData);
        return -1;
    }
    TakeStair(c, stair, s);
    c.handrails.clear();
    for (const ObjHandrail& h : s.records) {
        if (h.c[1] >= 0.0) continue;
        c.handrails.push_back(h);
        c.handrails.front().c[0] += s.rotation;
        return 1;
    }
    zcutPrintf("\nSchody nie posiadają wystarczających informacji, aby wstawić narożnik poręczy");
    return -1;
}

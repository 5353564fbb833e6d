// Section input: the prompts, the symbols' records and the frames made of
// them.
//
// Three points: the two ends of the section line, flattened to z = 0, then
// a camera point off the line; the ends are swapped when the camera lies on
// the left of the line, so the view's x runs to the viewer's right either
// way. A symbol's record "VELM5$_$PARAMETRI-" holds the object's name in
// its first group 1000 and, from the eighth group after it, pairs of a
// variable number (1070) and its value.
#include "visual/views/section_input.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "visual/views/section_faces.h"
#include "visual/views/section_object.h"

namespace {

constexpr double kPi = std::numbers::pi;

const char* const kFirstPrompt =
    "\nPierwszy punkt linii przekroju, Enter, aby wybrać obiekt [Widok/Aksonometryczny]:";
const char* const kSecondPrompt = "\nDrugi punkt linii przekroju";
const char* const kCameraPrompt = "\nOkreśl punkt kamery:";
const char* const kSymbolPrompt = "\nWybierz przekrój:";
const char* const kSymbolApp = "VELM5$_$PARAMETRI-";

Point3 Raised(Point3 p, double dz) {
    p.z += dz;
    return p;
}

// The object variables of a record: pairs from the eighth group after the
// name on.
std::optional<double> Variable(const resbuf* name, int number) {
    const resbuf* rb = name;
    for (int k = 0; k < 8 && rb; ++k) rb = rb->rbnext;
    for (; rb && rb->rbnext; rb = rb->rbnext->rbnext) {
        if (rb->restype != 1070 || rb->resval.rint != number) continue;
        const resbuf* value = rb->rbnext;
        if (value->restype == 1040 || value->restype == 1041 || value->restype == 1042)
            return value->resval.rreal;
        if (value->restype == 1070) return value->resval.rint;
        if (value->restype == 1071) return static_cast<double>(value->resval.rlong);
        return std::nullopt;
    }
    return std::nullopt;
}

// The display's origin, x and y points in the world.
void DisplayAxes(Point3& origin, Point3& x, Point3& y) {
    resbuf from{}, to{};
    from.restype = RTSHORT;
    from.resval.rint = 2;
    to.restype = RTSHORT;
    to.resval.rint = 0;
    const ads_point in[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    Point3* out[3] = {&origin, &x, &y};
    for (int k = 0; k < 3; ++k) {
        ads_point world = {in[k][0], in[k][1], in[k][2]};
        zcedTrans(in[k], &from, &to, 0, world);
        *out[k] = {world[0], world[1], world[2]};
    }
}

bool BuildDisplayFrame(CSezione& section, Point3& camera) {
    Point3 origin, x, y;
    DisplayAxes(origin, x, y);
    return BuildViewFrame(section.displayFrame, x, origin, y, camera, FrameMode::Extents);
}

bool BuildSteppedFrame(CSezione& section, Point3 first, Point3 second, Point3 up, Point3 camera) {
    const double v = up.x;
    section.depth = v;
    bool built = false;
    if (v >= 0.0) {
        Point3 x = PolarPoint(second, AngleTo(first, second) + kPi / 2.0, 10.0);
        Point3 origin = second;
        built =
            BuildViewFrame(section.viewFrame, x, origin, Raised(second, 10.0), camera, FrameMode::AsGiven);
    } else {
        Point3 x = PolarPoint(first, AngleTo(second, first) - kPi / 2.0, 10.0);
        Point3 origin = first;
        built = BuildViewFrame(section.viewFrame, x, origin, Raised(first, 10.0), camera, FrameMode::AsGiven);
    }
    if (built) {
        section.depthFlag = 1;
        section.depthPoint = second;
    }
    return built;
}

bool StoreInverse(CSezione& section) {
    if (!InvertMatrix4(section.viewFrame, section.inverseViewFrame)) return false;
    section.axonometric = 1;
    return true;
}

bool ThreePoints(CSezione& section, Point3 p1) {
    ads_point base = {p1.x, p1.y, p1.z}, answer = {0, 0, 0};
    if (GetPointInRange(0, nullptr, base, kSecondPrompt, answer) != RTNORM) return false;
    Point3 p2{answer[0], answer[1], 0.0};
    p1.z = 0.0;
    if (Distance2d(p1, p2) < GeomEpsilon) {
        zcutPrintf(kSamePoints);
        return false;
    }
    const ads_point from = {p1.x, p1.y, 0.0}, to = {p2.x, p2.y, 0.0};
    zcedGrDraw(from, to, 1, 0);
    if (GetPointInRange(0, nullptr, nullptr, kCameraPrompt, answer) != RTNORM) return false;
    Point3 p3{answer[0], answer[1], 0.0};
    Point3 foot;
    PerpendicularFoot(p3, p1, p2, foot);
    if (Distance3dRev(foot, p3) < GeomEpsilon) {
        zcutPrintf(kSamePoints);
        return false;
    }
    if (AngleBetweenLines(p3, p2, p3, p1) > kPi) SwapPoints(p1, p2);
    return BuildViewFrame(section.viewFrame, p2, p1, Raised(p1, 100.0), p3, FrameMode::AsGiven);
}

}  // namespace

int SelectSectionSymbol(Point3& first, Point3& second, Point3& up, Point3& camera) {
    for (;;) {
        ads_name entity = {0, 0};
        ads_point picked = {0, 0, 0};
        zcedInitGet(1, nullptr);
        const int status = zcedEntSel(kSymbolPrompt, entity, picked);
        if (status == RTCAN) return kNoSymbol;
        if (status != RTNORM) {
            const int error = LastPickError();
            if (error == OL_ENTSELPICK || error == OL_ENTSELNULL) continue;
            return kNoSymbol;
        }
        const host::ResbufList list(GetEntXData(entity, kSymbolApp));
        const resbuf* name = list ? FindRbCode(list.get(), 1000) : nullptr;
        const char* text = name && name->resval.rstring ? name->resval.rstring : "";
        int kind = kNoSymbol;
        if (zcutEqualsNoCase(text, "TMS_SEZ"))
            kind = kPlainSymbol;
        else if (zcutEqualsNoCase(text, "TMS_SEZ2"))
            kind = kSteppedSymbol;
        else if (zcutEqualsNoCase(text, "TMS_SEZS"))
            kind = kTiltedSymbol;
        if (kind == kNoSymbol) {
            zcutPrintf(kNotASection);
            continue;
        }
        Point3 p0;
        double r = 0.0;
        if (const resbuf* at = FindRbCode(list.get(), 10))
            p0 = {at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]};
        if (const resbuf* at = FindRbCode(list.get(), 50)) r = at->resval.rreal;
        if (kind == kPlainSymbol) {
            first = p0;
            second = PolarPoint(first, r, 10.0);
            camera = PolarPoint(first, r - kPi / 2.0, 10.0);
            up = Raised(first, 100.0);
        } else if (kind == kSteppedSymbol) {
            const std::optional<double> v = Variable(name, 42);
            if (!v) {
                zcutPrintf(kNotASection);
                return kNoSymbol;
            }
            const double d = std::fabs(*v);
            up = {*v, 0.0, 0.0};
            first = PolarPoint(p0, r + kPi / 2.0, d / 2.0);
            second = PolarPoint(p0, r - kPi / 2.0, d / 2.0);
            camera = PolarPoint(p0, r - kPi / 2.0, 2.0 * d);
        } else {
            const std::optional<double> h = Variable(name, 38), a = Variable(name, 39);
            if (!h || !a) {
                zcutPrintf(kNotASection);
                return kNoSymbol;
            }
            const double tilt = *a / 180.0 * kPi;
            first = Raised(p0, *h);
            second = PolarPoint(first, r, 1.0);
            up = PolarPoint(first, r + kPi / 2.0, std::cos(tilt));
            up.z = first.z + std::sin(tilt);
            const double ux = second.x - first.x, uy = second.y - first.y, uz = second.z - first.z;
            const double wx = up.x - first.x, wy = up.y - first.y, wz = up.z - first.z;
            camera = {first.x + (uy * wz - uz * wy), first.y + (uz * wx - ux * wz),
                      first.z + (ux * wy - uy * wx)};
        }
        return kind;
    }
}

bool GetSectionLine(CSezione& section) {
    ads_point answer = {0, 0, 0};
    const int status = GetPointInRange(0, "Widok Aksonometryczny", nullptr, kFirstPrompt, answer);
    if (status == RTNORM) return ThreePoints(section, {answer[0], answer[1], answer[2]});
    Point3 p1, p2, c, p3;
    if (status == RTNONE) {
        switch (SelectSectionSymbol(p1, p2, c, p3)) {
            case kPlainSymbol:
                return BuildViewFrame(section.viewFrame, p2, p1, c, p3, FrameMode::AsGiven);
            case kSteppedSymbol:
                return BuildSteppedFrame(section, p1, p2, c, p3);
            case kTiltedSymbol:
                if (!BuildViewFrame(section.viewFrame, p2, p1, c, p3, FrameMode::AsGiven)) return false;
                if (!BuildDisplayFrame(section, p3)) return false;
                return StoreInverse(section);
            default:
                return false;
        }
    }
    if (status != RTKWORD) return false;
    char keyword[64] = {};
    zcedGetInput(keyword, sizeof keyword);
    if (zcutEqualsNoCase(keyword, "Aksonometryczny")) {
        const int kind = SelectSectionSymbol(p1, p2, c, p3);
        if (kind == kNoSymbol) return false;
        const bool built = kind == kSteppedSymbol
                               ? BuildSteppedFrame(section, p1, p2, c, p3)
                               : BuildViewFrame(section.viewFrame, p2, p1, c, p3, FrameMode::AsGiven);
        if (!built || !StoreInverse(section)) return false;
        return BuildDisplayFrame(section, p3);
    }
    section.axonometric = 0;
    DisplayAxes(p1, p2, c);
    return BuildViewFrame(section.viewFrame, p2, p1, c, p3, FrameMode::Extents);
}

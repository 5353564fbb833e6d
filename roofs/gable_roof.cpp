// The gable roof's geometry.
//
// Plan directions: g runs along the gutter (P1 to P2 after the swap), d
// across the roof towards the opposite side, to the left of g. Every
// corner is first found in plan and then given its height.
#include "roofs/gable_roof.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/vertex_list.h"

namespace {

Point3 Flat(const Point3& p) {
    return {p.x, p.y, 0.0};
}

Point3 At(Point3 p, double z) {
    p.z = z;
    return p;
}

// Codes for the front slabs; rise, slope and depth must all be positive so
// that no division by zero reaches the corners.
int FrontValidity(const GableRoofParams& p, double D, double r, double Zr, double gutter, double& h,
                  double& run) {
    h = 0.0;
    run = 0.0;
    const int undersized = p.byWidth ? kFrontTooWide : kFrontTooLow;
    if (!(D > 0.0) || !(r > 0.0)) return undersized;
    if (p.byWidth) {
        h = r * p.frontWidth / D;
        if (h > r || !(h > 0.0)) return kFrontTooWide;
    } else {
        h = Zr - p.frontHeight;
        if (h > r || !(h > 0.0)) return kFrontTooLow;
    }
    if (!(p.frontSlope > 0.0)) return kGutterTooShort;
    run = h * 100.0 / p.frontSlope;
    if (gutter < 2.0 * run) return kGutterTooShort;
    return kGableValid;
}

}  // namespace

double GableEaveHeight(const GableRoofParams& p) {
    return p.heightAtWall ? p.height - p.slope * p.overhang / 100.0 : p.height;
}

const char* GableValidityMessage(int code) {
    switch (code) {
        case kFrontTooWide:
            return "\nSzerokość przedniej płyty jest zbyt duża";
        case kFrontTooLow:
            return "\nDolna krawędź przedniej płyty jest zbyt nisko";
        case kGutterTooShort:
            return "\nBok rynny jest zbyt krótki dla przednich płyt";
        default:
            return "";
    }
}

int ComputeGableLoops(const GableRoofParams& p, const Point3& P1, const Point3& P2, const Point3& P3,
                      std::vector<std::vector<Point3>>& loops) {
    const double pi = std::numbers::pi;
    if (Distance2d(P1, P2) < GeomEpsilon) return kGableValid;
    Point3 a = Flat(P1), b = Flat(P2);
    const Point3 c = Flat(P3);
    Point3 R;
    PerpendicularFoot(c, a, b, R);
    double d = AngleTo(R, c);
    if (std::fabs(AngleBetweenLines(a, b, R, c) - pi / 2.0) > SharedTolerance) SwapPoints(a, b);
    if (Distance2d(R, c) < GeomEpsilon) d = AngleTo(a, b) + pi / 2.0;
    const double g = AngleTo(a, b);
    const double ov = p.overhang, fov = p.frontOverhang;
    const double D = Distance2d(R, c) + 2.0 * ov;

    const Point3 E1 = PolarPoint(PolarPoint(a, d + pi, ov), g + pi, fov);
    const Point3 E2 = PolarPoint(PolarPoint(b, d + pi, ov), g, fov);
    const Point3 F2 = PolarPoint(E2, d, D);
    const Point3 F1 = PolarPoint(E1, d, D);
    const double E = GableEaveHeight(p);
    const double r = p.slope * D / 200.0;
    const double Zr = E + r;

    if (!p.front) {
        const Point3 Q1 = At(PolarPoint(E1, d, D / 2.0), Zr), Q2 = At(PolarPoint(E2, d, D / 2.0), Zr);
        loops = {{At(E1, E), At(E2, E), Q2, Q1}, {At(F2, E), At(F1, E), Q1, Q2}};
        return kGableValid;
    }
    loops.resize(4);
    double h = 0.0, run = 0.0;
    const int code = FrontValidity(p, D, r, Zr, Distance2d(E1, E2), h, run);
    if (code != kGableValid) {
        Point3 M;
        MidPoint(At(E1, E), At(F2, E), M);
        loops[1] = {At(E1, E), At(E2, E), M, M, M, M};
        loops[3] = {At(F2, E), At(F1, E), M, M, M, M};
        return code;
    }
    const double e = (r - h) * (D / 2.0) / r;
    const Point3 K1 = At(PolarPoint(PolarPoint(E1, d, D / 2.0), g, run), Zr);
    const Point3 K2 = At(PolarPoint(PolarPoint(E2, d, D / 2.0), g + pi, run), Zr);
    const double low = Zr - h;
    const Point3 L1 = At(PolarPoint(E1, d, e), low), L2 = At(PolarPoint(E2, d, e), low);
    const Point3 L3 = At(PolarPoint(F2, d + pi, e), low), L4 = At(PolarPoint(F1, d + pi, e), low);
    loops[0] = {L1, K1, L4};
    loops[1] = {At(E1, E), At(E2, E), L2, K2, K1, L1};
    loops[2] = {L3, K2, L2};
    loops[3] = {At(F2, E), At(F1, E), L4, K1, K2, L3};
    return kGableValid;
}

// Wall faces and placed objects made by hand for the wall-line cuts: wall
// LINEs and ARCs on the wall layer of a level carrying a wall-type record
// and a second record, and objects (POINTs) carrying the object record and
// the cut outline of an opening, a corner object or a pilaster.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "objects/placement/wall_cuts.h"
#include "tests/support/velm_test.h"
#include "walls/graph/outline_record.h"

struct EntName {
    ads_name name = {0, 0};
};

struct WallPiece {
    Point3 s, t;
    std::vector<std::string> xdata;
};

struct WallArcPiece {
    double radius, start, end;
    std::vector<std::string> xdata;
};

class WallCutTest : public VelmTest {
protected:
    static constexpr double kPi = 3.14159265358979323846;

    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        zcdbRegApp("VELM5$_$DATITIPOMURO-");
        zcdbRegApp("VELMTEST$_$ROOF-");
        zcdbRegApp(kTag3DiStrApp);
        zcdbRegApp(kPilasterApp);
        zcdbRegApp("VELM5$_$PARAMETRI-");
    }

    static std::string WallLayer(double level) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "VELM2DWALLS$%g", level);
        return buf;
    }
    static std::string ObjectLayer(double level) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "VELMOBJ$%g", level);
        return buf;
    }

    static resbuf* WallXdata(const char* type) {
        return zcutBuildList(-3, 1001, "VELM5$_$DATITIPOMURO-", 1000, type, 1001, "VELMTEST$_$ROOF-", 1040,
                             12.5, 1000, "H1", 0);
    }

    static void Last(ads_name out) { zcdbEntLast(out); }

    // A wall LINE a-b at the level of a.
    static void Wall(Point3 a, Point3 b, ads_name out = nullptr, const char* type = "Cegła") {
        const ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z};
        resbuf* head = zcutBuildList(RTDXF0, "LINE", 8, WallLayer(a.z).c_str(), 10, pa, 11, pb, 0);
        resbuf* tail = head;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = WallXdata(type);
        ASSERT_EQ(zcdbEntMake(head), RTNORM);
        zcutRelRb(head);
        if (out) Last(out);
    }
    static void WallArc(Point3 c, double r, double start, double end, ads_name out = nullptr) {
        const ads_point pc = {c.x, c.y, c.z};
        resbuf* head =
            zcutBuildList(RTDXF0, "ARC", 8, WallLayer(c.z).c_str(), 10, pc, 40, r, 50, start, 51, end, 0);
        resbuf* tail = head;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = WallXdata("Łuk");
        ASSERT_EQ(zcdbEntMake(head), RTNORM);
        zcutRelRb(head);
        if (out) Last(out);
    }

    static void AppendPoint(resbuf*& tail, int code, const Point3& p) {
        const ads_point v = {p.x, p.y, p.z};
        tail->rbnext = zcutBuildList(code, v, 0);
        tail = tail->rbnext;
    }
    static void Append(resbuf*& tail, resbuf* more) {
        tail->rbnext = more;
        while (tail->rbnext) tail = tail->rbnext;
    }

    // A placed object of `type` at `base`: a POINT on the object layer of the
    // level with the object record and, for 11, 12 and 18, the outline with
    // two-point jambs jamb1 = a0-b0, jamb2 = a1-b1.
    static void Opening(int type, Point3 base, const Point3 gapA[2], const Point3 gapB[2], double thickness,
                        ads_name out, const Point3* corners = nullptr) {
        const ads_point pb = {base.x, base.y, base.z};
        resbuf* head = zcutBuildList(RTDXF0, "POINT", 8, ObjectLayer(base.z).c_str(), 10, pb, -3, 1001,
                                     "VELM5$_$PARAMETRI-", 1000, "T", 1000, "Wstaw", 1070, type, 1070, 1, 0);
        resbuf* tail = head;
        while (tail->rbnext) tail = tail->rbnext;
        Append(tail, zcutBuildList(1001, kTag3DiStrApp, 1070, type, 1070, 0, 1040, 0.0, 1040, 0.0, 1040, 0.0,
                                   1070, 0, 1040, thickness, 1040, 0.0, 0));
        AppendPoint(tail, 1011, corners ? corners[0] : Point3{});
        AppendPoint(tail, 1011, corners ? corners[1] : Point3{});
        for (int j = 0; j < 2; ++j) {
            Append(tail, zcutBuildList(1002, "{", 0));
            AppendPoint(tail, 1011, gapA[j]);
            AppendPoint(tail, 1011, gapB[j]);
            Append(tail, zcutBuildList(1002, "}", 0));
        }
        ASSERT_EQ(zcdbEntMake(head), RTNORM);
        zcutRelRb(head);
        Last(out);
    }
    // A pilaster with the outline given (stored in reverse, as written).
    static void Pilaster(const std::vector<Point3>& ring, double level, ads_name out) {
        const ads_point pb = {ring[0].x, ring[0].y, level};
        resbuf* head = zcutBuildList(RTDXF0, "POINT", 8, ObjectLayer(level).c_str(), 10, pb, -3, 1001,
                                     "VELM5$_$PARAMETRI-", 1000, "PIL", 1000, "Wstaw", 1070, 17, 1070, 1,
                                     1001, kPilasterApp, 0);
        resbuf* tail = head;
        while (tail->rbnext) tail = tail->rbnext;
        for (auto it = ring.rbegin(); it != ring.rend(); ++it) AppendPoint(tail, 1011, *it);
        ASSERT_EQ(zcdbEntMake(head), RTNORM);
        zcutRelRb(head);
        Last(out);
    }

    static std::vector<std::string> XdataOf(const ads_name e) {
        resbuf* apps = zcutBuildList(RTSTR, "*", 0);
        resbuf* list = zcdbEntGetX(e, apps);
        zcutRelRb(apps);
        std::vector<std::string> out;
        const resbuf* rb = list;
        while (rb && rb->restype != 1001) rb = rb->rbnext;
        for (; rb; rb = rb->rbnext) {
            char buf[128];
            if (rb->restype == 1040)
                std::snprintf(buf, sizeof buf, "%d %g", rb->restype, rb->resval.rreal);
            else
                std::snprintf(buf, sizeof buf, "%d %s", rb->restype,
                              rb->resval.rstring ? rb->resval.rstring : "");
            out.emplace_back(buf);
        }
        zcutRelRb(list);
        return out;
    }

    // The wall entities of a kind on the wall layer of a level, in drawing order.
    static std::vector<EntName> Names(const char* type, double level) {
        std::vector<EntName> out;
        ads_name set;
        if (SelectTypeOnLayer(type, WallLayer(level), false, set, false) != 1) return out;
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        for (std::int32_t i = 0; i < n; ++i) {
            EntName e;
            zcedSSName(set, i, e.name);
            out.push_back(e);
        }
        zcedSSFree(set);
        return out;
    }

    static std::vector<WallPiece> Lines(double level = 0.0) {
        std::vector<WallPiece> out;
        for (const EntName& n : Names("LINE", level)) {
            WallPiece p;
            GetLineData(n.name, p.s, p.t);
            p.xdata = XdataOf(n.name);
            out.push_back(p);
        }
        return out;
    }
    static std::vector<WallArcPiece> Arcs(double level = 0.0) {
        std::vector<WallArcPiece> out;
        for (const EntName& n : Names("ARC", level)) {
            ArcRecord a;
            GetArcData(n.name, a);
            out.push_back({a.radius, a.startAngle, a.endAngle, XdataOf(n.name)});
        }
        return out;
    }
    static double TotalLength(const std::vector<WallPiece>& lines) {
        double sum = 0.0;
        for (const WallPiece& p : lines) sum += Distance2d(p.s, p.t);
        return sum;
    }
    // True when a line runs from a to b (either way round).
    static bool HasLine(const std::vector<WallPiece>& lines, Point3 a, Point3 b) {
        for (const WallPiece& p : lines)
            if ((PointsEqual(p.s, a, true) && PointsEqual(p.t, b, true)) ||
                (PointsEqual(p.s, b, true) && PointsEqual(p.t, a, true)))
                return true;
        return false;
    }
    static bool Exists(const ads_name e) {
        resbuf* list = zcdbEntGet(e);
        zcutRelRb(list);
        return list != nullptr;
    }
};

#include "tests/walls/drawing/walls_fixture.h"

#include <cstdint>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "store/settings_store.h"

void WallsTest::SetUp() {
    VelmTest::SetUp();
    loadModule();
}

void WallsTest::ForEachSelected(resbuf* filter, const std::function<void(const ads_name)>& each) {
    ads_name ss;
    const int rc = zcedSSGet("X", nullptr, nullptr, filter, ss);
    zcutRelRb(filter);
    if (rc != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(ss, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(ss, i, e) == RTNORM) each(e);
    }
    zcedSSFree(ss);
}

std::vector<FaceLine> WallsTest::Lines(const std::string& layer) {
    std::vector<FaceLine> out;
    ForEachSelected(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 0), [&](const ads_name e) {
        FaceLine line;
        GetLineData(e, line.start, line.end);
        if (resbuf* list = GetEntXData(e, "VELM5$_$DATITIPOMURO-")) {
            if (const resbuf* text = FindRbCode(list, 1000)) line.wallType = text->resval.rstring;
            zcutRelRb(list);
        }
        out.push_back(line);
    });
    return out;
}

int WallsTest::Arcs(const std::string& layer) {
    return count("0=ARC 8=" + layer);
}

void WallsTest::WallLine(Point3 a, Point3 b, const char* wallType, const char* layer) {
    zcdbRegApp("VELM5$_$DATITIPOMURO-");
    const ads_point p{a.x, a.y, a.z}, q{b.x, b.y, b.z};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, -3, 1001, "VELM5$_$DATITIPOMURO-",
                                 1000, wallType, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

void WallsTest::SetReal(int slot, double value) {
    SetVarReal(&slot, &value);
}
void WallsTest::SetInt(int slot, short value) {
    SetVarInt(&slot, &value);
}
double WallsTest::Real(int slot) {
    double v = -1;
    GetVarReal(&slot, &v);
    return v;
}

bool WallsTest::HasLine(const std::vector<FaceLine>& lines, Point3 a, Point3 b) {
    const auto same = [](const Point3& p, const Point3& q) { return Distance2d(p, q) < 1e-6; };
    for (const FaceLine& l : lines)
        if ((same(l.start, a) && same(l.end, b)) || (same(l.start, b) && same(l.end, a))) return true;
    return false;
}

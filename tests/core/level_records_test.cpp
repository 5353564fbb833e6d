// The walk over the records of one level: an entity belongs to the level
// when it carries the application's record and its layer's level lies
// within the caller's tolerance, so the pilasters the face graph merges
// (length tolerance) may be more than the recognition reads (level
// tolerance).
#include "core/level_records.h"

#include <gtest/gtest.h>

#include <set>

#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "tests/core/layer_fixture.h"

namespace {

constexpr const char* kApp = "VELMTEST$_$LEVELREC-";

// A LINE on the layer, with a record when asked (an application with no
// values is no record); its x tells it apart.
void MakeLine(const char* layer, double x, bool withRecord) {
    const ads_point a = {x, 0, 0}, b = {x + 1, 0, 0};
    host::ResbufList list(
        withRecord ? zcutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, -3, 1001, kApp, 1070, 1, 0)
                   : zcutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0));
    ASSERT_EQ(zcdbEntMake(list.get()), RTNORM);
}

std::set<double> VisitedAt(double level, double tolerance) {
    std::set<double> xs;
    ForEachLevelRecord(kApp, level, tolerance, [&](const ads_name entity) {
        const host::ResbufList list(zcdbEntGet(entity));
        for (const resbuf* rb = list.get(); rb; rb = rb->rbnext)
            if (rb->restype == 10) xs.insert(rb->resval.rpoint[0]);
    });
    return xs;
}

TEST_F(LayerService, level_records_are_kept_within_the_callers_tolerance) {
    zcdbRegApp(kApp);
    MakeLine("VELMPIL$300", 1, true);
    MakeLine("VELMPIL$300.0005", 2, true);
    MakeLine("VELMPIL$300.01", 3, true);
    MakeLine("VELMPIL$0", 4, true);
    MakeLine("PILASTRI", 5, true);      // no level: never on one
    MakeLine("VELMPIL$300", 6, false);  // no record

    EXPECT_EQ(VisitedAt(300.0, kLevelTolerance), (std::set<double>{1}));
    EXPECT_EQ(VisitedAt(300.0, 0.001), (std::set<double>{1, 2}));
    EXPECT_EQ(VisitedAt(0.0, 0.001), (std::set<double>{4}));
    EXPECT_TRUE(VisitedAt(-300.0, 0.001).empty());
}

TEST_F(LayerService, level_records_of_a_drawing_without_the_record_visit_nothing) {
    MakeLine("VELMPIL$0", 1, false);
    EXPECT_TRUE(VisitedAt(0.0, 1.0).empty());
}

}  // namespace

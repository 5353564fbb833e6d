// The wall LINE table against the "X" selections it stands in for: after
// each random step (lines added on the levels' wall layers and elsewhere,
// stretched, shrunk to nothing, moved to another layer, erased, brought
// back, taken back by undo, a new level's layer made, a layer frozen or
// switched off) the table gives, for each level, what the selection of the
// level's wall LINEs gives, members and order, and near a box the members
// of that selection whose extents meet it.
#include "walls/graph/wall_line_table.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "tests/walls/graph/graph_fixture.h"
#include "walls/graph/outline_cache.h"
#include "walls/graph/wall_line_ends.h"

namespace {

using Ids = std::vector<ZcDbObjectId>;

ZcDbObjectId AddLine(Point3 a, Point3 b, const std::string& layer) {
    ZcDbObjectPointer<ZcDbLine> line(new ZcDbLine({a.x, a.y, 0}, {b.x, b.y, 0}));
    line->setLayer(layer);
    ZcDbObjectPointer<ZcDbBlockTableRecord> space(zcdbCurDwg()->modelSpaceId(), ZcDb::kForWrite);
    ZcDbObjectId id;
    EXPECT_EQ(space->appendZcDbEntity(id, line.get()), Zcad::eOk);
    return id;
}

Ids Selected(double level) {
    Ids ids;
    ads_name set;
    if (SelectOnWallLayers("LINE", set, level, false) != 1) return ids;
    ids = host::selectionMembers(set);
    zcedSSFree(set);
    return ids;
}

Ids ZeroLength(const Ids& ids) {
    Ids out;
    for (ZcDbObjectId id : ids) {
        ads_name e;
        zcdbGetAdsName(e, id);
        const auto ends = WallLineEnds(e);
        if (ends && HostDistance(ends->first, ends->second) < kZeroLengthWallLine) out.push_back(id);
    }
    return out;
}

Ids Meeting(const Ids& ids, const host::PlanBox& box) {
    Ids out;
    for (ZcDbObjectId id : ids) {
        ads_name e;
        zcdbGetAdsName(e, id);
        const auto ends = WallLineEnds(e);
        if (!ends) continue;
        const auto& [a, b] = *ends;
        if (std::max(a.x, b.x) >= box.xmin && std::min(a.x, b.x) <= box.xmax &&
            std::max(a.y, b.y) >= box.ymin && std::min(a.y, b.y) <= box.ymax)
            out.push_back(id);
    }
    return out;
}

}  // namespace

TEST_F(GraphTest, wall_line_table_gives_what_the_selections_give_through_every_change) {
    std::mt19937 rng(86);
    auto coord = [&] { return double(rng() % 40) * 10.0; };
    // "$1.5" read as a pattern matches "$1-5" too: the table must agree.
    const std::vector<std::string> layers = {"VELM2DWALLS$0",
                                             "velm2dwalls$0",
                                             "VELM2DWALLS$310",
                                             "VELM2DWALLS$1.5",
                                             "VELM2DWALLS$1-5",
                                             "OTHER",
                                             "0"};
    const double levels[] = {0.0, 310.0, 1.5};
    for (const std::string& layer : layers) host::ensureLayer(db(), layer);
    Ids made;
    for (int step = 0; step < 400; ++step) {
        const unsigned op = rng() % 12;
        db()->beginUndoGroup();
        if (op < 4 || made.empty()) {
            const Point3 a{coord(), coord(), 0};
            const Point3 b = rng() % 6 ? Point3{coord(), coord(), 0} : a;
            made.push_back(AddLine(a, b, layers[rng() % layers.size()]));
        } else if (op < 6) {
            // Stretched, now and then to nothing.
            ZcDbObjectPointer<ZcDbLine> line(made[rng() % made.size()], ZcDb::kForWrite);
            if (line) line->setEndPoint(rng() % 4 ? ZcGePoint3d(coord(), coord(), 0) : line->startPoint());
        } else if (op < 7) {
            ZcDbObjectPointer<ZcDbLine> line(made[rng() % made.size()], ZcDb::kForWrite);
            if (line) line->setLayer(layers[rng() % layers.size()]);
        } else if (op < 8) {
            ads_name e;
            zcdbGetAdsName(e, made[rng() % made.size()]);
            zcdbEntDel(e);  // erases, or brings back an erased one
        } else if (op < 9) {
            const std::string name = "VELM2DWALLS$" + std::to_string(600 + step);
            host::ensureLayer(db(), name);
        }
        db()->endUndoGroup();
        if (op == 9) db()->undoGroup();
        if (op == 10) {
            // Frozen and off layers count for the selections as for any.
            ZcDbObjectPointer<ZcDbLayerTableRecord> layer(
                db()->recordId(db()->layerTableId(), layers[rng() % 3]), ZcDb::kForWrite);
            if (layer) {
                layer->setIsFrozen(!layer->isFrozen());
                layer->setIsOff(!layer->isOff());
            }
        }
        for (double level : levels) {
            const Ids all = Selected(level);
            ASSERT_EQ(WallLinesOfLevel(level), all) << step << " at " << level;
            ASSERT_EQ(KeptWallLineTable(db()).linesOn(WallLayerNamesAt(level), true), ZeroLength(all))
                << step << " at " << level;
            const double x = coord() + 5.0, y = coord() + 5.0;
            const host::PlanBox box{x, y, x + coord(), y + coord()};
            ASSERT_EQ(WallLinesOfLevelNear(level, box), Meeting(all, box)) << step << " at " << level;
        }
    }
    EXPECT_GT(made.size(), 100u);
}

// Reading a face erases the level's zero-length lines, whichever of its
// wall layers they are on and however they got there.
TEST_F(GraphTest, zero_length_wall_lines_are_erased_whether_drawn_so_or_stretched_so) {
    host::ensureLayer(db(), "VELM2DWALLS$0");
    const ZcDbObjectId drawn = AddLine({5, 5, 0}, {5, 5, 0}, "VELM2DWALLS$0");
    const ZcDbObjectId stretched = AddLine({0, 0, 0}, {100, 0, 0}, "VELM2DWALLS$0");
    const ZcDbObjectId elsewhere = AddLine({7, 7, 0}, {7, 7, 0}, "OTHER");
    WallLinesOfLevel(0.0);  // the table made before the stretch
    {
        ZcDbObjectPointer<ZcDbLine> l(stretched, ZcDb::kForWrite);
        l->setEndPoint({0, 0, 0});
    }
    EraseZeroLengthWallLines(0.0);
    EXPECT_TRUE(drawn.isErased());
    EXPECT_TRUE(stretched.isErased());
    EXPECT_FALSE(elsewhere.isErased());
}

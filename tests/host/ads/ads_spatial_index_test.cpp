// Windows, fences and polygons find their candidates through the drawing's
// spatial index. The index must follow every change: entities added, moved,
// erased, unerased and taken back by undo, a reference whose block is
// edited, one whose attribute moves, a layer switched off. After every step
// each selection, members and order, must be what testing every entity of
// the drawing gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbgeom.h"
#include "host/db/dbinsert.h"
#include "host/db/dbmain.h"
#include "tests/host/ads/ads_ent_fixture.h"

namespace {

using Ids = std::vector<ZcDbObjectId>;

class SpatialIndex : public AdsDrawing {
protected:
    static Ids select(const char* mode, const void* pt1, const void* pt2) {
        ads_name ss;
        if (zcedSSGet(mode, pt1, pt2, nullptr, ss) != RTNORM) return {};
        Ids ids = host::selectionMembers(ss);
        zcedSSFree(ss);
        return ids;
    }
    // Every selectable entity tested, in drawing order.
    template <class Test>
    static Ids walk(Test test) {
        Ids out;
        ZcDbGeometry g;
        host::forEachSelectable(db(), [&](ZcDbObjectId id, const ZcDbEntity* e) {
            g.clear();
            zcdbEntityGeometry(e, g);
            if (!g.empty() && test(g)) out.push_back(id);
        });
        return out;
    }
};

}  // namespace

TEST_F(SpatialIndex, windows_fences_and_polygons_follow_every_change_as_the_walk_does) {
    std::mt19937 rng(59);
    auto coord = [&] { return double(rng() % 200); };
    const ZcDbObjectId model = db()->modelSpaceId();
    const ZcDbObjectId blockId = block("B");
    const ZcDbObjectId inner = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}), blockId);
    host::ensureLayer(db(), "L");
    Ids made;
    for (int step = 0; step < 500; ++step) {
        const unsigned op = rng() % 12;
        db()->beginUndoGroup();
        if (op < 4 || made.empty()) {
            const ZcGePoint3d a(coord(), coord(), 0);
            ZcDbEntity* e = nullptr;
            switch (rng() % 3) {
                case 0:
                    e = new ZcDbLine(a, {a.x + coord() / 4, a.y + coord() / 4, 0});
                    break;
                case 1:
                    e = new ZcDbCircle(a, {0, 0, 1}, 1 + coord() / 20);
                    break;
                default:
                    e = new ZcDbBlockReference(a, blockId);
                    break;
            }
            made.push_back(add(e, rng() % 8 ? model : db()->paperSpaceId()));
        } else if (op < 6) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, made[rng() % made.size()], ZcDb::kForWrite) == Zcad::eOk) {
                const ZcGePoint3d to(coord(), coord(), 0);
                if (auto* l = ZcDbLine::cast(e)) l->setStartPoint(to);
                if (auto* c = ZcDbCircle::cast(e)) c->setCenter(to);
                if (auto* r = ZcDbBlockReference::cast(e)) r->setPosition(to);
                e->close();
            }
        } else if (op < 7) {
            ads_name e;
            zcdbGetAdsName(e, made[rng() % made.size()]);
            zcdbEntDel(e);  // erases, or brings back an erased one
        } else if (op < 8) {
            // The block is edited: every reference looks different.
            ZcDbLine* l = nullptr;
            if (zcdbOpenObject(l, inner, ZcDb::kForWrite) == Zcad::eOk) {
                l->setEndPoint({coord() / 4, coord() / 4, 0});
                l->close();
            }
        }
        db()->endUndoGroup();
        if (op == 8) db()->undoGroup();
        if (op == 9) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, made[rng() % made.size()], ZcDb::kForWrite) == Zcad::eOk) {
                e->setLayer(e->layer() == "L" ? "0" : "L");
                e->close();
            }
        }
        if (op == 10) {
            // The layer switched off or on hides or shows its entities.
            ZcDbLayerTableRecord* layer = nullptr;
            if (zcdbOpenObject(layer, db()->recordId(db()->layerTableId(), "L"), ZcDb::kForWrite) ==
                Zcad::eOk) {
                layer->setIsOff(!layer->isOff());
                layer->close();
            }
        }
        const double x0 = coord(), y0 = coord(), x1 = x0 + coord() / 2, y1 = y0 + coord() / 2;
        const ads_point a{x0, y0, 0}, b{x1, y1, 0};
        const ZcDbPlanWindow w = ZcDbPlanWindow::fromCorners({x0, y0, 0}, {x1, y1, 0});
        ASSERT_EQ(select("C", a, b), walk([&](const ZcDbGeometry& g) { return zcdbGeomCrossesWindow(g, w); }))
            << step;
        ASSERT_EQ(select("W", a, b), walk([&](const ZcDbGeometry& g) { return zcdbGeomInsideWindow(g, w); }))
            << step;
        const std::vector<ZcGePoint3d> pts = {{x0, y0, 0}, {x1, y0 + 7, 0}, {x1 - 3, y1, 0}};
        resbuf* fence = nullptr;
        resbuf** tail = &fence;
        for (const ZcGePoint3d& p : pts) {
            const ads_point q{p.x, p.y, p.z};
            *tail = zcutBuildList(RT3DPOINT, q, 0);
            tail = &(*tail)->rbnext;
        }
        ASSERT_EQ(select("F", fence, nullptr),
                  walk([&](const ZcDbGeometry& g) { return zcdbGeomCrossesFence(g, pts); }))
            << step;
        ASSERT_EQ(select("CP", fence, nullptr),
                  walk([&](const ZcDbGeometry& g) { return zcdbGeomCrossesPolygon(g, pts); }))
            << step;
        zcutRelRb(fence);
    }
    EXPECT_GT(made.size(), 100u);
}

// Only the references of a changed block are boxed again, so every path
// from a change to a reference must be followed: a block edited, one
// drawn inside another (however deep), an entity added to or erased from a
// block, a new block and its first reference, and undo of each.
TEST_F(SpatialIndex, references_follow_the_blocks_they_show_through_nesting_and_undo) {
    std::mt19937 rng(86);
    auto coord = [&] { return double(rng() % 200); };
    const ZcDbObjectId model = db()->modelSpaceId();
    std::vector<ZcDbObjectId> blocks = {block("B1"), block("B2")};
    std::vector<ZcDbObjectId> inner = {add(new ZcDbLine({0, 0, 0}, {10, 0, 0}), blocks[0]),
                                       add(new ZcDbLine({0, 0, 0}, {0, 10, 0}), blocks[1])};
    // N holds B1, M holds N: B1 edited moves the references of all three.
    blocks.push_back(block("N"));
    add(new ZcDbBlockReference({5, 5, 0}, blocks[0]), blocks[2]);
    blocks.push_back(block("M"));
    add(new ZcDbBlockReference({-5, 3, 0}, blocks[2]), blocks[3]);
    for (int step = 0; step < 400; ++step) {
        const unsigned op = rng() % 10;
        db()->beginUndoGroup();
        if (op < 3) {
            add(new ZcDbBlockReference({coord(), coord(), 0}, blocks[rng() % blocks.size()]), model);
        } else if (op < 5) {
            ZcDbLine* l = nullptr;
            if (zcdbOpenObject(l, inner[rng() % inner.size()], ZcDb::kForWrite) == Zcad::eOk) {
                l->setEndPoint({coord() / 4, coord() / 4, 0});
                l->close();
            }
        } else if (op < 6) {
            const ZcDbObjectId in = blocks[rng() % blocks.size()];
            inner.push_back(add(new ZcDbLine({0, 0, 0}, {coord() / 5, coord() / 5, 0}), in));
        } else if (op < 7) {
            ads_name e;
            zcdbGetAdsName(e, inner[rng() % inner.size()]);
            zcdbEntDel(e);
        } else if (op < 8) {
            // A new block shown at once, sometimes inside an old one.
            const std::string name = "D" + std::to_string(step);
            blocks.push_back(block(name.c_str()));
            inner.push_back(add(new ZcDbLine({0, 0, 0}, {coord() / 5, 0, 0}), blocks.back()));
            add(new ZcDbBlockReference({coord(), coord(), 0}, blocks.back()),
                rng() % 2 ? model : blocks[rng() % 2]);
        }
        db()->endUndoGroup();
        if (op == 8) db()->undoGroup();
        const double x0 = coord(), y0 = coord(), x1 = x0 + coord() / 2, y1 = y0 + coord() / 2;
        const ads_point a{x0, y0, 0}, b{x1, y1, 0};
        const ZcDbPlanWindow w = ZcDbPlanWindow::fromCorners({x0, y0, 0}, {x1, y1, 0});
        ASSERT_EQ(select("C", a, b), walk([&](const ZcDbGeometry& g) { return zcdbGeomCrossesWindow(g, w); }))
            << step;
        ASSERT_EQ(select("W", a, b), walk([&](const ZcDbGeometry& g) { return zcdbGeomInsideWindow(g, w); }))
            << step;
    }
}

// Between two queries the index only lists what changed: thousands of
// changes of a few entities, taken in turns so that no two in a row are of
// the same one, must still leave each boxed where it ended up, and an
// entity erased among them gone.
TEST_F(SpatialIndex, many_changes_between_two_queries_leave_each_entity_where_it_ended) {
    std::mt19937 rng(17);
    auto coord = [&] { return double(rng() % 200); };
    Ids lines;
    for (int i = 0; i < 7; ++i) lines.push_back(add(new ZcDbLine({0, 0, 0}, {1, 1, 0})));
    const ads_point all0{-1, -1, 0}, all1{400, 400, 0};
    ASSERT_EQ(select("C", all0, all1).size(), lines.size());
    for (int round = 0; round < 3; ++round) {
        for (int step = 0; step < 9000; ++step) {
            ZcDbLine* l = nullptr;
            if (zcdbOpenObject(l, lines[step % lines.size()], ZcDb::kForWrite) != Zcad::eOk) continue;
            l->setStartPoint({coord(), coord(), 0});
            l->setEndPoint({coord(), coord(), 0});
            l->close();
        }
        ads_name gone;
        zcdbGetAdsName(gone, lines[round]);
        zcdbEntDel(gone);
        for (int probe = 0; probe < 20; ++probe) {
            const double x0 = coord(), y0 = coord(), x1 = x0 + coord() / 2, y1 = y0 + coord() / 2;
            const ads_point a{x0, y0, 0}, b{x1, y1, 0};
            const ZcDbPlanWindow w = ZcDbPlanWindow::fromCorners({x0, y0, 0}, {x1, y1, 0});
            ASSERT_EQ(select("C", a, b),
                      walk([&](const ZcDbGeometry& g) { return zcdbGeomCrossesWindow(g, w); }))
                << round << " " << probe;
        }
        EXPECT_EQ(select("C", all0, all1).size(), lines.size() - round - 1);
    }
}

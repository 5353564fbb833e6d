// Selections by application read the database's list of the entities that
// carry each application's xdata instead of walking the drawing. The list
// must follow every change: entities made with and without xdata, xdata
// added, replaced and dropped, entities erased, unerased and taken back by
// undo, entities in paper space and inside blocks. After every step each
// filter's answer, members and order, must be what the walk over every
// entity with the same filter gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ads_ent_fixture.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbmain.h"

namespace {

using Ids = std::vector<ZcDbObjectId>;

const char* const kApps[] = {"VELM_A-", "VELM_B-", "OTHER$C"};

class XDataIndex : public AdsDrawing {
protected:
    void SetUp() override {
        AdsDrawing::SetUp();
        for (const char* app : kApps) zcdbRegApp(app);
    }
    static Ids selectX(const resbuf* filter) {
        ads_name ss;
        if (zcedSSGet("X", nullptr, nullptr, filter, ss) != RTNORM) return {};
        Ids ids = host::selectionMembers(ss);
        zcedSSFree(ss);
        return ids;
    }
    // The same filter judged entity by entity over the plain walk.
    static Ids walk(const resbuf* filter) {
        const host::SelectionFilter f(filter);
        Ids out;
        for (ZcDbObjectId id : selectX(nullptr)) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
            if (f.matches(e)) out.push_back(id);
            e->close();
        }
        return out;
    }
    // A line with xdata of the applications whose bits are set.
    static void make(std::mt19937& rng, bool paper) {
        const ads_point a{double(rng() % 100), double(rng() % 100), 0}, b{a[0] + 5, a[1], 0};
        resbuf* list = zcutBuildList(RTDXF0, rng() % 4 ? "LINE" : "CIRCLE", 8, "0", 10, a, 11, b, 40, 2.0, 0);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        if (paper) tail = tail->rbnext = zcutBuildList(67, 1, 0);
        const unsigned bits = rng() % 8;
        if (bits) tail = tail->rbnext = zcutNewRb(-3);
        for (int k = 0; k < 3; ++k)
            if (bits & (1u << k)) {
                tail->rbnext = zcutBuildList(1001, kApps[k], 1070, int(rng() % 50), 0);
                while (tail->rbnext) tail = tail->rbnext;
            }
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    // A block whose entity carries the first application: never selected.
    static void makeBlock(int n) {
        const ads_point o{0, 0, 0}, b{1, 1, 0};
        const std::string name = "B" + std::to_string(n);
        resbuf* block = zcutBuildList(RTDXF0, "BLOCK", 2, name.c_str(), 70, 0, 10, o, 0);
        resbuf* inner = zcutBuildList(RTDXF0, "LINE", 10, o, 11, b, -3, 1001, kApps[0], 1000, "inside", 0);
        resbuf* end = zcutBuildList(RTDXF0, "ENDBLK", 0);
        EXPECT_EQ(zcdbEntMake(block), RTNORM);
        EXPECT_EQ(zcdbEntMake(inner), RTNORM);
        EXPECT_EQ(zcdbEntMake(end), RTNORM);
        zcutRelRb(block);
        zcutRelRb(inner);
        zcutRelRb(end);
    }
    static void changeXData(ZcDbObjectId id, std::mt19937& rng) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForWrite) != Zcad::eOk) return;
        const char* app = kApps[rng() % 3];
        std::vector<ZcDbDxfItem> items;
        if (rng() % 3) {
            ZcDbDxfItem it;
            it.code = 1070;
            it.kind = ZcDbDxfItem::kInt16;
            it.integer = int(rng() % 9);
            items.push_back(it);
        }
        e->setXDataApp(app, std::move(items));  // empty: the application's xdata goes
        e->close();
    }
};

}  // namespace

TEST_F(XDataIndex, selections_by_application_follow_every_change_as_the_walk_does) {
    std::mt19937 rng(59);
    std::vector<resbuf*> filters = {
        zcutBuildList(-3, 1001, "VELM_A-", 0),
        zcutBuildList(-3, 1001, "velm_b-", 0),  // names are compared case-blind
        zcutBuildList(-3, 1001, "VELM_*", 0),
        zcutBuildList(-3, 1001, "~VELM_A-", 0),
        zcutBuildList(RTDXF0, "LINE", -3, 1001, "VELM_A-", 1001, "OTHER$C", 0),
        zcutBuildList(-4, "<OR", 62, 1, -3, 1001, "OTHER$C", -4, "OR>", 0),
        // An application required inside AND groups, however nested; one
        // under NOT requires nothing.
        zcutBuildList(-4, "<and", -3, 1001, "VELM_A-", RTDXF0, "LINE", -4, "and>", 0),
        zcutBuildList(-4, "<AND", RTDXF0, "CIRCLE", -4, "<AND", -3, 1001, "velm_b-", -4, "AND>", -4, "AND>",
                      0),
        zcutBuildList(-4, "<NOT", -4, "<AND", -3, 1001, "VELM_A-", RTDXF0, "LINE", -4, "AND>", -4, "NOT>", 0),
    };
    int blocks = 0;
    for (int step = 0; step < 400; ++step) {
        const Ids all = selectX(nullptr);
        const unsigned op = rng() % 10;
        db()->beginUndoGroup();
        if (op < 4 || all.empty()) {
            make(rng, rng() % 5 == 0);
        } else if (op < 6) {
            changeXData(all[rng() % all.size()], rng);
        } else if (op < 7) {
            ads_name e;
            zcdbGetAdsName(e, all[rng() % all.size()]);
            zcdbEntDel(e);
        } else if (op < 8) {
            makeBlock(++blocks);
        }
        db()->endUndoGroup();
        if (op == 8 || op == 9) {
            db()->undoGroup();
            // Taken back once more and put back: an erased entity returns.
            if (op == 9 && !all.empty()) {
                ads_name e;
                zcdbGetAdsName(e, all[rng() % all.size()]);
                zcdbEntDel(e);
                zcdbEntDel(e);
            }
        }
        for (std::size_t f = 0; f < filters.size(); ++f)
            ASSERT_EQ(selectX(filters[f]), walk(filters[f])) << step << " " << f;
    }
    EXPECT_GT(selectX(filters[0]).size(), 10u);
    for (resbuf* f : filters) zcutRelRb(f);
}

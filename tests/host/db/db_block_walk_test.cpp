// Blocks that contain themselves and blocks nested wide and deep: a file
// holding a cycle loads with the rest of its drawing and the cycle named
// with its line; a cycle made afterwards stops every walk instead of
// recursing; the count of what a block expands to agrees with expanding it
// by hand, and stays a count (no expansion) for 10^8 faces and beyond; a
// drawing of 10^8 faces saves without drawing them.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "host/db/dbblockwalk.h"
#include "host/db/dbgeom.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "tests/host/db/db_test_util.h"
#include "tests/support/block_dxf.h"

namespace {

ZcDbObjectId blockNamed(ZcDbDatabase* db, const std::string& name) {
    return db->recordId(db->blockTableId(), name);
}

std::size_t geometryOf(ZcDbObjectId id) {
    ZcDbEntity* e = nullptr;
    if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return 0;
    ZcDbGeometry g;
    zcdbEntityGeometry(e, g);
    e->close();
    return g.size();
}

void insertInto(ZcDbDatabase* db, const std::string& holder, const std::string& inserted) {
    ZcDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(zcdbOpenObject(block, blockNamed(db, holder), ZcDb::kForWrite), Zcad::eOk);
    auto* ref = new ZcDbBlockReference({0, 0, 0}, blockNamed(db, inserted));
    ASSERT_EQ(block->appendZcDbEntity(ref), Zcad::eOk);
    ref->close();
    block->close();
}

}  // namespace

TEST(BlockCycles, a_file_whose_blocks_contain_themselves_loads_with_each_cycle_named_at_its_line) {
    const BlockDxf dxf =
        MakeBlockDxf({{"A", 1, {"A"}}, {"B", 1, {"C"}}, {"C", 1, {"B"}}}, {"", 1, {"A", "B"}});
    const host::DxfLoadResult r = host::readDxfText(dxf.text);
    ASSERT_TRUE(r.db) << r.error;
    // A's own insert, and the insert of B inside C that closes B → C → B.
    ASSERT_EQ(r.repairs.size(), 2u);
    EXPECT_EQ(r.repairs[0], "DXF: wiersz " + std::to_string(dxf.insertLines[0]) +
                                ": blok \"A\" zawiera sam siebie; to wstawienie pominięto");
    EXPECT_EQ(r.repairs[1], "DXF: wiersz " + std::to_string(dxf.insertLines[2]) +
                                ": blok \"B\" zawiera sam siebie przez blok \"C\"; to wstawienie pominięto");
    EXPECT_TRUE(zcdbBlockCycles(r.db.get()).empty());
    // The rest is all there: the face and both inserts, B still holding C.
    const std::vector<ZcDbObjectId> model = modelSpaceEntities(r.db.get());
    ASSERT_EQ(model.size(), 3u);
    EXPECT_EQ(geometryOf(model[1]), 4u);  // A: its face
    EXPECT_EQ(geometryOf(model[2]), 8u);  // B: its face and C's
    EXPECT_EQ(zcdbBlockExpansion(r.db->modelSpaceId()).entities, 4u);

    // Saved, the drawing loads back with nothing left to mend.
    const host::DxfLoadResult again = host::readDxfText(host::writeDxfText(r.db.get(), r.vars.get()));
    ASSERT_TRUE(again.db) << again.error;
    EXPECT_TRUE(again.repairs.empty()) << again.repairs.front();
    EXPECT_EQ(modelSpaceEntities(again.db.get()).size(), 3u);
}

TEST(BlockCycles, a_cycle_made_after_loading_stops_every_walk_and_is_reported_by_the_count) {
    const host::DxfLoadResult r =
        host::readDxfText(MakeBlockDxf({{"A", 1, {}}, {"B", 1, {"A"}}}, {"", 0, {"B"}}).text);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbDatabase* db = r.db.get();
    // Ten inserts of B inside A: a walk that did not stop would draw 10^16
    // faces before a depth limit ended it.
    for (int i = 0; i < 10; ++i) insertInto(db, "A", "B");
    insertInto(db, "A", "A");
    const ZcDbBlockExpansion x = zcdbBlockExpansion(db->modelSpaceId());
    EXPECT_FALSE(x.cycleBlock.empty());
    EXPECT_EQ(x.entities, 2u);
    EXPECT_EQ(geometryOf(modelSpaceEntities(db)[0]), 8u);
    // Leaving out B's insert of A and A's own breaks every cycle.
    EXPECT_EQ(zcdbBlockCycles(db).size(), 2u);

    ZcDbBlockPath path;
    ZcDbBlockPath::Step a(path, blockNamed(db, "A"));
    ZcDbBlockPath::Step b(path, blockNamed(db, "B"));
    EXPECT_TRUE(a && b);
    {
        ZcDbBlockPath::Step again(path, blockNamed(db, "A"));
        EXPECT_FALSE(again);
        EXPECT_EQ(path.depth(), 2u);
    }
    EXPECT_EQ(path.depth(), 2u);
}

TEST(BlockExpansion, the_count_agrees_with_expanding_by_hand) {
    std::mt19937 random(94);
    for (int round = 0; round < 50; ++round) {
        // Blocks that insert only blocks defined before them: no cycle.
        std::vector<DxfBlockSpec> blocks;
        const int n = 2 + static_cast<int>(random() % 7);
        for (int i = 0; i < n; ++i) {
            DxfBlockSpec b{"K" + std::to_string(i), static_cast<int>(random() % 3), {}};
            for (int j = 0; j < i; ++j)
                for (unsigned k = random() % 3; k > 0; --k) b.inserts.push_back("K" + std::to_string(j));
            blocks.push_back(b);
        }
        DxfBlockSpec model{"", 1, {blocks.back().name, blocks.front().name}};
        std::function<std::uint64_t(const DxfBlockSpec&)> expand = [&](const DxfBlockSpec& b) {
            std::uint64_t total = static_cast<std::uint64_t>(b.faces);
            for (const std::string& name : b.inserts) total += expand(blocks[std::stoul(name.substr(1))]);
            return total;
        };
        const host::DxfLoadResult r = host::readDxfText(MakeBlockDxf(blocks, model).text);
        ASSERT_TRUE(r.db) << r.error;
        const ZcDbBlockExpansion x = zcdbBlockExpansion(r.db->modelSpaceId());
        EXPECT_EQ(x.entities, expand(model)) << "round " << round;
        EXPECT_TRUE(x.cycleBlock.empty());
    }
}

TEST(BlockExpansion, wide_and_deep_nesting_is_counted_not_expanded) {
    const host::DxfLoadResult wide = host::readDxfText(TenToTheEighthDxf().text);
    ASSERT_TRUE(wide.db) << wide.error;
    const ZcDbBlockExpansion x = zcdbBlockExpansion(wide.db->modelSpaceId());
    EXPECT_EQ(x.entities, 100000000u);
    EXPECT_EQ(x.depth, 8u);
    // Saving takes the drawing's extents through the blocks, within one
    // bound for the whole space: the file is written, 10^8 faces not drawn.
    const host::DxfLoadResult saved = host::readDxfText(host::writeDxfText(wide.db.get(), wide.vars.get()));
    ASSERT_TRUE(saved.db) << saved.error;
    EXPECT_EQ(zcdbBlockExpansion(saved.db->modelSpaceId()).entities, 100000000u);
    // Ten more levels: past what 64 bits count, the count saturates.
    insertInto(wide.db.get(), "L0", "L7");  // a cycle, left out of the count
    std::vector<DxfBlockSpec> blocks{{"M0", 1, {}}};
    for (int level = 1; level < 24; ++level)
        blocks.push_back(
            {"M" + std::to_string(level), 0, std::vector<std::string>(10, "M" + std::to_string(level - 1))});
    const host::DxfLoadResult huge = host::readDxfText(MakeBlockDxf(blocks, {"", 0, {"M23"}}).text);
    ASSERT_TRUE(huge.db) << huge.error;
    EXPECT_EQ(zcdbBlockExpansion(huge.db->modelSpaceId()).entities, ZcDbBlockExpansion::kSaturated);

    // A chain far deeper than a walk's path may grow.
    std::vector<DxfBlockSpec> chain{{"C0", 1, {}}};
    for (int level = 1; level < 3000; ++level)
        chain.push_back({"C" + std::to_string(level), 0, {"C" + std::to_string(level - 1)}});
    const host::DxfLoadResult deep = host::readDxfText(MakeBlockDxf(chain, {"", 0, {"C2999"}}).text);
    ASSERT_TRUE(deep.db) << deep.error;
    const ZcDbBlockExpansion d = zcdbBlockExpansion(deep.db->modelSpaceId());
    EXPECT_EQ(d.entities, 1u);
    EXPECT_EQ(d.depth, 3000u);
    // The picking walk stops where its path may grow no further.
    EXPECT_EQ(geometryOf(modelSpaceEntities(deep.db.get())[0]), 0u);
}

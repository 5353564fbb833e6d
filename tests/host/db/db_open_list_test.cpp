// The list of objects opened since the command processor last asked must
// name exactly the objects open now, as the walk over every object does,
// whatever the order of closing, and with reactors opening objects while
// another is being closed.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/db/dbmain.h"

namespace {

struct ReadsBack : ZcDbDatabaseReactor {
    void objectErased(const ZcDbDatabase*, const ZcDbObject* o, bool) override {
        ZcDbObject* again = nullptr;
        if (zcdbOpenObject(again, o->objectId(), ZcDb::kForRead, true) == Zcad::eOk) again->close();
    }
};

}  // namespace

TEST(DbOpenList, names_exactly_the_open_objects_through_any_order_of_opening_and_closing) {
    ZcDbDatabase db;
    std::vector<ZcDbObjectId> ids;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    for (int i = 0; i < 12; ++i) {
        ids.emplace_back();
        auto* line = new ZcDbLine({double(i), 0, 0}, {double(i), 1, 0});
        ASSERT_EQ(ms->appendZcDbEntity(ids.back(), line), Zcad::eOk);
        line->close();
    }
    ms->close();
    ReadsBack reactor;
    db.addReactor(&reactor);
    std::vector<ZcDbObject*> held;
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int step = 0; step < 4000; ++step) {
        const std::uint32_t r = next();
        ZcDbObject* o = nullptr;
        const ZcDb::OpenMode mode = r % 5 == 0 ? ZcDb::kForWrite : ZcDb::kForRead;
        if (held.empty() || r % 3 != 0) {
            if (zcdbOpenObject(o, ids[next() % ids.size()], mode, true) != Zcad::eOk) continue;
            if (mode == ZcDb::kForWrite && r % 7 == 0) o->erase(!o->isErased());
            held.push_back(o);
        } else {
            // Mostly the last opened first, sometimes one from the middle.
            const size_t at = r % 4 == 0 ? next() % held.size() : held.size() - 1;
            held[at]->close();
            held.erase(held.begin() + static_cast<std::ptrdiff_t>(at));
        }
        if (step % 50 == 0 || held.size() < 2) {
            ASSERT_EQ(db.objectsLeftOpen(), db.openObjects()) << "step " << step;
        }
    }
    for (; !held.empty(); held.pop_back()) held.back()->close();
    EXPECT_TRUE(db.objectsLeftOpen().empty());
    db.removeReactor(&reactor);
}

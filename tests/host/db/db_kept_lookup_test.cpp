// An object found by reading others, kept until what it was read from
// changes: a change of the object found keeps it, a change or erasing of
// what it was read from, or the erasing of the object, drops it, and each
// drawing keeps its own.
#include <gtest/gtest.h>

#include <memory>

#include "host/db/dbkeptlookup.h"
#include "host/db/dbmain.h"

namespace {

ZcDbObjectId addEntry(ZcDbObjectId dictId, const char* key) {
    ZcDbDictionary* dict = nullptr;
    EXPECT_EQ(zcdbOpenObject(dict, dictId, ZcDb::kForWrite), Zcad::eOk);
    auto* entry = new ZcDbDictionary;
    ZcDbObjectId id;
    EXPECT_EQ(dict->setAt(key, entry, id), Zcad::eOk);
    entry->close();
    dict->close();
    return id;
}

ZcDbObjectId kept(const ZcDbDatabase& db) {
    const host::KeptLookup* at = host::keptLookup(&db, "ENTRY");
    return at ? at->found : ZcDbObjectId();
}

}  // namespace

TEST(KeptLookup, serves_until_what_it_was_read_from_changes_or_the_found_object_goes) {
    ZcDbDatabase db;
    const ZcDbObjectId nod = db.namedObjectsDictionaryId();
    const ZcDbObjectId entry = addEntry(nod, "ENTRY");
    const ZcDbObjectId inner = addEntry(entry, "INNER");
    host::keepLookup(&db, "ENTRY", {inner, {nod, entry}});
    EXPECT_EQ(kept(db), inner);
    EXPECT_EQ(host::keptLookup(&db, "OTHER"), nullptr);

    // The found object's own changes keep it; another entry added to what
    // it was read from drops it.
    addEntry(inner, "DEEPER");
    EXPECT_EQ(kept(db), inner);
    addEntry(entry, "SIBLING");
    EXPECT_TRUE(kept(db).isNull());

    host::keepLookup(&db, "ENTRY", {inner, {nod, entry}});
    ZcDbDictionary* found = nullptr;
    ASSERT_EQ(zcdbOpenObject(found, inner, ZcDb::kForWrite), Zcad::eOk);
    ASSERT_EQ(found->erase(), Zcad::eOk);
    found->close();
    EXPECT_TRUE(kept(db).isNull());

    // Taken back by undo: the dictionary read from is restored, so it goes.
    host::keepLookup(&db, "ENTRY", {entry, {nod}});
    db.beginUndoGroup();
    addEntry(nod, "LATER");
    db.endUndoGroup();
    host::keepLookup(&db, "ENTRY", {entry, {nod}});
    ASSERT_TRUE(db.undoGroup());
    EXPECT_TRUE(kept(db).isNull());
}

TEST(KeptLookup, each_drawing_keeps_its_own_and_a_drawing_gone_keeps_nothing) {
    auto first = std::make_unique<ZcDbDatabase>();
    ZcDbDatabase second;
    const ZcDbObjectId a = addEntry(first->namedObjectsDictionaryId(), "ENTRY");
    host::keepLookup(first.get(), "ENTRY", {a, {first->namedObjectsDictionaryId()}});
    EXPECT_EQ(kept(*first), a);
    EXPECT_TRUE(kept(second).isNull());
    first.reset();
    auto next = std::make_unique<ZcDbDatabase>();  // may stand where the first stood
    EXPECT_TRUE(kept(*next).isNull());
    host::keepLookup(next.get(), "ENTRY", {next->namedObjectsDictionaryId(), {}});
    EXPECT_FALSE(kept(*next).isNull());
}

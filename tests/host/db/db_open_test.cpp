// Opening and closing objects, ids, handles and entity names.
#include <gtest/gtest.h>

#include <unordered_set>

#include "host/db/dbmain.h"

namespace {

ZcDbObjectId addLine(ZcDbDatabase& db, ZcGePoint3d a = {0, 0, 0}, ZcGePoint3d b = {1, 0, 0}) {
    ZcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* line = new ZcDbLine(a, b);
    ZcDbObjectId id;
    EXPECT_EQ(ms->appendZcDbEntity(id, line), Zcad::eOk);
    line->close();
    ms->close();
    return id;
}

}  // namespace

TEST(DbOpen, second_open_for_write_is_refused_until_closed) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbLine* a = nullptr;
    ZcDbLine* b = nullptr;
    ASSERT_EQ(zcdbOpenObject(a, id, ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(zcdbOpenObject(b, id, ZcDb::kForWrite), Zcad::eWasOpenedForWrite);
    EXPECT_EQ(zcdbOpenObject(b, id, ZcDb::kForRead), Zcad::eWasOpenedForWrite);
    EXPECT_EQ(b, nullptr);
    a->close();
    ASSERT_EQ(zcdbOpenObject(b, id, ZcDb::kForWrite), Zcad::eOk);
    b->close();
}

TEST(DbOpen, readers_block_writers_and_upgrade_needs_a_single_reader) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbObject* r1 = nullptr;
    ZcDbObject* r2 = nullptr;
    ASSERT_EQ(zcdbOpenObject(r1, id, ZcDb::kForRead), Zcad::eOk);
    ASSERT_EQ(zcdbOpenObject(r2, id, ZcDb::kForRead), Zcad::eOk);
    ZcDbObject* w = nullptr;
    EXPECT_EQ(zcdbOpenObject(w, id, ZcDb::kForWrite), Zcad::eWasOpenedForRead);
    EXPECT_EQ(r1->upgradeOpen(), Zcad::eHadMultipleReaders);
    r2->close();
    EXPECT_EQ(r1->upgradeOpen(), Zcad::eOk);
    EXPECT_TRUE(r1->isWriteEnabled());
    EXPECT_EQ(r1->downgradeOpen(), Zcad::eOk);
    EXPECT_FALSE(r1->isWriteEnabled());
    r1->close();
    EXPECT_EQ(r1->close(), Zcad::eNotOpenForRead);
}

TEST(DbOpen, erased_object_opens_only_when_asked_for_erased) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbObject* o = nullptr;
    ASSERT_EQ(zcdbOpenObject(o, id, ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(o->erase(), Zcad::eOk);
    EXPECT_EQ(o->erase(), Zcad::eWasErased);
    o->close();
    EXPECT_TRUE(id.isErased());
    EXPECT_EQ(zcdbOpenObject(o, id, ZcDb::kForRead), Zcad::eWasErased);
    ASSERT_EQ(zcdbOpenObject(o, id, ZcDb::kForWrite, true), Zcad::eOk);
    EXPECT_EQ(o->erase(false), Zcad::eOk);
    o->close();
    EXPECT_FALSE(id.isErased());
}

TEST(DbOpen, wrong_class_is_refused_and_left_closed) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbCircle* c = nullptr;
    EXPECT_EQ(zcdbOpenObject(c, id, ZcDb::kForWrite), Zcad::eWrongObjectType);
    EXPECT_EQ(c, nullptr);
    ZcDbLine* l = nullptr;
    EXPECT_EQ(zcdbOpenObject(l, id, ZcDb::kForWrite), Zcad::eOk);  // nothing left open
    l->close();
    ZcDbObject* o = nullptr;
    EXPECT_EQ(zcdbOpenObject(o, ZcDbObjectId(), ZcDb::kForRead), Zcad::eNullObjectId);
}

TEST(DbOpen, appended_entity_gets_owner_and_default_layer) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbEntity* e = nullptr;
    ASSERT_EQ(zcdbOpenObject(e, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(e->ownerId(), db.modelSpaceId());
    EXPECT_EQ(e->layer(), "0");
    EXPECT_EQ(e->layerId(), db.clayer());
    EXPECT_EQ(e->colorIndex(), 256);
    EXPECT_EQ(e->setLayer("no such layer"), Zcad::eKeyNotFound);
    e->close();
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    auto* second = new ZcDbLine;
    EXPECT_EQ(ms->appendZcDbEntity(second), Zcad::eNotOpenForWrite);
    delete second;
    ms->close();
}

TEST(DbHandles, unique_stable_and_found_again_by_handle_and_entity_name) {
    ZcDbDatabase db;
    std::vector<ZcDbObjectId> ids;
    std::unordered_set<std::uint64_t> handles;
    for (int i = 0; i < 200; ++i) ids.push_back(addLine(db, {double(i), 0, 0}, {double(i), 1, 0}));
    for (const ZcDbObjectId& id : ids) {
        EXPECT_TRUE(handles.insert(id.handle().value()).second);
        EXPECT_EQ(db.objectIdOf(id.handle()), id);
        EXPECT_EQ(db.objectIdOf(ZcDbHandle(id.handle().ascii())), id);
        ads_name name;
        ASSERT_EQ(zcdbGetAdsName(name, id), Zcad::eOk);
        ZcDbObjectId back;
        ASSERT_EQ(zcdbGetObjectId(back, name), Zcad::eOk);
        EXPECT_EQ(back, id);
    }
    // Erasing and unerasing keeps the handle.
    ZcDbObject* o = nullptr;
    ZcDbHandle before = ids[5].handle();
    ASSERT_EQ(zcdbOpenObject(o, ids[5], ZcDb::kForWrite), Zcad::eOk);
    o->erase();
    o->close();
    EXPECT_EQ(ids[5].handle(), before);
}

TEST(DbHandles, entity_name_of_a_closed_drawing_is_refused) {
    ads_name name;
    {
        ZcDbDatabase db;
        zcdbGetAdsName(name, addLine(db));
    }
    ZcDbObjectId id;
    EXPECT_NE(zcdbGetObjectId(id, name), Zcad::eOk);
    EXPECT_TRUE(id.isNull());
}

TEST(DbHandles, hexadecimal_text_parses_and_bad_text_gives_null) {
    EXPECT_EQ(ZcDbHandle("1A").value(), 26u);
    EXPECT_EQ(ZcDbHandle("ff").value(), 255u);
    EXPECT_TRUE(ZcDbHandle("xyz").isNull());
    EXPECT_TRUE(ZcDbHandle("").isNull());
    EXPECT_EQ(ZcDbHandle(uint64_t(0xABC)).ascii(), "ABC");
}

TEST(DbHandles, reader_reserved_handle_is_filled_by_the_object_later) {
    ZcDbDatabase db;
    ZcDbObjectId reserved;
    ASSERT_EQ(db.getZcDbObjectId(reserved, true, ZcDbHandle(uint64_t(0x5000))), Zcad::eOk);
    EXPECT_FALSE(reserved.isValid());
    auto* line = new ZcDbLine;
    ZcDbObjectId id;
    ASSERT_EQ(db.addZcDbObjectWithHandle(id, line, ZcDbHandle(uint64_t(0x5000))), Zcad::eOk);
    line->close();
    EXPECT_EQ(id, reserved);
    EXPECT_TRUE(reserved.isValid());
    auto* other = new ZcDbLine;
    EXPECT_EQ(db.addZcDbObjectWithHandle(id, other, ZcDbHandle(uint64_t(0x5000))), Zcad::eDuplicateKey);
    delete other;
    // New handles continue above the highest one taken.
    EXPECT_GT(addLine(db).handle().value(), 0x5000u);
}

TEST(DbNewDrawing, holds_the_standard_records) {
    ZcDbDatabase db;
    EXPECT_FALSE(db.recordId(db.layerTableId(), "0").isNull());
    for (const char* lt : {"ByLayer", "ByBlock", "Continuous"})
        EXPECT_FALSE(db.recordId(db.linetypeTableId(), lt).isNull()) << lt;
    EXPECT_FALSE(db.recordId(db.textStyleTableId(), "Standard").isNull());
    EXPECT_FALSE(db.recordId(db.dimStyleTableId(), "STANDARD").isNull());
    EXPECT_FALSE(db.modelSpaceId().isNull());
    EXPECT_FALSE(db.paperSpaceId().isNull());
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(nod->has("ACAD_GROUP"));
    nod->close();
    EXPECT_EQ(db.undoJournal().numGroups(), 0u);
}

TEST(DbHandles, an_object_read_with_a_reserved_handle_takes_that_handle) {
    ZcDbDatabase db;
    ZcDbObjectId reserved;
    ASSERT_EQ(db.getZcDbObjectId(reserved, true, ZcDbHandle(uint64_t(0x7F))), Zcad::eOk);
    ZcDbMemDxfFiler f;
    f.writeHandle(5, ZcDbHandle(uint64_t(0x7F)));
    f.writeString(100, "AcDbEntity");
    f.writeString(8, "0");
    f.writeString(100, "AcDbPoint");
    f.writePoint3d(10, {1, 2, 3});
    f.rewind();
    auto* point = new ZcDbPoint;
    ASSERT_EQ(point->dxfIn(&f), Zcad::eOk);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ZcDbObjectId id;
    ASSERT_EQ(ms->appendZcDbEntity(id, point), Zcad::eOk);
    point->close();
    ms->close();
    EXPECT_EQ(id, reserved);
    EXPECT_EQ(id.handle().value(), 0x7Fu);
}

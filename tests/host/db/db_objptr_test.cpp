// The open-object pointer, and the command processor's report of objects a
// command leaves open.
#include <gtest/gtest.h>

#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "tests/host/ads/ads_ent_fixture.h"

namespace {

ZcDbObjectId addLine(ZcDbDatabase& db) {
    ZcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* line = new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0));
    ZcDbObjectId id;
    EXPECT_EQ(ms->appendZcDbEntity(id, line), Zcad::eOk);
    line->close();
    ms->close();
    return id;
}

bool openableForWrite(ZcDbObjectId id) {
    ZcDbObject* o = nullptr;
    if (zcdbOpenObject(o, id, ZcDb::kForWrite) != Zcad::eOk) return false;
    o->close();
    return true;
}

}  // namespace

TEST(ObjectPointer, closes_on_every_way_out_and_hands_over_on_release) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    {
        ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForWrite);
        ASSERT_EQ(line.openStatus(), Zcad::eOk);
        line->setStartPoint(ZcGePoint3d(5, 5, 0));
        EXPECT_FALSE(openableForWrite(id)) << "held open for write";
    }
    EXPECT_TRUE(openableForWrite(id)) << "closed by the destructor";

    ZcDbObjectPointer<ZcDbLine> early(id, ZcDb::kForRead);
    EXPECT_TRUE(early->startPoint().isEqualTo(ZcGePoint3d(5, 5, 0)));
    EXPECT_EQ(early.close(), Zcad::eOk);
    EXPECT_EQ(early.get(), nullptr);
    EXPECT_EQ(early.close(), Zcad::eNullObjectPointer) << "nothing left to close";
    EXPECT_TRUE(openableForWrite(id));

    ZcDbLine* kept = nullptr;
    {
        ZcDbObjectPointer<ZcDbLine> handed(id, ZcDb::kForRead);
        kept = handed.release();
    }
    ASSERT_NE(kept, nullptr);
    EXPECT_FALSE(openableForWrite(id)) << "the caller holds it open after release";
    kept->close();
    EXPECT_TRUE(openableForWrite(id));

    ZcDbObjectPointer<ZcDbLine> moved(id, ZcDb::kForWrite);
    ZcDbObjectPointer<ZcDbLine> target(std::move(moved));
    EXPECT_EQ(moved.get(), nullptr);
    ASSERT_NE(target.get(), nullptr);
    target = ZcDbObjectPointer<ZcDbLine>();
    EXPECT_TRUE(openableForWrite(id)) << "move-assigning over an open pointer closes its object";
}

TEST(ObjectPointer, a_failed_open_holds_nothing_and_says_why) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbObjectPointer<ZcDbCircle> wrongKind(id, ZcDb::kForWrite);
    EXPECT_EQ(wrongKind.openStatus(), Zcad::eWrongObjectType);
    EXPECT_EQ(wrongKind.get(), nullptr);
    EXPECT_TRUE(openableForWrite(id)) << "a refused object is left closed";

    ZcDbObjectPointer<ZcDbLine> writer(id, ZcDb::kForWrite);
    ZcDbObjectPointer<ZcDbLine> second(id, ZcDb::kForWrite);
    EXPECT_EQ(second.openStatus(), Zcad::eWasOpenedForWrite);
    EXPECT_FALSE(second);

    ZcDbObjectPointer<ZcDbLine> none(ZcDbObjectId(), ZcDb::kForRead);
    EXPECT_EQ(none.openStatus(), Zcad::eNullObjectId);
}

namespace {

int g_linesDeleted = 0;
struct CountedLine : ZcDbLine {
    ~CountedLine() override { ++g_linesDeleted; }
};

bool inModelSpace(ZcDbDatabase& db, ZcDbObjectId id) {
    ZcDbObjectPointer<ZcDbBlockTableRecord> ms(db.modelSpaceId(), ZcDb::kForRead);
    for (ZcDbObjectId e : ms->entityIds(true))
        if (e == id) return true;
    return false;
}

}  // namespace

TEST(ObjectPointer, a_new_object_is_closed_once_in_the_drawing_and_deleted_when_it_never_got_there) {
    ZcDbDatabase db;
    g_linesDeleted = 0;
    ZcDbObjectId appended;
    {
        ZcDbObjectPointer<ZcDbBlockTableRecord> ms(db.modelSpaceId(), ZcDb::kForWrite);
        ZcDbObjectPointer<CountedLine> line(new CountedLine);
        ASSERT_EQ(line.openStatus(), Zcad::eOk);
        ASSERT_EQ(ms->appendZcDbEntity(appended, line.get()), Zcad::eOk);
    }
    EXPECT_EQ(g_linesDeleted, 0) << "an appended object belongs to the drawing";
    EXPECT_TRUE(openableForWrite(appended)) << "and was closed";
    EXPECT_TRUE(inModelSpace(db, appended));

    { ZcDbObjectPointer<CountedLine> dropped(new CountedLine); }
    EXPECT_EQ(g_linesDeleted, 1) << "never appended: nobody else would delete it";
    ZcDbObjectPointer<CountedLine> early(new CountedLine);
    EXPECT_EQ(early.close(), Zcad::eOk);
    EXPECT_EQ(g_linesDeleted, 2);

    // create() makes the object; a table's add takes it like an append.
    ZcDbObjectId layerId;
    {
        ZcDbObjectPointer<ZcDbLayerTable> layers(db.layerTableId(), ZcDb::kForWrite);
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec;
        ASSERT_EQ(rec.create(), Zcad::eOk);
        (*rec).setName("MADE");
        ASSERT_EQ(layers->add(layerId, rec.get()), Zcad::eOk);
    }
    EXPECT_TRUE(openableForWrite(layerId));
    EXPECT_EQ(db.recordId(db.layerTableId(), "MADE"), layerId);
}

TEST(ObjectPointer, takes_over_an_object_another_call_opened) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLine(db);
    ZcDbLine* opened = nullptr;
    ASSERT_EQ(zcdbOpenObject(opened, id, ZcDb::kForWrite), Zcad::eOk);
    {
        ZcDbObjectPointer<ZcDbLine> line;
        line.acquire(opened);
        EXPECT_EQ(opened, nullptr) << "the caller's pointer is let go";
        EXPECT_EQ(line.openStatus(), Zcad::eOk);
        EXPECT_FALSE(openableForWrite(id));
    }
    EXPECT_TRUE(openableForWrite(id)) << "closed by the destructor";
    EXPECT_TRUE(inModelSpace(db, id)) << "a resident object is closed, never deleted";

    // Taking over another object closes the one held.
    ZcDbLine* first = nullptr;
    ZcDbLine* second = nullptr;
    ASSERT_EQ(zcdbOpenObject(first, id, ZcDb::kForRead), Zcad::eOk);
    ASSERT_EQ(zcdbOpenObject(second, id, ZcDb::kForRead), Zcad::eOk);
    ZcDbObjectPointer<ZcDbLine> line(first);
    line.acquire(second);
    ZcDbLine* none = nullptr;
    line.acquire(none);
    EXPECT_FALSE(line);
    EXPECT_EQ(line.openStatus(), Zcad::eNullObjectPointer);
    EXPECT_TRUE(openableForWrite(id)) << "both readers closed";

    ZcDbObjectPointer<ZcDbEntity> adopted(ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForRead).release());
    EXPECT_EQ(adopted.openStatus(), Zcad::eOk);
    EXPECT_FALSE(openableForWrite(id));
    EXPECT_FALSE(ZcDbObjectPointer<ZcDbEntity>(nullptr));
}

namespace {
ZcDbObjectId g_line;
void leavesItOpen() {
    ZcDbLine* line = nullptr;
    zcdbOpenObject(line, g_line, ZcDb::kForRead);
}
void closesIt() {
    ZcDbObjectPointer<ZcDbLine> line(g_line, ZcDb::kForRead);
}
}  // namespace

class LeftOpen : public AdsDrawing {
protected:
    void SetUp() override {
        AdsDrawing::SetUp();
        g_line = addLine(*db());
        zcedRegCmds()->addCommand("TESTGRP", "LEAVEOPEN", "LEAVEOPEN", ZCRX_CMD_MODAL, leavesItOpen);
        zcedRegCmds()->addCommand("TESTGRP", "CLOSEIT", "CLOSEIT", ZCRX_CMD_MODAL, closesIt);
    }
    void TearDown() override {
        zcedRegCmds()->removeGroup("TESTGRP");
        AdsDrawing::TearDown();
    }
};

TEST_F(LeftOpen, a_command_that_leaves_an_object_open_is_reported_at_its_end) {
    feed({"CLOSEIT"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_TRUE(host::objectsLeftOpen().empty());

    feed({"LEAVEOPEN"});
    EXPECT_EQ(host::processInput(), RTNORM);
    ASSERT_EQ(host::objectsLeftOpen().size(), 1u);
    EXPECT_NE(host::objectsLeftOpen()[0].find("after LEAVEOPEN"), std::string::npos)
        << host::objectsLeftOpen()[0];
    EXPECT_NE(transcript().find("pozostał otwarty po poleceniu LEAVEOPEN"), std::string::npos)
        << transcript();

    // Closed again, the report is taken as read so the fixture passes.
    ZcDbObject* o = nullptr;
    ASSERT_EQ(zcdbOpenObject(o, g_line, ZcDb::kForRead), Zcad::eOk);
    o->close();
    o->close();
    host::resetCommandProcessor();
}

TEST_F(LeftOpen, an_object_is_reported_after_every_command_while_it_stays_open_and_never_after) {
    // Opened outside any command: the end of the next command finds it,
    // and of the one after, though neither opened it.
    ZcDbObject* o = nullptr;
    ASSERT_EQ(zcdbOpenObject(o, g_line, ZcDb::kForRead), Zcad::eOk);
    feed({"CLOSEIT"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_EQ(host::objectsLeftOpen().size(), 1u);
    feed({"CLOSEIT"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_EQ(host::objectsLeftOpen().size(), 2u);

    o->close();
    // Many opens between commands, all closed again, leave nothing to say.
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(zcdbOpenObject(o, g_line, i % 2 ? ZcDb::kForRead : ZcDb::kForWrite), Zcad::eOk);
        o->close();
    }
    feed({"CLOSEIT"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_EQ(host::objectsLeftOpen().size(), 2u);
    host::resetCommandProcessor();
}

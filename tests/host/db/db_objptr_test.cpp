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

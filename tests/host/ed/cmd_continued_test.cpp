// Host commands that a module command drives over several zcedCommand
// calls: each call answers the command the first one started, an empty
// call cancels it, and what it still asks when the module's command returns
// is the user's. Also WBLOCK of chosen objects with OOPS, and drawing files
// read and written under the name given.
#include <filesystem>
#include <string>
#include <vector>

#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/ed/cmdstack.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

struct Seen {
    std::vector<std::size_t> lines;
    std::vector<std::string> running;
    std::vector<int> status;
};
Seen& seen() {
    static Seen s;
    return s;
}

std::size_t lineCount() {
    ZcDbBlockTableRecord* ms = nullptr;
    if (zcdbOpenObject(ms, curDoc()->database()->modelSpaceId(), ZcDb::kForRead) != Zcad::eOk) return 0;
    std::size_t n = 0;
    for (ZcDbObjectId id : ms->entityIds())
        if (ZcDbLine::cast(id.stub()->object.get()) && !id.stub()->object->isErased()) ++n;
    ms->close();
    return n;
}

void note(int status) {
    seen().lines.push_back(lineCount());
    seen().running.push_back(host::currentCommandName());
    seen().status.push_back(status);
}

void threeCalls() {
    const ads_point a = {0, 0, 0}, b = {10, 0, 0}, c = {10, 5, 0};
    note(zcedCommand(RTSTR, "_LINE", RTNONE));
    note(zcedCommand(RT3DPOINT, a, RT3DPOINT, b, RTNONE));
    note(zcedCommand(RT3DPOINT, c, RTSTR, "", RTNONE));
}

void cancelled() {
    const ads_point a = {0, 0, 0};
    note(zcedCommand(RTSTR, "_LINE", RT3DPOINT, a, RTNONE));
    note(zcedCommand(RTNONE));
}

void leftToTheUser() {
    const ads_point a = {0, 0, 0};
    note(zcedCommand(RTSTR, "_LINE", RT3DPOINT, a, RTNONE));
}

class Continued : public CmdSession {
protected:
    void SetUp() override {
        CmdSession::SetUp();
        seen() = {};
        ZcEdCommandStack* s = zcedRegCmds();
        s->addCommand("TESTGRP", "VELMTHREE", "THREE", ZCRX_CMD_MODAL, threeCalls);
        s->addCommand("TESTGRP", "VELMCANCEL", "CANCEL", ZCRX_CMD_MODAL, cancelled);
        s->addCommand("TESTGRP", "VELMLEFT", "LEFT", ZCRX_CMD_MODAL, leftToTheUser);
        dir = std::filesystem::temp_directory_path() / ("velm_cmd_continued_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        zcedRegCmds()->removeGroup("TESTGRP");
        CmdSession::TearDown();
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
};

}  // namespace

TEST_F(Continued, three_calls_feed_one_command) {
    EXPECT_EQ(run({"VELMTHREE"}), RTNORM);
    // After the first call the line command still asks, with nothing drawn;
    // the second draws one segment; the third ends it.
    EXPECT_EQ(seen().lines, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(seen().running, (std::vector<std::string>{"LINE", "LINE", "VELMTHREE"}));
    EXPECT_EQ(seen().status, (std::vector<int>{RTNORM, RTNORM, RTNORM}));
    EXPECT_EQ(transcript().find("Nieznane polecenie"), std::string::npos);
}

TEST_F(Continued, an_empty_call_cancels_and_the_script_goes_on_at_the_command_prompt) {
    EXPECT_EQ(run({"VELMCANCEL", "_LINE", "5,5", "6,6", ""}), RTNORM);
    EXPECT_EQ(seen().running, (std::vector<std::string>{"LINE", "VELMCANCEL"}));
    EXPECT_EQ(seen().lines, (std::vector<std::size_t>{0, 0}));
    EXPECT_EQ(lineCount(), 1u);  // the script's own line
}

TEST_F(Continued, what_is_still_asked_when_the_module_returns_is_the_users) {
    EXPECT_EQ(run({"VELMLEFT", "3,0", "", "_LINE", "0,9", "1,9", ""}), RTNORM);
    EXPECT_EQ(lineCount(), 2u);
    EXPECT_EQ(host::currentCommandName(), "");
}

TEST_F(Continued, wblock_of_chosen_objects_takes_them_out_and_oops_brings_back_exactly_those) {
    run({"_LINE", "0,0", "10,0", "", "_LINE", "0,5", "10,5", "", "_LINE", "0,9", "10,9", ""});
    run({"ERASE", "5,9", ""});
    ASSERT_EQ(lineCount(), 2u);
    const std::string file = (dir / "dwa.dwg").string();
    EXPECT_EQ(run({"_WBLOCK", file.c_str(), "", "0,0", "5,0", "5,5", ""}), RTNORM);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(lineCount(), 0u);
    run({"_OOPS"});
    EXPECT_EQ(lineCount(), 2u);  // the erased line stays erased
    run({"_OOPS"});
    EXPECT_EQ(lineCount(), 2u);
}

TEST_F(Continued, a_drawing_file_is_read_and_written_under_the_name_given) {
    run({"_LINE", "0,0", "4,0", ""});
    const std::string named = (dir / "b.dwg").string();
    EXPECT_EQ(run({"_WBLOCK", named.c_str(), "*"}), RTNORM);
    EXPECT_TRUE(std::filesystem::exists(named));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.dxf"));
    const std::string bare = (dir / "c").string();
    EXPECT_EQ(run({"_WBLOCK", bare.c_str(), "*"}), RTNORM);
    EXPECT_TRUE(std::filesystem::exists(dir / "c.dxf"));
    run({"NEW"});
    const std::string request = "B=" + named;
    EXPECT_EQ(run({"_-INSERT", request.c_str(), "20,0", "1", "", "0"}), RTNORM);
    const ZcDbObjectId block = db()->recordId(db()->blockTableId(), "B");
    ASSERT_FALSE(block.isNull());
    EXPECT_EQ(entities<ZcDbLine>(block).size(), 1u);
}

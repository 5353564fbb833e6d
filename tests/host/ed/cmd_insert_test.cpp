// Block insertion (named, exploded, from a drawing file) with scales,
// rotation and attribute values under ATTREQ; WBLOCK and SAVE/OPEN round
// trips through DXF files.
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/ui/driver.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class InsertCommand : public CmdSession {
protected:
    void SetUp() override {
        CmdSession::SetUp();
        dir = std::filesystem::temp_directory_path() / ("velm_cmd_insert_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        CmdSession::TearDown();
        std::filesystem::remove_all(dir);
    }
    // Block "OKNO": a line 0,0-2,0 and an attribute NR with default "1".
    static void makeBlock() {
        ZcDbBlockTableRecord* b = newBlockWithLine("OKNO");
        ASSERT_NE(b, nullptr);
        auto* def = new ZcDbAttributeDefinition;
        def->setDatabaseDefaults(db());
        def->setTag("NR");
        def->setPrompt("Numer okna");
        def->setTextString("1");
        b->appendZcDbEntity(def);
        def->close();
        b->close();
    }
    static std::string attributeValue(ZcDbObjectId ref) {
        std::string v;
        with<ZcDbBlockReference>(ref, [&](ZcDbBlockReference* r) {
            for (ZcDbObjectId a : r->attributeIds())
                with<ZcDbAttribute>(a, [&](ZcDbAttribute* at) { v = at->textString(); });
        });
        return v;
    }
    std::filesystem::path dir;
};

TEST_F(InsertCommand, named_block_with_preset_scales_rotation_and_an_attribute) {
    makeBlock();
    EXPECT_EQ(run({"_-INSERT", "okno", "_X", "2", "_Y", "3", "_Z", "1", "10,10", "90", "A7"}), RTNORM);
    auto refs = entities<ZcDbBlockReference>();
    ASSERT_EQ(refs.size(), 1u);
    with<ZcDbBlockReference>(refs[0], [](ZcDbBlockReference* r) {
        EXPECT_TRUE(r->scaleFactors().isEqualTo(ZcGeVector3d(2, 3, 1)));
        EXPECT_NEAR(r->rotation(), kPi / 2, 1e-9);
        EXPECT_EQ(r->blockName(), "OKNO");
    });
    EXPECT_EQ(attributeValue(refs[0]), "A7");
    EXPECT_NE(transcript().find("Numer okna <1>"), std::string::npos);
}

TEST_F(InsertCommand, attreq_zero_takes_defaults_and_star_explodes) {
    makeBlock();
    resbuf v;
    v.restype = RTSHORT;
    v.resval.rint = 0;
    zcedSetVar("ATTREQ", &v);
    EXPECT_EQ(run({"_-INSERT", "OKNO", "0,0", "1", "", "0"}), RTNORM);
    EXPECT_EQ(attributeValue(entities<ZcDbBlockReference>()[0]), "1");
    EXPECT_EQ(run({"_-INSERT", "*OKNO", "5,0", "2", "", "0"}), RTNORM);
    auto lines = entities<ZcDbLine>();
    ASSERT_EQ(lines.size(), 1u);
    with<ZcDbLine>(lines[0], [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(9, 0, 0))); });
    EXPECT_EQ(run({"_-INSERT", "BRAK", "0,0"}), RTERROR);
}

TEST_F(InsertCommand, wblock_then_insert_from_the_file_and_save_open_round_trip) {
    run({"_-LAYER", "_M", "SCIANY", "", "LINE", "0,0", "4,0", "4,3", ""});
    std::string file = (dir / "sciana").string();
    EXPECT_EQ(run({"_WBLOCK", file.c_str(), "*"}), RTNORM);
    ASSERT_TRUE(std::filesystem::exists(file + ".dxf"));
    run({"NEW"});
    std::string request = "SCIANA=" + file + ".dxf";
    EXPECT_EQ(run({"_-INSERT", request.c_str(), "100,0", "1", "", "0"}), RTNORM);
    ZcDbObjectId block = db()->recordId(db()->blockTableId(), "SCIANA");
    ASSERT_FALSE(block.isNull());
    EXPECT_EQ(entities<ZcDbLine>(block).size(), 2u);
    EXPECT_FALSE(layerId("SCIANY").isNull());  // the layer came along
    std::string saved = (dir / "rys.dxf").string();
    EXPECT_EQ(run({"SAVE", saved.c_str()}), RTNORM);
    run({"CLOSE"});
    EXPECT_EQ(run({"OPEN", saved.c_str()}), RTNORM);
    ASSERT_EQ(entities<ZcDbBlockReference>().size(), 1u);
    EXPECT_FALSE(db()->recordId(db()->blockTableId(), "SCIANA").isNull());
}

TEST_F(InsertCommand, ddatte_edits_attributes_through_the_dialog) {
    makeBlock();
    run({"_-INSERT", "OKNO", "0,0", "1", "", "0", "A1"});
    ZcDbObjectId ref = entities<ZcDbBlockReference>()[0];
    ASSERT_TRUE(zcui::QueueDialogScript("9010 edit 200 \"B5\" ok"));
    EXPECT_EQ(run({"_DDATTE", "L"}), RTNORM);
    EXPECT_EQ(attributeValue(ref), "B5");
    ASSERT_TRUE(zcui::QueueDialogScript("9010 edit 200 \"C9\" cancel"));
    run({"_DDATTE", "L"});
    EXPECT_EQ(attributeValue(ref), "B5");
    EXPECT_EQ(run({"LINE", "5,5", "6,6", "", "_DDATTE", "L"}), RTERROR);  // not a block
}

}  // namespace

namespace {

TEST_F(InsertCommand, a_command_that_opens_another_drawing_still_closes_its_undo_group) {
    std::string saved = (dir / "inny.dxf").string();
    run({"SAVE", saved.c_str()});
    ZcApDocument* first = curDoc();
    run({"CIRCLE", "0,0", "1", "OPEN", saved.c_str()});
    ASSERT_NE(curDoc(), first);
    zcDocManagerPtr()->setCurDocument(first);
    run({"LINE", "0,0", "1,0", "", "U"});
    // Only the line went: the circle's command was a group of its own.
    EXPECT_TRUE(entities<ZcDbLine>().empty());
    EXPECT_EQ(entities<ZcDbCircle>().size(), 1u);
    EXPECT_FALSE(db()->undoJournal().groupOpen());
}

}  // namespace

namespace {

TEST_F(InsertCommand, a_drawing_saved_under_a_name_takes_it_and_qsave_goes_back_there) {
    // Never saved: QSAVE asks for the name, and the drawing
    // lies in the current folder.
    EXPECT_FALSE(curDoc()->isTitled());
    EXPECT_EQ(host::sysVarString("DWGPREFIX"), std::filesystem::current_path().string() + "/");
    EXPECT_EQ(run({"_QSAVE"}), RTCAN);  // the question, unanswered
    const std::string plan = (dir / "plan.dxf").string();
    ASSERT_EQ(run({"_SAVEAS", plan.c_str()}), RTNORM);
    EXPECT_EQ(host::sysVarString("DWGNAME"), "plan.dxf");
    EXPECT_EQ(host::sysVarString("DWGPREFIX"), dir.string() + "/");
    run({"LINE", "0,0", "4,0", ""});
    ASSERT_EQ(run({"_QSAVE"}), RTNORM);
    run({"CLOSE"});
    ASSERT_EQ(run({"OPEN", plan.c_str()}), RTNORM);
    EXPECT_EQ(entities<ZcDbLine>().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists("Drawing1.dwg"));
}

// A save through a link that leads to no file refuses, naming the link and
// where it leads; a save killed half way left its temporary file, which
// the next save of the drawing removes.
TEST_F(InsertCommand, qsave_through_a_link_to_nothing_is_refused_and_a_killed_saves_leftover_goes) {
    const std::string plan = (dir / "plan.dxf").string();
    ASSERT_EQ(run({"_SAVEAS", plan.c_str()}), RTNORM);
    std::filesystem::remove(plan);
    std::filesystem::create_directories(dir / "autostart");
    const std::string elsewhere = (dir / "autostart" / "x.desktop").string();
    std::filesystem::create_symlink(elsewhere, plan);
    const std::size_t before = transcript().size();
    EXPECT_EQ(run({"_QSAVE"}), RTERROR);
    const std::string said = transcript().substr(before);
    EXPECT_NE(said.find(plan), std::string::npos) << said;
    EXPECT_NE(said.find(elsewhere), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "autostart"));

    std::filesystem::remove(plan);
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    int status = 0;
    ::waitpid(gone, &status, 0);
    const std::filesystem::path leftover = dir / (".plan.dxf." + std::to_string(gone) + ".Ab12Cd");
    std::ofstream(leftover) << "0\nSECTION\n";
    ASSERT_EQ(run({"_QSAVE"}), RTNORM);
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::is_regular_file(plan));
}

}  // namespace

// Start-up wiring and the host program's script lines: documents get their
// own drawing, the registry holds the editor services, drawings open from
// DXF with their variables, malformed drawings open nothing, and the
// script checks count what they should.
#include "host/ed/hostinit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/statusbar.h"
#include "host/harness/harness.h"
#include "host/rx/rxobject.h"
#include "host/ui/hostdialogs.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "tests/host/win_testdir.h"
#include "tests/support/dxf_sample.h"
#include "tests/support/velm_test.h"

namespace {

class HostInit : public VelmTest {
protected:
    std::string tempPath(const char* name) { return ::testing::TempDir() + name; }
};

}  // namespace

TEST_F(HostInit, every_document_gets_its_own_standard_drawing) {
    ZcDbDatabase* first = db();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->modelSpaceId().isNull());
    EXPECT_EQ(zcdbCurDwg(), first);
    std::string error;
    ZcApDocument* second = host::openDrawing("", &error);
    ASSERT_NE(second, nullptr) << error;
    EXPECT_NE(second->database(), first);
    EXPECT_EQ(zcdbCurDwg(), second->database());
}

TEST_F(HostInit, registry_offers_the_command_stack_and_the_editor) {
    EXPECT_TRUE(zcrxSysRegistry()->has("ZCAD_REGISTERED_COMMANDS"));
    EXPECT_TRUE(zcrxSysRegistry()->has("ZcEditor"));
}

TEST_F(HostInit, drawing_opens_from_dxf_with_its_entities_and_variables) {
    ZcDbDatabase sample;
    buildSampleDrawing(&sample);
    host::MemorySysVarStore vars;
    vars.store("LUNITS", short(4));
    std::string path = tempPath("velm_hostinit_open.dxf"), error;
    ASSERT_TRUE(host::saveDxf(&sample, path, &vars, &error)) << error;

    ZcApDocument* doc = host::openDrawing(path, &error);
    ASSERT_NE(doc, nullptr) << error;
    EXPECT_EQ(count("0=LINE"), 1);
    EXPECT_EQ(count("0=INSERT 2=DRZWI"), 1);
    EXPECT_EQ(host::sysVarShort("LUNITS"), 4);
    std::remove(path.c_str());
}

TEST_F(HostInit, malformed_drawing_opens_nothing) {
    std::string path = tempPath("velm_hostinit_bad.dxf"), error;
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nabc\n", f);
    std::fclose(f);
    int before = zcDocManagerPtr()->documentCount();
    EXPECT_EQ(host::openDrawing(path, &error), nullptr);
    EXPECT_NE(error.find("DXF: wiersz 8:"), std::string::npos) << error;
    EXPECT_EQ(zcDocManagerPtr()->documentCount(), before);
    std::remove(path.c_str());
}

TEST_F(HostInit, expect_lines_count_failures_and_say_why) {
    buildSampleDrawing(db());
    run({"!expect count 0=LINE 1", "!expect count 0=CIRCLE 8=0 1", "!expect var CLAYER 0"});
    EXPECT_EQ(host::expectationFailures(), 0) << transcript();
    run({"!expect count 0=LINE 2"});
    EXPECT_EQ(host::expectationFailures(), 1);
    EXPECT_NE(lastMessage().find("jest 1, oczekiwano 2"), std::string::npos) << lastMessage();
    run({"!expect var CLAYER MURI", "!expect setting PIANO 3", "!expect count 0=LINE"});
    EXPECT_EQ(host::expectationFailures(), 4);
}

TEST_F(HostInit, expect_count_keeps_the_entities_carrying_an_applications_xdata) {
    ASSERT_EQ(zcdbRegApp("VELM5$_$DATITIPOMURO-"), RTNORM);
    ASSERT_EQ(zcdbRegApp("INNA"), RTNORM);
    ads_point a{0, 0, 0}, b{10, 0, 0};
    for (const char* app : {"VELM5$_$DATITIPOMURO-", "VELM5$_$DATITIPOMURO-", "INNA"}) {
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, -3, 1001, app, 1000, "x", 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    resbuf* plain = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, 0);
    ASSERT_EQ(zcdbEntMake(plain), RTNORM);
    zcutRelRb(plain);
    run({"!expect count 0=LINE -3=VELM5$_$DATITIPOMURO- 2", "!expect count -3=INNA 1",
         "!expect count 0=LINE 4"});
    EXPECT_EQ(host::expectationFailures(), 0) << transcript();
    run({"!expect count -3= 1"});
    EXPECT_EQ(host::expectationFailures(), 1);
    EXPECT_NE(lastMessage().find("KOD=WARTOŚĆ"), std::string::npos) << lastMessage();
}

TEST_F(HostInit, expect_setting_asks_the_module_lookup) {
    host::setSettingLookup([](const std::string& name) -> std::optional<std::string> {
        if (name == "ALTEZZA") return "2.80";
        return std::nullopt;
    });
    run({"!expect setting ALTEZZA 2.8"});
    EXPECT_EQ(host::expectationFailures(), 0) << transcript();
    run({"!expect setting ALTEZZA 3"});
    EXPECT_EQ(host::expectationFailures(), 1);
    host::setSettingLookup(nullptr);
}

TEST_F(HostInit, drawing_line_switches_and_the_rest_of_the_script_follows) {
    std::string error;
    ZcApDocument* first = zcDocManagerPtr()->curDocument();
    ZcApDocument* second = host::openDrawing("", &error);
    ASSERT_NE(second, nullptr);
    buildSampleDrawing(first->database());
    run({std::string("!drawing ") + first->docTitle(), "!expect count 0=LINE 1"});
    EXPECT_EQ(zcDocManagerPtr()->curDocument(), first);
    EXPECT_EQ(host::expectationFailures(), 0) << transcript();
    run({"!drawing NIEMA.dxf"});
    EXPECT_EQ(host::expectationFailures(), 1);
}

TEST_F(HostInit, file_requests_ask_on_the_command_line_when_dialogs_are_off) {
    resbuf off;
    off.restype = RTSHORT;
    off.resval.rint = 0;
    ASSERT_EQ(zcedSetVar("FILEDIA", &off), RTNORM);

    push("plan");
    resbuf chosen;
    ASSERT_EQ(zcedGetFileD("Zapisz rysunek", "rys1", "dxf", 1, &chosen), RTNORM);
    ASSERT_EQ(chosen.restype, RTSTR);
    EXPECT_STREQ(chosen.resval.rstring, "plan.dxf");
    delete[] chosen.resval.rstring;

    // Enter takes the default name; an empty queue cancels.
    push("");
    ASSERT_EQ(zcedGetFileD("Zapisz rysunek", "rys1.dxf", "dxf", 1, &chosen), RTNORM);
    EXPECT_STREQ(chosen.resval.rstring, "rys1.dxf");
    delete[] chosen.resval.rstring;
    EXPECT_EQ(zcedGetFileD("Zapisz rysunek", "rys1", "dxf", 1, &chosen), RTCAN);
}

TEST_F(HostInit, pane_lines_click_the_status_bar_and_name_missing_panes) {
    struct CountingPane : ZcPane {
        int left = 0, right = 0;
        void OnLButtonDown(unsigned int, ZcPanePoint) override { ++left; }
        void OnRButtonDown(unsigned int, ZcPanePoint) override { ++right; }
    } pane;
    ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar();
    ASSERT_NE(bar, nullptr);
    int index = bar->Add(&pane);
    ASSERT_GE(index, 0);
    run({"!pane " + std::to_string(index), "!pane " + std::to_string(index) + " right"});
    EXPECT_EQ(pane.left, 1);
    EXPECT_EQ(pane.right, 1);
    EXPECT_EQ(host::expectationFailures(), 0) << transcript();
    run({"!pane 99", "!pane " + std::to_string(index) + " middle"});
    EXPECT_EQ(host::expectationFailures(), 2);
    bar->Remove(&pane, false);
}

namespace {

// XDG_DATA_HOME pointed into a test's folder while it lives.
class UserDataHome {
public:
    explicit UserDataHome(const std::string& folder) {
        if (const char* was = std::getenv("XDG_DATA_HOME")) m_was = was;
        ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~UserDataHome() { m_was ? ::setenv("XDG_DATA_HOME", m_was->c_str(), 1) : ::unsetenv("XDG_DATA_HOME"); }

private:
    std::optional<std::string> m_was;
};

}  // namespace

TEST_F(HostInit, support_folders_beside_the_program_or_else_the_source_trees) {
    TestDir dir;
    UserDataHome home(dir.path("home"));
    const std::string user = dir.path("home/velmor");
    // A program with its own support/, host/ and tab/ beside it; the user's
    // data folder, seeded from it, comes first.
    std::filesystem::create_directories(dir.path("support/host"));
    std::filesystem::create_directories(dir.path("support/tab"));
    host::startHost({{}, dir.path()});
    std::vector<std::string> path = host::supportPath();
    ASSERT_GE(path.size(), 5u);
    EXPECT_EQ(path[0], user);
    EXPECT_EQ(path[1], user + "/tab");
    EXPECT_EQ(path[2], dir.path("support"));
    EXPECT_EQ(path[3], dir.path("support/host"));
    EXPECT_EQ(path[4], dir.path("support/tab"));
    // A program in a build tree has none: the source tree's support/ stands in,
    // so a module command finds its lists without --support.
    host::startHost({{}, dir.path("bin")});
    path = host::supportPath();
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path[2], std::string(VELM_SOURCE_DIR) + "/support");
    char found[1024] = "";
    EXPECT_EQ(zcedFindFile("VXD.LST", found), RTNORM);
    EXPECT_EQ(std::string(found), user + "/VXD.LST");
    host::startHost({});
}

// Which support folders are there is asked once per command round: one
// another program removes stays on the path to the command's end, one this
// process makes is on it at once.
TEST_F(HostInit, the_support_folders_there_are_asked_once_per_command_round) {
    TestDir dir;
    UserDataHome home(dir.path("home"));
    std::filesystem::create_directories(dir.path("support/tab"));
    host::startHost({{}, dir.path()});
    auto onPath = [](const std::string& folder) {
        const std::vector<std::string> path = host::supportPath();
        return std::find(path.begin(), path.end(), folder) != path.end();
    };
    const std::string tab = dir.path("support/tab"), own = dir.path("support/host");
    host::startCommandKeptFileValues();
    EXPECT_TRUE(onPath(tab));
    EXPECT_FALSE(onPath(own));
    std::filesystem::remove(tab);
    EXPECT_TRUE(onPath(tab));
    ASSERT_TRUE(CreateDirectoryW(own.c_str(), nullptr));
    EXPECT_TRUE(onPath(own));
    EXPECT_FALSE(onPath(tab));
    std::filesystem::create_directories(tab);
    EXPECT_FALSE(onPath(tab));
    host::forgetCommandKeptFileValues();
    EXPECT_TRUE(onPath(tab));
    // The path is kept for the round with the drawing it was made for: the
    // current drawing's own folder follows another drawing made current.
    std::filesystem::create_directories(dir.path("rysunki"));
    ZcApDocument* before = zcDocManagerPtr()->curDocument();
    host::startCommandKeptFileValues();
    const std::string drawings = dir.path("rysunki");
    EXPECT_FALSE(onPath(drawings));
    ZcApDocument* other = zcDocManagerPtr()->createDocument(dir.path("rysunki/parter.dxf"));
    ASSERT_NE(other, nullptr);
    zcDocManagerPtr()->setCurDocument(other);
    EXPECT_TRUE(onPath(drawings));
    if (before) zcDocManagerPtr()->setCurDocument(before);
    EXPECT_FALSE(onPath(drawings));
    host::forgetCommandKeptFileValues();
    host::startHost({});
}

// The path names its folders whether they are there or not; a search asks
// after each it reaches once per command, so a folder another program makes
// or removes between commands is searched, or passed over, by the next one.
TEST_F(HostInit, a_support_folder_made_or_removed_meanwhile_is_searched_as_it_is_by_the_next_command) {
    TestDir dir;
    UserDataHome home(dir.path("home"));
    std::filesystem::create_directories(dir.path("support"));
    host::startHost({{}, dir.path()});
    const std::string tab = dir.path("support/tab");
    const host::SharedFolders path = host::sharedSupportPath();
    EXPECT_NE(std::find(path->begin(), path->end(), tab), path->end());
    auto inCommand = [](const char* name) {
        host::startCommandKeptFileValues();
        std::optional<std::string> found = host::findOnSupportPath(name);
        EXPECT_EQ(host::findOnSupportPath(name), found);
        host::forgetCommandKeptFileValues();
        return found;
    };
    EXPECT_EQ(inCommand("Late.def"), std::nullopt);
    std::filesystem::create_directories(tab);
    dir.write("support/tab/LATE.DEF", "a");
    EXPECT_EQ(inCommand("Late.def"), tab + "/LATE.DEF");
    EXPECT_EQ(host::findOnSupportPath("late.def"), tab + "/LATE.DEF");
    std::filesystem::remove_all(tab);
    EXPECT_EQ(inCommand("Late.def"), std::nullopt);
    EXPECT_EQ(host::findOnSupportPath("late.def"), std::nullopt);
    host::startHost({});
}

// What the module writes beside a support file it found goes to the user's
// data folder: the shipped folder is seeded into it (but the host's own
// files and the picture libraries), a file the user has is never replaced,
// and a shipped file added later is copied at the next start.
TEST_F(HostInit, the_users_data_folder_is_seeded_and_keeps_what_was_written) {
    TestDir dir;
    UserDataHome home(dir.path("home"));
    const std::string user = dir.path("home/velmor");
    std::filesystem::create_directories(dir.path("support/host"));
    std::filesystem::create_directories(dir.path("support/CAT"));
    std::filesystem::create_directories(dir.path("support/pictures.dll"));
    dir.write("support/VELMDCONFIG.CFG", "A=1\n");
    dir.write("support/UA_DEF.DLC", "shipped\n");
    dir.write("support/CAT/catalog.ini", "[grupa]\n");
    dir.write("support/host/zwcad.lin", "*X\n");
    dir.write("support/pictures.dll/P.bmp", "BM");
    host::startHost({{}, dir.path()});
    EXPECT_TRUE(std::filesystem::exists(user + "/VELMDCONFIG.CFG"));
    EXPECT_TRUE(std::filesystem::exists(user + "/CAT/catalog.ini"));
    EXPECT_FALSE(std::filesystem::exists(user + "/host"));
    EXPECT_FALSE(std::filesystem::exists(user + "/pictures.dll"));
    char found[1024] = "";
    ASSERT_EQ(zcedFindFile("UA_DEF.DLC", found), RTNORM);
    EXPECT_EQ(std::string(found), user + "/UA_DEF.DLC");
    ASSERT_EQ(zcedFindFile("zwcad.lin", found), RTNORM);
    EXPECT_EQ(std::string(found), dir.path("support/host/zwcad.lin"));
    // The user's edit stays; a new shipped file comes in at the next start.
    dir.write("home/velmor/UA_DEF.DLC", "edited\n");
    dir.write("support/UA_DEF.DLC", "shipped again\n");
    dir.write("support/NEW.txt", "new\n");
    host::startHost({{}, dir.path()});
    EXPECT_EQ(dir.read("home/velmor/UA_DEF.DLC"), "edited\n");
    EXPECT_EQ(dir.read("home/velmor/NEW.txt"), "new\n");
    host::startHost({});
}

// The module entry seen from the host: the commands it registers in the
// host's command stack, the LISP functions and their undo-group dispatch,
// the "ASC_BOUNDS" clean-up of drawing load, the help command, and the
// settings variables by name, typed and called through the real command
// processor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/command_table.h"
#include "host/ads/adsent.h"
#include "host/ads/editor.h"
#include "host/ads/lisp.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/prompts.h"
#include "host/harness/harness.h"
#include "host/util/findfile.h"
#include "host/win/process.h"
#include "module/command_bindings.h"
#include "module/command_sink.h"
#include "module/lifecycle.h"
#include "module/lisp_functions.h"
#include "module/setting_lookup.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

namespace {

// Every command the host starts, with the CMDECHO it ran under.
class CommandLog : public ZcEditorReactor {
public:
    std::vector<std::string> names;
    std::vector<short> echo;
    void commandWillStart(const char* cmd) override {
        names.emplace_back(cmd);
        echo.push_back(host::sysVarShort("CMDECHO"));
    }
};

// What the undo and redraw commands were asked, when the host has no
// commands of its own under those names.
std::vector<std::string> g_hostAnswers;

int recordingHostCommand(const char* name) {
    host::InputToken t = host::nextPromptToken();
    g_hostAnswers.push_back(std::string(name) + " " + (t.kind == host::InputToken::Text ? t.text : "?"));
    return RTNORM;
}

class EntryTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        g_hostAnswers.clear();
        if (!host::isHostCommand("UNDO")) {
            host::registerHostCommand("UNDO", [] { return recordingHostCommand("UNDO"); });
            ownUndo_ = true;
        }
        if (!host::isHostCommand("REDRAW")) {
            host::registerHostCommand(
                "REDRAW", [] { return RTNORM; }, true);
            ownRedraw_ = true;
        }
    }
    void TearDown() override {
        zcedEditor->removeReactor(&log_);
        VelmTest::TearDown();
        if (ownUndo_) host::unregisterHostCommand("UNDO");
        if (ownRedraw_) host::unregisterHostCommand("REDRAW");
    }
    void watchCommands() { zcedEditor->addReactor(&log_); }
    static std::string lisp(const std::string& line) {
        host::evaluateLispLine(line);
        return host::lastLispValue();
    }
    static void setEcho(short v) {
        resbuf rb;
        rb.restype = RTSHORT;
        rb.resval.rint = v;
        ASSERT_EQ(zcedSetVar("CMDECHO", &rb), RTNORM);
    }

    CommandLog log_;
    bool ownUndo_ = false, ownRedraw_ = false;
};

std::string xdataAcadFirstString(const ads_name ent) {
    resbuf* apps = zcutBuildList(RTSTR, "ACAD", 0);
    resbuf* list = zcdbEntGetX(ent, apps);
    zcutRelRb(apps);
    std::string out = "<none>";
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1000) {
            out = rb->resval.rstring;
            break;
        }
    zcutRelRb(list);
    return out;
}

void makeLineWithAcadXdata(std::initializer_list<const char*> strings, ads_name out) {
    ads_point from = {0, 0, 0}, to = {1, 0, 0};
    resbuf* head = zcutBuildList(RTDXF0, "LINE", 10, from, 11, to, -3, 1001, "ACAD", 0);
    resbuf* tail = head;
    while (tail->rbnext) tail = tail->rbnext;
    for (const char* s : strings) {
        tail->rbnext = zcutBuildList(1000, s, 0);
        tail = tail->rbnext;
    }
    ASSERT_EQ(zcdbEntMake(head), RTNORM);
    zcutRelRb(head);
    ASSERT_EQ(zcdbEntLast(out), RTNORM);
}

}  // namespace

// ------------------------------------------------------------ commands

TEST_F(EntryTest, registers_every_built_command_in_the_group_under_its_exact_names) {
    loadModule();
    ZcEdCommandStack* stack = RegisteredCommandStack();
    ASSERT_NE(stack, nullptr);
    ASSERT_TRUE(stack->hasGroup("VELM7"));
    int built = 0;
    for (const CommandEntry& e : CommandTable())
        if (e.handler) {
            ++built;
            ZcEdCommand* c = stack->lookupGlobalCmd(e.globalName);
            ASSERT_NE(c, nullptr) << e.globalName;
            EXPECT_STREQ(c->groupName(), "VELM7");
            EXPECT_STREQ(c->localName(), e.localName);
            EXPECT_EQ(c->commandFlags(), e.flags);
        } else {
            EXPECT_EQ(stack->lookupGlobalCmd(e.globalName), nullptr) << e.globalName << " has no handler";
        }
    EXPECT_GE(built, 2);
    // The entry's own two, as the host sees them.
    ZcEdCommand* help = stack->lookupGlobalCmd("VELMHELP");
    ASSERT_NE(help, nullptr);
    EXPECT_STREQ(help->localName(), "VELHELP");
    EXPECT_EQ(help->commandFlags(), 0);
    EXPECT_EQ(help->functionCode(), -1);
    ZcEdCommand* setvar = stack->lookupGlobalCmd("VELMSETVAR");
    ASSERT_NE(setvar, nullptr);
    EXPECT_STREQ(setvar->localName(), "VELMSETVAR");
    EXPECT_TRUE(setvar->isTransparent());
}

TEST_F(EntryTest, local_help_name_runs_the_help_command) {
    loadModule();
    run({"VELHELP"});
    EXPECT_NE(transcript().find("Nie znaleziono pliku pomocy (Velmor.chm)"), std::string::npos)
        << transcript();
}

TEST_F(EntryTest, a_command_the_host_refuses_is_counted_not_fatal) {
    loadModule();
    HostCommandSink sink;
    // Already in the group: the host refuses the second one.
    sink.addCommand("VELM7", "VELMHELP", "VELHELP", 0, [] {});
    EXPECT_EQ(sink.refused(), 1);
}

// ------------------------------------------------------------ LISP

TEST_F(EntryTest, lisp_functions_are_defined_at_drawing_load_and_gone_at_drawing_unload) {
    loadModule();
    EXPECT_TRUE(host::lispFunctionDefined("c:ddlcolor"));
    EXPECT_TRUE(host::lispFunctionDefined("velmsetvar"));
    EXPECT_TRUE(host::lispFunctionDefined("velmgetvar"));
    zcrxEntryPoint(4, nullptr);
    EXPECT_FALSE(host::lispFunctionDefined("c:ddlcolor"));
    EXPECT_FALSE(host::lispFunctionDefined("velmsetvar"));
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
}

TEST_F(EntryTest, a_lisp_call_runs_in_one_undo_group_with_echo_off_and_echo_back) {
    loadModule();
    setEcho(1);
    watchCommands();
    EXPECT_EQ(lisp("(velmgetvar \"sfatscala\")"), "50");
    ASSERT_EQ(log_.names, (std::vector<std::string>{"UNDO", "REDRAW", "UNDO"}));
    EXPECT_EQ(log_.echo, (std::vector<short>{0, 0, 0}));
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
    if (ownUndo_) {
        EXPECT_EQ(g_hostAnswers, (std::vector<std::string>{"UNDO _BEGIN", "UNDO _END"}));
    }
}

TEST_F(EntryTest, a_failing_lisp_function_still_closes_its_group_and_restores_echo) {
    loadModule();
    setEcho(1);
    watchCommands();
    // An integer variable given a real: the function reports an error.
    host::evaluateLispLine("(velmsetvar \"SFATSCALA\" 100.0)");
    EXPECT_NE(transcript().find("Zmienna jest typu INTEGER i nie może być przypisana do rodzaju REAL"),
              std::string::npos);
    EXPECT_NE(transcript().find("zakończona błędem"), std::string::npos) << "the host is told it failed";
    ASSERT_EQ(log_.names, (std::vector<std::string>{"UNDO", "REDRAW", "UNDO"}));
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
    if (ownUndo_) {
        ASSERT_FALSE(g_hostAnswers.empty());
        EXPECT_EQ(g_hostAnswers.back(), "UNDO _END");
    }
    EXPECT_EQ(lisp("(velmgetvar \"sfatscala\")"), "50");
}

TEST_F(EntryTest, one_undo_step_takes_back_a_whole_lisp_call) {
    if (ownUndo_) GTEST_SKIP() << "the host has no undo of its own";
    loadModule();
    const int slot = SetupVar::SFTMTCM;
    double factor = 0.0;
    lisp("(velmsetvar \"SFTMTCM\" 0.5)");
    ASSERT_TRUE(GetVarReal(&slot, &factor));
    ASSERT_DOUBLE_EQ(factor, 0.5);
    run({"_U"});
    ASSERT_TRUE(GetVarReal(&slot, &factor));
    EXPECT_DOUBLE_EQ(factor, 1.0) << transcript();
}

TEST_F(EntryTest, a_function_code_beyond_the_table_runs_nothing) {
    loadModule();
    setEcho(1);
    ASSERT_EQ(zcedDefun("velmbeyond", 3), RTNORM);
    watchCommands();
    EXPECT_EQ(lisp("(velmbeyond)"), "nil");
    EXPECT_TRUE(log_.names.empty());
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
    zcedUndef("velmbeyond", 3);
}

TEST_F(EntryTest, the_layer_colour_function_is_served_inside_its_undo_group) {
    loadModule();
    watchCommands();
    // Without a layer catalogue on the support path the dialog has nothing to show.
    EXPECT_EQ(host::evaluateLispLine("(c:ddlcolor)"), RTNORM);
    EXPECT_EQ(log_.names, (std::vector<std::string>{"UNDO", "REDRAW", "UNDO"}));
}

// ------------------------------------------------------------ settings by name

TEST_F(EntryTest, velmsetvar_command_and_the_lisp_functions_reach_the_same_variable) {
    loadModule();
    EXPECT_EQ(run({"VELMSETVAR", "SFTMTCM", "0.01"}), RTNORM) << transcript();
    EXPECT_DOUBLE_EQ(std::stod(lisp("(velmgetvar \"SFTMTCM\")")), 0.01);
    lisp("(velmsetvar \"ULAYERMURO\" \"MURI\")");
    EXPECT_EQ(lisp("(velmgetvar \"ulayermuro\")"), "\"MURI\"");
    EXPECT_EQ(lisp("(velmgetvar \"SQPAV\")"), "0.0");
}

TEST_F(EntryTest, script_checks_read_settings_through_the_module) {
    loadModule();
    run({"!expect setting SFATSCALA 50", "!expect setting NIEMA 1"});
    EXPECT_EQ(host::expectationFailures(), 1);
    EXPECT_NE(transcript().find("NIEMA: nieznana nazwa"), std::string::npos) << transcript();
    host::resetExpectationFailures();
}

TEST_F(EntryTest, setting_text_is_cut_to_fit_and_unknown_names_give_none) {
    loadModule();
    ASSERT_EQ(run({"VELMSETVAR", "ULAYERMURO", "ŚCIANY2D"}), RTNORM) << transcript();
    char text[64];
    EXPECT_EQ(velmSettingText("ulayermuro", text, sizeof text), 9);
    EXPECT_STREQ(text, "ŚCIANY2D");
    char small[4];
    EXPECT_EQ(velmSettingText("SFATSCALA", small, sizeof small), 2);
    EXPECT_STREQ(small, "50");
    EXPECT_EQ(velmSettingText("SFTMTCM", small, sizeof small), 1);
    EXPECT_EQ(velmSettingText("NIEMA", text, sizeof text), -1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(velmSettingText(nullptr, text, sizeof text), -1);
}

// ------------------------------------------------------------ ASC_BOUNDS

TEST_F(EntryTest, asc_bounds_is_cut_only_when_it_is_the_exact_first_acad_string) {
    zcdbRegApp("ACAD");  // a new drawing may know it already
    ads_name exact, lower, other, second;
    makeLineWithAcadXdata({"ASC_BOUNDS", "1"}, exact);
    makeLineWithAcadXdata({"asc_bounds"}, lower);
    makeLineWithAcadXdata({"ASC_BOUNDSX"}, other);
    makeLineWithAcadXdata({"FIRST", "ASC_BOUNDS"}, second);
    loadModule();  // drawing load cleans the drawing
    EXPECT_EQ(xdataAcadFirstString(exact), "<none>");
    EXPECT_EQ(xdataAcadFirstString(lower), "asc_bounds");
    EXPECT_EQ(xdataAcadFirstString(other), "ASC_BOUNDSX");
    EXPECT_EQ(xdataAcadFirstString(second), "FIRST");
    EXPECT_EQ(ClearAscBoundsXdata(), 0) << "nothing left to cut";
}

TEST_F(EntryTest, a_drawing_without_acad_xdata_is_left_alone) {
    loadModule();
    EXPECT_EQ(ClearAscBoundsXdata(), 0);
}

// ------------------------------------------------------------ help

class HelpTest : public EntryTest {
protected:
    void TearDown() override {
        host::startHost({});
        EntryTest::TearDown();
    }
    // A help file in a folder whose path is longer than the 260 characters
    // a fixed buffer would give it.
    std::string makeHelpFile() {
        std::string part(100, 'd');
        std::string dir = ::testing::TempDir() + "velmhelp/" + part + "/" + part + "/" + part;
        std::string cmd = "mkdir -p '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        std::ofstream(dir + "/velmor.chm") << "help";
        host::HostOptions options;
        options.supportDirs = {dir};
        host::startHost(options);
        return dir + "/velmor.chm";
    }
};

TEST_F(HelpTest, starts_the_viewer_on_the_found_file_without_waiting) {
    loadModule();
    std::string path = makeHelpFile();
    host::ProcessRecorder recorder;
    run({"VELMHELP"});
    ASSERT_EQ(recorder.started().size(), 1u) << transcript();
    const host::StartedProcess& p = recorder.started()[0];
    EXPECT_EQ(p.commandLine, "HH.EXE " + path);
    EXPECT_EQ(p.priorityClass, HIGH_PRIORITY_CLASS);
    EXPECT_FALSE(p.inheritHandles);
    EXPECT_FALSE(p.ownEnvironment);
    EXPECT_TRUE(p.currentDirectory.empty());
}

TEST_F(HelpTest, nothing_that_came_with_the_drawing_is_shown_or_run) {
    // An unpacked folder with a help file and a program under the viewer's
    // name, the drawing opened from it and the folder the current one, "."
    // on PATH: neither is used.
    loadModule();
    TestDir dir;
    std::filesystem::create_directories(dir.path("unpacked"));
    std::filesystem::create_directories(dir.path("support"));
    dir.write("unpacked/velmor.chm", "help\n");
    dir.write("unpacked/HH.EXE", "#!/bin/sh\ntouch '" + dir.path("ran") + "'\n");
    std::filesystem::permissions(dir.path("unpacked/HH.EXE"), std::filesystem::perms::owner_all);
    host::HostOptions options;
    options.supportDirs = {dir.path("support")};
    host::startHost(options);
    host::setHelpViewer("");
    zcDocManagerPtr()->createDocument(dir.path("unpacked/plan.dxf"));
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    const std::filesystem::path oldFolder = std::filesystem::current_path();
    ::setenv("PATH", (".:" + oldPath).c_str(), 1);
    std::filesystem::current_path(dir.path("unpacked"));
    run({"VELMHELP"});
    EXPECT_NE(transcript().find("Nie znaleziono pliku pomocy (Velmor.chm)"), std::string::npos)
        << transcript();
    dir.write("support/velmor.chm", "help\n");
    run({"VELMHELP"});
    host::waitForStartedPrograms();
    std::filesystem::current_path(oldFolder);
    ::setenv("PATH", oldPath.c_str(), 1);
    EXPECT_NE(transcript().find("HH.EXE " + dir.path("support/velmor.chm") + " ERROR:2"), std::string::npos)
        << transcript();
    EXPECT_FALSE(std::filesystem::exists(dir.path("ran")));
}

TEST_F(HelpTest, a_viewer_that_cannot_start_is_reported_with_the_system_error) {
    loadModule();
    std::string path = makeHelpFile();
    host::ProcessRecorder recorder;
    recorder.failNextWith(2);
    run({"VELMHELP"});
    EXPECT_NE(transcript().find("HH.EXE " + path + " ERROR:2"), std::string::npos) << transcript();
}

// The command stack and processor: name lookup, transparent commands,
// reactor order, queued strings, host commands driven by zcedCommand.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/ads/editor.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/cmdstack.h"
#include "host/ed/prompts.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

std::vector<std::string> events;

struct Recorder : ZcEditorReactor {
    void commandWillStart(const char* c) override { events.push_back(std::string("start ") + c); }
    void commandEnded(const char* c) override { events.push_back(std::string("end ") + c); }
    void commandCancelled(const char* c) override { events.push_back(std::string("cancel ") + c); }
    void commandFailed(const char* c) override { events.push_back(std::string("fail ") + c); }
    void sysVarWillChange(const char* v) override { events.push_back(std::string("will ") + v); }
    void sysVarChanged(const char* v, bool ok) override {
        events.push_back(std::string("changed ") + v + (ok ? " ok" : " bad"));
    }
};

// A command that asks for two points, as a drawing command does.
void twoPoints() {
    ads_point a, b;
    if (zcedGetPoint(nullptr, "\nPierwszy punkt: ", a) != RTNORM) return;
    if (zcedGetPoint(a, "\nNastępny punkt: ", b) != RTNORM) return;
    events.push_back("points " + std::to_string(int(a[X])) + " " + std::to_string(int(b[X])));
}

void transparentOne() {
    events.push_back("transparent ran, names " + host::sysVarString("CMDNAMES"));
}

void queuesRegen() {
    zcDocManagerPtr()->sendStringToExecute(curDoc(), "_REGEN\n", true, false, false);
    events.push_back("handler done");
}

class Commands : public EdSession {
protected:
    void SetUp() override {
        EdSession::SetUp();
        events.clear();
        zcedEditor->addReactor(&rec);
        ZcEdCommandStack* s = zcedRegCmds();
        s->addCommand("TESTGRP", "VELMWALL", "WALL", ZCRX_CMD_MODAL, twoPoints);
        s->addCommand("TESTGRP", "VELMVXD", "VXD", ZCRX_CMD_TRANSPARENT, transparentOne);
        s->addCommand("TESTGRP", "VELMQUEUE", "QUEUE", ZCRX_CMD_MODAL, queuesRegen);
    }
    void TearDown() override {
        zcedRegCmds()->removeGroup("TESTGRP");
        zcedEditor->removeReactor(&rec);
        EdSession::TearDown();
    }
    Recorder rec;
};

TEST_F(Commands, global_and_local_names_and_prefixes_reach_the_same_handler) {
    feed({"WALL", "1,0", "2,0", "velmwall", "3,0", "4,0", "_VELMWALL", "5,0", "6,0"});
    EXPECT_EQ(host::processInput(), RTNORM);
    std::vector<std::string> pts;
    for (auto& e : events)
        if (e.rfind("points", 0) == 0) pts.push_back(e);
    EXPECT_EQ(pts, (std::vector<std::string>{"points 1 2", "points 3 4", "points 5 6"}));
    feed({"_WALL"});
    EXPECT_EQ(host::processInput(), RTERROR) << "'_' asks for the global name only";
}

TEST_F(Commands, later_group_wins_and_removed_group_is_unknown) {
    ZcEdCommandStack* s = zcedRegCmds();
    EXPECT_EQ(s->addCommand("TESTGRP", "VELMWALL", "W2", 0, twoPoints), eEdDuplicateKey);
    s->addCommand("OTHER", "VELMWALL", "WALL", 0, transparentOne);
    EXPECT_STREQ(s->lookupLocalCmd("wall")->groupName(), "OTHER");
    s->removeGroup("OTHER");
    EXPECT_STREQ(s->lookupLocalCmd("wall")->groupName(), "TESTGRP");
    s->removeGroup("TESTGRP");
    feed({"VELMWALL"});
    EXPECT_EQ(host::processInput(), RTERROR);
    EXPECT_NE(transcript().find("Nieznane polecenie \"VELMWALL\"."), std::string::npos);
}

// Every change of the stack shows in the next lookup, with the walk's
// precedence: local names before global ones, the top group first, and
// within a group the command added first.
TEST_F(Commands, lookups_follow_every_change_of_the_stack) {
    ZcEdCommandStack* s = zcedRegCmds();
    EXPECT_EQ(s->lookupGlobalCmd("VELMŚCIANA"), nullptr);
    s->addCommand("OTHER", "VELMŚCIANA", "ŚCIANA", 0, twoPoints);
    s->addCommand("OTHER", "VELMX", "VELMWALL", 0, transparentOne);
    s->addCommand("OTHER", "VELMY", "velmwall", 0, transparentOne);
    ASSERT_NE(s->lookupGlobalCmd("velmściana"), nullptr);
    EXPECT_STREQ(s->lookupLocalCmd("Ściana")->globalName(), "VELMŚCIANA");
    EXPECT_STREQ(s->lookupCmd("velmwall", false)->globalName(), "VELMX");
    EXPECT_STREQ(s->lookupCmd("velmwall", true)->groupName(), "TESTGRP");
    EXPECT_EQ(s->removeCmd("OTHER", "VELMX"), eEdOk);
    EXPECT_STREQ(s->lookupCmd("velmwall", false)->globalName(), "VELMY");
    EXPECT_EQ(s->removeCmd("OTHER", "VELMY"), eEdOk);
    EXPECT_STREQ(s->lookupCmd("velmwall", false)->globalName(), "VELMWALL");
    EXPECT_EQ(s->removeCmd("OTHER", "VELMŚCIANA"), eEdOk);
    EXPECT_EQ(s->lookupLocalCmd("ŚCIANA"), nullptr);
    s->removeGroup("OTHER");
}

TEST_F(Commands, reactors_see_start_then_end_or_cancel) {
    feed({"WALL", "1,0", "2,0", "WALL", "1,0"});
    EXPECT_EQ(host::processInput(), RTCAN) << "the input ended inside the second command";
    std::vector<std::string> cmd;
    for (auto& e : events)
        if (e.rfind("will", 0) != 0 && e.rfind("changed", 0) != 0) cmd.push_back(e);
    EXPECT_EQ(cmd, (std::vector<std::string>{"start VELMWALL", "points 1 2", "end VELMWALL", "start VELMWALL",
                                             "cancel VELMWALL"}));
}

TEST_F(Commands, transparent_command_runs_inside_a_prompt_and_the_prompt_resumes) {
    feed({"WALL", "1,0", "'VXD", "2,0"});
    EXPECT_EQ(host::processInput(), RTNORM);
    std::vector<std::string> want = {
        "start VELMWALL", "start VELMVXD", "transparent ran, names VELMWALL'VELMVXD",
        "end VELMVXD",    "points 1 2",    "end VELMWALL"};
    EXPECT_EQ(events, want);
    EXPECT_NE(transcript().find("Wznawianie polecenia VELMWALL."), std::string::npos);
    EXPECT_EQ(count(transcript(), "\nNastępny punkt: "), 2u);
    EXPECT_EQ(host::sysVarString("CMDNAMES"), "");
}

TEST_F(Commands, modal_command_cannot_run_transparently) {
    feed({"WALL", "1,0", "'WALL", "2,0"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_NE(transcript().find("nie może być użyte w sposób przezroczysty"), std::string::npos);
    EXPECT_EQ(events.back(), "end VELMWALL");
}

TEST_F(Commands, queued_string_runs_after_the_handler_returns_before_later_input) {
    host::registerHostCommand("PROBE", [] { return RTNORM; });
    feed({"QUEUE", "PROBE"});
    EXPECT_EQ(host::processInput(), RTNORM);
    std::vector<std::string> want = {"start VELMQUEUE", "handler done", "end VELMQUEUE", "start REGEN",
                                     "end REGEN",       "start PROBE",  "end PROBE"};
    EXPECT_EQ(events, want);
    host::unregisterHostCommand("PROBE");
}

TEST_F(Commands, zcedcommand_feeds_arguments_and_pause_takes_user_input) {
    std::vector<std::string> got;
    host::registerHostCommand("-ASK", [&] {
        char name[64];
        ads_point p;
        if (zcedGetString(0, "\nNazwa: ", name) != RTNORM) return RTCAN;
        int st = zcedGetPoint(nullptr, "\nPunkt: ", p);
        if (st != RTNORM) return RTCAN;
        got.push_back(std::string(name) + " " + std::to_string(int(p[X])) + "," + std::to_string(int(p[Y])));
        return RTNORM;
    });
    ads_point p = {7, 8, 0};
    EXPECT_EQ(zcedCommand(RTSTR, "_-ASK", RTSTR, "Ściana", RTPOINT, p, 0), RTNORM);
    feed({"9,10"});
    EXPECT_EQ(zcedCommand(RTSTR, "_-ASK", RTSTR, "Okno", RTSTR, PAUSE, 0), RTNORM);
    EXPECT_EQ(zcedCommand(RTSTR, "_-ASK", RTSTR, "Drzwi", 0), RTCAN) << "arguments ran out at a prompt";
    EXPECT_EQ(got, (std::vector<std::string>{"Ściana 7,8", "Okno 9,10"}));
    EXPECT_EQ(zcedCommand(RTSTR, "_NOSUCH", 0), RTERROR);
    EXPECT_NE(transcript().find("Nieznane polecenie \"_NOSUCH\"."), std::string::npos);
    EXPECT_EQ(zcedCommand(RTSTR, "_REDRAW", RTSTR, "_REGEN", 0), RTNORM) << "two commands in one call";
    host::unregisterHostCommand("-ASK");
}

TEST_F(Commands, zcedcommand_with_cmdecho_off_keeps_prompts_off_the_transcript) {
    host::registerHostCommand("-ASK", [] {
        ads_real r;
        return zcedGetReal("\nUkryte pytanie: ", &r) == RTNORM ? RTNORM : RTCAN;
    });
    host::setSysVar("CMDECHO", host::SysVarValue{short(0)});
    EXPECT_EQ(zcedCommand(RTSTR, "-ASK", RTREAL, 2.0, 0), RTNORM);
    EXPECT_EQ(transcript().find("Ukryte pytanie"), std::string::npos);
    host::setSysVar("CMDECHO", host::SysVarValue{short(1)});
    resbuf a, b;
    a.restype = RTSTR;
    a.resval.rstring = const_cast<char*>("-ASK");
    a.rbnext = &b;
    b.restype = RTSHORT;
    b.resval.rint = 3;
    EXPECT_EQ(zcedCmd(&a), RTNORM);
    EXPECT_NE(transcript().find("Ukryte pytanie: 3"), std::string::npos);
    host::unregisterHostCommand("-ASK");
}

TEST_F(Commands, failed_host_command_reports_failure_to_reactors) {
    host::registerHostCommand("BROKEN", [] { return RTERROR; });
    feed({"BROKEN"});
    EXPECT_EQ(host::processInput(), RTERROR);
    EXPECT_EQ(events.back(), "fail BROKEN");
    host::unregisterHostCommand("BROKEN");
}

TEST_F(Commands, dot_prefix_reaches_the_host_command_under_a_redefinition) {
    int hostRuns = 0;
    host::registerHostCommand("ERASE", [&] {
        ++hostRuns;
        return RTNORM;
    });
    zcedRegCmds()->addCommand("TESTGRP", "ERASE", "ERASE", 0, transparentOne);
    feed({"ERASE", ".ERASE", "._ERASE"});
    host::processInput();
    EXPECT_EQ(hostRuns, 2);
    host::unregisterHostCommand("ERASE");
}

}  // namespace

namespace {

TEST_F(Commands, string_queued_outside_a_command_runs_before_later_input) {
    zcDocManagerPtr()->sendStringToExecute(curDoc(), "_REDRAW\n", true, false, false);
    feed({"_REGEN"});
    EXPECT_EQ(host::processInput(), RTNORM);
    std::vector<std::string> want = {"start REDRAW", "end REDRAW", "start REGEN", "end REGEN"};
    EXPECT_EQ(events, want);
}

TEST_F(Commands, input_ending_inside_a_command_is_told_apart_from_an_explicit_cancel) {
    feed({"WALL", "!cancel"});
    EXPECT_EQ(host::processInput(), RTCAN);
    EXPECT_FALSE(host::inputRanOut());
    feed({"WALL", "1,1"});
    EXPECT_EQ(host::processInput(), RTCAN);
    EXPECT_TRUE(host::inputRanOut());
}

TEST_F(Commands, getstring_arguments_never_spill_into_the_users_queue) {
    host::registerHostCommand("-NAME", [] {
        char s[32];
        return zcedGetString(0, "\n", s) == RTNORM ? RTNORM : RTCAN;
    });
    feed({"keep"});
    EXPECT_EQ(zcedCommand(RTSTR, "-NAME", RTSTR, "a b", 0), RTNORM);
    ASSERT_EQ(curDoc()->inputQueue().size(), 1u);
    EXPECT_EQ(curDoc()->inputQueue().peek()->text, "keep");
    host::unregisterHostCommand("-NAME");
}

struct SelfRemover : ZcEditorReactor {
    int calls = 0;
    void commandWillStart(const char*) override {
        ++calls;
        zcedEditor->removeReactor(this);
    }
};

TEST_F(Commands, a_reactor_removing_itself_is_not_called_again) {
    SelfRemover once;
    zcedEditor->addReactor(&once);
    feed({"_REDRAW", "_REDRAW"});
    host::processInput();
    EXPECT_EQ(once.calls, 1);
    EXPECT_FALSE(zcedEditor->hasReactor(&once));
    EXPECT_EQ(std::count(events.begin(), events.end(), "end REDRAW"), 2)
        << "the other reactor still hears both";
}

struct Counting : ZcEditorReactor {
    int calls = 0;
    ZcEditorReactor* removes = nullptr;
    ZcEditorReactor* adds = nullptr;
    void commandWillStart(const char*) override {
        ++calls;
        if (removes) zcedEditor->removeReactor(std::exchange(removes, nullptr));
        if (adds) zcedEditor->addReactor(std::exchange(adds, nullptr));
    }
};

// A notification walks the reactors present when it starts (a few or many):
// one removed meanwhile is not called, one added is heard from the next on.
TEST_F(Commands, reactors_removed_or_added_during_a_notification_few_or_many) {
    for (int n : {3, 12}) {
        std::vector<Counting> r(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i < n; ++i) zcedEditor->addReactor(&r[i]);
        r[0].removes = &r[n - 1];
        r[0].adds = &r[n];
        feed({"_REDRAW", "_REDRAW"});
        host::processInput();
        for (int i = 0; i < n - 1; ++i) EXPECT_EQ(r[i].calls, 2) << n << " reactors, #" << i;
        EXPECT_EQ(r[n - 1].calls, 0) << n << " reactors";
        EXPECT_EQ(r[n].calls, 1) << n << " reactors";
        for (Counting& c : r) zcedEditor->removeReactor(&c);
    }
}

}  // namespace

namespace {

void callsHostCommand() {
    events.push_back("inner status " + std::to_string(zcedCommand(RTSTR, "_REDRAW", 0)));
}

TEST_F(Commands, host_command_called_from_a_handler_nests_inside_it) {
    zcedRegCmds()->addCommand("TESTGRP", "VELMNEST", "NEST", 0, callsHostCommand);
    std::string namesInside;
    host::registerHostCommand(
        "REDRAW",
        [&] {
            namesInside = host::sysVarString("CMDNAMES");
            return RTNORM;
        },
        true);
    feed({"NEST"});
    EXPECT_EQ(host::processInput(), RTNORM);
    std::vector<std::string> want = {"start VELMNEST", "start REDRAW", "end REDRAW", "inner status 5100",
                                     "end VELMNEST"};
    EXPECT_EQ(events, want);
    EXPECT_EQ(namesInside, "VELMNEST'REDRAW");
    host::registerHostCommand(
        "REDRAW", [] { return RTNORM; }, true);
}

}  // namespace

namespace {
// A module command that starts WALL with the first point only and returns,
// leaving the second point to the user, then notes what it saw.
void startsWallWithOnePoint() {
    ads_point a = {7, 0, 0};
    int rc = zcedCommand(RTSTR, "_VELMWALL", RTPOINT, a, RTNONE);
    events.push_back("module got " + std::to_string(rc));
}
}  // namespace

TEST_F(Commands, command_whose_arguments_run_out_takes_the_rest_from_the_queue) {
    zcedRegCmds()->addCommand("TESTGRP", "VELMHALF", "HALF", ZCRX_CMD_MODAL, startsWallWithOnePoint);
    // The script's next line answers the command the module started, once
    // the module's command has returned (the module has its status first);
    // the line after it is a command again, not an unknown name.
    feed({"HALF", "9,0", "_REDRAW"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_EQ(transcript().find("Nieznane polecenie"), std::string::npos) << transcript();
    std::vector<std::string> cmd;
    for (auto& e : events)
        if (e.rfind("will", 0) != 0 && e.rfind("changed", 0) != 0) cmd.push_back(e);
    EXPECT_EQ(cmd,
              (std::vector<std::string>{"start VELMHALF", "start VELMWALL", "module got 5100", "points 7 9",
                                        "end VELMWALL", "end VELMHALF", "start REDRAW", "end REDRAW"}));
    EXPECT_NE(transcript().find("\nNastępny punkt: "), std::string::npos) << "the user's prompt is shown";
    // Nothing left in the queue: the prompt is cancelled and the script
    // counts as ended inside a command.
    events.clear();
    feed({"HALF"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_TRUE(host::inputRanOut());
    EXPECT_NE(std::find(events.begin(), events.end(), "cancel VELMWALL"), events.end());
}

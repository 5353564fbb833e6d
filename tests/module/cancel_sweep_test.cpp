// A cancelled command leaves the drawing as it found it. Every command of
// the command table that has a handler is started on the house and
// cancelled at its first prompt (dialogs before it taken as shown) and,
// separately, at its first dialog; the commands that make the house are
// also cancelled at each later prompt, after the answers listed for them.
// The drawing saved after each is compared, record by record, with the
// house saved without the command; handles and the handle seed are left
// out, as a command may use up handles for objects it did not keep. A
// command added to the table is swept as soon as it is bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/ed/cmdproc.h"
#include "host/ed/inputqueue.h"
#include "host/ui/driver.h"
#include "module/command_bindings.h"
#include "tests/module/house_fixture.h"

namespace {

// The answers after which the house's own commands are cancelled once more
// (each prefix in turn, the empty one too when there are `before` lines):
// up to the last one, nothing is made yet. `before` lines go ahead of the
// command (answers for its dialogs).
struct LaterAnswers {
    const char* command;
    std::vector<std::string> before;
    std::vector<std::string> answers;
};

const std::vector<LaterAnswers>& LaterAnswersTable() {
    static const std::vector<LaterAnswers> table = {
        {"VELMWALL", {}, {"1000,600"}},
        {"VELMWALLD", {}, {"1000,600"}},
        {"VELMRWALL", {}, {"1000,600"}},
        {"VELMOBJECT", {}, {"P1", "!pick 300,385"}},
        {"VELMMODIFY", {}, {"!pick 200,15"}},
        {"VELMFSLAB", {"!dialog 152 click 4"}, {"-100,-100", "700,-100", "700,500"}},
        {"VELMR3D", {}, {"-100,-100", "700,-100", "700,500"}},
        {"VELMSTAIRDEF", {}, {"Szerokość", "110", "Stopień", "30", "1000,0"}},
        {"VELMSPACEUNIT", {"!dialog 139 ok"}, {"800,600"}},
        {"VELMSUNITV", {"!dialog 139 ok"}, {"800,600"}},
        {"VELMABC", {"!dialog 150 select 1025 \"DOORS\" ok"}, {}},
    };
    return table;
}

// Commands whose options dialog, shown before their first prompt, stores
// the options when it is accepted: cancelled at that prompt they keep the
// options (the settings objects), and nothing else.
const std::vector<std::string>& OptionsStoredOnOk() {
    static const std::vector<std::string> commands = {"VELMWALL"};
    return commands;
}

// Commands that keep the definition named as the last one used as soon as
// it is typed: cancelled after the name, they keep it (a setting), and
// nothing else.
const std::vector<std::string>& NameKeptOnAnswer() {
    static const std::vector<std::string> commands = {"VELMOBJECT"};
    return commands;
}

const LaterAnswers* LaterAnswersOf(const std::string& command) {
    for (const LaterAnswers& row : LaterAnswersTable())
        if (command == row.command) return &row;
    return nullptr;
}

bool IsHandleCode(int code) {
    return code == 5 || code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) ||
           code == 480 || code == 481 || code == 1005;
}

// The records of a DXF text, each as its group lines with the handles
// blanked: an entity or object from its 0 group, a header variable from its
// 9 group. A 3D face is its corners in their order: one made again with
// the same corners wound the other way faces the other way.
std::vector<std::string> DxfRecords(const std::string& text) {
    std::vector<std::string> records;
    std::istringstream in(text);
    std::string codeLine, value;
    std::string current;
    bool inHeader = false, seedNext = false;
    while (std::getline(in, codeLine) && std::getline(in, value)) {
        if (!value.empty() && value.back() == '\r') value.pop_back();
        const int code = std::atoi(codeLine.c_str());
        if (code == 0 || (inHeader && code == 9)) {
            if (!current.empty()) records.push_back(current);
            current.clear();
        }
        if (code == 2 && value == "HEADER") inHeader = true;
        if (code == 0 && value == "ENDSEC") inHeader = false;
        const bool blank = IsHandleCode(code) || seedNext;
        seedNext = code == 9 && value == "$HANDSEED";
        current.append(std::to_string(code)).append("=").append(blank ? "*" : value).append("\n");
    }
    if (!current.empty()) records.push_back(current);
    return records;
}

// A settings object of the drawing or the dictionary that holds them.
bool IsSettingsRecord(const std::string& record) {
    return record.rfind("0=VELM_", 0) == 0 ||
           (record.rfind("0=DICTIONARY\n", 0) == 0 && record.find("\n3=VELM_") != std::string::npos);
}

// What differs between two drawings: the records only one of them has, a
// few of each; empty when they hold the same records. Entities made again
// just as they were come last in the drawing, so the order is not compared.
std::string RecordDifference(const std::string& before, const std::string& after,
                             bool settingsAside = false) {
    const std::vector<std::string> a = DxfRecords(before), b = DxfRecords(after);
    std::map<std::string, int> count;
    for (const std::string& r : a)
        if (!settingsAside || !IsSettingsRecord(r)) ++count[r];
    for (const std::string& r : b)
        if (!settingsAside || !IsSettingsRecord(r)) --count[r];
    std::ostringstream out;
    int lost = 0, made = 0;
    for (const auto& [record, n] : count) {
        if (n > 0 && lost++ < 4) out << "\n-- only before:\n" << record.substr(0, 600);
        if (n < 0 && made++ < 4) out << "\n++ only after:\n" << record.substr(0, 600);
    }
    if (lost == 0 && made == 0) return {};
    out << "\n(" << lost << " records only before, " << made << " only after)";
    return out.str();
}

std::vector<std::string> BoundCommands() {
    std::vector<std::string> names;
    for (const CommandEntry& row : CommandTable())
        if (row.handler) names.push_back(row.globalName);
    return names;
}

class CancelSweep : public HouseTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        HouseTest::SetUp();
        ASSERT_EQ(drawHouse(), RTNORM) << transcript();
        m_house = saveDrawing("house.dxf");
        reopen(m_house);
        m_baseline = drawingText();
    }

    // The command run on a fresh copy of the house with `lines` and then
    // nothing more; what changed in the drawing. A run that ended without a
    // cancel (a command with nothing to ask) changed what it was meant to.
    std::string cancelledRun(const std::vector<std::string>& lines, bool cancelDialogs,
                             bool settingsAside = false) {
        reopen(m_house);
        const std::size_t said = transcript().size();
        if (cancelDialogs) zcui::InstallFallbackDialogDriver([](zcui::DialogUser& user) { user.Cancel(); });
        for (const std::string& line : lines) push(line);
        host::processInput();
        host::currentInput().clear();
        zcui::InstallFallbackDialogDriver(nullptr);
        if (!cancelDialogs && transcript().find("*Anuluj*", said) == std::string::npos) return {};
        return RecordDifference(m_baseline, drawingText(), settingsAside);
    }

    std::string m_house;
    std::string m_baseline;
};

TEST_P(CancelSweep, leaves_the_house_as_it_was) {
    const std::string command = GetParam();
    const std::vector<std::string>& options = OptionsStoredOnOk();
    const bool optionsKept = std::find(options.begin(), options.end(), command) != options.end();
    const std::size_t dialogsBefore = zcui::DialogsShown().size();
    EXPECT_EQ(cancelledRun({command}, false, optionsKept), "") << command << " cancelled at its first prompt";
    if (zcui::DialogsShown().size() > dialogsBefore) {
        EXPECT_EQ(cancelledRun({command}, true), "") << command << " cancelled at its first dialog";
    }
    const LaterAnswers* later = LaterAnswersOf(command);
    if (!later) return;
    const std::vector<std::string>& named = NameKeptOnAnswer();
    const bool nameKept = std::find(named.begin(), named.end(), command) != named.end();
    for (std::size_t n = later->before.empty() ? 1 : 0; n <= later->answers.size(); ++n) {
        std::vector<std::string> lines = later->before;
        lines.push_back(command);
        lines.insert(lines.end(), later->answers.begin(), later->answers.begin() + n);
        EXPECT_EQ(cancelledRun(lines, false, optionsKept || (nameKept && n > 0)), "")
            << command << " cancelled after " << lines.back();
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CancelSweep, ::testing::ValuesIn(BoundCommands()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// A door whose values were changed and whose wall pick was then given up:
// it stands in its wall as before, the wall's 2D lines cut and its 3D faces
// open at the door.
TEST_F(HouseTest, modify_given_up_at_the_wall_keeps_the_door_in_3d) {
    ASSERT_EQ(drawHouse(), RTNORM) << transcript();
    const std::string before = drawingText();
    const int faces = count("0=3DFACE"), lines = count("0=LINE");
    run({"VELMMODIFY", "!pick 200,15"});
    EXPECT_NE(transcript().find("Wybierz wewnętrzną linię ściany"), std::string::npos);
    EXPECT_EQ(count("0=3DFACE"), faces);
    EXPECT_EQ(count("0=LINE"), lines);
    EXPECT_EQ(RecordDifference(before, drawingText()), "");
}

// Commands that end without changing the house: looking at a room with
// either button, and those given up in a later dialog. The drawing must be
// the house as it was saved.
class HouseUnchanged : public HouseTest {
protected:
    void SetUp() override {
        HouseTest::SetUp();
        ASSERT_EQ(drawHouse(), RTNORM) << transcript();
        m_house = saveDrawing("house.dxf");
    }
    std::string runOnHouse(const std::vector<std::string>& lines) {
        reopen(m_house);
        const std::string baseline = drawingText();
        for (const std::string& line : lines) push(line);
        host::processInput();
        host::currentInput().clear();
        return RecordDifference(baseline, drawingText());
    }
    std::string m_house;
};

TEST_F(HouseUnchanged, room_information_writes_nothing) {
    EXPECT_EQ(runOnHouse({"!dialog 221 ok", "VELMINFOUNIT", "300,200"}), "") << transcript();
    EXPECT_EQ(runOnHouse({"!dialog 221 cancel", "VELMINFOUNIT", "300,200"}), "");
}

TEST_F(HouseUnchanged, given_up_in_a_later_dialog) {
    // The stair's options cancelled after "Utwórz": its path lines go too.
    EXPECT_EQ(runOnHouse({"!dialog 226 cancel", "VELMSTAIRDEF", "1500,0", "1500,300", "Utwórz"}), "")
        << transcript();
    // The wall palette with nothing selected, closed without applying.
    EXPECT_EQ(runOnHouse({"VELMDDWALL", "!dialog 156 click 1229"}), "") << transcript();
}

TEST(CancelSweepTable, names_only_bound_commands) {
    const std::vector<std::string> bound = BoundCommands();
    for (const LaterAnswers& row : LaterAnswersTable())
        EXPECT_NE(std::find(bound.begin(), bound.end(), row.command), bound.end()) << row.command;
    for (const std::string& command : OptionsStoredOnOk())
        EXPECT_NE(std::find(bound.begin(), bound.end(), command), bound.end()) << command;
    for (const std::string& command : NameKeptOnAnswer())
        EXPECT_NE(std::find(bound.begin(), bound.end(), command), bound.end()) << command;
}

TEST(CancelSweepRecords, blank_handles_and_the_seed_only) {
    const std::string a =
        "0\nSECTION\n2\nHEADER\n9\n$HANDSEED\n5\nFF\n9\n$CLAYER\n8\n0\n0\nENDSEC\n"
        "0\nLINE\n5\n2A\n330\n1F\n8\nMURI\n";
    const std::string b =
        "0\nSECTION\n2\nHEADER\n9\n$HANDSEED\n5\n1FF\n9\n$CLAYER\n8\n0\n0\nENDSEC\n"
        "0\nLINE\n5\n3B\n330\n1F\n8\nMURI\n";
    EXPECT_EQ(RecordDifference(a, b), "");
    const std::string c =
        "0\nSECTION\n2\nHEADER\n9\n$HANDSEED\n5\nFF\n9\n$CLAYER\n8\nMURI\n0\nENDSEC\n"
        "0\nLINE\n5\n2A\n330\n1F\n8\nMURI\n";
    EXPECT_NE(RecordDifference(a, c), "");
    const std::string d = a + "0\nLINE\n5\n2B\n330\n1F\n8\nMURI\n";
    EXPECT_NE(RecordDifference(a, d), "") << "a record more";
}

TEST(CancelSweepRecords, a_face_wound_the_other_way_differs) {
    const auto face = [](const char* corners) {
        return std::string("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n5\n2A\n8\n3DWALLS\n") + corners +
               "0\nENDSEC\n";
    };
    const std::string a = face("10\n0\n20\n0\n11\n100\n21\n0\n12\n100\n22\n50\n13\n0\n23\n50\n");
    const std::string b = face("10\n0\n20\n50\n11\n100\n21\n50\n12\n100\n22\n0\n13\n0\n23\n0\n");
    EXPECT_EQ(RecordDifference(a, a), "");
    EXPECT_NE(RecordDifference(a, b), "");
}

}  // namespace

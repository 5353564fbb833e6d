// Answers no building has, given everywhere a user types a number: into
// every number field of every dialog the commands open, and at every prompt
// of the commands that make a house. A dialog refuses them and stays open; a
// prompt asks again. So the drawing a command leaves is the one it leaves
// with the sane answers alone, and no coordinate of it lies beyond 1e10.
//
// The dialog walk is driven by the dialog templates: each edit control that
// opens with a number in it is given each absurd answer in turn, and the
// texts that are no number ("12abc", "1,5", a blank ...), and OK is pressed;
// an answer the dialog takes ends the run (the command goes on with it) and
// the command is run again from the next answer, until every field of every
// dialog it opened has had every answer. A refusal must say so, and a text
// that is no number is said once from typing it to the refused OK.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/typed_number.h"
#include "host/ed/cmdproc.h"
#include "host/ed/inputqueue.h"
#include "host/ui/controls.h"
#include "host/ui/driver.h"
#include "host/ui/listctrl.h"
#include "host/ui/resources.h"
#include "host/ui/wnd.h"
#include "tests/module/dialog_runs.h"
#include "tests/module/house_fixture.h"

namespace {

// ("--5" is left to the dialogs: the host reads it as a distance of 5, as
// the platform does.)
const std::vector<std::string> kAbsurdNumbers = {"1e308", "-1e308", "1e20",  "-1e20", "nan",
                                                 "inf",   "abc",    "12abc", "0x10"};
const std::vector<std::string> kAbsurdPoints = {"1e308,1e308", "-1e308,0", "1e20,0", "0,-1e20", "nan,0",
                                                "inf,inf",     "abc",      "12abc",  "0x10"};
// Texts a user types, pastes or leaves in a number field that are not one
// number: each is refused with a message ("1,5" too: a decimal comma is
// neither read as 1 nor as 15).
const std::vector<std::string> kNotNumbers = {"abc", "12abc", "1,5", " ", "--5", "0x10"};
const std::vector<std::string> kAbsurdSizes = {"0", "-30"};

constexpr double kLimit = 1e10;

// The coordinates (group codes 10-38 and the extended data's points) of a
// DXF text that are not numbers or lie beyond the limit: a few, as
// "code=value".
std::string CoordinatesOutOfRange(const std::string& text) {
    std::istringstream in(text);
    std::string codeLine, value;
    std::string found;
    int n = 0;
    while (std::getline(in, codeLine) && std::getline(in, value)) {
        const int code = std::atoi(codeLine.c_str());
        if (!((code >= 10 && code <= 38) || (code >= 1010 && code <= 1039))) continue;
        char* end = nullptr;
        const double v = std::strtod(value.c_str(), &end);
        if (end == value.c_str()) continue;
        if (std::isfinite(v) && std::fabs(v) <= kLimit) continue;
        if (n++ < 6) found += " " + std::to_string(code) + "=" + value;
    }
    return found;
}

bool IsHandleCode(int code) {
    return code == 5 || code == 105 || (code >= 320 && code <= 369) || (code >= 390 && code <= 399) ||
           code == 480 || code == 481 || code == 1005;
}

// The records of a DXF text with their handles and the handle seed blanked,
// counted: two drawings made by the same answers hold the same.
std::map<std::string, int> Records(const std::string& text) {
    std::map<std::string, int> records;
    std::istringstream in(text);
    std::string codeLine, value, current;
    bool seedNext = false;
    while (std::getline(in, codeLine) && std::getline(in, value)) {
        const int code = std::atoi(codeLine.c_str());
        if (code == 0 || code == 9) {
            if (!current.empty()) ++records[current];
            current.clear();
        }
        const bool blank = IsHandleCode(code) || seedNext;
        seedNext = code == 9 && value == "$HANDSEED";
        current += std::to_string(code) + "=" + (blank ? "*" : value) + "\n";
    }
    if (!current.empty()) ++records[current];
    return records;
}

// What one drawing holds and the other not: a few records, empty when none.
std::string Difference(const std::string& a, const std::string& b) {
    std::map<std::string, int> count = Records(a);
    for (const auto& [record, n] : Records(b)) count[record] -= n;
    std::string out;
    int shown = 0;
    for (const auto& [record, n] : count) {
        if (n == 0 || shown++ >= 3) continue;
        out += (n > 0 ? "\n-- only in the first:\n" : "\n++ only in the second:\n") + record.substr(0, 400);
    }
    return out;
}

// ------------------------------------------------------------ the dialog walk

// The templates of a dialog id: its own, or each page of a property sheet.
std::vector<std::pair<int, const DialogTemplate*>> TemplatesOf(UINT id) {
    std::vector<std::pair<int, const DialogTemplate*>> found;
    for (HINSTANCE module : zcuiRegisteredResources()) {
        auto findDialog = [&](UINT page) -> const DialogTemplate* {
            for (HINSTANCE m : zcuiRegisteredResources())
                if (auto it = m->dialogs.find(page); it != m->dialogs.end()) return &it->second;
            return nullptr;
        };
        if (auto sheet = module->sheets.find(id); sheet != module->sheets.end()) {
            for (std::size_t i = 0; i < sheet->second.size(); ++i)
                if (const DialogTemplate* page = findDialog(sheet->second[i]))
                    found.emplace_back(static_cast<int>(i), page);
            return found;
        }
        if (auto it = module->dialogs.find(id); it != module->dialogs.end()) {
            found.emplace_back(-1, &it->second);
            return found;
        }
    }
    return found;
}

// Texts that may well be numbers: the grid's first column and row marks
// (a digit or a letter to count on from), a build-up layer's hatch pattern
// ("0" for none).
bool IsTextField(UINT dialog, int field) {
    return (dialog == 270 && (field == 1268 || field == 1269)) || (dialog == 154 && field == 1027);
}

// Fields that take a text as well as a number: the room form's values are
// the label's texts (a number there is held in range, a text printed).
bool TakesText(UINT dialog) {
    return dialog == 139;
}

bool HoldsNumber(const std::string& text) {
    if (text.empty()) return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    while (*end == ' ') ++end;
    return end != text.c_str() && *end == 0;
}

// A field the user can type into.
CEdit* TypingField(zcui::DialogUser& user, int id) {
    CEdit* edit = user.Get<CEdit>(id);
    if (!edit || !edit->IsWindowVisible() || !edit->IsWindowEnabled()) return nullptr;
    if (edit->GetStyle() & ES_READONLY) return nullptr;
    return edit;
}

// The palette of the walls' 3D settings stays open: it takes its fields
// with its Apply, and says so by writing without a message.
constexpr UINT kPalette = kWallPalette;
constexpr int kPaletteApply = kWallPaletteApply;

// Chooses the rows of a list in turn until a number field the row fills
// can be typed into and holds a number.
void ChooseRowFilling(zcui::DialogUser& user, int list, int field) {
    auto* rows = user.Get<CListCtrl>(list);
    for (int row = 0; rows && row < rows->GetItemCount(); ++row) {
        if (!user.Select(list, zcui::Row{row})) return;
        if (TypingField(user, field) && HoldsNumber(user.Text(field))) return;
    }
}

bool IsNotNumber(const std::string& text) {
    return std::find(kNotNumbers.begin(), kNotNumbers.end(), text) != kNotNumbers.end();
}

// What the walk puts into every number field.
std::vector<std::string> FieldAnswers() {
    std::vector<std::string> answers = kNotNumbers;
    for (const std::string& a : kAbsurdNumbers)
        if (!IsNotNumber(a)) answers.push_back(a);
    return answers;
}

int InvalidValueMessages() {
    int n = 0;
    for (const auto& box : zcui::MessageBoxes()) n += box.text == kInvalidValueMessage;
    return n;
}

struct FieldWalk {
    std::set<std::string> tried;        // "dialog:page:field:answer"
    std::map<std::string, int> taken;   // "okno D pole F: answer", how often
    std::map<std::string, int> silent;  // refused without a word
    std::map<std::string, int> twice;   // no number, said more than once
    std::set<UINT> walked;              // dialogs with a number field walked
    bool tookOne = false;               // in the current run
    // What a user does first in a dialog whose number fields wait for a
    // row or a choice: the fields it enables are then walked.
    std::map<UINT, std::function<void(zcui::DialogUser&)>> prepare;

    // OK, or the palette's Apply; true when the dialog took the answer.
    static bool Accept(zcui::DialogUser& user) {
        if (user.Id() != kPalette) return user.Ok() && user.Ended();
        const std::size_t said = zcui::MessageBoxes().size();
        return user.Click(kPaletteApply) && zcui::MessageBoxes().size() == said;
    }

    void Drive(zcui::DialogUser& user) {
        if (auto first = prepare.find(user.Id()); first != prepare.end()) first->second(user);
        for (const auto& [page, tpl] : TemplatesOf(user.Id())) {
            if (user.Ended() || user.Failed()) return;
            if (page >= 0 && !user.Page(page)) return;
            for (const ControlTemplate& control : tpl->controls) {
                if (control.kind != ControlKind::Edit) continue;
                CEdit* field = TypingField(user, control.id);
                if (!field) continue;
                const std::string original = user.Text(control.id);
                if (!HoldsNumber(original) || IsTextField(user.Id(), control.id)) continue;
                walked.insert(user.Id());
                walked.insert(tpl->id);
                for (const std::string& answer : FieldAnswers()) {
                    const std::string key = std::to_string(user.Id()) + ":" + std::to_string(page) + ":" +
                                            std::to_string(control.id) + ":" + answer;
                    if (!tried.insert(key).second) continue;
                    if (IsNotNumber(answer) && TakesText(user.Id())) continue;
                    // Put in whole, as a paste does past a number edit's
                    // key filter (which would drop the "e" of 1e308 and
                    // the letters, and so hide what the field reads).
                    const int before = InvalidValueMessages();
                    if (!user.Edit(control.id, answer)) return;
                    // A field put back on leaving it has refused it already.
                    if (user.Text(control.id) != answer) {
                        if (!user.Edit(control.id, original)) return;
                        continue;
                    }
                    const std::string what = "okno " + std::to_string(user.Id()) + " pole " +
                                             std::to_string(control.id) + ": \"" + answer + "\"";
                    const std::size_t said = zcui::MessageBoxes().size();
                    if (Accept(user)) {
                        ++taken[what];
                        tookOne = true;
                        return;
                    }
                    if (user.Ended() || user.Failed()) return;
                    if (zcui::MessageBoxes().size() == said) ++silent[what];
                    if (IsNotNumber(answer) && InvalidValueMessages() - before > 1) ++twice[what];
                    if (!TypingField(user, control.id)) return;
                    if (!user.Edit(control.id, original)) return;
                }
            }
        }
        if (user.Ended() || user.Failed()) return;
        if (user.Id() == kPalette) return;
        user.PressDefault();
        if (!user.Ended()) user.Cancel();
    }
};

class AbsurdWalk : public HouseTest {
protected:
    void SetUp() override {
        HouseTest::SetUp();
        ASSERT_EQ(drawHouse(), RTNORM) << transcript();
        m_house = saveDrawing("house.dxf");
    }

    // The lines run on a fresh copy of the house; the drawing they leave.
    std::string runOnHouse(const std::vector<std::string>& lines) {
        reopen(m_house);
        return runLines(lines);
    }

    std::string runLines(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) push(line);
        host::processInput();
        host::currentInput().clear();
        return drawingText();
    }

    std::string m_house;
};

TEST_F(AbsurdWalk, every_number_field_of_every_dialog_refuses_absurd_numbers) {
    FieldWalk walk;
    // The texture scale waits for a layer row, the set editor's and the
    // substitution's value for a number row (of a set that is not the
    // store's own), the block's sizes and angle for
    // "fixed", the palette's height for walls not by floor.
    walk.prepare[318] = [](zcui::DialogUser& u) { ChooseRowFilling(u, 1385, 1386); };
    walk.prepare[197] = [](zcui::DialogUser& u) {
        u.Edit(1067, "Zestaw");
        u.Click(3);
        u.Select(1065, zcui::Row{"Zestaw"});
        ChooseRowFilling(u, 1066, 1068);
    };
    walk.prepare[199] = [](zcui::DialogUser& u) {
        u.Select(1065, zcui::Row{0});
        ChooseRowFilling(u, 1071, 1068);
    };
    walk.prepare[kPalette] = [](zcui::DialogUser& u) { u.Edit(1036, "300"); };
    walk.prepare[216] = [](zcui::DialogUser& u) {
        u.Radio(1120);
        u.Radio(1127);
    };
    zcui::InstallFallbackDialogDriver([&walk](zcui::DialogUser& user) { walk.Drive(user); });
    std::string outOfRange;
    for (const WalkRun& run : DialogOpeningRuns()) {
        for (int pass = 0; pass < 80; ++pass) {
            walk.tookOne = false;
            std::string drawing = runOnHouse(run.lines);
            if (zcui::FindModeless(kPalette)) {
                zcui::DriveModeless(kPalette, [&walk](zcui::DialogUser& user) { walk.Drive(user); });
                zcui::DriveModeless(kPalette, [](zcui::DialogUser& user) { user.Cancel(); });
                drawing = runLines(run.afterPalette);
            }
            if (const std::string bad = CoordinatesOutOfRange(drawing); !bad.empty())
                outOfRange += "\n" + run.lines.back() + ":" + bad;
            if (!walk.tookOne) break;
        }
    }
    zcui::InstallFallbackDialogDriver(nullptr);
    std::string taken;
    for (const auto& [what, n] : walk.taken) taken += "\n" + what;
    EXPECT_EQ(taken, "") << "number fields that took an absurd answer";
    std::string silent;
    for (const auto& [what, n] : walk.silent) silent += "\n" + what;
    EXPECT_EQ(silent, "") << "number fields that refused an answer without a message";
    std::string repeated;
    for (const auto& [what, n] : walk.twice) repeated += "\n" + what;
    EXPECT_EQ(repeated, "") << "number fields that said a text that is no number more than once";
    EXPECT_EQ(outOfRange, "") << "coordinates beyond 1e10 after a dialog's answer";
    // Every template with an edit field is walked, or named here as one
    // whose fields hold names, layers, paths or label texts.
    const std::set<UINT> textOnly = {110, 133, 134, 135, 137, 138, 155, 176, 214, 346};
    std::string unreached;
    for (HINSTANCE module : zcuiRegisteredResources())
        for (const auto& [id, tpl] : module->dialogs) {
            bool edits = false;
            for (const ControlTemplate& c : tpl.controls) edits = edits || c.kind == ControlKind::Edit;
            if (edits && !walk.walked.count(id) && !textOnly.count(id)) unreached += " " + std::to_string(id);
        }
    EXPECT_EQ(unreached, "") << "dialogs with edit fields the walk did not reach";
}

// ------------------------------------------------------------ the prompt walk

// The sane answers of a house-making command after its name. "#" marks a
// size (zero and less are absurd there too), "<" an angle (one past what
// a turn keeps the digits of is as absurd as no number at all), "=" an answer to the host's own selection
// prompt, given as it is. Lines before the command (dialog answers, walls to work on) go in `before`.
struct CommandAnswers {
    std::vector<std::string> before;
    std::string command;
    std::vector<std::string> answers;
};

void PrintTo(const CommandAnswers& row, std::ostream* out) {
    *out << row.command;
}

const std::vector<std::string> kAbsurdAngles = {"1e308", "-1e308", "1e20", "-1e20", "nan", "inf", "abc"};

const std::vector<CommandAnswers>& HouseCommands() {
    static const std::vector<CommandAnswers> table = {
        {{}, "VELMWALLD", {"1000,600", "1400,600", "1400,900", ""}},
        {{}, "VELMWALL", {"1000,600", "1400,600", ""}},
        {{}, "VELMOBJECT", {"P1", "!pick 300,385", "100", ""}},
        {{"!dialog 152 click 4"}, "VELMFSLAB", {"1000,1000", "1200,1000", "1200,1200", "", ""}},
        {{"!dialog 226 ok"},
         "VELMSTAIRDEF",
         {"Szerokość", "#110", "Stopień", "#30", "1500,0", "1500,300", "Utwórz"}},
        {{"!dialog 109 click 4"}, "VELMHIPROOF", {"-100,-100", "700,-100", "700,500", "-100,500", ""}},
        {{"VELMWALLD", "1000,600", "1400,600", "1400,900", "1000,900", "Zamknij", "!dialog 139 ok"},
         "VELMSPACEUNIT",
         {"1200,750", "<0", "", ""}},
        {{}, "VELMHANDRAIL", {"!pick 1055,150", "1055,50", "1055,250"}},
        {{}, "VELMMESH2D", {"3000,3000"}},
        {{"!dialog 170 ok"}, "VELMHATCH3D", {"0,600,0", "100,600,0", "100,600,100", "0,600,100", "", ""}},
        {{"!dialog 170 ok"}, "VELMHFLOOR", {"300,200", ""}},
        {{"!dialog 171 ok"}, "VELMHWALL", {"20,-16", ""}},
        {{"!dialog 127 ok"}, "VELMDROOM", {"300,200", "", ""}},
        {{"_LINE", "2000,0", "2100,0", ""}, "VELMOFFSETCL", {"10", "!pick 2050,0", "2050,50", ""}},
        {{}, "VELMMOVEDIM", {"", "!pick 200,-15", "40", ""}},
        {{}, "VELMDV", {"<0", "0,-50", "0,0", "100,0", "", ""}},
        {{"_LINE", "2000,0", "2100,0", ""}, "VELMROTATEAS", {"!pick 2050,0", "", "2000,0", "<0", "<30"}},
        {{}, "VELMGENVIEW", {"-100,200", "700,200", "300,-600", "0,-2000"}},
        {{"!dialog 110 radio 1002 click 3"}, "VELMDPLAN", {"200,-100", "-50,150", "650,150", "", ""}},
        {{}, "VELMDELEV", {"0,100", "50", "500,300", ""}},
        {{},
         "VELMSELVIEW",
         {"-100,200", "700,200", "300,-600", "0,-4000", "2000,-3000", "W", "=-100,-100", "=700,500", ""}},
        {{"VELMWALLD", "1000,600", "1400,600", ""}, "VELMEDITWALL", {"!pick 1200,585", "", "20"}},
    };
    return table;
}

bool IsNumberAnswer(const std::string& a) {
    return !a.empty() && a[0] != '!' && (HoldsNumber(a) || a.find(',') != std::string::npos);
}

class AbsurdPrompts : public AbsurdWalk, public ::testing::WithParamInterface<CommandAnswers> {};

TEST_P(AbsurdPrompts, ask_again_and_leave_the_drawing_of_the_sane_answers) {
    const CommandAnswers& row = GetParam();
    auto linesWith = [&](std::size_t at, const std::vector<std::string>& inserted) {
        std::vector<std::string> lines = row.before;
        lines.push_back(row.command);
        for (std::size_t i = 0; i < row.answers.size(); ++i) {
            std::string answer = row.answers[i];
            if (i == at) lines.insert(lines.end(), inserted.begin(), inserted.end());
            if (!answer.empty() && (answer[0] == '#' || answer[0] == '<' || answer[0] == '='))
                answer.erase(0, 1);
            lines.push_back(answer);
        }
        return lines;
    };
    const std::string sane = runOnHouse(linesWith(row.answers.size(), {}));
    reopen(m_house);
    ASSERT_NE(Difference(drawingText(), sane), "")
        << row.command << " made nothing:\n"
        << transcript().substr(transcript().rfind("Polecenie: " + row.command));
    for (std::size_t i = 0; i < row.answers.size(); ++i) {
        const std::string& answer = row.answers[i];
        const char mark = answer.empty() ? 0 : answer[0];
        if (mark == '=' || (mark != '#' && mark != '<' && !IsNumberAnswer(answer))) continue;
        std::vector<std::string> inserted = answer.find(',') != std::string::npos ? kAbsurdPoints
                                            : mark == '<'                         ? kAbsurdAngles
                                                                                  : kAbsurdNumbers;
        if (mark == '#') inserted.insert(inserted.end(), kAbsurdSizes.begin(), kAbsurdSizes.end());
        const std::string drawing = runOnHouse(linesWith(i, inserted));
        EXPECT_EQ(CoordinatesOutOfRange(drawing), "") << row.command << " before answer " << answer;
        EXPECT_EQ(Difference(sane, drawing), "")
            << row.command << ": absurd answers before " << answer << "\n"
            << transcript().substr(transcript().rfind("Polecenie: " + row.command));
    }
}

INSTANTIATE_TEST_SUITE_P(HouseCommands, AbsurdPrompts, ::testing::ValuesIn(HouseCommands()),
                         [](const ::testing::TestParamInfo<CommandAnswers>& info) {
                             return info.param.command;
                         });

TEST(AbsurdWalkCheck, finds_coordinates_beyond_the_limit_and_not_numbers) {
    EXPECT_EQ(CoordinatesOutOfRange("0\nLINE\n10\n1e10\n20\n-5\n"), "");
    EXPECT_NE(CoordinatesOutOfRange("0\nLINE\n10\n1.5e10\n"), "");
    EXPECT_NE(CoordinatesOutOfRange("0\nLINE\n21\nnan\n"), "");
    EXPECT_NE(CoordinatesOutOfRange("1001\nAPP\n1010\n-1e308\n"), "");
    EXPECT_EQ(CoordinatesOutOfRange("0\nLINE\n40\n1e308\n"), "") << "not a coordinate";
}

}  // namespace

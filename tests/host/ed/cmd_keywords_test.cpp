// Every option a host command's prompt shows in its "[…/…]" list is taken
// when typed as shown. The walk reaches the prompts itself: each command of
// the registry runs on a small drawing with answers made of the options it
// found so far and a few plain answers (a point on the drawing's line, a
// number, the block's name, Enter), so a prompt added later is walked too.
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <map>
#include <set>

#include "host/db/dbents.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

// What a prompt says when it does not take an answer.
const char* const kRefusals[] = {
    "Nieprawidłowa opcja.", "Niejednoznaczna opcja.", "Wymagany punkt",         "Wymagana odległość",
    "Wymagany kąt",         "Wymagana liczba",        "Nieprawidłowa wartość.",
};

// Plain answers that get past prompts that are not option lists.
const char* const kPlainAnswers[] = {"50,0", "10", "B", ""};

constexpr std::size_t kMaxRunsPerCommand = 400;
constexpr std::size_t kMaxDepth = 8;

class CommandKeywords : public CmdSession {
protected:
    void SetUp() override {
        CmdSession::SetUp();
        // Commands that write files (SAVE, WBLOCK …) write into a folder of
        // their own.
        dir = std::filesystem::temp_directory_path() / ("velm_cmd_keywords_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        CmdSession::TearDown();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }

    struct Run {
        int status = RTNORM;
        std::string text;  // the transcript of the command alone
    };

    // A fresh session with a line 0,0-100,0 and a block "B", then the
    // command and the answers; the input runs out after the last answer.
    Run runCommand(const std::string& command, const std::vector<std::string>& answers) {
        CmdSession::TearDown();
        CmdSession::SetUp();
        run({"_LINE", "0,0", "100,0", ""});
        makeBlock();
        const std::size_t start = transcript().size();
        curDoc()->inputQueue().pushLine(command);
        for (const std::string& a : answers) curDoc()->inputQueue().pushLine(a);
        Run r;
        r.status = host::processInput();
        r.text = transcript().substr(start);
        for (const std::string& left : host::objectsLeftOpen()) ADD_FAILURE() << "object left open: " << left;
        return r;
    }

    static void makeBlock() {
        ZcDbBlockTableRecord* b = newBlockWithLine("B");
        ASSERT_NE(b, nullptr);
        b->close();
    }

    // The last line of the prompt that waited when the input ran out;
    // empty when the command ended before.
    static std::string waitingPrompt(const std::string& text) {
        const std::size_t cancel = text.rfind("*Anuluj*");
        if (cancel == std::string::npos) return {};
        const std::size_t line = text.rfind('\n', cancel);
        return text.substr(line == std::string::npos ? 0 : line + 1,
                           cancel - (line == std::string::npos ? 0 : line + 1));
    }

    // The options the prompt shows, each as typed: up to its first blank
    // ("Rodzaj linii" is typed "Rodzaj"), as the command line ends an
    // answer there.
    static std::vector<std::string> shownOptions(const std::string& prompt) {
        std::vector<std::string> out;
        const std::size_t open = prompt.rfind('[');
        const std::size_t close = prompt.find(']', open == std::string::npos ? 0 : open);
        if (open == std::string::npos || close == std::string::npos) return out;
        const std::string list = prompt.substr(open + 1, close - open - 1);
        std::size_t from = 0;
        while (from <= list.size()) {
            std::size_t slash = list.find('/', from);
            if (slash == std::string::npos) slash = list.size();
            std::string word = list.substr(from, slash - from);
            word = word.substr(0, word.find(' '));
            if (!word.empty()) out.push_back(word);
            from = slash + 1;
        }
        return out;
    }

    // What the command printed right after `answer` was typed at `prompt`.
    static std::string afterAnswer(const Run& r, const std::string& prompt, const std::string& answer) {
        const std::size_t at = r.text.rfind(prompt + answer);
        if (at == std::string::npos) return {};
        return r.text.substr(at + prompt.size() + answer.size());
    }

    static bool refused(const std::string& after) {
        for (const char* m : kRefusals)
            if (after.rfind(std::string("\n") + m, 0) == 0) return true;
        return false;
    }

    std::filesystem::path dir, previous;
};

TEST_F(CommandKeywords, every_option_a_prompt_shows_is_taken_as_shown) {
    std::set<std::string> checkedOptions;
    std::size_t checkedPrompts = 0;
    for (const std::string& command : host::hostCommandNames()) {
        // Prompts walked, by their text and the number of answers before
        // them: a prompt that asks again ("Wybierz obiekty:") is walked once
        // more for each answer, up to the depth.
        std::set<std::pair<std::string, std::size_t>> visited;
        std::deque<std::vector<std::string>> pending{{}};
        std::size_t runs = 0;
        while (!pending.empty() && runs < kMaxRunsPerCommand) {
            const std::vector<std::string> answers = pending.front();
            pending.pop_front();
            const Run here = runCommand(command, answers);
            ++runs;
            const std::string prompt = waitingPrompt(here.text);
            if (prompt.empty() || !visited.insert({prompt, answers.size()}).second) continue;
            const std::vector<std::string> options = shownOptions(prompt);
            if (!options.empty()) ++checkedPrompts;
            for (const std::string& option : options) {
                std::vector<std::string> next = answers;
                next.push_back(option);
                const Run typed = runCommand(command, next);
                ++runs;
                const std::string after = afterAnswer(typed, prompt, option);
                EXPECT_FALSE(refused(after)) << command << ": \"" << option << "\" at \"" << prompt
                                             << "\" is refused:" << after.substr(0, 80);
                checkedOptions.insert(option);
                if (!refused(after) && next.size() < kMaxDepth) pending.push_back(next);
            }
            if (answers.size() + 1 < kMaxDepth)
                for (const char* plain : kPlainAnswers) {
                    std::vector<std::string> next = answers;
                    next.push_back(plain);
                    pending.push_back(next);
                }
        }
    }
    // The walk reached the option lists at all (the three that once refused
    // their own words among them).
    EXPECT_GE(checkedPrompts, 15u);
    for (const char* known : {"Zakres", "Obróć", "Zapisz", "Łuk", "Kolor", "Odniesienie", "Steruj"})
        EXPECT_TRUE(checkedOptions.count(known)) << known << " was not reached";
}

}  // namespace

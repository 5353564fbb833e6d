// The keyboard as the host program reads it: asked for each line only
// when a reader finds the queue empty, a cancel for the prompt that waits,
// the end of input at the command prompt; the echo leaving out what the
// line editor already showed; two spellings of one keyword; the files a
// script names found beside the script first.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "host/ed/inputqueue.h"
#include "host/ed/prompts.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "tests/host/ed/ed_fixture.h"
#include "tests/host/win_testdir.h"

namespace {

// Typed lines, one per request; "^C" stands for Ctrl-C, the end of the
// list for Ctrl-D.
struct Keyboard {
    std::deque<std::string> lines;
    std::vector<bool> asked;  // atCommandPrompt of each request
    bool read(host::InputQueue& q, bool atCommandPrompt) {
        asked.push_back(atCommandPrompt);
        if (lines.empty()) {
            if (atCommandPrompt) return false;
            q.pushCancel();
            return true;
        }
        std::string line = lines.front();
        lines.pop_front();
        if (line == "^C")
            q.pushCancel();
        else
            q.pushLine(line);
        return true;
    }
};

class KeyboardInput : public EdSession {
protected:
    void Use(Keyboard& k) {
        host::setInputSource([&k](host::InputQueue& q, bool prompt) { return k.read(q, prompt); });
    }
};

TEST_F(KeyboardInput, lines_typed_one_at_a_time_answer_the_prompts_of_one_command) {
    Keyboard k{{"_CIRCLE", "10,20", "5", "_CIRCLE", "^C", "_LINE", "0,0", "3,0", ""}, {}};
    Use(k);
    EXPECT_EQ(host::processInput(), RTCAN);  // the second circle was cancelled
    EXPECT_FALSE(host::inputRanOut());
    EXPECT_EQ(count(transcript(), "*Anuluj*"), 1u) << transcript();
    EXPECT_EQ(count(transcript(), "\nNieznane polecenie"), 0u) << transcript();
    // Asked at the command prompt only where no command waited, and once
    // more at the end, where Ctrl-D ended the session.
    EXPECT_EQ(k.asked, (std::vector<bool>{true, false, false, true, false, true, false, false, false, true}));
}

TEST_F(KeyboardInput, without_a_keyboard_an_empty_queue_still_ends_the_input) {
    feed({"_CIRCLE", "1,1"});
    EXPECT_EQ(host::processInput(), RTCAN);
    EXPECT_TRUE(host::inputRanOut());
}

TEST(TranscriptEcho, what_the_line_editor_showed_is_not_printed_twice) {
    host::Transcript t;
    t.setEcho(true);
    testing::internal::CaptureStdout();
    t.shownOnScreen("\nPolecenie: _CIRCLE");
    t.append("\nPolecenie: ");
    t.append("_CIRCLE");
    t.append("\nOkreśl środek okręgu: ");
    t.shownOnScreen("5,5");
    t.append("5,5");
    t.append("\nOkreśl promień okręgu: ");
    t.shownOnScreen("7");
    t.append("8");  // not what was shown: printed whole
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Określ środek okręgu: Określ promień okręgu: 8");
    // The transcript itself keeps everything.
    EXPECT_EQ(t.text(), "\nPolecenie: _CIRCLE\nOkreśl środek okręgu: 5,5\nOkreśl promień okręgu: 8");
}

TEST(KeywordSpellings, two_spellings_of_one_keyword_are_no_ambiguity) {
    const std::string list = "Przód Zmień Modyfikuj Modifikuj _ Przód Zmień Modyfikuj Modyfikuj";
    std::string kw;
    EXPECT_EQ(host::matchKeyword(list, "Modifikuj", kw), host::KeywordMatch::Found);
    EXPECT_EQ(kw, "Modyfikuj");
    EXPECT_EQ(host::matchKeyword(list, "m", kw), host::KeywordMatch::Found);
    EXPECT_EQ(kw, "Modyfikuj");
    // Two keywords sharing a start are still ambiguous.
    EXPECT_EQ(host::matchKeyword("Modyfikuj Moduł", "mod", kw), host::KeywordMatch::Ambiguous);
}

TEST(ScriptFolder, names_a_script_gives_are_found_beside_it_first) {
    TestDir dir;
    std::filesystem::create_directories(dir.path("demo"));
    std::filesystem::create_directories(dir.path("support"));
    dir.write("demo/tabliczka.dxf", "a");
    dir.write("support/tabliczka.dxf", "b");
    dir.write("support/only.def", "c");
    host::setSupportFolders({dir.path("support")});
    char buf[512];
    ASSERT_EQ(zcedFindFile("tabliczka.dxf", buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("support") + "/tabliczka.dxf");
    host::setScriptFolder(dir.path("demo"));
    ASSERT_EQ(zcedFindFile("tabliczka.dxf", buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("demo") + "/tabliczka.dxf");
    // A name with a folder part: beside the script, else as given.
    std::filesystem::create_directories(dir.path("demo/blocks"));
    dir.write("demo/blocks/okno.dxf", "d");
    ASSERT_EQ(zcedFindFile("blocks/okno.dxf", buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("demo") + "/blocks/okno.dxf");
    const std::string absolute = dir.path("support") + "/only.def";
    ASSERT_EQ(zcedFindFile(absolute.c_str(), buf), RTNORM);
    EXPECT_EQ(std::string(buf), absolute);
    // Support files not beside the script are found as before.
    ASSERT_EQ(zcedFindFile("only.def", buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("support") + "/only.def");
    host::setScriptFolder({});
    host::setSupportFolders({});
}

}  // namespace

// The files the user names to the host program are the user's: a script
// or a drawing handed over as a pipe or "/dev/null" is read as it is. And a
// drawing's text never reaches the terminal raw: a control character in
// what the reader quotes is shown escaped.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/host/win_testdir.h"

namespace {

// Runs velmhost with `args` through bash (pipes given as "<(…)"), its
// output and errors in the test's folder; the exit status.
int velmhost(const TestDir& dir, const std::string& args) {
    const std::string cmd = "cd '" + dir.path() + "' && HOME='" + dir.path() + "' XDG_DATA_HOME='" +
                            dir.path("data") + "' XDG_CONFIG_HOME='" + dir.path("config") + "' TMPDIR='" +
                            dir.path() + "' " + VELM_BINARY_DIR + "/velmhost " + args + " > out.txt 2>&1";
    const std::string quoted = "bash -c \"" + cmd + "\"";
    const int rc = std::system(quoted.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// The LINE entities of a saved drawing, counted in its text.
int linesIn(const TestDir& dir, const std::string& name) {
    const std::string text = dir.read(name);
    int lines = 0;
    for (std::size_t at = text.find("\nLINE\n"); at != std::string::npos; at = text.find("\nLINE\n", at + 1))
        ++lines;
    return lines;
}

}  // namespace

TEST(VelmhostUserFiles, a_script_from_a_pipe_or_dev_null_runs) {
    TestDir dir;
    EXPECT_EQ(velmhost(dir, "--script /dev/null"), 0) << dir.read("out.txt");
    EXPECT_NE(dir.read("out.txt").find("Rysunku nie zapisano."), std::string::npos) << dir.read("out.txt");
    ASSERT_EQ(velmhost(dir, "--script <(printf '_LINE\\n0,0\\n10,0\\n\\n') --save piped.dxf"), 0)
        << dir.read("out.txt");
    EXPECT_EQ(linesIn(dir, "piped.dxf"), 1);
}

TEST(VelmhostUserFiles, a_drawing_named_from_a_pipe_opens) {
    TestDir dir;
    dir.write("plan.dxf",
              "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n5\n21\n5\n0\nENDSEC\n0\nEOF\n");
    ASSERT_EQ(velmhost(dir, "<(cat plan.dxf) --script <(printf '_LINE\\n0,0\\n10,0\\n\\n') --save both.dxf"),
              0)
        << dir.read("out.txt");
    EXPECT_EQ(linesIn(dir, "both.dxf"), 2);
}

TEST(VelmhostUserFiles, an_escape_sequence_in_a_drawing_is_shown_escaped_in_the_readers_message) {
    TestDir dir;
    dir.write("evil.dxf", "0\nSECTION\n2\nENTITIES\n\x1b]0;pwned\x07\x1b[2J\nLINE\n0\nENDSEC\n0\nEOF\n");
    EXPECT_EQ(velmhost(dir, "evil.dxf --script /dev/null"), 2);
    const std::string out = dir.read("out.txt");
    EXPECT_EQ(out.find('\x1b'), std::string::npos) << out;
    EXPECT_EQ(out.find('\x07'), std::string::npos) << out;
    EXPECT_NE(out.find("zły kod grupy \"^[]0;pwned^G^[[2J\""), std::string::npos) << out;
}

// The files the user names to the host program are the user's: a script
// or a drawing handed over as a pipe or "/dev/null" is read as it is. And a
// drawing's text never reaches the terminal raw: a control character in
// what the reader quotes is shown escaped.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

// Runs velmhost on the drawing `drawing` with an empty script, its errors
// alone in err.txt; a run still going after a minute is stopped (status
// 124), as a guard against a hang, not a measure of time.
int velmhostOpening(const TestDir& dir, const std::string& drawing) {
    const std::string cmd = "cd '" + dir.path() + "' && HOME='" + dir.path() + "' XDG_DATA_HOME='" +
                            dir.path("data") + "' XDG_CONFIG_HOME='" + dir.path("config") + "' TMPDIR='" +
                            dir.path() + "' timeout -s KILL 60 " + VELM_BINARY_DIR + "/velmhost " + drawing +
                            " --script /dev/null > out.txt 2> err.txt";
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

// What a name on the command line leads to that is no drawing ends the
// run at once with one line naming it: a FIFO nobody writes (opened
// without waiting for a writer), a link to a device that never ends, a
// sparse file larger than a drawing may be (refused by its size, unread),
// one within the size of a drawing whose first bytes are zeros (refused at
// them, not read whole),
// and a pipe whose first bytes are no DXF (stopped there).
TEST(VelmhostUserFiles, a_drawing_name_leading_to_no_drawing_ends_at_once_with_one_line_naming_it) {
    TestDir dir;
    ASSERT_EQ(::mkfifo(dir.path("fifo.dxf").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.path("zero.dxf"));
    std::filesystem::create_symlink("/dev/urandom", dir.path("random.dxf"));
    const std::string sparse = dir.path("sparse.dxf");
    dir.write("sparse.dxf", "");
    ASSERT_EQ(::truncate(sparse.c_str(), (off_t{39} << 30) / 10), 0);
    dir.write("zeros.dxf", "");
    ASSERT_EQ(::truncate(dir.path("zeros.dxf").c_str(), off_t{900} << 20), 0);
    for (const std::string name : {"fifo.dxf", "zero.dxf", "random.dxf", "zeros.dxf", "sparse.dxf"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(velmhostOpening(dir, name), 2);
        const std::string err = dir.read("err.txt");
        EXPECT_EQ(err.rfind("velmhost: DXF: nie można odczytać pliku " + name + ": ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    EXPECT_NE(dir.read("err.txt").find("jakie może mieć rysunek"), std::string::npos);
    EXPECT_EQ(velmhostOpening(dir, "<(cat /dev/urandom)"), 2);
    EXPECT_NE(dir.read("err.txt").find("to nie jest rysunek DXF"), std::string::npos) << dir.read("err.txt");
    EXPECT_EQ(velmhostOpening(dir, "<(head -c 5000 /dev/zero)"), 2);
    EXPECT_NE(dir.read("err.txt").find("to nie jest rysunek DXF"), std::string::npos) << dir.read("err.txt");
}

// A binary drawing carried by a pipe opens as the file does: its sentinel
// holds a NUL byte, and its groups hold more.
TEST(VelmhostUserFiles, a_binary_drawing_from_a_pipe_opens) {
    TestDir dir;
    const std::string binary = std::string(VELM_SOURCE_DIR) + "/tests/data/dxf/binary_R2010.dxf";
    ASSERT_EQ(velmhost(dir, "<(cat '" + binary + "') --script /dev/null --save piped.dxf"), 0)
        << dir.read("out.txt");
    ASSERT_EQ(velmhost(dir, "'" + binary + "' --script /dev/null --save plain.dxf"), 0)
        << dir.read("out.txt");
    EXPECT_EQ(linesIn(dir, "piped.dxf"), linesIn(dir, "plain.dxf"));
}

// The one reader and the one writer of whole files against a folder built
// as an attacker would build it: a link planted where a temporary file
// might go, a FIFO or a device under a support file's name, a file far
// larger than any support file; and against a second program that edits a
// file this one works from a value it kept from an earlier command.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "host/win/replace_file.h"
#include "tests/host/win_testdir.h"

namespace fs = std::filesystem;

namespace {

// The names in a folder, sorted.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(WholeFile, a_link_planted_beside_the_target_is_never_written_through) {
    TestDir dir;
    dir.write("plan.dxf", "old drawing\n");
    dir.write("other.dxf", "someone else's drawing\n");
    // The names a writer with a fixed temporary name would have used.
    fs::create_symlink(dir.path("other.dxf"), dir.path(".plan.dxf.velmtmp"));
    fs::create_symlink(dir.path("other.dxf"), dir.path(".plan.dxf.tmp"));
    for (const host::LinkAtName link : {host::LinkAtName::WriteLinkedFile, host::LinkAtName::ReplaceLink}) {
        std::string error;
        ASSERT_TRUE(host::writeWholeFile(dir.path("plan.dxf"), "new drawing\n", {link, nullptr}, &error))
            << error;
        EXPECT_EQ(dir.read("plan.dxf"), "new drawing\n");
        EXPECT_FALSE(fs::is_symlink(dir.path("plan.dxf")));
        EXPECT_EQ(dir.read("other.dxf"), "someone else's drawing\n");
    }
    host::ReplacingFile stream;
    ASSERT_TRUE(stream.open(dir.path("plan.dxf")));
    std::fputs("streamed\n", stream.stream());
    ASSERT_TRUE(stream.commit());
    EXPECT_EQ(dir.read("plan.dxf"), "streamed\n");
    EXPECT_EQ(dir.read("other.dxf"), "someone else's drawing\n");
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{".plan.dxf.tmp", ".plan.dxf.velmtmp", "other.dxf", "plan.dxf"}));
    host::forgetFilesAsRead();
}

TEST(WholeFile, a_link_under_the_name_is_followed_by_a_save_and_replaced_by_an_export) {
    TestDir dir;
    dir.write("real.pov", "real\n");
    fs::create_symlink(dir.path("real.pov"), dir.path("saved.pov"));
    fs::create_symlink(dir.path("real.pov"), dir.path("export.pov"));
    ASSERT_TRUE(host::writeFileAtomically(dir.path("saved.pov"), "saved\n"));
    EXPECT_TRUE(fs::is_symlink(dir.path("saved.pov")));
    EXPECT_EQ(dir.read("real.pov"), "saved\n");
    ASSERT_TRUE(host::replaceFile(dir.path("export.pov"), "exported\n"));
    EXPECT_FALSE(fs::is_symlink(dir.path("export.pov")));
    EXPECT_EQ(dir.read("export.pov"), "exported\n");
    EXPECT_EQ(dir.read("real.pov"), "saved\n");
    host::forgetFilesAsRead();
}

TEST(WholeFile, only_a_regular_file_of_sane_size_is_read) {
    TestDir dir;
    std::string bytes, error;
    // A FIFO with no writer would block a plain open and read for ever.
    ASSERT_EQ(::mkfifo(dir.path("EVIL.pat").c_str(), 0600), 0);
    EXPECT_FALSE(host::readWholeFile(dir.path("EVIL.pat"), bytes, &error));
    EXPECT_EQ(error, "nie można odczytać " + dir.path("EVIL.pat") + ": to nie jest zwykły plik");
    // A device never ends.
    fs::create_symlink("/dev/zero", dir.path("VELMOA01.OA"));
    EXPECT_FALSE(host::readWholeFile(dir.path("VELMOA01.OA"), bytes, &error));
    EXPECT_NE(error.find("to nie jest zwykły plik"), std::string::npos) << error;
    EXPECT_FALSE(host::readWholeFile(dir.path(), bytes, &error));
    // Above the cap: refused before it is read, the cap named.
    dir.write("big.txt", std::string((2u << 20) + 1, 'x'));
    EXPECT_FALSE(host::readWholeFile(dir.path("big.txt"), bytes, &error, std::size_t{2} << 20));
    EXPECT_EQ(error, "nie można odczytać " + dir.path("big.txt") + ": plik jest większy niż 2 MB");
    EXPECT_TRUE(bytes.empty() || bytes.size() <= (2u << 20));
    ASSERT_TRUE(host::readWholeFile(dir.path("big.txt"), bytes, &error, std::size_t{3} << 20)) << error;
    EXPECT_EQ(bytes.size(), (2u << 20) + 1);
    host::forgetFilesAsRead();
}

// A user's table is read once and kept across commands; a dialog opened in
// a later command works from that kept value. Another program's edit in
// the meantime is compared with, as if the file had been read again.
TEST(WholeFile, a_value_kept_from_an_earlier_command_still_guards_its_file) {
    TestDir dir;
    dir.write("LAYERVRML.DEF", "A,1\nB,1\n");
    const std::string table = dir.path("LAYERVRML.DEF");
    fs::last_write_time(table, fs::file_time_type::clock::now() - std::chrono::minutes(1));
    // The first command reads the table and keeps what it made of it.
    host::startCommandKeptFileValues();
    std::string bytes;
    ASSERT_TRUE(host::readWholeFile(table, bytes));
    host::keepFileValue(table, "table", std::make_shared<const int>(1), bytes);
    host::forgetFilesAsRead();
    host::forgetCommandKeptFileValues();
    // The next command opens its dialog from the kept value...
    host::startCommandKeptFileValues();
    ASSERT_NE(host::keptFileValue(table, "table"), nullptr);
    // ...another program edits the table before OK...
    dir.write("LAYERVRML.DEF", "A,1\nB,2\n");
    // ...and OK neither writes over that edit nor loses it.
    std::string error;
    EXPECT_FALSE(host::writeFileAtomically(table, "A,3\nB,1\n", &error));
    EXPECT_NE(error.find("plik zmienił się od odczytu"), std::string::npos) << error;
    EXPECT_EQ(dir.read("LAYERVRML.DEF"), "A,1\nB,2\n");
    std::string seenRead;
    EXPECT_TRUE(host::writeFileMerging(
        table, "A,3\nB,1\n", [&](std::string_view asRead, std::string_view) -> std::optional<std::string> {
            seenRead = asRead;
            return std::string("A,3\nB,2\n");
        }));
    EXPECT_EQ(seenRead, "A,1\nB,1\n");
    EXPECT_EQ(dir.read("LAYERVRML.DEF"), "A,3\nB,2\n");
    host::forgetFilesAsRead();
    host::forgetCommandKeptFileValues();
}

// A save through a link to nothing would make a file wherever the link
// points: it is refused, naming the link and where it leads. An export
// puts its file in the link's place.
TEST(WholeFile, a_save_through_a_link_to_nothing_is_refused) {
    TestDir dir;
    fs::create_symlink(dir.path("nowhere/x.desktop"), dir.path("plan.dxf"));
    fs::create_symlink(dir.path("gone.dxf"), dir.path("link.dxf"));
    fs::create_symlink(dir.path("link.dxf"), dir.path("chain.dxf"));
    for (const char* name : {"plan.dxf", "chain.dxf"}) {
        std::string error;
        EXPECT_FALSE(host::writeFileAtomically(dir.path(name), "drawing\n", &error));
        EXPECT_NE(error.find(dir.path(name)), std::string::npos) << error;
        EXPECT_NE(error.find("dowiązanie symboliczne do pliku, którego nie ma"), std::string::npos) << error;
        EXPECT_TRUE(fs::is_symlink(dir.path(name)));
        EXPECT_TRUE(temporaryFilesBeside(dir.path(name)).empty());
    }
    EXPECT_FALSE(fs::exists(dir.path("nowhere")));
    EXPECT_FALSE(fs::exists(dir.path("gone.dxf")));
    ASSERT_TRUE(host::replaceFile(dir.path("link.dxf"), "exported\n"));
    EXPECT_EQ(dir.read("link.dxf"), "exported\n");
    EXPECT_FALSE(fs::exists(dir.path("gone.dxf")));
    host::forgetFilesAsRead();
}

namespace {

// A child process that makes a temporary file for `target` as a write
// does, tells its name through `report` and then waits for the other end
// of `release` to close (or is killed first).
pid_t WriterThatHangs(const std::string& target, int report, const int release[2]) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::close(release[1]);
    std::string temp;
    const int fd = host::makeTemporaryBeside(target, temp);
    if (fd >= 0 && ::write(fd, "half", 4) == 4 &&
        ::write(report, temp.c_str(), temp.size()) == static_cast<ssize_t>(temp.size())) {
        ::close(report);
        char c;
        while (::read(release[0], &c, 1) > 0) {
        }
    }
    ::_exit(0);
}

}  // namespace

// A write killed half way leaves its temporary file; the next write of the
// same name removes it, but never one that a living writer holds.
TEST(WholeFile, a_killed_writes_temporary_goes_with_the_next_write_a_living_ones_stays) {
    TestDir dir;
    dir.write("plan.dxf", "old\n");
    const std::string target = dir.path("plan.dxf");
    std::string temps[2];
    pid_t children[2];
    int releases[2];
    for (int i = 0; i < 2; ++i) {
        int report[2], release[2];
        ASSERT_EQ(::pipe(report), 0);
        ASSERT_EQ(::pipe(release), 0);
        children[i] = WriterThatHangs(target, report[1], release);
        ::close(report[1]);
        ::close(release[0]);
        releases[i] = release[1];
        char name[4096];
        const ssize_t n = ::read(report[0], name, sizeof name);
        ::close(report[0]);
        ASSERT_GT(n, 0);
        temps[i].assign(name, static_cast<std::size_t>(n));
    }
    // The first is killed mid-write; the second lives on.
    ::kill(children[0], SIGKILL);
    int status = 0;
    ::waitpid(children[0], &status, 0);
    ::close(releases[0]);
    EXPECT_EQ(temporaryFilesBeside(target).size(), 2u);

    std::string error;
    ASSERT_TRUE(host::writeFileAtomically(target, "saved\n", &error)) << error;
    EXPECT_EQ(dir.read("plan.dxf"), "saved\n");
    EXPECT_FALSE(fs::exists(temps[0]));
    EXPECT_TRUE(fs::exists(temps[1]));
    // One of this process's own, not yet committed, stays too.
    host::ReplacingFile mine;
    ASSERT_TRUE(mine.open(target));
    ASSERT_TRUE(host::writeFileAtomically(target, "again\n", &error)) << error;
    EXPECT_EQ(temporaryFilesBeside(target).size(), 2u);

    ::close(releases[1]);
    ::waitpid(children[1], &status, 0);
    mine.discard();
    fs::remove(temps[1]);
    host::forgetFilesAsRead();
}

// A copy that must not replace what is there keeps whatever came first,
// a link to nothing included.
TEST(WholeFile, a_copy_that_keeps_what_is_there) {
    TestDir dir;
    dir.write("mine.def", "user's own\n");
    fs::create_symlink(dir.path("nothing"), dir.path("link.def"));
    host::WholeFileWrite keep;
    keep.keepExisting = true;
    for (const char* name : {"mine.def", "link.def"}) {
        errno = 0;
        EXPECT_FALSE(host::writeWholeFile(dir.path(name), "shipped\n", keep));
        EXPECT_EQ(errno, EEXIST);
        EXPECT_TRUE(temporaryFilesBeside(dir.path(name)).empty());
    }
    EXPECT_EQ(dir.read("mine.def"), "user's own\n");
    EXPECT_FALSE(fs::exists(dir.path("nothing")));
    ASSERT_TRUE(host::writeWholeFile(dir.path("new.def"), "shipped\n", keep));
    EXPECT_EQ(dir.read("new.def"), "shipped\n");
    host::forgetFilesAsRead();
}

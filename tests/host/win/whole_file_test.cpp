// The one reader and the one writer of whole files against a folder built
// as an attacker would build it: a link planted where a temporary file
// might go, a FIFO or a device under a support file's name, a file far
// larger than any support file; and against a second program that edits a
// file this one works from a value it kept from an earlier command.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

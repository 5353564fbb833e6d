// What the file services guard against: a write into the shipped folder, a
// file another program changed since it was read, a disk that takes no
// more, and a temporary folder someone else planted under a name that a
// process id foretells.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "host/util/findfile.h"
#include "host/win/files.h"
#include "tests/host/win_testdir.h"

namespace fs = std::filesystem;

namespace {

// TMPDIR pointed at a folder of the test's own while it lives.
class TemporaryBase {
public:
    explicit TemporaryBase(const std::string& folder) {
        if (const char* was = std::getenv("TMPDIR")) m_was = was;
        ::setenv("TMPDIR", folder.c_str(), 1);
        host::removeTemporaryFolder();
    }
    ~TemporaryBase() {
        host::removeTemporaryFolder();
        if (m_was)
            ::setenv("TMPDIR", m_was->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    TemporaryBase(const TemporaryBase&) = delete;
    TemporaryBase& operator=(const TemporaryBase&) = delete;

private:
    std::optional<std::string> m_was;
};

std::size_t entries(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

TEST(FilesTemporaryFolder, planted_link_and_folder_under_the_old_name_are_never_used_or_emptied) {
    TestDir dir;
    fs::create_directories(dir.path("tmp"));
    fs::create_directories(dir.path("victim"));
    dir.write("victim/keep.txt", "mine");
    dir.write("victim/LAYERPOV.DEF", "3DWALLS,T_Planted,1,2\n");
    const std::string oldName = dir.path("tmp") + "/velmor-" + std::to_string(::getpid());
    fs::create_directory_symlink(dir.path("victim"), oldName);
    fs::create_directories(dir.path("support"));
    dir.write("support/LAYERPOV.DEF", "3DWALLS,T_Stone8,1,2\n");
    host::setSupportFolders({dir.path("support")});
    {
        TemporaryBase base(dir.path("tmp"));
        // A run that never needs the folder makes none and removes nothing.
        EXPECT_EQ(host::temporaryFolder(false), "");
        host::removeTemporaryFolder();
        EXPECT_EQ(entries(dir.path("tmp")), 1u);
        EXPECT_EQ(dir.read("victim/keep.txt"), "mine");

        const std::string made = host::temporaryFolder();
        ASSERT_FALSE(made.empty());
        EXPECT_NE(made, oldName + "/");
        EXPECT_EQ(host::temporaryFolder(), made);
        struct stat st {};
        ASSERT_EQ(::lstat(made.substr(0, made.size() - 1).c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        // What lies in it is not on the support path: a file of that name
        // there, or in the planted folder, is not what a search finds.
        std::ofstream(made + "LAYERPOV.DEF") << "3DWALLS,T_Temp,1,2\n";
        EXPECT_EQ(host::findOnSupportPath("LAYERPOV.DEF"), dir.path("support") + "/LAYERPOV.DEF");
        // A link put in it goes as a link when the folder goes.
        fs::create_symlink(dir.path("victim/keep.txt"), made + "link");
        host::removeTemporaryFolder();
        EXPECT_FALSE(fs::exists(made));
        EXPECT_EQ(host::temporaryFolder(false), "");
    }
    EXPECT_EQ(dir.read("victim/keep.txt"), "mine");
    EXPECT_EQ(dir.read("victim/LAYERPOV.DEF"), "3DWALLS,T_Planted,1,2\n");
    EXPECT_TRUE(fs::is_symlink(oldName));
    // A real folder planted there instead: neither searched nor emptied.
    fs::remove(oldName);
    fs::create_directory(oldName);
    std::ofstream(oldName + "/LAYERPOV.DEF") << "3DWALLS,T_Planted,1,2\n";
    {
        TemporaryBase base(dir.path("tmp"));
        ASSERT_FALSE(host::temporaryFolder().empty());
        EXPECT_EQ(host::findOnSupportPath("LAYERPOV.DEF"), dir.path("support") + "/LAYERPOV.DEF");
    }
    EXPECT_TRUE(fs::exists(oldName + "/LAYERPOV.DEF"));
    EXPECT_EQ(entries(dir.path("tmp")), 1u);
    host::setSupportFolders({});
}

TEST(FilesGuard, the_shipped_folder_is_never_written_even_through_a_link) {
    TestDir dir;
    fs::create_directories(dir.path("shipped/tab"));
    fs::create_directories(dir.path("user"));
    dir.write("shipped/LAYERVRML.DEF", "3DWALLS,3,2,0,1\n");
    fs::create_symlink(dir.path("shipped/LAYERVRML.DEF"), dir.path("user/LAYERVRML.DEF"));
    host::setProtectedFolders({dir.path("shipped")});
    std::string error;
    for (const std::string& target : {dir.path("shipped/LAYERVRML.DEF"), dir.path("shipped/tab/NEW.DEF"),
                                      dir.path("user/LAYERVRML.DEF")}) {
        error.clear();
        EXPECT_FALSE(host::writeFileAtomically(target, "edited\n", &error)) << target;
        EXPECT_NE(error.find("nie można zapisać " + dir.path("shipped")), std::string::npos) << error;
    }
    EXPECT_EQ(dir.read("shipped/LAYERVRML.DEF"), "3DWALLS,3,2,0,1\n");
    EXPECT_FALSE(fs::exists(dir.path("shipped/tab/NEW.DEF")));
    EXPECT_TRUE(host::writeFileAtomically(dir.path("user/OTHER.DEF"), "x\n"));
    host::setProtectedFolders({});
}

TEST(FilesGuard, a_file_changed_since_it_was_read_is_not_replaced_unless_merged) {
    TestDir dir;
    dir.write("table.def", "a,1\nb,1\n");
    std::string bytes;
    ASSERT_TRUE(host::readWholeFile(dir.path("table.def"), bytes));
    dir.write("table.def", "a,1\nb,2\n");  // another program's edit
    std::string error;
    EXPECT_FALSE(host::writeFileAtomically(dir.path("table.def"), "a,3\nb,1\n", &error));
    EXPECT_NE(error.find(dir.path("table.def")), std::string::npos) << error;
    EXPECT_EQ(dir.read("table.def"), "a,1\nb,2\n");
    // A merge sees what was read and what is there now; what it gives is written.
    std::string seenRead, seenNow;
    EXPECT_TRUE(host::writeFileMerging(
        dir.path("table.def"), "a,3\nb,1\n",
        [&](std::string_view asRead, std::string_view now) -> std::optional<std::string> {
            seenRead = asRead;
            seenNow = now;
            return std::string("a,3\nb,2\n");
        }));
    EXPECT_EQ(seenRead, "a,1\nb,1\n");
    EXPECT_EQ(seenNow, "a,1\nb,2\n");
    EXPECT_EQ(dir.read("table.def"), "a,3\nb,2\n");
    // What this process wrote is what the next write starts from.
    EXPECT_TRUE(host::writeFileAtomically(dir.path("table.def"), "a,4\nb,2\n"));
    // A merge that cannot put both together refuses.
    dir.write("table.def", "a,5\nb,2\n");
    EXPECT_FALSE(host::writeFileMerging(dir.path("table.def"), "a,6\nb,2\n",
                                        [](std::string_view, std::string_view) { return std::nullopt; }));
    EXPECT_EQ(dir.read("table.def"), "a,5\nb,2\n");
    // Once the command that read it is over, a write replaces as before.
    host::forgetFilesAsRead();
    EXPECT_TRUE(host::writeFileAtomically(dir.path("table.def"), "a,6\nb,2\n"));
}

TEST(FilesGuard, a_disk_that_takes_no_more_fails_the_write_with_its_reason_and_keeps_the_file) {
    TestDir dir;
    dir.write("big.def", "old\n");
    EXPECT_TRUE(trueUnderFileSizeLimit(4096, [&] {
        std::string error;
        const bool written = host::writeFileAtomically(dir.path("big.def"), std::string(100000, 'x'), &error);
        return !written && error.find("nie można zapisać " + dir.path("big.def") + ": ") == 0;
    }));
    EXPECT_EQ(dir.read("big.def"), "old\n");
    EXPECT_TRUE(temporaryFilesBeside(dir.path("big.def")).empty());
}

TEST(FilesGuard, a_folder_that_cannot_take_files_is_told_with_its_reason) {
    TestDir dir;
    // The probe leaves the folder's time as it was, so that what is kept
    // from the folder is not taken for what was read from a folder just
    // written.
    fs::last_write_time(dir.path(), fs::file_time_type::clock::now() - std::chrono::minutes(1));
    const fs::file_time_type before = fs::last_write_time(dir.path());
    EXPECT_EQ(host::folderUnwritable(dir.path()), std::nullopt);
    EXPECT_EQ(fs::last_write_time(dir.path()), before);
    dir.write("file", "x");
    EXPECT_EQ(host::folderUnwritable(dir.path("file")), "część ścieżki nie jest katalogiem");
    EXPECT_TRUE(host::folderUnwritable(dir.path("file/velmor")).has_value());
    EXPECT_FALSE(host::copyMissing(dir.path(), dir.path("file/velmor")));
    EXPECT_EQ(entries(dir.path()), 1u);
    if (::geteuid() != 0) {
        fs::create_directories(dir.path("locked"));
        fs::permissions(dir.path("locked"), fs::perms(0555));
        EXPECT_EQ(host::folderUnwritable(dir.path("locked")), "brak dostępu");
    }
}

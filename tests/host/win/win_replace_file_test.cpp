// Whole-file replacement: a link under the name is replaced, never written
// through; a file not committed leaves the name as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "host/win/replace_file.h"
#include "tests/host/win_testdir.h"

namespace fs = std::filesystem;

TEST(ReplaceFile, a_link_under_the_name_is_replaced_and_its_target_kept) {
    TestDir dir;
    dir.write("victim.txt", "precious\n");
    fs::create_symlink(dir.path("victim.txt"), dir.path("out.pov"));
    fs::create_symlink(dir.path("missing/elsewhere.txt"), dir.path("dangling.pov"));
    ASSERT_TRUE(host::replaceFile(dir.path("out.pov"), "scene\n"));
    ASSERT_TRUE(host::replaceFile(dir.path("dangling.pov"), "scene\n"));
    EXPECT_EQ(dir.read("victim.txt"), "precious\n");
    EXPECT_FALSE(fs::exists(dir.path("missing")));
    EXPECT_FALSE(fs::is_symlink(dir.path("out.pov")));
    EXPECT_EQ(dir.read("out.pov"), "scene\n");
    EXPECT_EQ(dir.read("dangling.pov"), "scene\n");
    // Only the two files: no temporary file left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST(ReplaceFile, an_uncommitted_or_refused_file_leaves_the_name_as_it_was) {
    TestDir dir;
    dir.write("out.wrl", "old\n");
    {
        host::ReplacingFile file;
        ASSERT_TRUE(file.open(dir.path("out.wrl")));
        std::fputs("half", file.stream());
    }
    EXPECT_EQ(dir.read("out.wrl"), "old\n");
    fs::create_directories(dir.path("folder.wrl"));
    std::string error;
    EXPECT_FALSE(host::replaceFile(dir.path("folder.wrl"), "x", &error));
    EXPECT_NE(error.find("folder.wrl"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir.path("folder.wrl")));
    EXPECT_FALSE(host::replaceFile(dir.path("no/such/folder/out.wrl"), "x", &error));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// Support-file search: folders in order, names whatever their case,
// Windows separators in the name.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"

TEST(FindFile, support_folders_are_searched_in_order_ignoring_case) {
    TestDir dir;
    std::filesystem::create_directories(dir.path("first"));
    std::filesystem::create_directories(dir.path("second/sub"));
    dir.write("second/LAYERC.DEF", "a");
    dir.write("first/Only.txt", "b");
    dir.write("second/sub/Deep.pat", "c");
    host::setSupportFolders({dir.path("first"), dir.path("second") + "/"});
    char buf[512];
    ASSERT_EQ(zcedFindFile("layerc.def", buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("second") + "/LAYERC.DEF");
    ASSERT_EQ(zcedFindFile("ONLY.TXT", buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("first") + "/Only.txt");
    EXPECT_EQ(zcedFindFile("missing.def", buf), RTERROR);
    // A name with a folder is looked up there, "\" read as "/".
    std::string windows = dir.path("second") + "\\sub\\deep.PAT";
    ASSERT_EQ(zcedFindFile(windows.c_str(), buf), RTNORM);
    EXPECT_EQ(std::string(buf), dir.path("second") + "/sub/Deep.pat");
    // A result that does not fit is an error, not a cut path.
    char small[8];
    EXPECT_EQ(zcedFindFile("layerc.def", small), RTERROR);
    // A provider replaces the fixed list.
    host::setSupportPathProvider([&] { return std::vector<std::string>{dir.path("first")}; });
    EXPECT_EQ(zcedFindFile("layerc.def", buf), RTERROR);
    EXPECT_EQ(zcedFindFile("only.txt", buf), RTNORM);
    host::setSupportPathProvider(nullptr);
    host::setSupportFolders({});
}

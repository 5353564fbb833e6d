// The user's own render table may be a link to where the user keeps it:
// the user's data folder is the user's, so the link is followed and the
// table read, where the same link beside a drawing would be refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "host/ed/hostinit.h"
#include "tests/host/win_testdir.h"
#include "visual/povray/pov_tables.h"

TEST(UserRenderTable, a_layer_table_linked_from_the_users_data_folder_is_the_one_read) {
    TestDir dir;
    std::optional<std::string> was;
    if (const char* home = std::getenv("XDG_DATA_HOME")) was = home;
    ::setenv("XDG_DATA_HOME", dir.path("home").c_str(), 1);
    std::filesystem::create_directories(dir.path("support"));
    std::filesystem::create_directories(dir.path("home/velmor"));
    std::filesystem::create_directories(dir.path("kept"));
    dir.write("support/LAYERPOV.DEF", "**Ściany,\n3DWALLS,Cegla,1.000000,0\n");
    dir.write("kept/LAYERPOV.DEF", "**Dachy,\n3DROOF,Dachowka,2.000000,0\n3DEAVES,Blacha,1.000000,0\n");
    std::filesystem::create_symlink("../../kept/LAYERPOV.DEF", dir.path("home/velmor/LAYERPOV.DEF"));
    host::startHost({{}, dir.path()});

    AAR_LAYERPOV table;
    const bool read = ReadLayerPovDef(table);

    host::startHost({});
    was ? ::setenv("XDG_DATA_HOME", was->c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
    ASSERT_TRUE(read);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1].layer, "3DROOF");
    EXPECT_EQ(table[2].layer, "3DEAVES");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path("home/velmor/LAYERPOV.DEF")));
}

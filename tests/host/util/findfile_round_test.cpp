// Where a name was found on the support path serves the rest of its command
// round: a file this process writes, moves or removes, or a folder it makes,
// ends the round, and so does the command's end; what another program does
// meanwhile is seen by the next command. A folder's listing (for names in
// another case) is kept as the folder's value: it goes once the folder
// changes, is replaced by another or removed, even with its time put back.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/util/findfile.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "tests/host/kept_file_folders.h"
#include "tests/host/win_testdir.h"

namespace fs = std::filesystem;

TEST(SupportPathRound, a_name_found_serves_until_this_process_changes_a_file_or_the_command_ends) {
    TestDir dir;
    UseTwoSupportFolders(dir);
    const std::string first = dir.path("first") + "/", second = dir.path("second") + "/";
    dir.write("second/Cat.def", "a");
    host::startCommandKeptFileValues();
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), second + "Cat.def");
    EXPECT_EQ(host::findOnSupportPath("dog.def"), std::nullopt);

    // Another program's files: this command goes on with what it found.
    dir.write("first/cat.def", "b");
    dir.write("second/Dog.def", "c");
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), second + "Cat.def");
    EXPECT_EQ(host::findOnSupportPath("dog.def"), std::nullopt);
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(host::keptCommandRound(), 0u);
    host::startCommandKeptFileValues();
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), first + "cat.def");
    EXPECT_EQ(host::findOnSupportPath("dog.def"), second + "Dog.def");

    // This process's own changes are seen at once: a file removed, one
    // moved, one written, a folder made.
    const unsigned long long round = host::keptCommandRound();
    ASSERT_TRUE(DeleteFileW((first + "cat.def").c_str()));
    EXPECT_NE(host::keptCommandRound(), round);
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), second + "Cat.def");
    ASSERT_TRUE(MoveFileW((second + "Dog.def").c_str(), (first + "DOG.DEF").c_str()));
    EXPECT_EQ(host::findOnSupportPath("dog.def"), first + "DOG.DEF");
    EXPECT_EQ(host::findOnSupportPath("new.def"), std::nullopt);
    ASSERT_TRUE(host::writeFileAtomically(second + "New.def", "d"));
    EXPECT_EQ(host::findOnSupportPath("new.def"), second + "New.def");
    EXPECT_EQ(host::findOnSupportPath(first + "sub/deep.def"), std::nullopt);
    fs::create_directories(first + "sub");
    dir.write("first/sub/Deep.def", "e");
    EXPECT_EQ(host::findOnSupportPath(first + "sub/deep.def"), std::nullopt);
    ASSERT_TRUE(CreateDirectoryW((first + "made").c_str(), nullptr));
    EXPECT_EQ(host::findOnSupportPath(first + "sub/deep.def"), first + "sub/Deep.def");
    host::forgetCommandKeptFileValues();

    // Outside a command every look-up asks the folders.
    fs::remove(dir.path("first/DOG.DEF"));
    EXPECT_EQ(host::findOnSupportPath("dog.def"), std::nullopt);
    host::setSupportPathProvider(nullptr);
}

TEST(SupportPathRound, a_folders_listing_serves_until_the_folder_is_changed_replaced_or_removed) {
    TestDir dir;
    UseTwoSupportFolders(dir);
    const std::string first = dir.path("first");
    dir.write("first/Cat.def", "a");
    AgeFile(first);
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), first + "/Cat.def");

    // Renamed inside, the folder's time put back.
    const fs::file_time_type time = fs::last_write_time(first);
    fs::rename(first + "/Cat.def", first + "/Dog.def");
    fs::last_write_time(first, time);
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), std::nullopt);
    EXPECT_EQ(host::findOnSupportPath("DOG.DEF"), first + "/Dog.def");

    // Replaced by another folder of the same size and time.
    fs::create_directories(dir.path("other"));
    dir.write("other/Cat.def", "b");
    fs::last_write_time(dir.path("other"), fs::last_write_time(first));
    fs::remove_all(first);
    fs::rename(dir.path("other"), first);
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), first + "/Cat.def");
    EXPECT_EQ(host::findOnSupportPath("DOG.DEF"), std::nullopt);

    // Removed.
    fs::remove_all(first);
    EXPECT_EQ(host::findOnSupportPath("CAT.DEF"), std::nullopt);
    host::setSupportPathProvider(nullptr);
    host::forgetKeptFileValues();
}

// Within one round the path may change (another drawing made current, a
// script started): a name is looked up in the path of the moment, and
// found again where it was once the path is back.
TEST(SupportPathRound, a_path_changed_within_a_round_is_searched_as_it_now_is) {
    TestDir dir;
    fs::create_directories(dir.path("a"));
    fs::create_directories(dir.path("b"));
    fs::create_directories(dir.path("script"));
    dir.write("a/Cat.def", "a");
    dir.write("b/CAT.DEF", "b");
    dir.write("script/cat.def", "s");
    const std::string a = dir.path("a"), b = dir.path("b");
    std::vector<std::string> path{a};
    host::setSupportPathProvider([&path] { return path; });
    host::startCommandKeptFileValues();
    EXPECT_EQ(host::findOnSupportPath("cat.def"), a + "/Cat.def");
    path = {b, a};
    EXPECT_EQ(host::findOnSupportPath("cat.def"), b + "/CAT.DEF");
    path = {a};
    EXPECT_EQ(host::findOnSupportPath("cat.def"), a + "/Cat.def");
    host::setScriptFolder(dir.path("script"));
    EXPECT_EQ(host::findOnSupportPath("cat.def"), dir.path("script") + "/cat.def");
    host::setScriptFolder({});
    EXPECT_EQ(host::findOnSupportPath("cat.def"), a + "/Cat.def");
    host::forgetCommandKeptFileValues();
    host::setSupportPathProvider(nullptr);
    host::forgetKeptFileValues();
}

// A shared provider's list is taken as unchanged while it is the same list;
// another list is compared by its folders, so a list made again alike keeps
// what the round found and a list of other folders is searched afresh.
TEST(SupportPathRound, a_shared_path_is_searched_afresh_only_when_its_folders_change) {
    TestDir dir;
    fs::create_directories(dir.path("a"));
    fs::create_directories(dir.path("b"));
    dir.write("b/CAT.DEF", "b");
    const std::string a = dir.path("a"), b = dir.path("b");
    auto path = std::make_shared<const std::vector<std::string>>(std::vector{a, b});
    host::setSharedSupportPathProvider([&path] { return path; });
    host::startCommandKeptFileValues();
    EXPECT_EQ(host::findOnSupportPath("cat.def"), b + "/CAT.DEF");
    dir.write("a/Cat.def", "a");  // another program's file: seen next command
    EXPECT_EQ(host::findOnSupportPath("cat.def"), b + "/CAT.DEF");
    path = std::make_shared<const std::vector<std::string>>(std::vector{a, b});
    EXPECT_EQ(host::findOnSupportPath("cat.def"), b + "/CAT.DEF");
    path = std::make_shared<const std::vector<std::string>>(std::vector{a});
    EXPECT_EQ(host::findOnSupportPath("cat.def"), a + "/Cat.def");
    EXPECT_EQ(host::supportFolders(), std::vector<std::string>{a});
    host::forgetCommandKeptFileValues();
    host::setSharedSupportPathProvider(nullptr);
    host::forgetKeptFileValues();
}

// Folders old enough to vouch for keep what was found into later commands;
// a name another program adds, removes or renames in any folder searched is
// seen by the next command, even with the folder's time put back, and so is
// a folder replaced by another or one not there before.
TEST(SupportPathRound, what_was_found_serves_later_commands_while_every_folder_searched_is_as_it_was) {
    TestDir dir;
    UseTwoSupportFolders(dir);
    const std::string first = dir.path("first"), second = dir.path("second");
    dir.write("second/Cat.def", "a");
    AgeFile(first);
    AgeFile(second);
    const auto command = [](const std::string& name) {
        host::startCommandKeptFileValues();
        std::optional<std::string> found = host::findOnSupportPath(name);
        host::forgetCommandKeptFileValues();
        return found;
    };
    EXPECT_EQ(command("CAT.DEF"), second + "/Cat.def");
    EXPECT_EQ(command("cat.def"), second + "/Cat.def");
    EXPECT_EQ(command("dog.def"), std::nullopt);

    // Added to the first folder, which is then young: looked up again.
    dir.write("first/cat.DEF", "b");
    EXPECT_EQ(command("CAT.DEF"), first + "/cat.DEF");
    AgeFile(first);
    EXPECT_EQ(command("CAT.DEF"), first + "/cat.DEF");

    // Removed, and renamed with the folder's time put back.
    fs::remove(first + "/cat.DEF");
    AgeFile(first);
    EXPECT_EQ(command("CAT.DEF"), second + "/Cat.def");
    const fs::file_time_type time = fs::last_write_time(second);
    fs::rename(second + "/Cat.def", second + "/Dog.def");
    fs::last_write_time(second, time);
    EXPECT_EQ(command("CAT.DEF"), std::nullopt);
    EXPECT_EQ(command("dog.def"), second + "/Dog.def");

    // Replaced by another folder of the same time.
    fs::create_directories(dir.path("other"));
    dir.write("other/DOG.DEF", "c");
    fs::last_write_time(dir.path("other"), time);
    fs::remove_all(second);
    fs::rename(dir.path("other"), second);
    EXPECT_EQ(command("dog.def"), second + "/DOG.DEF");

    // A folder part that was not there, made since.
    EXPECT_EQ(command(first + "/sub/deep.def"), std::nullopt);
    fs::create_directories(first + "/sub");
    dir.write("first/sub/Deep.def", "d");
    AgeFile(first + "/sub");
    EXPECT_EQ(command(first + "/sub/deep.def"), first + "/sub/Deep.def");
    host::setSupportPathProvider(nullptr);
    host::forgetKeptFileValues();
}

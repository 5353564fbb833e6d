// A value worked out from a file serves only while the file is as it was:
// not once its size or times changed, nor once another file took its name,
// nor after this process wrote any file, nor after the values were dropped.
// Within a command a file is looked at once per round: what another program
// does meanwhile is seen by the next command. A command's end drops only
// what came from files modified too recently to vouch for; outside a
// command such values are not kept at all.
#include "host/win/kept_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "host/win/files.h"
#include "tests/host/win_testdir.h"

namespace {

std::shared_ptr<const void> Value(int n) {
    return std::make_shared<const int>(n);
}

int Kept(const std::string& path) {
    auto v = std::static_pointer_cast<const int>(host::keptFileValue(path, "test"));
    return v ? *v : -1;
}

// The file as a file last written a minute ago: its times tell any later
// change apart.
void Age(const std::string& path) {
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
}

}  // namespace

TEST(KeptFiles, a_value_serves_until_its_file_or_any_write_or_a_drop_makes_it_stale) {
    host::startCommandKeptFileValues();  // as a command does
    TestDir dir;
    dir.write("a.def", "one");
    const std::string a = dir.path("a.def");
    host::keepFileValue(a, "test", Value(1));
    EXPECT_EQ(Kept(a), 1);
    EXPECT_EQ(host::keptFileValue(a, "other"), nullptr);

    dir.write("a.def", "three");  // another size, by another program
    EXPECT_EQ(Kept(a), 1) << "the command goes on with the file as it first looked at it";
    ASSERT_TRUE(host::writeFileAtomically(dir.path("b.def"), "x"));  // ends the round
    EXPECT_EQ(Kept(a), -1);

    host::keepFileValue(a, "test", Value(2));
    const auto later = std::filesystem::last_write_time(a) + std::chrono::seconds(5);
    std::filesystem::last_write_time(a, later);  // the same size, touched
    host::forgetCommandKeptFileValues();
    host::startCommandKeptFileValues();
    EXPECT_EQ(Kept(a), -1);

    host::keepFileValue(a, "test", Value(3));
    ASSERT_TRUE(host::writeFileAtomically(dir.path("b.def"), "x"));
    EXPECT_EQ(Kept(a), -1);

    host::keepFileValue(a, "test", Value(4));
    EXPECT_EQ(Kept(a), 4);
    host::forgetKeptFileValues();
    EXPECT_EQ(Kept(a), -1);

    std::filesystem::remove(a);
    host::keepFileValue(a, "test", Value(5));  // no file: nothing kept
    EXPECT_EQ(Kept(a), -1);
    host::forgetCommandKeptFileValues();
}

// The module writes Windows paths: either spelling of a path finds the one
// value, and each kind keeps its own.
TEST(KeptFiles, a_value_serves_its_path_in_either_spelling_and_its_kind_alone) {
    host::startCommandKeptFileValues();
    TestDir dir;
    dir.write("a.def", "one");
    const std::string a = dir.path("a.def");
    std::string windows = a;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    host::keepFileValue(windows, "test", Value(1));
    host::keepFileValue(a, "a kind with a longer name", Value(2));
    EXPECT_EQ(Kept(a), 1);
    EXPECT_EQ(Kept(windows), 1);
    auto other =
        std::static_pointer_cast<const int>(host::keptFileValue(windows, "a kind with a longer name"));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(*other, 2);
    EXPECT_EQ(host::keptFileValue(a, "a kind"), nullptr);
    host::forgetKeptFileValues();
    host::forgetCommandKeptFileValues();
}

TEST(KeptFiles, a_settled_files_value_outlives_the_command_until_the_file_is_changed_replaced_or_removed) {
    TestDir dir;
    dir.write("a.def", "one");
    const std::string a = dir.path("a.def");
    Age(a);
    dir.write("young.def", "two");
    const std::string young = dir.path("young.def");
    host::startCommandKeptFileValues();
    host::keepFileValue(a, "test", Value(1));
    host::keepFileValue(young, "test", Value(2));
    EXPECT_EQ(Kept(young), 2) << "a file just written serves the command that read it";
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(Kept(a), 1) << "a file as it was serves the next command";
    EXPECT_EQ(Kept(young), -1) << "a file just written is read again by the next command";
    host::keepFileValue(young, "test", Value(2));
    EXPECT_EQ(Kept(young), -1) << "nor is it kept outside a command";

    // Rewritten in place to the same size, its old time put back (as a copy
    // keeping times does): the change time tells.
    dir.write("a.def", "two");
    EXPECT_EQ(Kept(a), -1);
    Age(a);
    host::keepFileValue(a, "test", Value(3));
    ASSERT_EQ(Kept(a), 3);
    const auto written = std::filesystem::last_write_time(a);
    dir.write("a.def", "six");
    std::filesystem::last_write_time(a, written);
    EXPECT_EQ(Kept(a), -1);

    // Replaced by another file of the same size and time.
    host::keepFileValue(a, "test", Value(4));
    dir.write("b.def", "ten");
    std::filesystem::last_write_time(dir.path("b.def"), std::filesystem::last_write_time(a));
    std::filesystem::rename(dir.path("b.def"), a);
    EXPECT_EQ(Kept(a), -1);

    // Removed, and another written under its name.
    host::keepFileValue(a, "test", Value(5));
    host::forgetCommandKeptFileValues();
    ASSERT_EQ(Kept(a), 5);
    std::filesystem::remove(a);
    EXPECT_EQ(Kept(a), -1);
    dir.write("a.def", "one");
    Age(a);
    EXPECT_EQ(Kept(a), -1);
    host::forgetKeptFileValues();
}

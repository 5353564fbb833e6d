// A value worked out from a file serves only while the file is as it was:
// not once its size or modification time changed, nor after this process
// wrote any file, nor after the values were dropped (as every command's
// end drops them).
#include "host/win/kept_files.h"

#include <gtest/gtest.h>

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

}  // namespace

TEST(KeptFiles, a_value_serves_until_its_file_or_any_write_or_a_drop_makes_it_stale) {
    TestDir dir;
    dir.write("a.def", "one");
    const std::string a = dir.path("a.def");
    host::keepFileValue(a, "test", Value(1));
    EXPECT_EQ(Kept(a), 1);
    EXPECT_EQ(host::keptFileValue(a, "other"), nullptr);

    dir.write("a.def", "three");  // another size
    EXPECT_EQ(Kept(a), -1);

    host::keepFileValue(a, "test", Value(2));
    const auto later = std::filesystem::last_write_time(a) + std::chrono::seconds(5);
    std::filesystem::last_write_time(a, later);  // the same size, touched
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
}

// The main of every test program: a listener puts the host back to a fresh
// start before each test, so a test that forgets its own reset cannot leave
// state behind for the next one when the program runs as one process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/harness/harness.h"

namespace {

class FreshHost : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { host::resetAll(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHost);
    // The user's data and configuration folders the host (and a host
    // program a test starts) writes: the ones the test runner gives, else
    // folders of this run alone, never the home of whoever runs the tests.
    std::filesystem::path own;
    if (!std::getenv("XDG_DATA_HOME") || !std::getenv("XDG_CONFIG_HOME")) {
        own = std::filesystem::temp_directory_path() / ("velm_test_user_" + std::to_string(::getpid()));
        ::setenv("XDG_DATA_HOME", (own / "data").c_str(), 0);
        ::setenv("XDG_CONFIG_HOME", (own / "config").c_str(), 0);
    }
    const int status = RUN_ALL_TESTS();
    if (!own.empty()) std::filesystem::remove_all(own);
    return status;
}

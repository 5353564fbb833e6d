// The main of every test program: a listener puts the host back to a fresh
// start before each test, so a test that forgets its own reset cannot leave
// state behind for the next one when the program runs as one process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "host/harness/harness.h"

namespace {

class FreshHost : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { host::resetAll(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshHost);
    // The user's home, data, configuration, cache, documents and temporary
    // folders the host (and a host program a test starts) writes: folders
    // of this run alone, removed at its end, never those of whoever runs
    // the tests nor those another test program shares.
    std::filesystem::path own = std::filesystem::temp_directory_path() / "velm_test_XXXXXX";
    std::string made = own.string();
    if (!::mkdtemp(made.data())) return 2;
    own = made;
    const std::pair<const char*, const char*> folders[] = {{"HOME", "home"},
                                                           {"XDG_DATA_HOME", "data"},
                                                           {"XDG_CONFIG_HOME", "config"},
                                                           {"XDG_CACHE_HOME", "cache"},
                                                           {"XDG_DOCUMENTS_DIR", "documents"},
                                                           {"TMPDIR", "tmp"}};
    for (const auto& [name, folder] : folders) {
        std::filesystem::create_directories(own / folder);
        ::setenv(name, (own / folder).c_str(), 1);
    }
    const int status = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(own, ignored);
    return status;
}

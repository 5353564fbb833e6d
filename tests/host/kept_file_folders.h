// What the tests of values kept from support files share: two support
// folders searched in turn, and files made old enough to be trusted.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"

// Makes the file look written a minute ago: a value worked out from a file
// that young outlives its command.
inline void AgeFile(const std::string& path) {
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
}

// The test folder's "first" and "second", made and searched in that order;
// the caller sets the provider back.
inline void UseTwoSupportFolders(const TestDir& dir) {
    std::filesystem::create_directories(dir.path("first"));
    std::filesystem::create_directories(dir.path("second"));
    const std::string first = dir.path("first"), second = dir.path("second");
    host::setSupportPathProvider([first, second] { return std::vector<std::string>{first, second}; });
}

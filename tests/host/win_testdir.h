// A fresh folder per test under the build tree, named after the test and
// the process, so tests running in parallel (the same test in two runs of
// its program too) never share files; removed when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

class TestDir {
public:
    TestDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ =
            std::filesystem::path(VELM_BINARY_DIR) / "test_tmp" /
            (std::string(info->test_suite_name()) + "." + info->name() + "." + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string path(const std::string& name = "") const {
        return name.empty() ? path_.string() : (path_ / name).string();
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

// The temporary files the whole-file writer left beside `file`:
// none once a write ended, whether it succeeded or failed.
inline std::vector<std::string> temporaryFilesBeside(const std::string& file) {
    const std::filesystem::path target(file);
    const std::string prefix = "." + target.filename().string().substr(0, 40) + ".";
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), ec))
        // ".NAME.PID.XXXXXX": the writing process and six random characters.
        if (const std::string name = entry.path().filename().string();
            name.size() >= prefix.size() + 8 && name.compare(0, prefix.size(), prefix) == 0 &&
            name[name.size() - 7] == '.' &&
            name.find_first_not_of("0123456789", prefix.size()) == name.size() - 7)
            found.push_back(name);
    return found;
}

// Whether `body` returns true when run in a child process whose files may
// grow to `bytes` at most: the limit stands for a full disk, a write
// stopping part way as it does when the space runs out.
inline bool trueUnderFileSizeLimit(rlim_t bytes, const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

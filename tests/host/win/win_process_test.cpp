// Process start: error codes, real starts that do not wait, the recorder
// and the Windows command-line splitting.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "host/win/process.h"
#include "tests/host/win_testdir.h"

namespace {

BOOL start(const char* app, std::string cmd, DWORD flags, const char* folder, PROCESS_INFORMATION& pi) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(app, cmd.empty() ? nullptr : cmd.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          folder, &si, &pi);
}

}  // namespace

TEST(Process, missing_program_fails_with_file_not_found) {
    PROCESS_INFORMATION pi{};
    SetLastError(0);
    EXPECT_FALSE(start("/no/such/folder/pvengine64.exe", " +I\"a.pov\"", HIGH_PRIORITY_CLASS, nullptr, pi));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    host::setHelpViewer("");
    SetLastError(0);
    EXPECT_FALSE(start(nullptr, "HH.EXE /tmp/velmor.chm", HIGH_PRIORITY_CLASS, nullptr, pi));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Process, a_file_that_cannot_run_is_access_denied) {
    TestDir dir;
    dir.write("notes.txt", "not a program\n");
    PROCESS_INFORMATION pi{};
    EXPECT_FALSE(start(dir.path("notes.txt").c_str(), "", 0, nullptr, pi));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Process, missing_current_folder_is_refused) {
    PROCESS_INFORMATION pi{};
    EXPECT_FALSE(start("/bin/sh", "sh -c true", 0, "/no/such/folder", pi));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST(Process, real_start_returns_handles_and_does_not_wait) {
    TestDir dir;
    dir.write("tool.sh", "#!/bin/sh\nexit 0\n");
    ::chmod(dir.path("tool.sh").c_str(), 0755);
    PROCESS_INFORMATION pi{};
    // Found by bare name in the given current folder.
    ASSERT_TRUE(start(nullptr, "tool.sh arg", NORMAL_PRIORITY_CLASS, dir.path().c_str(), pi));
    EXPECT_NE(pi.hProcess, nullptr);
    EXPECT_NE(pi.hThread, nullptr);
    EXPECT_GT(pi.dwProcessId, 0u);
    // The child runs in the test's folder: it ends before the folder goes,
    // or it finds neither its script nor its current folder. Waited for
    // before the handles close, which collect a finished child.
    int status = 0;
    EXPECT_EQ(::waitpid(static_cast<pid_t>(pi.dwProcessId), &status, 0), static_cast<pid_t>(pi.dwProcessId));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_TRUE(CloseHandle(pi.hThread));
    EXPECT_FALSE(CloseHandle(pi.hThread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Process, recorder_lists_help_viewer_starts) {
    host::ProcessRecorder recorder;
    host::setHelpViewer("/usr/bin/velm-help");
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(start(nullptr, "HH.EXE C:\\velm\\velmor.chm", HIGH_PRIORITY_CLASS, nullptr, pi));
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_TRUE(CloseHandle(pi.hThread));
    ASSERT_EQ(recorder.started().size(), 1u);
    const host::StartedProcess& s = recorder.started()[0];
    EXPECT_EQ(s.commandLine, "HH.EXE C:\\velm\\velmor.chm");
    EXPECT_EQ(s.program, "/usr/bin/velm-help");
    EXPECT_EQ(s.arguments, (std::vector<std::string>{"C:/velm/velmor.chm"}));
    EXPECT_EQ(s.priorityClass, HIGH_PRIORITY_CLASS);
    EXPECT_FALSE(s.inheritHandles);
    EXPECT_TRUE(s.currentDirectory.empty());
    host::setHelpViewer("");
}

TEST(Process, recorder_keeps_the_render_engine_arguments) {
    host::ProcessRecorder recorder;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(start("C:\\POV\\bin\\pvengine-sse2.exe",
                      " +I\"C:\\p\\house$.pov\" +O\"C:\\p\\house$.bmp\" +D -V", 0x80, nullptr, pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    const host::StartedProcess& s = recorder.started().at(0);
    EXPECT_EQ(s.program, "C:/POV/bin/pvengine-sse2.exe");
    EXPECT_EQ(s.arguments, (std::vector<std::string>{"+IC:/p/house$.pov", "+OC:/p/house$.bmp", "+D", "-V"}));
}

TEST(Process, recorder_can_make_a_start_fail) {
    host::ProcessRecorder recorder;
    recorder.failNextWith(ERROR_FILE_NOT_FOUND);
    PROCESS_INFORMATION pi{};
    EXPECT_FALSE(start(nullptr, "HH.EXE x.chm", HIGH_PRIORITY_CLASS, nullptr, pi));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(start(nullptr, "HH.EXE x.chm", HIGH_PRIORITY_CLASS, nullptr, pi));  // only the next one
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(recorder.started().size(), 2u);
}

TEST(Process, command_lines_split_by_the_windows_rules) {
    using V = std::vector<std::string>;
    EXPECT_EQ(host::splitCommandLine("\"C:\\Program Files\\a.exe\" x \"y z\""),
              (V{"C:\\Program Files\\a.exe", "x", "y z"}));
    EXPECT_EQ(host::splitCommandLine(" +D"), (V{"", "+D"}));
    EXPECT_EQ(host::splitCommandLine("p a\\\\\"b c\" d\\\"e f\\g"), (V{"p", "a\\b c", "d\"e", "f\\g"}));
    EXPECT_EQ(host::splitCommandLine("p \"\"\"x\"\"\""), (V{"p", "\"x\""}));
    EXPECT_EQ(host::splitCommandLine("p   "), (V{"p"}));
}

// ---------------------------------------------------------------- argument lists

TEST(ProgramStart, each_argument_reaches_the_program_whole_whatever_it_holds) {
    // Random arguments of quotes, backslashes, blanks and option-like text:
    // the command line recorded splits back into exactly them.
    std::mt19937 random(7);
    const std::string alphabet = "a\" \\\t+-/O#{}x\xc5\x9b";
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> arguments(1 + random() % 4);
        for (std::string& a : arguments)
            for (std::size_t n = random() % 12; n > 0; --n) a += alphabet[random() % alphabet.size()];
        host::ProcessRecorder recorder;
        ASSERT_EQ(host::startProgram("/opt/engine", arguments, "", HIGH_PRIORITY_CLASS), 0u);
        ASSERT_EQ(recorder.started().size(), 1u);
        const host::StartedProcess& p = recorder.started()[0];
        EXPECT_EQ(p.arguments, arguments);
        std::vector<std::string> split = host::splitCommandLine(p.commandLine);
        ASSERT_FALSE(split.empty());
        EXPECT_EQ(split[0], "/opt/engine");
        EXPECT_EQ(std::vector<std::string>(split.begin() + 1, split.end()), arguments) << p.commandLine;
    }
}

TEST(ProgramStart, a_command_line_over_the_limit_starts_nothing) {
    host::ProcessRecorder recorder;
    const std::string longest(host::kCommandLineLimit - 1 - std::string("/opt/engine ").size(), 'x');
    EXPECT_EQ(host::startProgram("/opt/engine", {longest}, "", 0), 0u);
    EXPECT_EQ(host::startProgram("/opt/engine", {longest + "x"}, "", 0),
              static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(recorder.started().size(), 1u);
}

TEST(ProgramStart, a_program_is_found_on_the_absolute_folders_of_path_only) {
    TestDir dir;
    std::filesystem::create_directories(dir.path("bin"));
    for (const char* name : {"here/tool", "bin/tool"}) {
        std::filesystem::create_directories(std::filesystem::path(dir.path(name)).parent_path());
        dir.write(name, "#!/bin/sh\n");
        ::chmod(dir.path(name).c_str(), 0755);
    }
    const std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path("here"));
    ::setenv("PATH", (":.:here:" + dir.path("none")).c_str(), 1);
    EXPECT_EQ(host::findOnPath("tool"), "");  // the one in the current folder is not taken
    ::setenv("PATH", (".:" + dir.path("bin")).c_str(), 1);
    EXPECT_EQ(host::findOnPath("tool"), dir.path("bin/tool"));
    EXPECT_EQ(host::findOnPath("bin/tool"), "");
    std::filesystem::current_path(cwd);
    ::setenv("PATH", old.c_str(), 1);
}

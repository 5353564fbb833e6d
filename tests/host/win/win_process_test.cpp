// Process start: error codes, real starts that do not wait, the recorder
// and the Windows command-line splitting.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

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

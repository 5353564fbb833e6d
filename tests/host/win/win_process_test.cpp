// Process start: error codes, real starts that do not wait, the recorder
// and the Windows command-line splitting.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "host/win/confinement.h"
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
    ASSERT_TRUE(start(nullptr, dir.path("tool.sh") + " arg", NORMAL_PRIORITY_CLASS, dir.path().c_str(), pi));
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

// ---------------------------------------------------------------- what came with the files

namespace {

// PATH and the current folder set for one test, both back after it.
class ScopedPathAndFolder {
public:
    ScopedPathAndFolder(const std::string& path, const std::string& folder)
        : oldFolder_(std::filesystem::current_path()) {
        if (const char* old = std::getenv("PATH")) oldPath_ = old;
        ::setenv("PATH", path.c_str(), 1);
        std::filesystem::current_path(folder);
    }
    ~ScopedPathAndFolder() {
        std::filesystem::current_path(oldFolder_);
        ::setenv("PATH", oldPath_.c_str(), 1);
    }

private:
    std::filesystem::path oldFolder_;
    std::string oldPath_;
};

void writeProgram(const TestDir& dir, const std::string& name, const std::string& body) {
    dir.write(name, "#!/bin/sh\n" + body);
    ::chmod(dir.path(name).c_str(), 0755);
}

}  // namespace

TEST(ProgramStart, a_program_beside_the_files_is_never_run_by_its_bare_name) {
    // An unpacked folder holding a program under the name the host starts
    // (the help viewer's): neither as the current folder, nor as the folder
    // the program is started in, nor through "." on PATH does it run.
    TestDir dir;
    std::filesystem::create_directories(dir.path("unpacked"));
    writeProgram(dir, "unpacked/HH.EXE", "touch '" + dir.path("ran") + "'\n");
    const ScopedPathAndFolder in(".:" + dir.path("none"), dir.path("unpacked"));
    host::setHelpViewer("");
    PROCESS_INFORMATION pi{};
    for (const char* folder : {static_cast<const char*>(nullptr), "."}) {
        SetLastError(0);
        EXPECT_FALSE(start(nullptr, "HH.EXE velmor.chm", HIGH_PRIORITY_CLASS, folder, pi));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_EQ(host::startProgram("HH.EXE", {"velmor.chm"}, dir.path("unpacked"), 0),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    host::waitForStartedPrograms();
    EXPECT_FALSE(std::filesystem::exists(dir.path("ran")));
}

TEST(ProgramStart, a_program_apart_reads_nothing_and_writes_its_log_never_the_hosts_output) {
    TestDir dir;
    writeProgram(dir, "engine", "printf '\\033[2Jout'; printf 'err' >&2; cat; echo end\n");
    dir.write("old.txt", "mine\n");
    std::filesystem::create_symlink(dir.path("old.txt"), dir.path("engine.log"));
    host::ProgramRun run;
    run.folder = dir.path();
    run.log = dir.path("engine.log");
    // The host's own output caught for the time of the run.
    std::fflush(nullptr);
    const int savedOut = ::dup(1), savedErr = ::dup(2);
    const int caught = ::open(dir.path("host_output").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(caught, 1);
    ::dup2(caught, 2);
    const DWORD started = host::startProgram(dir.path("engine"), {}, run, HIGH_PRIORITY_CLASS);
    host::waitForStartedPrograms();
    std::fflush(nullptr);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    ::close(savedOut), ::close(savedErr), ::close(caught);
    ASSERT_EQ(started, 0u);
    EXPECT_EQ(dir.read("host_output"), "");
    // Its input was empty (cat ended at once), its output all in the log,
    // made anew where a link was: the file the link named is untouched.
    EXPECT_EQ(dir.read("engine.log"), "\033[2Jouterrend\n");
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path("engine.log")));
    EXPECT_EQ(dir.read("old.txt"), "mine\n");
}

// Asked for a plain log, the output goes into it without the codes the
// program writes for a terminal, whole, however long.
TEST(ProgramStart, a_plain_log_keeps_the_programs_text_without_its_terminal_codes) {
    TestDir dir;
    writeProgram(dir, "engine",
                 "i=0; while [ $i -lt 5000 ]; do printf '\\033[1;32mline %d\\033[0m\\n' $i; i=$((i+1)); done;"
                 " printf '\\033]0;title\\007end' >&2\n");
    host::ProgramRun run;
    run.folder = dir.path();
    run.log = dir.path("engine.log");
    run.plainLog = true;
    ASSERT_EQ(host::startProgram(dir.path("engine"), {}, run, 0), 0u);
    host::waitForStartedPrograms();
    const std::string log = dir.read("engine.log");
    EXPECT_EQ(log.find('\033'), std::string::npos);
    EXPECT_TRUE(log.starts_with("line 0\nline 1\n")) << log.substr(0, 100);
    EXPECT_TRUE(log.ends_with("line 4999\nend"))
        << log.substr(log.size() - std::min<std::size_t>(log.size(), 100));
}

namespace {

// A run in a private folder of its own, as a render is started: its
// picture "obraz.bmp" moved to plan.bmp, its output kept in plan.log.
host::ProgramRun PrivateRun(TestDir& dir, const std::string& folder) {
    host::ProgramRun run;
    run.folder = folder;
    run.log = dir.path("plan.log");
    run.results = {{folder + "/obraz.bmp", dir.path("plan.bmp")}};
    run.privateFolder = folder;
    return run;
}

}  // namespace

TEST(ProgramStart, results_move_into_place_when_the_program_ends_well_and_its_folder_goes) {
    TestDir dir;
    writeProgram(dir, "engine", "echo picture > obraz.bmp; exit \"$1\"\n");
    dir.write("victim.dxf", "drawing\n");
    for (const char* status : {"3", "0"}) {
        std::filesystem::remove(dir.path("plan.bmp"));
        std::filesystem::create_symlink(dir.path("victim.dxf"), dir.path("plan.bmp"));
        const std::string folder = host::makePrivateFolder(dir.path(), ".render-");
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_all);
        const host::ProgramRun run = PrivateRun(dir, folder);
        ASSERT_EQ(host::startProgram(dir.path("engine"), {status}, run, 0), 0u);
        host::waitForStartedPrograms();
        EXPECT_FALSE(std::filesystem::exists(folder)) << status;
        EXPECT_EQ(dir.read("victim.dxf"), "drawing\n");
        if (std::string(status) == "3") {
            EXPECT_TRUE(std::filesystem::is_symlink(dir.path("plan.bmp")));
            EXPECT_NE(dir.read("plan.log").find("z kodem 3"), std::string::npos) << dir.read("plan.log");
        } else {
            EXPECT_FALSE(std::filesystem::is_symlink(dir.path("plan.bmp")));
            EXPECT_EQ(dir.read("plan.bmp"), "picture\n");
            EXPECT_NE(dir.read("plan.log").find("Zapisano plik " + dir.path("plan.bmp")), std::string::npos);
        }
    }
}

// ---------------------------------------------------------------- the watcher

namespace {

// Whether a process is gone or only waits to be collected.
bool ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'Z';
}

// The children of this process that have ended and wait to be collected.
int zombieChildren() {
    int found = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        long parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &parent) == 2 && parent == ::getpid() &&
            state == 'Z')
            ++found;
    }
    return found;
}

// Waits for something a started program does (no time is measured: the
// test fails only when it never happens).
template <typename Condition>
bool eventually(Condition condition) {
    for (int tries = 0; tries < 6000; ++tries) {
        if (condition()) return true;
        ::usleep(10000);
    }
    return false;
}

}  // namespace

TEST(ProgramWatcher, leaves_nothing_to_collect_and_two_runs_under_one_log_both_end_whole) {
    TestDir dir;
    writeProgram(dir, "engine", "echo \"begin $1\"; echo \"picture $1\" > obraz.bmp; echo \"end $1\"\n");
    std::vector<std::string> folders;
    for (const char* run_ : {"1", "2"}) {
        folders.push_back(host::makePrivateFolder(dir.path(), ".render-"));
        const host::ProgramRun run = PrivateRun(dir, folders.back());
        ASSERT_EQ(host::startProgram(dir.path("engine"), {run_}, run, 0), 0u);
    }
    // Not waited for: once the folders are gone, the watchers have ended,
    // and none of them is a child left for the host to collect.
    ASSERT_TRUE(eventually(
        [&] { return !std::filesystem::exists(folders[0]) && !std::filesystem::exists(folders[1]); }));
    EXPECT_EQ(zombieChildren(), 0);
    host::waitForStartedPrograms();
    // The log is one run's, whole, and so is the picture.
    const std::string log = dir.read("plan.log");
    const char which = log.size() > 6 ? log[6] : '?';
    EXPECT_EQ(log, std::string("begin ") + which + "\nend " + which + "\n\nZapisano plik " +
                       dir.path("plan.bmp") + ".\n");
    EXPECT_TRUE(dir.read("plan.bmp") == "picture 1\n" || dir.read("plan.bmp") == "picture 2\n");
}

TEST(ProgramWatcher, a_killed_watcher_ends_its_program_and_its_folder_is_removed) {
    TestDir dir;
    // The program says who it is and who watches it, then waits for long.
    writeProgram(dir, "engine", "echo $$ $PPID > ../pids.tmp; mv ../pids.tmp ../pids; exec sleep 300\n");
    const std::string folder = host::makePrivateFolder(dir.path(), ".render-");
    ASSERT_EQ(host::startProgram(dir.path("engine"), {}, PrivateRun(dir, folder), 0), 0u);
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(dir.path("pids")); }));
    long program = 0, watcher = 0;
    std::ifstream(dir.path("pids")) >> program >> watcher;
    ASSERT_GT(program, 1);
    ASSERT_GT(watcher, 1);
    ASSERT_NE(watcher, ::getpid());
    ASSERT_EQ(::kill(static_cast<pid_t>(watcher), SIGKILL), 0);
    EXPECT_TRUE(eventually([&] { return ended(static_cast<pid_t>(program)); }));
    EXPECT_TRUE(eventually([&] { return !std::filesystem::exists(folder); }));
    host::waitForStartedPrograms();
    EXPECT_FALSE(std::filesystem::exists(dir.path("plan.bmp")));
}

TEST(ProgramWatcher, a_confined_program_writes_its_folder_alone_and_reads_no_other) {
    if (host::confinementVersion() == 0) GTEST_SKIP() << "the kernel confines no program";
    TestDir dir;
    dir.write("secret.txt", "secret\n");
    std::filesystem::create_directories(dir.path("bin"));
    // Each attempt's outcome is one word of its output, kept in its folder.
    writeProgram(dir, "bin/engine",
                 "{ cat '" + dir.path("secret.txt") +
                     "' 2>/dev/null || echo unread\n"
                     "  echo x 2>/dev/null > ../outside && echo outside-written || echo outside-refused\n"
                     "  echo x 2>/dev/null > " +
                     dir.path("bin/beside") +
                     " && echo beside-written || echo beside-refused\n"
                     "  ulimit -v\n} > obraz.bmp\n");
    const std::string folder = host::makePrivateFolder(dir.path(), ".render-");
    host::ProgramRun run = PrivateRun(dir, folder);
    run.readable = {"/usr", "/bin", "/lib", "/lib64", "/etc/ld.so.cache"};
    run.memoryLimit = std::uint64_t{3} << 30;
    ASSERT_EQ(host::startProgram(dir.path("bin/engine"), {}, run, 0), 0u);
    host::waitForStartedPrograms();
    EXPECT_EQ(dir.read("plan.bmp"), "unread\noutside-refused\nbeside-refused\n3145728\n")
        << dir.read("plan.log");
    EXPECT_FALSE(std::filesystem::exists(dir.path("outside")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("bin/beside")));
}

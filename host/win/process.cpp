// Process start: resolve the program (alias, "\" to "/", PATH search),
// check that it exists and can be run so the caller gets the Windows error
// code rather than a child that dies at once, then posix_spawn it with the
// requested folder and environment and without inherited descriptors: its
// input is /dev/null, its output /dev/null or its log, in a session of its
// own (the terminal's Ctrl-C is the host's). A program with results to
// move or a private folder to remove is started by a watcher, a forked
// copy of the host that waits for it, does that and ends.
// Children are remembered and collected with waitpid(WNOHANG) at later
// starts and handle closes; SIGCHLD is left alone, so other code that waits
// for its own children is not disturbed.
#include "host/win/process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>

#include "host/win/confinement.h"
#include "host/win/files.h"
#include "host/win/replace_file.h"
#include "host/win/terminal_codes.h"
#include "host/win/textutil.h"

extern char** environ;

namespace {

host::ProcessRecorder* gRecorder = nullptr;

std::map<std::string, std::string>& aliases() {
    static std::map<std::string, std::string> all;  // capitalised name -> program
    return all;
}

std::vector<pid_t>& children() {
    static std::vector<pid_t> all;
    return all;
}

// The reading ends of the watchers' `done` pipes.
std::vector<int>& watchers() {
    static std::vector<int> all;
    return all;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string fileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOfFile(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string applyAlias(const std::string& program) {
    auto it = aliases().find(host::toUpper(fileNameOf(program)));
    return it == aliases().end() ? host::nativePath(program) : it->second;
}

// The file that would run, or the Windows error code why none can. A
// name without a folder is looked for on PATH alone (findOnPath).
DWORD locate(const std::string& program, const std::string& folder, std::string& path) {
    if (program.empty()) return ERROR_FILE_NOT_FOUND;
    if (program.find('/') == std::string::npos) {
        path = host::findOnPath(program);
        return path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    }
    path = program[0] == '/' || folder.empty() ? program : folder + "/" + program;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
    if (S_ISDIR(st.st_mode) || ::access(path.c_str(), X_OK) != 0) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

std::vector<std::string> environmentBlock(const void* block) {
    std::vector<std::string> vars;
    for (const char* p = static_cast<const char*>(block); *p; p += std::char_traits<char>::length(p) + 1)
        vars.emplace_back(p);
    return vars;
}

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

std::vector<std::string> splitFolders(const std::string& list) {
    std::vector<std::string> dirs;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find_first_of(":;", start);
        if (end == std::string::npos) end = list.size();
        dirs.push_back(end > start ? list.substr(start, end - start) : ".");
        start = end + 1;
    }
    return dirs;
}

bool isRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

namespace host {
namespace {
BOOL launch(const StartedProcess& start, void* environment, PROCESS_INFORMATION* info);
}  // namespace
}  // namespace host

DWORD SearchPathW(const char* path, const char* fileName, const char* extension, DWORD bufferLength,
                  char* buffer, char** filePart) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name = host::nativePath(fileName);
    const std::size_t slash = name.find_last_of('/');
    if (extension && *extension &&
        name.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos)
        name += extension;
    std::vector<std::string> candidates;
    if (slash != std::string::npos) {
        candidates.push_back(name);
    } else {
        std::vector<std::string> dirs;
        if (path && *path) {
            dirs = splitFolders(host::nativePath(path));
        } else {
            dirs.push_back(".");
            if (const char* env = std::getenv("PATH")) {
                std::vector<std::string> more = splitFolders(env);
                dirs.insert(dirs.end(), more.begin(), more.end());
            }
        }
        for (const std::string& dir : dirs) candidates.push_back(dir + "/" + name);
    }
    for (const std::string& candidate : candidates) {
        if (!isRegularFile(candidate)) continue;
        char resolved[PATH_MAX];
        const std::string full = ::realpath(candidate.c_str(), resolved) ? resolved : candidate;
        if (!buffer || bufferLength <= full.size()) return static_cast<DWORD>(full.size() + 1);
        std::memcpy(buffer, full.c_str(), full.size() + 1);
        if (filePart) *filePart = buffer + full.find_last_of('/') + 1;
        return static_cast<DWORD>(full.size());
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
}

BOOL CreateProcessW(const char* applicationName, char* commandLine, void*, void*, BOOL inheritHandles,
                    DWORD creationFlags, void* environment, const char* currentDirectory, STARTUPINFOW*,
                    PROCESS_INFORMATION* info) {
    host::reapFinishedChildren();
    if (!info || ((!applicationName || !*applicationName) && (!commandLine || !*commandLine)))
        return fail(ERROR_INVALID_PARAMETER);

    host::StartedProcess start;
    start.application = applicationName ? applicationName : "";
    start.commandLine = commandLine ? commandLine : "";
    start.priorityClass =
        creationFlags & (NORMAL_PRIORITY_CLASS | IDLE_PRIORITY_CLASS | HIGH_PRIORITY_CLASS |
                         REALTIME_PRIORITY_CLASS | BELOW_NORMAL_PRIORITY_CLASS | ABOVE_NORMAL_PRIORITY_CLASS);
    start.inheritHandles = inheritHandles != FALSE;
    start.currentDirectory = currentDirectory ? currentDirectory : "";
    start.ownEnvironment = environment != nullptr;
    std::vector<std::string> words = host::splitCommandLine(start.commandLine);
    std::string program = !start.application.empty() ? start.application : words.empty() ? "" : words[0];
    start.program = applyAlias(program);
    for (std::size_t i = 1; i < words.size(); ++i) start.arguments.push_back(host::nativePath(words[i]));

    return host::launch(start, environment, info);
}

namespace host {

namespace {

// The environment a program gets: the block given, else the host's with
// the settings given over it.
std::vector<std::string> environmentOf(const StartedProcess& start, void* block) {
    if (block) return environmentBlock(block);
    std::vector<std::string> vars;
    for (char** e = environ; e && *e; ++e) vars.emplace_back(*e);
    for (const std::string& setting : start.environment) {
        const std::string name = setting.substr(0, setting.find('=') + 1);
        std::erase_if(vars, [&](const std::string& v) { return v.rfind(name, 0) == 0; });
        vars.push_back(setting);
    }
    return vars;
}

// The log made anew under its name: whatever is there (a file, a link) is
// taken away first, and the new file is made only where nothing is, so
// nothing is written through a link. -1 with errno when it cannot be made.
int makeLog(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return -1;
        }
        if (::unlink(path.c_str()) != 0) return -1;
    }
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

// posix_spawn with the program's own folder; without inherited handles its
// input is /dev/null, its output the log (or /dev/null), nothing else
// open, in a session of its own. An errno value, 0 when started.
int spawnProgram(const std::string& path, std::vector<std::string> argv, std::vector<std::string> env,
                 const std::string& folder, bool inherit, int logFd, pid_t& pid) {
    std::vector<char*> argPtrs, envPtrs;
    for (std::string& a : argv) argPtrs.push_back(a.data());
    argPtrs.push_back(nullptr);
    for (std::string& e : env) envPtrs.push_back(e.data());
    envPtrs.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (!inherit) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (logFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, logFd, 1);
            posix_spawn_file_actions_adddup2(&actions, logFd, 2);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_adddup2(&actions, 1, 2);
        }
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    }
    const int err = posix_spawn(&pid, path.c_str(), &actions, &attributes, argPtrs.data(), envPtrs.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return err;
}

void writeLog(int fd, const std::string& text) {
    if (fd < 0) return;
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// Moves a descriptor out of the low numbers, keeping it open across exec
// no longer than the caller wants.
int moveHigh(int fd) {
    return fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 64);
}

// The whole of the open file `in` (from its start) put in place of `to` by
// the one writer: a link there replaced, a folder refused. Empty when
// written, else why not (Polish, naming the file).
// With `filter`, what is written is what the filter keeps of it.
std::string copyThroughWriter(int in, const std::string& to, TerminalCodeFilter* filter = nullptr) {
    ReplacingFile out;
    std::string why;
    if (!out.open(to, &why, LinkAtName::ReplaceLink)) return why;
    std::vector<char> buffer(1 << 16);
    std::string kept;
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(in, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return "nie można odczytać danych dla " + to + ": " + fileErrorReason(errno);
        if (n == 0) break;
        std::string_view piece(buffer.data(), static_cast<std::size_t>(n));
        if (filter) {
            kept.clear();
            filter->feed(piece, kept);
            piece = kept;
        }
        if (std::fwrite(piece.data(), 1, piece.size(), out.stream()) != piece.size())
            return "nie można zapisać " + to + ": " + fileErrorReason(errno);
        at += n;
    }
    return out.commit(&why) ? std::string() : why;
}

// A regular file, opened without following a link and without waiting;
// -1 with errno otherwise.
int openRegular(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

// The program itself, in the watcher's child: it dies with the watcher,
// takes no more address space than allowed, reads nothing and writes its
// output to `out`, under the kernel's rules when there are some, and
// becomes the program. Only system calls after the fork.
[[noreturn]] void becomeProgram(pid_t watcher, const char* path, char* const* argv, char* const* env,
                                const char* folder, std::uint64_t memoryLimit, int nothing, int out,
                                int rules) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != watcher) ::_exit(127);  // the watcher ended before that held
    static const char kNoFolder[] = "\nNie można przejść do folderu programu.\n";
    static const char kNoRules[] = "\nJądro nie przyjęło ograniczeń dostępu programu do plików.\n";
    static const char kNoStart[] = "\nNie można uruchomić programu.\n";
    ::dup2(nothing, 0);
    ::dup2(out >= 0 ? out : nothing, 1);
    ::dup2(out >= 0 ? out : nothing, 2);
    if (*folder && ::chdir(folder) != 0) {
        [[maybe_unused]] const ssize_t said = ::write(2, kNoFolder, sizeof kNoFolder - 1);
        ::_exit(127);
    }
    if (memoryLimit > 0) {
        const rlimit limit{memoryLimit, memoryLimit};
        ::setrlimit(RLIMIT_AS, &limit);
    }
    if (rules >= 0 && !applyConfinement(rules)) {
        [[maybe_unused]] const ssize_t said = ::write(2, kNoRules, sizeof kNoRules - 1);
        ::_exit(126);
    }
    ::closefrom(3);
    ::execve(path, argv, env);
    [[maybe_unused]] const ssize_t said = ::write(2, kNoStart, sizeof kNoStart - 1);
    ::_exit(127);
}

// The guard of a private folder, in the watcher's child: waits until the
// watcher has ended (its end of `alive` closes, however it ends), makes
// sure the program has ended too, and removes the folder.
[[noreturn]] void guardFolder(int alive, int program, const std::string& privateFolder) {
    char byte = 0;
    while (::read(alive, &byte, 1) != 0 && errno == EINTR) {
    }
    if (program >= 0) {
        ::syscall(SYS_pidfd_send_signal, program, SIGKILL, nullptr, 0);
        pollfd ended{program, POLLIN, 0};
        while (::poll(&ended, 1, -1) < 0 && errno == EINTR) {
        }
    }
    removePrivateFolder(privateFolder);
    ::_exit(0);
}

// The watcher, a process apart from the host (no child of it): runs the
// program, and its guard, waits for the program, puts its results and its
// log into place when it has ended and removes its private folder. `done`
// stays open in it and the guard until both have ended (the host waits on
// it in waitForStartedPrograms). Runs nothing of the host's.
[[noreturn]] void watch(const StartedProcess& start, const std::string& path, std::vector<std::string> argv,
                        std::vector<std::string> env, const std::string& folder, int rules, int done) {
    done = moveHigh(done);
    rules = moveHigh(rules);
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    ::dup2(nothing, 0), ::dup2(nothing, 1), ::dup2(nothing, 2);
    done = ::dup3(done, 3, O_CLOEXEC);
    if (rules >= 0) rules = ::dup3(rules, 4, O_CLOEXEC);
    ::close_range(5, ~0U, 0);
    // The program's output, in a file nobody can name: it becomes the log
    // when the program has ended.
    int out = -1;
    const std::string log = nativePath(start.log);
    if (!log.empty()) {
        std::string name =
            (start.privateFolder.empty() ? folderOfFile(log) : nativePath(start.privateFolder)) +
            "/.log-XXXXXX";
        out = ::mkostemp(name.data(), O_CLOEXEC);
        if (out >= 0) ::unlink(name.c_str());
    }
    std::vector<char*> argPtrs, envPtrs;
    for (std::string& a : argv) argPtrs.push_back(a.data());
    argPtrs.push_back(nullptr);
    for (std::string& e : env) envPtrs.push_back(e.data());
    envPtrs.push_back(nullptr);
    const pid_t self = ::getpid();
    const pid_t program = ::fork();
    if (program == 0)
        becomeProgram(self, path.c_str(), argPtrs.data(), envPtrs.data(), folder.c_str(), start.memoryLimit,
                      0, out, rules);
    const int forkError = errno;
    if (program > 0 && !start.privateFolder.empty()) {
        const int handle = static_cast<int>(::syscall(SYS_pidfd_open, program, 0));
        int alive[2];
        if (::pipe2(alive, O_CLOEXEC) == 0) {
            if (::fork() == 0) {
                ::close(alive[1]);
                if (out >= 0) ::close(out);
                if (rules >= 0) ::close(rules);
                guardFolder(alive[0], handle, start.privateFolder);
            }
            ::close(alive[0]);  // alive[1] stays open as long as the watcher lives
        }
        if (handle >= 0) ::close(handle);
    }
    if (rules >= 0) ::close(rules);
    int status = 0;
    if (program > 0)
        while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
        }
    std::string said;
    if (program < 0) {
        said = "\nNie uruchomiono programu " + path + ": " + std::strerror(forkError) + "\n";
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        said = "\nProgram " + path + " zakończył pracę " +
               (WIFEXITED(status) ? "z kodem " + std::to_string(WEXITSTATUS(status))
                                  : "sygnałem " + std::to_string(WTERMSIG(status))) +
               "; jego wyników nie przeniesiono.\n";
    } else {
        for (const auto& [from, to] : start.results) {
            const int in = openRegular(nativePath(from));
            const std::string why = in < 0 ? "nie można odczytać " + from + ": " + fileErrorReason(errno)
                                           : copyThroughWriter(in, nativePath(to));
            if (in >= 0) ::close(in);
            said += why.empty() ? "\nZapisano plik " + to + ".\n"
                                : "\nNie zapisano pliku " + to + " (" + why + ").\n";
        }
    }
    if (out >= 0) {
        writeLog(out, said);
        TerminalCodeFilter filter;
        // Nowhere left to say it when this fails.
        copyThroughWriter(out, log, start.plainLog ? &filter : nullptr);
    }
    removePrivateFolder(start.privateFolder);
    ::_exit(program > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

// Starts the watcher of a program with results, a private folder, rules or
// a memory limit: forked twice, so that the watcher is no child of the
// host's and nothing of it is left for the host to collect. The host keeps
// the reading end of `done`, which closes when the watcher and its guard
// have ended. An errno value, 0 when started.
int startWatcher(const StartedProcess& start, const std::string& path, std::vector<std::string> argv,
                 std::vector<std::string> env, const std::string& folder) {
    int rules = -1;
    if (!start.readable.empty() && confinementVersion() > 0) {
        std::vector<std::string> readable = start.readable;
        readable.push_back(folderOfFile(path));
        std::string why;
        rules = makeConfinement(readable, start.privateFolder.empty() ? folder : start.privateFolder, why);
        if (rules < 0) return EPERM;
    }
    int done[2];
    if (::pipe2(done, O_CLOEXEC) != 0) {
        const int error = errno;
        if (rules >= 0) ::close(rules);
        return error;
    }
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t first = ::fork();
    if (first == 0) {
        ::close(done[0]);
        ::setsid();
        const pid_t watcher = ::fork();
        if (watcher == 0) watch(start, path, std::move(argv), std::move(env), folder, rules, done[1]);
        ::_exit(watcher < 0 ? 1 : 0);
    }
    const int forkError = errno;
    ::close(done[1]);
    if (rules >= 0) ::close(rules);
    if (first < 0) {
        ::close(done[0]);
        return forkError;
    }
    int status = 0;
    while (::waitpid(first, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ::close(done[0]);
        return EAGAIN;
    }
    watchers().push_back(done[0]);
    return 0;
}

BOOL launch(const StartedProcess& start, void* environment, PROCESS_INFORMATION* info) {
    if (ProcessRecorder* rec = ProcessRecorder::active()) {
        rec->record(start);
        if (DWORD code = rec->takeFailure()) return fail(code);
        static DWORD fakeId = 1000;
        DWORD id = fakeId++;
        info->hProcess = handles::open(handles::Kind::Process, 0);
        info->hThread = handles::open(handles::Kind::Thread, 0);
        info->dwProcessId = id;
        info->dwThreadId = id;
        return TRUE;
    }

    std::string folder = nativePath(start.currentDirectory);
    if (!folder.empty() && !folderExists(folder)) return fail(ERROR_DIRECTORY);
    std::string path;
    if (DWORD code = locate(start.program, folder, path)) return fail(code);

    std::vector<std::string> argv{path};
    argv.insert(argv.end(), start.arguments.begin(), start.arguments.end());
    std::vector<std::string> env = environmentOf(start, environment);
    if (!start.results.empty() || !start.privateFolder.empty() || !start.readable.empty() ||
        start.memoryLimit > 0 || (start.plainLog && !start.log.empty())) {
        if (const int err = startWatcher(start, path, std::move(argv), std::move(env), folder))
            return fail(winErrorFromErrno(err));
        info->hProcess = handles::open(handles::Kind::Process, 0);
        info->hThread = handles::open(handles::Kind::Thread, 0);
        info->dwProcessId = info->dwThreadId = 0;
        return TRUE;
    }
    int logFd = -1;
    if (!start.log.empty() && (logFd = makeLog(nativePath(start.log))) < 0)
        return fail(winErrorFromErrno(errno));
    pid_t pid = 0;
    const int err =
        spawnProgram(path, std::move(argv), std::move(env), folder, start.inheritHandles, logFd, pid);
    if (logFd >= 0) ::close(logFd);
    if (err != 0) return fail(winErrorFromErrno(err));
    children().push_back(pid);
    info->hProcess = handles::open(handles::Kind::Process, pid);
    info->hThread = handles::open(handles::Kind::Thread, pid);
    info->dwProcessId = static_cast<DWORD>(pid);
    info->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}

// One argument as the Windows rules read it back whole: quoted when it is
// empty or holds a blank or a quote, a quote and the backslashes before a
// quote (or before the closing quote) escaped.
std::string quoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::size_t slashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(slashes * 2, '\\');
    return quoted + "\"";
}

}  // namespace

std::string joinCommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    // The program name takes no escapes: quoted when it holds a blank.
    std::string line = program.find_first_of(" \t") == std::string::npos ? program : "\"" + program + "\"";
    for (const std::string& argument : arguments) line += " " + quoteArgument(argument);
    return line;
}

std::string findOnPath(const std::string& name) {
    const char* env = std::getenv("PATH");
    if (name.empty() || name.find('/') != std::string::npos || !env) return {};
    // Only absolute folders: an empty entry or "." would be the current
    // folder, where a program that came with someone's files may lie.
    for (const std::string& dir : splitFolders(env)) {
        if (dir.empty() || dir[0] != '/') continue;
        const std::string candidate = dir + "/" + name;
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

DWORD startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& folder, DWORD priorityClass) {
    ProgramRun run;
    run.folder = folder;
    return startProgram(program, arguments, run, priorityClass);
}

DWORD startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const ProgramRun& run, DWORD priorityClass) {
    reapFinishedChildren();
    StartedProcess start;
    start.application = program;
    start.commandLine = joinCommandLine(program, arguments);
    // A command line is never cut: one too long starts nothing.
    if (start.commandLine.size() + 1 > kCommandLineLimit) return ERROR_FILENAME_EXCED_RANGE;
    start.program = program.find('/') == std::string::npos ? findOnPath(program) : program;
    if (start.program.empty()) return ERROR_FILE_NOT_FOUND;
    start.arguments = arguments;
    start.priorityClass = priorityClass;
    start.currentDirectory = run.folder;
    start.environment = run.environment;
    start.log = run.log;
    start.plainLog = run.plainLog;
    start.results = run.results;
    start.privateFolder = run.privateFolder;
    start.readable = run.readable;
    start.memoryLimit = run.memoryLimit;
    PROCESS_INFORMATION info{};
    if (!launch(start, nullptr, &info)) return GetLastError();
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return ERROR_SUCCESS;
}

ProcessRecorder::ProcessRecorder() : previous_(gRecorder) {
    gRecorder = this;
}
ProcessRecorder::~ProcessRecorder() {
    gRecorder = previous_;
}
ProcessRecorder* ProcessRecorder::active() {
    return gRecorder;
}

void setProgramAlias(const std::string& name, const std::string& program) {
    std::string key = toUpper(fileNameOf(name));
    if (program.empty())
        aliases().erase(key);
    else
        aliases()[key] = nativePath(program);
}

void setHelpViewer(const std::string& program) {
    setProgramAlias("HH.EXE", program);
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    // The program name: quoted or up to the first blank; a line that starts
    // with a blank has an empty program name.
    std::string first;
    if (i < line.size() && line[i] == '"') {
        std::size_t close = line.find('"', i + 1);
        first = std::string(
            line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1));
        i = close == std::string_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && !isBlank(line[i])) first += line[i++];
    words.push_back(first);

    for (;;) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !isBlank(line[i]))) {
            std::size_t slashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2) {
                    word += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    word += '"';  // "" inside quotes is a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                word.append(slashes, '\\');
                if (i < line.size() && (quoted || !isBlank(line[i]))) word += line[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

std::string makePrivateFolder(const std::string& parent, const std::string& prefix) {
    std::string folder = absolutePath(nativePath(parent.empty() ? "." : parent));
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::string name = folder + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(name.data())) return {};
    return name;
}

bool placeFileCopy(const std::string& from, const std::string& to, std::string* why) {
    const int in = openRegular(nativePath(from));
    if (in < 0) {
        const int error = errno;
        if (why) *why = "nie można odczytać " + from + ": " + fileErrorReason(error);
        errno = error;
        return false;
    }
    const std::string failed = copyThroughWriter(in, nativePath(to));
    const int error = errno;
    ::close(in);
    if (why) *why = failed;
    errno = error;
    return failed.empty();
}

void removePrivateFolder(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(nativePath(folder), ignored);
}

void waitForStartedPrograms() {
    for (const pid_t child : children()) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    children().clear();
    for (const int done : watchers()) {
        char byte = 0;
        while (::read(done, &byte, 1) != 0 && errno == EINTR) {
        }
        ::close(done);
    }
    watchers().clear();
}

void reapFinishedChildren() {
    auto& all = children();
    for (std::size_t k = 0; k < all.size();) {
        int status = 0;
        pid_t r = ::waitpid(all[k], &status, WNOHANG);
        if (r == all[k] || (r < 0 && errno == ECHILD)) {
            all[k] = all.back();
            all.pop_back();
        } else {
            ++k;
        }
    }
    // A watcher is no child to collect; the end of its pipe is let go once
    // it and its guard have ended.
    std::erase_if(watchers(), [](int done) {
        pollfd ended{done, POLLIN, 0};
        if (::poll(&ended, 1, 0) <= 0 || !(ended.revents & (POLLHUP | POLLERR))) return false;
        ::close(done);
        return true;
    });
}

}  // namespace host

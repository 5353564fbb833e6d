// Process start: resolve the program (alias, "\" to "/", folder search),
// check that it exists and can be run so the caller gets the Windows error
// code rather than a child that dies at once, then posix_spawn it with the
// requested folder and environment and without inherited descriptors.
// Children are remembered and collected with waitpid(WNOHANG) at later
// starts and handle closes; SIGCHLD is left alone, so other code that waits
// for its own children is not disturbed.
#include "host/win/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>

#include "host/win/files.h"
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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string fileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string applyAlias(const std::string& program) {
    auto it = aliases().find(host::toUpper(fileNameOf(program)));
    return it == aliases().end() ? host::nativePath(program) : it->second;
}

// The file that would run, or the Windows error code why none can.
DWORD locate(const std::string& program, const std::string& folder, std::string& path) {
    auto usable = [](const std::string& candidate) -> DWORD {
        struct stat st;
        if (::stat(candidate.c_str(), &st) != 0) return ERROR_FILE_NOT_FOUND;
        if (S_ISDIR(st.st_mode) || ::access(candidate.c_str(), X_OK) != 0) return ERROR_ACCESS_DENIED;
        return ERROR_SUCCESS;
    };
    if (program.empty()) return ERROR_FILE_NOT_FOUND;
    if (program.find('/') != std::string::npos) {
        path = program[0] == '/' || folder.empty() ? program : folder + "/" + program;
        return usable(path);
    }
    std::vector<std::string> dirs{folder.empty() ? "." : folder};
    if (const char* env = std::getenv("PATH")) {
        std::string all = env;
        std::size_t start = 0;
        while (start <= all.size()) {
            std::size_t colon = all.find(':', start);
            if (colon == std::string::npos) colon = all.size();
            dirs.push_back(colon > start ? all.substr(start, colon - start) : ".");
            start = colon + 1;
        }
    }
    DWORD code = ERROR_FILE_NOT_FOUND;
    for (const std::string& dir : dirs) {
        std::string candidate = dir + "/" + program;
        DWORD c = usable(candidate);
        if (c == ERROR_SUCCESS) {
            path = candidate;
            return c;
        }
        if (c == ERROR_ACCESS_DENIED) code = c;
    }
    return code;
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
    std::vector<char*> argPtrs;
    for (std::string& a : argv) argPtrs.push_back(a.data());
    argPtrs.push_back(nullptr);
    std::vector<std::string> env;
    std::vector<char*> envPtrs;
    if (environment) {
        env = environmentBlock(environment);
        for (std::string& e : env) envPtrs.push_back(e.data());
        envPtrs.push_back(nullptr);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    if (!start.inheritHandles) posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = 0;
    int err = posix_spawn(&pid, path.c_str(), &actions, nullptr, argPtrs.data(),
                          environment ? envPtrs.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
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
    start.currentDirectory = folder;
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
}

}  // namespace host

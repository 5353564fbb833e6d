// Starting programs as CreateProcessW does (and, for callers that have the
// arguments apart, startProgram, which hands them over as they are), over posix_spawn. The program is
// the application name when one is given, else the first word of the
// command line; "\" in it and in the arguments becomes "/". A program name
// can be aliased to a real program (the help viewer "HH.EXE" by default has
// none, so starting it fails until one is configured). A program without a
// folder is looked for in the absolute folders of PATH only (findOnPath),
// never in the current folder nor the folder it is started in, where a
// program may have come with someone's files. A program started without
// inherited handles reads nothing (its input is /dev/null) and writes
// nowhere (its output goes to /dev/null, or to the log startProgram names),
// so it never writes into the host's command line. The command
// line is split into arguments by the Windows rules (blanks separate,
// double quotes group, backslashes escape only quotes). The call never
// waits: the caller closes the returned process and thread handles, and
// finished children are collected later without blocking. A
// ProcessRecorder, while it lives, records each start instead of running
// it. Failure sets the last error: ERROR_FILE_NOT_FOUND for a missing
// program, ERROR_ACCESS_DENIED for one that cannot be run.
// Limits: the priority class is recorded but not applied (raising priority
// needs privileges); a Windows environment block is read as UTF-8
// "NAME=value" strings ending with an empty one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/win/winbase.h"

struct STARTUPINFOW {
    DWORD cb;
    char* lpReserved;
    char* lpDesktop;
    char* lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr DWORD IDLE_PRIORITY_CLASS = 0x00000040;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x00000080;
constexpr DWORD REALTIME_PRIORITY_CLASS = 0x00000100;
constexpr DWORD BELOW_NORMAL_PRIORITY_CLASS = 0x00004000;
constexpr DWORD ABOVE_NORMAL_PRIORITY_CLASS = 0x00008000;

BOOL CreateProcessW(const char* applicationName, char* commandLine, void* processAttributes,
                    void* threadAttributes, BOOL inheritHandles, DWORD creationFlags, void* environment,
                    const char* currentDirectory, STARTUPINFOW* startupInfo,
                    PROCESS_INFORMATION* processInformation);

// Finds a file as SearchPathW does: in the folders of `path` (separated by
// ':' or ';') when one is given, else in the current folder and then the
// folders of PATH; `extension` is added to a name without one. A name with
// a folder is only checked. Folders do not count as found. Answers the
// length of the full path copied into `buffer` (without its terminator);
// the size needed, terminator included, when `bufferLength` is short; 0
// with ERROR_FILE_NOT_FOUND when nothing is found. `filePart` points at the
// name within `buffer`.
DWORD SearchPathW(const char* path, const char* fileName, const char* extension, DWORD bufferLength,
                  char* buffer, char** filePart);

namespace host {

struct StartedProcess {
    std::string application;             // as given, or empty
    std::string commandLine;             // as given, or empty
    std::string program;                 // what would run, after aliases and "\" mapping
    std::vector<std::string> arguments;  // after the program
    DWORD priorityClass = 0;
    bool inheritHandles = false;
    std::string currentDirectory;  // as given, or empty for the host's
    bool ownEnvironment = false;   // an environment block was given
    // Given by startProgram's ProgramRun:
    std::vector<std::string> environment;                      // "NAME=value" over the host's
    std::string log;                                           // its output, or empty: none kept
    bool plainLog = false;                                     // the log without terminal codes
    std::vector<std::pair<std::string, std::string>> results;  // moved when it ends
    std::string privateFolder;                                 // removed when it ends
    std::vector<std::string> readable;                         // all it may read, when confined
    std::uint64_t memoryLimit = 0;                             // its address space, bytes; 0: none
};

// While one lives, starts are recorded here and succeed without running.
class ProcessRecorder {
public:
    ProcessRecorder();
    ~ProcessRecorder();
    ProcessRecorder(const ProcessRecorder&) = delete;
    ProcessRecorder& operator=(const ProcessRecorder&) = delete;

    const std::vector<StartedProcess>& started() const { return started_; }
    // The next start fails with this system error code (and is still recorded).
    void failNextWith(DWORD code) { failNext_ = code; }

    // Used by CreateProcessW: the recorder in effect, or null.
    static ProcessRecorder* active();
    void record(const StartedProcess& start) { started_.push_back(start); }
    DWORD takeFailure() {
        DWORD code = failNext_;
        failNext_ = 0;
        return code;
    }

private:
    std::vector<StartedProcess> started_;
    DWORD failNext_ = 0;
    ProcessRecorder* previous_;
};

// Runs `program` whenever a start names `name` (compared without regard to
// case, by file name alone); an empty program removes the alias.
void setProgramAlias(const std::string& name, const std::string& program);
// The program standing for the help viewer "HH.EXE".
void setHelpViewer(const std::string& program);

// The longest command line a program may be started with, terminator
// included, as the platform counts it.
inline constexpr std::size_t kCommandLineLimit = 32767;

// Starts `program` with `arguments`, each reaching it as one argument
// whatever characters it holds (no command line is split again), in
// `folder` (empty: the host's), without inherited handles, and does not
// wait for it. A program without a folder is looked for with findOnPath.
// The start is recorded, with the command line the arguments make
// (joinCommandLine), while a ProcessRecorder lives. Answers 0, or the
// Windows error code: ERROR_FILENAME_EXCED_RANGE when that command line is
// longer than kCommandLineLimit (nothing is started), ERROR_FILE_NOT_FOUND,
// ERROR_ACCESS_DENIED, ERROR_DIRECTORY as CreateProcessW.
DWORD startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& folder, DWORD priorityClass);

// How startProgram runs a program apart from the host, beyond its folder.
struct ProgramRun {
    std::string folder;                    // where it runs; empty: the host's current folder
    std::vector<std::string> environment;  // "NAME=value" set over the host's environment
    // Its standard output and error go into this file, made anew (a link or
    // file under the name is replaced, never written through); empty: nowhere.
    std::string log;
    // The log as text for a file: the escape sequences the program writes
    // for a terminal (colours, cursor moves, a window title) left out.
    bool plainLog = false;
    // When it has ended with status 0, each file is put from the first
    // path in place of the second by the one writer (a link under the
    // second is replaced, not written through; a folder there is refused);
    // how that went is added to the log. Then, ended well or not,
    // `privateFolder` is removed with what it holds (no link followed).
    //
    // The host does not wait: a watcher of its own, no child of the host
    // (so nothing is left for the host to collect), runs the program and
    // waits for it. The program's output goes first to a file of the
    // watcher's own, and becomes the log, whole, when the program has
    // ended: two runs under one log name never meet. The program ends with
    // its watcher, however the watcher ends; a watcher killed leaves the
    // private folder to a guard of its own, which removes it.
    std::vector<std::pair<std::string, std::string>> results;
    std::string privateFolder;
    // Where the kernel offers it (confinementVersion, confinement.h), a
    // program given folders here may read (and run) only what lies below
    // them and below its own folder, and write only in `privateFolder`;
    // nothing given: not confined.
    std::vector<std::string> readable;
    // The address space the program may take, in bytes (what it asks for
    // beyond it fails); 0: no limit of its own.
    std::uint64_t memoryLimit = 0;
};
DWORD startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const ProgramRun& run, DWORD priorityClass);
// A new folder in `parent` for one program's files: `prefix` and six
// characters nobody can foretell, mode 0700, with its full path and no
// trailing separator; empty (errno set) when it cannot be made.
std::string makePrivateFolder(const std::string& parent, const std::string& prefix);
// Puts a copy of the regular file `from` (of any size) into such a folder
// as `to`, through the one writer; never a second name for the same file,
// which the program could then change where `from` lies. False, with
// errno and `why` (Polish, naming the file), when it cannot be made.
bool placeFileCopy(const std::string& from, const std::string& to, std::string* why = nullptr);
// Removes such a folder with what it holds, following no link.
void removePrivateFolder(const std::string& folder);
// Waits until every program started so far (and what watches and guards
// it) has ended: for tests, which look at what a program left behind.
void waitForStartedPrograms();
// The program `name` (without a folder) in the absolute folders of PATH,
// never in the current folder; empty when none holds it.
std::string findOnPath(const std::string& name);
// The command line of a program and its arguments by the Windows rules,
// each argument quoted so that splitCommandLine gives it back whole.
std::string joinCommandLine(const std::string& program, const std::vector<std::string>& arguments);

// Windows command-line splitting; the first word is parsed as a program
// name (quotes group, no escapes), as the C runtime does.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

}  // namespace host

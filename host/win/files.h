// File and folder services in the shape the module calls them: file
// attributes, one-level folder creation, wildcard folder search, copy,
// rename and delete, with failures reported through GetLastError. Paths may
// be written with "\" (as the module builds them) or "/": every call maps
// "\" to "/" before touching the file system; a drive prefix such as "C:" is
// kept as written. Folder searches return their entries sorted by name
// without regard to case (then byte order), so runs are reproducible; "."
// and ".." are listed when the pattern matches them, as on Windows.
// Limits: no short (8.3) names, no file times, names compared without
// regard to case only for the Latin letters host::toUpper knows.
// Files are written by the one writer, replace_file.h, included here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/win/read_file.h"
#include "host/win/replace_file.h"
#include "host/win/winbase.h"

constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    char cFileName[MAX_PATH];  // UTF-8; a Linux name is at most 255 bytes
};

DWORD GetFileAttributesW(const char* path);
// Creates one folder level. An existing folder counts as success (the last
// error is then ERROR_ALREADY_EXISTS); a missing parent fails with
// ERROR_PATH_NOT_FOUND, a file of that name with ERROR_ALREADY_EXISTS.
BOOL CreateDirectoryW(const char* path, void* securityAttributes);
// Pattern: a folder and a name with '*' and '?'. INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND when nothing matches, ERROR_PATH_NOT_FOUND when the
// folder is missing.
HANDLE FindFirstFileW(const char* pattern, WIN32_FIND_DATAW* data);
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* data);  // ERROR_NO_MORE_FILES at the end
BOOL FindClose(HANDLE search);
// Copies a file whole; the target is replaced through a temporary file, so
// it is never left half written. failIfExists refuses an existing target.
BOOL CopyFileW(const char* from, const char* to, BOOL failIfExists);
// Renames a file or folder; an existing target is refused (ERROR_ALREADY_EXISTS).
BOOL MoveFileW(const char* from, const char* to);
BOOL DeleteFileW(const char* path);

namespace host {

std::string nativePath(std::string_view path);

// A path in four parts, as written: drive ("C:" or empty), folder (with its
// trailing separator), name, extension (with its leading '.').
struct PathParts {
    std::string drive, dir, fname, ext;
};
PathParts splitPath(std::string_view path);
// Joins the parts, adding a separator after the folder and a '.' before
// the extension when they lack one. The separator added is "\" when the
// folder already uses "\", else "/".
std::string makePath(std::string_view drive, std::string_view dir, std::string_view fname,
                     std::string_view ext);

// Windows file-name matching: '*' any run, '?' one character, case ignored;
// a pattern ending in ".*" also matches a name without an extension.
bool matchFileName(std::string_view name, std::string_view pattern);
// The names in a folder matching a pattern, sorted as FindFirstFileW lists them.
std::vector<std::string> listFolder(const std::string& folder, std::string_view pattern);

bool fileExists(const std::string& path);  // a file, not a folder
bool folderExists(const std::string& path);

// The user's documents folder, without a trailing separator:
// $XDG_DOCUMENTS_DIR, else $HOME/Documents (".", without a home); made,
// with the folders above it, when missing.
std::string documentsFolder();

// The user's own data folder of the program: $XDG_DATA_HOME/velmor, else
// $HOME/.local/share/velmor; empty without either. Not made here.
std::string userDataFolder();
// Copies every file and folder of `from` that `to` lacks into `to` (made
// when missing), never replacing what is there, also when another process
// seeds the same folder at once; the names `skip` matches (matchFileName
// patterns, at the top level only) are left out. False when `to` cannot be
// made. What could not be copied (a full disk, a file-size limit: no part
// of such a file is left) is added to `notCopied` with the reason.
struct NotCopied {
    std::string path;
    std::string reason;  // in Polish
};
bool copyMissing(const std::string& from, const std::string& to, const std::vector<std::string>& skip = {},
                 std::vector<NotCopied>* notCopied = nullptr);
// Why files cannot be made in the folder (missing, not a folder, read
// only, no access), in Polish; nothing when they can.
std::optional<std::string> folderUnwritable(const std::string& folder);

// The folder of this process's temporary files, with its trailing "/": a
// new folder "velmor-XXXXXX" (a name nobody can foretell, mode 0700) in
// $TMPDIR (else /tmp), made at the first call with `make`; empty when it
// cannot be made, or without `make` when it was not. It is no support
// folder: the program reads from it only the files it put there, by their
// full path. removeTemporaryFolder deletes it with the files it holds,
// following no link.
std::string temporaryFolder(bool make = true);
void removeTemporaryFolder();

// The reason of a failed file operation (an errno value) as the messages
// of the host say it, in Polish.
std::string fileErrorReason(int err);

}  // namespace host

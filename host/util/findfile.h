// Support-file search. The support path is a list of folders that the
// start-up provides (the program's support folders, "--support" folders,
// the drawing's folder); zcedFindFile looks a name up in them in order,
// passing over those that are not there.
// Names are matched without regard to case and "\" in a name is taken as
// "/", since the module writes Windows paths. A name with a folder part is
// looked up there only (relative to the working folder when relative).
// While a script runs, the names it gives are looked up relative to the
// script's own folder first, so a script runs from any working folder.
// The process's temporary folder is never searched.
// A link found in a folder that is not the user's (the drawing's folder, a
// folder a name points into) is refused when it leads out of that folder:
// whoever handed the folder over would have any file read as this one.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/win/read_file.h"

// RTNORM and the full path in result; RTERROR when the file is not found
// or its path does not fit in resultLen bytes.
int zcedFindFile(const char* fname, char* result, size_t resultLen);
template <size_t N>
int zcedFindFile(const char* fname, char (&result)[N]) {
    return zcedFindFile(fname, result, N);
}

namespace host {

// Where the folders come from: the start-up installs a provider (asked at
// each search, so the current drawing's folder follows the document);
// without one, the fixed list given to setSupportFolders is used.
void setSupportPathProvider(std::function<std::vector<std::string>()> provider);
// A provider that hands out one list for as long as the path stays as it
// is: a search then neither copies the folders nor compares them again.
using SharedFolders = std::shared_ptr<const std::vector<std::string>>;
void setSharedSupportPathProvider(std::function<SharedFolders()> provider);
void setSupportFolders(std::vector<std::string> folders);
// The folders as the provider gives them, whether there or not.
std::vector<std::string> supportFolders();
// The folder of the script that runs (empty: none).
void setScriptFolder(std::string folder);

// The folders that are the user's own: the folders named on the program's
// command line, the user's data folder, the program's own support folders.
// Their files are the user's: a link there is followed wherever it leads,
// and they are read as they are (read_file.h). A folder is matched as
// written here, or as the system resolves it; any other folder (the
// drawing's, the running script's) is someone else's.
void setUserFolders(const std::vector<std::string>& folders);
// Whose the file at `path` is, by the folder it is in.
FileOrigin originOf(std::string_view path);

// Whether a name is a file's name alone: not empty, no "/" or "\\", no
// "..". A name that came with a drawing is looked up only when it is one,
// so that the drawing cannot point the program at a file elsewhere.
bool isPlainFileName(std::string_view name);

// A file name a drawing keeps for a later default (the last block
// inserted, say), as it may be offered and used: its part after the last
// folder separator ("/", "\\" or a drive's ":"), so that a name stored as a
// path elsewhere is looked up where the search looks; empty when that part
// is no plain file name.
std::string bareFileName(std::string_view name);

// The path of the first match, by the rules above. A folder's names are
// kept as its value (kept_files.h) while it stays as it was; while a command
// runs, where a name was found serves the rest of its round
// (keptCommandRound), and later commands while no name was added, removed
// or renamed in any folder searched: a file another program adds or removes
// meanwhile is seen by the next command.
std::optional<std::string> findOnSupportPath(const std::string& name);

// A stamp of a file or folder (its times, size and file number) when it
// can stand for the contents: the path exists and was last modified and
// changed well before now, so that any later change gives another stamp
// even on a coarse clock. nullopt otherwise: what was read from it is not to be kept.
struct FileStamp {
    long long modified = 0, changed = 0;  // nanoseconds
    long long size = 0, number = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> settledStamp(const std::string& path);

}  // namespace host

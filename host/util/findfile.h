// Support-file search. The support path is a list of folders that the
// start-up provides (the program's support folders, "--support" folders,
// the drawing's folder); zcedFindFile looks a name up in them in order.
// Names are matched without regard to case and "\" in a name is taken as
// "/", since the module writes Windows paths. A name with a folder part is
// looked up there only (relative to the working folder when relative).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
void setSupportFolders(std::vector<std::string> folders);
std::vector<std::string> supportFolders();

// The path of the first match, by the rules above.
std::optional<std::string> findOnSupportPath(const std::string& name);

}  // namespace host

// Support-file search: each folder of the support path is listed with the
// host's case-blind file-name match, so "Layerc.def" finds "LAYERC.DEF".
#include "host/util/findfile.h"

#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <unordered_map>

#include "host/util/adscodes.h"
#include "host/win/files.h"

namespace {

struct SupportPath {
    std::function<std::vector<std::string>()> provider;
    std::vector<std::string> fixed;
    std::string scriptFolder;
};

SupportPath& support() {
    static SupportPath s;
    return s;
}

std::string slashed(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

// Every name in a folder, sorted as listFolder sorts them, read again when
// the folder's stamp changes: a run of look-ups in the same support folders
// (a pattern file per hatch, say) lists each folder once.
struct Listing {
    host::FileStamp stamp;
    std::vector<std::string> names;
    std::unordered_map<std::string, std::vector<std::string>> matches;  // by pattern
};

std::unordered_map<std::string, Listing>& listings() {
    static std::unordered_map<std::string, Listing> l;
    return l;
}

std::vector<std::string> namesMatching(const std::string& dir, const std::string& pattern) {
    const std::optional<host::FileStamp> stamp = host::settledStamp(dir);
    if (!stamp) {
        listings().erase(dir);
        return host::listFolder(dir, pattern);
    }
    auto at = listings().find(dir);
    if (at == listings().end() || !(at->second.stamp == *stamp))
        at = listings().insert_or_assign(dir, Listing{*stamp, host::listFolder(dir, "*"), {}}).first;
    auto found = at->second.matches.find(pattern);
    if (found == at->second.matches.end()) {
        std::vector<std::string> names;
        for (const std::string& n : at->second.names)
            if (host::matchFileName(n, pattern)) names.push_back(n);
        found = at->second.matches.emplace(pattern, std::move(names)).first;
    }
    return found->second;
}

// The file of that name in the folder, whatever the case of its letters.
std::optional<std::string> lookIn(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find_first_of("*?") != std::string::npos) return std::nullopt;
    std::string dir = folder.empty() ? "." : folder;
    if (dir.back() != '/') dir += '/';
    if (host::fileExists(dir + name)) return (folder.empty() ? "" : dir) + name;
    for (const std::string& entry : namesMatching(dir, name))
        if (host::fileExists(dir + entry)) return (folder.empty() ? "" : dir) + entry;
    return std::nullopt;
}

}  // namespace

int zcedFindFile(const char* fname, char* result, size_t resultLen) {
    if (!fname || !result || resultLen == 0) return RTERROR;
    std::optional<std::string> found = host::findOnSupportPath(fname);
    if (!found || found->size() + 1 > resultLen) return RTERROR;
    std::memcpy(result, found->c_str(), found->size() + 1);
    return RTNORM;
}

namespace host {

void setSupportPathProvider(std::function<std::vector<std::string>()> provider) {
    support().provider = std::move(provider);
}

void setSupportFolders(std::vector<std::string> folders) {
    support().fixed = std::move(folders);
}

std::vector<std::string> supportFolders() {
    return support().provider ? support().provider() : support().fixed;
}

void setScriptFolder(std::string folder) {
    support().scriptFolder = slashed(std::move(folder));
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\") == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

std::optional<std::string> findOnSupportPath(const std::string& fname) {
    std::string name = slashed(fname);
    std::size_t slash = name.rfind('/');
    const std::string& script = support().scriptFolder;
    if (!script.empty() && !name.empty() && name[0] != '/') {
        std::string inScript = (script.back() == '/' ? script : script + "/") + name;
        std::size_t cut = inScript.rfind('/');
        if (std::optional<std::string> p = lookIn(inScript.substr(0, cut), inScript.substr(cut + 1)))
            return p;
    }
    if (slash != std::string::npos)
        return lookIn(name.substr(0, slash == 0 ? 1 : slash), name.substr(slash + 1));
    for (const std::string& folder : supportFolders()) {
        std::string f = slashed(folder);
        while (f.size() > 1 && f.back() == '/') f.pop_back();
        if (f.empty()) continue;
        if (std::optional<std::string> p = lookIn(f, name)) return p;
    }
    return std::nullopt;
}

std::optional<FileStamp> settledStamp(const std::string& path) {
    struct stat st;
    if (::stat(nativePath(path).c_str(), &st) != 0) return std::nullopt;
    auto ns = [](const timespec& t) { return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec; };
    const long long modified = ns(st.st_mtim);
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    // Changed in the last two seconds (or in the future): a change soon after
    // might keep the same times, so the contents cannot be vouched for. The
    // change time counts too, as a copy may set an old modification time.
    const long long changed = ns(st.st_ctim);
    if (modified > now - 2000000000LL || changed > now - 2000000000LL) return std::nullopt;
    return FileStamp{modified, changed, static_cast<long long>(st.st_size),
                     static_cast<long long>(st.st_ino)};
}

}  // namespace host

// Support-file search: each folder of the support path is listed with the
// host's case-blind file-name match, so "Layerc.def" finds "LAYERC.DEF".
#include "host/util/findfile.h"

#include <cstring>

#include "host/util/adscodes.h"
#include "host/win/files.h"

namespace {

struct SupportPath {
    std::function<std::vector<std::string>()> provider;
    std::vector<std::string> fixed;
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

// The file of that name in the folder, whatever the case of its letters.
std::optional<std::string> lookIn(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find_first_of("*?") != std::string::npos) return std::nullopt;
    std::string dir = folder.empty() ? "." : folder;
    if (dir.back() != '/') dir += '/';
    if (host::fileExists(dir + name)) return (folder.empty() ? "" : dir) + name;
    for (const std::string& entry : host::listFolder(dir, name))
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

std::optional<std::string> findOnSupportPath(const std::string& fname) {
    std::string name = slashed(fname);
    std::size_t slash = name.rfind('/');
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

}  // namespace host

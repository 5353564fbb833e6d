// Support-file search: each folder of the support path is listed with the
// host's case-blind file-name match, so "Layerc.def" finds "LAYERC.DEF".
#include "host/util/findfile.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "host/util/adscodes.h"
#include "host/util/notes.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"

namespace {

struct SupportPath {
    std::function<host::SharedFolders()> provider;
    host::SharedFolders fixed = std::make_shared<const std::vector<std::string>>();
    std::string scriptFolder;
    // The user's folders, each as given and as the system resolves it,
    // without a trailing separator.
    std::vector<std::string> userFolders;
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

// A folder as the user folders are compared: "/" for "\\", no trailing separator.
std::string folderKey(std::string_view folder) {
    std::string key = slashed(std::string(folder));
    while (key.size() > 1 && key.back() == '/') key.pop_back();
    return key;
}

// Compared as written, never resolved here: a folder written otherwise than
// the user's is taken for someone else's, which only makes its links
// refused.
bool isUserFolder(const std::string& folder) {
    const std::vector<std::string>& user = support().userFolders;
    return std::find(user.begin(), user.end(), folderKey(folder)) != user.end();
}

// Every name in a folder, sorted as listFolder sorts them, kept as the
// folder's value (kept_files.h): a run of look-ups in the same support
// folders (a pattern file per hatch, say) lists each folder once, and a
// folder written just now is listed once per command.
struct Listing {
    std::vector<std::string> names;
    mutable std::unordered_map<std::string, std::vector<std::string>> matches;  // by pattern
};

constexpr std::string_view kListing = "folder names";

// The names stay the listing's: the pointer shares its ownership.
std::shared_ptr<const std::vector<std::string>> namesMatching(const std::string& dir,
                                                              const std::string& pattern) {
    auto listing = std::static_pointer_cast<const Listing>(host::keptFileValue(dir, kListing));
    if (!listing) {
        auto made = std::make_shared<Listing>();
        made->names = host::listFolder(dir, "*");
        host::keepFileValue(dir, kListing, made);
        listing = std::move(made);
    }
    auto found = listing->matches.find(pattern);
    if (found == listing->matches.end()) {
        std::vector<std::string> names;
        for (const std::string& n : listing->names)
            if (host::matchFileName(n, pattern)) names.push_back(n);
        found = listing->matches.emplace(pattern, std::move(names)).first;
    }
    return {listing, &found->second};
}

// Where each name was found, for the support path and script folder it was
// looked up in: a label's command asks for its template, catalogue and
// configuration several times, and relabelling a floor asks for them once
// per label. Within a command round a name is looked up once. What was found
// serves the next round too while every folder the searches looked in has
// the mark it had (kept_files.h): a name added, removed or renamed in any of
// them, or a folder too young to vouch for, has every name looked up again.
// A path that changes (another drawing made current) starts afresh.
using LookedIn = std::unordered_map<std::string, std::optional<host::FolderMark>>;  // by folder

struct FoundNames {
    unsigned long long round = 0;
    std::string scriptFolder;
    host::SharedFolders folders;
    std::unordered_map<std::string, std::optional<std::string>> paths;  // by name as given
    LookedIn lookedIn;

    void forget() {
        paths.clear();
        lookedIn.clear();
    }
    // Whether every folder looked in is still as it was then.
    bool foldersAsTheyWere() const {
        for (const auto& [folder, mark] : lookedIn)
            if (!mark || host::folderMarkThisRound(folder) != mark) return false;
        return true;
    }
};

FoundNames& foundNames() {
    static FoundNames f;
    return f;
}

// Whether the path is a symbolic link whose file is not in `folder` itself
// (a sub-folder, which the search does not go into, is outside too), the
// folders of both taken as the system resolves them.
bool leavesFolder(const std::string& path, const std::string& folder) {
    struct stat st;
    if (::lstat(host::nativePath(path).c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    const std::unique_ptr<char, decltype(&std::free)> file(
        ::realpath(host::nativePath(path).c_str(), nullptr), &std::free);
    const std::unique_ptr<char, decltype(&std::free)> dir(
        ::realpath(host::nativePath(folder).c_str(), nullptr), &std::free);
    if (!file || !dir) return true;
    const std::string_view target = file.get();
    const std::size_t slash = target.rfind('/');
    return target.substr(0, slash == 0 ? 1 : slash) != dir.get();
}

// The file of that name in the folder, whatever the case of its letters.
std::optional<std::string> lookIn(const std::string& folder, const std::string& name, LookedIn* lookedIn) {
    const bool usersFolder = isUserFolder(folder.empty() ? "." : folder);
    if (name.empty() || name.find_first_of("*?") != std::string::npos) return std::nullopt;
    // One path, its name part replaced for each candidate: a label's command
    // looks a dozen names up in several folders.
    std::string path = folder.empty() ? "." : folder;
    if (lookedIn && !lookedIn->contains(path)) lookedIn->emplace(path, host::folderMarkThisRound(path));
    // The path may name folders that are not there: a search that finds its
    // name earlier never asks after them.
    if (!host::folderThisRound(path)) return std::nullopt;
    if (path.back() != '/') path += '/';
    const std::size_t dirLength = path.size();
    const auto found = [&](const std::string& file) {
        path.resize(dirLength);
        path += file;
        return host::fileThisRound(path);
    };
    // A link that leads out of the folder would let whoever put it there
    // (a folder received with a drawing) have any file read as this one.
    const auto refused = [&] {
        if (usersFolder || !leavesFolder(path, path.substr(0, dirLength))) return false;
        host::noteForCommandLine("nie można odczytać " + path +
                                 ": dowiązanie prowadzi poza folder, w którym je znaleziono; odrzucono.");
        return true;
    };
    if (found(name)) {
        if (refused()) return std::nullopt;
        return folder.empty() ? name : path;
    }
    path.resize(dirLength);
    const auto matching = namesMatching(path, name);
    for (const std::string& entry : *matching)
        if (found(entry)) {
            if (refused()) return std::nullopt;
            return folder.empty() ? entry : path;
        }
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
    if (!provider) return setSharedSupportPathProvider(nullptr);
    setSharedSupportPathProvider([provider = std::move(provider)] {
        return std::make_shared<const std::vector<std::string>>(provider());
    });
}

void setSharedSupportPathProvider(std::function<SharedFolders()> provider) {
    support().provider = std::move(provider);
}

void setSupportFolders(std::vector<std::string> folders) {
    support().fixed = std::make_shared<const std::vector<std::string>>(std::move(folders));
}

namespace {

SharedFolders currentFolders() {
    if (!support().provider) return support().fixed;
    SharedFolders folders = support().provider();
    return folders ? folders : std::make_shared<const std::vector<std::string>>();
}

}  // namespace

std::vector<std::string> supportFolders() {
    return *currentFolders();
}

void setScriptFolder(std::string folder) {
    support().scriptFolder = slashed(std::move(folder));
}

void setUserFolders(const std::vector<std::string>& folders) {
    std::vector<std::string>& user = support().userFolders;
    user.clear();
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        user.push_back(folderKey(folder));
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(nativePath(folder).c_str(), nullptr), &std::free);
        if (resolved) user.push_back(resolved.get());
    }
}

FileOrigin originOf(std::string_view path) {
    const std::string native = slashed(std::string(path));
    const std::size_t slash = native.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : native.substr(0, slash == 0 ? 1 : slash);
    return isUserFolder(folder) ? FileOrigin::User : FileOrigin::Foreign;
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name.find_first_of("/\\") == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

std::string bareFileName(std::string_view name) {
    const std::size_t cut = name.find_last_of("/\\:");
    const std::string_view bare = cut == std::string_view::npos ? name : name.substr(cut + 1);
    return isPlainFileName(bare) ? std::string(bare) : std::string();
}

namespace {

std::optional<std::string> searchSupportPath(const std::string& fname,
                                             const std::vector<std::string>& folders,
                                             LookedIn* lookedIn = nullptr) {
    std::string name = slashed(fname);
    std::size_t slash = name.rfind('/');
    const std::string& script = support().scriptFolder;
    if (!script.empty() && !name.empty() && name[0] != '/') {
        std::string inScript = (script.back() == '/' ? script : script + "/") + name;
        std::size_t cut = inScript.rfind('/');
        if (std::optional<std::string> p =
                lookIn(inScript.substr(0, cut), inScript.substr(cut + 1), lookedIn))
            return p;
    }
    if (slash != std::string::npos)
        return lookIn(name.substr(0, slash == 0 ? 1 : slash), name.substr(slash + 1), lookedIn);
    for (const std::string& folder : folders) {
        std::string f = slashed(folder);
        while (f.size() > 1 && f.back() == '/') f.pop_back();
        if (f.empty()) continue;
        if (std::optional<std::string> p = lookIn(f, name, lookedIn)) return p;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> findOnSupportPath(const std::string& fname) {
    SharedFolders folders = currentFolders();
    const unsigned long long round = keptCommandRound();
    if (round == 0) return searchSupportPath(fname, *folders);
    FoundNames& found = foundNames();
    const std::string& script = support().scriptFolder;
    const bool sameFolders = found.folders == folders || (found.folders && *found.folders == *folders);
    if (!sameFolders || found.scriptFolder != script) {
        if (found.round == round) host::lookAgainThisRound();
        found.forget();
        found.scriptFolder = script;
    } else if (found.round != round && !found.foldersAsTheyWere()) {
        found.forget();
    }
    found.round = round;
    found.folders = std::move(folders);
    auto at = found.paths.find(fname);
    if (at == found.paths.end())
        at = found.paths.emplace(fname, searchSupportPath(fname, *found.folders, &found.lookedIn)).first;
    return at->second;
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

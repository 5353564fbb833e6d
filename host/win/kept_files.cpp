#include "host/win/kept_files.h"

#include <sys/stat.h>

#include <chrono>
#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "host/win/files.h"
#include "host/win/files_as_read.h"

namespace {

// Older than this, a file's times tell every later change apart, even on a
// file system that keeps them to two seconds.
constexpr long long kSettledNanoseconds = 2'000'000'000LL;

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

struct Stamp {
    long long size = -1;
    long long modified = 0, changed = 0;  // nanoseconds
    unsigned long long device = 0, number = 0;
    bool operator==(const Stamp&) const = default;
};

// What is at a path: nothing (size -1), a file or a folder, and its stamp.
struct Seen {
    Stamp stamp;
    bool folder = false;
};

Seen Look(const std::string& native) {
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) return {};
    return {{static_cast<long long>(st.st_size), Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim),
             static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)},
            S_ISDIR(st.st_mode)};
}

// Each path as first looked at in the command round (keptCommandRound): a
// label's command asks after the same catalogue, template and folders a
// dozen times, and each ask would be a call into the system.
struct SeenThisRound {
    unsigned long long round = 0;
    std::unordered_map<std::string, Seen> paths;
};

SeenThisRound& seenThisRound() {
    static SeenThisRound seen;
    return seen;
}

Seen SeenNow(const std::string& native) {
    const unsigned long long round = host::keptCommandRound();
    if (round == 0) return Look(native);
    SeenThisRound& seen = seenThisRound();
    if (seen.round != round) {
        seen.paths.clear();
        seen.round = round;
    }
    auto at = seen.paths.find(native);
    if (at == seen.paths.end()) at = seen.paths.emplace(native, Look(native)).first;
    return at->second;
}

Stamp StampOf(const std::string& native) {
    return SeenNow(native).stamp;
}

// Whether a file with this stamp was last modified long enough ago that a
// later write cannot leave its stamp as it is.
bool Settled(const Stamp& stamp) {
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    return stamp.modified <= now - kSettledNanoseconds;
}

struct Kept {
    Stamp stamp;
    bool settled = false;
    bool folder = false;
    std::shared_ptr<const void> value;
    std::shared_ptr<const std::string> bytes;  // the file's, when the keeper gave them
};

// By path and kind; looked up by views of them, so that a look-up (a dozen
// per label) copies neither.
struct ByPathAndKind {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
        return std::pair<std::string_view, std::string_view>(a.first, a.second) <
               std::pair<std::string_view, std::string_view>(b.first, b.second);
    }
};

using KeptValues = std::map<std::pair<std::string, std::string>, Kept, ByPathAndKind>;

KeptValues& keptValues() {
    static KeptValues kept;
    return kept;
}

// The path as the system spells it, copied only when it must be changed.
const std::string& Native(const std::string& path, std::string& changed) {
    if (path.find('\\') == std::string::npos) return path;
    changed = host::nativePath(path);
    return changed;
}

// Whether a command runs, so that a value of a file too young to vouch for
// has an end to serve until.
bool& commandRunning() {
    static bool running = false;
    return running;
}

// Counts the starts, ends and drops that end what keptCommandRound keeps.
unsigned long long& commandRound() {
    static unsigned long long n = 0;
    return n;
}

}  // namespace

namespace host {

std::shared_ptr<const void> keptFileValue(const std::string& path, std::string_view kind) {
    auto& kept = keptValues();
    if (kept.empty()) return nullptr;
    std::string changed;
    auto it = kept.find(std::pair<std::string_view, std::string_view>(Native(path, changed), kind));
    if (it == kept.end()) return nullptr;
    const Stamp now = StampOf(it->first.first);
    if (now.size < 0 || !(now == it->second.stamp)) {
        kept.erase(it);
        return nullptr;
    }
    // The command works from the file as it was when the value was made: a
    // write of this command compares with that, not with nothing.
    const Kept& k = it->second;
    if (!k.folder) {
        AsRead read{std::nullopt,
                    k.stamp.size,
                    k.stamp.modified,
                    k.stamp.changed,
                    static_cast<long long>(k.stamp.number),
                    static_cast<long long>(k.stamp.device)};
        if (k.bytes) read.bytes = *k.bytes;
        noteFileAsRead(it->first.first, std::move(read));
    }
    return k.value;
}

void keepFileValue(const std::string& path, std::string_view kind, std::shared_ptr<const void> value,
                   std::optional<std::string_view> bytes) {
    std::string native = nativePath(path);
    const Seen now = SeenNow(native);
    if (now.stamp.size < 0) return;
    const bool settled = Settled(now.stamp);
    if (!settled && !commandRunning()) return;
    std::shared_ptr<const std::string> kept;
    if (bytes && static_cast<long long>(bytes->size()) == now.stamp.size)
        kept = std::make_shared<const std::string>(*bytes);
    keptValues()[{std::move(native), std::string(kind)}] =
        Kept{now.stamp, settled, now.folder, std::move(value), std::move(kept)};
}

void startCommandKeptFileValues() {
    commandRunning() = true;
    ++commandRound();
}

void forgetCommandKeptFileValues() {
    std::erase_if(keptValues(), [](const auto& entry) { return !entry.second.settled; });
    commandRunning() = false;
    ++commandRound();
}

void forgetKeptFileValues() {
    keptValues().clear();
    ++commandRound();
}

unsigned long long keptCommandRound() {
    return commandRunning() ? commandRound() : 0;
}

bool fileThisRound(const std::string& path) {
    const Seen seen = SeenNow(nativePath(path));
    return seen.stamp.size >= 0 && !seen.folder;
}

bool folderThisRound(const std::string& path) {
    const Seen seen = SeenNow(nativePath(path));
    return seen.stamp.size >= 0 && seen.folder;
}

void lookAgainThisRound() {
    seenThisRound().paths.clear();
}

std::optional<FolderMark> folderMarkThisRound(const std::string& path) {
    const Seen seen = SeenNow(nativePath(path));
    if (seen.stamp.size < 0 || !seen.folder) return FolderMark{};
    if (!Settled(seen.stamp)) return std::nullopt;
    return FolderMark{true, seen.stamp.modified, seen.stamp.changed, seen.stamp.device, seen.stamp.number};
}

}  // namespace host

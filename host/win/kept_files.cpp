#include "host/win/kept_files.h"

#include <sys/stat.h>

#include <chrono>
#include <map>
#include <utility>

#include "host/win/files.h"

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

Stamp StampOf(const std::string& native) {
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) return {};
    return {static_cast<long long>(st.st_size), Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim),
            static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
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
    std::shared_ptr<const void> value;
};

std::map<std::pair<std::string, std::string>, Kept, std::less<>>& keptValues() {
    static std::map<std::pair<std::string, std::string>, Kept, std::less<>> kept;
    return kept;
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
    std::string native = nativePath(path);
    auto it = kept.find(std::pair<std::string, std::string>(std::move(native), std::string(kind)));
    if (it == kept.end()) return nullptr;
    const Stamp now = StampOf(it->first.first);
    if (now.size < 0 || !(now == it->second.stamp)) {
        kept.erase(it);
        return nullptr;
    }
    return it->second.value;
}

void keepFileValue(const std::string& path, std::string_view kind, std::shared_ptr<const void> value) {
    std::string native = nativePath(path);
    const Stamp now = StampOf(native);
    if (now.size < 0) return;
    const bool settled = Settled(now);
    if (!settled && !commandRunning()) return;
    keptValues()[{std::move(native), std::string(kind)}] = Kept{now, settled, std::move(value)};
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

}  // namespace host

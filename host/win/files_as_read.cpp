#include "host/win/files_as_read.h"

#include <map>

#include "host/win/files.h"

namespace host {

namespace {

// Larger files are compared by their stamp alone.
constexpr std::size_t kKeptReadBytes = 4u << 20;

std::map<std::string, AsRead, std::less<>>& filesAsRead() {
    static std::map<std::string, AsRead, std::less<>> read;
    return read;
}

long long nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

bool sameStamp(const AsRead& a, const AsRead& b) {
    return a.size == b.size && a.modified == b.modified && a.changed == b.changed && a.number == b.number &&
           a.device == b.device;
}

}  // namespace

AsRead asReadFrom(const struct stat& st, std::optional<std::string_view> bytes) {
    AsRead r{std::nullopt,
             static_cast<long long>(st.st_size),
             nanoseconds(st.st_mtim),
             nanoseconds(st.st_ctim),
             static_cast<long long>(st.st_ino),
             static_cast<long long>(st.st_dev)};
    if (bytes && bytes->size() <= kKeptReadBytes) r.bytes.emplace(*bytes);
    return r;
}

void noteFileAsRead(const std::string& native, AsRead read) {
    auto [at, added] = filesAsRead().try_emplace(native, std::move(read));
    // The same file read again with its bytes: a merge can start from them.
    if (!added && !at->second.bytes && read.bytes && sameStamp(at->second, read))
        at->second = std::move(read);
}

void noteFileWritten(const std::string& native, AsRead written) {
    filesAsRead().insert_or_assign(native, std::move(written));
}

const AsRead* fileAsRead(const std::string& native) {
    auto& read = filesAsRead();
    auto at = read.find(native);
    return at == read.end() ? nullptr : &at->second;
}

void forgetFileAsRead(const std::string& native) {
    filesAsRead().erase(native);
}

void forgetFilesAsRead() {
    filesAsRead().clear();
}

bool unchangedSinceRead(const std::string& native, const AsRead& read, std::optional<std::string>& now) {
    struct stat st;
    if (::stat(native.c_str(), &st) != 0) return false;
    if (!read.bytes) return sameStamp(asReadFrom(st, std::nullopt), read);
    std::string bytes;
    if (!readWholeFile(native, bytes)) return false;
    const bool same = bytes == *read.bytes;
    now = std::move(bytes);
    return same;
}

}  // namespace host

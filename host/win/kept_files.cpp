#include "host/win/kept_files.h"

#include <sys/stat.h>

#include <map>
#include <utility>

#include "host/win/files.h"

namespace {

struct Stamp {
    long long size = -1;
    long long seconds = 0, nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const std::string& native) {
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) return {};
    return {static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
            static_cast<long long>(st.st_mtim.tv_nsec)};
}

struct Kept {
    Stamp stamp;
    std::shared_ptr<const void> value;
};

std::map<std::pair<std::string, std::string>, Kept>& keptValues() {
    static std::map<std::pair<std::string, std::string>, Kept> kept;
    return kept;
}

}  // namespace

namespace host {

std::shared_ptr<const void> keptFileValue(const std::string& path, std::string_view kind) {
    const std::string native = nativePath(path);
    auto& kept = keptValues();
    auto it = kept.find({native, std::string(kind)});
    if (it == kept.end()) return nullptr;
    const Stamp now = StampOf(native);
    if (now.size < 0 || !(now == it->second.stamp)) {
        kept.erase(it);
        return nullptr;
    }
    return it->second.value;
}

void keepFileValue(const std::string& path, std::string_view kind, std::shared_ptr<const void> value) {
    const std::string native = nativePath(path);
    const Stamp now = StampOf(native);
    if (now.size < 0) return;
    keptValues()[{native, std::string(kind)}] = Kept{now, std::move(value)};
}

void forgetKeptFileValues() {
    keptValues().clear();
}

}  // namespace host

// What this process read of each file in the running command, so that a
// write can tell whether another program changed the file since: the
// first read of the command (or what this process last wrote there), and
// for a value kept from an earlier command (kept_files.h) the file as it
// was when that value was worked out. Small files keep their bytes, which
// a merge starts from; larger ones their size, times and file number only.
// The record ends with the command (forgetFilesAsRead).
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

namespace host {

struct AsRead {
    std::optional<std::string> bytes;
    long long size = 0, modified = 0, changed = 0, number = 0, device = 0;
};

AsRead asReadFrom(const struct stat& st, std::optional<std::string_view> bytes);
// Notes the read unless the command already noted one for the path.
void noteFileAsRead(const std::string& native, AsRead read);
// Replaces what was noted (this process wrote the file).
void noteFileWritten(const std::string& native, AsRead written);
const AsRead* fileAsRead(const std::string& native);
void forgetFileAsRead(const std::string& native);
// Whether the file at `native` is still what was read; `now` receives its
// bytes when they had to be read to tell.
bool unchangedSinceRead(const std::string& native, const AsRead& read, std::optional<std::string>& now);

}  // namespace host

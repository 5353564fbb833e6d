// Values worked out from a file's contents (a parsed catalogue), kept so
// that a command that reads the same support file for every object it
// makes reads and parses it once.
//
// A kept value serves only while its file has the size and modification
// time it had when read, and no longer than the command running: every
// value goes when a command ends and when this process writes any file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace host {

// The value kept for the file under `kind`; null when none serves.
std::shared_ptr<const void> keptFileValue(const std::string& path, std::string_view kind);
// Keeps `value` for the file as it is now (nothing when it cannot be read).
void keepFileValue(const std::string& path, std::string_view kind, std::shared_ptr<const void> value);
// Every kept value goes.
void forgetKeptFileValues();

}  // namespace host

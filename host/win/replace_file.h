// A whole file written as a stream (the exports, whose text is too large
// to hold): the one writer of files.h (writeWholeFile) with its text handed
// over piece by piece. By default the name itself is replaced: a symbolic
// link (or a hard link) found there is swapped for the new file, never
// written through, so a file the link points at stays as it was. A
// temporary file not committed is removed.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "host/win/files.h"

namespace host {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the temporary file beside `path`; false with `error` (Polish,
    // naming the file) when it cannot be made or the name holds a folder.
    bool open(const std::string& path, std::string* error = nullptr,
              LinkAtName link = LinkAtName::ReplaceLink);
    // The stream to write to while open; null otherwise.
    std::FILE* stream() const { return out_; }
    // Flushes, closes and renames the temporary file over the name; false
    // with `error` when any step fails (the name then stays as it was).
    bool commit(std::string* error = nullptr);
    // Drops what was written; the name stays as it was.
    void discard();

private:
    std::FILE* out_ = nullptr;
    std::string asNamed_, target_, temp_;
};

// Replaces the file `path` by these bytes as ReplacingFile does
// (writeWholeFile with the link replaced).
bool replaceFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);
// Whether anything is under the name: a file, a folder, or a link even
// when it leads nowhere.
bool nameTaken(const std::string& path);
// `path` made absolute against the current folder (as written when it
// already is, or when the current folder cannot be read).
std::string absolutePath(const std::string& path);

}  // namespace host

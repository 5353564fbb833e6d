// The one writer of whole files: every file this program writes goes
// through writeWholeFile (or ReplacingFile, the same writer with the text
// handed over piece by piece, for the exports whose text is too large to
// hold). files.h includes this header: the writer is part of the file
// services, defined in replace_file.cpp.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Files are written whole: the bytes go to a new temporary file beside the
// target (a name nobody can foretell, made with O_EXCL, never opened
// through an entry that was there), which is renamed over the target once
// complete, so the target is never missing nor half written. A target that
// exists and is no regular file or link (a folder, FIFO, device) is
// refused and left alone, and so is a target in a protected folder
// (setProtectedFolders). Writes of this program into one folder take turns
// (a lock on the folder), so the check below and the rename are one step
// for the others. A file this process read in the running command (see
// readWholeFile), or worked a value out of that it kept from an earlier
// one (kept_files.h), and another program changed since is not replaced:
// the write is refused, or with `merge` the bytes to write are worked out
// again from the file as it is now. On failure the target is untouched, the
// temporary file is removed and `error` says in Polish what went wrong
// ("nie można zapisać PLIK: to nie jest zwykły plik").
//
// A symbolic link under the target's name: a save (the drawing, a support
// file) writes the file the link names and the link stays; an export puts
// its new file in the link's place, leaving what the link named as it was.
// A save through a link that leads to no file is refused, naming the link
// and where it leads: it would make a file wherever the link points.
//
// A temporary file is named ".NAME.PID.XXXXXX" after the target and the
// process writing it, and that process holds a lock on it while it writes.
// A write left unfinished (the program killed) leaves its temporary file:
// the next write of the same name removes those whose process is gone and
// whose lock nobody holds, never one a living program is writing.
enum class LinkAtName { WriteLinkedFile, ReplaceLink };
// Given the bytes this process read and the file as it is now, the bytes
// to write instead (this process's changes made on the file as it is now),
// or nothing to refuse.
using MergeChanges = std::function<std::optional<std::string>(std::string_view asRead, std::string_view now)>;
struct WholeFileWrite {
    LinkAtName link = LinkAtName::WriteLinkedFile;
    const MergeChanges* merge = nullptr;
    // A copy that must not replace what is there (a first-run copy another
    // process may make at once): anything under the name, a link even to
    // nothing, is kept and the write fails with EEXIST.
    bool keepExisting = false;
};
bool writeWholeFile(const std::string& path, std::string_view bytes, const WholeFileWrite& how,
                    std::string* error = nullptr);
// writeWholeFile as a save does it, without and with a merge.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);
bool writeFileMerging(const std::string& path, std::string_view bytes, const MergeChanges& merge,
                      std::string* error = nullptr);
// A new empty file beside `target` under a name nobody can foretell
// (".NAME.PID.XXXXXX", mode 0666 less the umask), opened for writing and
// locked while the descriptor is open; -1 with errno when it cannot be
// made. `temp` receives its path.
int makeTemporaryBeside(const std::string& target, std::string& temp);

// Folders no write may go into (the support folder shipped with the
// program): a write there fails with a message.
void setProtectedFolders(const std::vector<std::string>& folders);

// A whole file written as a stream: by default the name itself is
// replaced, a symbolic link (or a hard link) found there swapped for the
// new file, never written through, so a file the link points at stays as
// it was. A temporary file not committed is removed.
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

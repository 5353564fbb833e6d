// The one reader of whole files. Whose a file is decides what of it is
// read: a file the user named is read as it is, while a file that came
// with someone else's drawing is read only when it is a plain file. A size
// bound holds for both, since a file read whole is held in memory whole.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

struct stat;

namespace host {

// Where a file to be read comes from.
//  - User: the user's own: named on the program's command line (a script,
//    the drawing, given as a pipe, "/dev/null" or a link anywhere), or
//    found in the user's own folders (findfile.h). It is opened as the user
//    would open it, and a pipe is read until its writer ends.
//  - Foreign: named by a drawing, or found beside one, in a folder received
//    from someone else. Only a regular file is read: it is opened without
//    waiting and looked at before a byte is read, so that a FIFO or a
//    device planted under its name can neither block the program nor feed
//    it for ever. Where the origin is not known, a file is foreign.
enum class FileOrigin { Foreign, User };

// The largest support, template, pattern or definition file read: far
// above any real one, so that a file that is no such thing is refused
// before it is read into memory.
constexpr std::size_t kMaxSupportFileBytes = std::size_t{64} << 20;

// Reads a whole file of at most `maxBytes`, as its origin allows; false
// with a message naming the file (errno set) when it cannot be read, is a
// folder, is no regular file when foreign, or is larger: a regular file is
// refused before anything is allocated, a pipe or device as soon as its
// bytes pass the bound. The first read of a regular file in a command is
// kept (its bytes, for a small file; else its size and times) for the
// writes of files.h to compare with, until forgetFilesAsRead, which the
// end of every command calls.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr,
                   std::size_t maxBytes = kMaxSupportFileBytes, FileOrigin origin = FileOrigin::Foreign);
void forgetFilesAsRead();

// Whether the path names a regular file (through a link too): what a
// folder beside it can mean something for.
bool fileIsRegular(const std::string& path);

// readWholeFile of a native path without keeping the read; `stamp`
// receives what the open file was when it was read.
bool readFileBytes(const std::string& native, std::string& bytes, std::string* error, std::size_t maxBytes,
                   FileOrigin origin, struct stat* stamp = nullptr);

}  // namespace host

// A drawing file's bytes, read for the DXF reader. What a name leads to is
// looked at before a byte is read: a folder or a device is no drawing, and
// a regular file larger than a drawing can be is refused by its size. A
// FIFO is opened without waiting for a writer (one that nobody writes ends
// at once, empty), and a stream (a pipe carrying a drawing, "<(cat
// plan.dxf)") is read in chunks, judged by its first lines: data that does
// not begin as a DXF file does is refused there, not after gigabytes, and a
// stream that passes the size bound stops at it. Every refusal is one
// reason, in Polish, for the caller to put after the file's name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/win/read_file.h"

namespace host {

// Far above any drawing a building makes (the largest are a few hundred
// megabytes), and low enough that the bytes and what they are read into
// fit a machine.
inline constexpr std::size_t kMaxDrawingBytes = std::size_t{1} << 30;

// The bytes of the drawing `path`, as its origin allows (read_file.h);
// false with `why` when it cannot or may not be read.
bool readDrawingFile(const std::string& path, FileOrigin origin, std::string& bytes, std::string& why,
                     std::size_t maxBytes = kMaxDrawingBytes);

// Whether `first`, the first bytes of a stream (all of it when `ended`),
// may begin a DXF file: the binary form's sentinel, or text whose first
// line is a group code (a whole number, blanks around it, a byte-order
// mark before it).
bool mayBeginDxf(std::string_view first, bool ended);
// Bytes of a stream looked at before it is judged.
inline constexpr std::size_t kDxfJudgedBytes = 4096;

}  // namespace host

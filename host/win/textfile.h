// The one reader and writer of the module's text files. A file is read
// whole into lines: as UTF-8 when its bytes are valid UTF-8 (a byte-order
// mark skipped), else as Windows-1250, the 8-bit code page of the Polish
// systems these files come from. A UTF-8 file spoilt by a stray byte stays
// UTF-8: it is decoded line by line, a line that is not valid UTF-8 read
// with its stray bytes as Windows-1250 and written back with the bytes it
// had, so one bad byte cannot change the meaning of the other lines. Lines end with LF or CR LF, or, in a
// file without any LF, with CR alone; only the line end is removed, and a last line without one is kept
// whole. The encoding, the byte-order mark, the line end and whether the last line had one are remembered, so
// writing back an unchanged file gives the same bytes; a new file is UTF-8 with LF. Writing goes to a
// temporary file in the same folder, renamed over the target, so a failed write leaves the old file. Limits:
// a file mixing LF and CR LF is written back with the line end of its first line; a character Windows-1250
// cannot hold is written as '?'.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

enum class TextEncoding { Utf8, Windows1250 };
enum class LineEnding { Lf, CrLf, Cr };

struct TextFile {
    std::vector<std::string> lines;  // UTF-8, without their line ends
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Lf;
    bool byteOrderMark = false;
    bool finalLineEnd = true;  // the last line ends with a line end
    // Lines that were not valid in the file's encoding: their bytes as read,
    // by line index. Such a line, while it holds the text it was read as, is
    // written back with those bytes.
    std::map<std::size_t, std::string> rawLines;
};

// Whether a file's bytes are text: no NUL byte, no UTF-16 byte-order mark,
// and valid UTF-8 or Windows-1250 (none of the five bytes that code page
// leaves unassigned, no control character but tab, line ends, form feed
// and the old end-of-file mark).
bool isTextBytes(std::string_view bytes);

// nullopt with a message when the file cannot be read.
std::optional<TextFile> readTextFile(const std::string& path, std::string* error = nullptr);
// The bytes of a file's contents, as readTextFile would decode them.
TextFile decodeText(std::string_view bytes);
std::string encodeText(const TextFile& file);
bool writeTextFile(const std::string& path, const TextFile& file, std::string* error = nullptr);

std::string decodeWindows1250(std::string_view bytes);
// Valid UTF-8: every valid sequence kept, every byte that is not part of
// one read as Windows-1250, so that a stray 8-bit byte cannot spoil the
// text around it.
std::string repairUtf8(std::string_view bytes);
// Characters with no Windows-1250 form become '?'.
std::string encodeWindows1250(std::string_view utf8);

}  // namespace host

// Text files: the bytes are split at LF (one CR before it removed), or at
// CR in a file of CR line ends, one without any LF; then the file is UTF-8
// when it is valid UTF-8, or when it holds more UTF-8 characters beyond
// ASCII than bytes that are not UTF-8 (its lines that are not valid keep
// their bytes for writing); else Windows-1250. Windows-1250 maps its
// upper half through a 128-entry table; the five bytes the code page leaves
// unassigned map to the C1 control of the same value, as Windows converts
// them, so they survive a round trip.
#include "host/win/textfile.h"

#include <algorithm>

#include "host/win/files.h"
#include "host/win/textutil.h"

namespace host {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

constexpr char16_t kCp1250[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

// Whether the bytes are UTF-8: valid, or with more UTF-8 characters beyond
// ASCII than bytes that are not UTF-8 (a UTF-8 file with stray bytes). Any
// other file is Windows-1250 throughout, where a pair of its letters may
// happen to read as UTF-8.
bool readsAsUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes)) return true;
    std::size_t utf8Chars = 0;
    std::size_t strayBytes = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        bool valid = true;
        const char32_t cp = decodeUtf8(bytes, pos, &valid);
        if (!valid)
            ++strayBytes;
        else if (cp >= 0x80)
            ++utf8Chars;
    }
    return utf8Chars > strayBytes;
}

// The lines of `bytes` without their line ends; sets the file's line end
// and whether its last line had one. A file without a single LF whose lines
// end in CR alone is split at CR; any other at LF with one CR before it
// removed, a CR inside a line staying part of it.
std::vector<std::string_view> splitLines(std::string_view text, TextFile& file) {
    std::vector<std::string_view> lines;
    const bool crAlone =
        text.find('\n') == std::string_view::npos && text.find('\r') != std::string_view::npos;
    const char separator = crAlone ? '\r' : '\n';
    if (crAlone) file.lineEnding = LineEnding::Cr;
    bool firstEnd = true;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t sep = text.find(separator, start);
        if (sep == std::string_view::npos) {
            lines.push_back(text.substr(start));
            file.finalLineEnd = false;
            break;
        }
        std::size_t end = sep;
        if (!crAlone) {
            const bool cr = end > start && text[end - 1] == '\r';
            if (cr) --end;
            if (firstEnd) file.lineEnding = cr ? LineEnding::CrLf : LineEnding::Lf;
        }
        firstEnd = false;
        lines.push_back(text.substr(start, end - start));
        start = sep + 1;
    }
    return lines;
}

char encode1250(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    for (int i = 0; i < 128; ++i)
        if (kCp1250[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

bool isTextBytes(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") return false;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) return false;
    }
    // The bytes Windows-1250 leaves unassigned, where they are read in that
    // code page: anywhere in such a file, only the stray ones in UTF-8.
    auto unassigned = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
    };
    if (!readsAsUtf8(bytes)) return std::none_of(bytes.begin(), bytes.end(), unassigned);
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        bool valid = true;
        decodeUtf8(bytes, pos, &valid);
        if (!valid && unassigned(bytes[start])) return false;
    }
    return true;
}

std::optional<TextFile> readTextFile(const std::string& path, std::string* error) {
    std::string bytes;
    if (!readWholeFile(nativePath(path), bytes, error)) return std::nullopt;
    return decodeText(bytes);
}

TextFile decodeText(std::string_view bytes) {
    TextFile file;
    // A mark written twice (a file saved again by an editor that added its
    // own) is still only the mark: left on the first line, it would become
    // part of the first key or name and vanish on the next save.
    while (bytes.substr(0, kBom.size()) == kBom) {
        file.byteOrderMark = true;
        bytes.remove_prefix(kBom.size());
    }
    // Line ends are ASCII in both encodings, so the bytes are split first.
    std::vector<std::string_view> raw = splitLines(bytes, file);
    if (isValidUtf8(bytes)) {
        for (std::string_view line : raw) file.lines.emplace_back(line);
        return file;
    }
    if (!readsAsUtf8(bytes)) {
        file.encoding = TextEncoding::Windows1250;
        for (std::string_view line : raw) file.lines.push_back(decodeWindows1250(line));
        return file;
    }
    for (std::string_view line : raw) {
        if (isValidUtf8(line)) {
            file.lines.emplace_back(line);
            continue;
        }
        file.rawLines.emplace(file.lines.size(), std::string(line));
        file.lines.push_back(repairUtf8(line));
    }
    return file;
}

std::string encodeText(const TextFile& file) {
    const char* eol = file.lineEnding == LineEnding::CrLf ? "\r\n"
                      : file.lineEnding == LineEnding::Cr ? "\r"
                                                          : "\n";
    std::string out = file.byteOrderMark ? std::string(kBom) : std::string();
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const std::string& line = file.lines[i];
        const auto raw = file.rawLines.find(i);
        if (raw != file.rawLines.end() && repairUtf8(raw->second) == line)
            out += raw->second;
        else
            out += file.encoding == TextEncoding::Windows1250 ? encodeWindows1250(line) : line;
        if (i + 1 < file.lines.size() || file.finalLineEnd) out += eol;
    }
    return out;
}

bool writeTextFile(const std::string& path, const TextFile& file, std::string* error) {
    return writeFileAtomically(nativePath(path), encodeText(file), error);
}

std::string decodeWindows1250(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b < 0x80 ? char32_t(b) : char32_t(kCp1250[b - 0x80]));
    }
    return out;
}

std::string repairUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t start = pos;
        bool valid = true;
        decodeUtf8(bytes, pos, &valid);
        if (valid)
            out.append(bytes.substr(start, pos - start));
        else
            appendUtf8(out, char32_t(kCp1250[static_cast<unsigned char>(bytes[start]) - 0x80]));
    }
    return out;
}

std::string encodeWindows1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        bool valid = true;
        char32_t cp = decodeUtf8(utf8, pos, &valid);
        out.push_back(valid ? encode1250(cp) : '?');
    }
    return out;
}

}  // namespace host

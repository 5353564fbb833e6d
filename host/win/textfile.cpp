// Text files: decoding decides once per file (valid UTF-8 or not), then the
// bytes are split at LF (one CR before it removed), or at CR in a file of
// CR line ends, one without any LF. Windows-1250 maps its
// upper half through a 128-entry table; the five bytes the code page leaves
// unassigned map to the C1 control of the same value, as Windows converts
// them, so they survive a round trip.
#include "host/win/textfile.h"

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

char encode1250(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    for (int i = 0; i < 128; ++i)
        if (kCp1250[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

bool isTextBytes(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") return false;
    const bool utf8 = isValidUtf8(bytes);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) return false;
        if (!utf8 && (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98)) return false;
    }
    return true;
}

std::optional<TextFile> readTextFile(const std::string& path, std::string* error) {
    std::string bytes;
    if (!readWholeFile(path, bytes, error)) return std::nullopt;
    return decodeText(bytes);
}

TextFile decodeText(std::string_view bytes) {
    TextFile file;
    if (bytes.substr(0, kBom.size()) == kBom) {
        file.byteOrderMark = true;
        bytes.remove_prefix(kBom.size());
    }
    std::string text;
    if (isValidUtf8(bytes)) {
        text = std::string(bytes);
    } else {
        file.encoding = TextEncoding::Windows1250;
        text = decodeWindows1250(bytes);
    }
    // A file without a single LF whose lines end in CR alone is split at CR;
    // any other at LF with one CR before it removed, a CR inside a line
    // staying part of it.
    const bool crAlone = text.find('\n') == std::string::npos && text.find('\r') != std::string::npos;
    const char separator = crAlone ? '\r' : '\n';
    if (crAlone) file.lineEnding = LineEnding::Cr;
    bool firstEnd = true;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t sep = text.find(separator, start);
        if (sep == std::string::npos) {
            file.lines.push_back(text.substr(start));
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
        file.lines.push_back(text.substr(start, end - start));
        start = sep + 1;
    }
    return file;
}

std::string encodeText(const TextFile& file) {
    std::string text;
    const char* eol = file.lineEnding == LineEnding::CrLf ? "\r\n"
                      : file.lineEnding == LineEnding::Cr ? "\r"
                                                          : "\n";
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        text += file.lines[i];
        if (i + 1 < file.lines.size() || file.finalLineEnd) text += eol;
    }
    std::string out = file.byteOrderMark ? std::string(kBom) : std::string();
    out += file.encoding == TextEncoding::Windows1250 ? encodeWindows1250(text) : text;
    return out;
}

bool writeTextFile(const std::string& path, const TextFile& file, std::string* error) {
    return writeFileAtomically(path, encodeText(file), error);
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

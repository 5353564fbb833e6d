// The room label field catalogue (see the header).
#include "rooms/labels/label_catalogue.h"

#include <cstdio>
#include <optional>
#include <string>

#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/util/nocase.h"
#include "host/win/textfile.h"

namespace {

constexpr const char* kEndLine = "[END]";

// "%d" at the start of `text`: leading blanks and a sign allowed.
std::optional<int> ScanInt(std::string_view text) {
    const std::string s(text);
    int value = 0;
    if (std::sscanf(s.c_str(), "%d", &value) != 1) return std::nullopt;
    return value;
}

// The set name of a header line: after "[" up to the first "]", or the rest.
std::string HeaderName(const std::string& line) {
    const std::size_t close = line.find(']', 1);
    return close == std::string::npos ? line.substr(1) : line.substr(1, close - 1);
}

}  // namespace

int FieldNumberOf(std::string_view name) {
    if (name.empty() || name[0] != '$') return 0;
    return ScanInt(name.substr(1)).value_or(0);
}

void CDefEti::SetName(std::string_view text) {
    name = text;
    number = FieldNumberOf(text);
}

int CArrayDefEti::FindField(std::string_view name) const {
    for (std::size_t i = 0; i < size(); ++i)
        if ((*this)[i].name == name) return static_cast<int>(i);
    return -1;
}

int CArrayUnitaAmb::FindSet(std::string_view name) const {
    for (std::size_t i = 0; i < size(); ++i)
        if ((*this)[i].setName == name) return static_cast<int>(i);
    return -1;
}

int CArrayUnitaAmb::RemoveSet(std::string_view name) {
    const int i = FindSet(name);
    if (i < 0) return 0;
    erase(begin() + i);
    return 1;
}

// A set missing its "[END]" runs on into the next set: that set's header
// and title do not begin with "$" and are skipped, and its "[END]" closes
// the first one. Kept as the file has always been read.
CArrayUnitaAmb ParseUaDefLines(const std::vector<std::string>& lines) {
    CArrayUnitaAmb sets;
    std::size_t i = 0;
    const std::size_t n = lines.size();
    while (i < n) {
        const std::string& header = lines[i++];
        if (header.empty() || header[0] != '[') continue;
        CArrayDefEti set;
        set.setName = HeaderName(header);
        if (i >= n) break;
        set.title = lines[i++];
        bool closed = false;
        while (i < n) {
            const std::string& line = lines[i++];
            if (line == kEndLine) {
                closed = true;
                break;
            }
            if (line.empty() || line[0] != '$') continue;
            CDefEti field;
            field.SetName(line);
            if (i >= n) break;
            field.kind = lines[i++] == "T_EDIT" ? 0 : 1;
            if (i >= n) break;
            field.prompt = lines[i++];
            if (field.kind == 0) {
                set.push_back(std::move(field));
                continue;
            }
            if (i >= n) break;
            const std::optional<int> count = ScanInt(lines[i++]);
            if (!count || *count < 0) continue;
            if (n - i < static_cast<std::size_t>(*count)) {
                i = n;
                break;
            }
            field.values.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                                lines.begin() + static_cast<std::ptrdiff_t>(i + *count));
            i += static_cast<std::size_t>(*count);
            set.push_back(std::move(field));
        }
        if (closed && !set.empty()) sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<std::string> UaDefLines(const CArrayUnitaAmb& sets) {
    std::vector<std::string> lines;
    for (const CArrayDefEti& set : sets) {
        lines.push_back("[" + set.setName + "]");
        lines.push_back(set.title);
        for (const CDefEti& field : set) {
            lines.push_back(field.name);
            lines.push_back(field.kind == 0 ? "T_EDIT" : "T_LIST");
            lines.push_back(field.prompt);
            if (field.kind == 0) continue;
            lines.push_back(std::to_string(field.values.size()));
            lines.insert(lines.end(), field.values.begin(), field.values.end());
        }
        lines.push_back(kEndLine);
    }
    return lines;
}

bool CArrayUnitaAmb::ReadUaDefDlc(std::string_view fileName) {
    clear();
    const std::optional<std::string> path = FindSupportFile(fileName);
    if (!path) return false;
    const std::optional<host::TextFile> file = host::readTextFile(*path);
    if (!file) return false;
    CArrayUnitaAmb read = ParseUaDefLines(file->lines);
    swap(read);
    return !empty();
}

int CArrayUnitaAmb::WriteUaDefDlc(std::string_view fileName) const {
    const std::optional<std::string> path = FindSupportFile(fileName);
    if (!path) return 0;
    // The file keeps the encoding and line ends it came with.
    host::TextFile file;
    file.lineEnding = host::LineEnding::CrLf;
    if (std::optional<host::TextFile> old = host::readTextFile(*path)) {
        file.encoding = old->encoding;
        file.lineEnding = old->lineEnding;
        file.byteOrderMark = old->byteOrderMark;
    }
    file.lines = UaDefLines(*this);
    file.finalLineEnd = true;
    if (!host::writeTextFile(*path, file)) {
        zcutPrintf("\nPliku %s nie można otworzyć", std::string(fileName).c_str());
        return 0;
    }
    return 1;
}

int ReadLabelFieldSet(std::string_view name, CArrayDefEti& set) {
    set.clear();
    const std::optional<std::string> path = FindSupportFile(kLabelCatalogueFile);
    if (!path) {
        zcutPrintf("\nUA_DEF.DLC:%s", "Pliku nie znaleziono");
        return 0;
    }
    std::optional<LineCursor> cursor = OpenLineCursor(*path);
    if (!cursor) return 0;

    const std::string header = "[" + std::string(name) + "]";
    std::string line;
    bool found = false;
    while (ReadLineNoEol(line, *cursor))
        if (zcutEqualsNoCase(line, header)) {
            found = true;
            break;
        }
    if (!found) {
        zcutPrintf("\n%s:Okno dialogowe nie jest zdefiniowane", std::string(name).c_str());
        return 0;
    }
    set.setName = name;
    auto readError = [] {
        zcutPrintf("\nBłąd odczytu pliku UA_DEF.DLC");
        return 0;
    };
    if (!ReadLineNoEol(set.title, *cursor)) return readError();
    if (!ReadLineNoEol(line, *cursor)) return readError();
    for (;;) {
        if (zcutEqualsNoCase(std::string_view(line).substr(0, 5), kEndLine)) return 1;
        // A stray line in entry position is passed over: files the writer
        // makes never hold one, and reading it as a name would invent a field.
        if (!line.empty() && line[0] == '$') {
            const std::optional<int> number = ScanInt(std::string_view(line).substr(1));
            if (!number) return readError();
            CDefEti field;
            field.name = line;
            field.number = *number;
            std::string kind;
            if (!ReadLineNoEol(kind, *cursor)) return readError();
            if (zcutEqualsNoCase(kind, "T_EDIT")) {
                if (!ReadLineNoEol(field.prompt, *cursor)) return readError();
                field.kind = 0;
                set.push_back(std::move(field));
            } else if (zcutEqualsNoCase(kind, "T_LIST")) {
                if (!ReadLineNoEol(field.prompt, *cursor)) return readError();
                field.kind = 1;
                std::string countLine;
                if (!ReadLineNoEol(countLine, *cursor)) return readError();
                const std::optional<int> count = ScanInt(countLine);
                if (!count) return readError();
                for (int k = 0; k < *count; ++k) {
                    std::string value;
                    if (!ReadLineNoEol(value, *cursor)) return readError();
                    field.values.push_back(std::move(value));
                }
                set.push_back(std::move(field));
            }
        }
        if (!ReadLineNoEol(line, *cursor)) return readError();
    }
}

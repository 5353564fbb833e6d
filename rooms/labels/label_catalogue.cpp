// The room label field catalogue (see the header).
#include "rooms/labels/label_catalogue.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/util/nocase.h"
#include "host/win/kept_files.h"
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

bool IsNumberField(int number) {
    return number >= 70 && number <= 81 && !(number >= 75 && number <= 77) && number != 79;
}

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
// the first one. Kept as the file has always been read; what is skipped or
// dropped inside a set is the file's first fault.
UaDefParse ParseUaDefText(const std::vector<std::string>& lines) {
    UaDefParse out;
    auto fault = [&out](std::size_t index, const char* what) {
        if (!out.fault) out.fault = SupportFault{index + 1, what};
    };
    std::size_t i = 0;
    const std::size_t n = lines.size();
    while (i < n) {
        const std::size_t first = i;
        const std::string& header = lines[i++];
        if (header.empty() || header[0] != '[') continue;
        CArrayDefEti set;
        set.setName = HeaderName(header);
        if (i >= n) {
            fault(first, "zestaw bez wiersza [END]");
            break;
        }
        set.title = lines[i++];
        bool closed = false;
        while (i < n) {
            const std::size_t at = i;
            const std::string& line = lines[i++];
            if (line == kEndLine) {
                closed = true;
                break;
            }
            if (line.empty() || line[0] != '$') {
                fault(at, "oczekiwano pola ($NN) albo [END]");
                continue;
            }
            CDefEti field;
            field.SetName(line);
            if (!ScanInt(std::string_view(line).substr(1))) fault(at, "nazwa pola bez numeru");
            if (i >= n) break;
            if (lines[i] != "T_EDIT" && lines[i] != "T_LIST") fault(i, "nieznany rodzaj pola");
            field.kind = lines[i++] == "T_EDIT" ? 0 : 1;
            if (i >= n) break;
            field.prompt = lines[i++];
            if (field.kind == 0) {
                set.push_back(std::move(field));
                continue;
            }
            if (i >= n) break;
            const std::optional<int> count = ScanInt(lines[i++]);
            if (!count || *count < 0) {
                fault(i - 1, "nieprawidłowa liczba wartości listy");
                continue;
            }
            if (n - i < static_cast<std::size_t>(*count)) {
                fault(i - 1, "mniej wartości listy niż podano");
                i = n;
                break;
            }
            field.values.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                                lines.begin() + static_cast<std::ptrdiff_t>(i + *count));
            i += static_cast<std::size_t>(*count);
            set.push_back(std::move(field));
        }
        if (!closed) fault(first, "zestaw bez wiersza [END]");
        // A set without fields is no set to the dialogs: its lines are left
        // as they are.
        if (!closed || set.empty()) continue;
        set.sourceIndex = static_cast<int>(out.sets.size());
        out.sets.push_back(std::move(set));
        out.spans.emplace_back(first, i);
    }
    return out;
}

CArrayUnitaAmb ParseUaDefLines(const std::vector<std::string>& lines) {
    return std::move(ParseUaDefText(lines).sets);
}

std::vector<std::string> MergeUaDefLines(const UaDefSource& source, const CArrayUnitaAmb& sets) {
    const std::vector<std::string>& old = source.read.file.lines;
    // A set takes the place of the set it was read as; a second copy of one,
    // and a set made in memory, goes after the last set of the file.
    std::vector<const CArrayDefEti*> placed(source.spans.size(), nullptr);
    std::vector<const CArrayDefEti*> added;
    for (const CArrayDefEti& set : sets) {
        const auto index = static_cast<std::size_t>(set.sourceIndex);
        if (set.sourceIndex >= 0 && index < placed.size() && !placed[index])
            placed[index] = &set;
        else
            added.push_back(&set);
    }
    std::vector<std::string> lines;
    auto copy = [&lines, &old](std::size_t from, std::size_t to) {
        lines.insert(lines.end(), old.begin() + static_cast<std::ptrdiff_t>(from),
                     old.begin() + static_cast<std::ptrdiff_t>(to));
    };
    auto write = [&lines](const CArrayDefEti& set) {
        CArrayUnitaAmb one;
        one.push_back(set);
        std::vector<std::string> own = UaDefLines(one);
        lines.insert(lines.end(), own.begin(), own.end());
    };
    std::size_t at = 0;
    for (std::size_t k = 0; k < source.spans.size(); ++k) {
        const auto [first, end] = source.spans[k];
        copy(at, first);
        at = end;
        if (!placed[k]) continue;
        CArrayUnitaAmb now, then;
        now.push_back(*placed[k]);
        then.push_back(source.asRead[k]);
        if (UaDefLines(now) == UaDefLines(then))
            copy(first, end);
        else
            write(*placed[k]);
    }
    const std::size_t tail = source.spans.empty() ? old.size() : at;
    copy(at, tail);
    for (const CArrayDefEti* set : added) write(*set);
    copy(tail, old.size());
    return lines;
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

namespace {

std::shared_ptr<UaDefSource> ReadUaDefSource(const std::string& path, CArrayUnitaAmb& sets) {
    std::optional<host::TextFile> file = ReadSupportText(path);
    if (!file) return nullptr;
    auto source = std::make_shared<UaDefSource>();
    UaDefParse parsed = ParseUaDefText(file->lines);
    if (!parsed.fault && parsed.sets.empty()) parsed.fault = SupportFault{1, "brak zestawu pól"};
    source->read = SupportFileRead{path, std::move(*file), parsed.fault};
    source->spans = std::move(parsed.spans);
    source->asRead.assign(parsed.sets.begin(), parsed.sets.end());
    sets.swap(parsed.sets);
    return source;
}

}  // namespace

bool CArrayUnitaAmb::ReadUaDefDlc(std::string_view fileName) {
    clear();
    source.reset();
    const std::optional<std::string> path = FindSupportFile(fileName);
    if (!path) return false;
    std::shared_ptr<UaDefSource> read = ReadUaDefSource(*path, *this);
    if (!read) return false;
    if (read->read.fault) ReportSupportFault(*path, *read->read.fault);
    source = std::move(read);
    return !empty();
}

int CArrayUnitaAmb::WriteUaDefDlc(std::string_view fileName) const {
    const std::optional<std::string> path = FindSupportFile(fileName);
    if (!path) return 0;
    // A collection not read from this file replaces the sets the file holds
    // now; a file that does not read as text is not written over.
    std::shared_ptr<const UaDefSource> from = source;
    if (!from || from->read.path != *path) {
        CArrayUnitaAmb current;
        from = ReadUaDefSource(*path, current);
        if (!from) return 0;
    }
    // A file written ends with a line end, as the writer has always made it.
    SupportFileRead read = from->read;
    read.file.finalLineEnd = true;
    const SupportWrite done = WriteSupportLines(read, MergeUaDefLines(*from, *this));
    if (done == SupportWrite::Refused) return 0;
    if (done == SupportWrite::Failed) {
        zcutPrintf("\nPliku %s nie można otworzyć", std::string(fileName).c_str());
        return 0;
    }
    return 1;
}

namespace {

// The sets a catalogue's text gave, by name as asked, kept for its file
// with the text they came from: the text is shared with every reader while
// the file stays as it was (SharedSupportText), and a changed, replaced or
// removed file is read into another text. Only sets read whole are kept: a
// faulty one is read, and said, again each time.
struct ParsedFieldSets {
    std::weak_ptr<const host::TextFile> text;
    std::map<std::string, CArrayDefEti, std::less<>> sets;
};

constexpr std::string_view kKeptFieldSets = "label field sets";

// The set `name` from the catalogue at `path`, read through `cursor`.
int ParseLabelFieldSet(std::string_view name, CArrayDefEti& set, const std::string& path,
                       LineCursor& cursor) {
    const std::string header = "[" + std::string(name) + "]";
    std::string line;
    bool found = false;
    while (ReadLineNoEol(line, cursor))
        if (zcutEqualsNoCase(line, header)) {
            found = true;
            break;
        }
    if (!found) {
        zcutPrintf("\n%s:Okno dialogowe nie jest zdefiniowane", std::string(name).c_str());
        return 0;
    }
    set.setName = name;
    // The line the error is in: the last one read, or the last of the file
    // when it ended too soon.
    auto readError = [&cursor, &path](const char* what) {
        ReportSupportFault(path, SupportFault{std::max<std::size_t>(cursor.next, 1), what});
        return 0;
    };
    constexpr const char* kEnded = "plik kończy się przed [END]";
    if (!ReadLineNoEol(set.title, cursor)) return readError(kEnded);
    if (!ReadLineNoEol(line, cursor)) return readError(kEnded);
    for (;;) {
        if (zcutEqualsNoCase(std::string_view(line).substr(0, 5), kEndLine)) return 1;
        // A stray line in entry position is passed over: files the writer
        // makes never hold one, and reading it as a name would invent a field.
        if (!line.empty() && line[0] == '$') {
            const std::optional<int> number = ScanInt(std::string_view(line).substr(1));
            if (!number) return readError("nazwa pola bez numeru");
            CDefEti field;
            field.name = line;
            field.number = *number;
            std::string kind;
            if (!ReadLineNoEol(kind, cursor)) return readError(kEnded);
            if (zcutEqualsNoCase(kind, "T_EDIT")) {
                if (!ReadLineNoEol(field.prompt, cursor)) return readError(kEnded);
                field.kind = 0;
                set.push_back(std::move(field));
            } else if (zcutEqualsNoCase(kind, "T_LIST")) {
                if (!ReadLineNoEol(field.prompt, cursor)) return readError(kEnded);
                field.kind = 1;
                std::string countLine;
                if (!ReadLineNoEol(countLine, cursor)) return readError(kEnded);
                const std::optional<int> count = ScanInt(countLine);
                if (!count) return readError("nieprawidłowa liczba wartości listy");
                for (int k = 0; k < *count; ++k) {
                    std::string value;
                    if (!ReadLineNoEol(value, cursor)) return readError(kEnded);
                    field.values.push_back(std::move(value));
                }
                set.push_back(std::move(field));
            }
        }
        if (!ReadLineNoEol(line, cursor)) return readError(kEnded);
    }
}

}  // namespace

int ReadLabelFieldSet(std::string_view name, CArrayDefEti& set) {
    set.clear();
    const std::optional<std::string> path = FindSupportFile(kLabelCatalogueFile);
    if (!path) {
        zcutPrintf("\nUA_DEF.DLC:%s", "Pliku nie znaleziono");
        return 0;
    }
    std::optional<LineCursor> cursor = OpenLineCursor(*path);
    if (!cursor) return 0;
    auto kept = std::static_pointer_cast<const ParsedFieldSets>(host::keptFileValue(*path, kKeptFieldSets));
    if (kept && kept->text.lock() != cursor->file) kept.reset();
    if (kept)
        if (const auto it = kept->sets.find(name); it != kept->sets.end()) {
            static_cast<std::vector<CDefEti>&>(set) = it->second;
            set.setName = name;
            set.title = it->second.title;
            return 1;
        }
    // An empty catalogue is no catalogue: said so, and taken as a missing one.
    const std::vector<std::string>& all = cursor->file->lines;
    if (std::all_of(all.begin(), all.end(), [](const std::string& l) { return l.empty(); })) {
        ReportSupportFault(*path, SupportFault{1, "pusty plik"});
        return 0;
    }
    const int read = ParseLabelFieldSet(name, set, *path, *cursor);
    if (read == 1) {
        auto more = kept ? std::make_shared<ParsedFieldSets>(*kept) : std::make_shared<ParsedFieldSets>();
        more->text = cursor->file;
        more->sets.insert_or_assign(std::string(name), set);
        host::keepFileValue(*path, kKeptFieldSets, std::move(more));
    }
    return read;
}

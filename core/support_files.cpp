// Support files and the configuration file. Every file is read whole by the
// host's text-file reader (UTF-8 or Windows-1250, either line end) and then
// scanned in memory, so no line is ever cut or split.
#include "core/support_files.h"

#include <limits>
#include <map>
#include <memory>

#include "host/ads/cmdline.h"
#include "host/ed/cmdproc.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "host/win/textutil.h"

namespace {

constexpr const char* kConfigFile = "VELMDCONFIG.CFG";

int FolderOfSupportFile(std::string_view name, std::string& folder);
std::optional<std::string> ValueAfterKey(const std::string& line, std::string_view key);
std::optional<std::vector<std::string>> ConfigLines(std::string* foundPath = nullptr);
bool RowsKeyedByName(const std::string& path);
std::optional<std::vector<std::string>> MergeRowChanges(const std::vector<std::string>& asRead,
                                                        const std::vector<std::string>& edited,
                                                        const std::vector<std::string>& now);

}  // namespace

int GetDataFolder(std::string& folder) {
    return FolderOfSupportFile("velmDconfig.cfg", folder);
}

int GetVxdListFolder(std::string& folder) {
    return FolderOfSupportFile("VXD.LST", folder);
}

bool IsCustomPattern(const std::string& pattern, std::string_view record) {
    const std::string fileName = pattern + ".pat";
    return CheckDrawingFileName(fileName, record) && FindSupportFile(fileName);
}

int FindPatternFile(std::string_view name, std::string& path, bool check) {
    std::string fileName(name);
    fileName += ".pat";
    if (!host::isPlainFileName(fileName)) return 0;
    if (std::optional<std::string> found = FindSupportFile(fileName)) {
        path = *found;
        return 1;
    }
    std::optional<std::string> standard = FindSupportFile("zwcadiso.pat");
    if (!standard) return 0;
    path = *standard;
    if (!check) return 1;
    std::optional<host::TextFile> file = ReadSupportText(*standard);
    return file && PatternLinesDefine(file->lines, name) ? 1 : 0;
}

bool PatternLinesDefine(const std::vector<std::string>& lines, std::string_view name) {
    for (const std::string& line : lines) {
        if (line.empty() || line[0] != '*') continue;
        // The whole name up to the comma: ANSI3 is not ANSI31.
        std::string_view rest = std::string_view(line).substr(1);
        std::string_view defined = rest.substr(0, rest.find(','));
        while (!defined.empty() && (defined.back() == ' ' || defined.back() == '\t'))
            defined.remove_suffix(1);
        if (zcutEqualsNoCase(defined, name)) return true;
    }
    return false;
}

int ReadConfigInt(std::string_view key) {
    return ReadConfigInts({key}).front();
}

std::vector<int> ReadConfigInts(std::initializer_list<std::string_view> keys) {
    // The lines are looked at where they are kept, not copied for each key.
    std::vector<int> values;
    std::optional<std::string> path = FindSupportFile(kConfigFile);
    std::shared_ptr<const host::TextFile> file = path ? SharedSupportText(*path) : nullptr;
    for (std::string_view key : keys) {
        // A file missing or unreadable is looked for (and said) again for
        // each further key, as each key alone would.
        if (!file) {
            values.push_back(values.empty() ? -1 : ReadConfigInt(key));
            continue;
        }
        // A number that does not read as one would pass for an absent key.
        if (std::optional<SupportFault> fault = ConfigIntFault(file->lines, key))
            ReportSupportFault(*path, *fault);
        values.push_back(ConfigIntFromLines(file->lines, key).value_or(-1));
    }
    return values;
}

std::optional<SupportFault> ConfigIntFault(const std::vector<std::string>& lines, std::string_view key) {
    if (ConfigIntFromLines(lines, key)) return std::nullopt;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string> text = ValueAfterKey(lines[i], key);
        if (text && text->find_first_not_of(" \t") != std::string::npos)
            return SupportFault{i + 1, "wartość " + std::string(key) + " nie jest liczbą całkowitą"};
    }
    return std::nullopt;
}

int ReadConfigString(std::string_view key, std::string& value) {
    std::optional<std::vector<std::string>> lines = ConfigLines();
    if (!lines) return 0;
    std::optional<std::string> found = ConfigStringFromLines(*lines, key);
    if (!found) return 0;
    value = std::move(*found);
    return 1;
}

std::optional<int> ConfigIntFromLines(const std::vector<std::string>& lines, std::string_view key) {
    for (const std::string& line : lines) {
        std::optional<std::string> text = ValueAfterKey(line, key);
        if (!text) continue;
        std::optional<long long> number = host::parseIntegerPrefix(*text);
        if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
            continue;
        return static_cast<int>(*number);
    }
    return std::nullopt;
}

std::optional<std::string> ConfigStringFromLines(const std::vector<std::string>& lines,
                                                 std::string_view key) {
    for (const std::string& line : lines) {
        std::optional<std::string> text = ValueAfterKey(line, key);
        if (text && !text->empty()) return text;
    }
    return std::nullopt;
}

std::optional<host::TextFile> ReadSupportText(const std::string& path, bool* notText) {
    if (std::shared_ptr<const host::TextFile> shared = SharedSupportText(path, notText)) return *shared;
    return std::nullopt;
}

std::shared_ptr<const host::TextFile> SharedSupportText(const std::string& path, bool* notText) {
    if (notText) *notText = false;
    // A label's template, its field set and the configuration are read for
    // every room labelled: each is decoded once while its file stays as it
    // was. (A file that is no text is not kept: it is said every time.)
    constexpr std::string_view kKept = "support text";
    if (auto kept = std::static_pointer_cast<const host::TextFile>(host::keptFileValue(path, kKept)))
        return kept;
    std::string bytes, error;
    if (!host::readWholeFile(path, bytes, &error)) {
        // A file that is there but cannot be read (no regular file, too
        // large, no access) is named with the reason; a missing one is its
        // reader's to tell.
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && !error.empty())
            zcutPrintf("\n%s", error.c_str());
        return nullptr;
    }
    if (!host::isTextBytes(bytes)) {
        zcutPrintf("\n%s:%s\n", "Plik nie jest plikiem tekstowym", path.c_str());
        if (notText) *notText = true;
        return nullptr;
    }
    auto text = std::make_shared<const host::TextFile>(host::decodeText(bytes));
    host::keepFileValue(path, kKept, text);
    return text;
}

void ReportSupportFault(const std::string& path, const SupportFault& fault) {
    if (fault.line == 0)
        zcutPrintf("\n%s: %s", path.c_str(), fault.what.c_str());
    else
        zcutPrintf("\n%s:%zu: %s", path.c_str(), fault.line, fault.what.c_str());
}

std::optional<SupportFault> EncodingFault(const host::TextFile& file) {
    if (file.rawLines.empty()) return std::nullopt;
    return SupportFault{file.rawLines.begin()->first + 1, "wiersz zawiera bajty spoza kodowania UTF-8"};
}

SupportWrite WriteSupportLines(const SupportFileRead& read, const std::vector<std::string>& lines) {
    if (lines == read.file.lines) return SupportWrite::Unchanged;
    if (read.fault) {
        SupportFault refused = *read.fault;
        refused.what += " (plik nie został zapisany)";
        ReportSupportFault(read.path, refused);
        return SupportWrite::Refused;
    }
    host::TextFile file = read.file;
    file.lines = lines;
    // The lines kept with the bytes they were read with follow their text,
    // in order, wherever the writer put them.
    file.rawLines.clear();
    std::size_t from = 0;
    for (const auto& [index, bytes] : read.file.rawLines) {
        for (std::size_t k = from; k < lines.size(); ++k) {
            if (lines[k] != read.file.lines[index]) continue;
            file.rawLines.emplace(k, bytes);
            from = k + 1;
            break;
        }
    }
    // The encoding of a file with stray bytes is told by which it holds more
    // of, stray bytes or UTF-8 characters, and an edit can tip the balance:
    // a file that would not read back as written (or as text) is written as
    // plain UTF-8, each line the text it was read as.
    if (const std::string bytes = host::encodeText(file);
        !host::isTextBytes(bytes) || host::decodeText(bytes).lines != file.lines) {
        file.rawLines.clear();
        file.encoding = host::TextEncoding::Utf8;
    }
    // Another program may have written the file since it was read: a table
    // of named rows takes this program's changed rows onto the file as it
    // is now; any other file is left to the other program's edit.
    std::string error;
    const std::string bytes = host::encodeText(file);
    const bool written =
        RowsKeyedByName(read.path)
            ? host::writeFileMerging(
                  read.path, bytes,
                  [&](std::string_view asRead, std::string_view now) -> std::optional<std::string> {
                      host::TextFile current = host::decodeText(now);
                      std::optional<std::vector<std::string>> rows =
                          MergeRowChanges(host::decodeText(asRead).lines, lines, current.lines);
                      if (!rows) return std::nullopt;
                      current.lines = std::move(*rows);
                      return host::encodeText(current);
                  },
                  &error)
            : host::writeFileAtomically(read.path, bytes, &error);
    if (written) return SupportWrite::Written;
    zcutPrintf("\n%s; zmiany nie zostały zapisane.", error.c_str());
    host::noteFailed();
    return SupportWrite::Failed;
}

std::optional<LineCursor> OpenLineCursor(const std::string& path) {
    std::shared_ptr<const host::TextFile> file = SharedSupportText(path);
    if (!file) return std::nullopt;
    return LineCursor{std::move(file), 0};
}

bool ReadLineNoEol(std::string& line, LineCursor& cursor) {
    if (cursor.next >= cursor.file->lines.size()) return false;
    line = cursor.file->lines[cursor.next++];
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return true;
}

namespace {

int FolderOfSupportFile(std::string_view name, std::string& folder) {
    std::optional<std::string> path = FindSupportFile(name);
    if (!path) return 0;
    host::PathParts parts = host::splitPath(*path);
    folder = parts.drive + parts.dir;
    return 1;
}

// The text behind "KEY=" when the line starts with exactly that.
std::optional<std::string> ValueAfterKey(const std::string& line, std::string_view key) {
    if (key.empty() || line.size() <= key.size() || line.compare(0, key.size(), key) != 0 ||
        line[key.size()] != '=')
        return std::nullopt;
    std::string value = line.substr(key.size() + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
    return value;
}

std::optional<std::vector<std::string>> ConfigLines(std::string* foundPath) {
    // The file that marks the data folder is the configuration file itself;
    // its found path keeps the case the file system gave it.
    std::optional<std::string> path = FindSupportFile(kConfigFile);
    if (!path) return std::nullopt;
    if (foundPath) *foundPath = *path;
    std::optional<host::TextFile> file = ReadSupportText(*path);
    if (!file) return std::nullopt;
    return std::move(file->lines);
}

// The tables whose rows are each one layer's, named by their first field:
// two programs editing different layers of one such file both keep their
// edits.
bool RowsKeyedByName(const std::string& path) {
    const host::PathParts parts = host::splitPath(path);
    const std::string name = parts.fname + parts.ext;
    for (const char* table : {"LAYERVRML.DEF", "LAYERPOV.DEF", "LAYERC.DEF", "TCLAYERC.DEF"})
        if (zcutEqualsNoCase(name, table)) return true;
    return false;
}

// The rows of a table by name, and its other lines (blank lines and
// headings, which start with '*') in order; nothing when a name repeats.
struct NamedRows {
    std::map<std::string, std::string> rows;
    std::vector<std::string> others;
};

std::string RowName(const std::string& line) {
    return line.substr(0, line.find(','));
}

bool IsRowLine(const std::string& line) {
    return line.find_first_not_of(" \t") != std::string::npos && line[0] != '*';
}

std::optional<NamedRows> SplitNamedRows(const std::vector<std::string>& lines) {
    NamedRows split;
    for (const std::string& line : lines) {
        if (!IsRowLine(line))
            split.others.push_back(line);
        else if (!split.rows.emplace(RowName(line), line).second)
            return std::nullopt;
    }
    return split;
}

// The lines now in the file with the rows `edited` changed from `asRead`
// (changed, added or dropped) made on them. Nothing when both changed one
// row differently, when the edit moved the lines that are not rows, or
// when a name repeats: those cannot be put together without losing one.
std::optional<std::vector<std::string>> MergeRowChanges(const std::vector<std::string>& asRead,
                                                        const std::vector<std::string>& edited,
                                                        const std::vector<std::string>& now) {
    const std::optional<NamedRows> base = SplitNamedRows(asRead), ours = SplitNamedRows(edited),
                                   theirs = SplitNamedRows(now);
    if (!base || !ours || !theirs || base->others != ours->others) return std::nullopt;
    auto rowOf = [](const NamedRows& t, const std::string& name) -> std::optional<std::string> {
        const auto at = t.rows.find(name);
        return at == t.rows.end() ? std::nullopt : std::optional<std::string>(at->second);
    };
    std::map<std::string, std::optional<std::string>> changes;  // a row by name; none: dropped
    for (const NamedRows* side : {&*base, &*ours})
        for (const auto& [name, line] : side->rows) {
            const std::optional<std::string> b = rowOf(*base, name), o = rowOf(*ours, name),
                                             t = rowOf(*theirs, name);
            if (o == b || t == o) continue;
            if (t != b) return std::nullopt;
            changes[name] = o;
        }
    std::vector<std::string> merged;
    for (const std::string& line : now) {
        const auto change = IsRowLine(line) ? changes.find(RowName(line)) : changes.end();
        if (change == changes.end()) {
            merged.push_back(line);
            continue;
        }
        if (change->second) merged.push_back(*change->second);
        changes.erase(change);
    }
    // Rows this program added, which the file does not have yet, in the
    // order the edit has them.
    for (const std::string& line : edited)
        if (IsRowLine(line) && changes.count(RowName(line))) merged.push_back(line);
    return merged;
}

}  // namespace

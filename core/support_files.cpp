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
std::shared_ptr<const host::TextFile> TextOfBytes(const std::string& path, const std::string& bytes,
                                                  bool* notText);

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

std::vector<std::string_view> CommaFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
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
    if (!host::readWholeFile(path, bytes, &error, host::kMaxSupportFileBytes, host::originOf(path))) {
        // A file that is there but cannot be read (no regular file, too
        // large, no access) is named with the reason; a missing one is its
        // reader's to tell.
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES && !error.empty())
            zcutPrintf("\n%s", error.c_str());
        return nullptr;
    }
    std::shared_ptr<const host::TextFile> text = TextOfBytes(path, bytes, notText);
    if (text) host::keepFileValue(path, kKept, text, bytes);
    return text;
}

std::optional<host::TextFile> ReadSupportTextNow(const std::string& path, bool* notText) {
    if (notText) *notText = false;
    std::string bytes;
    if (!host::readWholeFile(path, bytes, nullptr, host::kMaxSupportFileBytes, host::originOf(path)))
        return std::nullopt;
    if (std::shared_ptr<const host::TextFile> text = TextOfBytes(path, bytes, notText)) return *text;
    return std::nullopt;
}

void ReportSupportFault(const std::string& path, const SupportFault& fault) {
    // The command worked without what the damaged file holds: however it
    // goes on, a script that ran it ends in failure.
    host::noteFailed();
    if (fault.line == 0)
        zcutPrintf("\n%s: %s", path.c_str(), fault.what.c_str());
    else
        zcutPrintf("\n%s:%zu: %s", path.c_str(), fault.line, fault.what.c_str());
}

std::optional<SupportFault> EncodingFault(const host::TextFile& file) {
    if (file.rawLines.empty()) return std::nullopt;
    return SupportFault{file.rawLines.begin()->first + 1, "wiersz zawiera bajty spoza kodowania UTF-8"};
}

SupportWrite WriteSupportLines(const SupportFileRead& read, const std::vector<std::string>& lines,
                               const KeyedRows* keyed) {
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
    // of keyed rows takes this program's changed rows onto the file as it
    // is now; any other file is left to the other program's edit.
    std::string error;
    const std::string bytes = host::encodeText(file);
    const bool written =
        keyed && keyed->key
            ? host::writeFileMerging(
                  read.path, bytes,
                  [&](std::string_view asRead, std::string_view now) -> std::optional<std::string> {
                      host::TextFile current = host::decodeText(now);
                      std::optional<std::vector<std::string>> rows =
                          MergeRowChanges(host::decodeText(asRead).lines, lines, current.lines, *keyed);
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

// A support file's bytes as text; none, named, when they are not text.
std::shared_ptr<const host::TextFile> TextOfBytes(const std::string& path, const std::string& bytes,
                                                  bool* notText) {
    if (!host::isTextBytes(bytes)) {
        zcutPrintf("\n%s:%s\n", "Plik nie jest plikiem tekstowym", path.c_str());
        host::noteFailed();
        if (notText) *notText = true;
        return nullptr;
    }
    return std::make_shared<const host::TextFile>(host::decodeText(bytes));
}

// The rows of a table by key, and its other lines (blank lines and
// headings) in order; nothing when a key repeats.
struct KeyedLines {
    std::map<std::string, std::string> rows;
    std::vector<std::string> others;
};

std::optional<KeyedLines> SplitKeyedRows(const std::vector<std::string>& lines, const KeyedRows& keyed) {
    KeyedLines split;
    for (const std::string& line : lines) {
        if (std::optional<std::string> key = keyed.key(line)) {
            if (!split.rows.emplace(std::move(*key), line).second) return std::nullopt;
        } else {
            split.others.push_back(line);
        }
    }
    return split;
}

bool IsHeading(const std::string& line, const KeyedRows& keyed) {
    return line.find_first_not_of(" \t") != std::string::npos && !keyed.key(line);
}

// A heading's whole path: a sub-group heading ("***") with the group
// heading above it, any other heading alone. One sub-group name heads a
// sub-group in several groups: alone it would not say which group.
std::vector<std::string> HeadingPaths(const std::vector<std::string>& lines, const KeyedRows& keyed) {
    std::vector<std::string> paths(lines.size());
    std::string group;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsHeading(lines[i], keyed)) continue;
        if (lines[i].starts_with("***")) {
            paths[i] = group + "\n" + lines[i];
        } else {
            group = lines[i];
            paths[i] = group;
        }
    }
    return paths;
}

// The group of the line at `at`: the path of the heading above it and how
// many equal headings come before that one (0 for the rows above every
// heading).
struct GroupOf {
    std::optional<std::string> heading;
    std::size_t repeat = 0;
};

GroupOf GroupAt(const std::vector<std::string>& lines, std::size_t at, const KeyedRows& keyed) {
    GroupOf group;
    std::size_t k = at;
    while (k > 0 && !IsHeading(lines[k - 1], keyed)) --k;
    if (k == 0) return group;
    const std::vector<std::string> paths = HeadingPaths(lines, keyed);
    group.heading = paths[k - 1];
    for (std::size_t i = 0; i + 1 < k; ++i)
        group.repeat += IsHeading(lines[i], keyed) && paths[i] == *group.heading ? 1 : 0;
    return group;
}

// Where a row of that group goes in `lines`: after the group's last row (or
// right after its heading when it has none); nothing when the file has no
// such group (another program took it out: the row has no place that is
// surely its own).
std::optional<std::size_t> EndOfGroup(const std::vector<std::string>& lines, const GroupOf& group,
                                      const KeyedRows& keyed) {
    std::size_t at = 0;
    if (group.heading) {
        const std::vector<std::string> paths = HeadingPaths(lines, keyed);
        std::size_t seen = 0;
        for (; at < lines.size(); ++at)
            if (IsHeading(lines[at], keyed) && paths[at] == *group.heading && seen++ == group.repeat) break;
        if (at == lines.size()) return std::nullopt;
        ++at;
    }
    std::size_t end = at;
    for (std::size_t k = at; k < lines.size() && !IsHeading(lines[k], keyed); ++k)
        if (keyed.key(lines[k])) end = k + 1;
    return end;
}

}  // namespace

std::optional<std::vector<std::string>> MergeRowChanges(const std::vector<std::string>& asRead,
                                                        const std::vector<std::string>& edited,
                                                        const std::vector<std::string>& now,
                                                        const KeyedRows& keyed) {
    const std::optional<KeyedLines> base = SplitKeyedRows(asRead, keyed),
                                    ours = SplitKeyedRows(edited, keyed), theirs = SplitKeyedRows(now, keyed);
    if (!base || !ours || !theirs || base->others != ours->others) return std::nullopt;
    auto rowOf = [](const KeyedLines& t, const std::string& key) -> std::optional<std::string> {
        const auto at = t.rows.find(key);
        return at == t.rows.end() ? std::nullopt : std::optional<std::string>(at->second);
    };
    std::map<std::string, std::optional<std::string>> changes;  // a row by key; none: dropped
    for (const KeyedLines* side : {&*base, &*ours})
        for (const auto& [key, line] : side->rows) {
            const std::optional<std::string> b = rowOf(*base, key), o = rowOf(*ours, key),
                                             t = rowOf(*theirs, key);
            if (o == b || t == o) continue;
            if (t != b) return std::nullopt;
            changes[key] = o;
        }
    std::vector<std::string> merged;
    for (const std::string& line : now) {
        const std::optional<std::string> key = keyed.key(line);
        const auto change = key ? changes.find(*key) : changes.end();
        if (change == changes.end()) {
            merged.push_back(line);
            continue;
        }
        if (change->second) merged.push_back(*change->second);
        changes.erase(change);
    }
    // A row this program added, which the file does not have yet, goes into
    // the group the edit put it in, after the rows the group has by then.
    for (std::size_t i = 0; i < edited.size(); ++i) {
        const std::optional<std::string> key = keyed.key(edited[i]);
        if (!key || !changes.count(*key)) continue;
        const std::optional<std::size_t> at = EndOfGroup(merged, GroupAt(edited, i, keyed), keyed);
        if (!at) return std::nullopt;
        merged.insert(merged.begin() + static_cast<std::ptrdiff_t>(*at), edited[i]);
    }
    return merged;
}

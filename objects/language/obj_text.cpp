// Object definition files: loading with includes, the cursor, the VAR
// value writer and the save. See obj_text.h for the line and block forms.
#include "objects/language/obj_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "host/win/textutil.h"
#include "objects/language/obj_limits.h"
#include "store/settings_store.h"

namespace {

// One definition being expanded: the files open on the way to the current
// include line (a file already among them would include itself without
// end), the lines made so far against the bound of one definition, and
// the include files found and read, each once however often it is
// included.
struct Expansion {
    struct Found {
        std::string path, canonical;
        std::optional<host::TextFile> file;
        std::string unreadable;  // why a file that is there cannot be read
        bool tooLarge = false;   // refused for its size, already said
    };
    std::string definition;
    std::vector<std::string> open;
    std::size_t lines = 0;
    bool tooLong = false;
    std::map<std::string, Found, std::less<>> found;

    // Counts `n` lines more; false, after the message, past the bound.
    bool add(std::size_t n) {
        lines += n;
        if (lines <= kMaxDefinitionLines) return true;
        if (!tooLong) {
            zcutPrintf(
                "\nDefinicja %s z dołączonymi plikami ma więcej niż %zu wierszy: nie została wczytana.",
                definition.c_str(), kMaxDefinitionLines);
            host::noteFailed();
        }
        tooLong = true;
        return false;
    }
};

bool HasFolderPart(std::string_view name) {
    return name.find_first_of(":\\/") != std::string_view::npos;
}

// A name's file name alone: what follows its last folder separator.
std::string BareFileName(std::string_view name) {
    const std::size_t slash = name.find_last_of(":\\/");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

// A definition or include file read whole, its size looked at first: a
// file past kMaxDefinitionBytes is refused as a definition past its bounds
// is, naming the definition and the bound, and the command fails. Any
// other reason it cannot be read goes to `why`.
std::optional<host::TextFile> ReadDefinitionFile(const std::string& path, const std::string& definition,
                                                 std::string& why) {
    std::string bytes;
    errno = 0;  // told apart from a refusal that sets none
    if (host::readWholeFile(path, bytes, &why, kMaxDefinitionBytes)) return host::decodeText(bytes);
    if (errno == EFBIG) {
        zcutPrintf("\nDefinicja %s: plik %s ma więcej niż %zu bajtów: nie została wczytana.",
                   definition.c_str(), path.c_str(), kMaxDefinitionBytes);
        host::noteFailed();
        why.clear();
    } else if (why.empty()) {
        why = "nie można odczytać " + path;
    }
    return std::nullopt;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && host::iequals(text.substr(text.size() - tail.size()), tail);
}

std::string CanonicalPath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

host::TextFile FormatOf(const host::TextFile& file) {
    host::TextFile format;
    format.encoding = file.encoding;
    format.lineEnding = file.lineEnding;
    format.byteOrderMark = file.byteOrderMark;
    format.finalLineEnd = file.finalLineEnd;
    return format;
}

// Where an include line is: the file that holds it and its line (from 1);
// no file for an include line handed in alone.
struct IncludeSite {
    std::string file;
    std::size_t line = 0;
};

std::optional<std::vector<ObjLine>> ExpandFile(const host::TextFile& file, const std::string& path,
                                               Expansion& x);

void ReportInclude(const IncludeSite& site, const std::string& what) {
    if (site.file.empty())
        zcutPrintf("\n%s", what.c_str());
    else
        ReportSupportFault(site.file, SupportFault{site.line, what});
}

// The block of one include line, or nothing after the message.
std::optional<std::vector<ObjLine>> ExpandInclude(std::string_view includeLine, const IncludeSite& site,
                                                  Expansion& x) {
    std::string_view rest = includeLine.substr(2);
    std::string given(rest.substr(0, rest.find('"')));
    while (!given.empty() && (given.back() == '\n' || given.back() == '\r')) given.pop_back();
    // An include names a file as a definition name does: by its file name
    // alone, looked up where definitions are, whatever folder it gives (a
    // definition may come with a drawing, and its folder parts would reach
    // any file, or a device that never ends).
    const std::string name = BareFileName(given);
    auto known = x.found.find(name);
    if (known == x.found.end()) {
        Expansion::Found f;
        if (name != "." && name != ".." && FindLibraryFile(name, f.path) == RTNORM) {
            f.canonical = CanonicalPath(f.path);
            f.file = ReadDefinitionFile(f.path, x.definition, f.unreadable);
            f.tooLarge = !f.file && f.unreadable.empty();
        }
        known = x.found.emplace(name, std::move(f)).first;
    }
    const Expansion::Found& found = known->second;
    // A file already being expanded would include itself without end.
    if (!found.canonical.empty())
        for (const std::string& open : x.open)
            if (open == found.canonical) {
                ReportInclude(site, "Pętla dołączeń: plik " + name + " dołącza sam siebie");
                return std::nullopt;
            }
    if (found.tooLarge) return std::nullopt;
    if (x.open.size() > kMaxIncludeDepth) {
        const std::string where =
            site.file.empty() ? "" : " (" + site.file + ":" + std::to_string(site.line) + ")";
        zcutPrintf(
            "\nDefinicja %s: dołączone pliki są zagnieżdżone na więcej niż %zu poziomów%s: nie została "
            "wczytana.",
            x.definition.c_str(), kMaxIncludeDepth, where.c_str());
        host::noteFailed();
        return std::nullopt;
    }
    if (!found.file) {
        // Why a file that is there cannot be read (no regular file, too
        // large) comes first.
        if (!found.unreadable.empty()) zcutPrintf("\n%s", found.unreadable.c_str());
        ReportInclude(site, "Nie można otworzyć dołączonego pliku " + name);
        return std::nullopt;
    }
    // The two marker lines count as well: includes of nothing add up too.
    if (!x.add(2)) return std::nullopt;
    std::vector<ObjLine> block;
    ObjLine start;
    start.text = std::string(kIncludeStart) + "0" + found.path + "\n";
    start.includeLine = std::string(includeLine);
    start.format = FormatOf(*found.file);
    block.push_back(std::move(start));
    x.open.push_back(found.canonical);
    std::optional<std::vector<ObjLine>> inner = ExpandFile(*found.file, found.path, x);
    x.open.pop_back();
    if (!inner) return std::nullopt;
    for (ObjLine& l : *inner) block.push_back(std::move(l));
    ObjLine end;
    end.text = std::string(kIncludeEnd) + "\n";
    block.push_back(std::move(end));
    return block;
}

std::optional<std::vector<ObjLine>> ExpandFile(const host::TextFile& file, const std::string& path,
                                               Expansion& x) {
    std::vector<ObjLine> out;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const std::string& line = file.lines[i];
        bool lineEnd = i + 1 < file.lines.size() || file.finalLineEnd;
        if (line.size() >= 2 && line[0] == '@' && line[1] == '"') {
            std::optional<std::vector<ObjLine>> block =
                ExpandInclude(lineEnd ? line + "\n" : line, IncludeSite{path, i + 1}, x);
            if (!block) return std::nullopt;
            for (ObjLine& l : *block) out.push_back(std::move(l));
            continue;
        }
        std::vector<ObjLine> pieces = SplitIntoObjLines({line}, lineEnd);
        if (!x.add(pieces.size())) return std::nullopt;
        for (ObjLine& l : pieces) out.push_back(std::move(l));
    }
    return out;
}

}  // namespace

std::vector<ObjLine> SplitIntoObjLines(const std::vector<std::string>& physicalLines, bool finalLineEnd) {
    std::vector<ObjLine> out;
    for (std::size_t i = 0; i < physicalLines.size(); ++i) {
        std::string line = physicalLines[i];
        if (i + 1 < physicalLines.size() || finalLineEnd) line += '\n';
        // Entries of kObjLineChars characters, the line break counted, as a
        // reader with a buffer of that size takes them; each cut where the
        // last one ended, so a long line is cut in one pass.
        std::size_t pos = 0;
        while (pos < line.size()) {
            const std::size_t start = pos;
            for (std::size_t chars = 0; pos < line.size() && chars < kObjLineChars; ++chars) {
                if (static_cast<unsigned char>(line[pos]) < 0x80)
                    ++pos;
                else
                    host::decodeUtf8(line, pos);
            }
            ObjLine l;
            l.text = line.substr(start, pos - start);
            out.push_back(std::move(l));
        }
    }
    return out;
}

int FindLibraryFile(const std::string& name, std::string& fullPath) {
    char found[4096];
    // The definition a command writes for itself is read where this process
    // put it, never from a folder on the path that another may have filled.
    const bool temporaryText = zcutEqualsNoCase(name, "$$TEMP$$__$$.txt");
    if (temporaryText || zcutEqualsNoCase(name, "$$TEMP$$__$$.cxt")) {
        const std::string folder = host::temporaryFolder(false);
        const std::string path = folder + "$$TEMP$$__$$.TXT";
        if (!temporaryText || folder.empty() || !host::fileExists(path)) return RTERROR;
        fullPath = path;
        return RTNORM;
    }
    if (!HasFolderPart(name)) {
        std::vector<std::string> folders;
        // Read, not filed into the command's undo for every definition read.
        if (ZcDbObjectPointer<VELM_LIBOBJOPT> lib(ReadLibObjOptObject()); lib) {
            folders = lib->entries;
        }
        for (const std::string& folder : folders) {
            std::string candidate = folder + "\\" + name;
            if (zcedFindFile(candidate.c_str(), found) == RTNORM) {
                ReportRefusedSupportFiles();
                fullPath = found;
                return RTNORM;
            }
        }
    }
    int status = zcedFindFile(name.c_str(), found);
    if (status == RTNORM) fullPath = found;
    ReportRefusedSupportFiles();
    return status;
}

int ReadObjText(const std::string& name, std::unique_ptr<ObjText>& slot) {
    std::string bare = name;
    if (HasFolderPart(bare)) {
        std::size_t slash = bare.find_last_of(":\\/");
        bare = bare.substr(slash + 1);
        std::size_t dot = bare.rfind('.');
        if (dot != std::string::npos) bare.erase(dot);
    }
    std::string path;
    if (FindLibraryFile(bare + ".txt", path) != RTNORM && FindLibraryFile(bare + ".cxt", path) != RTNORM)
        return 0;
    // A command placing many objects of one definition (a label per room)
    // reads and expands it once while the file stays as it was.
    constexpr std::string_view kKept = "object definition";
    if (auto kept = std::static_pointer_cast<const ObjText>(host::keptFileValue(path, kKept))) {
        slot = std::make_unique<ObjText>(*kept);
        return 1;
    }
    std::string unreadable;
    std::optional<host::TextFile> file = ReadDefinitionFile(path, bare, unreadable);
    if (!file) {
        // Refused for its size: found, and said so, not "not found".
        if (unreadable.empty()) return -1;
        zcutPrintf("\n%s", unreadable.c_str());
        return 0;
    }
    slot = std::make_unique<ObjText>();
    ObjText& text = *slot;
    text.path = path;
    text.format = FormatOf(*file);
    // A ".cxt" definition stands for a protected text that is never read:
    // every section search on it fails.
    if (EndsWithNoCase(path, ".txt")) {
        Expansion x;
        x.definition = bare;
        x.open.push_back(CanonicalPath(path));
        std::optional<std::vector<ObjLine>> lines = ExpandFile(*file, path, x);
        if (!lines) return -1;
        text.lines = std::move(*lines);
    }
    text.cursor = TextCursor{};
    // Only a text read from its own file alone: the kept one would not see
    // an included file change.
    const bool included = std::any_of(text.lines.begin(), text.lines.end(), [](const ObjLine& l) {
        return l.text.compare(0, kIncludeStart.size(), kIncludeStart) == 0;
    });
    if (!included) host::keepFileValue(path, kKept, std::make_shared<const ObjText>(text));
    return 1;
}

std::optional<std::vector<ObjLine>> ReadIncludeFile(std::string_view includeLine) {
    Expansion x;
    std::string line(includeLine);
    if (line.empty() || line.back() != '\n') line += '\n';
    x.definition = line.substr(std::min<std::size_t>(2, line.size()));
    x.definition.erase(std::min(x.definition.find('"'), x.definition.find('\n')));
    return ExpandInclude(line, IncludeSite{}, x);
}

ObjTextSource SourceOfLine(const ObjText& text, std::size_t index) {
    if (!text.lines.empty() && index >= text.lines.size()) index = text.lines.size() - 1;
    std::vector<ObjTextSource> open{ObjTextSource{text.path, 1}};
    for (std::size_t i = 0; i < index && i < text.lines.size(); ++i) {
        const std::string& entry = text.lines[i].text;
        if (entry.compare(0, kIncludeStart.size(), kIncludeStart) == 0) {
            std::string path =
                entry.size() > kIncludeStart.size() ? entry.substr(kIncludeStart.size() + 1) : "";
            while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
            open.push_back(ObjTextSource{path, 1});
        } else if (entry.compare(0, kIncludeEnd.size(), kIncludeEnd) == 0) {
            if (open.size() > 1) open.pop_back();
            ++open.back().line;  // the include line itself
        } else if (!entry.empty() && entry.back() == '\n') {
            ++open.back().line;
        }
    }
    return open.back();
}

void ReportTextFault(ObjText& text, std::size_t index, const std::string& what) {
    if (text.faultReported) return;
    text.faultReported = true;
    ObjTextSource source = SourceOfLine(text, index);
    ReportSupportFault(source.file, SupportFault{source.line, what});
}

bool TextAtEnd(const ObjText& text) {
    return text.cursor.line >= text.lines.size();
}

int NextTextChar(ObjText& text) {
    TextCursor& c = text.cursor;
    while (c.line < text.lines.size() && c.pos >= text.lines[c.line].text.size()) {
        ++c.line;
        c.pos = 0;
    }
    if (c.line >= text.lines.size()) return -1;
    return static_cast<int>(host::decodeUtf8(text.lines[c.line].text, c.pos));
}

std::optional<std::string> ReadTextLine(ObjText& text, std::size_t maxChars, bool whole) {
    if (TextAtEnd(text)) return std::nullopt;
    const std::string& line = text.lines[text.cursor.line].text;
    // Cut at the first blank unless `whole`: the scan stops there, rather
    // than copying a statement's comment only to drop it. (A character of
    // several bytes never holds a blank or a line end.)
    std::size_t pos = 0, chars = 0;
    while (pos < line.size() && chars < maxChars) {
        const char c = line[pos];
        if (c == '\n' || c == '\r' || (!whole && (c == ' ' || c == '\t'))) break;
        if (static_cast<unsigned char>(c) < 0x80)
            ++pos;  // a whole character, as decoding finds it
        else
            host::decodeUtf8(line, pos);
        ++chars;
    }
    ++text.cursor.line;
    text.cursor.pos = 0;
    return line.substr(0, pos);
}

std::optional<std::pair<int, int>> ReadCountLine(ObjText& text, int wanted) {
    const std::size_t index = text.cursor.line;
    std::optional<std::string> line = ReadTextLine(text, kObjLineChars, true);
    if (!line) {
        ReportTextFault(text, index, "tekst kończy się przed wierszem liczby elementów");
        return std::nullopt;
    }
    int a = 0, b = 0;
    const int got = std::sscanf(line->c_str(), "%d %d", &a, &b);
    if (got < wanted) {
        ReportTextFault(text, index,
                        wanted == 1 ? "oczekiwano wiersza z liczbą elementów"
                                    : "oczekiwano wiersza z dwiema liczbami elementów");
        return std::nullopt;
    }
    return std::make_pair(a, b);
}

void PassLine(ObjText& text) {
    ReadTextLine(text, kObjLineChars, true);
}

namespace {

bool IsAscii(std::string_view t) {
    return std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// host::iequals, with ASCII words (nearly all) compared without folding.
bool SameWord(std::string_view word, std::string_view keyword) {
    if (!IsAscii(word) || !IsAscii(keyword)) return host::iequals(word, keyword);
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return word.size() == keyword.size() && std::equal(word.begin(), word.end(), keyword.begin(),
                                                       [&](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace

namespace {

// Whether the line's first word, as ReadTextLine(text, 124, false) gives it,
// is `keyword` (letter case ignored).
bool OpensSection(std::string_view line, std::string_view keyword) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    // A keyword's first letter settles most lines (comments, variables,
    // coordinates) without reading their first word.
    if (!keyword.empty() && IsAscii(keyword) && !line.empty() && static_cast<unsigned char>(line[0]) < 0x80 &&
        lower(line[0]) != lower(keyword[0]))
        return false;
    // Up to 124 code points, the line break or the first blank byte (also
    // one inside a sequence that is no code point).
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t pos = 0, chars = 0, end = std::string_view::npos;
    while (end == std::string_view::npos) {
        if (pos >= line.size() || chars >= 124 || line[pos] == '\n' || line[pos] == '\r' ||
            blank(line[pos])) {
            end = pos;
            break;
        }
        const std::size_t from = pos;
        host::decodeUtf8(line, pos);
        ++chars;
        for (std::size_t k = from + 1; k < pos && k < line.size(); ++k)
            if (blank(line[k])) {
                end = k;
                break;
            }
    }
    return SameWord(line.substr(0, end), keyword);
}

// The lines that open a section `keyword`, in order: every object placed
// looks for its sections, so a definition kept between runs is scanned for
// each keyword once.
const std::vector<std::size_t>& SectionLines(const ObjLines& lines, std::string_view keyword) {
    auto& known = lines.compiled().sectionLines;
    if (auto it = known.find(keyword); it != known.end()) return it->second;
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (OpensSection(lines[i].text, keyword)) at.push_back(i);
    return known.emplace(std::string(keyword), std::move(at)).first->second;
}

}  // namespace

bool FindSection(std::string_view keyword, ObjText& text, bool fromStart) {
    if (fromStart) text.cursor = TextCursor{};
    if (TextAtEnd(text)) return false;
    const std::vector<std::size_t>& at = SectionLines(text.lines, keyword);
    const auto next = std::lower_bound(at.begin(), at.end(), text.cursor.line);
    text.cursor = TextCursor{next == at.end() ? text.lines.size() : *next + 1, 0};
    return next != at.end();
}

// ------------------------------------------------------------ value writer

namespace {

// The shortest decimal text that reads back as the same double.
std::string ExactDecimal(double value) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (ec != std::errc()) return host::formatNumber(value, 17);
    return std::string(buf, end);
}

// Sets the flag of the innermost include block holding line `index`.
void FlagEnclosingBlock(ObjText& text, std::size_t index) {
    int depth = 0;
    for (std::size_t i = index; i-- > 0;) {
        std::string& l = text.lines.edit()[i].text;
        if (l.compare(0, kIncludeEnd.size(), kIncludeEnd) == 0) {
            ++depth;
        } else if (l.compare(0, kIncludeStart.size(), kIncludeStart) == 0) {
            if (depth == 0) {
                if (l.size() > kIncludeStart.size()) l[kIncludeStart.size()] = '1';
                return;
            }
            --depth;
        }
    }
}

}  // namespace

bool WriteVarValue(ObjText& text, const ObjVar& var) {
    if (!FindSection("VAR", text, true)) return false;
    text.modified = 1;
    for (;;) {
        std::size_t index = text.cursor.line;
        std::optional<std::string> line = ReadTextLine(text, 258, true);
        // The value is looked for in the VAR section only: a TYPO line of the
        // same number is a parameter set, not the value.
        if (!line || (!line->empty() && (*line)[0] == 'E')) break;
        if (line->empty() || ((*line)[0] != '$' && (*line)[0] != '#' && (*line)[0] != '-')) continue;
        std::optional<long long> number = host::parseIntegerPrefix(std::string_view(*line).substr(1));
        if (!number || *number != var.number) continue;
        // Only a parameter line has a value to rewrite: its value part opens
        // with the quoted description.
        const std::size_t eq = line->find('=');
        const std::size_t open = eq == std::string::npos ? eq : line->find_first_not_of(" \t", eq + 1);
        if (open == std::string::npos || (*line)[open] != '"') continue;
        const std::size_t close = line->find('"', open + 1);
        if (close == std::string::npos) continue;
        // The order digits (at most two) stand between the description and
        // the type letter; both are kept.
        std::size_t letter = close + 1;
        while (letter < line->size() && letter < close + 3 && (*line)[letter] >= '0' &&
               (*line)[letter] <= '9')
            ++letter;
        if (letter >= line->size() || (*line)[letter] == 'C') continue;
        std::string head = line->substr(0, letter + 1);
        std::string rest = line->substr(letter + 1);
        std::string updated;
        if (var.type == u'S') {
            // Only the text between the value's quotes is replaced.
            std::size_t q1 = rest.find('"');
            std::size_t q2 = q1 == std::string::npos ? q1 : rest.find('"', q1 + 1);
            if (q1 == std::string::npos)
                updated = head + "\"" + var.text + "\"";
            else if (q2 == std::string::npos)
                updated = head + rest.substr(0, q1 + 1) + var.text + "\"";
            else
                updated = head + rest.substr(0, q1 + 1) + var.text + rest.substr(q2);
        } else {
            double value = var.value;
            if (var.type == u'D' || var.type == u'R') value /= DrawingUnitFactor();
            std::size_t blanks = rest.find_first_not_of(" \t");
            if (blanks == std::string::npos) blanks = rest.size();
            std::size_t numberLength = 0;
            host::parseDoublePrefix(std::string_view(rest).substr(blanks), &numberLength);
            updated =
                head + rest.substr(0, blanks) + ExactDecimal(value) + rest.substr(blanks + numberLength);
        }
        // The line keeps its break; a line that was cut into entries keeps
        // its other entries, only this one changes.
        std::string& stored = text.lines.edit()[index].text;
        std::string tail = stored.substr(line->size());
        stored = updated + tail;
        FlagEnclosingBlock(text, index);
        text.cursor = TextCursor{};
        return true;
    }
    text.cursor = TextCursor{};
    return false;
}

// ------------------------------------------------------------ saving

namespace {

host::TextFile FileFromEntries(const std::string& joined, const host::TextFile& format) {
    host::TextFile file = format;
    file.lines.clear();
    file.finalLineEnd = joined.empty() || joined.back() == '\n';
    std::size_t start = 0;
    while (start < joined.size()) {
        std::size_t nl = joined.find('\n', start);
        if (nl == std::string::npos) {
            file.lines.push_back(joined.substr(start));
            break;
        }
        file.lines.push_back(joined.substr(start, nl - start));
        start = nl + 1;
    }
    return file;
}

// A file that cannot be written keeps its former text (the write goes
// through a temporary file); the shared writer tells the user the value
// was not kept. A file whose text is what it holds is not written.
void WriteBack(const std::string& path, const host::TextFile& file) {
    SupportFileRead read{path, file, std::nullopt};
    read.file.lines.clear();
    if (host::fileExists(path))
        if (std::optional<host::TextFile> now = ReadSupportText(path)) {
            read.file = std::move(*now);
            read.file.finalLineEnd = file.finalLineEnd;
        }
    WriteSupportLines(read, file.lines);
}

bool IsBlockStart(const ObjLine& l) {
    return l.text.compare(0, kIncludeStart.size(), kIncludeStart) == 0;
}
bool IsBlockEnd(const ObjLine& l) {
    return l.text.compare(0, kIncludeEnd.size(), kIncludeEnd) == 0;
}

}  // namespace

std::size_t WriteIncludeBlock(const ObjText& text, std::size_t start, std::string& includeLine) {
    const ObjLine& marker = text.lines[start];
    const bool rewrite =
        marker.text.size() > kIncludeStart.size() && marker.text[kIncludeStart.size()] == '1';
    std::string path = marker.text.substr(kIncludeStart.size() + 1);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    includeLine = marker.includeLine;
    std::string joined;
    std::size_t i = start + 1;
    for (; i < text.lines.size() && !IsBlockEnd(text.lines[i]); ++i) {
        if (IsBlockStart(text.lines[i])) {
            std::string nested;
            i = WriteIncludeBlock(text, i, nested);
            joined += nested;
            if (i >= text.lines.size()) break;
            continue;
        }
        joined += text.lines[i].text;
    }
    if (rewrite) WriteBack(path, FileFromEntries(joined, marker.format));
    return i;
}

void SaveObjFile(ObjText& text) {
    if (text.modified) {
        std::string joined;
        for (std::size_t i = 0; i < text.lines.size(); ++i) {
            if (IsBlockStart(text.lines[i])) {
                std::string includeLine;
                i = WriteIncludeBlock(text, i, includeLine);
                joined += includeLine;
                continue;
            }
            joined += text.lines[i].text;
        }
        WriteBack(text.path, FileFromEntries(joined, text.format));
    }
    text.lines.clear();
    text.path.clear();
    text.cursor = TextCursor{};
    text.modified = 0;
}

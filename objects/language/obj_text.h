// Object definition files: finding one in the library folders, loading it
// as a list of lines with its include files expanded in place between two
// marker lines, a cursor over the lines for the section readers, writing one
// variable's value back into the VAR section, and saving the text (and the
// include files whose blocks carry a parameter) when a value was written.
//
// Lines are kept as read: UTF-8 text with the line break ("\n") at the end
// of each physical line. A line holds at most 257 characters, its line break
// counted: a longer physical line becomes several entries, only the last of
// which ends with the break (a line of 300 characters gives 257 and 43 + 1).
// Files are read and written through the module's one text-file reader, so
// each file is written back in the encoding and with the line ends it had.
//
// Include block: ";DDC$200956" + flag + full path + "\n", the included
// lines, ";DDC$200957\n". The flag is "1" when a parameter of the VAR
// section lies in the block: such an include file is rewritten on save,
// whatever the flag of the blocks around it. An include line is written
// back exactly as it was read. A file that includes itself, directly or
// through others, is refused as an include loop; a loop and a missing
// include file are named with the file and line of their include line. A
// definition that expands to more than kMaxDefinitionLines lines
// (obj_limits.h), as includes that fan out do, or whose includes nest
// deeper than kMaxIncludeDepth, is refused with its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/win/textfile.h"
#include "objects/language/obj_var.h"

constexpr std::string_view kIncludeStart = ";DDC$200956";
constexpr std::string_view kIncludeEnd = ";DDC$200957";
// Characters of one line entry, the line break included.
constexpr std::size_t kObjLineChars = 257;

struct ObjLine {
    std::string text;  // as read, "\n" ending the last entry of a physical line
    std::int32_t reserved = 0;
    // Start markers only: the include line it replaced and the form of the
    // included file, for writing both back.
    std::string includeLine;
    host::TextFile format;  // no lines: encoding, line ends, byte-order mark
};

struct ObjVarSectionPlan;

struct TextCursor {
    std::size_t line = 0;  // index of the current line; lines.size() at the end
    std::size_t pos = 0;   // byte offset inside the current line
};

// A statement's bracketed argument as read from where it starts: its text
// and where the cursor stands after it.
struct ObjStatementArg {
    std::string text;
    TextCursor end;
};

// What the readers work out from a definition's lines alone, whatever the
// run: the lines each section keyword starts (by the keyword as asked), the
// VAR section's declarations as written (obj_context.cpp) and the
// statements' arguments. It belongs to the lines it was worked out from and
// goes with their first change, so a definition kept between runs is worked
// out once while its file stays as it was.
struct ObjCompiled {
    std::map<std::string, std::vector<std::size_t>, std::less<>> sectionLines;
    std::shared_ptr<const ObjVarSectionPlan> varSection;
    // The arguments read so far, by the place they were read from (line
    // index in the high half, byte offset in the low).
    std::unordered_map<std::uint64_t, ObjStatementArg> statementArgs;
};

// The lines of a loaded definition. A definition kept between runs (a
// label per room) is read by every run and changed by few (a parameter
// written back): a copy shares the lines, and the first change through
// edit() makes the copy its own, so no run sees another's change.
class ObjLines {
public:
    ObjLines()
        : lines_(std::make_shared<std::vector<ObjLine>>()), compiled_(std::make_shared<ObjCompiled>()) {}
    ObjLines(std::vector<ObjLine> lines)
        : lines_(std::make_shared<std::vector<ObjLine>>(std::move(lines))),
          compiled_(std::make_shared<ObjCompiled>()) {}
    // A move shares as a copy does: a text moved from keeps its lines.
    ObjLines(const ObjLines&) = default;
    ObjLines& operator=(const ObjLines&) = default;

    const std::vector<ObjLine>& all() const { return *lines_; }
    operator const std::vector<ObjLine>&() const { return *lines_; }
    const ObjLine& operator[](std::size_t i) const { return (*lines_)[i]; }
    std::size_t size() const { return lines_->size(); }
    bool empty() const { return lines_->empty(); }
    std::vector<ObjLine>::const_iterator begin() const { return lines_->begin(); }
    std::vector<ObjLine>::const_iterator end() const { return lines_->end(); }
    const ObjLine& back() const { return lines_->back(); }

    // The lines to change, this text's own from now on; what was worked
    // out from them is worked out again.
    std::vector<ObjLine>& edit() {
        if (lines_.use_count() > 1) lines_ = std::make_shared<std::vector<ObjLine>>(*lines_);
        compiled_ = std::make_shared<ObjCompiled>();
        return *lines_;
    }
    void clear() {
        lines_ = std::make_shared<std::vector<ObjLine>>();
        compiled_ = std::make_shared<ObjCompiled>();
    }

    // Shared by every copy of these lines while none changes them.
    ObjCompiled& compiled() const { return *compiled_; }

private:
    // Never null.
    std::shared_ptr<std::vector<ObjLine>> lines_;
    std::shared_ptr<ObjCompiled> compiled_;
};

struct ObjText {
    std::string path;
    std::int32_t modified = 0;
    ObjLines lines;
    TextCursor cursor;
    host::TextFile format;  // of the definition file itself
    bool faultReported = false;
};

// Where entry `index` of a loaded text was read from: the definition or the
// include file that holds it, and its physical line (from 1). An index at or
// past the end names the last line.
struct ObjTextSource {
    std::string file;
    std::size_t line = 0;
};
ObjTextSource SourceOfLine(const ObjText& text, std::size_t index);
// Names the first fault the section readers find in a loaded definition as
// "FILE:LINE: what"; the faults that follow from it are not named again.
void ReportTextFault(ObjText& text, std::size_t index, const std::string& what);

// 5100 (RTNORM) and the full path when found: a name with a folder part on
// the support path as it is; a bare name in each library folder in order,
// then on the support path. Otherwise the host's status.
int FindLibraryFile(const std::string& name, std::string& fullPath);

// The definition file `name` (its folder and extension ignored: ".txt",
// else ".cxt", found as FindLibraryFile finds it) read into `text`: 1
// loaded; 0 not found or not readable (`text` untouched); -1 a file of it
// past kMaxDefinitionBytes (`text` untouched), an include file could not
// be opened or the definition is too long (the text read so far stays in
// `text`).
int ReadObjText(const std::string& name, std::unique_ptr<ObjText>& text);
// The expanded block of one include line, or nothing (with the message)
// when the file cannot be found or read, or is already being expanded.
std::optional<std::vector<ObjLine>> ReadIncludeFile(std::string_view includeLine);

bool TextAtEnd(const ObjText& text);
// The next character (a code point; the line break too), crossing line
// ends; -1 at the end of the text.
int NextTextChar(ObjText& text);
// The current line from its start, up to its line break or `maxChars`
// characters, cut at its first blank unless `whole`; the cursor moves to
// the start of the next line. Nothing at the end of the text.
std::optional<std::string> ReadTextLine(ObjText& text, std::size_t maxChars, bool whole);
// The integers at the start of the next line ("%d" or "%d %d", blanks
// before them allowed); the cursor moves to the following line.
std::optional<std::pair<int, int>> ReadCountLine(ObjText& text, int wanted);
// Moves the cursor to the start of the next line.
void PassLine(ObjText& text);
// Puts the cursor after the first line whose first word is `keyword`
// (letter case ignored), searching from the first line when `fromStart`.
bool FindSection(std::string_view keyword, ObjText& text, bool fromStart);

// Rewrites the value of the variable's VAR line; true when it did.
bool WriteVarValue(ObjText& text, const ObjVar& var);
// Writes the text back when it was modified, then empties it.
void SaveObjFile(ObjText& text);
// Writes the block that starts at line `start` (nested blocks as their
// include lines, flagged ones into their files) and returns the index of
// its end marker; `includeLine` receives the line to write in its place.
std::size_t WriteIncludeBlock(const ObjText& text, std::size_t start, std::string& includeLine);

// The lines of a file's text as entries (each physical line split as
// above); used by the loader and by tests.
std::vector<ObjLine> SplitIntoObjLines(const std::vector<std::string>& physicalLines, bool finalLineEnd);

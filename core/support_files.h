// The module's support files: where they are (the host's support search
// path), the data folder that "VELMDCONFIG.CFG" marks, the folder of the
// view-mode lists, hatch pattern files, the configuration file's keys, and
// a line reader over the one text-file reader of the host.
//
// Configuration lines are "KEY=value": the key matched exactly and
// case-sensitively at the start of the line, no blank before "="; the first
// matching line with a value wins. Lines are read whole, whatever their
// length, and without their line ends.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/win/textfile.h"

// The full path of `name` on the host's support search path.
std::optional<std::string> FindSupportFile(std::string_view name);
// Names on the command line, now, what the host's search refused (a link
// leading out of the folder it was found in) or could not read since it
// was last asked: a reader then says the file is missing after its reason.
void ReportRefusedSupportFiles();
// Whether a name a drawing gave for a support file (a schedule or label
// template) may be looked up: only a plain file name may; one with a
// folder part or ".." is refused on the command line, naming `record`, the
// drawing's record or setting it came from.
bool CheckDrawingFileName(std::string_view name, std::string_view record);

// The folder (with its trailing separator) of "VELMDCONFIG.CFG"; 1, or 0
// with `folder` untouched when the file is not on the search path.
int GetDataFolder(std::string& folder);
// The same for "VXD.LST", the folder of the view-mode layer lists.
int GetVxdListFolder(std::string& folder);

// Whether a hatch pattern is custom: its file NAME.pat is on the support
// path. A name with a folder part or ".." is refused as CheckDrawingFileName
// refuses it, naming `record`, and taken for a predefined pattern.
bool IsCustomPattern(const std::string& pattern, std::string_view record);

// The pattern file NAME.pat, else the host's "zwcadiso.pat" (with `check`,
// only when it defines the pattern `name`). 1 and the path, or 0.
int FindPatternFile(std::string_view name, std::string& path, bool check);
// Whether pattern definition lines ("*NAME,description") define `name`,
// compared without regard to case.
bool PatternLinesDefine(const std::vector<std::string>& lines, std::string_view name);

// The integer of `key` in the configuration file; -1 when absent, or when
// its only values are not whole numbers (the first such line is named).
int ReadConfigInt(std::string_view key);
// The same for several keys, in their order, from one look-up and reading
// of the file (a room's label asks for two of them).
std::vector<int> ReadConfigInts(std::initializer_list<std::string_view> keys);
// 1 and the value of `key`, or 0 (value untouched).
int ReadConfigString(std::string_view key, std::string& value);
// The same over lines already read.
std::optional<int> ConfigIntFromLines(const std::vector<std::string>& lines, std::string_view key);
std::optional<std::string> ConfigStringFromLines(const std::vector<std::string>& lines, std::string_view key);
// The fields of a table row between its commas, as written (an empty
// line is one empty field).
std::vector<std::string_view> CommaFields(std::string_view line);

// A support file read whole. One that is there but is not text (see
// host::isTextBytes) is named on the command line and given as none, with
// `notText` set, so that its reader goes on as for a missing file; one that
// is there but cannot be read (no regular file, above the size cap) is
// named with the reader's reason and given as none.
std::optional<host::TextFile> ReadSupportText(const std::string& path, bool* notText = nullptr);
// The same, shared with the next readers while the file stays as it was
// (null for none), for a reader that only looks at the lines.
std::shared_ptr<const host::TextFile> SharedSupportText(const std::string& path, bool* notText = nullptr);
// The same read from the disk, not from what an earlier command kept: for
// a file the module writes back, whose write compares with this read.
std::optional<host::TextFile> ReadSupportTextNow(const std::string& path, bool* notText = nullptr);

// Where a support file stops reading as its reader expects: the first
// line (counted from 1) it could not read, and what was wrong with it.
struct SupportFault {
    std::size_t line = 0;
    std::string what;
};

// The first configuration line that gives `key` a value which is not a
// whole number, when no line gives it one that is.
std::optional<SupportFault> ConfigIntFault(const std::vector<std::string>& lines, std::string_view key);

// "\nFILE:LINE: what" on the command line, the file as found; "\nFILE: what"
// for a fault of no one line (line 0: what the file lacks).
void ReportSupportFault(const std::string& path, const SupportFault& fault);

// The first line that was not valid in the file's encoding: read with its
// stray bytes as another code page, its text is not what was written.
std::optional<SupportFault> EncodingFault(const host::TextFile& file);

// A support file the module writes back, as it was read: its text (with its
// encoding and line ends) and its first fault, if any.
struct SupportFileRead {
    std::string path;
    host::TextFile file;
    std::optional<SupportFault> fault;
};

// A table of rows named by a key (a layer table): its owner declares it by
// the key its reader gives a line, compared as that reader compares keys,
// and nothing for a line that is no row (a blank line, a group heading).
// Two programs editing different rows of one such file both keep their
// edits.
struct KeyedRows {
    std::optional<std::string> (*key)(std::string_view line) = nullptr;
};

// The one rule for every support file written back. Nothing is written when
// `lines` are the lines that were read; a file that was not read whole (it
// has a fault) is not overwritten and its fault is named; otherwise the
// lines replace the file (temporary file, then renamed) in the encoding and
// with the line ends it was read with, every line the writer passed on
// unchanged keeping its bytes. A failed write leaves the old file, says
// "nie można zapisać FILE: reason; zmiany nie zostały zapisane." and fails
// the running command. A file another program changed since this one read
// it in the running command is not replaced: a keyed table takes the rows
// this program changed onto the file as it is now (a row it added goes
// into its group, after the group's last row), unless both changed one
// row; every other file, and such a clash, fails as above.
enum class SupportWrite { Unchanged, Written, Refused, Failed };
SupportWrite WriteSupportLines(const SupportFileRead& read, const std::vector<std::string>& lines,
                               const KeyedRows* keyed = nullptr);
// The lines `now` with the rows `edited` changed from `asRead` (changed,
// added or dropped) made on them; nothing when both changed one row
// differently, the edit moved lines that are no rows, or a key repeats.
std::optional<std::vector<std::string>> MergeRowChanges(const std::vector<std::string>& asRead,
                                                        const std::vector<std::string>& edited,
                                                        const std::vector<std::string>& now,
                                                        const KeyedRows& keyed);

// A text file read whole, handed out line by line.
struct LineCursor {
    // Shared with the kept text: a label reads its field set and template
    // once per room, and the lines are only looked at.
    std::shared_ptr<const host::TextFile> file;
    std::size_t next = 0;
};
// Opens `path` for line reading; nullopt when it cannot be read.
std::optional<LineCursor> OpenLineCursor(const std::string& path);
// The next line without any trailing CR or LF; false at the end.
bool ReadLineNoEol(std::string& line, LineCursor& cursor);

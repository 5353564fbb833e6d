// Wall-type files: one text file per wall type, "<file name>.mxt", in the
// module's data folder (the folder of "VELMDCONFIG.CFG"). One field per
// line: name, stored file name, colour, priority, layer; then per build-up
// "STRATIFICAZIONE<scale>", five lines per layer (material, hatch pattern,
// hatch scale with six decimals, thickness expression, layer) and
// "ENDSTRATIFICAZIONE<scale>". Nothing follows the last closing line.
//
// Files are read through the module's one text reader (UTF-8, else
// Windows-1250; LF or CR LF); a new file is written as UTF-8 with LF, an
// existing one only when its type changed, in its own encoding and line
// ends, to a temporary file renamed over the target. Numbers use '.'
// whatever the locale. Before a file is replaced it is copied to its
// "<file name>.mxk" backup.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/support_files.h"
#include "walls/types/wall_types.h"

inline constexpr unsigned IDS_NO_MXT_FILE = 2601;  // "Nie znaleziono żadnego pliku MXT"
inline constexpr unsigned IDS_FILE_ERROR = 2602;   // "Błąd w pliku:"
inline constexpr unsigned IDS_WALL_EXISTS = 1036;  // "Ściana %s już istnieje"

// The path of the wall type's file with that extension ("mxt", "mxk") in
// the data folder; empty when the data folder is not found.
std::string WallTypeFilePath(const std::string& fileName, const char* extension);

// A layer's thickness expression holds what the build-up drawing can read
// ("$", "s<n>", numbers, + - * /, blanks) and no number beyond what a
// drawing holds; a thickness given as a number alone is a length, above
// zero. An empty expression (no thickness given) is refused, as 0 is, and
// so is a sign on a sign ("--5") or an operator with nothing after it.
bool ThicknessExpressionValid(std::string_view expr);

// The file's lines for a wall type, as the writer puts them.
std::vector<std::string> WallTypeFileLines(const CMuro& type);
// Fills `type` from the lines of a file (its file name is left alone); the
// layer of the type joins the drawing's wall layers. False, with `type`
// left without build-ups, when the lines are not a wall-type file.
bool ParseWallTypeLines(const std::vector<std::string>& lines, CMuro& type);

// The same without touching the drawing: nothing when the lines are a
// wall-type file, else the first line that is not.
std::optional<SupportFault> WallTypeFault(const std::vector<std::string>& lines, CMuro& type);
// A wall-type file as read, with its first fault.
std::optional<SupportFileRead> ReadWallTypeSource(const std::string& path);

// Writes the type to "<file name>.mxt" when that changes the file (an
// existing file keeps its encoding and line ends; one that is not a
// wall-type file is not overwritten and is named with its line); false for
// an empty file name or a file that was not or cannot be written.
bool WriteWallTypeFile(const CMuro& type);
// Reads "<file name>.mxt" into the type, whose file name the caller set;
// the first line it cannot read is named on the command line.
bool ReadWallTypeFile(CMuro& type);

// Reads every wall-type file of the data folder (sorted by name) and puts
// the types at the head of the list, in that order, ahead of what it held.
// A file that does not read is reported ("Błąd w pliku: NAME") and skipped.
// False, with a message box, when there is no wall-type file at all.
bool LoadWallTypes(CListMuri& list);
// Renames every "*.mxt" of the data folder to ".mxk", replacing an older
// backup.
void BackupWallTypeFiles();
// Writes every wall type of the list that has a file name and changed
// since the list was loaded, its old file copied to the backup first (the
// file is never away); a file the list loaded that no type is saved to any
// more is kept as its backup only. A file another program changed since
// the list was loaded keeps that program's edit: this one is refused,
// naming the file, and the running command fails. Files the list did not
// load (not read whole, or made since) are left as they are. Each type
// that cannot be written is reported. True when all were written or
// unchanged.
bool SaveWallTypes(const CListMuri& list);

// Wall-type files: one text file per wall type, "<file name>.mxt", in the
// module's data folder (the folder of "VELMDCONFIG.CFG"). One field per
// line: name, stored file name, colour, priority, layer; then per build-up
// "STRATIFICAZIONE<scale>", five lines per layer (material, hatch pattern,
// hatch scale with six decimals, thickness expression, layer) and
// "ENDSTRATIFICAZIONE<scale>". Nothing follows the last closing line.
//
// Files are read through the module's one text reader (UTF-8, else
// Windows-1250; LF or CR LF) and written whole as UTF-8 with LF, to a
// temporary file renamed over the target. Numbers use '.' whatever the
// locale. Before a save the files are kept as "<file name>.mxk" backups.
#pragma once

#include <string>
#include <vector>

#include "walls/types/wall_types.h"

inline constexpr unsigned IDS_NO_MXT_FILE = 2601;  // "Nie znaleziono żadnego pliku MXT"
inline constexpr unsigned IDS_FILE_ERROR = 2602;   // "Błąd w pliku:"
inline constexpr unsigned IDS_WALL_EXISTS = 1036;  // "Ściana %s już istnieje"

// The path of the wall type's file with that extension ("mxt", "mxk") in
// the data folder; empty when the data folder is not found.
std::string WallTypeFilePath(const std::string& fileName, const char* extension);

// The file's lines for a wall type, as the writer puts them.
std::vector<std::string> WallTypeFileLines(const CMuro& type);
// Fills `type` from the lines of a file (its file name is left alone); the
// layer of the type joins the drawing's wall layers. False, with `type`
// left without build-ups, when the lines are not a wall-type file.
bool ParseWallTypeLines(const std::vector<std::string>& lines, CMuro& type);

// Writes the type to "<file name>.mxt"; false for an empty file name or a
// file that cannot be written.
bool WriteWallTypeFile(const CMuro& type);
// Reads "<file name>.mxt" into the type, whose file name the caller set.
bool ReadWallTypeFile(CMuro& type);

// Reads every wall-type file of the data folder (sorted by name) and puts
// the types at the head of the list, in that order, ahead of what it held.
// A file that does not read is reported ("Błąd w pliku: NAME") and skipped.
// False, with a message box, when there is no wall-type file at all.
bool LoadWallTypes(CListMuri& list);
// Renames every "*.mxt" of the data folder to ".mxk", replacing an older
// backup.
void BackupWallTypeFiles();
// Backs the files up, then writes every wall type of the list that has a
// file name; each type that cannot be written is reported. True when all
// were written.
bool SaveWallTypes(const CListMuri& list);

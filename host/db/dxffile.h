// Drawings as DXF files (the 2013 format, AC1027, UTF-8 text).
//
// Saving walks the database once: HEADER (the drawing variables of the
// system-variable table, read from the document's store), CLASSES (the
// custom classes registered by modules), TABLES, BLOCKS (a BLOCK/ENDBLK
// pair per block record around its entities), ENTITIES (model and paper
// space), OBJECTS (the named-object dictionary and everything under it),
// then EOF. Objects file themselves through ZcDbDxfFiler; this layer only
// turns items into text: ids become handles, angles become degrees, points
// become their 10/20/30 triples. The text is written whole to a temporary
// file which is then renamed over the target.
//
// Loading reads the whole text into (code, value, line) pairs, checks them,
// then builds a fresh database and hands it over only when the whole file
// went in; on any fault the caller gets "DXF: wiersz N: ..." and nothing.
// What the reference allows is read: every version from R12 (files without
// handles, the older dimension-style groups, "$MODEL_SPACE" blocks) to
// 2018, binary DXF (turned into its text first), 999 comments, anything
// after EOF. Text is decoded by the header's $DWGCODEPAGE before 2007 and
// as UTF-8 from 2007 on; "\U+XXXX" and caret escapes are decoded.
// Handles are kept when free; the few objects every database is born with
// (the tables and the named-object dictionary) take the file's records of
// the same role, and a file handle that collides with one of them is moved
// to a fresh number before any reference to it is resolved.
// Nothing the host does not model is dropped: entities and objects of other
// kinds (and MINSERT, hatches with ellipse or spline edges, dimensions the
// host does not draw) are kept as opaque records (dbopaque.h), extension
// dictionaries and persistent reactors stay with their objects, the file's
// CLASS records are written back for the kinds still there, and an object
// whose owner the file lacks goes under the named-object dictionary. Only
// what the 2013 format cannot hold (a record of an unknown table, an entity
// among the objects) is left out, counted in one note per kind.
// Unknown header variables are ignored.
// What other programs get wrong is mended where the file still says what it
// means, each repair named: coordinates of a point in any order within its
// record, an own handle that is no handle or a repeat of an earlier one (a
// fresh handle), a reference that is no handle (none), a second table record
// of a name (kept under a name of its own when something refers to it by
// handle, else left out), a record without its table header, stray groups
// where a record belongs, block records and layouts whose links name
// nothing. Ellipses come out with their ratio of axes within (0, 1].
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/sysvartable.h"
#include "host/win/read_file.h"

class ZcDbDatabase;

namespace host {

// The DXF text of a database. `vars` supplies the drawing variables (the
// defaults of the table when null).
std::string writeDxfText(ZcDbDatabase* db, const SysVarStore* vars = nullptr);
// Writes the DXF text of the database to `path` (temporary file, rename).
bool saveDxf(ZcDbDatabase* db, const std::string& path, const SysVarStore* vars = nullptr,
             std::string* error = nullptr);

struct DxfLoadResult {
    std::unique_ptr<ZcDbDatabase> db;         // null when the file was refused
    std::unique_ptr<MemorySysVarStore> vars;  // the header's drawing variables
    std::string error;                        // "DXF: wiersz N: ..." when refused
    std::vector<std::string> notes;           // skipped kinds, one line each
    // Faults mended while reading, nothing lost: one line each ("DXF:
    // wiersz N: what, what was done").
    std::vector<std::string> repairs;
};

// `name` (the file's, when there is one) is said in the message of a file
// cut off before its end: "DXF: wiersz N: plik NAME urwany: brak EOF",
// N its last line.
DxfLoadResult readDxfText(std::string_view text, std::string_view name = {});
// Reads a file; an unreadable file is refused like a malformed one. A
// drawing the user named may be a pipe too, judged by its first lines; any
// other is read only when it is a regular file. A device, a folder and a
// file larger than a drawing may be are refused unread (dxffile_open.h).
DxfLoadResult loadDxf(const std::string& path, FileOrigin origin = FileOrigin::Foreign);

}  // namespace host

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
// Handles are kept when free; the few objects every database is born with
// (the tables and the named-object dictionary) take the file's records of
// the same role, and a file handle that collides with one of them is moved
// to a fresh number before any reference to it is resolved. Unknown entity
// and object kinds are skipped with one note per kind; unknown header
// variables are ignored.
// Limits: binary DXF is not read; entities owned by other entities than
// POLYLINE and INSERT are not kept; objects outside the named-object
// dictionary's tree are not written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/sysvartable.h"

class ZcDbDatabase;

namespace host {

// The DXF text of a database. `vars` supplies the drawing variables (the
// defaults of the table when null).
std::string writeDxfText(ZcDbDatabase* db, const SysVarStore* vars = nullptr);
// Writes the DXF text of the database to `path` (temporary file, rename).
bool saveDxf(ZcDbDatabase* db, const std::string& path, const SysVarStore* vars = nullptr,
             std::string* error = nullptr);

struct DxfLoadResult {
    std::unique_ptr<ZcDbDatabase> db;        // null when the file was refused
    std::unique_ptr<MemorySysVarStore> vars;  // the header's drawing variables
    std::string error;                        // "DXF: wiersz N: ..." when refused
    std::vector<std::string> notes;           // skipped kinds, one line each
};

DxfLoadResult readDxfText(std::string_view text);
// Reads a file; an unreadable file is refused like a malformed one.
DxfLoadResult loadDxf(const std::string& path);

}  // namespace host

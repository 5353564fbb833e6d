// The user block catalogue "catalog.ini": named groups of 20 entries, each
// entry a block file "<folder>\<name>.dwg" (DXF inside) with its preview
// "<name>.bmp" and how it is inserted (layer, rotation, scales, explode,
// current floor). The records here are what the catalogue command and its
// dialogs share.
//
// The file: a line "[CATALOG]", then per group a line "#=NAME" and exactly
// 20 entry lines "NAME=LAYER,ROTATION,SX,SY,SZ,EXPLODE,\"DESCRIPTION\"",
// with a trailing "1" when the entry goes to the current floor; written
// with CR LF. A group cut short, or an entry line of fewer than seven
// fields, makes the whole file unreadable; the line where reading failed is
// kept with the list to be named. Reading stops at the first line after the
// groups that is no group line; that line and those after it are kept and
// written back behind the groups, so a stray line costs nothing. Lines are
// read whole, whatever their length.
//
// A file read is written back through the one writer of support files: a
// list that says what the file says writes nothing; lines the list leaves
// as they were (those before the header included) keep their bytes; a file
// that could not be read whole is not overwritten.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/support_files.h"
#include "host/win/textfile.h"

inline constexpr int kCatalogSlots = 20;

struct CatalogEntry {
    std::string blockName;
    std::string layer = "?";     // "?": the current layer
    std::string rotation = "?";  // "?" asked, "!" asked with ORTHOMODE on, else degrees
    std::string scaleX = "R";    // "R" real size, "S" symbol, "?" asked, else a factor
    std::string scaleY = "R";
    std::string scaleZ = "R";
    char explode = 'N';  // 'S': exploded after insertion
    std::string description;
    bool filePresent = false;
    bool currentFloor = false;  // at the current floor's elevation and on its layer
};

// One group; the list is singly linked in file order and owned by its
// CatalogList.
struct CatalogGroup {
    std::string name;
    std::array<CatalogEntry, kCatalogSlots> entries;
    CatalogGroup* next = nullptr;
};

// The owner of the group list, with the file's lines after the groups that
// could not be read and the encoding the file was read with.
struct CatalogList {
    CatalogGroup* head = nullptr;
    std::vector<std::string> keptLines;
    host::TextEncoding encoding = host::TextEncoding::Utf8;
    // What the list was read from: the file as read with the first line
    // that could not be read (set by ReadCatalogFile; a list made in memory
    // has none), the header's line and the list's own lines as read.
    std::optional<SupportFileRead> source;
    std::optional<SupportFault> fault;
    std::size_t headerLine = 0;
    std::vector<std::string> linesAtRead;

    CatalogList() = default;
    CatalogList(const CatalogList&) = delete;
    CatalogList& operator=(const CatalogList&) = delete;
    ~CatalogList();

    bool empty() const { return head == nullptr; }
    CatalogGroup* Find(const std::string& name) const;  // without regard to case
    // A new group of default entries at the end of the list.
    CatalogGroup* Append(const std::string& name);
};

// The working record the command and the dialogs share.
struct CatalogState {
    std::string insertLayer;  // empty: the current layer
    bool redefine = false;
    bool explode = false;
    int slot = 0;  // 0..19
    CatalogGroup* group = nullptr;

    CatalogEntry& Entry() const { return group->entries[static_cast<std::size_t>(slot)]; }
};

// The entries of a new group: "<group><slot>", current layer, rotation
// asked, real size, kept as a block, no file.
void DefaultCatalogEntries(CatalogGroup& group);

// The block file and preview of a block name in the catalogue folder.
std::string CatalogBlockPath(const std::string& folder, const std::string& name);
std::string CatalogPreviewPath(const std::string& folder, const std::string& name);

// Fills `list` from the file; the block files are looked for in `folder`.
// On a format error the list is left empty (and keeps no lines), with the
// fault's line in `list.fault`.
void ReadCatalogFile(CatalogList& list, const std::string& folder, const std::string& path);
// Reads lines already split; what ReadCatalogFile does after reading.
void ParseCatalogLines(CatalogList& list, const std::string& folder, const std::vector<std::string>& lines);
// The file's lines for the list.
std::vector<std::string> FormatCatalogLines(const CatalogList& list);
// Writes the file: a list read from `path` over what it was read from, a
// list made in memory as a new file with CR LF line ends (an existing file
// it was not read from is not overwritten). True when the file says what
// the list says.
bool WriteCatalogFile(const std::string& path, const CatalogList& list);
// Frees every group and forgets the kept lines.
void FreeCatalogGroups(CatalogList& list);

// What the dialogs refuse because the file or a block path could not hold
// it: a double quote in a description, a block name that is no file name
// (or holds "=" or ","), a group name with a blank.
bool CatalogDescriptionValid(const std::string& text);
bool CatalogBlockNameValid(const std::string& name);
bool CatalogGroupNameValid(const std::string& name);

// The user block catalogue file. Entry lines are split field by field as
// the file's own writer joins them: the name up to "=", six fields each up
// to a comma (none of them empty), then the description between double
// quotes; a field that is empty or missing ends the conversion there.
#include "objects/dialogs/catalog_file.h"

#include <cctype>

#include "host/util/nocase.h"
#include "host/win/files.h"

CatalogList::~CatalogList() {
    FreeCatalogGroups(*this);
}

CatalogGroup* CatalogList::Find(const std::string& name) const {
    for (CatalogGroup* g = head; g; g = g->next)
        if (zcutEqualsNoCase(g->name, name)) return g;
    return nullptr;
}

CatalogGroup* CatalogList::Append(const std::string& name) {
    auto* group = new CatalogGroup;
    group->name = name;
    DefaultCatalogEntries(*group);
    CatalogGroup** at = &head;
    while (*at) at = &(*at)->next;
    *at = group;
    return group;
}

void DefaultCatalogEntries(CatalogGroup& group) {
    for (int k = 0; k < kCatalogSlots; ++k) {
        CatalogEntry& e = group.entries[static_cast<std::size_t>(k)];
        e = CatalogEntry{};
        e.blockName = group.name + std::to_string(k);
    }
}

std::string CatalogBlockPath(const std::string& folder, const std::string& name) {
    return folder + "\\" + name + ".dwg";
}

std::string CatalogPreviewPath(const std::string& folder, const std::string& name) {
    return folder + "\\" + name + ".bmp";
}

namespace {

bool StartsWithNoCase(const std::string& line, const char* prefix) {
    const std::string_view p(prefix);
    return line.size() >= p.size() && zcutEqualsNoCase(line.substr(0, p.size()), std::string(p));
}

// "#=NAME": the first word after "#=", blanks before it skipped.
bool ReadGroupLine(const std::string& line, std::string& name) {
    if (line.compare(0, 2, "#=") != 0) return false;
    std::size_t from = 2;
    while (from < line.size() && std::isspace(static_cast<unsigned char>(line[from]))) ++from;
    std::size_t to = from;
    while (to < line.size() && !std::isspace(static_cast<unsigned char>(line[to]))) ++to;
    if (to == from) return false;
    name = line.substr(from, to - from);
    return true;
}

// Takes a non-empty field up to `stop` (or the line end); false when empty.
bool TakeField(const std::string& line, std::size_t& at, char stop, std::string& out) {
    std::size_t end = line.find(stop, at);
    if (end == std::string::npos) end = line.size();
    if (end == at) return false;
    out = line.substr(at, end - at);
    at = end;
    return true;
}

bool TakeChar(const std::string& line, std::size_t& at, char c) {
    if (at >= line.size() || line[at] != c) return false;
    ++at;
    return true;
}

// An entry line; false when fewer than seven fields convert.
bool ReadEntryLine(const std::string& line, CatalogEntry& e) {
    std::size_t at = 0;
    std::string explode;
    if (!TakeField(line, at, '=', e.blockName) || !TakeChar(line, at, '=')) return false;
    std::string* fields[] = {&e.layer, &e.rotation, &e.scaleX, &e.scaleY, &e.scaleZ, &explode};
    for (std::size_t i = 0; i < 6; ++i) {
        if (!TakeField(line, at, ',', *fields[i])) return false;
        if (i < 5 && !TakeChar(line, at, ',')) return false;
    }
    e.explode = explode[0];
    e.description.clear();
    if (TakeChar(line, at, ',') && TakeChar(line, at, '"')) {
        std::string text;
        if (TakeField(line, at, '"', text)) e.description = text;
    }
    e.currentFloor = !line.empty() && line.back() == '1';
    return true;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void ReadCatalogFile(CatalogList& list, const std::string& folder, const std::string& path) {
    FreeCatalogGroups(list);
    std::optional<host::TextFile> file = host::readTextFile(path);
    if (!file) return;
    ParseCatalogLines(list, folder, file->lines);
    list.encoding = file->encoding;
}

void ParseCatalogLines(CatalogList& list, const std::string& folder, const std::vector<std::string>& lines) {
    FreeCatalogGroups(list);
    std::size_t i = 0;
    while (i < lines.size() && !StartsWithNoCase(lines[i], "[CATALOG]")) ++i;
    if (i == lines.size()) return;
    ++i;
    std::string name;
    while (i < lines.size() && ReadGroupLine(lines[i], name)) {
        ++i;
        CatalogGroup* group = list.Append(name);
        for (CatalogEntry& e : group->entries) {
            if (i >= lines.size() || !ReadEntryLine(lines[i], e)) {
                FreeCatalogGroups(list);
                return;
            }
            e.filePresent = FileExists(CatalogBlockPath(folder, e.blockName));
            ++i;
        }
    }
    std::size_t last = lines.size();
    while (last > i && lines[last - 1].find_first_not_of(" \t") == std::string::npos) --last;
    list.keptLines.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                          lines.begin() + static_cast<std::ptrdiff_t>(last));
}

std::vector<std::string> FormatCatalogLines(const CatalogList& list) {
    std::vector<std::string> out{"[CATALOG]"};
    for (const CatalogGroup* g = list.head; g; g = g->next) {
        out.push_back("#=" + g->name);
        for (const CatalogEntry& e : g->entries) {
            std::string line = e.blockName + "=" + e.layer + "," + e.rotation + "," + e.scaleX + "," +
                               e.scaleY + "," + e.scaleZ + "," + std::string(1, e.explode) + ",\"" +
                               e.description + "\"";
            if (e.currentFloor) line += "1";
            out.push_back(std::move(line));
        }
    }
    out.insert(out.end(), list.keptLines.begin(), list.keptLines.end());
    return out;
}

bool WriteCatalogFile(const std::string& path, const CatalogList& list) {
    host::TextFile file;
    file.lines = FormatCatalogLines(list);
    file.encoding = list.encoding;
    file.lineEnding = host::LineEnding::CrLf;
    // A file that already says the same is left alone (and its date with it).
    std::string now;
    if (host::readWholeFile(host::nativePath(path), now) && now == host::encodeText(file)) return true;
    return host::writeTextFile(path, file);
}

void FreeCatalogGroups(CatalogList& list) {
    while (CatalogGroup* g = list.head) {
        list.head = g->next;
        delete g;
    }
    list.keptLines.clear();
}

bool CatalogDescriptionValid(const std::string& text) {
    return text.find('"') == std::string::npos;
}

bool CatalogBlockNameValid(const std::string& name) {
    if (name.empty() || name.find_first_of("=,\\/:*?\"<>|") != std::string::npos) return false;
    for (unsigned char c : name)
        if (c < 0x20) return false;
    // A name of blanks and dots only names no file.
    return name.find_first_not_of(" .") != std::string::npos;
}

bool CatalogGroupNameValid(const std::string& name) {
    for (unsigned char c : name)
        if (std::isspace(c)) return false;
    return true;
}

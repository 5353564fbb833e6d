// The user block catalogue file. Entry lines are split field by field as
// the file's own writer joins them: the name up to "=", six fields each up
// to a comma (none of them empty), then the description between double
// quotes; a field that is empty or missing ends the conversion there.
#include "objects/dialogs/catalog_file.h"

#include <algorithm>
#include <cctype>

#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/textfile.h"

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
    return folder + "/" + name + ".dwg";
}

std::string CatalogPreviewPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name + ".bmp";
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
    // The letter is kept as one byte: a character of more would be cut.
    if (static_cast<unsigned char>(explode[0]) >= 0x80) return false;
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
    list.source.reset();
    list.fault.reset();
    std::string bytes;
    if (!host::readWholeFile(host::nativePath(path), bytes)) {
        list.fault = SupportFault{0, "nie można odczytać pliku"};
        return;
    }
    SupportFileRead source{path, {}, std::nullopt};
    if (host::isTextBytes(bytes)) source.file = host::decodeText(bytes);
    ParseCatalogLines(list, folder, source.file.lines);
    if (!host::isTextBytes(bytes)) {
        FreeCatalogGroups(list);
        list.fault = SupportFault{1, "plik nie jest plikiem tekstowym"};
    }
    source.fault = list.fault;
    list.encoding = source.file.encoding;
    list.source = std::move(source);
}

void ParseCatalogLines(CatalogList& list, const std::string& folder, const std::vector<std::string>& lines) {
    FreeCatalogGroups(list);
    list.source.reset();
    list.fault.reset();
    list.headerLine = 0;
    list.linesAtRead.clear();
    const auto fail = [&list](std::size_t index, std::string what) {
        FreeCatalogGroups(list);
        list.fault = SupportFault{index + 1, std::move(what)};
    };
    std::size_t i = 0;
    while (i < lines.size() && !StartsWithNoCase(lines[i], "[CATALOG]")) ++i;
    if (i == lines.size()) {
        fail(0, lines.empty() ? "plik jest pusty" : "brak wiersza [CATALOG]");
        return;
    }
    list.headerLine = i;
    ++i;
    std::string name;
    while (i < lines.size() && ReadGroupLine(lines[i], name)) {
        ++i;
        CatalogGroup* group = list.Append(name);
        for (std::size_t k = 0; k < group->entries.size(); ++k) {
            CatalogEntry& e = group->entries[k];
            if (i >= lines.size()) {
                fail(i, "grupa " + name + " kończy się po " + std::to_string(k) + " z " +
                            std::to_string(kCatalogSlots) + " wpisów");
                return;
            }
            if (!ReadEntryLine(lines[i], e)) {
                fail(i, "wiersz wpisu grupy " + name +
                            " nie ma postaci NAZWA=WARSTWA,OBRÓT,SKALA X,SKALA Y,SKALA Z,ROZBIJ,\"OPIS\"");
                return;
            }
            e.filePresent = FileExists(CatalogBlockPath(folder, e.blockName));
            ++i;
        }
    }
    if (list.empty()) {
        fail(i, "brak wiersza grupy #=NAZWA po wierszu [CATALOG]");
        return;
    }
    std::size_t last = lines.size();
    while (last > i && lines[last - 1].find_first_not_of(" \t") == std::string::npos) --last;
    list.keptLines.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                          lines.begin() + static_cast<std::ptrdiff_t>(last));
    list.linesAtRead = FormatCatalogLines(list);
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
    const std::vector<std::string> now = FormatCatalogLines(list);
    if (!list.source || list.source->path != path) {
        // A list made in memory writes a new file only.
        SupportFileRead read{path, {}, std::nullopt};
        read.file.lineEnding = host::LineEnding::CrLf;
        read.file.encoding = list.encoding;
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            read.fault = SupportFault{0, "plik nie został wczytany"};
        return WriteSupportLines(read, now) == SupportWrite::Written;
    }
    // The list's lines stand where they were read, between the lines before
    // the header and the blank lines at the end; each one the list leaves
    // as it was read keeps the file's own text.
    const SupportFileRead& read = *list.source;
    const std::vector<std::string>& was = read.file.lines;
    const std::size_t from = std::min(list.headerLine, was.size());
    const std::size_t to = std::min(from + list.linesAtRead.size(), was.size());
    std::vector<std::string> lines(was.begin(), was.begin() + static_cast<std::ptrdiff_t>(from));
    for (std::size_t k = 0; k < now.size(); ++k) {
        const bool kept = k < list.linesAtRead.size() && from + k < to && list.linesAtRead[k] == now[k];
        lines.push_back(kept ? was[from + k] : now[k]);
    }
    if (!list.linesAtRead.empty())
        lines.insert(lines.end(), was.begin() + static_cast<std::ptrdiff_t>(to), was.end());
    const SupportWrite done = WriteSupportLines(read, lines);
    return done == SupportWrite::Written || done == SupportWrite::Unchanged;
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

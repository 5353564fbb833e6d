// Render materials per layer: the catalogue reader and writer of
// "LAYERPOV.DEF" and the VELM_MATPOV record with its merge and filing.
#include "settings/matpov.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <utility>

#include "core/support_files.h"
#include "host/db/dbdict.h"
#include "host/util/nocase.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"
#include "store/open_or_create.h"
#include "store/value_range.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_MATPOV)

namespace {

// One "%[^,]" conversion: at least one character up to a comma.
bool ScanField(std::string_view line, std::size_t& pos, std::string& out) {
    std::size_t end = line.find(',', pos);
    if (end == std::string_view::npos) end = line.size();
    if (end == pos) return false;
    out.assign(line.substr(pos, end - pos));
    pos = end;
    return true;
}

bool ScanComma(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != ',') return false;
    ++pos;
    return true;
}

// Scans "%[^,],%[^,],%lf,%d" into the row; fields that do not scan keep
// what the row held (the mode carries over from the previous line).
void ScanEntry(std::string_view line, AA_LAYERPOV& row) {
    std::size_t pos = 0;
    if (!ScanField(line, pos, row.layer) || !ScanComma(line, pos)) return;
    // An empty texture is a layer without a material yet, as the writer
    // writes it ("NEWB,,0.000000,0"): its scale and mode are still read.
    if (pos < line.size() && line[pos] == ',')
        row.texture.clear();
    else if (!ScanField(line, pos, row.texture))
        return;
    if (!ScanComma(line, pos)) return;
    std::size_t used = 0;
    auto scale = host::parseDoublePrefix(line.substr(pos), &used);
    if (!scale) return;
    row.scale = *scale;
    pos += used;
    if (!ScanComma(line, pos)) return;
    auto mode = host::parseIntegerPrefix(line.substr(pos));
    if (!mode) return;
    row.integer = static_cast<int>(std::clamp<long long>(*mode, INT_MIN, INT_MAX));
}

std::string FirstField(std::string_view text) {
    return std::string(text.substr(0, text.find(',')));
}

// The first of the first `count` rows that has this layer.
AA_LAYERPOV* FindLayer(AAR_LAYERPOV& rows, const std::string& layer, std::size_t count) {
    for (std::size_t i = 0; i < count && i < rows.size(); ++i)
        if (zcutEqualsNoCase(rows[i].layer, layer)) return &rows[i];
    return nullptr;
}

bool ReadRowDwg(SettingsDwgReader& r, AA_LAYERPOV& row) {
    short integer = 0;
    if (!r.readText(row.group) || !r.readText(row.layer) || !r.readText(row.texture) ||
        !r.readReal(row.scale) || !r.readInt16(integer))
        return false;
    row.integer = integer;
    return true;
}

bool ReadRowDxf(SettingsDxfReader& r, AA_LAYERPOV& row) {
    short integer = 0;
    if (!ReadDxfText(r, 300, row.group) || !ReadDxfText(r, 300, row.layer) ||
        !ReadDxfText(r, 300, row.texture) || !ReadDxfReal(r, 140, row.scale) ||
        !ReadDxfShort(r, 170, integer))
        return false;
    row.integer = integer;
    return true;
}

// What is wrong with one line of a render table (see LayerPovFault).
std::optional<std::string> LineFault(std::string_view line, std::size_t povField) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with("**"))
        return std::nullopt;
    const std::vector<std::string_view> fields = CommaFields(line);
    auto whole = [](std::string_view field, bool integer) {
        std::size_t used = 0;
        const bool read = integer ? host::parseIntegerPrefix(field, &used).has_value()
                                  : host::parseDoublePrefix(field, &used).has_value();
        return read && field.find_first_not_of(" \t", used) == std::string_view::npos;
    };
    // (A layer may have no material yet; a material must have its text.)
    const bool noMaterial = povField == 1 && fields.size() > 2 && fields[1].empty();
    if (fields.size() < 2 || fields[0].empty() || (fields[1].empty() && !noMaterial))
        return "wiersz nie ma postaci WARSTWA,TEKSTURA,SKALA,TRYB";
    if (!noMaterial && !IsPovIdentifier(fields[povField]))
        return "„" + std::string(fields[povField]) +
               "” nie jest nazwą tekstury (tylko litery, cyfry i _, bez cyfry na początku)";
    if (fields.size() > 2 && !whole(fields[2], false)) return "skala tekstury nie jest liczbą";
    if (fields.size() > 2) {
        const double scale = *host::parseDoublePrefix(fields[2]);
        if (!NumberInRange(scale) || scale < 0.0) return "skala tekstury poza zakresem od 0 do 1e10";
    }
    if (fields.size() > 3 && !whole(fields[3], true)) return "tryb tekstury nie jest liczbą całkowitą";
    if (fields.size() > 3) {
        const long long mode = *host::parseIntegerPrefix(fields[3]);
        if (mode < 0 || mode > 2) return "tryb tekstury nie jest 0, 1 ani 2";
    }
    if (fields.size() > 4) return "za dużo pól w wierszu";
    return std::nullopt;
}

// The layer rows of the first `end` lines whose key (letter case ignored)
// an earlier row has: the first row of a key is the one a layer gets, so a
// later one would be a material nobody sees. `layers` is set when a layer
// row was met. Headings may come in any order: a row's group is the last
// heading above it, none for the rows above every heading.
std::vector<SupportFault> DoubledKeys(const std::vector<std::string>& lines, std::size_t end, bool& layers) {
    std::vector<SupportFault> doubled;
    std::map<std::string, std::size_t> keys;  // upper-case key, its first line
    for (std::size_t i = 0; i < end && i < lines.size(); ++i) {
        std::string_view line(lines[i]);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with("**")) continue;
        const std::string key = host::toUpper(FirstField(line));
        if (const auto [at, added] = keys.emplace(key, i + 1); !added)
            doubled.push_back(SupportFault{i + 1, "warstwa " + FirstField(line) + " powtórzona (wiersz " +
                                                      std::to_string(at->second) + ")"});
    }
    layers = !keys.empty();
    return doubled;
}

}  // namespace

AAR_LAYERPOV ParseLayerPovLines(const std::vector<std::string>& lines) {
    AAR_LAYERPOV table;
    std::string groupName, groupPath;
    int mode = 0;
    for (const std::string& line : lines) {
        // Carriage returns left at a line's end are not part of its last
        // field (the check passes them by): a texture kept with them would
        // put them into every scene.
        std::string_view text(line);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
        // A line of blanks is an empty line, not a layer named by its blanks.
        if (text.find_first_not_of(" \t") == std::string_view::npos) text = {};
        bool heading = text.starts_with("**");
        if (text.starts_with("***")) {
            groupPath = groupName + "%" + FirstField(text.substr(3));
        } else if (heading) {
            groupName = FirstField(text.substr(2));
            groupPath = groupName;
        }
        AA_LAYERPOV row;
        row.integer = mode;
        ScanEntry(text, row);
        mode = row.integer;
        if (!heading) row.group = groupPath;
        table.push_back(std::move(row));
    }
    return table;
}

bool IsPovIdentifier(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

bool ReadLayerPovFile(const std::string& path, AAR_LAYERPOV& table) {
    table.clear();
    bool notText = false;
    std::optional<host::TextFile> file = ReadSupportText(path, &notText);
    if (!file) {
        // (A file that is not text has been named already.)
        if (!notText) ReportSupportFault(path, SupportFault{0, "nie można odczytać pliku"});
        return false;
    }
    // A line that does not scan gives no row, and is named: as a row it
    // would give a layer another texture or scale unseen, and a texture
    // that is not a name would put its text into every scene. Blanked, it
    // keeps the other lines' numbers and leaves the mode carried over.
    std::vector<std::size_t> skipped;
    for (std::size_t i = 0; i < file->lines.size(); ++i) {
        std::optional<std::string> what = LineFault(file->lines[i], 1);
        if (!what && file->rawLines.contains(i)) what = "wiersz zawiera bajty spoza kodowania UTF-8";
        if (!what) continue;
        ReportSupportFault(path, SupportFault{i + 1, *what});
        file->lines[i].clear();
        skipped.push_back(i);
    }
    // A key again is named and left out as well: the first row of a key is
    // the one a layer gets.
    bool layers = false;
    for (SupportFault doubled : DoubledKeys(file->lines, file->lines.size(), layers)) {
        doubled.what += "; pominięta";
        ReportSupportFault(path, doubled);
        file->lines[doubled.line - 1].clear();
        skipped.push_back(doubled.line - 1);
    }
    std::sort(skipped.begin(), skipped.end());
    table = ParseLayerPovLines(file->lines);
    for (auto at = skipped.rbegin(); at != skipped.rend(); ++at)
        table.erase(table.begin() + static_cast<std::ptrdiff_t>(*at));
    return true;
}

std::optional<SupportFault> LayerPovFault(const std::vector<std::string>& lines, std::size_t povField) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (std::optional<std::string> what = LineFault(lines[i], povField))
            return SupportFault{i + 1, *what};
    return std::nullopt;
}

std::optional<SupportFault> LayerPovFileFault(const host::TextFile& file) {
    std::optional<SupportFault> fault = LayerPovFault(file.lines, 1);
    if (std::optional<SupportFault> encoding = EncodingFault(file);
        encoding && (!fault || encoding->line <= fault->line))
        fault = encoding;
    bool layers = false;
    const std::size_t end = fault ? fault->line - 1 : file.lines.size();
    if (std::vector<SupportFault> doubled = DoubledKeys(file.lines, end, layers); !doubled.empty())
        return doubled.front();
    // A file without one layer row would leave every layer without its
    // material: it is taken for a file emptied or cut short.
    if (!fault && !layers)
        fault = SupportFault{file.lines.size() + (file.lines.empty() ? 1 : 0), kLayerPovAssignsNothing};
    return fault;
}

std::vector<std::string> FormatLayerPovLines(const AAR_LAYERPOV& table) {
    std::vector<std::string> lines;
    lines.reserve(table.size());
    for (const AA_LAYERPOV& row : table) {
        if (row.layer.starts_with("**"))
            lines.push_back(row.layer + ",");
        else
            lines.push_back(row.layer + "," + row.texture + "," + host::formatFixed(row.scale, 6) + "," +
                            std::to_string(row.integer));
    }
    return lines;
}

AAR_LAYERPOV LoadLayerPovCatalogue() {
    AAR_LAYERPOV rows;
    const std::optional<std::string> path = FindSupportFile("LAYERPOV.DEF");
    if (path && !ReadLayerPovFile(*path, rows)) rows.clear();
    return rows;
}

namespace {

// The group path each row sits in or, for a heading, opens ("G" for
// "**G", "G%S" for "***S" under it), as the reader makes them.
std::vector<std::string> RowPaths(const AAR_LAYERPOV& rows) {
    std::vector<std::string> paths;
    std::string groupName;
    for (const AA_LAYERPOV& row : rows) {
        if (row.layer.starts_with("***")) {
            paths.push_back(groupName + "%" + row.layer.substr(3));
        } else if (row.layer.starts_with("**")) {
            groupName = row.layer.substr(2);
            paths.push_back(groupName);
        } else {
            paths.push_back(row.group);
        }
    }
    return paths;
}

bool IsHeadingRow(const AA_LAYERPOV& row) {
    return row.layer.starts_with("**");
}

}  // namespace

void VELM_MATPOV::MergeStoredRows(AAR_LAYERPOV catalogue, const std::vector<AA_LAYERPOV>& stored,
                                  std::string& outOfRange) {
    rows = std::move(catalogue);
    const std::size_t fromCatalogue = rows.size();
    // Headings are matched by the path they open, not by their text: one
    // sub-group name ("***Model 3D") heads a sub-group in several groups,
    // and each of the drawing's must stay where it is.
    std::vector<std::string> paths = RowPaths(rows);
    const std::vector<std::string> storedPaths = RowPaths(stored);
    std::vector<bool> taken(fromCatalogue, false);
    std::vector<std::pair<std::size_t, AA_LAYERPOV>> others;  // the stored rows the catalogue lacks
    for (std::size_t k = 0; k < stored.size(); ++k) {
        AA_LAYERPOV row = stored[k];
        std::size_t at = 0;
        if (IsHeadingRow(row)) {
            while (at < fromCatalogue &&
                   (taken[at] || !IsHeadingRow(rows[at]) || !zcutEqualsNoCase(paths[at], storedPaths[k])))
                ++at;
            if (at < fromCatalogue) taken[at] = true;
        } else {
            ScaleInRange(row, fromCatalogue, outOfRange);
            const AA_LAYERPOV* known = FindLayer(rows, row.layer, fromCatalogue);
            at = known ? static_cast<std::size_t>(known - rows.data()) : fromCatalogue;
        }
        if (at == fromCatalogue) {
            others.emplace_back(k, std::move(row));
            continue;
        }
        // (The row stays where the catalogue has it, and so does its path
        // for the rows placed below.)
        rows[at] = std::move(row);
    }
    // A row the catalogue lacks goes to the end of its group (a sub-group
    // to the end of its group's rows), so that the table written out puts
    // it back under its heading; a group the catalogue lacks, and what has
    // no place, goes last. Stored rows keep their order.
    for (const auto& [k, row] : others) {
        const std::string& path = storedPaths[k];
        const bool sub = row.layer.starts_with("***"), group = !sub && IsHeadingRow(row);
        const std::string groupName = path.substr(0, path.find('%'));
        std::size_t at = rows.size();
        for (std::size_t i = rows.size(); !group && i-- > 0;) {
            const bool inGroup = sub ? zcutEqualsNoCase(paths[i].substr(0, paths[i].find('%')), groupName)
                                     : zcutEqualsNoCase(paths[i], path);
            if (inGroup) {
                at = i + 1;
                break;
            }
        }
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), row);
        paths.insert(paths.begin() + static_cast<std::ptrdiff_t>(at), path);
    }
}

void VELM_MATPOV::ScaleInRange(AA_LAYERPOV& stored, std::size_t fromCatalogue, std::string& outOfRange) {
    // A texture scale out of range takes the catalogue's for that layer (1
    // when the catalogue has none) and is named once for the record.
    if (NumberInRange(stored.scale)) return;
    const AA_LAYERPOV* known = FindLayer(rows, stored.layer, fromCatalogue);
    stored.scale = known && NumberInRange(known->scale) ? known->scale : 1.0;
    if (!outOfRange.empty()) outOfRange += ", ";
    outOfRange += stored.layer + " skala";
}

FilingStatus VELM_MATPOV::fileOutDwg(SettingsDwgWriter& w) const {
    w.writeInt16(kFilingVersion);
    w.writeInt16(static_cast<short>(rows.size()));
    for (const AA_LAYERPOV& row : rows) {
        w.writeText(row.group);
        w.writeText(row.layer);
        w.writeText(row.texture);
        w.writeReal(row.scale);
        w.writeInt16(static_cast<short>(row.integer));
    }
    return FilingStatus::kOk;
}

FilingStatus VELM_MATPOV::fileInDwg(SettingsDwgReader& r) {
    Reset(LoadLayerPovCatalogue());
    short version = 0;
    int count = 0;
    if (!r.readInt16(version) || !ReadDwgCount(r, count)) return FilingStatus::kReadFailed;
    std::vector<AA_LAYERPOV> stored;
    for (int i = 0; i < count; ++i) {
        AA_LAYERPOV row;
        if (!ReadRowDwg(r, row)) return FilingStatus::kReadFailed;
        stored.push_back(std::move(row));
    }
    std::string outOfRange;
    MergeStoredRows(std::move(rows), stored, outOfRange);
    if (!outOfRange.empty()) ReportSettingsOutOfRange(kClassName, outOfRange);
    return FilingStatus::kOk;
}

FilingStatus VELM_MATPOV::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    w.writeItem({170, static_cast<short>(rows.size())});
    for (const AA_LAYERPOV& row : rows) {
        w.writeItem({300, row.group});
        w.writeItem({300, row.layer});
        w.writeItem({300, row.texture});
        w.writeItem({140, row.scale});
        w.writeItem({170, static_cast<short>(row.integer)});
    }
    return FilingStatus::kOk;
}

FilingStatus VELM_MATPOV::fileInDxf(SettingsDxfReader& r) {
    Reset(LoadLayerPovCatalogue());
    if (!r.atSubclassData(kClassName)) return FilingStatus::kOk;
    short count = 0;
    if (!ReadDxfShort(r, 170, count)) return FilingStatus::kOk;
    std::vector<AA_LAYERPOV> stored;
    for (int i = 0; i < count; ++i) {
        AA_LAYERPOV row;
        // A row cut short is not merged: half a row would overwrite a
        // catalogue row with empty fields.
        if (!ReadRowDxf(r, row)) break;
        stored.push_back(std::move(row));
    }
    std::string outOfRange;
    MergeStoredRows(std::move(rows), stored, outOfRange);
    if (!outOfRange.empty()) ReportSettingsOutOfRange(kClassName, outOfRange);
    return FilingStatus::kOk;
}

VELM_MATPOV* OpenMatPovObject() {
    return OpenSettingForWrite<VELM_MATPOV>([](VELM_MATPOV& o) { o.Reset(LoadLayerPovCatalogue()); });
}

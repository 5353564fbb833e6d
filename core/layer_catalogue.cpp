// Layer catalogue reader and writer, and the layer service.
//
// Reading: group and subgroup lines set the group path of the rows below
// them and are rows themselves; every line is split on commas. Writing
// reads the existing file to learn its encoding and line ends and writes
// nothing when the file holds the table already; otherwise it replaces its
// rows, keeping its blank lines. The layer service asks the host's "_-LAYER" command to
// make a missing layer, with regeneration and command echo off meanwhile.
#include "core/layer_catalogue.h"

#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#include "core/host_services.h"
#include "core/level_layers.h"
#include "core/level_settings.h"
#include "core/support_files.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/util/nocase.h"
#include "host/win/kept_files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool IsBlankLine(std::string_view line);
bool WholeNumberField(std::string_view field, long long low, long long high);
std::vector<std::string_view> SplitFields(std::string_view line);
AA_LAYERC ParseRow(std::string_view line);
std::string FormatRow(const AA_LAYERC& row);
bool LayerExists(const std::string& name);
void MakeLayer(const std::string& name, const std::string& linetype, int color, int lineWeight, bool off);

}  // namespace

void SplitAtPercent(const std::string& path, std::string& group, std::string& subGroup) {
    std::size_t at = path.find('%');
    if (at == std::string::npos) {
        group = path;
        subGroup.clear();
        return;
    }
    group = path.substr(0, at);
    subGroup = path.substr(at + 1);
}

int AAR_LAYERC::ReadLayerDefFile(const std::string& fileName) {
    int found = 0;
    std::shared_ptr<const AAR_LAYERC> shared = SharedLayerDefFile(fileName, &found);
    static_cast<std::vector<AA_LAYERC>&>(*this) = *shared;
    keys_ = KeyIndex();
    return found;
}

std::shared_ptr<const AAR_LAYERC> SharedLayerDefFile(const std::string& fileName, int* found) {
    if (found) *found = 0;
    std::optional<std::string> path = FindSupportFile(fileName);
    if (!path) return std::make_shared<const AAR_LAYERC>();
    // Labelling a floor reads the catalogue for every label: a sound
    // catalogue is parsed once and kept while the file stays as it was, and
    // a reader that only looks at it shares the kept table, not a copy.
    constexpr std::string_view kKept = "layer catalogue";
    if (auto kept = std::static_pointer_cast<const AAR_LAYERC>(host::keptFileValue(*path, kKept))) {
        if (found) *found = 1;
        return kept;
    }
    bool notText = false;
    std::shared_ptr<const host::TextFile> file = SharedSupportText(*path, &notText);
    if (notText) return std::make_shared<const AAR_LAYERC>();
    if (found) *found = 1;
    if (!file) return std::make_shared<const AAR_LAYERC>();
    // A damaged catalogue would give layers the wrong colour or weight
    // without a word: it is named and taken as missing.
    if (std::optional<SupportFault> fault = LayerDefFault(file->lines)) {
        ReportSupportFault(*path, *fault);
        if (found) *found = 0;
        return std::make_shared<const AAR_LAYERC>();
    }
    auto parsed = std::make_shared<AAR_LAYERC>();
    parsed->ParseLayerDefLines(file->lines);
    parsed->IndexKeys();
    std::shared_ptr<const AAR_LAYERC> shared = std::move(parsed);
    host::keepFileValue(*path, kKept, shared);
    return shared;
}

bool AAR_LAYERC::WriteLayerDefFile(const std::string& fileName) const {
    std::optional<std::string> path = FindSupportFile(fileName);
    return path && WriteLayerDefPath(*path);
}

bool AAR_LAYERC::ReadLayerDefPath(const std::string& path) {
    clear();
    std::optional<host::TextFile> file = host::readTextFile(path);
    if (!file) return false;
    ParseLayerDefLines(file->lines);
    return true;
}

bool AAR_LAYERC::WriteLayerDefPath(const std::string& path) const {
    // A table that is the one the file holds writes nothing; any other
    // replaces the file in its encoding and line ends. Blank lines are not
    // the table's and stay where they were; a row whose text the table
    // leaves as it is keeps its line as written.
    SupportFileRead read{path, host::readTextFile(path).value_or(host::TextFile{}), std::nullopt};
    read.fault = LayerDefFault(read.file.lines);
    const std::vector<std::string> rows = FormatLayerDefLines();
    AAR_LAYERC held;
    held.ParseLayerDefLines(read.file.lines);
    if (held.FormatLayerDefLines() == rows) return true;
    std::vector<std::string> lines;
    std::size_t row = 0;
    for (const std::string& line : read.file.lines) {
        if (IsBlankLine(line)) {
            lines.push_back(line);
            continue;
        }
        if (row < rows.size()) {
            const bool unchanged = row < held.size() && FormatRow(held[row]) == rows[row];
            lines.push_back(unchanged ? line : rows[row]);
        }
        ++row;
    }
    for (; row < rows.size(); ++row) lines.push_back(rows[row]);
    read.file.finalLineEnd = true;
    constexpr KeyedRows kRows{&LayerDefRowKey};
    const SupportWrite done = WriteSupportLines(read, lines, &kRows);
    return done == SupportWrite::Written || done == SupportWrite::Unchanged;
}

std::optional<std::string> LayerDefRowKey(std::string_view line) {
    if (IsBlankLine(line) || StartsWithNoCase(line, "**")) return std::nullopt;
    return host::toUpper(line.substr(0, line.find(',')));
}

std::optional<SupportFault> LayerDefFault(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (IsBlankLine(line) || StartsWithNoCase(line, "**")) continue;
        const std::vector<std::string_view> f = SplitFields(line);
        if (f[0].find_first_not_of(" \t") == std::string_view::npos)
            return SupportFault{i + 1, "wiersz warstwy bez klucza"};
        if (f.size() > 2 && !WholeNumberField(f[2], 0, 256))
            return SupportFault{i + 1, "kolor warstwy nie jest liczbą od 0 do 256"};
        if (f.size() > 5 && !WholeNumberField(f[5], -3, 211))
            return SupportFault{i + 1, "grubość linii nie jest liczbą od -3 do 211"};
        if (f.size() > 6) return SupportFault{i + 1, "za dużo pól w wierszu warstwy"};
    }
    return std::nullopt;
}

void AAR_LAYERC::ParseLayerDefLines(const std::vector<std::string>& lines) {
    clear();
    keys_ = KeyIndex();
    std::string groupPath;
    std::string lastGroup;
    for (const std::string& raw : lines) {
        std::string_view line = raw;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        const bool subgroup = StartsWithNoCase(line, "***");
        const bool group = !subgroup && StartsWithNoCase(line, "**");
        if (subgroup) {
            std::string_view name = line.substr(3);
            groupPath = lastGroup + "%" + std::string(name.substr(0, name.find(',')));
        } else if (group) {
            std::string_view name = line.substr(2);
            lastGroup = std::string(name.substr(0, name.find(',')));
            groupPath = lastGroup;
        }
        AA_LAYERC row = ParseRow(line);
        row.groupPath = (subgroup || group) ? std::string() : groupPath;
        push_back(std::move(row));
    }
}

std::vector<std::string> AAR_LAYERC::FormatLayerDefLines() const {
    std::vector<std::string> lines;
    lines.reserve(size());
    for (const AA_LAYERC& row : *this) lines.push_back(FormatRow(row));
    return lines;
}

namespace {

bool AllAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string AsciiCapitals(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return text;
}

}  // namespace

void AAR_LAYERC::IndexKeys() {
    keys_ = KeyIndex();
    keys_.ascii.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) {
        const std::string& key = (*this)[i].key;
        if (AllAscii(key))
            keys_.ascii.emplace(AsciiCapitals(key), i);  // the first row of a key stays
        else
            keys_.others.push_back(i);
    }
    keys_.rowsAt = data();
    keys_.rows = size();
}

const AA_LAYERC* AAR_LAYERC::FindKey(const std::string& key) const {
    // Two ASCII keys are equal without regard to case only when their
    // capitals are; a key with other letters is compared in full.
    if (keys_.rowsAt && keys_.rowsAt == data() && keys_.rows == size() && AllAscii(key)) {
        const auto at = keys_.ascii.find(AsciiCapitals(key));
        const std::size_t first = at == keys_.ascii.end() ? size() : at->second;
        for (const std::size_t i : keys_.others) {
            if (i > first) break;
            if (zcutEqualsNoCase((*this)[i].key, key)) return &(*this)[i];
        }
        return first < size() ? &(*this)[first] : nullptr;
    }
    // Two ASCII first letters that differ in more than case tell the keys
    // apart without the full comparison: most rows are passed over so.
    const auto folded = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    const unsigned char first = key.empty() ? 0 : static_cast<unsigned char>(key[0]);
    for (const AA_LAYERC& row : *this) {
        const unsigned char other = row.key.empty() ? 0 : static_cast<unsigned char>(row.key[0]);
        if (first && other && first < 0x80 && other < 0x80 && folded(first) != folded(other)) continue;
        if (zcutEqualsNoCase(row.key, key)) return &row;
    }
    return nullptr;
}

void EnsureLayer(std::string& name, const AAR_LAYERC& table, bool useLevel, double level, bool viewMode,
                 LayerAttrEntry* deferred) {
    int color = 7;
    std::string linetype = "Continuous";
    int lineWeight = -3;
    if (const AA_LAYERC* row = table.FindKey(name)) {
        // A row without a layer name leaves the key as the layer's name.
        if (!row->layerName.empty()) name = row->layerName;
        if (!row->linetype.empty()) linetype = row->linetype;
        // A layer has a real colour: a row without one (256) or with an
        // index out of range keeps the default.
        if (row->color >= 1 && row->color <= 255) color = row->color;
        lineWeight = row->lineWeight;
    }
    if (useLevel && !LevelsSwitchedOff()) MakeLevelLayerName(name, level);
    if (name.size() > kMaxLayerName || linetype.size() > kMaxLayerName) {
        zcutPrintf("\nNazwa warstwy jest za długa (najwyżej %zu znaków): %s", kMaxLayerName, name.c_str());
        return;
    }
    if (LayerExists(name)) {
        if (deferred) deferred->createdLater = 0;
        return;
    }
    bool off = false;
    if (viewMode) {
        const int readOnly = -1;
        if (SysVarShort("TILEMODE", &readOnly) != 0) off = ViewModeHidesLayer(name, CurrentViewMode());
    }
    if (deferred) {
        deferred->createdLater = 1;
        deferred->layerName = name;
        deferred->linetype = linetype;
        deferred->lineWeight = static_cast<std::int16_t>(lineWeight);
        deferred->colorIndex = color;
        deferred->off = off ? 1 : 0;
        return;
    }
    MakeLayer(name, linetype, color, lineWeight, off);
}

bool ViewModeHidesLayer(const std::string& name, int viewMode) {
    if (viewMode == kViewMode2D) return StartsWithNoCase(name, "3D") || StartsWithNoCase(name, "VELM3D");
    if (viewMode == kViewMode3D) return StartsWithNoCase(name, "2D") || StartsWithNoCase(name, "VELM2D");
    return false;
}

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && zcutEqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// An empty field keeps its default; one with text must be a whole number.
bool WholeNumberField(std::string_view field, long long low, long long high) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    if (field.empty()) return true;
    std::size_t used = 0;
    std::optional<long long> v = host::parseIntegerPrefix(field, &used);
    return v && used == field.size() && *v >= low && *v <= high;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = line.find(',', start);
        fields.push_back(
            line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return fields;
}

// A field that is empty or not a number keeps the default.
template <class Int>
void ParseIntField(std::string_view field, Int& out) {
    std::optional<long long> v = host::parseIntegerPrefix(field);
    if (v && *v >= std::numeric_limits<Int>::min() && *v <= std::numeric_limits<Int>::max())
        out = static_cast<Int>(*v);
}

AA_LAYERC ParseRow(std::string_view line) {
    AA_LAYERC row;
    row.color = 256;
    row.spare.clear();
    std::vector<std::string_view> f = SplitFields(line);
    row.key = std::string(f[0]);
    if (f.size() > 1) row.layerName = std::string(f[1]);
    if (f.size() > 2) ParseIntField(f[2], row.color);
    if (f.size() > 3) row.spare = std::string(f[3]);
    if (f.size() > 4 && !f[4].empty()) row.linetype = std::string(f[4]);
    if (f.size() > 5) ParseIntField(f[5], row.lineWeight);
    return row;
}

std::string FormatRow(const AA_LAYERC& row) {
    if (StartsWithNoCase(row.key, "**")) return row.key + ",";
    return row.key + "," + row.layerName + "," + std::to_string(row.color) + "," + row.spare + "," +
           row.linetype + "," + std::to_string(row.lineWeight);
}

bool LayerExists(const std::string& name) {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return false;
    ZcDbObjectPointer<ZcDbLayerTable> layers(db->layerTableId(), ZcDb::kForRead);
    return layers && layers->has(name);
}

void MakeLayer(const std::string& name, const std::string& linetype, int color, int lineWeight, bool off) {
    const char* n = name.c_str();
    const host::ResbufList script(zcutBuildList(RTSTR, "_-LAYER", RTSTR, "_N", RTSTR, n, RTSTR, "_L", RTSTR,
                                                linetype.c_str(), RTSTR, n, 0));
    resbuf* tail = script.get();
    auto append = [&tail](resbuf* more) {
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = more;
    };
    if (lineWeight >= 0) append(zcutBuildList(RTSTR, "_LW", RTREAL, lineWeight * 0.01, RTSTR, n, 0));
    append(zcutBuildList(RTSTR, "_C", RTSHORT, color, RTSTR, n, 0));
    if (off) append(zcutBuildList(RTSTR, "_OFF", RTSTR, n, 0));
    append(zcutBuildList(RTSTR, "", 0));

    const int quiet = 0;
    const int regenMode = SysVarShort("REGENMODE", &quiet);
    const int cmdEcho = SysVarShort("CMDECHO", &quiet);
    zcedCmd(script.get());
    SysVarShort("CMDECHO", &cmdEcho);
    SysVarShort("REGENMODE", &regenMode);
}

}  // namespace

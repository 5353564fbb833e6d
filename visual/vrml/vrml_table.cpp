// The VRML material table: reader and writer of "LAYERVRML.DEF".
#include "visual/vrml/vrml_table.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "core/support_files.h"
#include "host/db/dbcolor.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

constexpr const char* kTableFile = "LAYERVRML.DEF";

// A whole number within [low, high], blanks around it allowed.
bool WholeIn(std::string_view field, long long low, long long high) {
    std::size_t used = 0;
    const std::optional<long long> value = host::parseIntegerPrefix(field, &used);
    return value && *value >= low && *value <= high &&
           field.find_first_not_of(" \t", used) == std::string_view::npos;
}

// Rows are keyed by their layer, as the export finds a layer's row (case
// ignored); group lines and blank lines are no rows.
constexpr KeyedRows kRows{[](std::string_view line) -> std::optional<std::string> {
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with("**"))
        return std::nullopt;
    return host::toUpper(line.substr(0, line.find(',')));
}};

// The file as read, with its first fault: a file found but not text is not
// read whole.
SupportFileRead ReadTable(const std::string& path) {
    SupportFileRead read{path, {}, std::nullopt};
    bool notText = false;
    if (std::optional<host::TextFile> file = ReadSupportText(path, &notText)) {
        read.file = std::move(*file);
        read.fault = LayerVrmlFault(read.file);
    } else if (notText) {
        read.fault = SupportFault{1, "plik nie jest plikiem tekstowym"};
    }
    return read;
}

}  // namespace

std::optional<SupportFault> LayerVrmlFault(const host::TextFile& file) {
    std::optional<SupportFault> fault = EncodingFault(file);
    for (std::size_t i = 0; i < file.lines.size() && (!fault || i + 1 < fault->line); ++i) {
        const std::string_view line = file.lines[i];
        if (line.starts_with("**") || line.find_first_not_of(" \t") == std::string_view::npos) continue;
        const std::vector<std::string_view> fields = CommaFields(line);
        const char* what = nullptr;
        if (fields.size() != 5 || fields[0].empty())
            what = "wiersz nie ma postaci WARSTWA,OTOCZENIE,POŁYSK,PRZEŹROCZYSTOŚĆ,KOLOR";
        else if (!WholeIn(fields[1], 0, 10) || !WholeIn(fields[2], 0, 10) || !WholeIn(fields[3], 0, 10))
            what = "otoczenie, połysk i przeźroczystość muszą być liczbami całkowitymi od 0 do 10";
        else if (!WholeIn(fields[4], 0, 4294967295LL))
            what = "kolor nie jest liczbą całkowitą od 0 do 4294967295";
        if (what) fault = SupportFault{i + 1, what};
    }
    return fault;
}

AA_LAYERVRML ParseLayerVrmlLine(const std::string& line) {
    AA_LAYERVRML row;
    row.layer = line.substr(0, line.find(','));
    if (row.layer.empty()) return row;  // nothing before the comma: no field reads
    const char* rest = line.c_str() + row.layer.size();
    int ambient = 0, shininess = 0, transparency = 0;
    unsigned long colour = 0;
    if (std::sscanf(rest, ",%d,%d,%d,%lu", &ambient, &shininess, &transparency, &colour) == 4) {
        row.ambient = ambient;
        row.shininess = shininess;
        row.transparency = transparency;
        row.colour = static_cast<std::uint32_t>(colour);
    }
    return row;
}

std::string FormatLayerVrmlLine(const AA_LAYERVRML& row) {
    if (row.IsHeading()) return row.layer + ",";
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, ",%d,%d,%d,%lu", row.ambient, row.shininess, row.transparency,
                  static_cast<unsigned long>(row.colour));
    return row.layer + numbers;
}

bool ReadLayerVrmlDef(AAR_LAYERVRML& rows) {
    rows.clear();
    const std::optional<std::string> path = FindSupportFile(kTableFile);
    if (!path) return false;
    const SupportFileRead read = ReadTable(*path);
    // Read as the rows always were, but not without a word: a damaged line
    // gives its group zeros.
    if (read.fault) ReportSupportFault(*path, *read.fault);
    for (const std::string& line : read.file.lines) rows.push_back(ParseLayerVrmlLine(line));
    return true;
}

bool WriteLayerVrmlDef(const AAR_LAYERVRML& rows) {
    const std::optional<std::string> path = FindSupportFile(kTableFile);
    if (!path) return false;
    const SupportFileRead read = ReadTable(*path);
    // A row as the file has it keeps its line; only edited rows are
    // written anew (the dialog edits rows in place, never adds or drops).
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool kept = i < read.file.lines.size() && ParseLayerVrmlLine(read.file.lines[i]) == rows[i];
        lines.push_back(kept ? read.file.lines[i] : FormatLayerVrmlLine(rows[i]));
    }
    const SupportWrite done = WriteSupportLines(read, lines, &kRows);
    return done == SupportWrite::Written || done == SupportWrite::Unchanged;
}

host::AciRgb VrmlColourRgb(std::uint32_t packed) {
    ZcCmColor colour;
    if (!colour.setColor(packed)) return {};
    if (colour.isByColor()) return {colour.red(), colour.green(), colour.blue()};
    if (colour.isByACI()) return host::aciToRgb(colour.colorIndex()).value_or(host::AciRgb{});
    return {};
}

// The VRML material table: reader and writer of "LAYERVRML.DEF".
#include "visual/vrml/vrml_table.h"

#include <cstdio>
#include <optional>

#include "core/support_files.h"
#include "host/db/dbcolor.h"
#include "host/win/textfile.h"

namespace {

constexpr const char* kTableFile = "LAYERVRML.DEF";

}  // namespace

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
    if (std::optional<host::TextFile> file = ReadSupportText(*path))
        for (const std::string& line : file->lines) rows.push_back(ParseLayerVrmlLine(line));
    return true;
}

bool WriteLayerVrmlDef(const AAR_LAYERVRML& rows) {
    const std::optional<std::string> path = FindSupportFile(kTableFile);
    if (!path) return false;
    SupportFileRead read{*path, {}, std::nullopt};
    if (std::optional<host::TextFile> file = ReadSupportText(*path)) read.file = std::move(*file);
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const AA_LAYERVRML& row : rows) lines.push_back(FormatLayerVrmlLine(row));
    const SupportWrite done = WriteSupportLines(read, lines);
    return done == SupportWrite::Written || done == SupportWrite::Unchanged;
}

host::AciRgb VrmlColourRgb(std::uint32_t packed) {
    ZcCmColor colour;
    if (!colour.setColor(packed)) return {};
    if (colour.isByColor()) return {colour.red(), colour.green(), colour.blue()};
    if (colour.isByACI()) return host::aciToRgb(colour.colorIndex()).value_or(host::AciRgb{});
    return {};
}

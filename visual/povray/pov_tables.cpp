// The render material library and the default layer assignment: both read
// with the one catalogue line reader of the layer materials, the library's
// rows renamed to what they hold.
#include "visual/povray/pov_tables.h"

#include <algorithm>

#include "core/support_files.h"
#include "host/db/dbobjptr.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"
#include "store/open_or_create.h"

AAR_TEXTUREPOV ParseTexturePovLines(const std::vector<std::string>& lines) {
    AAR_TEXTUREPOV table;
    for (const AA_LAYERPOV& row : ParseLayerPovLines(lines)) {
        AA_TEXTUREPOV material{row.group, row.layer, row.texture, row.scale, row.integer};
        if (material.name.starts_with("**")) material.texture = material.name;
        table.push_back(std::move(material));
    }
    return table;
}

bool ReadTexturePovDef(AAR_TEXTUREPOV& table) {
    table.clear();
    const std::optional<std::string> path = FindSupportFile("TEXTUREPOV.DEF");
    if (!path) return false;
    std::optional<host::TextFile> file = ReadSupportText(*path);
    if (!file) return false;
    if (std::optional<SupportFault> fault = LayerPovFault(file->lines, 0)) {
        ReportSupportFault(*path, *fault);
        return false;
    }
    table = ParseTexturePovLines(file->lines);
    return true;
}

bool ReadLayerPovDef(AAR_LAYERPOV& table) {
    table.clear();
    const std::optional<std::string> path = FindSupportFile("LAYERPOV.DEF");
    return path && ReadLayerPovFile(*path, table);
}

bool ReadLayerPovReplacement(AAR_LAYERPOV& table) {
    table.clear();
    const std::optional<std::string> path = FindSupportFile("LAYERPOV.DEF");
    if (!path || !ReadLayerPovFile(*path, table)) return false;
    const bool assigns = std::any_of(table.begin(), table.end(), [](const AA_LAYERPOV& row) {
        return !row.layer.empty() && !row.layer.starts_with("**");
    });
    if (assigns) return true;
    ReportSupportFault(*path, SupportFault{0, std::string(kLayerPovAssignsNothing) +
                                                  "; przypisanie tekstur rysunku pozostaje bez zmian"});
    table.clear();
    return false;
}

bool WriteLayerPovDef(const AAR_LAYERPOV& table) {
    const std::optional<std::string> path = FindSupportFile("LAYERPOV.DEF");
    if (!path) return false;
    SupportFileRead read{*path, {}, std::nullopt};
    bool notText = false;
    if (std::optional<host::TextFile> file = ReadSupportText(*path, &notText)) {
        read.file = std::move(*file);
        read.fault = LayerPovFileFault(read.file);
    } else if (notText) {
        read.fault = SupportFault{1, "plik nie jest plikiem tekstowym"};
    }
    // A row the file already holds, in the same order, keeps its line as
    // written (a scale of "1.0" stays so): an unchanged table writes nothing.
    const AAR_LAYERPOV held = ParseLayerPovLines(read.file.lines);
    const std::vector<std::string> formatted = FormatLayerPovLines(table);
    std::vector<std::string> lines;
    lines.reserve(table.size());
    std::size_t next = 0;
    for (std::size_t k = 0; k < table.size(); ++k) {
        std::size_t at = next;
        while (at < held.size() && !(held[at] == table[k])) ++at;
        if (at < held.size()) {
            lines.push_back(read.file.lines[at]);
            next = at + 1;
        } else {
            lines.push_back(formatted[k]);
        }
    }
    // Rows are keyed as the catalogue's reader keys them: a layer's name in
    // capitals; group lines are no rows.
    constexpr KeyedRows kRows{[](std::string_view line) -> std::optional<std::string> {
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with("**"))
            return std::nullopt;
        return host::toUpper(line.substr(0, line.find(',')));
    }};
    const SupportWrite done = WriteSupportLines(read, lines, &kRows);
    return done == SupportWrite::Written || done == SupportWrite::Unchanged;
}

AAR_LAYERPOV DrawingLayerMaterials() {
    // Looking must not add the settings object: a cancelled dialog or a
    // scene export leaves the drawing as it was.
    ZcDbObjectPointer<VELM_MATPOV> stored(OpenOrCreateSetting<VELM_MATPOV>(
        true, [](VELM_MATPOV& o) { o.Reset(LoadLayerPovCatalogue()); }, false));
    return stored ? stored->rows : LoadLayerPovCatalogue();
}

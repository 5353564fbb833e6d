// The names under which the faces and lines of a view are filed. A layer of
// an attached reference drawing loses the prefix the host gives it; the
// user's rename list "VELMFLU.LST" (one "source,new" pair a line, the later
// line winning) may give it another name; and a 3D wall layer of a level
// ("VELM3D" with a wall layer's name less its first two characters, then
// "$" and the level) is told apart by the value -1, as the later passes
// draw wall sections on it.
#include <optional>
#include <string>

#include "core/entity_data.h"
#include "core/level_settings.h"
#include "core/support_files.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "host/win/textfile.h"
#include "store/settings_store.h"
#include "store/velm_layermuri.h"
#include "visual/views/section_faces.h"

namespace {

// The two fields of one line: the source up to the first comma (blanks
// kept), the new name the first word after it. Nothing for a line without
// both.
std::optional<LayerRename> ParseRenameLine(const std::string& line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos || comma == 0) return std::nullopt;
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    };
    std::size_t from = comma + 1;
    while (from < line.size() && blank(line[from])) ++from;
    std::size_t to = from;
    while (to < line.size() && !blank(line[to])) ++to;
    if (to == from) return std::nullopt;
    LayerRename pair;
    pair.from = line.substr(0, comma);
    pair.to = line.substr(from, to - from);
    return pair;
}

}  // namespace

void CSezione::ReadFluList() {
    const std::optional<std::string> path = FindSupportFile("VELMFLU.LST");
    if (!path) return;
    // Whole lines, however long: a long line cut in two would make a bogus
    // pair of its second half.
    const std::optional<host::TextFile> text = host::readTextFile(*path);
    if (!text) return;
    for (const std::string& line : text->lines) {
        std::optional<LayerRename> pair = ParseRenameLine(line);
        if (!pair) continue;
        auto* node = new LayerRename(std::move(*pair));
        node->next = renames;
        renames = node;
    }
}

int CSezione::ParseLevel3DLayer(std::string& name) {
    if (const std::size_t bar = name.find('|'); bar != std::string::npos) name.erase(0, bar + 1);
    for (const LayerRename* pair = renames; pair; pair = pair->next)
        if (zcutEqualsNoCase(pair->from, name)) {
            name = pair->to;
            return 1;
        }
    double level = 0.0;
    if (!ParseDollarNumber(name, level)) return 1;
    constexpr std::string_view kPrefix = "VELM3D";
    if (name.size() < kPrefix.size() ||
        !zcutEqualsNoCase(std::string_view(name).substr(0, kPrefix.size()), kPrefix))
        return 1;
    std::string base = name.substr(kPrefix.size());
    if (!LevelsSwitchedOff()) base.erase(base.rfind('$'));
    ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject());
    if (!walls) return 1;
    for (const std::string& wall : walls->entries)
        if (wall.size() >= 2 && zcutEqualsNoCase(std::string_view(wall).substr(2), base)) return -1;
    return 1;
}

// Hatch pattern lines: reading a pattern's line families from its file and
// the density check. The count is an upper bound taken over the diagonal of
// the boundary's extent, so it does not depend on the pattern angle: the
// same hatch fails or evaluates the same way however it is turned.
#include "host/db/dbhatchpat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>

#include "host/db/dbhatch.h"
#include "host/util/findfile.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace host {

namespace {

std::string Trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return "";
    std::size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = line.find(',', start);
        out.push_back(Trim(line.substr(start, comma == std::string_view::npos ? line.npos : comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

std::optional<PatternLine> ParseLine(std::string_view text) {
    std::vector<std::string> f = SplitFields(text);
    if (f.size() < 5) return std::nullopt;
    PatternLine line;
    double* fixed[5] = {&line.angle, &line.originX, &line.originY, &line.deltaX, &line.deltaY};
    for (std::size_t i = 0; i < 5; ++i) {
        std::optional<double> v = parseDouble(f[i]);
        if (!v) return std::nullopt;
        *fixed[i] = *v;
    }
    for (std::size_t i = 5; i < f.size(); ++i) {
        std::optional<double> v = parseDouble(f[i]);
        if (!v) return std::nullopt;
        line.dashes.push_back(*v);
    }
    return line;
}

// The loops' extent in the hatch's own plane.
bool LoopExtent(const ZcDbHatch& hatch, double& width, double& height) {
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    auto add = [&](const ZcGePoint2d& p) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    };
    for (int i = 0; i < hatch.numLoops(); ++i) {
        const ZcDbHatch::Loop& loop = hatch.loopAt(i);
        for (const ZcGePoint2d& p : loop.vertices) add(p);
        for (const ZcDbHatch::Edge& e : loop.edges) {
            if (e.type == 1) {
                add(e.start);
                add(e.end);
            } else {
                add({e.center.x - e.radius, e.center.y - e.radius});
                add({e.center.x + e.radius, e.center.y + e.radius});
            }
        }
    }
    if (minX > maxX) return false;
    width = maxX - minX;
    height = maxY - minY;
    return true;
}

}  // namespace

std::optional<std::vector<PatternLine>> parsePatternDefinition(const std::vector<std::string>& lines,
                                                               const std::string& name) {
    bool inside = false;
    std::vector<PatternLine> out;
    for (const std::string& raw : lines) {
        std::string_view text = raw;
        if (std::size_t semi = text.find(';'); semi != std::string_view::npos) text = text.substr(0, semi);
        std::string line = Trim(text);
        if (line.empty()) continue;
        if (line[0] == '*') {
            if (inside) break;
            std::string header = line.substr(1);
            inside = iequals(Trim(header.substr(0, header.find(','))), name);
            continue;
        }
        if (!inside) continue;
        if (std::optional<PatternLine> p = ParseLine(line)) out.push_back(*p);
    }
    if (!inside) return std::nullopt;
    return out;
}

double countPatternLines(const std::vector<PatternLine>& pattern, double scale, double width, double height) {
    double diagonal = std::hypot(width, height);
    double total = 0.0;
    for (const PatternLine& line : pattern) {
        double spacing = std::fabs(line.deltaY * scale);
        if (spacing <= 0.0) return std::numeric_limits<double>::infinity();
        total += std::floor(diagonal / spacing) + 1.0;
    }
    return total;
}

namespace {

// A pattern file's definitions as read, by pattern name (case ignored),
// kept while the file's stamp stays: hatches of one pattern read it once.
struct PatternFile {
    FileStamp stamp;
    std::vector<std::string> lines;
    std::map<std::string, std::optional<std::vector<PatternLine>>> byName;
};

std::map<std::string, PatternFile>& patternFiles() {
    static std::map<std::string, PatternFile> files;
    return files;
}

std::optional<std::vector<PatternLine>> PatternFrom(const std::string& path, const std::string& name) {
    const std::optional<FileStamp> stamp = settledStamp(path);
    if (!stamp) {
        patternFiles().erase(path);
        std::optional<TextFile> text = readTextFile(path);
        if (!text) return std::nullopt;
        return parsePatternDefinition(text->lines, name);
    }
    auto at = patternFiles().find(path);
    if (at == patternFiles().end() || !(at->second.stamp == *stamp)) {
        std::optional<TextFile> text = readTextFile(path);
        if (!text) return std::nullopt;
        at = patternFiles().insert_or_assign(path, PatternFile{*stamp, std::move(text->lines), {}}).first;
    }
    std::string key = name;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto found = at->second.byName.find(key);
    if (found == at->second.byName.end())
        found = at->second.byName.emplace(key, parsePatternDefinition(at->second.lines, name)).first;
    return found->second;
}

}  // namespace

Zcad::ErrorStatus evaluateHatch(const ZcDbHatch& hatch) {
    if (hatch.isSolidFill() || iequals(hatch.patternName(), "SOLID")) return Zcad::eOk;
    std::string file = hatch.patternType() == ZcDbHatch::kCustomDefined ? hatch.patternName() + ".pat"
                                                                        : std::string("zwcadiso.pat");
    std::optional<std::string> path = findOnSupportPath(file);
    if (!path) return Zcad::eOk;
    const std::optional<std::vector<PatternLine>> pattern = PatternFrom(*path, hatch.patternName());
    if (!pattern || pattern->empty()) return Zcad::eOk;
    double width = 0.0, height = 0.0;
    if (!LoopExtent(hatch, width, height)) return Zcad::eOk;
    return countPatternLines(*pattern, hatch.patternScale(), width, height) > kMaxHatchLines
               ? Zcad::eInvalidInput
               : Zcad::eOk;
}

}  // namespace host

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
#include <mutex>

#include "host/db/dbhatch.h"
#include "host/util/findfile.h"
#include "host/util/notes.h"
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

double countPatternDashes(const std::vector<PatternLine>& pattern, double scale, double width,
                          double height) {
    const double diagonal = std::hypot(width, height);
    double total = 0.0;
    for (const PatternLine& line : pattern) {
        if (line.dashes.empty()) continue;
        double period = 0.0;
        for (double d : line.dashes) period += std::fabs(d * scale);
        if (!(period > 0.0)) continue;  // drawn as whole lines
        const double spacing = std::fabs(line.deltaY * scale);
        if (spacing <= 0.0) return std::numeric_limits<double>::infinity();
        const double lines = std::floor(diagonal / spacing) + 1.0;
        total += lines * (std::floor(diagonal / period) + 1.0) * static_cast<double>(line.dashes.size());
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

// The pattern file read whole; what kept it from being read is said on the
// command line (a hatch goes on without its pattern lines).
std::optional<TextFile> ReadPatternFile(const std::string& path) {
    std::string error;
    std::optional<TextFile> text = readTextFile(path, &error);
    if (!text) noteForCommandLine(error.empty() ? "nie można odczytać " + path : error);
    return text;
}

std::optional<std::vector<PatternLine>> PatternFrom(const std::string& path, const std::string& name) {
    const std::optional<FileStamp> stamp = settledStamp(path);
    if (!stamp) {
        patternFiles().erase(path);
        std::optional<TextFile> text = ReadPatternFile(path);
        if (!text) return std::nullopt;
        return parsePatternDefinition(text->lines, name);
    }
    auto at = patternFiles().find(path);
    if (at == patternFiles().end() || !(at->second.stamp == *stamp)) {
        std::optional<TextFile> text = ReadPatternFile(path);
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

// The line families of the hatch's pattern: a custom pattern from NAME.pat,
// a predefined one from the host's "zwcadiso.pat", both on the support
// path. One thread at a time: the drawing's writers ask side by side, and
// the file cache and the support-path search are not theirs to share. A
// custom name that is no plain file name (a folder part, "..") names a file
// outside the support folders: it is refused, naming the hatch.
std::optional<std::vector<PatternLine>> PatternOf(const ZcDbHatch& hatch) {
    static std::mutex lock;
    const std::lock_guard<std::mutex> hold(lock);
    std::string file = hatch.patternType() == ZcDbHatch::kCustomDefined ? hatch.patternName() + ".pat"
                                                                        : std::string("zwcadiso.pat");
    if (!isPlainFileName(file)) {
        const ZcDbObjectId id = hatch.objectId();
        noteForCommandLine((id.isNull() ? std::string("HATCH") : "HATCH " + id.handle().ascii()) +
                           ": nazwa pliku \"" + file + "\" nie może wskazywać folderu; odrzucono.");
        return std::nullopt;
    }
    std::optional<std::string> path = findOnSupportPath(file);
    if (!path) return std::nullopt;
    return PatternFrom(*path, hatch.patternName());
}

}  // namespace

Zcad::ErrorStatus evaluateHatch(const ZcDbHatch& hatch) {
    if (hatch.isSolidFill() || iequals(hatch.patternName(), "SOLID")) return Zcad::eOk;
    const std::optional<std::vector<PatternLine>> pattern = PatternOf(hatch);
    if (!pattern || pattern->empty()) return Zcad::eOk;
    double width = 0.0, height = 0.0;
    if (!LoopExtent(hatch, width, height)) return Zcad::eOk;
    const double scale = hatch.patternScale();
    return countPatternLines(*pattern, scale, width, height) > kMaxHatchLines ||
                   countPatternDashes(*pattern, scale, width, height) > kMaxHatchDashes
               ? Zcad::eInvalidInput
               : Zcad::eOk;
}

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

struct Seg2 {
    ZcGePoint2d a, b;
};

// Chords of an arc from angle a0 counter-clockwise by sweep (negative:
// clockwise), no chord longer than 1/64 of a turn.
void AddArc(std::vector<Seg2>& out, const ZcGePoint2d& c, double r, double a0, double sweep) {
    const int n = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 32.0))));
    ZcGePoint2d prev{c.x + r * std::cos(a0), c.y + r * std::sin(a0)};
    for (int k = 1; k <= n; ++k) {
        const double a = a0 + sweep * k / n;
        const ZcGePoint2d next{c.x + r * std::cos(a), c.y + r * std::sin(a)};
        out.push_back({prev, next});
        prev = next;
    }
}

std::vector<Seg2> BoundaryEdges(const ZcDbHatch& hatch) {
    std::vector<Seg2> out;
    for (int i = 0; i < hatch.numLoops(); ++i) {
        const ZcDbHatch::Loop& loop = hatch.loopAt(i);
        const std::size_t n = loop.vertices.size();
        for (std::size_t k = 0; k < n; ++k) {
            const ZcGePoint2d p = loop.vertices[k], q = loop.vertices[(k + 1) % n];
            const double bulge = k < loop.bulges.size() ? loop.bulges[k] : 0.0;
            const double chord = std::hypot(q.x - p.x, q.y - p.y);
            if (bulge == 0.0 || chord == 0.0) {
                out.push_back({p, q});
                continue;
            }
            // The arc of included angle 4 atan(bulge) over the chord p-q.
            const double sweep = 4.0 * std::atan(bulge);
            const double r = chord / (2.0 * std::sin(std::fabs(sweep) / 2.0));
            const double mx = (p.x + q.x) / 2.0, my = (p.y + q.y) / 2.0;
            const double h = r * std::cos(sweep / 2.0) * (bulge > 0 ? 1.0 : -1.0);
            const ZcGePoint2d c{mx - h * (q.y - p.y) / chord, my + h * (q.x - p.x) / chord};
            AddArc(out, c, r, std::atan2(p.y - c.y, p.x - c.x), sweep);
        }
        for (const ZcDbHatch::Edge& e : loop.edges) {
            if (e.type == 1) {
                out.push_back({e.start, e.end});
                continue;
            }
            double sweep = e.endAngle - e.startAngle;
            while (sweep <= 0.0) sweep += kTwoPi;
            while (sweep > kTwoPi) sweep -= kTwoPi;
            if (e.counterClockwise)
                AddArc(out, e.center, e.radius, e.startAngle, sweep);
            else
                AddArc(out, e.center, e.radius, -e.startAngle, -sweep);
        }
    }
    return out;
}

}  // namespace

std::vector<ZcDbHatch::DefinitionLine> patternDefinitionLines(const ZcDbHatch& hatch) {
    std::vector<ZcDbHatch::DefinitionLine> out;
    if (hatch.isSolidFill() || iequals(hatch.patternName(), "SOLID")) return out;
    std::vector<PatternLine> families;
    if (hatch.patternType() == ZcDbHatch::kUserDefined) {
        families.push_back(PatternLine{0.0, 0.0, 0.0, 0.0, 1.0, {}});
    } else {
        std::optional<std::vector<PatternLine>> pattern = PatternOf(hatch);
        if (!pattern) return out;
        families = std::move(*pattern);
    }
    const double scale = hatch.patternScale();
    for (int pass = 0; pass < (hatch.patternDouble() ? 2 : 1); ++pass) {
        const double turn = hatch.patternAngle() + pass * kPi / 2.0;
        const double c = std::cos(turn), s = std::sin(turn);
        for (const PatternLine& family : families) {
            ZcDbHatch::DefinitionLine line;
            const double own = family.angle * kPi / 180.0;
            line.angle = own + turn;
            line.base = {(family.originX * c - family.originY * s) * scale,
                         (family.originX * s + family.originY * c) * scale};
            // Along and across the family's lines, into the hatch's plane.
            const double dx = std::cos(line.angle), dy = std::sin(line.angle);
            line.offset = {(family.deltaX * dx - family.deltaY * dy) * scale,
                           (family.deltaX * dy + family.deltaY * dx) * scale};
            for (double dash : family.dashes) line.dashes.push_back(dash * scale);
            out.push_back(std::move(line));
        }
    }
    return out;
}

bool hatchPatternLines(const ZcDbHatch& hatch, std::vector<std::pair<ZcGePoint2d, ZcGePoint2d>>& lines) {
    lines.clear();
    if (hatch.isSolidFill() || iequals(hatch.patternName(), "SOLID")) return false;
    if (evaluateHatch(hatch) != Zcad::eOk) return false;
    const std::optional<std::vector<PatternLine>> pattern = PatternOf(hatch);
    if (!pattern || pattern->empty()) return false;
    const std::vector<Seg2> edges = BoundaryEdges(hatch);
    if (edges.empty()) return false;
    const double scale = hatch.patternScale();
    const double turn = hatch.patternAngle();
    // Every dash and gap stepped over, whether drawn or not: the evaluation
    // bounds them by the extent's diagonal (each piece of a line may start a
    // period early, hence twice that here), and this bounds the walk too
    // where a line's origin lies so far off that a step no longer moves it.
    double steps = 0.0;
    for (const PatternLine& family : *pattern) {
        const double theta = family.angle * kPi / 180.0 + turn;
        const double dx = std::cos(theta), dy = std::sin(theta);
        const double nx = -dy, ny = dx;
        const double ox = (family.originX * std::cos(turn) - family.originY * std::sin(turn)) * scale;
        const double oy = (family.originX * std::sin(turn) + family.originY * std::cos(turn)) * scale;
        // Offset between neighbours: across the lines and along them.
        const double across = family.deltaY * scale, along = family.deltaX * scale;
        if (std::fabs(across) <= 0.0) return false;
        double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
        for (const Seg2& e : edges)
            for (const ZcGePoint2d& p : {e.a, e.b}) {
                const double h = (p.x - ox) * nx + (p.y - oy) * ny;
                lo = std::min(lo, h);
                hi = std::max(hi, h);
            }
        double period = 0.0;
        for (double d : family.dashes) period += std::fabs(d) * scale;
        const long first = static_cast<long>(std::ceil(std::min(lo / across, hi / across)));
        const long last = static_cast<long>(std::floor(std::max(lo / across, hi / across)));
        for (long k = first; k <= last; ++k) {
            const double bx = ox + k * (along * dx + across * nx), by = oy + k * (along * dy + across * ny);
            // Crossings of the line b + t d with the boundary, even-odd.
            std::vector<double> ts;
            for (const Seg2& e : edges) {
                const double ha = (e.a.x - bx) * nx + (e.a.y - by) * ny;
                const double hb = (e.b.x - bx) * nx + (e.b.y - by) * ny;
                // Half-open in the height, so a line through a vertex
                // counts the two edges meeting there once.
                if ((ha > 0.0) == (hb > 0.0)) continue;
                const double s = ha / (ha - hb);
                const double x = e.a.x + (e.b.x - e.a.x) * s, y = e.a.y + (e.b.y - e.a.y) * s;
                ts.push_back((x - bx) * dx + (y - by) * dy);
            }
            std::sort(ts.begin(), ts.end());
            const auto at = [&](double t) { return ZcGePoint2d{bx + t * dx, by + t * dy}; };
            for (std::size_t i = 0; i + 1 < ts.size(); i += 2) {
                const double t0 = ts[i], t1 = ts[i + 1];
                if (!(t1 > t0)) continue;
                if (family.dashes.empty() || period <= 0.0) {
                    lines.emplace_back(at(t0), at(t1));
                    continue;
                }
                // Dashes repeat from the line's own origin b.
                double t = std::floor(t0 / period) * period;
                while (t < t1) {
                    for (double d : family.dashes) {
                        const double len = std::fabs(d) * scale;
                        const double a = std::max(t, t0), b = std::min(t + len, t1);
                        if (d > 0.0 && b > a) lines.emplace_back(at(a), at(b));
                        t += len;
                        if (++steps > 2.0 * kMaxHatchDashes) {
                            lines.clear();
                            return false;
                        }
                        if (t >= t1) break;
                    }
                }
            }
        }
    }
    return true;
}

}  // namespace host

// Hatch pattern lines: reading a pattern's line families from its file and
// the density check. The count is an upper bound taken over the diagonal of
// the boundary's extent, so it does not depend on the pattern angle: the
// same hatch fails or evaluates the same way however it is turned.
#include "host/db/dbhatchpat.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>

#include "host/db/dbhatch.h"
#include "host/util/findfile.h"
#include "host/util/notes.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "host/win/read_file.h"
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

namespace {

// Reads one pattern's definition out of a file's lines, fed in order.
class DefinitionScan {
public:
    explicit DefinitionScan(std::string_view name) : m_name(name) {}

    // False once the definition has ended: no later line counts.
    bool take(std::string_view text) {
        if (std::size_t semi = text.find(';'); semi != std::string_view::npos) text = text.substr(0, semi);
        std::string line = Trim(text);
        if (line.empty()) return true;
        if (line[0] == '*') {
            if (m_inside) return false;
            std::string header = line.substr(1);
            m_inside = iequals(Trim(header.substr(0, header.find(','))), m_name);
            return true;
        }
        if (!m_inside) return true;
        if (std::optional<PatternLine> p = ParseLine(line)) m_lines.push_back(*p);
        return true;
    }
    std::optional<std::vector<PatternLine>> result() {
        if (!m_inside) return std::nullopt;
        return std::move(m_lines);
    }

private:
    std::string_view m_name;
    bool m_inside = false;
    std::vector<PatternLine> m_lines;
};

}  // namespace

std::optional<std::vector<PatternLine>> parsePatternDefinition(const std::vector<std::string>& lines,
                                                               const std::string& name) {
    DefinitionScan scan(name);
    for (const std::string& line : lines)
        if (!scan.take(line)) break;
    return scan.result();
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

// The pattern files read, kept by the file's identity (device and file
// number), not by the name it was found under: any number of links to one
// file, beside a drawing or in the support folders, read it once and keep
// it once. An entry serves while the file has the size and times it was
// read with; one read from a file changed less than two seconds before
// serves only the command round it was read in (kept_files.h says why).
// Each holds the file's text and the definitions asked of it by name; all
// of them together stay within kMaxKeptPatternBytes, the least recently
// used going first.
struct FileIdentity {
    unsigned long long device = 0, number = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

struct PatternFile {
    long long size = 0, modified = 0, changed = 0;
    // Read from a file changed just before: kept for that command round
    // only, and outside a command (round 0) not at all.
    bool young = false;
    unsigned long long round = 0;
    std::string text;  // the decoded lines, each ended by '\n'
    std::map<std::string, std::optional<std::vector<PatternLine>>> byName;
    std::size_t bytes = 0;  // what it holds, as the bound counts it
    unsigned long long lastUse = 0;
};

struct PatternCache {
    std::map<FileIdentity, PatternFile> files;
    std::size_t bytes = 0, reads = 0;
    unsigned long long uses = 0;
};

PatternCache& patternCache() {
    static PatternCache cache;
    return cache;
}

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Whether the entry stands for the file as it is now.
bool Serves(const PatternFile& kept, const struct stat& st) {
    if (kept.size != st.st_size || kept.modified != Nanoseconds(st.st_mtim) ||
        kept.changed != Nanoseconds(st.st_ctim))
        return false;
    return !kept.young || (kept.round != 0 && kept.round == keptCommandRound());
}

// The bytes a definition holds, as the cache's bound counts them.
std::size_t DefinitionBytes(const std::string& name, const std::optional<std::vector<PatternLine>>& lines) {
    std::size_t bytes = name.size() + sizeof(PatternLine);
    if (lines)
        for (const PatternLine& line : *lines)
            bytes += sizeof(PatternLine) + line.dashes.size() * sizeof(double);
    return bytes;
}

// Least recently used first, never `keep`, until the cache is within its bound.
void TrimCache(PatternCache& cache, const FileIdentity& keep) {
    while (cache.bytes > kMaxKeptPatternBytes && cache.files.size() > 1) {
        auto oldest = cache.files.end();
        for (auto at = cache.files.begin(); at != cache.files.end(); ++at)
            if (!(at->first == keep) &&
                (oldest == cache.files.end() || at->second.lastUse < oldest->second.lastUse))
                oldest = at;
        cache.bytes -= oldest->second.bytes;
        cache.files.erase(oldest);
    }
}

// The pattern file at `path` read whole, no larger than any pattern library
// is; what kept it from being read is said on the command line, naming the
// file and the reason (a hatch goes on without its pattern lines).
std::optional<PatternFile> ReadPatternFile(const std::string& path, FileIdentity& identity) {
    std::string bytes, error;
    struct stat st {};
    if (!readFileBytes(nativePath(path), bytes, &error, kMaxPatternFileBytes, originOf(path), &st)) {
        noteForCommandLine(error.empty() ? "nie można odczytać " + path : error);
        return std::nullopt;
    }
    ++patternCache().reads;
    PatternFile file;
    file.size = st.st_size;
    file.modified = Nanoseconds(st.st_mtim);
    file.changed = Nanoseconds(st.st_ctim);
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    file.young = std::max(file.modified, file.changed) > now - 2000000000LL;
    file.round = keptCommandRound();
    for (const std::string& line : decodeText(bytes).lines) {
        file.text += line;
        file.text += '\n';
    }
    file.text.shrink_to_fit();
    file.bytes = file.text.size() + sizeof(PatternFile);
    identity = {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
    return file;
}

std::optional<std::vector<PatternLine>> DefinitionIn(const std::string& text, const std::string& name) {
    DefinitionScan scan(name);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (!scan.take(std::string_view(text).substr(at, end - at))) break;
        at = end + 1;
    }
    return scan.result();
}

std::optional<std::vector<PatternLine>> PatternFrom(const std::string& path, const std::string& name) {
    PatternCache& cache = patternCache();
    struct stat st {};
    if (::stat(nativePath(path).c_str(), &st) != 0) {
        noteForCommandLine("nie można odczytać " + path + ": " + fileErrorReason(errno));
        return std::nullopt;
    }
    FileIdentity identity{static_cast<unsigned long long>(st.st_dev),
                          static_cast<unsigned long long>(st.st_ino)};
    auto at = cache.files.find(identity);
    if (at == cache.files.end() || !Serves(at->second, st)) {
        if (at != cache.files.end()) {
            cache.bytes -= at->second.bytes;
            cache.files.erase(at);
        }
        std::optional<PatternFile> read = ReadPatternFile(path, identity);
        if (!read) return std::nullopt;
        // The file read may be another than the one looked at (replaced
        // meanwhile): it is kept as what it is.
        if (auto old = cache.files.find(identity); old != cache.files.end()) {
            cache.bytes -= old->second.bytes;
            cache.files.erase(old);
        }
        cache.bytes += read->bytes;
        at = cache.files.emplace(identity, std::move(*read)).first;
    }
    PatternFile& file = at->second;
    file.lastUse = ++cache.uses;
    std::string key = name;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto found = file.byName.find(key);
    if (found == file.byName.end()) {
        found = file.byName.emplace(key, DefinitionIn(file.text, name)).first;
        const std::size_t bytes = DefinitionBytes(key, found->second);
        file.bytes += bytes;
        cache.bytes += bytes;
    }
    std::optional<std::vector<PatternLine>> definition = found->second;
    TrimCache(cache, identity);
    return definition;
}

}  // namespace

PatternCacheUse patternCacheUse() {
    const PatternCache& cache = patternCache();
    return {cache.reads, cache.files.size(), cache.bytes};
}

namespace {

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

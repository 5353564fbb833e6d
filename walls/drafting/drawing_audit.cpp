// The drawing audit (see the header).
//
// Heights are repaired on the entity lists (groups 10 and 11 of a line, 10
// of an arc's centre); merges rewrite the kept entity's list and erase the
// other. Each check shows its meter in the status bar and restores the bar
// when it ends, also after a break.
#include "walls/drafting/drawing_audit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/level_settings.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"
#include "host/util/nocase.h"
#include "resources/velmresources.h"
#include "walls/drafting/dlg_audit.h"

namespace {

constexpr const char* kFunctionBase = "2DFUNL";
constexpr const char* kParamApp = "VELM5$_$PARAMETRI-";

// ---- the overlap kernels ----

double LineLength(const OverlapRecord& r) {
    return HostDistance(r.start, r.end);
}

double Sweep(const ArcRecord& a) {
    return AngleDiffCcw(a.startAngle, a.endAngle);
}

bool AngleWithin(double angle, const ArcRecord& a) {
    return AngleDiffCcw(a.startAngle, angle) <= Sweep(a) + GeomEpsilon;
}

// The grid of the plan that candidate lines are looked up in: a line sits
// in every cell its extent (grown by the tolerance) covers, keyed with its
// level rounded, so two lines can overlap only if they share a cell of the
// same or a neighbouring level key.
class LineGrid {
public:
    LineGrid(const std::vector<OverlapRecord>& records) {
        double total = 0.0;
        for (const OverlapRecord& r : records) total += LineLength(r);
        const double mean = records.empty() ? 1.0 : total / static_cast<double>(records.size());
        m_cell = std::max({mean, 100.0 * SharedTolerance, 1e-6});
    }

    void Insert(const OverlapRecord& r, std::size_t index) {
        Visit(r, [&](std::uint64_t key) { m_cells[key].push_back(index); });
    }

    // Indexes after `first` that share a cell with r, in list order.
    std::vector<std::size_t> Candidates(const OverlapRecord& r, std::size_t first) {
        std::vector<std::size_t> out;
        for (long long dl = -1; dl <= 1; ++dl) {
            Visit(
                r,
                [&](std::uint64_t key) {
                    auto it = m_cells.find(key);
                    if (it == m_cells.end()) return;
                    for (std::size_t i : it->second)
                        if (i > first) out.push_back(i);
                },
                dl);
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

private:
    template <class F>
    void Visit(const OverlapRecord& r, F f, long long levelShift = 0) const {
        const double tol = SharedTolerance;
        const long long x0 = Cell(std::min(r.start.x, r.end.x) - tol);
        const long long x1 = Cell(std::max(r.start.x, r.end.x) + tol);
        const long long y0 = Cell(std::min(r.start.y, r.end.y) - tol);
        const long long y1 = Cell(std::max(r.start.y, r.end.y) + tol);
        const long long level = std::llround(r.level * 1000.0) + levelShift;
        for (long long x = x0; x <= x1; ++x)
            for (long long y = y0; y <= y1; ++y) f(Key(x, y, level));
    }
    long long Cell(double v) const { return static_cast<long long>(std::floor(v / m_cell)); }
    static std::uint64_t Key(long long x, long long y, long long level) {
        std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        h ^= static_cast<std::uint64_t>(level) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
        return h;
    }

    double m_cell = 1.0;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> m_cells;
};

template <class Candidates, class Merge>
OverlapPassResult RunPass(std::vector<OverlapRecord>& records, const OverlapPassPort& port,
                          Candidates candidates, Merge merge) {
    OverlapPassResult result;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].erased) continue;
        if (port.stepped) port.stepped();
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t j : candidates(i)) {
                OverlapRecord& b = records[j];
                if (b.erased) continue;
                OverlapRecord grown = records[i];
                const bool overlaps = merge(grown, b);
                if (overlaps && (!port.merge || port.merge(grown, b))) {
                    records[i] = grown;
                    b.erased = true;
                    ++result.merged;
                    grew = true;
                }
                if (port.broken && port.broken()) {
                    result.broken = true;
                    return result;
                }
            }
        }
    }
    return result;
}

// ---- reading and writing the drawing ----

host::ResbufList ReadWithXData(const ads_name e) {
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(e, apps.get()));
}

std::string LayerOf(const resbuf* list) {
    const resbuf* rb = FindRbCode(list, 8);
    return rb && rb->resval.rstring ? rb->resval.rstring : std::string();
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           zcutEqualsNoCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// The meter of one check, restored when the check ends.
class CheckMeter {
public:
    CheckMeter(const char* label, int maximum) { zcedSetStatusBarProgressMeter(label, 0, maximum); }
    ~CheckMeter() { zcedRestoreStatusBar(); }
    CheckMeter(const CheckMeter&) = delete;
    CheckMeter& operator=(const CheckMeter&) = delete;
    // The entity with index i of count, in `steps` steps.
    void Index(std::int32_t i, std::int32_t count, int steps) {
        const int pos = static_cast<int>(i / std::max<std::int32_t>(1, count / steps));
        if (pos != m_pos) zcedSetStatusBarProgressMeterPos(m_pos = pos);
    }
    // The running position of the overlap passes: 0 to 100 and round again.
    void Step() {
        zcedSetStatusBarProgressMeterPos(m_pos);
        m_pos = m_pos >= 100 ? 0 : m_pos + 1;
    }

private:
    int m_pos = 0;
};

// Lifts one group's point to the level: true when it changed.
bool LiftGroup(resbuf* list, int code, double level) {
    resbuf* rb = FindRbCode(list, code);
    if (!rb || std::fabs(rb->resval.rpoint[2] - level) <= GeomEpsilon) return false;
    rb->resval.rpoint[2] = level;
    return true;
}

// `matches` tells whether a layer is one of the check's.
template <class Matches>
int RepairHeights(const char* type, const char* label, bool withEnd, Matches matches, bool& broken) {
    host::SelectionSet set;
    if (ExistsEntityType(type, false, set.put()) != 1) return 0;
    const std::int32_t count = set.size();
    CheckMeter meter(label, 20);
    int repaired = 0;
    ads_name e;
    for (std::int32_t i = 0; set.name(i, e); ++i) {
        meter.Index(i, count, 20);
        host::ResbufList list = ReadWithXData(e);
        const std::string layer = LayerOf(list.get());
        double level = 0.0;
        if (!layer.empty() && matches(layer) && ParseDollarNumber(layer, level)) {
            bool changed = LiftGroup(list.get(), 10, level);
            if (withEnd) changed = LiftGroup(list.get(), 11, level) || changed;
            if (changed && zcdbEntMod(list.get()) == RTNORM) ++repaired;
        }
        if (zcedUsrBrk()) {
            broken = true;
            break;
        }
    }
    return repaired;
}

std::vector<std::string> WallPrefixes() {
    std::vector<std::string> out;
    for (const std::string& name : DrawingWallLayers()) out.push_back("VELM" + name);
    return out;
}

bool IsWallLayer(const std::vector<std::string>& prefixes, const std::string& layer) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& p) { return StartsWithNoCase(layer, p); });
}

// Appends a record for each entity of the set that has a level, in the
// order read; HeadFirst turns the whole into list order.
void CollectRecords(const host::SelectionSet& set, bool arcs, std::vector<OverlapRecord>& records) {
    ads_name e;
    for (std::int32_t i = 0; set.name(i, e); ++i) {
        OverlapRecord r;
        if (!GetEntityLevel(e, r.level, nullptr, false)) continue;
        if (arcs) {
            if (GetArcData(e, r.arc) != 1) continue;
        } else if (GetLineData(e, r.start, r.end) != 1) {
            continue;
        }
        r.entity[0] = e[0];
        r.entity[1] = e[1];
        records.push_back(r);
    }
}

bool WriteLineMerge(const OverlapRecord& kept, const OverlapRecord& gone) {
    host::ResbufList list = ReadWithXData(kept.entity);
    if (!list) return false;
    const ads_point s{kept.start.x, kept.start.y, kept.start.z}, e{kept.end.x, kept.end.y, kept.end.z};
    ReplaceRb(list.get(), 10, s);
    ReplaceRb(list.get(), 11, e);
    if (zcdbEntMod(list.get()) != RTNORM) return false;
    zcdbEntDel(gone.entity);
    return true;
}

bool WriteArcMerge(const OverlapRecord& kept, const OverlapRecord& gone) {
    host::ResbufList list = ReadWithXData(kept.entity);
    if (!list) return false;
    ReplaceRb(list.get(), 50, kept.arc.startAngle);
    ReplaceRb(list.get(), 51, kept.arc.endAngle);
    if (zcdbEntMod(list.get()) != RTNORM) return false;
    zcdbEntDel(gone.entity);
    return true;
}

// The list is built from its head: the last entity read comes first.
void HeadFirst(std::vector<OverlapRecord>& records) {
    std::reverse(records.begin(), records.end());
}

OverlapPassResult OverlapCheck(std::vector<OverlapRecord>& records, bool arcs, const char* label) {
    if (records.empty()) return {};
    HeadFirst(records);
    CheckMeter meter(label, 100);
    OverlapPassPort port;
    port.merge = arcs ? &WriteArcMerge : &WriteLineMerge;
    port.stepped = [&] { meter.Step(); };
    port.broken = [] { return zcedUsrBrk() != 0; };
    return arcs ? RunArcOverlapPass(records, port) : RunLineOverlapPass(records, port);
}

int FunctionOverlaps(bool& broken) {
    host::SelectionSet set;
    std::vector<OverlapRecord> records;
    if (SelectTypeOnLayer("LINE", std::string("VELM") + kFunctionBase + "$*", false, set.put(), false) == 1)
        CollectRecords(set, false, records);
    const OverlapPassResult r = OverlapCheck(records, false, "Kontrola nakładających się linii funkcyjnych");
    broken = r.broken;
    return r.merged;
}

int WallOverlaps(bool& broken) {
    const std::vector<std::string> names = DrawingWallLayers();
    int merged = 0;
    for (const bool arcs : {false, true}) {
        std::vector<OverlapRecord> records;
        for (const std::string& name : names) {
            host::SelectionSet set;
            if (SelectTypeOnLayer(arcs ? "ARC" : "LINE", "VELM" + name + "$*", false, set.put(), !arcs) == 1)
                CollectRecords(set, arcs, records);
        }
        const OverlapPassResult r = OverlapCheck(
            records, arcs,
            arcs ? "Kontrola nakładających się łuków ściany" : "Kontrola nakładających się linii ściany");
        merged += r.merged;
        if (r.broken) {
            broken = true;
            break;
        }
    }
    return merged;
}

int ObjectHeights() {
    const host::ResbufList filter(zcutBuildList(-3, 1001, kParamApp, 0));
    host::SelectionSet set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return 0;
    const std::int32_t count = set.size();
    CheckMeter meter("Kontrola wysokości obiektów", 50);
    int repaired = 0;
    ads_name e;
    for (std::int32_t i = 0; set.name(i, e); ++i) {
        meter.Index(i, count, 50);
        host::ResbufList list = ReadWithXData(e);
        const std::string layer = LayerOf(list.get());
        const resbuf* at = FindRbCode(list.get(), 10);
        double level = 0.0;
        if (!layer.empty() && at && ParseDollarNumber(layer, level) &&
            std::fabs(level - at->resval.rpoint[2]) > GeomEpsilon) {
            ZcDbObjectId id;
            if (zcdbGetObjectId(id, e) == Zcad::eOk) {
                ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForWrite);
                if (entity && entity->transformBy(ZcGeMatrix3d::translation(
                                  ZcGeVector3d(0.0, 0.0, level - at->resval.rpoint[2]))) == Zcad::eOk)
                    ++repaired;
            }
        }
        if (zcedUsrBrk()) break;
    }
    return repaired;
}

}  // namespace

bool MergeOverlappingLines(OverlapRecord& a, const OverlapRecord& b) {
    if (std::fabs(a.level - b.level) > GeomEpsilon) return false;
    if (!ArePointsCollinear4(a.start, a.end, b.start, b.end, SharedTolerance)) return false;
    Point3 extent[2];
    CollinearSegmentsExtent(a.start, a.end, b.start, b.end, extent);
    if (HostDistance(extent[0], extent[1]) - LineLength(a) - LineLength(b) >= -GeomEpsilon) return false;
    a.start = extent[0];
    a.end = extent[1];
    return true;
}

bool MergeOverlappingArcs(OverlapRecord& a, const OverlapRecord& b) {
    if (std::fabs(a.level - b.level) > GeomEpsilon) return false;
    if (!PointsEqual(a.arc.centre, b.arc.centre, true) ||
        std::fabs(a.arc.radius - b.arc.radius) > GeomEpsilon)
        return false;
    const double sa = Sweep(a.arc), sb = Sweep(b.arc);
    // One arc inside the other: the union is the outer one (the two
    // candidates of the general union would drop a piece of it).
    if (AngleWithin(b.arc.startAngle, a.arc) && AngleWithin(b.arc.endAngle, a.arc) &&
        AngleDiffCcw(a.arc.startAngle, b.arc.startAngle) <= AngleDiffCcw(a.arc.startAngle, b.arc.endAngle)) {
        return sb > GeomEpsilon;
    }
    if (AngleWithin(a.arc.startAngle, b.arc) && AngleWithin(a.arc.endAngle, b.arc) &&
        AngleDiffCcw(b.arc.startAngle, a.arc.startAngle) <= AngleDiffCcw(b.arc.startAngle, a.arc.endAngle)) {
        if (sa <= GeomEpsilon) return false;
        a.arc.startAngle = b.arc.startAngle;
        a.arc.endAngle = b.arc.endAngle;
        return true;
    }
    // Two arcs that together would close the circle cannot be one arc.
    if (sa + sb >= TwoPi() - GeomEpsilon) return false;
    const double mid = a.arc.startAngle + sa / 2.0;
    const Point3 onA{a.arc.centre.x + a.arc.radius * std::cos(mid),
                     a.arc.centre.y + a.arc.radius * std::sin(mid), a.arc.centre.z};
    ArcRecord unionArc;
    MergeArcs(onA, a.arc, b.arc, unionArc);
    if (!(sa + sb > Sweep(unionArc) + GeomEpsilon)) return false;
    a.arc.startAngle = unionArc.startAngle;
    a.arc.endAngle = unionArc.endAngle;
    return true;
}

OverlapPassResult RunLineOverlapPass(std::vector<OverlapRecord>& records, const OverlapPassPort& port) {
    LineGrid grid(records);
    for (std::size_t i = 0; i < records.size(); ++i) grid.Insert(records[i], i);
    // A grown record is filed again under the cells it now covers; the
    // cells it left still name it, which only costs a comparison.
    OverlapPassPort filed = port;
    std::size_t current = 0;
    filed.merge = [&](const OverlapRecord& kept, const OverlapRecord& gone) {
        if (port.merge && !port.merge(kept, gone)) return false;
        grid.Insert(kept, current);
        return true;
    };
    return RunPass(
        records, filed,
        [&](std::size_t i) {
            current = i;
            return grid.Candidates(records[i], i);
        },
        &MergeOverlappingLines);
}

OverlapPassResult RunArcOverlapPass(std::vector<OverlapRecord>& records, const OverlapPassPort& port) {
    // Arcs are few beside lines; the kernel's own tests reject the others.
    return RunPass(
        records, port,
        [&](std::size_t i) {
            std::vector<std::size_t> out;
            for (std::size_t j = i + 1; j < records.size(); ++j) out.push_back(j);
            return out;
        },
        &MergeOverlappingArcs);
}

AuditCounts RunAudit(int mask) {
    AuditCounts counts;
    const std::string functionPrefix = std::string("VELM") + kFunctionBase;
    bool broken = false;
    if (mask & kAuditFunctionHeights) {
        counts.repaired[0] = RepairHeights(
            "LINE", "Kontrola wysokości linii funkcyjnych", true,
            [&](const std::string& layer) { return StartsWithNoCase(layer, functionPrefix); }, broken);
    }
    if (!broken && (mask & kAuditFunctionOverlaps)) counts.repaired[1] = FunctionOverlaps(broken);
    if (!broken && (mask & kAuditWallHeights)) {
        const std::vector<std::string> prefixes = WallPrefixes();
        auto wall = [&](const std::string& layer) { return IsWallLayer(prefixes, layer); };
        counts.repaired[2] = RepairHeights("LINE", "Kontrola wysokości linii ściany", true, wall, broken);
        if (!broken)
            counts.repaired[2] +=
                RepairHeights("ARC", "Kontrola wysokości łuków ściany", false, wall, broken);
    }
    if (!broken && (mask & kAuditWallOverlaps)) counts.repaired[3] = WallOverlaps(broken);
    if (!broken && (mask & kAuditObjectHeights)) counts.repaired[4] = ObjectHeights();
    counts.broken = broken;
    return counts;
}

void PrintAuditReport(const AuditCounts& counts) {
    static constexpr const char* kLines[5] = {
        "\nNaprawiono %d linie funkcyjne znajdujące się na niewłaściwej wysokości",
        "\nNaprawiono %d nakładające się linie funkcyjne",
        "\nNaprawiono %d linie/łuki ściany znajdujące sie na niewłaściwej wysokości",
        "\nNaprawiono %d nakładające się linie/łuki ściany",
        "\nNaprawiono %d obiekty parametrycznenie znajdujące się na niewłaściwej wysokości",
    };
    if (std::all_of(std::begin(counts.repaired), std::end(counts.repaired), [](int n) { return n == 0; })) {
        zcutPrintf("%s", "\nRysunek nie zawiera błędów");
        return;
    }
    for (int i = 0; i < 5; ++i)
        if (counts.repaired[i] != 0) zcutPrintf(kLines[i], counts.repaired[i]);
}

void CmdAudit() {
    int mask = 0x1f;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgAudit dialog(mask);
        if (dialog.DoModal() != IDOK) return;
        mask = dialog.m_mask;
    }
    // A break still reports what the checks before it repaired.
    PrintAuditReport(RunAudit(mask));
}

// The drawing audit ("VELMAUDIT"): function lines and wall lines or arcs
// lifted back to the level their layer names, overlapping ones merged into
// one, and parametric objects put back on their level.
//
// The overlap pass is a kernel over plain records: each record, from the
// head of the list, is compared with those after it; a pair that overlaps
// leaves the first grown to cover both and the second erased, and a record
// that grew is compared again until nothing merges, so a chain A, C, B that
// only closes through C merges whole. Only records that can overlap are
// compared: lines by level and a grid of the plan their extents cover, arcs
// by level, centre and radius.
#pragma once

#include <functional>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"

// The check mask's bits.
enum AuditCheck : int {
    kAuditFunctionHeights = 1,
    kAuditFunctionOverlaps = 2,
    kAuditWallHeights = 4,
    kAuditWallOverlaps = 8,
    kAuditObjectHeights = 16,
};

// One LINE (start, end) or ARC (arc) taken into an overlap check.
struct OverlapRecord {
    Point3 start, end;
    ArcRecord arc;
    double level = 0.0;
    ads_name entity{0, 0};
    bool erased = false;
};

// What a pass asks of its caller: `merge` writes the grown record's entity
// and erases the other's (false when it could not, and nothing is counted);
// `stepped` is told each record taken as the first of its comparisons;
// `broken` is asked after every comparison.
struct OverlapPassPort {
    std::function<bool(const OverlapRecord& kept, const OverlapRecord& gone)> merge;
    std::function<void()> stepped;
    std::function<bool()> broken;
};

struct OverlapPassResult {
    int merged = 0;
    bool broken = false;
};

// The records in list order (the head first).
OverlapPassResult RunLineOverlapPass(std::vector<OverlapRecord>& records, const OverlapPassPort& port);
OverlapPassResult RunArcOverlapPass(std::vector<OverlapRecord>& records, const OverlapPassPort& port);

// The two merge tests on their own: true and `a` grown when b overlaps it.
bool MergeOverlappingLines(OverlapRecord& a, const OverlapRecord& b);
bool MergeOverlappingArcs(OverlapRecord& a, const OverlapRecord& b);

// The five repair counters of a run, in the order of the mask's bits.
struct AuditCounts {
    int repaired[5] = {0, 0, 0, 0, 0};
    bool broken = false;  // stopped by the user in checks 1 to 8
};
// Runs the checks of `mask` in the order 1, 2, 4, 8, 16.
AuditCounts RunAudit(int mask);
// The report of a run, as printed.
void PrintAuditReport(const AuditCounts& counts);

// "VELMAUDIT"
void CmdAudit();

// A grid over the wall segments of a recognition set's chain: which
// segments lie near a box, in chain order. Kept in step by the set while it
// pairs (a segment is re-entered whenever its ends move).
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

struct WallSegment;

class SegmentGrid {
public:
    explicit SegmentGrid(double cellSize);
    void Insert(WallSegment* s);
    void Remove(WallSegment* s);
    void Update(WallSegment* s);
    // The segments whose bounding box meets the box, each once, sorted by
    // their chain order.
    std::vector<WallSegment*> Query(double x0, double y0, double x1, double y1) const;
    // The same around a segment's box grown by the margin.
    std::vector<WallSegment*> Near(const WallSegment& s, double margin) const;

private:
    struct Cells {
        std::int64_t i0, j0, i1, j1;
    };
    Cells CellsOf(double x0, double y0, double x1, double y1) const;
    static std::uint64_t Key(std::int64_t i, std::int64_t j);

    double m_cell;
    std::unordered_map<std::uint64_t, std::vector<WallSegment*>> m_cells;
    std::unordered_map<const WallSegment*, Cells> m_entered;
};

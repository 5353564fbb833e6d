// A plan index of rings for searches of rings that meet or come near one
// another. Where BoxIndex files a ring over its whole box, this files it in
// the grid cells its shape reaches: those its edges pass within the margin
// of, and those whose centres it holds. A long thin ring running askew
// across a floor (a wall's side seen from the light) then stands in the
// cells along it, not in the half of the floor its box spans. It only
// screens: a query lists every ring that may lie within the margin of what
// is asked, and callers still apply their own tests.
#pragma once

#include <cstdint>
#include <vector>

#include "core/geometry/vertex_list.h"

// A uniform grid of n x n cells over a plan extent. Points outside it fall
// in the cells at its border.
class PlanGrid {
public:
    PlanGrid() = default;
    PlanGrid(const double extent[4], int n);

    int Cells() const { return n_ * n_; }
    int CellOf(double x, double y) const { return Cell(x, 0) * n_ + Cell(y, 1); }

    // Appends every cell the ring reaches: each cell an edge passes within
    // `margin` of, and each cell whose centre lies inside the ring; a cell
    // may come more than once. False, and nothing appended, when a
    // coordinate is not a number (the ring may then be anywhere).
    bool CoverRing(const VertexNode* ring, double margin, std::vector<int>& cells) const;
    // Appends every cell the box (min x, min y, max x, max y) widened by
    // `margin` meets.
    void CoverBox(const double box[4], double margin, std::vector<int>& cells) const;

private:
    int Cell(double v, int axis) const;

    double lo_[2] = {0.0, 0.0};
    double size_[2] = {1.0, 1.0};
    int n_ = 1;
};

class RingIndex {
public:
    // The rings are read, not copied: they must outlive the index and stay
    // as they are.
    void Add(const VertexNode* ring) { rings_.push_back(ring); }
    int Size() const { return static_cast<int>(rings_.size()); }

    // Files the rings added; call once before the queries.
    void Build(double margin);

    // The rings (by the order they were added, ascending) that may lie
    // within the margin of the ring given, or overlap or hold it.
    const std::vector<int>& Near(const VertexNode* ring);
    // The rings that may lie within the margin of the point or hold it.
    const std::vector<int>& At(double x, double y);

private:
    const std::vector<int>& Collect(const std::vector<int>& cells);
    const std::vector<int>& Every();

    std::vector<const VertexNode*> rings_;
    PlanGrid grid_;
    double margin_ = 0.0;
    double extent_[4] = {0.0, 0.0, 0.0, 0.0};
    std::vector<int> cellStart_, filed_;  // the rings of cell c from cellStart_[c]
    std::vector<int> everywhere_;         // rings with a coordinate not a number
    std::vector<std::uint32_t> seen_;
    std::vector<int> cells_, found_;
    std::uint32_t stamp_ = 0;
};

// A plan index of boxes for pairwise searches (the edges of two long rings,
// the hidden-face and shadow passes of the views): the boxes are filed in the cells of a uniform grid over
// their extent, and a query lists, once each and in filing order, the boxes
// that overlap a given box within a tolerance. It only screens: callers
// still apply their own tests, so a pass gives what it would give by
// trying every pair, in the same order.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

class BoxIndex {
public:
    // Boxes as min x, min y, max x, max y.
    void Add(const double box[4]) { boxes_.push_back({box[0], box[1], box[2], box[3]}); }
    int Size() const { return static_cast<int>(boxes_.size()); }

    // Files the boxes added; call once before the queries.
    void Build(double tolerance) {
        tol_ = tolerance;
        if (boxes_.empty()) return;
        lo_[0] = lo_[1] = 1e300;
        double hi[2] = {-1e300, -1e300};
        for (const Box& b : boxes_) {
            lo_[0] = std::min(lo_[0], b.v[0]), lo_[1] = std::min(lo_[1], b.v[1]);
            hi[0] = std::max(hi[0], b.v[2]), hi[1] = std::max(hi[1], b.v[3]);
        }
        n_ = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(boxes_.size()))), 1, 256);
        for (int a = 0; a < 2; ++a) size_[a] = std::max((hi[a] - lo_[a]) / n_, 1e-9);
        cells_.assign(static_cast<std::size_t>(n_) * n_, {});
        for (int i = 0; i < Size(); ++i) {
            int c0[2], c1[2];
            Range(boxes_[i].v, c0, c1);
            for (int x = c0[0]; x <= c1[0]; ++x)
                for (int y = c0[1]; y <= c1[1]; ++y)
                    cells_[static_cast<std::size_t>(x) * n_ + y].push_back(i);
        }
        seen_.assign(boxes_.size(), 0);
    }

    // The boxes overlapping `box` (widened by the tolerance), ascending.
    const std::vector<int>& Query(const double box[4]) {
        found_.clear();
        if (cells_.empty()) return found_;
        ++stamp_;
        int c0[2], c1[2];
        Range(box, c0, c1);
        for (int x = c0[0]; x <= c1[0]; ++x)
            for (int y = c0[1]; y <= c1[1]; ++y)
                for (int i : cells_[static_cast<std::size_t>(x) * n_ + y]) {
                    if (seen_[i] == stamp_) continue;
                    seen_[i] = stamp_;
                    const double* b = boxes_[i].v;
                    if (b[2] < box[0] - tol_ || box[2] < b[0] - tol_ || b[3] < box[1] - tol_ ||
                        box[3] < b[1] - tol_)
                        continue;
                    found_.push_back(i);
                }
        std::sort(found_.begin(), found_.end());
        return found_;
    }

private:
    struct Box {
        double v[4];
    };
    void Range(const double box[4], int c0[2], int c1[2]) const {
        for (int a = 0; a < 2; ++a) {
            c0[a] = Cell(box[a] - tol_, a);
            c1[a] = Cell(box[a + 2] + tol_, a);
        }
    }
    int Cell(double v, int axis) const {
        const double c = std::floor((v - lo_[axis]) / size_[axis]);
        if (!(c > 0.0)) return 0;
        return c >= n_ - 1 ? n_ - 1 : static_cast<int>(c);
    }

    std::vector<Box> boxes_;
    std::vector<std::vector<int>> cells_;
    std::vector<std::uint32_t> seen_;
    std::vector<int> found_;
    std::uint32_t stamp_ = 0;
    double lo_[2] = {0.0, 0.0};
    double size_[2] = {1.0, 1.0};
    double tol_ = 0.0;
    int n_ = 1;
};

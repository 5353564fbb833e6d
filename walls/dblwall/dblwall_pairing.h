// Pairing the straight faces of a wall-face graph for the inner lines of
// double-line walls: each face looks for the nearest face that runs nearly
// parallel to it (sine of the angle at most 0.4), overlaps it across and
// neither touches nor only continues it end to end. A face whose nearest
// such face lies within the thickness range gets an inner line, towards
// that face; a nearer one than the least thickness rules it out.
//
// The faces are indexed by position once per command: a face is compared
// only with the faces whose extent comes within reach of its own, taken in
// list order, so the partner (and so the side) found is the one a scan of
// the whole list gives, in close to linear time on whole floors.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "walls/graph/cfacciate.h"

class DoubleLineFaces {
public:
    enum Mark { kUnhandled = 0, kHandled = 1, kPilaster = 2 };

    // Indexes the graph's faces (list order); pilaster faces (a single
    // edge without entity) are marked. `reach` bounds the partner distance
    // that can matter (the greater of the two thicknesses).
    DoubleLineFaces(const CFACCIATE& graph, double reach);

    int size() const { return static_cast<int>(m_faces.size()); }
    WallFace* face(int i) const { return m_faces[static_cast<std::size_t>(i)]; }
    int mark(int i) const { return m_marks[static_cast<std::size_t>(i)]; }
    void setMark(int i, int mark) { m_marks[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(mark); }

    // Faces whose extent comes within reach of the segment a-b, ascending.
    void near(const Point3& a, const Point3& b, std::vector<int>& out) const;
    // Straight faces with an end within the length tolerance of p, ascending.
    void endingAt(const Point3& p, std::vector<int>& out) const;

    // The next face PairDoubleLines looks at.
    int cursor = 0;

private:
    using Key = std::uint64_t;
    Key key(long long ix, long long iy) const;
    long long cellOf(double v) const;

    std::vector<WallFace*> m_faces;
    std::vector<std::uint8_t> m_marks;
    double m_reach = 0.0;
    double m_cell = 1.0;
    std::unordered_map<Key, std::vector<int>> m_extent;  // faces by the cells of their box
    std::vector<int> m_huge;                             // faces too large to file by cell
    std::unordered_map<Key, std::vector<int>> m_ends;    // straight faces by the cells of their ends
};

// The next face with a partner, the direction towards it written to angle;
// null when no face is left. Every face looked at is marked handled.
WallFace* PairDoubleLines(double* angle, double minThickness, double maxThickness, DoubleLineFaces& faces);

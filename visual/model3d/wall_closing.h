// The faces that close a wall's solid where its two sides alone leave it
// open: the reveals of an opening (the jambs from sill to head, the sill
// and the head) where the object set into the wall does not draw them
// itself, and the end of a wall that meets no other wall.
//
// A closing face stands across the wall, not on a side, so the erase by
// position in plan cannot find it by its corners. It carries instead a
// record with its foot: a point on the side that made it. The side erases
// read a face with that record as standing at its foot, so the faces go
// with the side whenever the side is made again or erased.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/util/resbuf.h"

class CFACCIATE;
struct WallFace;

inline constexpr const char* kClosingFaceApp = "VELM12CAD$_$CHIUSURA3D-";

// The foot of a closing face from its entity list read with its xdata;
// false for any other face.
bool ClosingFaceFoot(const resbuf* list, Point3& foot);

// One closing face on `layer`: a triangle or a quad, `foot` in its record.
void MakeClosingFace(const std::string& layer, const std::vector<Point3>& c, const Point3& foot);

// The reveals of the openings whose first jamb starts on `face` (the face
// the object's outer cut lies on): a jamb where it stands inside the side
// (not on its border), a sill above the side's bottom, a head below its
// top, each only where the object draws no face there. `side` is the side's
// outline in world coordinates as it was made (bottom and top profile).
void CloseOpeningReveals(const WallFace& face, const std::string& layer, const std::vector<Point3>& side);

// The closing faces of the sides of one graph. The ends of its faces that
// meet no other face are found once: each is closed to the nearest free end
// of another face, at the heights of its own side's outline there, by the
// one of the two sides whose end comes first (smaller x, then y), so a
// wall end gets one face.
class WallClosing {
public:
    explicit WallClosing(const CFACCIATE& graph);
    // The reveals and end faces `face` owns, made after its side (`side` as
    // the side generators return it; nothing when it is empty).
    void Close(const WallFace& face, const std::string& layer, const std::vector<Point3>& side) const;
    // Free-standing pieces whose two ends both belong to one face: the
    // plan quad of the piece (that face's start and end, then the other
    // side's ends facing them), for the caps of pieces no wall pair holds.
    std::vector<std::array<Point3, 4>> FreePieces() const;

private:
    bool joined(const WallFace* self, const Point3& p) const;
    std::int64_t cell(double v) const { return static_cast<std::int64_t>(std::floor(v / m_cell)); }
    static std::int64_t key(std::int64_t x, std::int64_t y) { return (x << 32) ^ (y & 0xffffffff); }

    double m_cell = 1.0;
    std::unordered_map<std::int64_t, std::vector<const WallFace*>> m_grid;
    std::unordered_map<const WallFace*, std::vector<std::pair<Point3, Point3>>> m_ends;
};

// The solids of a section's face set and their cuts. A solid is the faces
// of one object (an insert, a solid entity), or loose faces on any layers
// (a slab's top, bottom and sides may lie on three), that meet at their
// corners; the loose faces of the 3D walls are one solid whatever meets,
// the sides of a wall sharing no corner where its foot and top are open,
// and with them the reveals a door or window draws into its opening. A
// solid whose faces close around it is cut in closed rings, and its cap is
// what they enclose by the even-odd rule: two of its pieces touching along
// a face leave that face's cut twice, which encloses nothing.
//
// A model drawn elsewhere may not close. A solid's ring is then closed only
// across a gap its own faces bound: two free ends of its cut at one level
// (an open foot or top, or a foot's cut ending a hair short of a side),
// the solid lying just off the gap's middle by its own cut. What stays
// open is left out of the cap.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "visual/views/cap_graph.h"

class CSezione;

// Whether a layer's name marks the faces of the 3D walls; the reveals an
// object draws into its opening in a wall.
bool IsWallLayerName(const std::string& name);
bool IsRevealLayerName(const std::string& name);

// The cut edges of the face set (edge word below 0) and of the slivers too
// slender to be faces, each with the number of its solid.
std::vector<CapCut> SolidCuts(const CSezione& section, double t);

// Each solid's cuts chained (ends within t meet), its level gaps closed as
// above, and what does not chain into a ring left out.
std::vector<CapCut> ClosedSolidCuts(std::vector<CapCut> cuts, double t);

// The even-odd insides of the solids' cuts.
class SolidInsides {
public:
    explicit SolidInsides(const std::vector<CapCut>& cuts);
    ~SolidInsides();
    SolidInsides(const SolidInsides&) = delete;
    SolidInsides& operator=(const SolidInsides&) = delete;

    // Whether p lies inside the cut of some solid; a point on an edge
    // falls either way.
    bool InsideSome(const Point3& p) const;
    // Whether p lies inside the cut of the given solid.
    bool Inside(int solid, const Point3& p) const;

    struct Impl;

private:
    std::unique_ptr<Impl> m;
};

// The faces that close a curved wall's solid where its two curved sides
// alone leave it open: the reveals of an opening set into it (jambs along
// the radius, the sill and the head), its top and its foot.
//
// The two sides of a curved wall are two arc faces about one centre; the
// inner one (the smaller radius) makes the faces between them. A band
// between the sides follows the corners each side's strips put along it,
// so every edge of a side's strip is met by an edge of the band.
#pragma once

#include <string>

class CFACCIATE;
class WallClosing;
struct WallFace;

// The other side of the curved wall `face` bounds: the arc face of the
// graph about the same centre, nearest in radius, whose span meets its
// own; null when there is none.
const WallFace* ArcWallPartner(const CFACCIATE& graph, const WallFace& face);

// The reveals of the openings set into the curved wall whose inner side is
// `face` (nothing for the outer side): a jamb inside the face's span, a
// sill above `bottom`, a head below `top`. Each carries its foot on the
// face, so it goes with the side when the side is made again.
void CloseArcOpenings(const WallFace& face, const WallFace& partner, const std::string& layer, double step,
                      double bottom, double top);

// What closes a curved side made at the heights bottom to top in strips of
// `step`: its free ends (as `ends` pairs them) and, from its inner side,
// the reveals of the openings in its wall.
void CloseArcSide(const WallClosing& ends, const CFACCIATE& graph, const WallFace& face,
                  const std::string& layer, double step, double bottom, double top);

// The top (at the side's height) and the foot (at `elevation`) of every
// curved wall of the graph, but under openings reaching the floor.
void ArcWallCaps(const CFACCIATE& graph, const std::string& layer, double step, double elevation,
                 double height);

// The heights of a curved side: the first of its edges', else the floor's.
void ArcSideHeights(const WallFace& face, double elevation, double height, double& bottom, double& top);

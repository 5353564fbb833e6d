// Entity picks, nested picks, object snaps and the interactive part of
// zcedSSGet. Answers come from the document's input through the prompts
// (a "!pick x,y" line or a typed point).
//
// The pick aperture: a pick finds the entities whose geometry (see
// host/db/dbgeom.h) passes within APERTURE × VIEWSIZE / 1000 drawing units
// of the point in plan — the aperture's pixels on a view 1000 pixels high.
// Of several, the nearest wins; on a tie the one drawn last (on top).
// Only entities of the current space on layers that are on and thawed can
// be picked.
//
// zcedEntSel: RTNORM with the entity and the picked point; a pick that
// finds nothing RTERROR with ERRNO 7; Enter RTERROR with ERRNO 52; a
// keyword armed by zcedInitGet RTKWORD; cancel RTCAN.
// zcedNEntSelP: the innermost entity under the point, inside block
// references too, with the block-to-world transform and the containing
// references (innermost first, as RTENAME nodes); an attribute is picked
// as the reference's own part, an old-style polyline (not a mesh) as the
// VERTEX that starts the segment nearest the pick. pickflag non-zero takes
// ptres as the pick.
//
// zcedOsnap: modes "_NEAr", "_ENDpoint", "_MIDpoint", "_CENter",
// "_INTersection", "_PERpendicular" (three letters are enough, "_" and
// case optional, several separated by commas: the nearest result wins),
// on the geometry of every entity within the aperture, block references'
// contents included; perpendiculars are dropped from LASTPOINT.
//
// Interactive selection prompts "Wybierz obiekty: " (or the ":$" prompts,
// pt1 pointing at two strings) and takes, until Enter: points (an entity
// under a point is added; an empty point starts a window to the next
// point: to the right "W", to the left "C"), "W", "C", "WP", "CP", "F",
// "ALL", "L", "P", "R" (remove from now on), "A" (add again). With
// PICKADD 0 each new selection replaces the set. ":S" ends after the first
// selection that found something; ":E" takes every entity within the
// aperture of a point.
#pragma once

#include <vector>

#include "host/ge/gebase.h"
#include "host/util/resbuf.h"

int zcedEntSel(const char* str, ads_name entres, ads_point ptres);
int zcedNEntSelP(const char* str, ads_name entres, ads_point ptres, int pickflag, ads_matrix xformres,
                 resbuf** refstkres);
// The older form: xformres holds the X, Y, Z axes and the origin of the
// block-to-world transform.
int zcedNEntSel(const char* str, ads_name entres, ads_point ptres, ads_point xformres[4], resbuf** refstkres);
int zcedOsnap(const ads_point pt, const char* mode, ads_point result);

namespace host {

// The aperture in drawing units (see above).
double pickAperture();

// Clicks with no command running: the entities under the points (the
// nearest at each, as a pick finds it) become the pick-first set, and the
// editor reactors hear of the change; LASTPOINT becomes the last point that
// found an entity, where a command working on the set takes it as picked.
// No points clears the set. The count of entities found.
int selectAtPoints(const std::vector<ZcGePoint3d>& points);

}  // namespace host

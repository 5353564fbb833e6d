// The input road the slab-making commands share: the loops entered in the
// outline jig (outline by points, openings by points, by a drawn outline or
// by an object that defines an opening), and the slab written from them as
// an INSERT of its block with the slab xdata, optionally hatched.
#pragma once

#include <string>

#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

class AJIG_COP;
class CFALDA;

struct SlabEntryPrompts {
    const char* outlineFirst;
    const char* outlineNext;  // with the vertex number
    const char* openingFirst;
    const char* openingNext;  // with the vertex number
    const char* openingContour;
    // Loops taken from drawn outlines and objects go to the jig's elevation
    // plus its offset; otherwise they keep their own z.
    bool placePickedLoops = true;
    // An object taken as an opening gets its polygon put on the outline's
    // plane.
    bool rewriteObject = true;
};

// Sets LASTPOINT, the base of the next relative point.
void SetLastPoint(const Point3& p);
// Starts the jig's loops with one loop of one vertex (stage 6, outline).
void BeginSlabLoops(AJIG_COP& jig);
// Puts `outline` (owned) first, at loop index 0, with a new loop of one
// vertex after it (stage 5, openings).
void BeginSlabOpenings(AJIG_COP& jig, VertexNode* outline);
// Drags until the user finishes (0) or cancels (1), and returns that stage.
int EnterSlabLoops(AJIG_COP& jig, const SlabEntryPrompts& prompts);
// Drops the unfinished last loop when there is more than one.
void DropUnfinishedLoop(AJIG_COP& jig);

// Copies the loops into the record (hidden edge flags stored as 0), writes
// its block at `base` and its INSERT at (0, 0, base) on `insertLayer`, the
// INSERT's name in `insert`. The record's layers must be made. False, and
// nothing written, when the block was not made.
bool WriteSlabInsert(CFALDA& record, const ContourNode* loops, double base, const std::string& insertLayer,
                     ads_name insert);
// Hatches the record's loops on the hatch layer that `layer` and `kind`
// give, the hatch raised to the top face (thickness / cos(slope)).
void HatchSlabLoops(const CFALDA& record, const std::string& layer, double angle, double scale,
                    const std::string& pattern, int kind);
// The name handed to the hatch service for a slab on `name` of that kind:
// the name itself, or for a slab following its floor the level layer of
// the hatch layer the kind gives.
std::string SlabHatchLayer(const std::string& name, int kind, bool linked, double elevation);

// The slab block writer: a CFALDA becomes an anonymous block of 3DFACEs
// (side faces along every loop edge, bottom and top faces from the ear
// clipping of the bridged ring) and, when asked, the plan outline as LINEs;
// the slab xdata for the INSERT comes back. Also the names of the slab's
// face layers, and the rewrite of an existing slab INSERT after an edit.
#pragma once

#include <string>

#include "core/geometry/triangulate.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "roofs/slab_record.h"

// Writes the block of the record and returns the slab xdata (from the -3
// marker on), the block's name in `blockName`; consumes the ring (the
// outline with its openings bridged, Part of the record's loops). Null, and
// no block, when the user broke off.
resbuf* MakeSlabBlock(CFALDA& record, std::string& blockName, RingNode* ring, double baseElevation);
// Writes the block again from the record's loops (or copies of newLoops,
// whose negative edge flags are set to 0 first) and points the INSERT at
// it; false, and the INSERT as it was, when the block was not made.
bool RewriteSlab(CFALDA& record, const ads_name insert, double baseElevation, ContourNode* newLoops);
// Hatches the record's loops with its hatch's pattern, scale, angle and
// layer on the top face, and makes the record name the new hatch (kind 0
// when none was made).
void HatchSlabAgain(CFALDA& record, int kind);
// The loops as the hatch service takes a contour (a new list the caller
// frees), every edge drawn.
FaceRecord* LoopsAsHatchContour(const ContourNode* loops);
// Fill the record's four layer names from its name and make the layers.
void MakeSlabLayerName(CFALDA& record);
void Make2DSlabLayerName(CFALDA& record);

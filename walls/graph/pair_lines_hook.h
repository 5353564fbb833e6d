// The one door from the face graph to the pairing of rectangle-wall lines,
// which belongs to the wall-recognition set built above the graph. Its
// registration sets the hook; a pairing asked while it is unset stops the
// module (`VELM_ASSERT`).
#pragma once

#include <functional>

class DEFMURI;
struct FaceEdge;

// Consumes what it pairs from the pending list (FaceEdge** in, out).
using PairWallLinesHook = std::function<void(DEFMURI& set, FaceEdge** pending)>;

void SetPairWallLinesHook(PairWallLinesHook hook);
void PairWallLines(DEFMURI& set, FaceEdge** pending);

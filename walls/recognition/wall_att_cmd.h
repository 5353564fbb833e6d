// "VELMWALLATT": marks the external side of walls on their face lines, one
// face at a time, or a whole outer perimeter ("Obwód"), or clears every mark
// of the floor ("Usuń"). The marked faces show in colour 8 while the prompt
// waits.
#pragma once

#include <string>

#include "host/util/adscodes.h"

class CFACCIATE;

// One wall line of `type` of the current floor, with the caller's keywords
// (space-separated, in; the keyword typed, out): 1 picked (entity set), 0
// the object is no such line, -1 a keyword, below -1 cancel or error.
int PickWallLine(const std::string& type, const std::string& prompt, std::string& keywords, ads_name entity);
// The answer of PickLinesAndArcs in PickWallLine's terms.
int WallLineResult(int pickResult);
// One prompt of the command over the graph; the first pick's result.
int PickExternalSide(CFACCIATE* graph);
// "VELMWALLATT"
void CmdWallAtt();

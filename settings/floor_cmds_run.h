// The floor commands as the user runs them: their prompts, messages and
// answers, over the engines of floor_cmds.h and the floor services.
//
// Four of them (VELMCFLOOR, VELMFLOOROFF, VELMFLOORSEL, VELMFLOORTRANS)
// refuse to run while levels are switched off. A cancelled answer to any
// question ends a command without change.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/db/dbmain.h"

// Height and edge mode of the floor within the shared length tolerance of z;
// 275 x SFTMTCM and 0 when there is none.
double GetFloorHeightAt(double z);
int GetFloorIntAt(double z);

// Copy modes of CopyToFloor.
enum : int { kFloorMove = 0, kFloorCopy = 1, kFloorAsk = 2 };

// Moves or copies a selection, or a whole floor (`wholeFloor`, the source
// given by its elevation and its text as layer names write it), to the
// target floor; with kFloorAsk the target and the mode are asked.
void CopyToFloor(int copyMode, bool wholeFloor, double source, double target, const std::string& sourceText,
                 const std::vector<ZcDbObjectId>* selection);

// A floor among those met in layer names: 1 with its text and elevation, 0
// when there is none or the choice was cancelled.
int ChooseFloor(std::string& text, double& elevation);

void CmdAssignZ();        // VELMASSIGNZ
void CmdMoveZ();          // VELMMOVEZ
void CmdCurrentFloor();   // VELMCFLOOR
void CmdFloorOff();       // VELMFLOOROFF
void CmdFloorSelect();    // VELMFLOORSEL
void CmdFloorTransfer();  // VELMFLOORTRANS
void CmdViewportScale();  // VELMVPSCALE

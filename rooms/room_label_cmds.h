// The commands on existing room labels: VELMMODTAG edits a label's user
// fields, VELMREINDEXROOM renumbers the rooms of one card in pick order,
// VELMSHOWTAGFIX redraws every label with or without its fixed values
// standing out, and VELMINFOUNIT shows the measured data of a room
// without writing anything.
#pragma once

void VelmModTag();
void VelmReindexRoom();
void VelmShowTagFix();
void VelmInfoUnit();

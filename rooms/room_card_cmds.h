// The room card commands: redraw a card, write its total, rename it.
#pragma once

#include "host/util/adscodes.h"

void VelmEditTab();
void VelmTotTab();
void VelmCNameTab();

// Makes a card again at its point, rotation, template, name and number at
// level `level`, then its total row; a card that cannot be made again is
// restored. True when it was made anew.
bool RebuildRoomCard(const ads_name card, double level);

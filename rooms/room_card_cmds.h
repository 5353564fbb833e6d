// The room card commands: redraw a card, write its total, rename it.
#pragma once

void VelmEditTab();
void VelmTotTab();
void VelmCNameTab();

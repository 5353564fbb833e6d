// The schedule commands: start numbers of opening marks, renumbering,
// building or refreshing a schedule, its total, and the CSV extract.
#pragma once

void VelmWAbc();
void VelmDAbc();
void VelmAbc();
void VelmReindexAbc();
void VelmTotAbc();
void VelmXAbc();

// The schedule commands: start numbers of opening marks, renumbering,
// building or refreshing a schedule, its total, and the CSV extract.
#pragma once

#include "host/util/adscodes.h"

void VelmWAbc();
void VelmDAbc();
void VelmAbc();
void VelmReindexAbc();
void VelmTotAbc();
void VelmXAbc();

// Places a schedule table again at its point with its values, at the
// current scale factors, and writes its rows anew; when the table cannot be
// placed again the old one stays with its rows. True when rebuilt.
bool RebuildSchedule(const ads_name table);

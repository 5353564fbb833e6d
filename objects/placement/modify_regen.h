// Rebuilding a placed object from what it carries: its block is drawn
// anew from the stored parameters and records, the INSERT keeps its handle,
// position and xdata and only shows the new block.
#pragma once

#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"

// `valuePair`: null or two reals replacing X (mode 0), Y (mode 1) or both
// (mode 2) of the stored value pair. `typeFilter`: null or "*" for every
// object, else the opening type word ("WINDOWS", "DOORS") the object's
// schedule record must carry. `values`: null or five reals for variables
// 10001 to 10005. Objects of the temporary definition, of insertion types
// 22 and 24, and objects whose drawing fails are left as they are.
void RegenParamObject(const ads_name object, const AAR_LAYERC& layers, const double* valuePair,
                      int valuePairMode, const char* typeFilter, const double* values);

// Rebuilding a placed object from what it carries: its block is drawn
// anew from the stored parameters and records, the INSERT keeps its handle,
// position and xdata and only shows the new block.
#pragma once

#include <cstdint>
#include <string>

#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"
#include "objects/language/obj_context.h"

// `valuePair`: null or two reals replacing X (mode 0), Y (mode 1) or both
// (mode 2) of the stored value pair. `typeFilter`: null or "*" for every
// object, else the opening type word ("WINDOWS", "DOORS") the object's
// schedule record must carry. `values`: null or five reals for variables
// 10001 to 10005. Objects of the temporary definition, of insertion types
// 22 and 24, and objects whose drawing fails are left as they are.
void RegenParamObject(const ads_name object, const AAR_LAYERC& layers, const double* valuePair,
                      int valuePairMode, const char* typeFilter, const double* values);

// The work record of modify and replace: the insertion type the objects
// must have (0 takes the first object's), whether the set name is taken,
// the value mapping, and the opening value read back.
struct ObjParamRecord {
    InsertionType insertionType = InsertionType::None;
    std::uint8_t takeSetName = 0;
    std::string setName;
    ObjVarList entries;
    double openingValue = 0.0;
};

// Reads a placed object back into the context: its record, position,
// layer substitutions, flags and per-type values. 1; -1 without the
// record, with `checkName` for another definition, or for another
// insertion type than the record's (14 and 15 count as one).
int LoadObjectParametriXData(ObjContext& context, const ads_name object, ObjParamRecord& record,
                             bool checkName);
// The parameter dialog on a placed object, then the changed values applied
// to it, to selected objects or to every object of its definition, each
// rebuilt on its host. An object that cannot be placed again comes back as
// it was, with its walls cut.
void ModifyParamObjects(ObjContext& context, const ads_name object);
// The placement of `from`'s object moved into `to` for its replacement.
void CopyPlacementForReplace(ObjContext& to, ObjContext& from, const ads_name object);
// Selected objects replaced by the context's definition (same insertion
// type; 14 and 15 count as one), their values mapped in the substitution
// dialog. An object that cannot be placed again comes back as it was.
void ReplaceParamObjects(ObjContext& context);
// An object whose placing again failed, after its re-placement erased it:
// brought back and its walls or slab cut again around it.
void RestoreFailedPlacement(const ObjContext& context, const ads_name object);
// VELMMODIFY
void CmdModify();

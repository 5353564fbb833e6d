// Parameters of placed objects changed in bulk, without each object's
// parameter dialog: values copied from one object to others and the
// objects placed again, the lighting deductions of openings written into
// their records, the plan representation of slab-cut objects switched, and
// labels numbered in the order they are picked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "objects/language/obj_var.h"

// The parameters offered for copying, as the choice dialog lists them.
struct ParamRecord {
    std::uint8_t flag = 0;
    std::string name;
    std::int32_t number = 0;
    ObjVarList vars;
    double value = 0.0;
};
void InitParamRecord(ParamRecord& record);
void FreeParamRecordValues(ParamRecord& record);

// The lighting deduction dialog, which belongs to the rooms: shown with the
// top and floor texts, true on OK with the texts as the user left them.
// While it is unset the deduction command changes nothing.
using LightDeductionDialogHook = std::function<bool(std::string& top, std::string& floor)>;
void SetLightDeductionDialogHook(LightDeductionDialogHook hook);

// VELMPARAMAPPLY
void CmdParamApply();
// VELMLIGHTDEDUCTION
void CmdLightDeduction();
// VELM2DSTAIR
void Cmd2DStair();
// VELMREINDEXLABEL
void CmdReindexLabel();

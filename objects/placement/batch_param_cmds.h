// Parameters of placed objects changed in bulk, without each object's
// parameter dialog: values copied from one object to others and the
// objects placed again, the plan representation of slab-cut objects
// switched, and labels numbered in the order they are picked. (The lighting
// deductions of openings, whose dialog is the rooms', are
// `rooms/light_deduction_cmd.h`.)
#pragma once

#include <cstdint>
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

// VELMPARAMAPPLY
void CmdParamApply();
// VELM2DSTAIR
void Cmd2DStair();
// VELMREINDEXLABEL
void CmdReindexLabel();

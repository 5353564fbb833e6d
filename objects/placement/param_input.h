// Parameter input: the values of an object's parameters from a named set,
// from one prompt per parameter, from the parameter dialog, from picked
// distances or from a placed object of the same definition; the writer of
// the TYPO section; the readers of a placed object's special-parameter and
// handrail records.
#pragma once

#include <string_view>

#include "host/util/resbuf.h"
#include "objects/language/obj_context.h"

// 1 when values were given; negative on cancel or an unknown set name.
int ChooseParameterSet(ObjContext& context);
// 1 when the set (letter case ignored) was applied, 0 when there is none
// or it names an undeclared variable.
int ApplyParameterSet(ObjContext& context, std::string_view setName);
// 1 value taken or kept, 2 taken by a pick or "." that ends the asking,
// negative on cancel or error.
int PromptVariableValue(ObjVar& var, ObjContext& context);
bool PromptVariableByName(int number, ObjContext& context);
// The parameter dialog until a button that places or applies: -1 cancel,
// 0 place (modify: host picked again), 3 apply to selected objects, 4 to
// every object, 5 place keeping the position. Mode 0 inserts, 1 modifies.
int EditObjectParametersDialog(int mode, ObjContext& context);
// Two points; the variable takes their distance along axis 0, 1, 2 (X, Y, Z).
bool PickDistance(ObjVar& var, int axis);
bool PickSameParamObject(ObjContext& context);
void ReadParaSpecFromObject(ObjContext& context, const ads_name object);
int ReadHandrailXData(ObjContext& context, const ads_name entity);
// The parameter-set editor on the context's definition; on "Zapisz" or
// "Wstaw obiekt" the TYPO section of the loaded text is rewritten (the file
// itself is written when the context is freed) and the result is 1; 0 when
// the definition cannot be read or the dialog was cancelled.
int SaveParameterSets(ObjContext& context);

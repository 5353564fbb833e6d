// Statement arguments and layers, shared by the drawing statements and the
// geometry and data sections: bracketed arguments read from the definition
// text (over several lines; "%" takes the next character literally), value
// items ("$n" or a number), points with an optional kind, the generation
// flag of a statement, the statement's layer (variable layers, level
// prefixes, layer groups, 2D/3D rules, made when missing), layer
// substitution and the text-style lookups.
//
// Arguments of any length are read whole.
#pragma once

#include <string>
#include <string_view>

#include "core/layer_catalogue.h"
#include "objects/language/obj_context.h"
#include "store/velm_gengruppo.h"

// 5100 and the argument between the next "(" and its ")"; -1 when the
// text ends first.
int ReadParenArg(std::string& out, ObjText& text);
// A statement's argument: as ReadParenArg, but only blanks, line ends and
// ";" comments may stand before its "(". A word there belongs to the next
// statement (a line of this one is missing) and a bracket that does not
// close runs to the end of the text: either is named once as the
// definition's fault, and -1.
int ReadStatementArg(std::string& out, ObjText& text);
// The same after a "+" (sign 1) or "-" (sign 0).
int ReadSignedParenArg(int& sign, std::string& out, ObjText& text);
// "$n" or a number at the start of `text`: 1, or -1 (an undeclared
// variable with its message).
int ReadNumOrVar(std::string_view text, bool whole, int& wholeValue, double& realValue,
                 const ObjVarList& vars);
// The same with the context's variables (FindContextVar).
int ReadNumOrVar(std::string_view text, bool whole, int& wholeValue, double& realValue,
                 const ObjContext& context);
// Up to three values into `values` (the others left as given); the
// position where reading stopped. `failed` is set for an undeclared
// variable.
std::size_t EvalParamLine(std::string_view arg, double values[3], const ObjContext& context,
                          bool* failed = nullptr);
// A point (components not given keep their value) and a kind: 1 a kind
// was read, 0 none, -1 an undeclared variable.
int EvalPointLine(std::string_view arg, double point[3], int& kind, const ObjContext& context);

// The generation flag of the statement at the cursor (non-zero: draw).
int CheckGenerationFlag(ObjContext& context);

// Resolves a statement's layer in `layer`; true when it is to be drawn.
bool PrepareStatementLayer(bool checkGroups, std::string& layer, ObjContext* context,
                           const AAR_LAYERC& catalogue, bool useLevel, double elevation);
// Makes a layer by name alone, quietly (REGENMODE and CMDECHO off for the
// host's layer command); its catalogue attributes are applied later.
void MakeBareLayer(const std::string& name);
bool LayerInGroups(const VELM_GENGRUPPO& groups, const std::string& layer);
void SubstituteLayer(const std::vector<LayerSubstitution>& substitutions, std::string& layer);

// Group 50 and group 41 of the text style; 0.0 and 1.0 when it is missing.
double GetStyleObliqueAngle(const std::string& style);
double GetStyleWidthFactor(const std::string& style);

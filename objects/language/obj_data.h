// The data sections of a definition: named parameter sets (TYPO), bill of
// quantities entries (COM), the variables copied into the schedule record
// (TABELLE) and the handrail data a stair hands to the handrails placed on
// it (DCHANDSTAIR, DCHANDRAIL).
#pragma once

#include <string>
#include <string_view>

#include "objects/language/obj_context.h"

// 1 read or no section; -1 with its message (the sets read before the
// faulty one stay).
int ReadTypoSection(ObjContext& context);
// 1, or -1 without a message. Entries at the head of the list.
int ReadComSection(ObjContext& context);
// The line with each "$n" replaced by its value; a variable holding a text
// makes the whole result "*" and that text. 0 for an undeclared variable.
int SubstComLine(std::string_view line, std::string& out, const ObjContext& context);
// 1, or -1 without a message; undeclared variables are warned about and
// still listed, at the head.
int ReadTabelleSection(ObjContext& context);
// 1 or -1; records at the head (front) of the handrail list.
int ReadHandStairSection(ObjContext& context);
// Defines five variables from the head handrail record and takes its
// rotation and insertion point: 1, or 0 without a record or on a bad line.
int ReadHandRailSection(ObjContext& context);

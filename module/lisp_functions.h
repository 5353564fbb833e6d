// The module's LISP functions: "c:ddlcolor", "velmsetvar" and "velmgetvar",
// defined with the host at each drawing load under their table index as
// function code, and dispatched when the host calls one (entry message 5):
// each call runs inside one "_UNDO" group with command echo off.
#pragma once

#include <span>

// A LISP server: reads its arguments from the host, hands its value back
// and returns RTNORM or RTERROR.
using LispServer = int (*)();

struct LispFunctionEntry {
    const char* name;
    LispServer serve;
};

// The three rows in code order.
std::span<const LispFunctionEntry> LispFunctionTable();

// Defines the functions in table order; on the first refusal prints
// "\nNie można zdefiniować %s" with its name and stops. True when all are
// defined.
bool DefineLispFunctions();
void UndefineLispFunctions();

// Serves the host's current LISP call. A code outside the table runs
// nothing. Returns the server's status (RTNORM when nothing ran).
int DispatchLispFunction();

// The user's render settings, kept outside any drawing as text values under
// HKEY_CURRENT_USER\Software\VelSoftware\Variabili: the texture preview
// folder, ambient light, sky and background colours, brightness, grey
// threshold, the no-lights switch and the radiosity quality. Every value is
// stored as REG_SZ text (integers "%d", reals "%f"); an absent key or value,
// a value too long for the 260-byte buffer, or text that does not parse
// leaves the default of the value's name.
#pragma once

#include <string>

#include "host/win/winbase.h"

inline constexpr const char* kRenderSettingsKey = "Software\\VelSoftware\\Variabili";

// Sets each given output to the default of `name` (names compared ignoring
// case; an unknown name has none), then overwrites them from the stored text
// when it is there: the text as it is, the real as "%lf", the integer as
// "%d" reads it.
void ReadRegistryVariables(const char* name, int* integer, double* real, std::string* text);
// Stores an integer ("%d") when given, else a real ("%f"), else the text;
// creates the key when missing. Returns the registry status (0 on success);
// a value not stored is said on the command line, with the registry's file,
// and fails the running command.
LONG WriteRegistryVariable(const char* name, const int* integer, const double* real, const char* text);

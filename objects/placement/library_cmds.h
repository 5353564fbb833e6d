// The library's commands that start an insertion or edit the library's
// settings: a definition is named by typing its name, picking a placed
// object of it or choosing its file, and placed through the insertion run.
#pragma once

#include <string>

#include "host/util/adscodes.h"

// The definition name of a placed object: the preset object's when it
// carries the object record, else of an object picked at `prompt`. 1 with
// the name; 0 on cancel, error, or a record without a name.
int GetParamObjectFile(const char* prompt, std::string& name, const ads_name preset);
// "." picks a placed object (GetParamObjectFile). Otherwise a name typed
// with a folder or an extension is reduced to the bare name when that name
// is found as a definition file; else it stays as typed. 1, or 0 when the
// pick gives nothing.
int SelectObjectFile(const char* prompt, std::string& name, const ads_name preset);

// VELMOBJECT
void CmdObject();
// VELMOBJECTREP
void CmdObjectReplace();
// VELMSUBSTF
void CmdSubstituteFile();
// VELMOBJECTF
void CmdObjectFile();
// VELMTIPOF: the parameter sets edited, then an object placed with the
// chosen one.
void CmdEditParameterSets();
// CMD_ADD_S: rows, columns, one definition name per slide and a title
// from the command line, then the slide menu and the chosen action; Enter
// at the first prompt places the last definition used.
void CmdSlideMenu();
// VELMCOPYOBJ
void CmdCopyObject();
// VELMLIBRARY
void CmdLibrary();
// VELMGGROUP
void CmdLayerGroups();

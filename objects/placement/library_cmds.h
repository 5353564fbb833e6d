// The library's commands that start an insertion: the definition is named
// at the command line and placed through the insertion run.
#pragma once

// VELMOBJECT
void CmdObject();

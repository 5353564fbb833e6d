// What the object library remembers for the run and nothing keeps beyond
// it: where the parameter dialog was last shown, and the block and symbol
// names the user typed with their folders (a name the user typed is the
// user's own; the same text read from a drawing is not, see
// objects/drafting/symbol_insert.h). One value for the library, forgotten
// when the module unloads, so a new run (and each test) starts empty.
#pragma once

#include <set>
#include <string>

#include "host/ui/uibase.h"

struct ObjectsRunMemory {
    WINDOWPLACEMENT parameterDialog{};
    bool parameterDialogShown = false;
    std::set<std::string> typedBlockNames;
};

ObjectsRunMemory& RunMemory();
// Back to empty (the module is unloaded).
void ForgetRunMemory();

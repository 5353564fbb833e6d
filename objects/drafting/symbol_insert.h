// Symbols and blocks inserted from drawing files through the host's
// "_-INSERT": the name and layer remembered in the drawing's settings, the
// layer made from the layer catalogue (a "=" name follows the floor when
// the settings say so), the attributes filled from the symbol list file or
// in the host's dialog. "VELMINS" marks the symbol with its scale;
// "VELMINB" inserts a plain block and asks whether it has attributes.
// A name typed at either command's name prompt is remembered for the run
// (objects/dialogs/run_memory.h): Enter offers such a name whole, folder
// and all, while a name the drawing brought is offered by its file name
// alone.
#pragma once

#include <array>
#include <string>

// The three attribute values of `symbol` in the list file at `path` (lines
// "name value1|value2|value3", the name compared without regard to case):
// (symbol, "-", "1") when the file holds no such line.
std::array<std::string, 3> SymbolAttributeValues(const std::string& path, const std::string& symbol);

// "VELMINS"
void CmdInsertSymbol();
// "VELMINB"
void CmdInsertBlock();

// What the layers below the command line have to tell the user: a support
// file refused by the search or a pattern file that could not be read. They
// cannot print (the command line is above them, and the drawing's writers
// ask from several threads), so each says it here, once per text, and the
// command processor prints what was said when the command ends (a save
// outside any command, when the save ends).
#pragma once

#include <string>
#include <vector>

namespace host {

// Keeps a note for the command line; a note already waiting is not kept twice.
void noteForCommandLine(std::string text);
// The notes waiting, in the order they were made; none wait afterwards.
std::vector<std::string> takeNotesForCommandLine();

}  // namespace host

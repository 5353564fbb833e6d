// The help command VELMHELP: finds "velmor.chm" on the support path and
// starts the help viewer on it without waiting.
#pragma once

#include <optional>
#include <string>

// The command line that starts the viewer on a help file.
std::string HelpCommandLine(const std::string& helpPath);

// "velmor.chm" in the support folders but the drawing's own.
std::optional<std::string> FindHelpFile();
// The command handler.
void CmdVelmHelp();

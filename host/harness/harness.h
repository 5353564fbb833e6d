// What only the host program's script driver and the tests use: the one
// reset, the script lines of the host program, and access to what the
// headless host records (the command-line transcript, dialog drivers and
// the dialogs, message boxes and menus shown, started processes, temporary
// graphics, the status bar's log, objects commands left open). Module code
// never includes this header (tools/check_layers.py refuses it outside
// host/, app/, tests/, bench/ and fuzz/); it talks to the platform through
// the platform's own calls: zcedGetVar/zcedSetVar, zcedCommand/zcedCmd,
// sendStringToExecute, AfxMessageBox.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/ads/transcript.h"
#include "host/ed/cmdproc.h"
#include "host/ed/grdraw.h"
#include "host/ed/statusbar.h"
#include "host/ui/driver.h"
#include "host/ui/msgbox.h"
#include "host/win/process.h"

namespace host {

// Every piece of host state back to how a new process finds it: documents
// closed (none open: resetEditorSession opens a new one), the start-up
// wiring undone (startHost puts it back), the command processor, input
// queues, prompts, selections, system variables, LISP functions, status
// bar, transcript, temporary graphics, dialog drivers, queued answers and
// records, the script directives and their counts. Registered classes,
// commands, resources and reactors stay with their owners, who remove them
// when they unload.
void resetAll();

// ----------------------------------------------- script lines of the host program
//
// "!drawing NAME" makes an open drawing current (the rest of the script
// goes with it); "!dialog ID action…" and "!msgbox ANSWER" answer the next
// dialog or message box; "!expect …" checks the drawing:
//   !expect count FILTER… N   entities of the drawing matching every
//                             CODE=VALUE pair (0 the kind, 8 the layer …)
//   !expect var NAME VALUE    a system variable
//   !expect setting NAME VALUE  a settings variable, through the lookup
//                             installed with setSettingLookup
//   !expect message TEXT      the last message contains TEXT
// A failed expectation prints why and is counted.
void installScriptDirectives();
int expectationFailures();
// The "!expect" lines met so far (failed or not).
int expectationsChecked();
void resetExpectationFailures();
// At the end of a script: each "!dialog" or "!msgbox" answer still queued
// is printed ("\nNieużyta odpowiedź: !dialog 203") and counted; a script
// whose dialog never opened has failed.
int reportUnusedAnswers();
// The module's settings variables by name, as text (nullopt: unknown).
void setSettingLookup(std::function<std::optional<std::string>(const std::string& name)> lookup);
// Entities of the current drawing (model and paper space) matching a
// filter "0=LINE 8=MURI" (an "X" selection); nullopt with a reason for a
// filter that does not parse.
std::optional<int> countMatching(const std::string& filter, std::string* error = nullptr);

}  // namespace host

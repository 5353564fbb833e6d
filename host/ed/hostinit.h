// Start-up wiring of the host: the one place the host program and the test
// fixture call before anything else. It makes every new document its own
// database (a drawing read from a DXF file, or the standard contents of a
// new one) with the drawing variables stored next to it, registers the
// editor services in the system registry, sends the loaded modules their
// LISP (5) and document (3 opened, 4 closed) messages, and keeps the list
// of support folders.
// Limits: one host per process; calling startHost again replaces the
// support folders and puts the hooks back (services are registered once).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class ZcApDocument;

namespace host {

struct HostOptions {
    std::vector<std::string> supportDirs;  // --support folders, searched first
    std::string programDir;                // its support/ and support/host/ follow
};

void startHost(const HostOptions& options = {});
// Undoes startHost: the hooks and options go, documents keep their
// databases (the reset closes them first).
void stopHost();

// Folders searched for support files: the --support folders, the program's
// support/ and support/host/, then the current drawing's folder. Only
// folders that exist are listed.
std::vector<std::string> supportPath();

// Opens a drawing as a new current document: read from `path` when the
// file exists (refused with `error` and no document when it is malformed),
// a new drawing of that name otherwise. Skipped kinds are noted on the
// command line.
ZcApDocument* openDrawing(const std::string& path, std::string* error);
// Saves the document's database and drawing variables as DXF.
bool saveDrawing(ZcApDocument* doc, const std::string& path, std::string* error);

// ----------------------------------------------- script lines of the host program
//
// "!drawing NAME" makes an open drawing current (the rest of the script
// goes with it); "!dialog ID action…" and "!msgbox ANSWER" answer the next
// dialog or message box; "!expect …" checks the drawing:
//   !expect count FILTER… N   entities of the drawing matching every
//                             CODE=VALUE pair (0 the kind, 8 the layer …)
//   !expect var NAME VALUE    a system variable
//   !expect setting NAME VALUE  a settings variable, through the lookup the
//                             module installs
//   !expect message TEXT      the last message contains TEXT
// A failed expectation prints why and is counted.
void installScriptDirectives();
int expectationFailures();
void resetExpectationFailures();
// The module's settings variables by name, as text (nullopt: unknown).
void setSettingLookup(std::function<std::optional<std::string>(const std::string& name)> lookup);
// Entities of the current drawing (model and paper space) matching a
// filter "0=LINE 8=MURI" (an "X" selection); nullopt with a reason for a
// filter that does not parse.
std::optional<int> countMatching(const std::string& filter, std::string* error = nullptr);

}  // namespace host

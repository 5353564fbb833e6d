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

#include "host/util/findfile.h"
#include "host/win/read_file.h"

class ZcApDocument;

namespace host {

struct HostOptions {
    std::vector<std::string> supportDirs;  // --support folders, searched first
    std::string programDir;                // its support/, support/host/, support/tab/ follow
};

void startHost(const HostOptions& options = {});
// Undoes startHost: the hooks and options go, documents keep their
// databases (the reset closes them first).
void stopHost();

// Folders searched for support files: the --support folders, the user's
// data folder (host::userDataFolder) and its tab/, the program's support/,
// support/host/ and support/tab/ (the source tree's support/ when the
// program has none beside it at start, as in a build tree), then the current
// drawing's folder. Only folders that exist are listed. With a program
// folder, startHost seeds the user's data folder from the shipped support/
// (every file it lacks, but the host's own support/host/ and the picture
// libraries "*.dll"), so what the module writes beside the files it found
// goes there, and the shipped folder is only read: startHost makes it a
// protected folder (host::setProtectedFolders), and says on stderr when
// the user's data folder cannot be made or written.
std::vector<std::string> supportPath();
// The same folders, whether there or not, shared while the list stays as
// it is (see setSharedSupportPathProvider).
SharedFolders sharedSupportPath();

// Opens a drawing as a new current document: read from `path` when the
// file exists (refused with `error` and no document when it is malformed),
// a new drawing of that name otherwise. Skipped kinds are noted on the
// command line. A drawing the user named on the program's command line is
// the user's (read_file.h): a pipe is read too.
ZcApDocument* openDrawing(const std::string& path, std::string* error,
                          FileOrigin origin = FileOrigin::Foreign);
// Saves the document's database and drawing variables as DXF.
bool saveDrawing(ZcApDocument* doc, const std::string& path, std::string* error);
// The file the last successful saveDrawing wrote since start-up, empty
// when none did: the host program says at its end whether it saved.
const std::string& lastSavedPath();

}  // namespace host

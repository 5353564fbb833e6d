// VELMHELP. The command line is a dynamic string, so a help file at any
// depth of folders fits; the viewer gets a writable copy, as process start
// may edit the line in place. The help file is looked for in the support
// folders the program and the user have, never in the drawing's folder,
// the last of the support path: a file there came with the drawing, and
// the viewer would be run on it.
#include "core/help_cmd.h"

#include <vector>

#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/win/process.h"
#include "host/win/replace_file.h"

namespace {

constexpr const char* kHelpFile = "velmor.chm";
constexpr const char* kHelpViewer = "HH.EXE ";
// A folder as one full path, to tell whether two names are one folder.
std::string FolderKey(const std::string& folder) {
    std::string full = host::absolutePath(folder.empty() ? "." : folder);
    for (;;) {
        if (full.size() > 1 && full.back() == '/')
            full.pop_back();
        else if (full.size() > 2 && full.ends_with("/."))
            full.resize(full.size() - 2);
        else
            return full;
    }
}

}  // namespace

std::optional<std::string> FindHelpFile() {
    const std::string drawing = FolderKey(host::sysVarString("DWGPREFIX"));
    for (const std::string& folder : host::supportFolders()) {
        const std::string key = FolderKey(folder);
        if (folder.empty() || key == drawing) continue;
        // A full name is looked up in that folder alone, whatever its case.
        if (std::optional<std::string> found = host::findOnSupportPath(key + "/" + kHelpFile)) return found;
    }
    return std::nullopt;
}

std::string HelpCommandLine(const std::string& helpPath) {
    return kHelpViewer + helpPath;
}

void CmdVelmHelp() {
    const std::optional<std::string> found = FindHelpFile();
    if (!found) {
        zcutPrintf("\nNie znaleziono pliku pomocy (Velmor.chm)");
        return;
    }
    std::string line = HelpCommandLine(*found);
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &info)) {
        zcutPrintf("%s ERROR:%ld", line.c_str(), static_cast<long>(GetLastError()));
        return;
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

// VELMHELP. The command line is a dynamic string, so a help file at any
// depth of folders fits; the viewer gets a writable copy, as process start
// may edit the line in place.
#include "core/help_cmd.h"

#include <vector>

#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/win/process.h"

namespace {

constexpr const char* kHelpFile = "velmor.chm";
constexpr const char* kHelpViewer = "HH.EXE ";
// Long enough for any path the host's file search hands back.
constexpr std::size_t kFoundPathSize = 4096;

}  // namespace

std::string HelpCommandLine(const std::string& helpPath) {
    return kHelpViewer + helpPath;
}

void CmdVelmHelp() {
    std::vector<char> found(kFoundPathSize, '\0');
    if (zcedFindFile(kHelpFile, found.data(), found.size()) != RTNORM) {
        zcutPrintf("\nNie znaleziono pliku pomocy (Velmor.chm)");
        return;
    }
    std::string line = HelpCommandLine(found.data());
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

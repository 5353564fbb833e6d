// Where the module's support files are found: the host's support path.
#include "core/support_files.h"
#include "host/ads/cmdline.h"
#include "host/util/findfile.h"
#include "host/util/notes.h"

std::optional<std::string> FindSupportFile(std::string_view name) {
    if (name.empty()) return std::nullopt;
    std::optional<std::string> found = host::findOnSupportPath(std::string(name));
    ReportRefusedSupportFiles();
    return found;
}

void ReportRefusedSupportFiles() {
    for (const std::string& note : host::takeNotesForCommandLine()) zcutPrintf("\n%s", note.c_str());
}

bool CheckDrawingFileName(std::string_view name, std::string_view record) {
    if (host::isPlainFileName(name)) return true;
    const std::string shown(name), from(record);
    zcutPrintf("\n%s: nazwa pliku \"%s\" nie może wskazywać folderu; odrzucono.", from.c_str(),
               shown.c_str());
    return false;
}

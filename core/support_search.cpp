// Where the module's support files are found.
#include "core/support_files.h"

// Interim: the host's support-file search is not reachable yet, so nothing
// is found and every caller takes its "not found" path.
std::optional<std::string> FindSupportFile(std::string_view) { return std::nullopt; }

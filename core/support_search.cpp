// Where the module's support files are found: the host's support path.
#include "core/support_files.h"
#include "host/util/findfile.h"

std::optional<std::string> FindSupportFile(std::string_view name) {
    if (name.empty()) return std::nullopt;
    return host::findOnSupportPath(std::string(name));
}

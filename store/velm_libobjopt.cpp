// The library-folder record.
#include "store/velm_libobjopt.h"

#include "store/settings_text.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_LIBOBJOPT)

bool VELM_LIBOBJOPT::AddFolderOnce(const std::string& folder) {
    if (ContainsIgnoringCase(entries, folder)) return false;
    entries.push_back(folder);
    return true;
}

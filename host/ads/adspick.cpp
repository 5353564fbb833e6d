// Picks, interactive selection and object snaps.
#include "host/ads/ssget.h"

namespace host {

// Interactive selection comes with the picks; until then it selects nothing.
int interactiveSelect(const char* mode, const void* pt1, const SelectionFilter& filter,
                      std::vector<ZcDbObjectId>& out) {
    (void)mode, (void)pt1, (void)filter, (void)out;
    return RTERROR;
}

}  // namespace host

// The wall-layer record.
#include "settings/store/velm_layermuri.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_LAYERMURI)

void VELM_LAYERMURI::Reset() {
    assertWriteEnabled();
    entries.clear();
    entries.emplace_back(kFirstLayer);
}

// The shadow-layer patterns.
#include "store/velm_layerombra.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_LAYEROMBRA)

void VELM_LAYEROMBRA::Reset() {
    assertWriteEnabled();
    entries.assign({"3dwindows_s*", "3drailing_*", "3dbalconies_*", "3d*_ha*"});
}

// VELM_LAYEROMBRA, the shadow-layer patterns of the view generation: a
// plain list of texts (velm_text_list.h), filed as DWG version 9.
//
// The record is a custom object of the drawing (its registration and filing
// members come from settings_dbfiler.h); a drawing keeps one in its
// dictionary "VELMOR_6", opened through settings_store.h. A copy holds the
// same settings and belongs to no drawing.
#pragma once

#include "store/velm_text_list.h"

class VELM_LAYEROMBRA : public VelmTextListRecord<VELM_LAYEROMBRA> {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LAYEROMBRA);
    VELM_LAYEROMBRA() = default;

    static constexpr const char* kClassName = "VELM_LAYEROMBRA";
    static constexpr short kFilingVersion = 9;

    void Reset();
};

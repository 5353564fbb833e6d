// VELM_LAYERMURI, the names of the 2D wall layers: a plain list of texts
// (velm_text_list.h), filed as DWG version 7, which always holds "2DWALLS"
// first and no two names equal ignoring case.
//
// The record is a custom object of the drawing; a drawing keeps one in its
// dictionary "VELMOR_6", opened through settings_store.h. A copy holds the
// same settings and belongs to no drawing.
#pragma once

#include <string>

#include "store/velm_text_list.h"

class VELM_LAYERMURI : public VelmTextListRecord<VELM_LAYERMURI, true> {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LAYERMURI);
    VELM_LAYERMURI() = default;

    static constexpr const char* kClassName = "VELM_LAYERMURI";
    static constexpr short kFilingVersion = 7;
    static constexpr const char* kFirstLayer = "2DWALLS";

    // `entries` is empty when constructed (as the host creates it to read it
    // back); a record made for a drawing is Reset.
    void Reset();

    // The DXF form read back; a record without its list, or with fewer texts
    // than it counts, is given the first wall layer and reported once.
    FilingStatus fileInDxf(SettingsDxfReader& r);

    // The entry equal, case ignored, to the layer's base name (the name
    // without "VELM" and its level); -1 when none.
    int IndexOfLayer(const std::string& layerName) const;

    // The 3D layer of the index-th wall layer: "3D" and the name without a
    // leading "2D" (either case); "3DWALLS" for an index out of range.
    std::string Get3DLayerName(int index) const;
};

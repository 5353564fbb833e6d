// VELM_GENGRUPPO, the layer-generation groups: patterns of layer groups
// the objects generate, and patterns of those they do not ("*" and none in
// a new record). Filing: DWG version 7, then 16-bit counts with their
// texts; DXF the subclass marker, 170 counts and 300 texts; an item of
// another code ends reading at once, and what follows keeps its contents.
//
// The record is a custom object of the drawing (its registration and filing
// members come from settings_dbfiler.h); a drawing keeps one in its
// dictionary "VELMOR_6", opened through settings_store.h. A copy holds the
// same settings and belongs to no drawing.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbobject.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"

class VELM_GENGRUPPO : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_GENGRUPPO);
    VELM_GENGRUPPO() = default;
    // A copy holds the same settings and is in no database.
    VELM_GENGRUPPO(const VELM_GENGRUPPO& o) : ZcDbObject() {
        generating = o.generating;
        nonGenerating = o.nonGenerating;
    }
    VELM_GENGRUPPO& operator=(const VELM_GENGRUPPO& o) {
        generating = o.generating;
        nonGenerating = o.nonGenerating;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_GENGRUPPO";
    static constexpr short kFilingVersion = 7;

    std::vector<std::string> generating;     // "Generuje warstwę"
    std::vector<std::string> nonGenerating;  // "Nie generuje warstwy"

    // The defaults of a record made for a drawing: generate everything.
    void Reset();
    // Whether the objects generate a layer group of this name: it matches
    // (both turned to capitals, host wildcards) a generating pattern and no
    // non-generating one.
    bool IsLayerGroupGenerated(const std::string& name) const;

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);
};

// Three small settings records of a drawing:
// - VELM_GENGRUPPO, the layer-generation groups: patterns of layer groups
//   the objects generate, and patterns of those they do not ("*" and none
//   in a new record);
// - VELM_LAYEROMBRA, the shadow-layer patterns of the view generation;
// - VELM_SPESSMURI, the five wall thicknesses last used, most recent first.
//
// Filing: DWG version (7, 9 for VELM_LAYEROMBRA), then 16-bit counts with
// their texts, or the five reals. DXF: the subclass marker, 170 counts, 300
// texts, 140 reals; an item of another code ends reading at once, and what
// follows it keeps its former contents.
//
// The records are custom objects of the drawing (their registration and
// filing members come from settings_dbfiler.h); a drawing keeps one of each
// in its dictionary "VELMOR_6", opened through settings_store.h. A copy of a
// record holds the same settings and belongs to no drawing.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/db/dbobject.h"
#include "settings/store/settings_dbfiler.h"
#include "settings/store/settings_filer.h"
#include "settings/store/velm_libobjopt.h"

class VELM_GENGRUPPO : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_GENGRUPPO);
    VELM_GENGRUPPO() = default;
    // A copy holds the same settings and is in no database.
    VELM_GENGRUPPO(const VELM_GENGRUPPO& o) : ZcDbObject() { generating = o.generating; nonGenerating = o.nonGenerating; }
    VELM_GENGRUPPO& operator=(const VELM_GENGRUPPO& o) {
        generating = o.generating; nonGenerating = o.nonGenerating;
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

class VELM_LAYEROMBRA : public VelmTextListRecord<VELM_LAYEROMBRA> {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LAYEROMBRA);
    VELM_LAYEROMBRA() = default;

    static constexpr const char* kClassName = "VELM_LAYEROMBRA";
    static constexpr short kFilingVersion = 9;

    void Reset();
};

class VELM_SPESSMURI : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_SPESSMURI);
    VELM_SPESSMURI() = default;
    // A copy holds the same settings and is in no database.
    VELM_SPESSMURI(const VELM_SPESSMURI& o) : ZcDbObject() { thicknesses = o.thicknesses; }
    VELM_SPESSMURI& operator=(const VELM_SPESSMURI& o) {
        thicknesses = o.thicknesses;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_SPESSMURI";
    static constexpr short kFilingVersion = 7;

    std::array<double, 5> thicknesses{30.0, 10.0, 15.0, 20.0, 40.0};

    void Reset();
    // Moves a confirmed thickness to the front: a value already there (the
    // last equal slot) swaps places with the first; a new one pushes the
    // others back and the fifth drops out.
    void UseThickness(double t);

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);
};

// VELM_SPESSMURI, the five wall thicknesses last used, most recent first.
// Filing: DWG version 7 and the five reals; DXF the subclass marker and
// 140 reals; an item of another code ends reading at once, and the
// thicknesses after it keep their former values.
//
// The record is a custom object of the drawing (its registration and filing
// members come from settings_dbfiler.h); a drawing keeps one in its
// dictionary "VELMOR_6", opened through settings_store.h. A copy holds the
// same settings and belongs to no drawing.
#pragma once

#include <array>

#include "host/db/dbobject.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"

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

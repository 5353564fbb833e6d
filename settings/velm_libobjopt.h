// Two small settings records of a drawing, each a plain list of texts:
// VELM_LIBOBJOPT, the library search folders of the object library, and
// VELM_LAYERMURI, the names of the 2D wall layers, which always holds
// "2DWALLS" first and no two names equal ignoring case.
//
// Filing: DWG version 7, a 16-bit count and the texts; DXF the subclass
// marker, a 170 count and one 300 item per entry. Lists are below 32768
// entries (the count is 16-bit).
//
// The records are custom objects of the drawing (their registration and
// filing members come from settings_dbfiler.h); a drawing keeps one of each
// in its dictionary "VELMOR_6", opened through settings_store.h. A copy of a
// record holds the same settings and belongs to no drawing.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbobject.h"
#include "settings/settings_dbfiler.h"
#include "settings/settings_filer.h"

class VELM_LIBOBJOPT : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LIBOBJOPT);
    VELM_LIBOBJOPT() = default;
    // A copy holds the same settings and is in no database.
    VELM_LIBOBJOPT(const VELM_LIBOBJOPT& o) : ZcDbObject() { entries = o.entries; }
    VELM_LIBOBJOPT& operator=(const VELM_LIBOBJOPT& o) {
        entries = o.entries;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_LIBOBJOPT";
    static constexpr short kFilingVersion = 7;

    // In search order; a new record has none.
    std::vector<std::string> entries;

    // Appends the folder unless one equal to it ignoring case is there;
    // true when it was appended.
    bool AddFolderOnce(const std::string& folder);

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);
};

class VELM_LAYERMURI : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LAYERMURI);
    VELM_LAYERMURI() = default;
    // A copy holds the same settings and is in no database.
    VELM_LAYERMURI(const VELM_LAYERMURI& o) : ZcDbObject() { entries = o.entries; }
    VELM_LAYERMURI& operator=(const VELM_LAYERMURI& o) {
        entries = o.entries;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_LAYERMURI";
    static constexpr short kFilingVersion = 7;
    static constexpr const char* kFirstLayer = "2DWALLS";

    // Empty when constructed (as the host creates it to read it back); a
    // record made for a drawing is Reset.
    std::vector<std::string> entries;

    void Reset();

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);
};

// The shared layouts of a versioned text list, also used by VELM_LAYEROMBRA.
FilingStatus WriteVersionedListDwg(short version, const std::vector<std::string>& list, SettingsDwgWriter& w);
FilingStatus ReadVersionedListDwg(std::vector<std::string>& list, SettingsDwgReader& r, bool wallLayers);
FilingStatus WriteMarkedListDxf(const char* className, const std::vector<std::string>& list, SettingsDxfWriter& w);
FilingStatus ReadMarkedListDxf(const char* className, std::vector<std::string>& list, SettingsDxfReader& r,
                               bool wallLayers);

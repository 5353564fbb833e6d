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

// The shared layouts of a versioned text list: a version and the list
// (DWG), the subclass marker and the list (DXF).
FilingStatus WriteVersionedListDwg(short version, const std::vector<std::string>& list, SettingsDwgWriter& w);
FilingStatus ReadVersionedListDwg(std::vector<std::string>& list, SettingsDwgReader& r, bool wallLayers);
FilingStatus WriteMarkedListDxf(const char* className, const std::vector<std::string>& list,
                                SettingsDxfWriter& w);
FilingStatus ReadMarkedListDxf(const char* className, std::vector<std::string>& list, SettingsDxfReader& r,
                               bool wallLayers);

// The common part of the records that are a plain list of texts (also
// VELM_LAYEROMBRA): the list, copies that hold the same texts and belong to
// no drawing, and the filing above. `Record` gives kClassName and
// kFilingVersion; `kWallLayers` reads the list under the wall-layer rule.
template <class Record, bool kWallLayers = false>
class VelmTextListRecord : public ZcDbObject {
public:
    VelmTextListRecord() = default;
    VelmTextListRecord(const VelmTextListRecord& o) : ZcDbObject() { entries = o.entries; }
    VelmTextListRecord& operator=(const VelmTextListRecord& o) {
        entries = o.entries;
        return *this;
    }

    std::vector<std::string> entries;

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const {
        return WriteVersionedListDwg(Record::kFilingVersion, entries, w);
    }
    FilingStatus fileInDwg(SettingsDwgReader& r) { return ReadVersionedListDwg(entries, r, kWallLayers); }
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const {
        return WriteMarkedListDxf(Record::kClassName, entries, w);
    }
    FilingStatus fileInDxf(SettingsDxfReader& r) {
        return ReadMarkedListDxf(Record::kClassName, entries, r, kWallLayers);
    }
};

class VELM_LIBOBJOPT : public VelmTextListRecord<VELM_LIBOBJOPT> {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_LIBOBJOPT);
    VELM_LIBOBJOPT() = default;

    static constexpr const char* kClassName = "VELM_LIBOBJOPT";
    static constexpr short kFilingVersion = 7;

    // `entries`: in search order; a new record has none.

    // Appends the folder unless one equal to it ignoring case is there;
    // true when it was appended.
    bool AddFolderOnce(const std::string& folder);
};

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

    // The entry equal, case ignored, to the layer's base name (the name
    // without "VELM" and its level); -1 when none.
    int IndexOfLayer(const std::string& layerName) const;

    // The 3D layer of the index-th wall layer: "3D" and the name without a
    // leading "2D" (either case); "3DWALLS" for an index out of range.
    std::string Get3DLayerName(int index) const;
};

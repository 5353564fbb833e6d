// The common part of the settings records that are a plain list of texts
// (VELM_LIBOBJOPT, VELM_LAYERMURI, VELM_LAYEROMBRA) and its filing: DWG a
// version, a 16-bit count and the texts; DXF the subclass marker, a 170
// count and one 300 item per entry. Lists are below 32768 entries.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbobject.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"
#include "store/string_list_filing.h"

// The shared layouts of a versioned text list: a version and the list
// (DWG), the subclass marker and the list (DXF).
FilingStatus WriteVersionedListDwg(short version, const std::vector<std::string>& list, SettingsDwgWriter& w);
FilingStatus ReadVersionedListDwg(std::vector<std::string>& list, SettingsDwgReader& r,
                                  const StringListRule& rule);
FilingStatus WriteMarkedListDxf(const char* className, const std::vector<std::string>& list,
                                SettingsDxfWriter& w);
// `whole` (when given) tells whether the marker, the count and every counted
// text were there. A list with a fixed first entry that could not be read
// whole still starts with that entry.
FilingStatus ReadMarkedListDxf(const char* className, std::vector<std::string>& list, SettingsDxfReader& r,
                               const StringListRule& rule, bool* whole = nullptr);

// The common part: the list, copies that hold the same texts and belong to
// no drawing, and the filing above. `Record` gives kClassName and
// kFilingVersion; `kWallLayers` reads the list under the wall-layer rule:
// Record::kFirstLayer first, no two names equal ignoring case.
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
    FilingStatus fileInDwg(SettingsDwgReader& r) { return ReadVersionedListDwg(entries, r, ReadRule()); }
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const {
        return WriteMarkedListDxf(Record::kClassName, entries, w);
    }
    FilingStatus fileInDxf(SettingsDxfReader& r) {
        return ReadMarkedListDxf(Record::kClassName, entries, r, ReadRule());
    }

private:
    static StringListRule ReadRule() {
        if constexpr (kWallLayers)
            return StringListRule{Record::kFirstLayer, true};
        else
            return StringListRule{};
    }
};

// Print-scale factors: per print scale (its denominator is the key) ten
// sizes that depend on it, kept in the drawing's VELM_FSCALA record. The
// current scale is the settings variable SFATSCALA; the two text heights
// (entries 1 and 4) are stored in print millimetres and converted to drawing
// units when read through ScaleFactorFor.
//
// Filing: DWG version 7, a 16-bit record count, per record a 16-bit key and
// ten reals. DXF: the subclass marker, a 170 count, per record a 170 key
// and exactly ten 140 values; an item of another code ends reading, the
// record being read is dropped and earlier ones stay.
//
// The records are custom objects of the drawing (their registration and
// filing members come from settings_dbfiler.h); a drawing keeps one of each
// in its dictionary "VELMOR_6", opened through settings_store.h. A copy of a
// record holds the same settings and belongs to no drawing.
#pragma once

#include <array>
#include <vector>

#include "host/db/dbobject.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"

constexpr int kScaleEntryCount = 10;

struct AA_FSCALA {
    int key = 0;  // scale denominator: 50 for 1:50
    std::array<double, kScaleEntryCount> values{};
};

// The print-scale records in insertion order; lookups take the first match.
class AAR_FSCALA {
public:
    std::vector<AA_FSCALA> records;

    // Overwrites the record with that key by the given one, or appends a copy.
    void SetByKey(int key, const AA_FSCALA& record);
    const AA_FSCALA* FindByKey(int key) const;
    AA_FSCALA* FindByKey(int key);
};

class VELM_FSCALA : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_FSCALA);
    VELM_FSCALA() = default;
    // A copy holds the same settings and is in no database.
    VELM_FSCALA(const VELM_FSCALA& o) : ZcDbObject() { scales = o.scales; }
    VELM_FSCALA& operator=(const VELM_FSCALA& o) {
        scales = o.scales;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_FSCALA";
    static constexpr short kFilingVersion = 7;

    AAR_FSCALA scales;

    // The two default records, key 50 then key 100.
    void Reset();

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);
};

// The default record of a key (50 and 100 have their own; others are 0.0).
AA_FSCALA DefaultScaleRecord(int key);

// The value of entry `index` for the current scale `sfatscala`: 0.0 for an
// index outside 0..9 or a scale without a record; entries 1 and 4 times
// 0.1 x `sftmtcm` x `sfatscala`.
double ScaleFactorFor(const AAR_FSCALA& scales, int index, double sftmtcm, int sfatscala);

// Reads (set false) or writes (set true) one raw entry of the record with
// that key. False, and `value` 0.0, for an index outside 0..9 or a key
// without a record.
bool AccessScaleEntry(AAR_FSCALA& scales, int key, int index, double& value, bool set);

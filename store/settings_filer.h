// The two filing forms of the named settings objects, seen from the objects'
// side: a binary DWG-style stream of typed values and a DXF stream of
// group-code items. The settings records file themselves through these
// small interfaces only, so the drawing database's filers are adapted to
// them in a few lines, and the layouts can be tested on memory streams.
//
// Readers report a failed read (end of data, or a value of another type
// than asked) by returning false; the record code then stops and hands back
// a FilingStatus that the adapter turns into its filer's status.
#pragma once

#include <string>

#include "host/ge/gebase.h"
#include "store/aa_variabile.h"

enum class FilingStatus {
    kOk,
    kReadFailed,  // the stream ended or held another type than expected
    kBadData,     // a value that cannot be interpreted (e.g. an unknown type code)
};

class SettingsDwgWriter {
public:
    virtual ~SettingsDwgWriter() = default;
    virtual void writeInt16(short v) = 0;
    virtual void writeReal(double v) = 0;
    virtual void writeText(const std::string& v) = 0;
    virtual void writePoint3d(const ZcGePoint3d& v) = 0;
};

class SettingsDwgReader {
public:
    virtual ~SettingsDwgReader() = default;
    virtual bool readInt16(short& v) = 0;
    virtual bool readReal(double& v) = 0;
    virtual bool readText(std::string& v) = 0;
    virtual bool readPoint3d(ZcGePoint3d& v) = 0;
};

// One DXF item. The value's alternative follows the DXF ranges of its group
// code: 70-78 and 170-179 and 1070 16-bit integers, 40-48, 140-149 and 1040
// reals, 10 and 1010 points, texts otherwise (100, 300-309, 1000 …).
struct SettingsDxfItem {
    short code = 0;
    AA_VALORE value;
};

class SettingsDxfWriter {
public:
    virtual ~SettingsDxfWriter() = default;
    virtual void writeItem(const SettingsDxfItem& item) = 0;
};

class SettingsDxfReader {
public:
    virtual ~SettingsDxfReader() = default;
    // True when the next item is the subclass marker (group 100) with this
    // name; the marker is then consumed. Otherwise nothing is consumed.
    virtual bool atSubclassData(const std::string& name) = 0;
    virtual bool readItem(SettingsDxfItem& item) = 0;
    // Returns the item just read to the stream, for the next reader.
    virtual void pushBackItem() = 0;
};

// Writes one value in the DWG form of its type.
void WriteDwgValue(SettingsDwgWriter& w, const AA_VALORE& value);
// Reads one value of the given type code; false when the read fails.
bool ReadDwgValue(SettingsDwgReader& r, unsigned short code, AA_VALORE& value);
// Reads a 16-bit count; a negative count counts as none.
bool ReadDwgCount(SettingsDwgReader& r, int& count);

// Reads the next item when it has the given code and a value of the given
// alternative; otherwise pushes it back (when one was read) and fails.
bool ReadDxfShort(SettingsDxfReader& r, short code, short& v);
bool ReadDxfReal(SettingsDxfReader& r, short code, double& v);
bool ReadDxfText(SettingsDxfReader& r, short code, std::string& v);

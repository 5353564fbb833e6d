// Open-or-create of one settings object of the drawing, for the store's
// own classes and for the settings objects kept above it (floors, render
// materials): the entry of "VELMOR_6" whose key equals the class name
// ignoring case, made with its defaults when missing (and asked to be made).
#pragma once

#include <memory>

#include "host/db/dbdatabase.h"
#include "host/db/dbdict.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"

// The id of "VELMOR_6", made when missing (the named-object dictionary is
// then opened, or upgraded, for write); null when it cannot be had.
constexpr const char* kSettingsDictionaryName = "VELMOR_6";

// The drawing the settings are read from: the working database, else the
// current document's; null when there is none.
ZcDbDatabase* SettingsDatabase();

// The id of "VELMOR_6", made when missing (the named-object dictionary is
// then opened, or upgraded, for write); null when it cannot be had.
ZcDbObjectId SettingsDictionaryId(ZcDbDatabase* db, ZcDb::OpenMode mode, bool createWhenMissing);

// Settings are read one at a time, dozens per label: where each object was
// found is kept by the host (dbkeptlookup.h) until either dictionary changes
// or the object is erased. The id of the object of that class name where it
// was found, once the two dictionaries open as the look-up would open them;
// null when nothing is kept or an open fails (the look-up then says why).
ZcDbObjectId KeptSettingId(ZcDbDatabase* db, const char* className, ZcDb::OpenMode mode);
void KeepSettingId(ZcDbDatabase* db, const char* className, ZcDbObjectId dictId, ZcDbObjectId found);

// The object of class T, opened for read (true) or write (false); an object
// made now is returned open for write whatever was asked. Null when it
// cannot be opened or (createWhenMissing false) is not there.
template <class T>
T* OpenOrCreateSetting(bool forRead, void (*initNew)(T&), bool createWhenMissing = true) {
    const ZcDb::OpenMode mode = forRead ? ZcDb::kForRead : ZcDb::kForWrite;
    ZcDbDatabase* db = SettingsDatabase();
    if (!db) return nullptr;
    if (const ZcDbObjectId kept = KeptSettingId(db, T::kClassName, mode); !kept.isNull()) {
        T* obj = nullptr;
        if (zcdbOpenObject(obj, kept, mode) == Zcad::eOk) return obj;
    }
    ZcDbObjectId dictId = SettingsDictionaryId(db, mode, createWhenMissing);
    if (dictId.isNull()) return nullptr;
    ZcDbObjectId found;
    {
        ZcDbObjectPointer<ZcDbDictionary> dict(dictId, ZcDb::kForRead);
        if (!dict) return nullptr;
        found = dict->firstEntryWhere(
            [](const std::string& key) { return zcutEqualsNoCase(key, T::kClassName); });
    }
    if (!found.isNull()) {
        // An entry of that name that is not of the class (or is open for
        // write elsewhere) gives no object: a second one is never added.
        T* obj = nullptr;
        if (zcdbOpenObject(obj, found, mode) != Zcad::eOk) return nullptr;
        KeepSettingId(db, T::kClassName, dictId, found);
        return obj;
    }
    if (!createWhenMissing) return nullptr;
    auto made = std::make_unique<T>();
    initNew(*made);
    ZcDbObjectPointer<ZcDbDictionary> dict(dictId, ZcDb::kForWrite);
    ZcDbObjectId madeId;
    if (!dict || dict->setAt(T::kClassName, made.get(), madeId) != Zcad::eOk) return nullptr;
    dict.close();
    KeepSettingId(db, T::kClassName, dictId, madeId);
    return made.release();  // resident now, open for write for the caller
}

// Opened for write with write access asserted.
template <class T>
T* OpenSettingForWrite(void (*initNew)(T&)) {
    T* obj = OpenOrCreateSetting<T>(false, initNew);
    if (obj) obj->assertWriteEnabled();
    return obj;
}

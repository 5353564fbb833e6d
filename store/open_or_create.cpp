#include "store/open_or_create.h"

#include "host/db/dbkeptlookup.h"
#include "host/db/dbobjptr.h"
#include "host/ed/docman.h"

ZcDbObjectId SettingsDictionaryId(ZcDbDatabase* db, ZcDb::OpenMode mode, bool createWhenMissing) {
    ZcDbObjectPointer<ZcDbDictionary> nod(db->namedObjectsDictionaryId(), mode);
    if (!nod) return {};
    ZcDbObjectId id;
    if (nod->getAt(kSettingsDictionaryName, id) == Zcad::eOk || !createWhenMissing) return id;
    if (mode == ZcDb::kForRead && nod->upgradeOpen() != Zcad::eOk) return {};
    ZcDbObjectPointer<ZcDbDictionary> dict(new ZcDbDictionary);
    if (nod->setAt(kSettingsDictionaryName, dict.get(), id) != Zcad::eOk) return {};
    return id;
}

ZcDbDatabase* SettingsDatabase() {
    if (ZcDbDatabase* db = zcdbHostApplicationServices()->workingDatabase()) return db;
    ZcApDocument* doc = zcDocManagerPtr() ? zcDocManagerPtr()->curDocument() : nullptr;
    return doc ? doc->database() : nullptr;
}

ZcDbObjectId KeptSettingId(ZcDbDatabase* db, const char* className, ZcDb::OpenMode mode) {
    const host::KeptLookup* at = host::keptLookup(db, className);
    if (!at || at->readFrom.size() != 2) return {};
    const ZcDbObjectId nod = at->readFrom[0], dict = at->readFrom[1], found = at->found;
    if (nod != db->namedObjectsDictionaryId() || !ZcDbObjectPointer<ZcDbDictionary>(nod, mode)) return {};
    if (!ZcDbObjectPointer<ZcDbDictionary>(dict, ZcDb::kForRead)) return {};
    return found;
}

void KeepSettingId(ZcDbDatabase* db, const char* className, ZcDbObjectId dictId, ZcDbObjectId found) {
    host::keepLookup(db, className, {found, {db->namedObjectsDictionaryId(), dictId}});
}

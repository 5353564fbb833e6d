#include "store/open_or_create.h"

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

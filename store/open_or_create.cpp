#include "store/open_or_create.h"

#include "host/ed/docman.h"

ZcDbObjectId SettingsDictionaryId(ZcDbDatabase* db, ZcDb::OpenMode mode, bool createWhenMissing) {
    ZcDbDictionary* nod = nullptr;
    if (db->getNamedObjectsDictionary(nod, mode) != Zcad::eOk) return {};
    ZcDbObjectId id;
    if (nod->getAt(kSettingsDictionaryName, id) == Zcad::eOk || !createWhenMissing) {
        nod->close();
        return id;
    }
    if (mode == ZcDb::kForRead && nod->upgradeOpen() != Zcad::eOk) {
        nod->close();
        return {};
    }
    auto dict = std::make_unique<ZcDbDictionary>();
    if (nod->setAt(kSettingsDictionaryName, dict.get(), id) != Zcad::eOk) {
        nod->close();
        return {};
    }
    dict.release()->close();
    nod->close();
    return id;
}

ZcDbDatabase* SettingsDatabase() {
    if (ZcDbDatabase* db = zcdbHostApplicationServices()->workingDatabase()) return db;
    ZcApDocument* doc = zcDocManagerPtr() ? zcDocManagerPtr()->curDocument() : nullptr;
    return doc ? doc->database() : nullptr;
}

// The host as it starts, a fresh editor session whose current document's
// drawing is the working drawing, and the settings classes registered: what
// the settings objects of a drawing need to be opened, filed and undone.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"

class DrawingSettings : public ::testing::Test {
protected:
    void SetUp() override {
        host::startHost({});
        RegisterSettingsModule();
        host::resetEditorSession();
        db = curDoc()->database();
        ASSERT_NE(db, nullptr);
        ASSERT_EQ(zcdbHostApplicationServices()->workingDatabase(), db);
    }
    void TearDown() override {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }

    // The entry of "VELMOR_6" under that key; null id when there is none.
    ZcDbObjectId settingsEntry(const char* key) const {
        ZcDbDictionary* nod = nullptr;
        ZcDbObjectId dictId, id;
        if (db->getNamedObjectsDictionary(nod, ZcDb::kForRead) != Zcad::eOk) return id;
        nod->getAt("VELMOR_6", dictId);
        nod->close();
        ZcDbDictionary* dict = nullptr;
        if (dictId.isNull() || zcdbOpenObject(dict, dictId, ZcDb::kForRead) != Zcad::eOk) return id;
        dict->getAt(key, id);
        dict->close();
        return id;
    }
    bool hasSettingsDictionary() const {
        ZcDbDictionary* nod = nullptr;
        db->getNamedObjectsDictionary(nod, ZcDb::kForRead);
        bool has = nod->has("VELMOR_6");
        nod->close();
        return has;
    }
    static const std::string& transcript() { return host::transcript().text(); }

    ZcDbDatabase* db = nullptr;
};

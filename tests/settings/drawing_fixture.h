// A fresh editor session whose current document has a drawing database that
// is also the working drawing, with the settings classes registered: what
// the settings objects of a drawing need to be opened, filed and undone.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/db/dbmain.h"
#include "host/ed/docman.h"
#include "host/ed/session.h"
#include "host/ed/transcript.h"
#include "settings/settings_store.h"

class DrawingSettings : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSettingsClasses();
        installDatabaseFactory(true);
        host::resetEditorSession();
        db = curDoc()->database();
        ASSERT_NE(db, nullptr);
        zcdbHostApplicationServices()->setWorkingDatabase(db);
    }
    void TearDown() override {
        // The factory stays installed, so that the documents left open give
        // their databases back through it.
        zcdbHostApplicationServices()->setWorkingDatabase(nullptr);
        installDatabaseFactory(true);
        host::resetEditorSession();
        UnregisterSettingsClasses();
    }

    // Documents made from now on have a drawing database, or none.
    static void installDatabaseFactory(bool withDatabase) {
        if (withDatabase)
            host::setDatabaseFactory([](ZcApDocument&) { return new ZcDbDatabase; },
                                     [](ZcDbDatabase* d) { delete d; });
        else
            host::setDatabaseFactory([](ZcApDocument&) { return nullptr; }, [](ZcDbDatabase* d) { delete d; });
    }

    // The entry of "VELMOR_6" under that key; null id when there is none.
    ZcDbObjectId settingsEntry(const char* key) const {
        ZcDbDictionary* nod = nullptr;
        ZcDbObjectId dictId, id;
        if (db->getNamedObjectsDictionary(nod, ZcDb::kForRead) != Zcad::eOk)
            return id;
        nod->getAt("VELMOR_6", dictId);
        nod->close();
        ZcDbDictionary* dict = nullptr;
        if (dictId.isNull() || zcdbOpenObject(dict, dictId, ZcDb::kForRead) != Zcad::eOk)
            return id;
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

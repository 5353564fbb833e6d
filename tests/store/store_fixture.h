// The host as it starts, a fresh editor session whose current document's
// drawing is the working drawing, and the settings store's classes
// registered: what the toolkit's settings reads need.
#pragma once

#include <gtest/gtest.h>

#include "host/db/dbmain.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "store/settings_store.h"

class DrawingStore : public ::testing::Test {
protected:
    void SetUp() override {
        host::startHost({});
        RegisterStoreClasses();
        host::resetEditorSession();
        db = curDoc()->database();
        ASSERT_NE(db, nullptr);
    }
    void TearDown() override {
        host::resetEditorSession();
        UnregisterStoreClasses();
    }

    ZcDbDatabase* db = nullptr;
};

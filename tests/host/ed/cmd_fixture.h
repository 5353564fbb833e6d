// A fresh editor session whose documents have real drawing databases, for
// tests of the host's commands: feed lines, run them, look at the drawing.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "host/ads/transcript.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/grdraw.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/harness/harness.h"

class CmdSession : public ::testing::Test {
protected:
    void SetUp() override {
        host::resetAll();
        host::startHost({});
        host::resetEditorSession();
        host::resetTemporaryGraphics();
    }
    void TearDown() override {
        for (const std::string& left : host::objectsLeftOpen()) ADD_FAILURE() << "object left open: " << left;
        host::resetAll();
    }

    static ZcDbDatabase* db() { return curDoc()->database(); }
    static int run(std::initializer_list<const char*> lines) {
        for (const char* l : lines) curDoc()->inputQueue().pushLine(l);
        return host::processInput();
    }
    static const std::string& transcript() { return host::transcript().text(); }

    // The live entities of a space (model space by default) of class T.
    template <class T>
    static std::vector<ZcDbObjectId> entities(ZcDbObjectId space = ZcDbObjectId()) {
        std::vector<ZcDbObjectId> out;
        ZcDbBlockTableRecord* btr = nullptr;
        if (zcdbOpenObject(btr, space.isNull() ? db()->modelSpaceId() : space, ZcDb::kForRead) != Zcad::eOk)
            return out;
        for (ZcDbObjectId id : btr->entityIds())
            if (T::cast(id.stub()->object.get())) out.push_back(id);
        btr->close();
        return out;
    }

    // Opens for read, runs f, closes.
    template <class T, class F>
    static void with(ZcDbObjectId id, F f) {
        T* obj = nullptr;
        ASSERT_EQ(zcdbOpenObject(obj, id, ZcDb::kForRead), Zcad::eOk);
        f(obj);
        obj->close();
    }

    // A new block of the name holding a line 0,0-2,0, left open for more;
    // the caller closes it. Null when the name is taken.
    static ZcDbBlockTableRecord* newBlockWithLine(const char* name) {
        ZcDbBlockTable* t = nullptr;
        if (db()->getBlockTable(t, ZcDb::kForWrite) != Zcad::eOk) return nullptr;
        auto* b = new ZcDbBlockTableRecord;
        b->setName(name);
        const bool added = t->add(b) == Zcad::eOk;
        t->close();
        if (!added) {
            delete b;
            return nullptr;
        }
        auto* l = new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(2, 0, 0));
        l->setDatabaseDefaults(db());
        b->appendZcDbEntity(l);
        l->close();
        return b;
    }
    static ZcDbObjectId layerId(const std::string& name) {
        return db()->recordId(db()->layerTableId(), name);
    }
};

// A fresh editor session with a new drawing database made current, for the
// tests of the classic entity interface, selections and picks.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbmain.h"
#include "tests/host/ed/ed_fixture.h"

class AdsDrawing : public EdSession {
protected:
    void SetUp() override {
        EdSession::SetUp();
        host::resetEntityInterface();
        host::resetSelections();
        m_db = std::make_unique<ZcDbDatabase>();
        zcdbSetCurDwg(m_db.get());
    }
    void TearDown() override {
        host::resetSelections();
        host::resetEntityInterface();
        zcdbSetCurDwg(nullptr);
        m_db.reset();
        EdSession::TearDown();
    }
    static ZcDbDatabase* db() { return zcdbCurDwg(); }
    // Appends to model space unless another space is given; closes the entity.
    static ZcDbObjectId add(ZcDbEntity* e, ZcDbObjectId space = ZcDbObjectId()) {
        ZcDbBlockTableRecord* rec = nullptr;
        EXPECT_EQ(zcdbOpenObject(rec, space.isNull() ? db()->modelSpaceId() : space, ZcDb::kForWrite),
                  Zcad::eOk);
        ZcDbObjectId id;
        EXPECT_EQ(rec->appendZcDbEntity(id, e), Zcad::eOk);
        e->close();
        rec->close();
        return id;
    }
    // The same in model space on a layer, made when missing.
    static ZcDbObjectId add(ZcDbEntity* e, const char* layer) {
        host::ensureLayer(db(), layer);
        e->setLayer(layer);
        return add(e);
    }
    static ZcDbObjectId block(const char* name) {
        ZcDbBlockTable* t = nullptr;
        db()->getBlockTable(t, ZcDb::kForWrite);
        auto* rec = new ZcDbBlockTableRecord;
        rec->setName(name);
        ZcDbObjectId id;
        EXPECT_EQ(t->add(id, rec), Zcad::eOk);
        rec->close();
        t->close();
        return id;
    }
    static ZcDbObjectId idOf(const ads_name n) {
        ZcDbObjectId id;
        zcdbGetObjectId(id, n);
        return id;
    }

private:
    std::unique_ptr<ZcDbDatabase> m_db;
};

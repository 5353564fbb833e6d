// A small drawing for the floor tests: layers by name (optionally frozen),
// lines on them, viewports in paper space, and read-backs of what the
// operations left.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/db/dbmain.h"

struct FloorsDrawing {
    // A drawing of its own, or one the host already has.
    FloorsDrawing() : db(own) {}
    explicit FloorsDrawing(ZcDbDatabase& drawing) : db(drawing) {}
    FloorsDrawing(const FloorsDrawing&) = delete;
    FloorsDrawing& operator=(const FloorsDrawing&) = delete;

    ZcDbDatabase own;
    ZcDbDatabase& db;

    ZcDbObjectId layer(const std::string& name, bool frozen = false) {
        ZcDbLayerTable* table = nullptr;
        EXPECT_EQ(db.getLayerTable(table, ZcDb::kForWrite), Zcad::eOk);
        auto* rec = new ZcDbLayerTableRecord;
        rec->setName(name);
        rec->setIsFrozen(frozen);
        ZcDbObjectId id;
        EXPECT_EQ(table->add(id, rec), Zcad::eOk);
        rec->close();
        table->close();
        return id;
    }

    ZcDbObjectId append(ZcDbEntity* e, ZcDbObjectId space = {}) {
        ZcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(zcdbOpenObject(ms, space.isNull() ? db.modelSpaceId() : space, ZcDb::kForWrite), Zcad::eOk);
        ZcDbObjectId id;
        EXPECT_EQ(ms->appendZcDbEntity(id, e), Zcad::eOk);
        e->close();
        ms->close();
        return id;
    }

    ZcDbObjectId line(const std::string& layerName, double z = 0.0) {
        auto* l = new ZcDbLine({0, 0, z}, {100, 0, z});
        l->setLayer(layerName);
        return append(l);
    }

    ZcDbObjectId viewport() { return append(new ZcDbViewport, db.paperSpaceId()); }

    bool frozen(const std::string& name) {
        ZcDbLayerTable* table = nullptr;
        db.getLayerTable(table, ZcDb::kForRead);
        ZcDbLayerTableRecord* rec = nullptr;
        bool result = false;
        if (table->getAt(name, rec, ZcDb::kForRead) == Zcad::eOk) {
            result = rec->isFrozen();
            rec->close();
        }
        table->close();
        return result;
    }

    bool hasLayer(const std::string& name) { return !db.recordId(db.layerTableId(), name).isNull(); }

    bool frozenIn(ZcDbObjectId vpId, const std::string& name) {
        ZcDbViewport* vp = nullptr;
        EXPECT_EQ(zcdbOpenObject(vp, vpId, ZcDb::kForRead), Zcad::eOk);
        bool result = vp->isLayerFrozenInViewport(db.recordId(db.layerTableId(), name));
        vp->close();
        return result;
    }

    bool erased(ZcDbObjectId id) {
        ZcDbObject* obj = nullptr;
        EXPECT_EQ(zcdbOpenObject(obj, id, ZcDb::kForRead, true), Zcad::eOk);
        bool result = obj->isErased();
        obj->close();
        return result;
    }
};

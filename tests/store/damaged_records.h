// Damaged records of a drawing, made in place: a resident object read back
// from its own DXF groups after a change to them (as the reader of a drawing
// file holding the damaged record would read it), and an application's
// xdata of an entity replaced by changed items (as the reader leaves them).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/db/dbfiler.h"
#include "host/db/dbmain.h"
#include "host/db/dbobject.h"

using DxfItems = std::vector<ZcDbDxfItem>;

// `object` is open for write and is closed here.
inline void ReadBackDamaged(ZcDbObject* object, const std::function<void(DxfItems&)>& damage) {
    ASSERT_NE(object, nullptr);
    ZcDbMemDxfFiler out;
    ASSERT_EQ(object->dxfOut(&out), Zcad::eOk);
    DxfItems items = out.items();
    damage(items);
    ZcDbMemDxfFiler in(std::move(items), object->database());
    EXPECT_EQ(object->dxfIn(&in), Zcad::eOk);
    object->close();
}

// The position of the first item with that code and text, items.size()
// when there is none.
inline std::size_t FindDxfItem(const DxfItems& items, int code, const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].code == code && items[i].text == text) return i;
    return items.size();
}

inline void DamageXData(const ads_name entity, const std::string& app,
                        const std::function<void(DxfItems&)>& damage) {
    ZcDbObjectId id;
    ASSERT_EQ(zcdbGetObjectId(id, entity), Zcad::eOk);
    ZcDbObject* object = nullptr;
    ASSERT_EQ(zcdbOpenObject(object, id, ZcDb::kForWrite), Zcad::eOk);
    DxfItems items;
    for (const ZcDbXDataApp& a : object->xDataApps())
        if (a.app == app) items = a.items;
    const bool found = !items.empty();
    if (found) {
        damage(items);
        EXPECT_EQ(object->setXDataApp(app, std::move(items)), Zcad::eOk);
    }
    object->close();
    ASSERT_TRUE(found) << "no xdata of " << app;
}

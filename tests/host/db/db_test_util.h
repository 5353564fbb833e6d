// Small helpers shared by the database and DXF tests.
#pragma once

#include <vector>

#include "host/db/dbmain.h"

// The model space's entities of `db`, in database order; empty when the
// model space cannot be opened.
inline std::vector<ZcDbObjectId> modelSpaceEntities(ZcDbDatabase* db) {
    ZcDbBlockTableRecord* ms = nullptr;
    if (zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForRead) != Zcad::eOk) return {};
    std::vector<ZcDbObjectId> ids = ms->entityIds();
    ms->close();
    return ids;
}

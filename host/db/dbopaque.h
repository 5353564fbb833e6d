// Objects and entities of kinds this platform does not model, kept as a
// file gave them: their kind, and their groups after the handle, the
// application groups and the owner (references as ids, so they follow the
// objects they name when handles are renumbered). Saving writes them back
// unchanged. An entity keeps the records that follow it in the file
// (ATTRIB, VERTEX, SEQEND) with it, and tells its layer and colour so that
// layer operations and selections see it.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbentity.h"

// A follower of an opaque entity, written after it in its own "0" group.
struct ZcDbOpaqueRecord {
    std::string kind;
    std::vector<ZcDbDxfItem> items;  // all its groups, handle and owner included
};

class ZcDbOpaqueObject : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbOpaqueObject);
    ZCDB_DECLARE_FILING;

    const std::string& dxfKind() const { return m_kind; }
    void setDxfKind(std::string kind) { m_kind = std::move(kind); }
    const std::vector<ZcDbDxfItem>& items() const { return m_items; }
    // The groups to mend (open for write): a reader setting a reference right.
    std::vector<ZcDbDxfItem>& editItems() {
        assertWriteEnabled();
        return m_items;
    }

private:
    std::string m_kind;
    std::vector<ZcDbDxfItem> m_items;
};

class ZcDbOpaqueEntity : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbOpaqueEntity);
    ZCDB_DECLARE_FILING;

    const std::string& dxfKind() const { return m_kind; }
    void setDxfKind(std::string kind) { m_kind = std::move(kind); }
    const std::vector<ZcDbDxfItem>& items() const { return m_items; }
    const std::vector<ZcDbOpaqueRecord>& followers() const { return m_followers; }
    std::vector<ZcDbDxfItem>& editItems() {
        assertWriteEnabled();
        return m_items;
    }
    void addFollower(ZcDbOpaqueRecord rec) { m_followers.push_back(std::move(rec)); }

private:
    std::string m_kind;
    std::vector<ZcDbDxfItem> m_items;
    std::vector<ZcDbOpaqueRecord> m_followers;
};

// The kind an object is written as: its class's DXF name, or the kind an
// opaque object was read as.
const char* zcdbDxfKindOf(const ZcDbObject* obj);

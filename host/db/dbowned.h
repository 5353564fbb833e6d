// The sub-entities an entity owns and files with itself: a block
// reference's attributes, an old-style polyline's vertices, each list closed
// by a SEQEND. Sub-entities given while the owner is not in a database are
// held here and appended with it; once resident, the owner keeps their ids
// in order. Filing writes the ids and the SEQEND as hard ownership; only an
// undo filer takes them back, since a copy outside the database must not
// share the original's sub-entities. Limits: the owner checks and prepares
// each sub-entity (write access, layer, flags) before handing it over.
#pragma once

#include <memory>
#include <vector>

#include "host/db/dbentity.h"

class ZcDbOwnedEntities {
public:
    std::vector<ZcDbObjectId> ids(bool skipErased) const;
    std::size_t residentCount() const { return m_ids.size(); }
    std::size_t heldCount() const { return m_held.size(); }
    ZcDbObjectId seqend() const { return m_seqend; }
    // Readers adopt sub-entities and a SEQEND that are already resident.
    void adopt(ZcDbObjectId id) { m_ids.push_back(id); }
    void adoptSeqend(ZcDbObjectId id) { m_seqend = id; }

    // Takes `item`: added to the owner's database now (left open for the
    // caller) when the owner is resident, held otherwise.
    Zcad::ErrorStatus append(ZcDbEntity& owner, ZcDbObjectId& id, ZcDbEntity* item);
    // The owner has just been added to `db`: the held sub-entities follow it.
    void appendHeld(ZcDbEntity& owner, ZcDbDatabase* db);
    // Adds `end` (prepared by the owner) as the closing SEQEND.
    void appendSeqend(ZcDbEntity& owner, ZcDbDatabase* db, ZcDbEntity* end);

    void dwgOut(ZcDbDwgFiler* f) const;
    Zcad::ErrorStatus dwgIn(ZcDbDwgFiler* f);

    // Calls fn(T*) for every held sub-entity, then for every resident one
    // opened for write (those that cannot be opened are passed over).
    template <class T, class Fn>
    void forEachForWrite(Fn&& fn) {
        for (auto& held : m_held) fn(static_cast<T*>(held.get()));
        for (const ZcDbObjectId& id : m_ids) {
            T* item = nullptr;
            if (zcdbOpenObject(item, id, ZcDb::kForWrite) != Zcad::eOk) continue;
            fn(item);
            item->close();
        }
    }

private:
    std::vector<ZcDbObjectId> m_ids;
    ZcDbObjectId m_seqend;
    std::vector<std::unique_ptr<ZcDbEntity>> m_held;
};

// Owned sub-entity lists: see dbowned.h.
#include "host/db/dbowned.h"

#include "host/db/dbdatabase.h"
#include "host/db/dbfilerlist.h"

std::vector<ZcDbObjectId> ZcDbOwnedEntities::ids(bool skipErased) const {
    std::vector<ZcDbObjectId> out;
    for (const ZcDbObjectId& id : m_ids)
        if (!skipErased || !id.isErased()) out.push_back(id);
    return out;
}

Zcad::ErrorStatus ZcDbOwnedEntities::append(ZcDbEntity& owner, ZcDbObjectId& id, ZcDbEntity* item) {
    ZcDbDatabase* db = owner.database();
    if (!db) {
        m_held.emplace_back(item);
        return Zcad::eOk;
    }
    item->setOwnerId(owner.objectId());
    Zcad::ErrorStatus es = db->addZcDbObject(id, item);
    if (es != Zcad::eOk) return es;
    m_ids.push_back(id);
    return Zcad::eOk;
}

void ZcDbOwnedEntities::appendHeld(ZcDbEntity& owner, ZcDbDatabase* db) {
    for (std::unique_ptr<ZcDbEntity>& held : m_held) {
        ZcDbEntity* raw = held.release();
        raw->setOwnerId(owner.objectId());
        ZcDbObjectId id;
        if (db->addZcDbObject(id, raw) == Zcad::eOk) {
            m_ids.push_back(id);
            raw->close();
        } else {
            delete raw;
        }
    }
    m_held.clear();
}

void ZcDbOwnedEntities::appendSeqend(ZcDbEntity& owner, ZcDbDatabase* db, ZcDbEntity* end) {
    end->setOwnerId(owner.objectId());
    if (db->addZcDbObject(m_seqend, end) == Zcad::eOk)
        end->close();
    else
        delete end;
}

void ZcDbOwnedEntities::dwgOut(ZcDbDwgFiler* f) const {
    zcdbWriteOwnedIds(f, m_ids);
    f->writeHardOwnershipId(m_seqend);
}

Zcad::ErrorStatus ZcDbOwnedEntities::dwgIn(ZcDbDwgFiler* f) {
    std::vector<ZcDbObjectId> ids = zcdbReadOwnedIds(f);
    ZcDbObjectId seqend;
    f->readHardOwnershipId(&seqend);
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    // A copy outside the database does not share the original's sub-entities.
    if (f->filerType() == ZcDb::kUndoFiler) {
        m_ids = std::move(ids);
        m_seqend = seqend;
    }
    return Zcad::eOk;
}

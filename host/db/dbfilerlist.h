// Counted lists in a DWG filer: a 32-bit count, then the items. Reading
// stops early once the filer has failed, so a damaged count cannot make a
// reader run on; the caller checks the filer's status before keeping what
// was read. Limits: items are filed one after another, nothing between.
#pragma once

#include <cstdint>
#include <vector>

#include "host/db/dbfiler.h"

template <class List, class WriteOne>
void zcdbWriteCounted(ZcDbDwgFiler* f, const List& list, WriteOne writeOne) {
    f->writeInt32(static_cast<std::int32_t>(list.size()));
    for (const auto& item : list) writeOne(item);
}

// readOne() reads one item from the filer and returns it.
template <class ReadOne>
auto zcdbReadCounted(ZcDbDwgFiler* f, ReadOne readOne) -> std::vector<decltype(readOne())> {
    std::int32_t n = 0;
    f->readInt32(&n);
    std::vector<decltype(readOne())> out;
    for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) out.push_back(readOne());
    return out;
}

// Ids filed as hard ownership (owned sub-objects, table records).
inline void zcdbWriteOwnedIds(ZcDbDwgFiler* f, const std::vector<ZcDbObjectId>& ids) {
    f->writeInt32(static_cast<std::int32_t>(ids.size()));
    f->writeIds(ids);
}
inline std::vector<ZcDbObjectId> zcdbReadOwnedIds(ZcDbDwgFiler* f) {
    return zcdbReadCounted(f, [f] {
        ZcDbObjectId id;
        f->readHardOwnershipId(&id);
        return id;
    });
}

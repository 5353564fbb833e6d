// Asking memory early for the stubs and objects a walk over a large drawing
// reaches a few steps later. The stubs and objects of a hundred thousand
// entities lie far apart and outside the caches: walked one by one, every
// object would wait for memory in turn, and a walk would slow down as the
// drawing outgrows the caches.
//
// Always inlined: the compiler takes a function whose only work is a
// prefetch for one without effect and drops its calls.
#pragma once

#include <cstddef>
#include <vector>

#include "host/db/dbdatabase.h"
#include "host/db/dbid.h"
#include "host/db/dbobject.h"

namespace host {

// The object's first line, or its first `Lines` (1 or 4) lines: opening
// reads the first two, layer and visibility the third, a line's or
// circle's geometry the fourth.
template <int Lines>
[[gnu::always_inline]] inline void prefetchObject(ZcDbObjectId id) {
    static_assert(Lines == 1 || Lines == 4);
    const ZcDbStub* stub = id.stub();
    if (!stub) return;
    const char* p = reinterpret_cast<const char*>(stub->object.get());
    if (!p) return;
    __builtin_prefetch(p);
    if constexpr (Lines > 1) {
        __builtin_prefetch(p + 64);
        __builtin_prefetch(p + 128);
        __builtin_prefetch(p + 192);
    }
}

// For the walk at step `i` over `ids`: the stub `2 * ahead` steps ahead and
// the object `ahead` steps ahead, `ahead` chosen to cover the time memory
// takes with the work done on each object.
template <int Lines>
[[gnu::always_inline]] inline void prefetchAhead(const std::vector<ZcDbObjectId>& ids, std::size_t i,
                                                 std::size_t ahead) {
    if (i + 2 * ahead < ids.size()) __builtin_prefetch(ids[i + 2 * ahead].stub());
    if (i + ahead < ids.size()) prefetchObject<Lines>(ids[i + ahead]);
}

}  // namespace host

// The slab readers hook (see the header).
#include "rooms/slab_readers.h"

namespace {
SlabReaders g_readers;
}

void SetSlabReadersHook(const SlabReaders& readers) {
    g_readers = readers;
}

const SlabReaders& SlabReadersHook() {
    return g_readers;
}

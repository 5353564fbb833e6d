#include "core/base/velm_assert.h"

#include <cstdio>
#include <cstdlib>

void VelmAssertFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: VELM_ASSERT(%s) failed\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

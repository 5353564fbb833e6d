#include "host/util/hostassert.h"

#include <cstdio>
#include <cstdlib>

namespace host {

void hostAssertionFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: host check failed: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

}  // namespace host

// The result buffer: one node of the classic interface's value lists
// (entity-data lists, xdata, LISP arguments and results, filters).
// Strings are owned by the node (allocated with new[]); zcutRelRb frees a
// whole list including its strings.
#pragma once

#include "host/util/adscodes.h"

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;  // UTF-8, owned by the node
    std::int64_t rlname[2];
    std::int32_t rlong;
    std::int64_t mnLongPtr;
    struct {
        short clen;
        char* buf;
    } rbinary;
    unsigned char ihandle[8];
};

struct resbuf {
    resbuf* rbnext = nullptr;
    short restype = 0;
    ads_u_val resval{};
};

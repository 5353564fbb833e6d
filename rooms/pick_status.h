// What a failed entity pick meant: the host's ERRNO after zcedEntSel
// (7 nothing under the pick box, 52 Enter).
#pragma once

#include "host/ads/sysvars.h"
#include "host/util/adscodes.h"

inline int PickErrNo() {
    resbuf rb;
    return zcedGetVar("ERRNO", &rb) == RTNORM && rb.restype == RTSHORT ? rb.resval.rint : 0;
}

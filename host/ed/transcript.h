// Old path of the command-line output, kept while module code still
// includes it here: zcutPrintf is host/ads/cmdline.h; the transcript itself
// is the harness's (host/harness/harness.h).
#pragma once

#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"

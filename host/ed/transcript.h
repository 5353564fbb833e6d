// Old path of host/ads/transcript.h, kept while module code still includes it here.
#pragma once

#include "host/ads/transcript.h"

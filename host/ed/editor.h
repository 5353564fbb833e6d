// Old path of host/ads/editor.h, kept while module code still includes it here.
#pragma once

#include "host/ads/editor.h"

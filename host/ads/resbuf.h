// Old path of host/util/resbuf.h, kept while module code still includes it here.
#pragma once

#include "host/util/resbuf.h"

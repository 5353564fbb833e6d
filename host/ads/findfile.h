// Old path of host/util/findfile.h, kept while module code still includes it here.
#pragma once

#include "host/util/findfile.h"

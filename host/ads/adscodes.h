// Old path of host/util/adscodes.h, kept while module code still includes it here.
#pragma once

#include "host/util/adscodes.h"

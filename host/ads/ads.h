// The classic application interface in one include: status and type codes,
// result buffers, entity lists, selection sets, system variables,
// conversions, wildcards, command-line output and LISP functions (the
// prompts and command calls are the editor's: host/ed/prompts.h, cmdproc.h).
#pragma once

#include "host/ads/acicolor.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/lisp.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/ads/wcmatch.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/util/resbuf.h"

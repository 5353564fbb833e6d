// The classic application interface in one include: status and type codes,
// result buffers, prompts, command calls, system variables, conversions,
// wildcards, command-line output and LISP functions.
#pragma once

#include "host/ads/acicolor.h"
#include "host/ads/adscodes.h"
#include "host/ads/adsent.h"
#include "host/ads/adspick.h"
#include "host/ads/findfile.h"
#include "host/ads/lisp.h"
#include "host/ads/rbutil.h"
#include "host/ads/resbuf.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/ads/wcmatch.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/ed/transcript.h"

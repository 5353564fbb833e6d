// The editor's objects in one include: documents and their manager, the
// editor and its reactors, the command stack, the status bar.
#pragma once

#include "host/ads/editor.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "host/ed/statusbar.h"

// Showing a contour on screen with temporary highlighted vectors.
#pragma once

#include "core/geometry/vertex_list.h"

// mode 0: a closed contour in colour 3; mode < 0: closed, in colour |mode|;
// mode >= 1: an open contour in colour 1 with a tick across each end (and,
// with printMessage, "Wybrany kontur nie jest zamknięty").
void HighlightContour(const VertexNode* ring, int mode, bool printMessage);

// The structural grid: vertical axes (columns) and horizontal axes (rows)
// at given spacings, each drawn as LINEs from node to node and lengthened
// beyond the outer nodes, on the locked level layer of the grid, with a
// parametric label ("key_etiMaglia") at the chosen ends of each axis.
// Lettered labels take the next character code for each axis; numbered
// ones count on from the first index.
#pragma once

#include <string>

#include "core/geometry/geom_basic.h"

// One grid label at `at`: position code 0 left, 1 right, 2 bottom, 3 top;
// `sampleWidth` is the width of the prefix's sample text. Nothing is drawn
// when the label definition is missing or draws nothing.
void DrawGridLabels(const Point3& at, int position, const std::string& text, const std::string& style,
                    double textHeight, double sampleWidth, double elevation);

// "VELMMESH2D"
void CmdMesh2D();

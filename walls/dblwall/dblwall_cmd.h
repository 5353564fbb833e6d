// "VELMDBLWALL": the inner lines of double-line walls. For every straight
// wall face of the current floor with a facing face at a plausible wall
// thickness, one LINE parallel to it, a set distance inside the wall, on
// the floor's layer "2DWALLL"; the lines drawn before on that layer are
// erased first, so running again replaces them. The three values come from
// dialog 196 and stay in the drawing's settings.
#pragma once

#include <string>

class CFACCIATE;

inline constexpr const char* kNoWallModelMessage = "\nNie można obliczyć modelu ścian bieżącej podłogi";

// Pairs the faces of the graph and writes the inner lines on `layer`; the
// number of LINEs written.
int DrawDoubleLines(CFACCIATE& graph, const std::string& layer, double distance, double minThickness,
                    double maxThickness);

// "VELMDBLWALL"
void CmdDblWall();

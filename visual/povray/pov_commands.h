// The render export commands: the scene written next to the drawing and
// the engine started on it, the scene written to a chosen file, the
// material dialog and the render options dialog.
#pragma once

#include <string>

// "VELMPOVRAYD"
void CmdPovRayD();
// "VELMPOVRAYF"
void CmdPovRayF();
// "VELMPOVMAT"
void CmdPovMat();
// "VELMPOVOPTIONS"
void CmdPovOptions();

// DWGPREFIX + DWGNAME without a three-letter extension.
std::string PovDrawingBaseName();

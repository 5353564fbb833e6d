// The render export commands: the scene written next to the drawing and
// the engine started on it, the scene written to a chosen file, the
// material dialog and the render options dialog.
#pragma once

#include <string>

// Said when an export ends without writing its file (the file dialog was
// left, an existing file was kept, or the scene could not be written); the
// command then fails.
inline constexpr const char* kPovNoFileWritten = "\nNie zapisano pliku sceny.";

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

// The render export commands: the scene written next to the drawing and
// the engine started on it, the scene written to a chosen file, the
// material dialog and the render options dialog.
#pragma once

#include <string>
#include <vector>

class CPovRay;

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
// A drawing's name without a three-letter extension.
std::string PovDefaultFileName(const std::string& drawingName);
// Writes the scene and says where; false when nothing was written (the
// writer has said why). Every export of a scene goes through here.
bool WritePovScene(CPovRay& scene, const std::string& path);
// The engine's arguments for a scene and its picture, named within the
// folder the engine runs in (its private folder: names of the program's
// own, never the drawing's, which the engine's option reader would take
// apart at a quote).
std::vector<std::string> PovEngineArguments(const std::string& sceneName, const std::string& imageName);

// Where the render engine is installed and the per-user include folder it
// reads this module's include files and preview bitmaps from.
//
// The engine is found through its registry key (value "Home", expected to
// end with a backslash) and one of its two executables, else as the program
// "povray" in the folders of PATH (never the current folder). The include folder is
// "POV-Ray\v3.6\include\" under the user's documents folder (made when
// missing); it is filled from the "POV-Ray\" folder beside "VXD.LST" the
// first time, and never again once it holds "velmakUser.inc", so the
// user's edits there survive.
//
// The command-line renderer reads include files from its own library
// folders and from the folder it runs in, not from the documents folder:
// a scene gets copies of the two include files it names beside it, so that
// it renders when the renderer is run in the scene's folder. The copies
// replace the names whole: a link found there is not written through.
//
// A render started by the program never runs in the scene's folder, where
// whatever came with the drawing lies (include files under the names the
// scene names, the renderer's own "povray.ini"): it runs in a private
// folder made beside the scene for it alone, holding the scene, the
// module's "velmak.inc" and the user's own "velmakUser.inc" from the
// include folder, and a renderer configuration of its own (the folder is
// its home) that lets it read its library and write that folder alone.
// The picture is moved into place when the render ends.
#pragma once

#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kPovEngineKey = "Software\\POV-Ray\\CurrentVersion\\Windows";
inline constexpr const char* kPovEngineProgram = "povray";
inline constexpr const char* kPovNotInstalled =
    "POV Ray nie jest zainstalowany lub był jakiś problem z jego zainstalowaniem";
inline constexpr const char* kPovPreviewFolderFailed = "Nie można utworzyć katalogu podglądu!";

// The full path of the engine; false after the message box when the key or
// both executables are missing.
bool FindPovEngine(std::string& path);
// Gives the include folder (with its trailing backslash) when `folder` is
// given, and copies the module's files there when they are missing.
void PreparePovFolders(std::string* folder = nullptr);
// Copies "velmak.inc" of the include folder beside the scene file
// (replacing an older copy), and "velmakUser.inc" when none is there.
void PlacePovIncludes(const std::string& scene);

// The private folder of one render and what the engine is given there.
struct PovRenderFolder {
    std::string folder;                    // full path, removed when the render ends
    std::string sceneName, imageName;      // names within it
    std::vector<std::string> environment;  // over the host's, for the engine
};
// Makes the folder beside `scene` (a scene just written) and fills it;
// nothing, with why in Polish, when it cannot be made or filled.
std::optional<PovRenderFolder> MakePovRenderFolder(const std::string& scene, std::string& why);

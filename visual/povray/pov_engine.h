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
// The picture is put into place, and the engine's messages become the log,
// when the render ends.
//
// Where the kernel can (host/win/confinement.h), the engine is held to that
// by the kernel too: it reads the system's program and library folders,
// the engine's configuration, and its private folder, and writes its
// private folder alone, whatever its own settings or the scene's code ask.
// It may take at most half of the machine's memory, and a drawing whose
// faces would need more is refused before anything is written.
#pragma once

#include <cstdint>
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

// The backdrop picture of a render, read, for a copy in the engine's
// private folder under a name of the program's own (the scene names the
// copy, never the drawing's name for it).
struct PovBackdrop {
    std::string source;    // the file it was read from
    std::string bytes;     // its contents
    std::string copyName;  // "velmor-tlo" and the extension of its kind
};
// The largest picture taken for a backdrop.
inline constexpr std::size_t kMaxPovBackdropBytes = std::size_t{64} << 20;
// Finds the backdrop picture `name` (the drawing's setting): beside the
// drawing (in `drawingFolder`, with its trailing separator) when a file of
// that name is there, else as given (against the current folder). A file
// found beside the drawing through a link must stay in the drawing's
// folder. It must be a regular file of at most kMaxPovBackdropBytes, read
// through the one reader, and a picture of the kind its extension names
// (PNG, JPEG, GIF or BMP, known by its first bytes). Nothing, with why in
// Polish (naming the file), otherwise.
std::optional<PovBackdrop> FindPovBackdrop(const std::string& name, const std::string& drawingFolder,
                                           std::string& why);

// The private folder of one render and what the engine is given there.
struct PovRenderFolder {
    std::string folder;                    // full path, removed when the render ends
    std::string sceneName, imageName;      // names within it
    std::vector<std::string> environment;  // over the host's, for the engine
};
// Makes the folder beside `scene` (a scene just written) and fills it,
// every file through the one writer: the scene, the include files, the
// engine's configuration and the backdrop's copy when there is one;
// nothing, with why in Polish, when it cannot be made or filled.
std::optional<PovRenderFolder> MakePovRenderFolder(const std::string& scene, const PovBackdrop* backdrop,
                                                   std::string& why);

// What the engine may read besides its private folder when the kernel
// confines it: the system's programs and libraries and the engine's own
// configuration and include folders.
std::vector<std::string> PovEngineReadableFolders();

// The engine's memory: it may take half of the machine's memory (or of the
// memory its control group allows, when that is less); the rest stays for
// the host and the user's other programs.
std::uint64_t PovEngineMemoryLimit();
// The memory this program may have: `physical`, or less where a control
// group's limit says so. `groups` is the text of /proc/self/cgroup and
// `root` the folder the groups are mounted in: a memory group of the
// unified hierarchy ("memory.max") or of the older one
// ("memory/…/memory.limit_in_bytes"), the group's own or an ancestor's.
std::uint64_t PovEngineMemoryLimitIn(std::uint64_t physical, const std::string& groups,
                                     const std::string& root);
// What the engine takes to render a drawing of `faces` faces, roughly:
// measured with the engine (POV-Ray 3.7) on scenes as the writer makes
// them, one textured polygon per face: 100,000 faces took 1.22 GB of
// address space at the peak, 300,000 took 1.88 GB, so about 3,300 bytes a
// face over some 0.9 GB of its own (threads, libraries); rounded up.
inline constexpr std::uint64_t kPovEngineBytesPerFace = 3500;
inline constexpr std::uint64_t kPovEngineBaseBytes = std::uint64_t{1} << 30;
std::uint64_t PovEngineMemoryNeeded(std::uint64_t faces);

// The render engine lookup and the include folder upkeep.
#include "visual/povray/pov_engine.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/support_files.h"
#include "host/ui/msgbox.h"
#include "host/win/files.h"
#include "host/win/process.h"
#include "host/win/registry.h"
#include "host/win/replace_file.h"

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A text value of a key of the current user; nullopt when missing.
std::optional<std::string> ReadUserValue(const char* key, const char* name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
    BYTE buffer[260] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = REG_NONE;
    const LONG status = RegQueryValueExW(opened, name, nullptr, &type, buffer, &size);
    RegCloseKey(opened);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    buffer[sizeof buffer - 1] = 0;
    return std::string(reinterpret_cast<const char*>(buffer));
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies the files of `from` whose names are longer than four characters
// into `to`, replacing files of the same name.
void CopyFolderFiles(const std::string& from, const std::string& to) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name.size() <= 4 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string DocumentsFolder() {
    return ReadUserValue(kShellFoldersKey, "Personal").value_or("");
}

std::string IncludeFolder(const std::string& documents) {
    return documents + "\\POV-Ray\\v3.6\\include\\";
}

}  // namespace

bool FindPovEngine(std::string& path) {
    // The key missing and the value missing end alike: nothing to start.
    const std::optional<std::string> home = ReadUserValue(kPovEngineKey, "Home");
    if (home) {
        for (const char* engine : {"bin\\pvengine-sse2.exe", "bin\\pvengine64.exe"}) {
            path = *home + engine;
            if (IsFile(path)) return true;
        }
    }
    // Where no installer writes the key, the engine is the command-line
    // renderer on the search path; never one in the current folder, where
    // it may have come with someone's drawing.
    if (std::string found = host::findOnPath(kPovEngineProgram); !found.empty()) {
        path = std::move(found);
        return true;
    }
    AfxMessageBox(kPovNotInstalled, MB_OK, 0);
    return false;
}

void PreparePovFolders(std::string* folder) {
    const std::string documents = DocumentsFolder();
    const std::string include = IncludeFolder(documents);
    if (folder) *folder = include;
    if (IsFile(include + "velmakUser.inc")) return;
    std::string data;
    if (!GetVxdListFolder(data)) return;
    // The engine's installer makes the include folder; where none ran, the
    // folders under the documents folder are made here, one at a time.
    if (!documents.empty()) {
        std::string made = documents;
        for (const char* level : {"\\POV-Ray", "\\v3.6", "\\include"}) {
            made += level;
            CreateDirectoryW(made.c_str(), nullptr);
        }
    }
    const std::string preview = include + "velmAnteprime";
    if (!CreateDirectoryW(preview.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        AfxMessageBox(kPovPreviewFolderFailed, MB_OK, 0);
        return;
    }
    CopyFolderFiles(data + "POV-Ray\\", include);
    CopyFolderFiles(data + "POV-Ray\\velmAnteprime\\", preview + "\\");
}

void PlacePovIncludes(const std::string& scene) {
    const std::string include = IncludeFolder(DocumentsFolder());
    const std::size_t slash = scene.find_last_of("/\\");
    const std::string beside = slash == std::string::npos ? "" : scene.substr(0, slash + 1);
    // The module's materials follow the include folder; the user's own
    // file beside a scene is theirs once anything is under its name. The
    // copy replaces the name, so a link found there is not written
    // through. A scene written into the include folder itself leaves both.
    const std::string module = include + "velmak.inc", copy = beside + "velmak.inc";
    if (host::absolutePath(module) == host::absolutePath(copy)) return;
    std::string bytes;
    if (host::readWholeFile(module, bytes)) host::replaceFile(copy, bytes);
    if (!host::nameTaken(beside + "velmakUser.inc") && host::readWholeFile(include + "velmakUser.inc", bytes))
        host::replaceFile(beside + "velmakUser.inc", bytes);
}

namespace {

constexpr const char* kRenderScene = "scena.pov";
constexpr const char* kRenderImage = "obraz.bmp";

// The renderer's own I/O restriction, where it honours one: the user's
// configuration (read from the home it is given) may only narrow the
// system's, and here allows the library and the folder it runs in alone.
// Written for each version folder the renderer may look in.
constexpr const char* kRenderConfiguration =
    "[File I/O Security]\nrestricted\n[Shellout Security]\nforbidden\n[Permitted Paths]\n"
    "read* = %INSTALLDIR%/include\nread+write = .\n";

bool FillRenderFolder(const std::string& scene, const PovRenderFolder& render, std::string& why) {
    const std::string inside = render.folder + "/";
    // The scene just written, as it is: a second name for it where the
    // folder allows one, else a copy.
    if (!host::placeFileCopy(scene, inside + render.sceneName)) {
        why = "nie można skopiować sceny " + scene + " do folderu " + render.folder + ": " +
              std::strerror(errno);
        return false;
    }
    const std::string include = IncludeFolder(DocumentsFolder());
    for (const char* name : {"velmak.inc", "velmakUser.inc"}) {
        std::string bytes;
        if (!host::readWholeFile(include + name, bytes)) continue;  // the renderer names what it lacks
        if (!host::writeFileAtomically(inside + name, bytes, &why)) return false;
    }
    for (const char* version : {"3.6", "3.7", "3.8"}) {
        std::string made = inside + ".povray";
        CreateDirectoryW(made.c_str(), nullptr);
        made += std::string("/") + version;
        CreateDirectoryW(made.c_str(), nullptr);
        if (!host::writeFileAtomically(made + "/povray.conf", kRenderConfiguration, &why)) return false;
    }
    return true;
}

}  // namespace

std::optional<PovRenderFolder> MakePovRenderFolder(const std::string& scene, std::string& why) {
    const std::string full = host::absolutePath(scene);
    const std::size_t slash = full.find_last_of("/\\");
    PovRenderFolder render;
    render.folder = host::makePrivateFolder(full.substr(0, slash + 1), ".velmor-render-");
    if (render.folder.empty()) {
        why = "nie można utworzyć folderu renderowania obok pliku " + full + ": " + std::strerror(errno);
        return std::nullopt;
    }
    render.sceneName = kRenderScene;
    render.imageName = kRenderImage;
    render.environment = {"HOME=" + render.folder};
    if (!FillRenderFolder(full, render, why)) {
        host::removePrivateFolder(render.folder);
        return std::nullopt;
    }
    return render;
}

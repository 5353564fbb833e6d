// The render engine lookup and the include folder upkeep.
#include "visual/povray/pov_engine.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/support_files.h"
#include "host/ui/msgbox.h"
#include "host/win/files.h"
#include "host/win/process.h"
#include "host/win/registry.h"
#include "host/win/replace_file.h"
#include "host/win/textutil.h"

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

bool FillRenderFolder(const std::string& scene, const PovRenderFolder& render, const PovBackdrop* backdrop,
                      std::string& why) {
    const std::string inside = render.folder + "/";
    // The scene just written, copied whole: never a second name for the
    // file beside the drawing, which the engine could then write to.
    std::string failed;
    if (!host::placeFileCopy(scene, inside + render.sceneName, &failed)) {
        why = "nie można skopiować sceny " + scene + " do folderu " + render.folder + " (" + failed + ")";
        return false;
    }
    if (backdrop && !host::replaceFile(inside + backdrop->copyName, backdrop->bytes, &why)) return false;
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

std::optional<PovRenderFolder> MakePovRenderFolder(const std::string& scene, const PovBackdrop* backdrop,
                                                   std::string& why) {
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
    if (!FillRenderFolder(full, render, backdrop, why)) {
        host::removePrivateFolder(render.folder);
        return std::nullopt;
    }
    return render;
}

namespace {

// The kind of picture a backdrop's name says, as the extension of its copy:
// "png", "jpg", "gif" or "bmp"; empty for any other.
std::string BackdropKind(const std::string& name) {
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || name.find_first_of("/\\", dot) != std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "jpeg") ext = "jpg";
    return ext == "png" || ext == "jpg" || ext == "gif" || ext == "bmp" ? ext : std::string();
}

// Whether the bytes begin as a picture of that kind does.
bool IsPictureOfKind(const std::string& bytes, const std::string& kind) {
    if (kind == "png") return bytes.starts_with("\x89PNG\r\n\x1a\n");
    if (kind == "jpg") return bytes.starts_with("\xff\xd8\xff");
    if (kind == "gif") return bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a");
    return bytes.starts_with("BM") && bytes.size() > 54;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

}  // namespace

std::optional<PovBackdrop> FindPovBackdrop(const std::string& name, const std::string& drawingFolder,
                                           std::string& why) {
    const std::string given = host::nativePath(name);
    if (given.empty()) {
        why = "nie podano pliku obrazu (SETPOVFILEIMG)";
        return std::nullopt;
    }
    std::string path = given;
    if (given[0] != '/' && !drawingFolder.empty()) {
        std::string folder = host::nativePath(drawingFolder);
        if (folder.back() != '/') folder += '/';
        if (host::nameTaken(folder + given)) {
            // Found beside the drawing, it is the drawing's: a link must
            // lead to a file in its folder.
            const std::string real = RealPath(folder + given), realFolder = RealPath(folder);
            if (!real.empty() && !realFolder.empty() && !real.starts_with(realFolder + "/")) {
                why = "plik obrazu " + folder + given + " jest dowiązaniem prowadzącym poza folder rysunku";
                return std::nullopt;
            }
            path = folder + given;
        }
    }
    const std::string kind = BackdropKind(given);
    if (kind.empty()) {
        why = "plik obrazu " + host::absolutePath(path) + " nie ma rozszerzenia png, jpg, gif ani bmp";
        return std::nullopt;
    }
    PovBackdrop backdrop;
    backdrop.source = host::absolutePath(path);
    if (!host::readWholeFile(path, backdrop.bytes, &why, kMaxPovBackdropBytes)) return std::nullopt;
    if (!IsPictureOfKind(backdrop.bytes, kind)) {
        why =
            "plik " + backdrop.source + " nie jest obrazem " + (kind == "jpg" ? "JPEG" : host::toUpper(kind));
        return std::nullopt;
    }
    backdrop.copyName = "velmor-tlo." + kind;
    return backdrop;
}

std::vector<std::string> PovEngineReadableFolders() {
    // The engine, its libraries and the loader's cache; its include files
    // (under /usr) and its configuration; nothing of the users' folders.
    return {"/usr", "/lib",  "/lib64",           "/lib32",      "/libx32",
            "/bin", "/sbin", "/etc/ld.so.cache", "/etc/povray", "/etc/localtime"};
}

std::uint64_t PovEngineMemoryLimit() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGE_SIZE);
    const std::uint64_t memory =
        pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize)
                                  : 0;
    std::ifstream file("/proc/self/cgroup");
    std::stringstream groups;
    groups << file.rdbuf();
    return PovEngineMemoryLimitIn(memory, groups.str(), "/sys/fs/cgroup") / 2;
}

namespace {

// The number a limit file holds; nothing for "max" (no limit) or a file
// that is not there.
std::optional<std::uint64_t> ReadLimit(const std::string& path) {
    std::ifstream in(path);
    std::uint64_t bytes = 0;
    if (in >> bytes && bytes > 0) return bytes;
    return std::nullopt;
}

// The group's folder and each above it to the root: a limit on any of
// them holds for the group. Where the groups are seen from outside this
// program's namespace, the folders named may be missing under the root;
// the root's own limit then still holds.
std::vector<std::string> GroupAndAncestors(const std::string& group) {
    std::vector<std::string> out;
    std::string path = group;
    while (!path.empty() && path.back() == '/') path.pop_back();
    for (;;) {
        out.push_back(path);
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos) break;
        path.resize(slash);
    }
    return out;
}

}  // namespace

std::uint64_t PovEngineMemoryLimitIn(std::uint64_t physical, const std::string& groups,
                                     const std::string& root) {
    std::uint64_t memory = physical;
    const auto lower = [&](const std::optional<std::uint64_t>& bytes) {
        if (bytes && (memory == 0 || *bytes < memory)) memory = *bytes;
    };
    std::istringstream lines(groups);
    for (std::string line; std::getline(lines, line);) {
        // "id:controllers:path"; the unified hierarchy has id 0 and no
        // controllers, the older ones name theirs, "memory" among them.
        const std::size_t first = line.find(':'), second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const std::string id = line.substr(0, first),
                          controllers = line.substr(first + 1, second - first - 1);
        const std::string group = line.substr(second + 1);
        if (id == "0" && controllers.empty()) {
            // Mounted at the root alone, or beside the older ones as "unified".
            for (const std::string& folder : GroupAndAncestors(group)) {
                lower(ReadLimit(root + folder + "/memory.max"));
                lower(ReadLimit(root + "/unified" + folder + "/memory.max"));
            }
            continue;
        }
        std::istringstream names(controllers);
        for (std::string name; std::getline(names, name, ',');)
            if (name == "memory")
                for (const std::string& folder : GroupAndAncestors(group))
                    lower(ReadLimit(root + "/memory" + folder + "/memory.limit_in_bytes"));
    }
    return memory;
}

std::uint64_t PovEngineMemoryNeeded(std::uint64_t faces) {
    const std::uint64_t most = (UINT64_MAX - kPovEngineBaseBytes) / kPovEngineBytesPerFace;
    return faces > most ? UINT64_MAX : kPovEngineBaseBytes + faces * kPovEngineBytesPerFace;
}

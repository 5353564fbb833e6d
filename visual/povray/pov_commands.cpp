// The render export commands.
#include "visual/povray/pov_commands.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/host_services.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ui/hostdialogs.h"
#include "host/win/confinement.h"
#include "host/win/files.h"
#include "host/win/process.h"
#include "host/win/replace_file.h"
#include "resources/velmresources.h"
#include "visual/model3d/scene_walk.h"
#include "visual/povray/pov_dialogs.h"
#include "visual/povray/pov_engine.h"
#include "visual/povray/pov_scene.h"
#include "visual/povray/pov_tables.h"

namespace {

std::string TextVar(const char* name) {
    resbuf rb;
    std::string value;
    if (zcedGetVar(name, &rb) == RTNORM && rb.restype == RTSTR && rb.resval.rstring) {
        value = rb.resval.rstring;
        zcutDelString(rb.resval.rstring);
    }
    return value;
}

// An export that ends without its file fails: a script sees it in its exit
// status, the user on the command line.
void NothingWritten() {
    zcutPrintf(kPovNoFileWritten);
    host::noteFailed();
}

// The faces the scene will hold, those of blocks counted once per
// reference: a scene that would need more memory than the engine may take
// is refused before anything is written. Lines, texts and the rest of the
// drawing never reach the scene and cost the engine nothing.
bool RefuseSceneOverMemory() {
    ZcDbDatabase* db = GetWorkingDatabase();
    const std::uint64_t limit = PovEngineMemoryLimit();
    if (!db || limit == 0) return false;
    std::uint64_t faces = 0;
    for (const ZcDbObjectId& space : {db->modelSpaceId(), db->paperSpaceId()}) {
        const std::uint64_t more = scene::SceneFaces(space);
        faces = faces > UINT64_MAX - more ? UINT64_MAX : faces + more;
    }
    const std::uint64_t needed = PovEngineMemoryNeeded(faces);
    if (needed <= limit) return false;
    zcutPrintf(
        "\nScena rysunku miałaby %llu ścian 3D (z rozwiniętymi blokami); program renderujący potrzebowałby "
        "na nie około %llu MB pamięci, a może użyć %llu MB (połowy pamięci komputera): renderowania nie "
        "rozpoczęto.",
        static_cast<unsigned long long>(faces), static_cast<unsigned long long>(needed >> 20),
        static_cast<unsigned long long>(limit >> 20));
    host::noteFailed();
    return true;
}

}  // namespace

std::string PovDrawingBaseName() {
    return PovDefaultFileName(TextVar("DWGPREFIX") + TextVar("DWGNAME"));
}

std::string PovDefaultFileName(const std::string& drawingName) {
    std::string name = drawingName;
    if (name.size() > 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
    return name;
}

std::vector<std::string> PovEngineArguments(const std::string& sceneName, const std::string& imageName) {
    // The engine reads each option again itself: a name goes between its
    // own quotes, and the picture is asked for in the format its name says.
    return {"+I\"" + sceneName + "\"", "+O\"" + imageName + "\"", "+FB", "+D", "-V"};
}

bool WritePovScene(CPovRay& scene, const std::string& path) {
    if (!scene.WriteScene(path)) return false;
    zcutPrintf("\nZapisano scenę POV-Ray w pliku %s.", host::absolutePath(path).c_str());
    return true;
}

void CmdPovRayD() {
    if (scene::RefuseOversizedScene() || RefuseSceneOverMemory()) return;
    CPovRay scene;
    if (!scene.PickCamera()) return;
    const std::string base = PovDrawingBaseName() + "$";
    const std::string sceneFile = base + ".pov", imageFile = base + ".bmp", logFile = base + ".log";
    // The picture and the log replace files, never a folder: one in the way
    // is said now, not when the render ends.
    for (const std::string& name : {imageFile, logFile}) {
        if (host::folderExists(name)) {
            zcutPrintf("\nNie uruchomiono renderowania: %s jest folderem, nie plikiem.",
                       host::absolutePath(name).c_str());
            host::noteFailed();
            return;
        }
    }
    // The engine runs in a folder of its own: the backdrop goes there as a
    // copy the scene names. One that cannot be had is left out.
    std::optional<PovBackdrop> backdrop;
    if (scene.cameraPicked && scene.addImage) {
        std::string why;
        backdrop = FindPovBackdrop(scene.imageFile, TextVar("DWGPREFIX"), why);
        if (backdrop) {
            scene.imageFile = backdrop->copyName;
        } else {
            zcutPrintf("\nObraz tła pominięto: %s.", why.c_str());
            scene.addImage = 0;
        }
    }
    if (!WritePovScene(scene, sceneFile)) {
        NothingWritten();
        return;
    }
    std::string engine;
    if (!FindPovEngine(engine)) return;
    // Not in the scene's folder: what lies there came with the drawing.
    std::string why;
    const std::optional<PovRenderFolder> render =
        MakePovRenderFolder(sceneFile, backdrop ? &*backdrop : nullptr, why);
    if (!render) {
        zcutPrintf("\nNie uruchomiono renderowania: %s.", why.c_str());
        host::noteFailed();
        return;
    }
    host::ProgramRun run;
    run.folder = render->folder;
    run.environment = render->environment;
    run.log = host::absolutePath(logFile);
    // The engine colours its messages and draws its progress for a
    // terminal; in a file those codes are noise around the text.
    run.plainLog = true;
    run.results = {{render->folder + "/" + render->imageName, host::absolutePath(imageFile)}};
    run.privateFolder = render->folder;
    const bool confined = host::confinementVersion() > 0;
    if (confined) run.readable = PovEngineReadableFolders();
    run.memoryLimit = PovEngineMemoryLimit();
    const DWORD error = host::startProgram(engine, PovEngineArguments(render->sceneName, render->imageName),
                                           run, HIGH_PRIORITY_CLASS);
    if (error != ERROR_SUCCESS) host::removePrivateFolder(render->folder);
    if (error == ERROR_FILENAME_EXCED_RANGE) {
        zcutPrintf("\nNie uruchomiono renderowania: wiersz poleceń programu %s byłby dłuższy niż %zu znaków.",
                   engine.c_str(), host::kCommandLineLimit - 1);
        host::noteFailed();
        return;
    }
    if (error != ERROR_SUCCESS) {
        zcutPrintf("%s ERROR:%ld", engine.c_str(), static_cast<long>(error));
        host::noteFailed();
        return;
    }
    zcutPrintf("\nRenderowanie rozpoczęte w tle; obraz: %s; komunikaty programu: %s.",
               host::absolutePath(imageFile).c_str(), run.log.c_str());
    if (!confined)
        zcutPrintf(
            "\nProgram renderujący działa bez ograniczeń dostępu do plików: jądro systemu ich nie "
            "zapewnia.");
}

void CmdPovRayF() {
    if (scene::RefuseOversizedScene()) return;
    CPovRay scene;
    if (!scene.PickCamera()) return;
    // The drawing's folder and name: a bare answer lands beside the drawing
    // (a drawing never saved lies in the current folder).
    const std::string name = PovDrawingBaseName();
    resbuf* answer = nullptr;
    const int rc = zcedGetFileNavDialog("Nazwa pliku do rozpakowania", name.c_str(), "pov", "File Pov",
                                        ZCUI_FILE_NEW, &answer);
    const host::ResbufList chosen(answer);
    std::string path;
    if (rc == RTNORM && chosen && chosen->restype == RTSTR && chosen->resval.rstring)
        path = chosen->resval.rstring;
    if (path.empty() || !WritePovScene(scene, path)) NothingWritten();
}

void CmdPovMat() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgPovRayMat dialog;
    dialog.m_layers = DrawingLayerMaterials();
    if (!ReadTexturePovDef(dialog.m_materials)) return;
    dialog.DoModal();
}

void CmdPovOptions() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgPrefPovRay dialog;
    dialog.DoModal();
}

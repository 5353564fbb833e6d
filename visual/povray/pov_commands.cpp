// The render export commands.
#include "visual/povray/pov_commands.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ui/hostdialogs.h"
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
    if (scene::RefuseOversizedScene()) return;
    CPovRay scene;
    if (!scene.PickCamera()) return;
    const std::string base = PovDrawingBaseName() + "$";
    const std::string sceneFile = base + ".pov", imageFile = base + ".bmp", logFile = base + ".log";
    if (!WritePovScene(scene, sceneFile)) {
        NothingWritten();
        return;
    }
    std::string engine;
    if (!FindPovEngine(engine)) return;
    // Not in the scene's folder: what lies there came with the drawing.
    std::string why;
    const std::optional<PovRenderFolder> render = MakePovRenderFolder(sceneFile, why);
    if (!render) {
        zcutPrintf("\nNie uruchomiono renderowania: %s.", why.c_str());
        host::noteFailed();
        return;
    }
    host::ProgramRun run;
    run.folder = render->folder;
    run.environment = render->environment;
    run.log = host::absolutePath(logFile);
    run.results = {{render->folder + "/" + render->imageName, host::absolutePath(imageFile)}};
    run.privateFolder = render->folder;
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

// The render export commands.
#include "visual/povray/pov_commands.h"

#include <cstdio>
#include <vector>

#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ui/hostdialogs.h"
#include "host/win/process.h"
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
    std::string name = TextVar("DWGPREFIX") + TextVar("DWGNAME");
    if (name.size() > 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
    return name;
}

void CmdPovRayD() {
    if (scene::RefuseOversizedScene()) return;
    CPovRay scene;
    if (!scene.PickCamera()) return;
    const std::string base = PovDrawingBaseName() + "$";
    const std::string sceneFile = base + ".pov", imageFile = base + ".bmp";
    if (!scene.WriteScene(sceneFile)) {
        NothingWritten();
        return;
    }
    std::string engine;
    if (!FindPovEngine(engine)) return;
    char commandLine[1024];
    std::snprintf(commandLine, sizeof commandLine, " +I\"%s\" +O\"%s\" +D -V", sceneFile.c_str(),
                  imageFile.c_str());
    STARTUPINFOW startup = {};
    startup.cb = 68;
    PROCESS_INFORMATION started = {};
    // The engine runs in the scene's folder, where the scene's include
    // files lie (the command-line renderer looks for them there).
    const std::size_t slash = sceneFile.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : sceneFile.substr(0, slash + 1);
    if (CreateProcessW(engine.c_str(), commandLine, nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
        return;
    }
    zcutPrintf("%s ERROR:%ld", engine.c_str(), static_cast<long>(GetLastError()));
}

void CmdPovRayF() {
    if (scene::RefuseOversizedScene()) return;
    CPovRay scene;
    if (!scene.PickCamera()) return;
    const std::string name = PovDrawingBaseName();
    resbuf* answer = nullptr;
    const int rc = zcedGetFileNavDialog("Nazwa pliku do rozpakowania", name.c_str(), "pov", "File Pov",
                                        ZCUI_FILE_NEW, &answer);
    const host::ResbufList chosen(answer);
    std::string path;
    if (rc == RTNORM && chosen && chosen->restype == RTSTR && chosen->resval.rstring)
        path = chosen->resval.rstring;
    if (path.empty() || !scene.WriteScene(path)) NothingWritten();
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

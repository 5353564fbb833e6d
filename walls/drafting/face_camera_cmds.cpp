// The face, camera and wall-layer commands (see the header).
#include "walls/drafting/face_camera_cmds.h"

#include <cmath>
#include <numbers>
#include <string>

#include "core/base/module_state.h"
#include "core/dialogs/dlg_wall_layers.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/levels.h"
#include "core/pick_walls.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ui/resources.h"
#include "host/util/nocase.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "store/velm_layermuri.h"
#include "walls/drafting/face_services.h"

namespace {

constexpr const char* kCameraLayer = "PERSP_SEC";
constexpr const char* kCameraType = "TMS_PROS";
constexpr const char* kNotAWallLine =
    "\nWybrany element nie jest ani linią, ani łukiem reprezentującym ścianę";

int ShortVar(const char* name) {
    const int readOnly = -1;
    return SysVarShort(name, &readOnly);
}

// The camera's values from its object record: eye height (35), opening
// angle (40) and tilt (41), each found exactly once among the parameter
// pairs that follow the type and seven further items.
struct Camera {
    Point3 at;
    double rotation = 0.0, eye = 0.0, angle = 0.0, tilt = 0.0;
};
bool ReadCamera(const ads_name entity, Camera& camera);

enum class WallMove { Faces3D, Lines };
void MoveWallToLayer(WallMove what);

}  // namespace

// ------------------------------------------------------------ VELMVISEDGE

void CmdVisEdge() {
    for (;;) {
        ads_name entity;
        ads_point picked;
        ads_matrix xform;
        resbuf* refs = nullptr;
        const int rc = zcedNEntSelP("\nWybierz krawędź, którą chcesz zrobić niewidzialną:", entity, picked, 0,
                                    xform, &refs);
        const host::ResbufList containers(refs);
        if (rc != RTNORM) return;
        // Inside a block: the faces are drawn again once changed.
        const bool nested = containers != nullptr;
        ads_point mid;
        if (zcedOsnap(picked, "_MID", mid) != RTNORM) {
            zcutPrintf("\nNie można znaleźć punktu środkowego krawędzi");
            return;
        }
        host::ResbufList list(zcdbEntGet(entity));
        const resbuf* type = list ? FindRbCode(list.get(), 0) : nullptr;
        if (!type || !type->resval.rstring || !zcutEqualsNoCase(type->resval.rstring, "3DFACE")) {
            zcutPrintf("\nElement nie jest obiektem 3DFACE");
            continue;
        }
        Matrix4 matrix;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) matrix.m[r][c] = xform[r][c];
        ToggleNearestFaceEdge({mid[0], mid[1], mid[2]}, matrix, list.get());
        if (nested) {
            const int quiet = 0;
            const int echo = SysVarShort("CMDECHO", &quiet);
            zcedCommand(RTSTR, "_REGEN", 0);
            SysVarShort("CMDECHO", &echo);
        }
    }
}

// ------------------------------------------------------------ VELMPERSP

void CmdPersp() {
    if (ShortVar("CVPORT") == 1) {
        zcutPrintf("\nPolecenie to nie może być stosowane w obszarze papieru");
        return;
    }
    SetLayerState(kCameraLayer, true, 1);
    ads_name entity;
    for (;;) {
        ads_point picked;
        const int r = zcedEntSel("\nWybierz aparat fotograficzny:", entity, picked);
        if (r == RTNORM) break;
        if (r != RTERROR) return;
        const int error = LastPickError();
        if (error == OL_ENTSELPICK) continue;
        if (error != OL_ENTSELNULL) return;
        if (zcdbEntLast(entity) != RTNORM) {
            zcutPrintf("\nAparat fotograficzny nie został zmodyfikowany");
            return;
        }
        break;
    }
    Camera camera;
    if (!ReadCamera(entity, camera)) {
        zcutPrintf("\nWybrany obiekt nie jest aparatem fotograficznym");
        return;
    }
    const Point3 eye{camera.at.x, camera.at.y, camera.eye};
    const double heading = camera.rotation + std::numbers::pi / 2.0;
    const double distance = 10000.0 * SettingReal(SetupVar::SFTMTCM, 1.0);
    const double half = camera.angle * std::numbers::pi / 180.0 / 2.0;
    if (std::fabs(std::tan(half)) <= SharedTolerance) {
        zcutPrintf("\nNieprawidłowy kąt otwarcia dla aparatu fotograficznego");
        return;
    }
    const double lens = 18.0 / std::tan(half);
    const double tilt = camera.tilt * std::numbers::pi / 180.0;
    const double ahead = std::cos(tilt) * distance;
    Point3 target = eye;
    if (ahead > SharedTolerance) {
        target.x += ahead * std::cos(heading);
        target.y += ahead * std::sin(heading);
    }
    target.z = camera.eye + std::sin(tilt) * distance;
    SetViewportCamera(eye, target, lens, 3);
    SetLayerState(kCameraLayer, false, 1);
}

// ------------------------------------------------------------ VELMXLW3D, VELMWALLML

void CmdXlw3d() {
    MoveWallToLayer(WallMove::Faces3D);
}

void CmdWallMl() {
    MoveWallToLayer(WallMove::Lines);
}

namespace {

bool ReadCamera(const ads_name entity, Camera& camera) {
    host::ResbufList apps(zcutBuildList(RTSTR, "VELM5$_$PARAMETRI-", 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    if (!list) return false;
    const resbuf* app = FindXDataApp(list.get(), "VELM5$_$PARAMETRI-");
    const resbuf* name = app ? app->rbnext : nullptr;
    while (name && name->restype != 1000 && name->restype != 1001) name = name->rbnext;
    if (!name || name->restype != 1000 || !name->resval.rstring ||
        !zcutEqualsNoCase(name->resval.rstring, kCameraType))
        return false;
    const resbuf* rb = name;
    for (int i = 0; rb && i < 8; ++i) rb = rb->rbnext;
    int found[3] = {0, 0, 0};
    double* values[3] = {&camera.eye, &camera.angle, &camera.tilt};
    for (; rb && rb->restype == 1070 && rb->rbnext; rb = rb->rbnext->rbnext) {
        const resbuf* value = rb->rbnext;
        if (value->restype != 1040) continue;
        const int code = rb->resval.rint;
        if (code < 35) continue;
        const int slot = code == 35 ? 0 : code == 40 ? 1 : code == 41 ? 2 : -1;
        if (slot < 0) continue;
        ++found[slot];
        *values[slot] = value->resval.rreal;
    }
    if (found[0] != 1 || found[1] != 1 || found[2] != 1) return false;
    if (const resbuf* at = FindRbCode(list.get(), 10))
        camera.at = {at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]};
    if (const resbuf* rot = FindRbCode(list.get(), 50)) camera.rotation = rot->resval.rreal;
    return true;
}

// The 3D layer of a wall layer as the wall-layer record names it.
std::string Wall3DLayer(const std::string& wallLayer) {
    if (ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject()); walls) {
        for (std::size_t i = 0; i < walls->entries.size(); ++i)
            if (zcutEqualsNoCase(walls->entries[i], wallLayer))
                return walls->Get3DLayerName(static_cast<int>(i));
    }
    const bool is2D =
        wallLayer.size() >= 2 && zcutEqualsNoCase(std::string_view(wallLayer).substr(0, 2), "2D");
    return "3D" + (is2D ? wallLayer.substr(2) : wallLayer);
}

// The layer the wall goes to: a name given whole ("VELM…") as it is, else
// the layer of that element key on the level, made when missing.
std::string TargetLayer(WallMove what, const std::string& chosen, double level) {
    std::string name = what == WallMove::Faces3D ? Wall3DLayer(chosen) : chosen;
    if (what == WallMove::Lines && name.size() >= 4 &&
        zcutEqualsNoCase(std::string_view(name).substr(0, 4), "VELM"))
        return name;
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    EnsureLayer(name, table, true, level, true);
    return name;
}

// 1 a wall line picked (outer set for the whole contour), 0 the command ends.
int PickWall(ads_name wall, bool& outer, double level) {
    outer = false;
    for (;;) {
        std::string layer;
        std::string keywords = outer ? "" : "Zewnętrzny";
        const char* prompt = outer ? "\nWybierz linię lub łuk zewnętrznego obwodu:"
                                   : "\nWybierz linię lub łuk elewacji lub [Zewnętrzny]:";
        const int r = PickLinesAndArcs("TUTTO", prompt, wall, level, layer, keywords, nullptr);
        if (r == 1) return 1;
        if (r == 0) {
            zcutPrintf("%s", kNotAWallLine);
            continue;
        }
        if (r == -2 && !outer) {
            outer = true;
            continue;
        }
        return 0;
    }
}

void MoveWallToLayer(WallMove what) {
    std::string chosen;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgSelezLayer dialog;
        if (dialog.DoModal() != IDOK) return;
        chosen = dialog.m_chosenLayer;
    }
    const double level = SettingReal(SetupVar::SQPAV);
    for (;;) {
        ads_name wall;
        bool outer = false;
        if (!PickWall(wall, outer, level)) return;
        host::SelectionSet candidates;
        if (what == WallMove::Faces3D && !ExistsEntityType("3DFACE", true, candidates.put())) return;
        host::SelectionSet gathered;
        const bool onFace = GatherOnWallFace(
            wall, level, outer, what == WallMove::Faces3D ? candidates.get() : nullptr, gathered.put());
        if (!onFace) {
            zcutPrintf("%s", kNotAWallLine);
            return;
        }
        const std::string target = TargetLayer(what, chosen, level);
        for (std::int32_t i = 0; i < gathered.size(); ++i) {
            ads_name member;
            ZcDbObjectId id;
            if (!gathered.name(i, member) || zcdbGetObjectId(id, member) != Zcad::eOk) continue;
            // One that does not open keeps its layer.
            ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForWrite);
            if (entity) entity->setLayer(target);
        }
    }
}

}  // namespace

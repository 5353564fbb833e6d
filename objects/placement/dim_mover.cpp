// The opening dimension mover (see the header). The opening's record keeps
// the dimension's text and line distances as its value pair (item 8: X the
// text, Y the line, Z the length along the wall); the distance is dragged
// from a base point on the wall's outer face, at the middle of a straight
// opening or at its length along an arc, and the openings are rebuilt with
// the new pair. Nothing changes before the distance is given.
#include "objects/placement/dim_mover.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_records.h"
#include "objects/placement/modify_regen.h"
#include "objects/placement/wall_edit_util.h"
#include "store/settings_dbfiler.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr double kPi = std::numbers::pi;

ZcGePoint3d Polar(const ZcGePoint3d& p, double angle, double d) {
    return {p.x + d * std::cos(angle), p.y + d * std::sin(angle), p.z};
}

void DrawTriangle(ZcGiWorldDraw* wd, const ZcGePoint3d (&t)[3]) {
    for (int i = 0; i < 3; ++i) {
        const ZcGePoint3d edge[2] = {t[i], t[(i + 1) % 3]};
        wd->geometry().polyline(2, edge);
    }
}

// The picked opening and what its record and insert give the drag.
struct PickedOpening {
    ads_name object{0, 0};
    std::string name;
    int type = 0;
    double pair[3]{};
    double rotation = 0.0;
    ZcGePoint3d at;
};

bool PickOpening(PickedOpening& o) {
    for (;;) {
        ads_point point;
        const int rc = zcedEntSel("\nWybierz otwór:", o.object, point);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return false;
        host::ResbufList list = wallcut::ReadWhole(o.object);
        resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
        if (!app) {
            zcutPrintf("%s", "\nWybrany obiekt nie jest otworem");
            continue;
        }
        std::vector<const resbuf*> items;
        for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) items.push_back(rb);
        o.type = items.size() > 2 && items[2]->restype == 1070 ? items[2]->resval.rint : 10;
        if (o.type != 11 && o.type != 12) {
            zcutPrintf("%s", "\nWybrany otwór nie jest prawidłowym typem");
            continue;
        }
        o.name = !items.empty() && items[0]->restype == 1000 && items[0]->resval.rstring
                     ? items[0]->resval.rstring
                     : "";
        if (items.size() > 6 && items[6]->restype == 1010)
            for (int i = 0; i < 3; ++i) o.pair[i] = items[6]->resval.rpoint[i];
        const resbuf* rotation = FindRbCode(list.get(), 50);
        o.rotation = rotation ? rotation->resval.rreal : 0.0;
        if (const resbuf* at = FindRbCode(list.get(), 10))
            o.at = ZcGePoint3d(at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]);
        return true;
    }
}

// 1 a door, 0 a window, -1 when its definition cannot be read.
int IsDoor(const std::string& name) {
    std::unique_ptr<ObjContext> c = NewObjContext(name);
    InitObjVariables(*c);
    if (LoadObjFile(*c, name) <= 0) {
        FreeObjContext(std::move(c));
        return -1;
    }
    ReadVarSection(false, *c);
    const int door = FindObjVar(11008, c->vars) ? 1 : 0;
    FreeObjContext(std::move(c));
    return door;
}

}  // namespace

// ---- VELM_SQUOTAENT ----

VELM_PREVIEW_ENTITY_MEMBERS(VELM_SQUOTAENT)

VELM_SQUOTAENT::VELM_SQUOTAENT() : size(GetScaleFactor(1)) {}

bool VELM_SQUOTAENT::worldDraw(ZcGiWorldDraw* wd) {
    wd->subEntityTraits().setColor(2);
    DrawTriangle(wd, first);
    if (twoTriangles) DrawTriangle(wd, second);
    return true;
}

// ---- AJIG_SQUOTA ----

AJIG_SQUOTA::AJIG_SQUOTA() : marker(new VELM_SQUOTAENT) {}

AJIG_SQUOTA::~AJIG_SQUOTA() {
    delete marker;
}

ZcEdJig::DragStatus AJIG_SQUOTA::sampler() {
    setUserInputControls(kAccept3dCoordinates);
    setKeywordList(outerSide ? "W" : "Na zewnątrz");
    const int set = 1;
    const double former = SysVarReal("ELEVATION", &elevation, &set);
    DragStatus st = acquireDist(distance, basePoint);
    // Told and asked again; the last distance stays meanwhile.
    while (st == kNormal && !CoordinateInRange(distance)) {
        distance = previousDistance;
        ReportOutOfRange();
        st = acquireDist(distance, basePoint);
    }
    SysVarReal("ELEVATION", &former, &set);
    if (st == kNormal && distance == previousDistance) return kNoChange;
    previousDistance = distance;
    return st;
}

bool AJIG_SQUOTA::update() {
    const double s = marker->size;
    const double a = direction;
    const ZcGePoint3d p = Polar(basePoint, outerSide ? a : a + kPi, distance);
    switch (markerStyle) {
        case 0:
            marker->twoTriangles = false;
            marker->first[0] = Polar(p, a - kPi / 2, s);
            marker->first[1] = Polar(p, a + kPi / 2, s);
            marker->first[2] = Polar(p, a, s);
            break;
        case 1: {
            marker->twoTriangles = true;
            const ZcGePoint3d p1 = Polar(p, a, s), p2 = Polar(p, a - kPi, s);
            marker->first[0] = Polar(p1, a - kPi / 2, s);
            marker->first[1] = Polar(p1, a + kPi / 2, s);
            marker->first[2] = p;
            marker->second[0] = Polar(p2, a - kPi / 2, s);
            marker->second[1] = Polar(p2, a + kPi / 2, s);
            marker->second[2] = p;
            break;
        }
        case 2:
            marker->twoTriangles = false;
            marker->first[0] = Polar(p, a - kPi / 2, s);
            marker->first[1] = Polar(p, a + kPi / 2, s);
            marker->first[2] = Polar(p, a + kPi, s);
            break;
        default:
            break;
    }
    return true;
}

// ---- VELMMOVEDIM ----

int DimensionMarkerStyle(bool door) {
    const int styles = SettingInt(SetupVar::SALLINTXTQ, 11);
    return door ? styles / 10 % 10 : styles % 10;
}

void CmdMoveDim() {
    zcedInitGet(0, "Wszystko Tekst Linia");
    char answer[64] = "";
    const int rc = zcedGetKword("Enter, aby przenieść tylko tekst lub [Wszystko/Tekst/Linia]:", answer);
    if (rc != RTNORM && rc != RTNONE) return;
    int mode = 0;
    if (rc == RTNORM && std::string(answer) == "Wszystko") mode = 2;
    if (rc == RTNORM && std::string(answer) == "Linia") mode = 1;

    PickedOpening o;
    if (!PickOpening(o)) return;
    const int door = IsDoor(o.name);
    if (door < 0) {
        zcutPrintf("\nNie można znaleźć pliku definicji obiektu :%s", o.name.c_str());
        return;
    }

    AJIG_SQUOTA jig;
    jig.markerStyle = DimensionMarkerStyle(door != 0);
    jig.elevation = o.at.z;
    if (o.type == 12) {
        jig.basePoint = Polar(o.at, o.rotation, o.pair[2]);
        jig.direction = o.rotation;
    } else {
        jig.basePoint = Polar(o.at, o.rotation, o.pair[2] / 2.0);
        jig.direction = o.rotation + kPi / 2.0;
    }
    double d = 0.0;
    for (;;) {
        jig.setDispPrompt(jig.outerSide ? "\nOkreśl odległość od linii zewnętrznej lub [Wewnętrznej]:"
                                        : "\nOkreśl odległość od linii wewnętrznej lub [Zewnętrznej]:");
        const ZcEdJig::DragStatus st = jig.drag();
        // A typed distance ends the drag also when it repeats the last sample.
        if (st == ZcEdJig::kNormal || st == ZcEdJig::kNoChange) {
            d = jig.outerSide ? jig.distance : -jig.distance;
            break;
        }
        if (st >= ZcEdJig::kKW1 && st <= ZcEdJig::kKW4) {
            jig.outerSide = jig.outerSide ? 0 : 1;
            continue;
        }
        if (st == ZcEdJig::kNull) continue;
        return;
    }
    double pair[2] = {o.pair[0], o.pair[1]};
    if (mode == 0 || mode == 2) pair[0] = d;
    if (mode == 1 || mode == 2) pair[1] = d;

    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    RegenParamObject(o.object, layers, pair, mode, nullptr, nullptr);
    zcutPrintf("%s", "\nWybierz otwory, do których zastosowaać tę samą odległość lub Enter, aby zamknąć:");
    ads_name set;
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) == RTNORM) RegenParamObject(e, layers, pair, mode, nullptr, nullptr);
        if (zcedUsrBrk()) break;
    }
    zcedSSFree(set);
}

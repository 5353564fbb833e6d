// The wall drawing commands (see the header).
#include "walls/drawing/wall_cmds.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/dialogs/dlg_wall_layers.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"
#include "host/ads/units.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/settings_text.h"
#include "store/setup_slots.h"
#include "walls/drawing/draw_walls.h"
#include "walls/drawing/velm_muroj.h"

namespace {

struct Rectangle {
    Point3 corner[4];
};

// The wall layer of the floor, made from its catalogue row when missing.
std::string ensureWallLayer(std::string base, double level) {
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    EnsureLayer(base, catalogue, true, level, false);
    return base;
}

void writeRectangle(const Rectangle& r, const std::string& layer, const std::string& wallType,
                    double number) {
    for (int i = 0; i < 4; ++i) {
        const Point3& a = r.corner[i];
        const Point3& b = r.corner[(i + 1) % 4];
        const ads_point from{a.x, a.y, a.z}, to{b.x, b.y, b.z};
        const host::ResbufList list(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, from, 11, to, 62, 256,
                                                  39, 0.0, -3, 1001, kWallTypeApp, 1000, wallType.c_str(),
                                                  1001, kRectangleApp, 1040, number, 0));
        zcdbEntMake(list.get());
    }
}

// The second corner, or "Grubość" with the thickness and the base; false
// when the user ends the command instead.
bool askRectangle(const Point3& first, double level, Rectangle& r) {
    const ads_point p1{first.x, first.y, level};
    ads_point p2{0, 0, 0};
    int rc;
    // A corner level with the first one would give sides of no length.
    for (;;) {
        rc = GetCornerInRange(1, "Grubość", p1, "\nOkreśl drugi punkt przekątnej [Grubość]:", p2);
        if (rc == RTNORM && !PointInRange(p2)) {
            ReportOutOfRange();
            continue;
        }
        if (rc != RTNORM ||
            (std::fabs(p2[0] - first.x) >= GeomEpsilon && std::fabs(p2[1] - first.y) >= GeomEpsilon))
            break;
        zcutPrintf("\nOkreślony punkt jest nieprawidłowy");
    }
    if (rc == RTNORM) {
        r.corner[0] = {first.x, first.y, level};
        r.corner[1] = {first.x, p2[1], level};
        r.corner[2] = {p2[0], p2[1], level};
        r.corner[3] = {p2[0], first.y, level};
        return true;
    }
    if (rc != RTKWORD) return false;
    const int slot = SetupVar::SETLASTSPESSRECT;
    double thickness = 30.0;
    GetVarReal(&slot, &thickness);
    char shown[64] = "";
    zcdbRToS(thickness, -1, 2, shown);
    const std::string prompt = std::string("\nWprowadź grubość ściany prostokątnej <") + shown + ">:";
    double given = thickness;
    const int st = GetSizeInRange(2 | 4, nullptr, p1, prompt.c_str(), &given);
    if (st == RTNORM)
        thickness = given;
    else if (st != RTNONE)
        return false;
    for (;;) {
        if (GetPointInRange(0, nullptr, p1, "\nDrugi punkt podstawy prostokąta:", p2) != RTNORM) return false;
        if (Distance2d(first, {p2[0], p2[1], level}) >= GeomEpsilon) break;
        zcutPrintf("\nOkreślony punkt jest nieprawidłowy");
    }
    const Point3 a{first.x, first.y, level}, b{p2[0], p2[1], level};
    const double up = AngleTo(a, b) + std::acos(-1.0) * 0.5;
    r.corner[0] = a;
    r.corner[1] = b;
    r.corner[2] = PolarPoint(b, up, thickness);
    r.corner[3] = PolarPoint(a, up, thickness);
    SetVarReal(&slot, &thickness);
    return true;
}

}  // namespace

namespace {

// The lines a wall command makes or changes, as the drawing reports them:
// its clean-up looks at these and not at every wall line of the floor.
class TouchedLines : public ZcDbDatabaseReactor {
public:
    explicit TouchedLines(ZcDbDatabase* db) : m_db(db) {
        if (m_db) m_db->addReactor(this);
    }
    ~TouchedLines() override {
        if (m_db) m_db->removeReactor(this);
    }
    TouchedLines(const TouchedLines&) = delete;
    TouchedLines& operator=(const TouchedLines&) = delete;
    void objectAppended(const ZcDbDatabase*, const ZcDbObject* obj) override { note(obj); }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* obj) override { note(obj); }
    const std::vector<ZcDbObjectId>& ids() const { return m_ids; }

private:
    void note(const ZcDbObject* obj) {
        if (ZcDbLine::cast(obj)) m_ids.push_back(obj->objectId());
    }
    ZcDbDatabase* m_db;
    std::vector<ZcDbObjectId> m_ids;
};

void runWallDrawing(bool showOptions) {
    const int slot = SetupVar::OSDISABMURO;
    int snapOff = 0;
    GetVarInt(&slot, &snapOff);
    int savedSnap = -1;
    if (snapOff) {
        const int zero = 0;
        savedSnap = SysVarShort("OSMODE", &zero);
    }
    {
        TouchedLines touched(zcdbCurDwg());
        DrawWalls(showOptions);
        EraseNullWallLines(touched.ids());
    }
    if (snapOff) SysVarShort("OSMODE", &savedSnap);
}

}  // namespace

void CmdWall() {
    runWallDrawing(true);
}

void CmdWallD() {
    runWallDrawing(false);
}

void CmdRectWall() {
    const int levelSlot = SetupVar::SQPAV, layerSlot = SetupVar::ULAYERMURO, typeSlot = SetupVar::ULTIMOTMURO,
              numberSlot = SetupVar::SETRECT_INCREMENT;
    double level = 0.0, number = 0.0;
    GetVarReal(&levelSlot, &level);
    GetVarReal(&numberSlot, &number);
    std::string base, wallType;
    GetVarString(&layerSlot, base);
    GetVarString(&typeSlot, wallType);
    // The layer and the xdata names are made with the first rectangle: a
    // command cancelled before it leaves the drawing as it was.
    std::string layer;
    for (;;) {
        ads_point p{0, 0, 0};
        const int rc =
            GetPointInRange(0, "Warstwa", nullptr, "\nOkreśl pierwszy punkt przekątnej lub [Warstwa]:", p);
        if (rc == RTKWORD) {
            CZcModuleResourceOverride use(VelmResourceHandle());
            CDlgSelezLayer dialog;
            if (dialog.DoModal() != IDOK) break;
            SetVarString(&layerSlot, dialog.m_chosenLayer.c_str());
            base = dialog.m_chosenLayer;
            layer.clear();
            continue;
        }
        if (rc != RTNORM) break;
        Rectangle r;
        if (!askRectangle({p[0], p[1], level}, level, r)) break;
        if (layer.empty()) {
            layer = ensureWallLayer(base, level);
            RegisterXDataApp(kRectangleApp);
            RegisterXDataApp(kWallTypeApp);
        }
        writeRectangle(r, layer, wallType, number);
        number += 1.0;
    }
    // Kept however the command ends, or the next rectangle would reuse the
    // number and its lines pair with these.
    SetVarReal(&numberSlot, &number);
}

void CmdLayerWall() {
    ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject());
    if (!walls) return;
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgLstLayer dialog;
    dialog.m_layers = walls->entries;
    if (dialog.DoModal() == IDOK) {
        std::vector<std::string> chosen;
        dialog.GetLayers(chosen);
        // The first wall layer is fixed: the drawing's reader puts it back
        // first whatever was stored.
        std::vector<std::string> layers{VELM_LAYERMURI::kFirstLayer};
        for (std::string& name : chosen)
            if (!ContainsIgnoringCase(layers, name)) layers.push_back(std::move(name));
        walls->entries = std::move(layers);
    }
}

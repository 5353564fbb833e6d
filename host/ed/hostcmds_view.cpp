// The display commands: "_REDRAW", "_REGEN", "_ZOOM" (Extents, Window,
// Previous, Center, a scale factor), "_-VIEW"/"VIEW" (Save, Restore,
// Delete named views), "VPOINT" (a view direction as a point, or two
// angles), "_MSPACE"/"_PSPACE" and "_SHADEMODE". Nothing is displayed; each
// command changes the view the current viewport keeps.
//
// Extents are the bounding box of the current space's entities, from the
// points each entity kind is known by (arcs and circles by their full
// circle): enough for framing, not a tight box.
#include <algorithm>
#include <cmath>
#include <vector>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbdim.h"
#include "host/db/dbinsert.h"
#include "host/db/dbpoly.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/ed/grdraw.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/viewport.h"

namespace host {
namespace {

constexpr double kAspect = 1.5;  // width / height of the headless screen
constexpr size_t kMaxPreviousViews = 10;

std::vector<ViewState>& previousViews() {
    static std::vector<ViewState> views;
    return views;
}

void changeView(const ViewState& v) {
    auto& prev = previousViews();
    prev.push_back(currentView());
    if (prev.size() > kMaxPreviousViews) prev.erase(prev.begin());
    setCurrentView(v);
}

struct Box {
    ZcGePoint3d lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    bool empty() const { return lo.x > hi.x; }
    void add(const ZcGePoint3d& p) {
        lo = ZcGePoint3d(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi = ZcGePoint3d(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
};

void addEntity(Box& box, ZcDbEntity* e) {
    if (auto* l = ZcDbLine::cast(e)) {
        box.add(l->startPoint());
        box.add(l->endPoint());
    } else if (auto* c = ZcDbCircle::cast(e)) {  // arcs too
        ZcGePoint3d o = c->center();
        double r = c->radius();
        box.add(ZcGePoint3d(o.x - r, o.y - r, o.z));
        box.add(ZcGePoint3d(o.x + r, o.y + r, o.z));
    } else if (auto* pt = ZcDbPoint::cast(e)) {
        box.add(pt->position());
    } else if (auto* t = ZcDbText::cast(e)) {
        box.add(t->position());
        box.add(t->position() + ZcGeVector3d(t->height() * t->textString().size() * 0.8, t->height(), 0));
    } else if (auto* pl = ZcDbPolyline::cast(e)) {
        for (unsigned i = 0; i < pl->numVerts(); ++i) {
            ZcGePoint3d p;
            if (pl->getPointAt(i, p) == Zcad::eOk) box.add(p);
        }
    } else if (auto* br = ZcDbBlockReference::cast(e)) {
        box.add(br->position());
    } else if (auto* d = ZcDbAlignedDimension::cast(e)) {
        box.add(d->xLine1Point());
        box.add(d->xLine2Point());
        box.add(d->dimLinePoint());
    } else if (auto* f = ZcDbFace::cast(e)) {
        for (int i = 0; i < 4; ++i) {
            ZcGePoint3d p;
            if (f->getVertexAt(i, p) == Zcad::eOk) box.add(p);
        }
    }
}

Box spaceExtents() {
    Box box;
    ZcDbDatabase* db = commandDatabase();
    ZcDbBlockTableRecord* space = nullptr;
    if (!db || zcdbOpenObject(space, db->currentSpaceId(), ZcDb::kForRead) != Zcad::eOk) return box;
    for (ZcDbObjectId id : space->entityIds()) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        addEntity(box, e);
        e->close();
    }
    space->close();
    return box;
}

ViewState framing(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    ViewState v = currentView();
    v.center = ZcGePoint3d((a.x + b.x) / 2, (a.y + b.y) / 2, 0);
    double h = std::max(std::fabs(b.y - a.y), std::fabs(b.x - a.x) / kAspect);
    v.height = h > 0 ? h : v.height;
    return v;
}

int zoomExtents() {
    Box box = spaceExtents();
    if (box.empty()) return RTNORM;
    ViewState v = framing(box.lo, box.hi);
    setSysVar("EXTMIN", SysVarValue{box.lo}, false);
    setSysVar("EXTMAX", SysVarValue{box.hi}, false);
    changeView(v);
    return RTNORM;
}

int zoomCommand() {
    ZcGePoint3d first;
    std::string kw;
    int rc = askPoint(
        "\nPodaj narożnik okna, współczynnik skali (nX lub nXP) lub "
        "[Wszystko/Środek/Zakres/Poprzedni/Skala/Okno] <czas rzeczywisty>: ",
        first, nullptr, RSG_OTHER,
        "Wszystko Środek Zakres Poprzedni Skala Okno _ All Center Extents Previous Scale Window", &kw);
    if (rc == RTNONE || rc == RTCAN) return rc == RTCAN ? RTCAN : RTNORM;
    if (rc == RTNORM) kw = "Corner";
    if (kw == "All" || kw == "Extents") return zoomExtents();
    if (kw == "Previous") {
        auto& prev = previousViews();
        if (prev.empty()) {
            zcutPrintf("\nNie zapamiętano poprzedniego widoku.");
            return RTNORM;
        }
        ViewState v = prev.back();
        prev.pop_back();
        setCurrentView(v);
        return RTNORM;
    }
    if (kw == "Window" && (rc = askPoint("\nPodaj pierwszy narożnik: ", first)) != RTNORM) return rc;
    if (kw == "Window" || kw == "Corner") {
        ZcGePoint3d second;
        if ((rc = askPoint("\nPodaj przeciwległy narożnik: ", second, &first, RSG_NONULL)) != RTNORM)
            return rc;
        changeView(framing(first, second));
        return RTNORM;
    }
    if (kw == "Center") {
        ViewState v = currentView();
        ZcGePoint3d c;
        if ((rc = askPoint("\nPodaj punkt środkowy: ", c)) == RTCAN) return rc;
        if (rc == RTNORM) v.center = c;
        double h = v.height;
        if ((rc = askDist("\nPodaj wysokość <" + showNumber(v.height) + ">: ", h, nullptr,
                          RSG_NOZERO | RSG_NONEG)) == RTCAN)
            return rc;
        v.height = h;
        changeView(v);
        return RTNORM;
    }
    // A scale factor: "2" (of the drawing), "2x" (of the present view).
    std::string factor = kw;
    if (kw == "Scale") {
        if ((rc = askText("\nPodaj współczynnik skali (nX lub nXP): ", factor)) != RTNORM) return rc;
    }
    std::string digits = factor;
    bool relative = !digits.empty() && (digits.back() == 'x' || digits.back() == 'X');
    if (relative) digits.pop_back();
    auto n = ads_text::parseReal(digits);
    if (!n || *n <= 0) {
        zcutPrintf("\nNieprawidłowa wartość.");
        return RTERROR;
    }
    ViewState v = currentView();
    v.height = relative ? v.height / *n : 297.0 / *n;
    changeView(v);
    return RTNORM;
}

int regenCommand() {
    redrawScreen();
    noteRegen();
    return RTNORM;
}

int redrawCommand() {
    redrawScreen();
    return RTNORM;
}

ZcDbObjectId viewRecord(ZcDbDatabase* db, const std::string& name) {
    return db->recordId(db->viewTableId(), name);
}

int viewCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    std::string kw;
    int rc = askKeyword("\nPodaj opcję [?/Usuń/Przywróć/Zapisz/Okno]: ",
                        "? Usuń Przywróć Zapisz Okno _ ? Delete Restore Save Window", kw);
    if (rc == RTNONE) return RTNORM;
    if (rc != RTNORM) return rc;
    if (kw == "?") {
        ZcDbViewTable* t = nullptr;
        if (db->getViewTable(t) == Zcad::eOk) {
            for (ZcDbObjectId id : t->recordIds()) {
                ZcDbViewTableRecord* r = nullptr;
                if (zcdbOpenObject(r, id, ZcDb::kForRead) != Zcad::eOk) continue;
                zcutPrintf("\n%s", r->name().c_str());
                r->close();
            }
            t->close();
        }
        return RTNORM;
    }
    std::string name;
    if ((rc = askText("\nPodaj nazwę widoku: ", name)) != RTNORM) return rc == RTNONE ? RTNORM : rc;
    ZcDbObjectId id = viewRecord(db, name);
    if (kw == "Restore" || kw == "Delete") {
        if (id.isNull()) {
            zcutPrintf("\nNie można znaleźć widoku \"%s\".", name.c_str());
            return RTERROR;
        }
        ZcDbViewTableRecord* r = nullptr;
        if (zcdbOpenObject(r, id, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
        if (kw == "Delete") {
            r->erase();
        } else {
            ViewState v = currentView();
            v.center = ZcGePoint3d(r->centerPoint().x, r->centerPoint().y, 0);
            v.height = r->height();
            v.direction = r->viewDirection();
            v.target = r->target();
            changeView(v);
        }
        r->close();
        return RTNORM;
    }
    ViewState v = currentView();
    if (kw == "Window") {
        ZcGePoint3d a, b;
        if ((rc = askPoint("\nPodaj pierwszy narożnik: ", a)) != RTNORM) return rc;
        if ((rc = askPoint("\nPodaj przeciwległy narożnik: ", b, &a, RSG_NONULL)) != RTNORM) return rc;
        v = framing(a, b);
    }
    // Save (and Window): a new record, or the named one overwritten.
    ZcDbViewTableRecord* r = nullptr;
    ZcDbViewTable* table = nullptr;
    if (id.isNull()) {
        if (name.find_first_of("<>/\\\":;?*|=`,") != std::string::npos) {
            zcutPrintf("\nNieprawidłowa nazwa widoku.");
            return RTERROR;
        }
        if (db->getViewTable(table, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
        r = new ZcDbViewTableRecord;
        r->setName(name);
        if (table->add(r) != Zcad::eOk) {
            delete r;
            table->close();
            return RTERROR;
        }
        table->close();
    } else if (zcdbOpenObject(r, id, ZcDb::kForWrite) != Zcad::eOk) {
        return RTERROR;
    }
    r->setCenterPoint(ZcGePoint2d(v.center.x, v.center.y));
    r->setHeight(v.height);
    r->setWidth(v.height * kAspect);
    r->setViewDirection(v.direction);
    r->setTarget(v.target);
    r->close();
    return RTNORM;
}

constexpr double kPi = 3.14159265358979323846;

int vpointCommand() {
    ViewState v = currentView();
    ZcGePoint3d p;
    std::string kw;
    int rc = askPoint(
        ads_text::format("\nBieżący kierunek widoku: VIEWDIR=%s,%s,%s\nPodaj punkt widoku lub [Obróć]: ",
                         showNumber(v.direction.x).c_str(), showNumber(v.direction.y).c_str(),
                         showNumber(v.direction.z).c_str()),
        p, nullptr, RSG_GETZ, "Obróć _ Rotate", &kw);
    if (rc == RTNONE) return RTNORM;
    if (rc == RTCAN) return rc;
    ZcGeVector3d dir;
    if (rc == RTKWORD) {
        double inPlane = 0, fromPlane = 0;
        if ((rc = askReal("\nPodaj kąt w płaszczyźnie XY od osi X: ", inPlane)) != RTNORM) return rc;
        if ((rc = askReal("\nPodaj kąt od płaszczyzny XY: ", fromPlane)) != RTNORM) return rc;
        double a = inPlane * kPi / 180, b = fromPlane * kPi / 180;
        dir = ZcGeVector3d(std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b));
    } else {
        dir = p.asVector();
    }
    if (dir.length() == 0) {
        zcutPrintf("\nKierunek widoku nie może być zerowy.");
        return RTERROR;
    }
    v.direction = dir;
    changeView(v);
    return zoomExtents();
}

int mspaceCommand() {
    if (sysVarShort("TILEMODE") != 0) {
        zcutPrintf("\n** Polecenie niedostępne w przestrzeni modelu **");
        return RTERROR;
    }
    if (sysVarShort("CVPORT") >= 2) return RTNORM;
    // The lowest-numbered model viewport takes the work.
    for (int n = 2; n < 64; ++n)
        if (setCurrentViewportNumber(n)) return RTNORM;
    zcutPrintf("\nBrak aktywnych rzutni w przestrzeni papieru.");
    return RTERROR;
}

int pspaceCommand() {
    if (sysVarShort("TILEMODE") != 0) {
        zcutPrintf("\n** Polecenie niedostępne w przestrzeni modelu **");
        return RTERROR;
    }
    setCurrentViewportNumber(1);
    return RTNORM;
}

int shademodeCommand() {
    std::string kw;
    int rc = askKeyword(
        "\nPodaj opcję [2D szkielet/3D szkielet/Ukryte/Płaskie/Gourauda/pŁaskie+krawędzie/"
        "gOurauda+krawędzie] <2D szkielet>: ",
        "2D 3D Ukryte Płaskie Gourauda pŁaskie+krawędzie gOurauda+krawędzie "
        "_ 2D 3D Hidden Flat Gouraud fLatedges gOuraudedges",
        kw);
    if (rc == RTCAN) return rc;
    if (rc == RTNONE) kw = "2D";
    static const char* const kModes[] = {"2D",      "3D",        "Hidden",      "Flat",
                                         "Gouraud", "fLatedges", "gOuraudedges"};
    for (short i = 0; i < 7; ++i)
        if (kw == kModes[i]) setSysVar("SHADEMODE", SysVarValue{i});
    return RTNORM;
}

}  // namespace

void resetViewCommands() {
    previousViews().clear();
}

void installViewCommands() {
    installSpaceWatcher();
    registerHostCommand("REDRAW", redrawCommand, true);
    registerHostCommand("REGEN", regenCommand);
    registerHostCommand("ZOOM", zoomCommand, true);
    registerHostCommand("-VIEW", viewCommand, true);
    registerHostCommand("VIEW", viewCommand, true);
    registerHostCommand("VPOINT", vpointCommand);
    registerHostCommand("MSPACE", mspaceCommand);
    registerHostCommand("PSPACE", pspaceCommand);
    registerHostCommand("SHADEMODE", shademodeCommand);
}

}  // namespace host

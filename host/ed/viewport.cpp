// The view variables (VIEWCTR, VIEWSIZE, VIEWDIR, TARGET, LENSLENGTH,
// VIEWMODE) always describe the current viewport; the viewport itself (the
// "*Active" record in model space, a VIEWPORT entity in the layout) keeps
// its view when another becomes current, and the variables are reloaded
// from it then.
#include "host/ed/viewport.h"

#include "host/ads/editor.h"
#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/db/dbsymtb.h"
#include "host/ed/docman.h"
#include "host/ed/hostcmd_util.h"

namespace host {
namespace {

int g_regens = 0;

// The VIEWPORT entity numbered n in paper space.
ZcDbObjectId viewportNumbered(ZcDbDatabase* db, int n) {
    ZcDbBlockTableRecord* ps = nullptr;
    if (!db || zcdbOpenObject(ps, db->paperSpaceId(), ZcDb::kForRead) != Zcad::eOk) return {};
    ZcDbObjectId found;
    for (ZcDbObjectId id : ps->entityIds()) {
        auto* vp = id.stub()->object ? ZcDbViewport::cast(id.stub()->object.get()) : nullptr;
        if (vp && vp->number() == n) {
            found = id;
            break;
        }
    }
    ps->close();
    return found;
}

bool inLayoutViewport() {
    return sysVarShort("TILEMODE") == 0 && sysVarShort("CVPORT") >= 2;
}

void storeViewVariables(const ViewState& v) {
    setSysVar("VIEWCTR", SysVarValue{v.center}, false);
    setSysVar("VIEWSIZE", SysVarValue{v.height}, false);
    setSysVar("VIEWDIR", SysVarValue{ZcGePoint3d(v.direction.x, v.direction.y, v.direction.z)}, false);
    setSysVar("TARGET", SysVarValue{v.target}, false);
    setSysVar("LENSLENGTH", SysVarValue{v.lensLength}, false);
    short mode = sysVarShort("VIEWMODE");
    mode = static_cast<short>(v.perspective ? (mode | 1) : (mode & ~1));
    setSysVar("VIEWMODE", SysVarValue{mode}, false);
}

ViewState viewFromVariables() {
    ViewState v;
    v.center = sysVarPoint("VIEWCTR");
    v.height = sysVarReal("VIEWSIZE");
    ZcGePoint3d d = sysVarPoint("VIEWDIR");
    v.direction = ZcGeVector3d(d.x, d.y, d.z);
    v.target = sysVarPoint("TARGET");
    v.lensLength = sysVarReal("LENSLENGTH");
    v.perspective = (sysVarShort("VIEWMODE") & 1) != 0;
    return v;
}

ZcDbObjectId activeRecord() {
    ZcDbDatabase* db = commandDatabase();
    return db ? db->recordId(db->viewportTableId(), "*Active") : ZcDbObjectId();
}

// The model view goes into the "*Active" record when the layout takes over.
void saveModelView() {
    ViewState v = viewFromVariables();
    ZcDbViewportTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, activeRecord(), ZcDb::kForWrite) != Zcad::eOk) return;
    rec->setCenterPoint(ZcGePoint2d(v.center.x, v.center.y));
    rec->setHeight(v.height);
    rec->setViewDirection(v.direction);
    rec->setTarget(v.target);
    rec->close();
}

// Reloads the variables from the viewport that just became current.
void loadViewOfCurrentViewport() {
    if (sysVarShort("TILEMODE") != 0) {
        ZcDbViewportTableRecord* rec = nullptr;
        if (zcdbOpenObject(rec, activeRecord(), ZcDb::kForRead) != Zcad::eOk) return;
        ViewState v = viewFromVariables();
        v.center = ZcGePoint3d(rec->centerPoint().x, rec->centerPoint().y, 0);
        v.height = rec->height();
        v.direction = rec->viewDirection();
        v.target = rec->target();
        v.perspective = false;
        rec->close();
        storeViewVariables(v);
        return;
    }
    if (!inLayoutViewport()) return;
    ZcDbViewport* vp = nullptr;
    if (zcdbOpenObject(vp, zcedGetCurViewportObjectId(), ZcDb::kForRead) != Zcad::eOk) return;
    ViewState v;
    v.center = ZcGePoint3d(vp->viewCenter().x, vp->viewCenter().y, 0);
    v.height = vp->viewHeight();
    v.direction = vp->viewDirection();
    v.target = vp->viewTarget();
    v.lensLength = vp->lensLength();
    v.perspective = vp->isPerspectiveOn();
    vp->close();
    storeViewVariables(v);
}

ZcDbViewport* newViewport(int number, const ZcGePoint3d& center, double w, double h) {
    auto* vp = new ZcDbViewport;
    vp->setNumber(number);
    vp->setCenterPoint(center);
    vp->setWidth(w);
    vp->setHeight(h);
    vp->setViewCenter(ZcGePoint2d(center.x, center.y));
    vp->setViewHeight(h);
    return vp;
}

}  // namespace

ViewState currentView() {
    return viewFromVariables();
}

void setCurrentView(const ViewState& v) {
    storeViewVariables(v);
    ZcDbDatabase* db = commandDatabase();
    if (!db) return;
    if (inLayoutViewport()) {
        ZcDbViewport* vp = nullptr;
        if (zcdbOpenObject(vp, zcedGetCurViewportObjectId(), ZcDb::kForWrite) != Zcad::eOk) return;
        vp->setViewCenter(ZcGePoint2d(v.center.x, v.center.y));
        vp->setViewHeight(v.height);
        vp->setViewDirection(v.direction);
        vp->setViewTarget(v.target);
        vp->setLensLength(v.lensLength);
        if (v.perspective)
            vp->setPerspectiveOn();
        else
            vp->setPerspectiveOff();
        vp->close();
        return;
    }
    if (sysVarShort("TILEMODE") != 0) {
        ZcDbViewportTableRecord* rec = nullptr;
        ZcDbObjectId id = db->recordId(db->viewportTableId(), "*Active");
        if (zcdbOpenObject(rec, id, ZcDb::kForWrite) != Zcad::eOk) return;
        rec->setCenterPoint(ZcGePoint2d(v.center.x, v.center.y));
        rec->setHeight(v.height);
        rec->setViewDirection(v.direction);
        rec->setTarget(v.target);
        rec->close();
    }
}

void ensureLayoutViewports(ZcDbDatabase* db) {
    if (!db || !viewportNumbered(db, 1).isNull()) return;
    ZcDbBlockTableRecord* ps = nullptr;
    if (zcdbOpenObject(ps, db->paperSpaceId(), ZcDb::kForWrite) != Zcad::eOk) return;
    // An A4 sheet in landscape with one model view inside its margins.
    for (ZcDbViewport* vp : {newViewport(1, ZcGePoint3d(148.5, 105, 0), 297, 210),
                             newViewport(2, ZcGePoint3d(148.5, 105, 0), 277, 190)}) {
        vp->setDatabaseDefaults(db);
        if (ps->appendZcDbEntity(vp) == Zcad::eOk)
            vp->close();
        else
            delete vp;
    }
    ps->close();
}

void syncCurrentSpace() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return;
    bool paper = sysVarShort("TILEMODE") == 0 && sysVarShort("CVPORT") == 1;
    db->setCurrentSpaceId(paper ? db->paperSpaceId() : db->modelSpaceId());
}

namespace {
// A layout remembers the viewport last current in it (1: the sheet itself),
// kept with the document as a variable no file carries: a first switch to
// the layout works on the sheet, a later one where the user left it.
const char* const kLayoutViewport = "*LAYOUTCVPORT";

void rememberLayoutViewport() {
    if (ZcApDocument* doc = zcDocManagerPtr()->curDocument())
        doc->sysVars().store(kLayoutViewport, SysVarValue{sysVarShort("CVPORT")});
}

short layoutViewport() {
    ZcApDocument* doc = zcDocManagerPtr()->curDocument();
    const SysVarValue* v = doc ? doc->sysVars().find(kLayoutViewport) : nullptr;
    short n = v && std::holds_alternative<short>(*v) ? std::get<short>(*v) : short(1);
    return viewportNumbered(commandDatabase(), n).isNull() ? short(1) : n;
}
}  // namespace

bool setTileMode(int mode) {
    if (mode != 0 && mode != 1) return false;
    if (sysVarShort("TILEMODE") == mode) return true;
    // The watcher below does the switching, as for any other setter.
    setSysVar("TILEMODE", SysVarValue{static_cast<short>(mode)});
    return true;
}

bool setCurrentViewportNumber(int number) {
    if (sysVarShort("TILEMODE") == 0 && viewportNumbered(commandDatabase(), number).isNull()) return false;
    setSysVar("CVPORT", SysVarValue{static_cast<short>(number)});
    syncCurrentSpace();
    loadViewOfCurrentViewport();
    return true;
}

namespace {
// TILEMODE and CVPORT set by anyone (zcedSetVar included) take effect on
// the spaces as they would when the user switched.
struct SpaceWatcher : ZcEditorReactor {
    bool busy = false;
    void sysVarWillChange(const char* name) override {
        if (busy || !name || std::string(name) != "TILEMODE") return;
        if (sysVarShort("TILEMODE") != 0)
            saveModelView();
        else
            rememberLayoutViewport();
    }
    void sysVarChanged(const char* name, bool success) override {
        if (!success || busy) return;
        std::string n = name ? name : "";
        if (n != "TILEMODE" && n != "CVPORT") return;
        busy = true;
        if (n == "TILEMODE" && sysVarShort("TILEMODE") == 0) {
            ensureLayoutViewports(commandDatabase());
            setSysVar("CVPORT", SysVarValue{layoutViewport()}, false);
        } else if (n == "TILEMODE") {
            setSysVar("CVPORT", SysVarValue{short(2)}, false);
        }
        syncCurrentSpace();
        loadViewOfCurrentViewport();
        busy = false;
    }
};
}  // namespace

void installSpaceWatcher() {
    static SpaceWatcher watcher;
    zcedEditor->addReactor(&watcher);
}

void noteRegen() {
    ++g_regens;
}
int regenCount() {
    return g_regens;
}

}  // namespace host

ZcDbObjectId zcedGetCurViewportObjectId() {
    ZcDbDatabase* db = host::commandDatabase();
    if (!db) return {};
    if (host::sysVarShort("TILEMODE") != 0) return db->recordId(db->viewportTableId(), "*Active");
    return host::viewportNumbered(db, host::sysVarShort("CVPORT"));
}

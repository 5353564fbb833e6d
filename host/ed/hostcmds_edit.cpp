// The editing commands: "ERASE"/"_DELETE", "_OOPS", "_MOVE", "_COPY",
// "_ROTATE" (with Reference), "STRETCH", "_BREAK" and "_SELECT".
//
// Objects come from the pick-first set when one was made before the
// command, else from the host's selection prompt (where "P" takes the
// previous set, as a selection set passed to zcedCommand does). Objects on
// locked layers are left out, with a count. The chosen set becomes the
// previous selection.
//
// Whatever moves whole takes its world-space extended data along
// (host/db/dbxdata_xform.h). STRETCH takes a crossing window: objects
// wholly inside move, and of the others the defining points inside move
// (line ends, polyline vertices, the points of a dimension, whose picture
// is then redrawn). BREAK cuts
// lines, arcs and circles; the first break point is where the object was
// picked unless "First" asks for it; a new piece keeps the object's
// extended data.
#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbdim.h"
#include "host/db/dbinsert.h"
#include "host/db/dbpoly.h"
#include "host/db/dbprefetch.h"
#include "host/db/dbsymtb.h"
#include "host/db/dbxdata_xform.h"
#include "host/db/stubset.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"

namespace host {

// What OOPS brings back: the objects last erased by ERASE or written out by
// WBLOCK, per drawing.
static std::unordered_map<ZcDbDatabase*, std::vector<ZcDbObjectId>>& erasedLast() {
    static std::unordered_map<ZcDbDatabase*, std::vector<ZcDbObjectId>> m;
    return m;
}

void eraseForOops(const std::vector<ZcDbObjectId>& ids, ZcDbDatabase* db) {
    std::vector<ZcDbObjectId> done;
    done.reserve(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        prefetchAhead<4>(ids, i, 16);
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, ids[i], ZcDb::kForWrite) != Zcad::eOk) continue;
        if (e->erase() == Zcad::eOk) done.push_back(ids[i]);
        e->close();
    }
    erasedLast()[db] = std::move(done);
}

namespace {

constexpr double kPi = 3.14159265358979323846;

bool layerLocked(ZcDbObjectId layer) {
    ZcDbLayerTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, layer, ZcDb::kForRead) != Zcad::eOk) return false;
    bool locked = rec->isLocked();
    rec->close();
    return locked;
}

// Whether an object is to be left out: on a locked layer, or not openable.
// Each layer is looked up once per set, not once for every object on it.
class OnLockedLayer {
public:
    bool operator()(ZcDbObjectId id) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return true;
        if (e->database() != m_db) {
            m_db = e->database();
            m_known.clear();
            m_last = nullptr;
        }
        if (!m_last || *m_last != e->layer()) {
            auto [known, fresh] = m_known.try_emplace(e->layer(), false);
            if (fresh) known->second = layerLocked(e->layerId());
            m_last = &known->first;
            m_lastLocked = known->second;
        }
        e->close();
        return m_lastLocked;
    }

private:
    const ZcDbDatabase* m_db = nullptr;
    std::unordered_map<std::string, bool> m_known;
    const std::string* m_last = nullptr;
    bool m_lastLocked = false;
};

// Leaves out the objects on locked layers; how many went.
size_t dropLocked(std::vector<ZcDbObjectId>& ids) {
    OnLockedLayer locked;
    size_t kept = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        prefetchAhead<4>(ids, i, 16);
        if (!locked(ids[i])) ids[kept++] = ids[i];
    }
    const size_t dropped = ids.size() - kept;
    ids.resize(kept);
    return dropped;
}

// The objects the command works on; RTNORM with at least one.
int chooseObjects(std::vector<ZcDbObjectId>& out) {
    out = pickFirstSet();
    if (!out.empty()) {
        setPickFirstSet({});
    } else {
        ads_name ss = {0, 0};
        int rc = zcedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
        if (rc == RTCAN) return rc;
        if (rc != RTNORM) {
            zcutPrintf("\nNie wybrano obiektów.");
            return RTERROR;
        }
        out = selectionMembers(ss);
        zcedSSFree(ss);
    }
    if (size_t locked = dropLocked(out)) zcutPrintf("\n%zu obiekt(ów) na zablokowanej warstwie.", locked);
    if (out.empty()) return RTERROR;
    setPreviousSelection(out);
    return RTNORM;
}

void transformAll(const std::vector<ZcDbObjectId>& ids, const ZcGeMatrix3d& m) {
    for (ZcDbObjectId id : ids) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForWrite) != Zcad::eOk) continue;
        if (e->transformBy(m) == Zcad::eOk) zcdbTransformXData(e, m);
        if (auto* d = ZcDbDimension::cast(e)) rebuildDimensionBlock(d);
        e->close();
    }
}

// Base point and second point, or a displacement (Enter at the second).
int askDisplacement(ZcGeVector3d& v) {
    ZcGePoint3d base, second;
    std::string kw;
    int rc = askPoint("\nPodaj punkt bazowy lub [Przemieszczenie] <Przemieszczenie>: ", base, nullptr, 0,
                      "Przemieszczenie _ Displacement", &kw);
    if (rc == RTCAN) return rc;
    if (rc != RTNORM) {
        rc = askPoint("\nPodaj przemieszczenie <0,0,0>: ", base);
        if (rc == RTCAN) return rc;
        v = rc == RTNORM ? base.asVector() : ZcGeVector3d();
        return RTNORM;
    }
    rc = askPoint("\nPodaj drugi punkt lub <użyj pierwszego punktu jako przemieszczenia>: ", second, &base);
    if (rc == RTCAN) return rc;
    v = rc == RTNORM ? second - base : base.asVector();
    return RTNORM;
}

// --------------------------------------------------------------- commands

int eraseCommand() {
    std::vector<ZcDbObjectId> ids;
    int rc = chooseObjects(ids);
    if (rc != RTNORM) return rc == RTERROR ? RTNORM : rc;
    eraseForOops(ids, commandDatabase());
    return RTNORM;
}

int oopsCommand() {
    auto it = erasedLast().find(commandDatabase());
    if (it == erasedLast().end() || it->second.empty()) return RTNORM;
    for (ZcDbObjectId id : it->second) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForWrite, true) != Zcad::eOk) continue;
        e->erase(false);
        e->close();
    }
    it->second.clear();
    return RTNORM;
}

int moveCommand() {
    std::vector<ZcDbObjectId> ids;
    int rc = chooseObjects(ids);
    if (rc != RTNORM) return rc == RTERROR ? RTNORM : rc;
    ZcGeVector3d v;
    if ((rc = askDisplacement(v)) != RTNORM) return rc;
    transformAll(ids, ZcGeMatrix3d::translation(v));
    return RTNORM;
}

int copyCommand() {
    std::vector<ZcDbObjectId> ids;
    int rc = chooseObjects(ids);
    if (rc != RTNORM) return rc == RTERROR ? RTNORM : rc;
    ZcGeVector3d v;
    if ((rc = askDisplacement(v)) != RTNORM) return rc;
    ZcDbDatabase* db = commandDatabase();
    ZcGeMatrix3d m = ZcGeMatrix3d::translation(v);
    std::vector<ZcDbObjectId> copies;
    for (ZcDbObjectId id : ids) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        ZcDbObjectId space = e->ownerId();
        auto* copy = ZcDbEntity::cast(e->clone());
        e->close();
        if (!copy) continue;
        if (copy->transformBy(m) == Zcad::eOk) zcdbTransformXData(copy, m);
        if (auto* d = ZcDbDimension::cast(copy)) {
            d->setDimBlockId(ZcDbObjectId());  // a copy gets its own picture
            if (!rebuildDimensionBlock(d)) {
                delete copy;
                continue;
            }
        }
        ZcDbBlockTableRecord* owner = nullptr;
        if (zcdbOpenObject(owner, space, ZcDb::kForWrite) != Zcad::eOk) {
            delete copy;
            continue;
        }
        ZcDbObjectId cid;
        if (owner->appendZcDbEntity(cid, copy) == Zcad::eOk) {
            copy->close();
            copies.push_back(cid);
        } else {
            delete copy;
        }
        owner->close();
    }
    (void)db;
    return RTNORM;
}

int rotateCommand() {
    std::vector<ZcDbObjectId> ids;
    int rc = chooseObjects(ids);
    if (rc != RTNORM) return rc == RTERROR ? RTNORM : rc;
    ZcGePoint3d base;
    if ((rc = askPoint("\nPodaj punkt bazowy: ", base)) != RTNORM) return rc == RTNONE ? RTERROR : rc;
    zcedInitGet(0, "Odniesienie _ Reference");
    ads_point b = {base.x, base.y, base.z};
    double angle = 0;
    rc = zcedGetAngle(b, "\nPodaj kąt obrotu lub [Odniesienie] <0>: ", &angle);
    if (rc == RTCAN) return rc;
    if (rc == RTKWORD) {
        double ref = 0, target = 0;
        rc = zcedGetAngle(nullptr, "\nPodaj kąt odniesienia <0>: ", &ref);
        if (rc == RTCAN) return rc;
        rc = zcedGetAngle(nullptr, "\nPodaj nowy kąt: ", &target);
        if (rc == RTCAN) return rc;
        angle = target - ref;
    } else if (rc != RTNORM) {
        angle = 0;
    }
    // zcedGetAngle measures from ANGBASE; a rotation is a difference.
    transformAll(ids, ZcGeMatrix3d::rotation(angle, ZcGeVector3d(0, 0, 1), base));
    return RTNORM;
}

bool inside(const ZcGePoint3d& p, const ZcGePoint3d& lo, const ZcGePoint3d& hi) {
    return p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y;
}

// An entity moved whole, its world-space extended data with it.
void moveWhole(ZcDbEntity* e, const ZcGeVector3d& v) {
    const ZcDbXform move = ZcDbXform::translation(v);
    if (e->transformBy(move) == Zcad::eOk) zcdbTransformXData(e, move);
}

// Moves the defining points of e inside the window by v.
void stretchPoints(ZcDbEntity* e, const ZcGePoint3d& lo, const ZcGePoint3d& hi, const ZcGeVector3d& v) {
    auto moved = [&](const ZcGePoint3d& p) { return inside(p, lo, hi) ? p + v : p; };
    if (auto* l = ZcDbLine::cast(e)) {
        l->setStartPoint(moved(l->startPoint()));
        l->setEndPoint(moved(l->endPoint()));
    } else if (auto* pl = ZcDbPolyline::cast(e)) {
        for (unsigned i = 0; i < pl->numVerts(); ++i) {
            ZcGePoint3d p;
            pl->getPointAt(i, p);
            if (inside(p, lo, hi)) {
                ZcGePoint2d q;
                pl->getPointAt(i, q);
                pl->setPointAt(i, ZcGePoint2d(q.x + v.x, q.y + v.y));
            }
        }
    } else if (auto* ad = ZcDbAlignedDimension::cast(e)) {
        ad->setXLine1Point(moved(ad->xLine1Point()));
        ad->setXLine2Point(moved(ad->xLine2Point()));
        ad->setDimLinePoint(moved(ad->dimLinePoint()));
        rebuildDimensionBlock(ad);
    } else if (auto* c = ZcDbCircle::cast(e)) {  // arcs too: they move with their centre
        if (inside(c->center(), lo, hi)) moveWhole(e, v);
    } else if (auto* t = ZcDbText::cast(e)) {
        if (inside(t->position(), lo, hi)) moveWhole(e, v);
    } else if (auto* br = ZcDbBlockReference::cast(e)) {
        if (inside(br->position(), lo, hi)) moveWhole(e, v);
    }
}

int stretchCommand() {
    ZcGePoint3d a, b;
    std::string kw;
    int rc = askPoint("\nWybierz obiekty do rozciągnięcia oknem przecinającym...\nWybierz obiekty: ", a,
                      nullptr, 0, "Crossing", &kw);
    if (rc == RTKWORD) rc = askPoint("\nPierwszy narożnik: ", a);
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    if ((rc = askPoint("\nDrugi narożnik: ", b, &a, RSG_NONULL)) != RTNORM) return rc;
    std::string more;
    rc = host::askText("\nWybierz obiekty: ", more);  // Enter ends the selection
    if (rc == RTCAN) return rc;
    ZcGePoint3d lo(std::min(a.x, b.x), std::min(a.y, b.y), 0), hi(std::max(a.x, b.x), std::max(a.y, b.y), 0);
    ads_point p1 = {lo.x, lo.y, 0}, p2 = {hi.x, hi.y, 0};
    ads_name ss = {0, 0};
    std::vector<ZcDbObjectId> crossing, window;
    if (zcedSSGet("_C", p1, p2, nullptr, ss) == RTNORM) {
        crossing = selectionMembers(ss);
        zcedSSFree(ss);
    }
    if (zcedSSGet("_W", p1, p2, nullptr, ss) == RTNORM) {
        window = selectionMembers(ss);
        zcedSSFree(ss);
    }
    dropLocked(crossing);
    if (crossing.empty()) {
        zcutPrintf("\nNie wybrano obiektów.");
        return RTNORM;
    }
    setPreviousSelection(crossing);
    ZcGeVector3d v;
    if ((rc = askDisplacement(v)) != RTNORM) return rc;
    StubSet inside;
    for (ZcDbObjectId id : window) inside.insert(id.stub());
    for (ZcDbObjectId id : crossing) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForWrite) != Zcad::eOk) continue;
        if (inside.contains(id.stub())) {
            moveWhole(e, v);
            if (auto* d = ZcDbDimension::cast(e)) rebuildDimensionBlock(d);
        } else {
            stretchPoints(e, lo, hi, v);
        }
        e->close();
    }
    return RTNORM;
}

// ------------------------------------------------------------------ BREAK

double paramOnLine(const ZcGePoint3d& s, const ZcGePoint3d& e, const ZcGePoint3d& p) {
    ZcGeVector3d d = e - s;
    double len2 = d.dotProduct(d);
    return len2 > 0 ? std::clamp((p - s).dotProduct(d) / len2, 0.0, 1.0) : 0.0;
}

ZcDbObjectId appendLike(const ZcDbEntity* model, ZcDbEntity* piece) {
    piece->setDatabaseDefaults(model->database());
    piece->setLayer(model->layer());
    piece->setColorIndex(model->colorIndex());
    piece->setLinetype(model->linetype());
    piece->setLinetypeScale(model->linetypeScale());
    piece->setLineWeight(model->lineWeight());
    ZcDbBlockTableRecord* owner = nullptr;
    if (zcdbOpenObject(owner, model->ownerId(), ZcDb::kForWrite) != Zcad::eOk) {
        delete piece;
        return {};
    }
    ZcDbObjectId id;
    if (owner->appendZcDbEntity(id, piece) == Zcad::eOk) {
        // The piece is the object cut in two: it keeps every application's
        // data, as the part that stays does.
        for (const ZcDbXDataApp& app : model->xDataApps()) piece->setXDataApp(app.app, app.items);
        piece->close();
    } else {
        delete piece;
    }
    owner->close();
    return id;
}

int breakLine(ZcDbLine* l, const ZcGePoint3d& p1, const ZcGePoint3d& p2) {
    ZcGePoint3d s = l->startPoint(), e = l->endPoint();
    double t1 = paramOnLine(s, e, p1), t2 = paramOnLine(s, e, p2);
    if (t1 > t2) std::swap(t1, t2);
    ZcGePoint3d a = s + (e - s) * t1, b = s + (e - s) * t2;
    bool keepFirst = t1 > 1e-12, keepSecond = t2 < 1 - 1e-12;
    if (!keepFirst && !keepSecond) return l->erase() == Zcad::eOk ? RTNORM : RTERROR;
    if (keepFirst) {
        l->setEndPoint(a);
        if (keepSecond) appendLike(l, new ZcDbLine(b, e));
    } else {
        l->setStartPoint(b);
    }
    return RTNORM;
}

double angleAt(const ZcDbCircle* c, const ZcGePoint3d& p) {
    ZcGePoint3d o = c->center();
    return std::atan2(p.y - o.y, p.x - o.x);
}

double ccw(double from, double to) {  // sweep from `from` to `to`, counter-clockwise, in [0, 2pi)
    double s = std::fmod(to - from, 2 * kPi);
    return s < 0 ? s + 2 * kPi : s;
}

int breakArc(ZcDbArc* arc, const ZcGePoint3d& p1, const ZcGePoint3d& p2) {
    double start = arc->startAngle(), sweep = ccw(start, arc->endAngle());
    auto along = [&](const ZcGePoint3d& p) { return std::min(ccw(start, angleAt(arc, p)), sweep); };
    double a1 = along(p1), a2 = along(p2);
    if (a1 > a2) std::swap(a1, a2);
    bool keepFirst = a1 > 1e-12, keepSecond = a2 < sweep - 1e-12;
    if (!keepFirst && !keepSecond) return arc->erase() == Zcad::eOk ? RTNORM : RTERROR;
    double end = arc->endAngle();
    if (keepFirst) {
        arc->setEndAngle(start + a1);
        if (keepSecond) appendLike(arc, new ZcDbArc(arc->center(), arc->radius(), start + a2, end));
    } else {
        arc->setStartAngle(start + a2);
    }
    return RTNORM;
}

int breakCommand() {
    ads_name en = {0, 0};
    ads_point pick = {0, 0, 0};
    int rc;
    do {
        rc = zcedEntSel("\nWybierz obiekt: ", en, pick);
    } while (rc == RTERROR && sysVarShort("ERRNO") == 7);
    if (rc != RTNORM) return rc == RTCAN ? RTCAN : RTERROR;
    ZcDbObjectId id;
    zcdbGetObjectId(id, en);
    ZcGePoint3d p1(pick[0], pick[1], pick[2]), p2;
    std::string kw;
    rc = askPoint("\nPodaj drugi punkt przerwania lub [Pierwszy punkt]: ", p2, &p1, 0, "Pierwszy _ First",
                  &kw);
    if (rc == RTCAN) return rc;
    if (rc == RTKWORD) {
        if ((rc = askPoint("\nPodaj pierwszy punkt przerwania: ", p1)) != RTNORM)
            return rc == RTCAN ? rc : RTERROR;
        if ((rc = askPoint("\nPodaj drugi punkt przerwania: ", p2, &p1)) != RTNORM)
            return rc == RTCAN ? rc : RTERROR;
    } else if (rc != RTNORM) {
        p2 = p1;
    }
    if (OnLockedLayer()(id)) {
        zcutPrintf("\nObiekt jest na zablokowanej warstwie.");
        return RTNORM;
    }
    ZcDbEntity* e = nullptr;
    if (zcdbOpenObject(e, id, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
    rc = RTNORM;
    if (auto* l = ZcDbLine::cast(e)) {
        rc = breakLine(l, p1, p2);
    } else if (auto* arc = ZcDbArc::cast(e)) {
        rc = breakArc(arc, p1, p2);
    } else if (auto* c = ZcDbCircle::cast(e)) {
        double a1 = angleAt(c, p1), a2 = angleAt(c, p2);
        if (std::fabs(ccw(a1, a2)) < 1e-12) {
            zcutPrintf("\nŁuku pełnego okręgu nie można przerwać w jednym punkcie.");
        } else {
            // The part from the first point counter-clockwise to the second goes.
            appendLike(c, new ZcDbArc(c->center(), c->radius(), a2, a1));
            c->erase();
        }
    } else {
        zcutPrintf("\nNie można przerwać tego obiektu.");
    }
    e->close();
    return rc;
}

int selectCommand() {
    std::vector<ZcDbObjectId> ids;
    int rc = chooseObjects(ids);
    return rc == RTERROR ? RTNORM : rc;
}

}  // namespace

void resetEditCommands() {
    erasedLast().clear();
}

void installEditCommands() {
    registerHostCommand("ERASE", eraseCommand);
    registerHostCommand("DELETE", eraseCommand);
    registerHostCommand("OOPS", oopsCommand);
    registerHostCommand("MOVE", moveCommand);
    registerHostCommand("COPY", copyCommand);
    registerHostCommand("ROTATE", rotateCommand);
    registerHostCommand("STRETCH", stretchCommand);
    registerHostCommand("BREAK", breakCommand);
    registerHostCommand("SELECT", selectCommand);
}

}  // namespace host

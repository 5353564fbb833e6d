// Picks, interactive selection and object snaps. Every pick is one pass
// over the selectable entities of the current space: each entity's plan
// geometry is measured against the point, the nearest within the aperture
// wins. Nested picks descend into the block of the reference found, with
// the transform accumulated on the way down.
#include "host/ed/adspick.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/spatial_index.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbblockwalk.h"
#include "host/db/dbgeom.h"
#include "host/db/dbmain.h"
#include "host/db/stubset.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/win/textutil.h"

namespace {

const char* const kSelectPrompt = "\nWybierz obiekty: ";
const char* const kRemovePrompt = "\nUsuń obiekty: ";
const char* const kPickPrompt = "\nWybierz obiekt: ";

ZcDbXform compose(const ZcDbXform& a, const ZcDbXform& b) {
    ZcDbXform r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = 0;
            for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
        }
    return r;
}

std::optional<double> distanceOf(const ZcDbEntity* e, const ZcGePoint3d& p,
                                 const ZcDbXform& x = ZcDbXform()) {
    ZcDbGeometry g;
    zcdbEntityGeometry(e, g, x);
    return zcdbGeomDistance(g, p);
}

// Whether a line, circle or arc certainly lies farther than `reach` from p
// in plan, told from its ends or its centre and radius without building its
// geometry: a pick on a large drawing measures only what is near it. Other
// kinds answer false and are measured.
bool clearlyBeyond(const ZcDbEntity* e, const ZcGePoint3d& p, double reach) {
    // Rounding in the exact measure must not turn a hit into a miss.
    reach += reach * 1e-9 + 1e-9;
    // The exact class first: walking the class tree costs more than the
    // test itself on a large drawing.
    const ZcRxClass* kind = e->isA();
    const ZcDbLine* l = kind == ZcDbLine::desc() ? static_cast<const ZcDbLine*>(e) : nullptr;
    const ZcDbCircle* c = kind == ZcDbCircle::desc() ? static_cast<const ZcDbCircle*>(e) : nullptr;
    if (!l && !c) {
        l = ZcDbLine::cast(e);
        if (!l) c = ZcDbCircle::cast(e);
    }
    if (l) {
        const ZcGePoint3d a = l->startPoint(), b = l->endPoint();
        return p.x < std::min(a.x, b.x) - reach || p.x > std::max(a.x, b.x) + reach ||
               p.y < std::min(a.y, b.y) - reach || p.y > std::max(a.y, b.y) + reach;
    }
    if (c) {
        // Every point of the curve lies within the radius of the centre, in
        // plan too, whatever the circle's plane. The distance is never less
        // than either offset, so a far offset settles it without the root.
        const ZcGePoint3d centre = c->center();
        const double dx = p.x - centre.x, dy = p.y - centre.y, limit = c->radius() + reach;
        if (std::fabs(dx) > limit || std::fabs(dy) > limit) return true;
        return std::hypot(dx, dy) > limit;
    }
    return false;
}

// Calls f(id, entity, distance) for each selectable entity within the
// aperture of p, in database order.
template <class F>
void forEachWithin(ZcDbDatabase* db, const ZcGePoint3d& p, double aperture, F f) {
    ZcDbGeometry g;
    const double reach = aperture + aperture * 1e-9 + 1e-9;
    const host::PlanBox box{p.x - reach, p.y - reach, p.x + reach, p.y + reach};
    host::forEachSelectableIn(db, box, [&](ZcDbObjectId id, const ZcDbEntity* e) {
        if (clearlyBeyond(e, p, aperture)) return;
        g.clear();
        zcdbEntityGeometry(e, g);
        std::optional<double> d = zcdbGeomDistance(g, p);
        if (d && *d <= aperture) f(id, e, *d);
    });
}

// The nearest of the selectable entities within the aperture; ties go to
// the one drawn last.
ZcDbObjectId nearestAt(ZcDbDatabase* db, const ZcGePoint3d& p, const host::SelectionFilter* filter) {
    ZcDbObjectId best;
    double bestDistance = 0;
    forEachWithin(db, p, host::pickAperture(), [&](ZcDbObjectId id, const ZcDbEntity* e, double d) {
        if ((best.isNull() || d <= bestDistance) && (!filter || filter->matches(e))) {
            best = id;
            bestDistance = d;
        }
    });
    return best;
}

std::vector<ZcDbObjectId> everythingAt(ZcDbDatabase* db, const ZcGePoint3d& p,
                                       const host::SelectionFilter& filter) {
    std::vector<ZcDbObjectId> out;
    forEachWithin(db, p, host::pickAperture(), [&](ZcDbObjectId id, const ZcDbEntity* e, double) {
        if (filter.matches(e)) out.push_back(id);
    });
    return out;
}

// A point from the prompts, leaving LASTPOINT as it was: a pick is no
// point of the drawing's input.
int askPick(const char* prompt, ZcGePoint3d& p) {
    ZcGePoint3d last = host::sysVarPoint("LASTPOINT");
    ads_point pt;
    int rc = zcedGetPoint(nullptr, prompt, pt);
    host::setSysVar("LASTPOINT", last, false);
    if (rc == RTNORM) p = ZcGePoint3d(pt[0], pt[1], pt[2]);
    return rc;
}

int pickStatus(int rc) {
    if (rc == RTNONE) {
        host::setErrno(OL_ENTSELNULL);
        return RTERROR;
    }
    return rc;
}

struct NestedHit {
    ZcDbObjectId id;
    ZcDbXform xform;
    std::vector<ZcDbObjectId> refs;  // outermost first
};

// Goes down into a block reference to the entity nearest to p.
// A reference into a block already gone through (a block holding itself)
// is the entity picked.
void descend(ZcDbObjectId refId, const ZcDbXform& outer, const ZcGePoint3d& p, NestedHit& hit,
             ZcDbBlockPath& path) {
    ZcDbBlockReference* ref = nullptr;
    if (zcdbOpenObject(ref, refId, ZcDb::kForRead) != Zcad::eOk) return;
    ZcDbXform total = compose(outer, ref->blockTransform());
    ZcDbObjectId blockId = ref->blockTableRecord();
    std::vector<ZcDbObjectId> attributes = ref->attributeIds();
    ref->close();
    ZcDbBlockPath::Step step(path, blockId);
    if (!step) return;

    ZcDbObjectId best;
    double bestDistance = 0;
    bool bestIsAttribute = false;
    auto consider = [&](ZcDbObjectId id, const ZcDbXform& x, bool attribute) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return;
        // Attribute definitions are the block's templates, never picked.
        const std::optional<double> d =
            ZcDbAttributeDefinition::cast(e) ? std::optional<double>() : distanceOf(e, p, x);
        e->close();
        const double distance = d.value_or(-1.0);
        if (distance >= 0.0 && (best.isNull() || distance <= bestDistance)) {
            best = id;
            bestDistance = distance;
            bestIsAttribute = attribute;
        }
    };
    ZcDbBlockTableRecord* block = nullptr;
    if (zcdbOpenObject(block, blockId, ZcDb::kForRead) == Zcad::eOk) {
        std::vector<ZcDbObjectId> ids = block->entityIds();
        block->close();
        for (ZcDbObjectId id : ids) consider(id, total, false);
    }
    for (ZcDbObjectId id : attributes) consider(id, outer, true);
    if (best.isNull()) return;
    if (bestIsAttribute) {  // attributes belong to the reference itself
        hit.id = best;
        return;
    }
    hit.refs.push_back(refId);
    hit.id = best;
    hit.xform = total;
    ZcDbBlockReference* inner = nullptr;
    if (zcdbOpenObject(inner, best, ZcDb::kForRead) == Zcad::eOk) {
        inner->close();
        descend(best, total, p, hit, path);
    }
}

// A picked old-style polyline answers the VERTEX that starts the segment
// nearest the pick, as the platform's nested pick does; meshes and
// polyface meshes answer themselves.
void pickPolylineSegment(const ZcGePoint3d& p, NestedHit& hit) {
    ZcDb2dPolyline* pline = nullptr;
    if (zcdbOpenObject(pline, hit.id, ZcDb::kForRead) != Zcad::eOk) return;
    const bool plain = !(pline->polylineFlags() & (ZcDb2dPolyline::k3dMesh | ZcDb2dPolyline::kPolyFaceMesh));
    const bool flat = !pline->is3d(), closed = pline->isClosed();
    const ZcGeVector3d normal = pline->normal();
    const double elevation = pline->elevation();
    const std::vector<ZcDbObjectId> ids = pline->vertexIds();
    pline->close();
    if (!plain || ids.empty()) return;
    std::vector<ZcGePoint3d> at;
    for (ZcDbObjectId id : ids) {
        ZcDbVertex* v = nullptr;
        if (zcdbOpenObject(v, id, ZcDb::kForRead) != Zcad::eOk) return;
        ZcGePoint3d q = v->position();
        v->close();
        if (flat) q = zcdbOcsToWcs(ZcGePoint3d(q.x, q.y, elevation), normal);
        at.push_back(hit.xform.apply(q));
    }
    const std::size_t segments = closed ? at.size() : at.size() - 1;
    std::size_t best = 0;
    double bestDistance = -1.0;
    for (std::size_t i = 0; i < std::max<std::size_t>(segments, 1); ++i) {
        const ZcGePoint3d& a = at[i];
        const ZcGePoint3d& b = at[(i + 1) % at.size()];
        const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double d = std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
        if (bestDistance < 0.0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    hit.id = ids[best];
}

int nestedPick(const char* str, ads_name entres, ads_point ptres, int pickflag, NestedHit& hit) {
    entres[0] = entres[1] = 0;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return RTERROR;
    ZcGePoint3d p(ptres[0], ptres[1], ptres[2]);
    if (!pickflag) {
        int rc = pickStatus(askPick(str ? str : kPickPrompt, p));
        if (rc != RTNORM) return rc;
    }
    ZcDbObjectId top = nearestAt(db, p, nullptr);
    if (top.isNull()) {
        host::setErrno(OL_ENTSELPICK);
        return RTERROR;
    }
    hit.id = top;
    ZcDbBlockReference* ref = nullptr;
    if (zcdbOpenObject(ref, top, ZcDb::kForRead) == Zcad::eOk) {
        ref->close();
        ZcDbBlockPath path;
        descend(top, ZcDbXform(), p, hit, path);
    }
    pickPolylineSegment(p, hit);
    zcdbGetAdsName(entres, hit.id);
    ptres[0] = p.x, ptres[1] = p.y, ptres[2] = p.z;
    return RTNORM;
}

resbuf* referenceStack(const NestedHit& hit) {
    resbuf* head = nullptr;
    for (ZcDbObjectId id : hit.refs) {  // outermost pushed first, so it ends last
        resbuf* rb = zcutNewRb(RTENAME);
        zcdbGetAdsName(rb->resval.rlname, id);
        rb->rbnext = head;
        head = rb;
    }
    return head;
}

std::optional<ZcDbSnapMode> snapMode(std::string m) {
    while (!m.empty() && (m[0] == '_' || m[0] == ' ')) m.erase(0, 1);
    m = host::toUpper(m);
    if (m.size() < 3) return std::nullopt;
    std::string k = m.substr(0, 3);
    if (k == "NEA") return ZcDbSnapMode::kNear;
    if (k == "END") return ZcDbSnapMode::kEnd;
    if (k == "MID") return ZcDbSnapMode::kMid;
    if (k == "CEN") return ZcDbSnapMode::kCenter;
    if (k == "INT") return ZcDbSnapMode::kIntersection;
    if (k == "PER") return ZcDbSnapMode::kPerpendicular;
    return std::nullopt;
}

}  // namespace

int zcedEntSel(const char* str, ads_name entres, ads_point ptres) {
    entres[0] = entres[1] = 0;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return RTERROR;
    ZcGePoint3d p;
    int rc = pickStatus(askPick(str ? str : kPickPrompt, p));
    if (rc != RTNORM) return rc;
    ptres[0] = p.x, ptres[1] = p.y, ptres[2] = p.z;
    ZcDbObjectId id = nearestAt(db, p, nullptr);
    if (id.isNull()) {
        host::setErrno(OL_ENTSELPICK);
        return RTERROR;
    }
    zcdbGetAdsName(entres, id);
    return RTNORM;
}

int zcedNEntSelP(const char* str, ads_name entres, ads_point ptres, int pickflag, ads_matrix xformres,
                 resbuf** refstkres) {
    if (refstkres) *refstkres = nullptr;
    NestedHit hit;
    int rc = nestedPick(str, entres, ptres, pickflag, hit);
    if (rc != RTNORM) return rc;
    if (xformres)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) xformres[i][j] = hit.xform.m[i][j];
    if (refstkres) *refstkres = referenceStack(hit);
    return RTNORM;
}

int zcedNEntSel(const char* str, ads_name entres, ads_point ptres, ads_point xformres[4],
                resbuf** refstkres) {
    if (refstkres) *refstkres = nullptr;
    NestedHit hit;
    int rc = nestedPick(str, entres, ptres, 0, hit);
    if (rc != RTNORM) return rc;
    if (xformres)
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 3; ++r) xformres[c][r] = hit.xform.m[r][c];
    if (refstkres) *refstkres = referenceStack(hit);
    return RTNORM;
}

int zcedOsnap(const ads_point pt, const char* mode, ads_point result) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !pt || !mode || !result) return RTERROR;
    std::vector<ZcDbSnapMode> modes;
    std::string all = mode;
    for (std::size_t start = 0; start <= all.size();) {
        std::size_t comma = all.find(',', start);
        std::string one = all.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (std::optional<ZcDbSnapMode> m = snapMode(one))
            modes.push_back(*m);
        else
            return RTERROR;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    ZcGePoint3d p(pt[0], pt[1], pt[2]);
    double aperture = host::pickAperture();
    // The geometry of everything near the point, so intersections between
    // entities are found too.
    ZcDbGeometry g;
    const double reach = aperture + aperture * 1e-9 + 1e-9;
    host::forEachSelectableIn(db, {p.x - reach, p.y - reach, p.x + reach, p.y + reach},
                              [&](ZcDbObjectId, const ZcDbEntity* e) {
                                  ZcDbGeometry mine;
                                  zcdbEntityGeometry(e, mine);
                                  std::optional<double> d = zcdbGeomDistance(mine, p);
                                  if (d && *d <= aperture) g.insert(g.end(), mine.begin(), mine.end());
                              });
    ZcGePoint3d from = host::sysVarPoint("LASTPOINT");
    std::optional<ZcGePoint3d> best;
    for (ZcDbSnapMode m : modes) {
        std::optional<ZcGePoint3d> s = zcdbGeomSnap(g, m, p, aperture, from);
        if (!s) continue;
        double d = std::hypot(s->x - p.x, s->y - p.y);
        if (!best || d < std::hypot(best->x - p.x, best->y - p.y)) best = s;
    }
    if (!best) return RTERROR;
    result[0] = best->x, result[1] = best->y, result[2] = best->z;
    return RTNORM;
}

// ======================================================================
// Interactive selection

namespace {

class Selector {
public:
    Selector(const char* mode, const void* pt1, const host::SelectionFilter& filter)
        : m_filter(filter), m_db(zcdbCurDwg()) {
        std::string m = mode ? host::toUpper(mode) : "";
        m_single = m.find(":S") != std::string::npos;
        m_everything = m.find(":E") != std::string::npos;
        if (m.find(":$") != std::string::npos && pt1) {
            const char* const* prompts = static_cast<const char* const*>(pt1);
            if (prompts[0]) m_addPrompt = std::string("\n") + prompts[0];
            if (prompts[1]) m_removePrompt = std::string("\n") + prompts[1];
        }
        m_replace = host::sysVarShort("PICKADD") == 0;
    }

    int run(std::vector<ZcDbObjectId>& out) {
        for (;;) {
            zcedInitGet(0, "W C WP CP F ALL L P R A");
            ZcGePoint3d p;
            int rc = askPick(m_removing ? m_removePrompt.c_str() : m_addPrompt.c_str(), p);
            if (rc == RTCAN) return RTCAN;
            if (rc == RTNONE) break;
            if (rc == RTKWORD) {
                char kw[16];
                zcedGetInput(kw);
                rc = keyword(kw);
            } else if (rc == RTNORM) {
                rc = point(p);
            }
            if (rc == RTCAN) return RTCAN;
            if (m_single && !m_set.empty()) break;
        }
        out = m_set;
        return m_set.empty() ? RTERROR : RTNORM;
    }

private:
    int point(const ZcGePoint3d& p) {
        if (m_everything) return apply(everythingAt(m_db, p, m_filter));
        ZcDbObjectId id = nearestAt(m_db, p, &m_filter);
        if (!id.isNull()) return apply({id});
        // Nothing there: the point is a window's first corner.
        ads_point a{p.x, p.y, p.z}, b;
        ZcGePoint3d last = host::sysVarPoint("LASTPOINT");
        int rc = zcedGetCorner(a, "\nOkreśl przeciwległy narożnik: ", b);
        host::setSysVar("LASTPOINT", last, false);
        if (rc != RTNORM) return rc == RTCAN ? RTCAN : RTNORM;
        return window(p, {b[0], b[1], b[2]}, b[0] < p.x);
    }

    int keyword(const std::string& kw) {
        if (kw == "R") {
            m_removing = true;
            return RTNORM;
        }
        if (kw == "A") {
            m_removing = false;
            return RTNORM;
        }
        if (kw == "ALL") {
            // Filtered on the way, while each entity is open anyway.
            std::vector<ZcDbObjectId> all;
            host::forEachSelectable(m_db, [&](ZcDbObjectId id, const ZcDbEntity* e) {
                if (m_filter.matches(e)) all.push_back(id);
            });
            return apply(std::move(all));
        }
        if (kw == "L") {
            ads_name last;
            ZcDbObjectId id;
            if (zcdbEntLast(last) == RTNORM) zcdbGetObjectId(id, last);
            std::vector<ZcDbObjectId> all = host::selectableEntities(m_db);
            return apply(std::find(all.begin(), all.end(), id) != all.end() ? std::vector<ZcDbObjectId>{id}
                                                                            : std::vector<ZcDbObjectId>{},
                         true);
        }
        if (kw == "P") {
            std::vector<ZcDbObjectId> prev;
            for (ZcDbObjectId id : host::previousSelection())
                if (id.isValid() && !id.isErased()) prev.push_back(id);
            return apply(prev, true);
        }
        if (kw == "W" || kw == "C") {
            ads_point a, b;
            int rc = zcedGetPoint(nullptr, "\nPierwszy narożnik: ", a);
            if (rc == RTNORM) rc = zcedGetCorner(a, "\nPrzeciwległy narożnik: ", b);
            if (rc != RTNORM) return rc == RTCAN ? RTCAN : RTNORM;
            return window({a[0], a[1], a[2]}, {b[0], b[1], b[2]}, kw == "C");
        }
        // WP, CP, F: points until Enter.
        bool fence = kw == "F";
        std::vector<ZcGePoint3d> pts;
        ads_point a;
        int rc = zcedGetPoint(nullptr,
                              fence ? "\nPierwszy punkt ogrodzenia: " : "\nPierwszy punkt wieloboku: ", a);
        while (rc == RTNORM) {
            pts.emplace_back(a[0], a[1], a[2]);
            ads_point from{a[0], a[1], a[2]};
            rc = zcedGetPoint(from, "\nOkreśl punkt końcowy linii: ", a);
        }
        if (rc == RTCAN) return RTCAN;
        if (pts.size() < (fence ? 2u : 3u)) return RTNORM;
        return select(host::boxOfPoints(pts), [&](const ZcDbGeometry& g) {
            if (fence) return zcdbGeomCrossesFence(g, pts);
            return kw == "CP" ? zcdbGeomCrossesPolygon(g, pts) : zcdbGeomInsidePolygon(g, pts);
        });
    }

    int window(const ZcGePoint3d& a, const ZcGePoint3d& b, bool crossing) {
        ZcDbPlanWindow w = ZcDbPlanWindow::fromCorners(a, b);
        return select({w.xmin, w.ymin, w.xmax, w.ymax}, [&](const ZcDbGeometry& g) {
            return crossing ? zcdbGeomCrossesWindow(g, w) : zcdbGeomInsideWindow(g, w);
        });
    }

    template <class Test>
    int select(const host::PlanBox& box, Test test) {
        std::vector<ZcDbObjectId> found;
        ZcDbGeometry g;
        host::forEachSelectableIn(m_db, box, [&](ZcDbObjectId id, const ZcDbEntity* e) {
            g.clear();
            zcdbEntityGeometry(e, g);
            if (!g.empty() && test(g) && m_filter.matches(e)) found.push_back(id);
        });
        return apply(found);
    }

    int apply(std::vector<ZcDbObjectId> found, bool filterFirst = false) {
        if (filterFirst)
            std::erase_if(found, [&](ZcDbObjectId id) {
                ZcDbEntity* e = nullptr;
                if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return true;
                bool keep = m_filter.matches(e);
                e->close();
                return !keep;
            });
        const size_t foundCount = found.size();
        if (m_removing) {
            indexMembers();
            const size_t before = m_members.size();
            for (ZcDbObjectId id : found) m_members.erase(id.stub());
            if (m_members.size() != before)
                std::erase_if(m_set, [&](ZcDbObjectId id) { return !m_members.contains(id.stub()); });
        } else {
            if (m_replace) {
                m_set.clear();
                m_members.clear();
                m_indexed = true;
            }
            if (m_set.empty()) {
                // Every way of finding objects finds each once: the first
                // batch is the set as it stands, indexed only if more come.
                m_set = std::move(found);
                m_members.clear();
                m_indexed = false;
            } else {
                indexMembers();
                for (ZcDbObjectId id : found)
                    if (m_members.insert(id.stub())) m_set.push_back(id);
            }
        }
        if (host::promptEchoOn())
            host::transcript().append("\nZnaleziono: " + std::to_string(foundCount) + ", razem " +
                                      std::to_string(m_set.size()));
        return RTNORM;
    }

    void indexMembers() {
        if (m_indexed) return;
        for (ZcDbObjectId id : m_set) m_members.insert(id.stub());
        m_indexed = true;
    }

    const host::SelectionFilter& m_filter;
    ZcDbDatabase* m_db;
    std::vector<ZcDbObjectId> m_set;  // in the order picked
    host::StubSet m_members;          // the same, for asking "already in?"
    bool m_indexed = true;            // whether m_members holds all of m_set
    std::string m_addPrompt = kSelectPrompt, m_removePrompt = kRemovePrompt;
    bool m_single = false, m_everything = false, m_removing = false, m_replace = false;
};

}  // namespace

namespace host {

int selectAtPoints(const std::vector<ZcGePoint3d>& points) {
    ZcDbDatabase* db = zcdbCurDwg();
    std::vector<ZcDbObjectId> ids;
    if (db)
        for (const ZcGePoint3d& p : points) {
            const ZcDbObjectId id = nearestAt(db, p, nullptr);
            if (id.isNull()) continue;
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
            // A command taking the set finds where its entity was clicked.
            setSysVar("LASTPOINT", p, false);
        }
    setPickFirstSet(ids, true);
    return static_cast<int>(ids.size());
}

double pickAperture() {
    double size = sysVarReal("VIEWSIZE");
    if (!(size > 0)) size = 297;
    return sysVarShort("APERTURE") * size / 1000.0;
}

int interactiveSelect(const char* mode, const void* pt1, const SelectionFilter& filter,
                      std::vector<ZcDbObjectId>& out) {
    if (!zcdbCurDwg()) return RTERROR;
    Selector s(mode, pt1, filter);
    return s.run(out);
}

}  // namespace host

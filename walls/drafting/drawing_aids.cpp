// Drawing aids (see the header).
//
// The plane surface maps the typed ring into the plane of its normal, drops
// duplicate points, turns it counter-clockwise as the ear clipper needs and
// writes one 3DFACE per triangle back in world coordinates.
#include "walls/drafting/drawing_aids.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/point_input.h"
#include "core/geometry/polygon.h"
#include "core/geometry/triangulate.h"
#include "core/geometry/vertex_list.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

host::ResbufList ReadWithXData(const ads_name e) {
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(e, apps.get()));
}

std::string StringGroup(const resbuf* list, int code, const char* missing = "") {
    const resbuf* rb = FindRbCode(list, code);
    return rb && rb->resval.rstring ? rb->resval.rstring : missing;
}

Point3 PointGroup(const resbuf* list, int code) {
    const resbuf* rb = FindRbCode(list, code);
    return rb ? Point3{rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]} : Point3{};
}

void ToAds(const Point3& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// A nested pick until something is hit: RTNORM with the entity, its pick
// and its block transform (identity outside blocks), else the host's status.
int NestedPick(const char* prompt, ads_name entity, ads_point pick, ads_matrix xform, bool& inBlock) {
    for (;;) {
        resbuf* refs = nullptr;
        const int rc = zcedNEntSelP(prompt, entity, pick, 0, xform, &refs);
        inBlock = refs != nullptr;
        zcutRelRb(refs);
        if (rc == RTERROR && PickHitNothing()) continue;
        return rc;
    }
}

std::string CurrentLayer() {
    std::string layer = "0";
    SysVarString("CLAYER", "", layer);
    return layer;
}

void TransformAds(const ads_matrix m, ads_point p) {
    const double x = p[0], y = p[1], z = p[2];
    for (int i = 0; i < 3; ++i) p[i] = m[i][0] * x + m[i][1] * y + m[i][2] * z + m[i][3];
}

// The points typed for a surface or a path; the count, -1 after a cancel.
int AskPoints(const char* firstPrompt, OwnedList<VertexNode>& list) {
    PointInputPortInRange port;
    std::string keyword;
    int closed = 0;
    VertexNode* raw = nullptr;
    const int n = InputPointList(port, "", firstPrompt, "[Cofnij] Numer punktu", keyword, raw, closed, 1, 0);
    list.reset(raw);
    return n;
}

}  // namespace

int GetEntityAngle(const ads_name entity, const ads_point pick, ads_point first, ads_point second) {
    resbuf ucs, wcs;
    ucs.restype = wcs.restype = RTSHORT;
    ucs.resval.rint = 1;
    wcs.resval.rint = 0;
    ads_point world;
    zcedTrans(pick, &ucs, &wcs, 0, world);
    host::ResbufList list(zcdbEntGet(entity));
    const std::string type = StringGroup(list.get(), 0);
    Point3 a, b;
    if (zcutEqualsNoCase(type, "LINE") || zcutEqualsNoCase(type, "TRACE")) {
        a = PointGroup(list.get(), 10);
        b = PointGroup(list.get(), 11);
    } else if (zcutEqualsNoCase(type, "VERTEX")) {
        a = PointGroup(list.get(), 10);
        ads_name next;
        if (zcdbEntNext(entity, next) != RTNORM) return RTERROR;
        host::ResbufList following(zcdbEntGet(next));
        if (zcutEqualsNoCase(StringGroup(following.get(), 0), "SEQEND")) {
            // The closing segment runs back to the first vertex.
            const resbuf* head = FindRbCode(following.get(), -2);
            ads_name firstVertex;
            if (!head || zcdbEntNext(head->resval.rlname, firstVertex) != RTNORM) return RTERROR;
            following.reset(zcdbEntGet(firstVertex));
        }
        b = PointGroup(following.get(), 10);
    } else if (zcutEqualsNoCase(type, "ARC")) {
        const Point3 c = PointGroup(list.get(), 10);
        const resbuf* r = FindRbCode(list.get(), 40);
        const resbuf* s = FindRbCode(list.get(), 50);
        const resbuf* e = FindRbCode(list.get(), 51);
        if (!r || !s || !e) return RTERROR;
        ArcEndPoints(c, r->resval.rreal, s->resval.rreal, e->resval.rreal, a, b);
    } else {
        return RTERROR;
    }
    const Point3 p{world[0], world[1], world[2]};
    if (HostDistance(p, a) > HostDistance(p, b)) std::swap(a, b);
    ads_point wa, wb;
    ToAds(a, wa);
    ToAds(b, wb);
    zcedTrans(wa, &wcs, &ucs, 0, first);
    zcedTrans(wb, &wcs, &ucs, 0, second);
    return RTNORM;
}

void CmdPlaneSurface() {
    std::string layer;
    for (;;) {
        ads_name e;
        ads_point pick;
        ads_matrix xform;
        bool inBlock = false;
        const int rc = NestedPick(
            "\nWybierz obiekt na warstwie, którą chcesz użyć lub Enter, aby użyć bieżącej warstwy:", e, pick,
            xform, inBlock);
        if (rc == RTCAN) return;
        if (rc == RTNORM) {
            host::ResbufList list(zcdbEntGet(e));
            layer = StringGroup(list.get(), 8, "0");
        } else {
            layer = CurrentLayer();
        }
        break;
    }
    OwnedList<VertexNode> ring;
    const int n = AskPoints("\nWybierz pierwszy punkt powierzchni:", ring);
    if (n < 0) return;
    if (n < 3) {
        if (n > 0) zcutPrintf("%s", "\nMusisz wybrać przynajmniej trzy punkty");
        return;
    }
    double a, b, c, d;
    if (!PolygonNormal(ring.get(), a, b, c, d)) {
        zcutPrintf("%s", "\nNie można obliczyć definicji płaszczyzny");
        return;
    }
    Matrix4 toWorld, toPlane;
    CoordSystemFromNormal(ring.get(), toWorld, a, b, c);
    if (!InvertMatrix4(toWorld, toPlane)) {
        zcutPrintf("%s", "\nNie można obliczyć definicji płaszczyzny");
        return;
    }
    VertexNode* flat = nullptr;
    VertexNode** tail = &flat;
    for (const VertexNode* v = ring.get(); v; v = v->next) {
        Point3 p;
        TransformPoint(toPlane, v->pt(), p);
        *tail = NewVertex(p.x, p.y, 0.0, 0, 0, 0, 0);
        tail = &(*tail)->next;
    }
    // The ear clipper wants the ring counter-clockwise in its plane.
    OwnedList<VertexNode> plane(NormalizePolygon(1, RemoveDuplicateVertices(flat), nullptr));
    int number = 0;
    for (VertexNode* v = plane.get(); v; v = v->next) v->data1 = number++;
    if (number < 3) {
        zcutPrintf("%s", "\nNie można obliczyć definicji płaszczyzny");
        return;
    }
    // The triangulation takes the ring over.
    OwnedList<FaceRecord> faces(TriangulatePolygon(plane.release(), number - 1, toWorld));
    EmitFaces(layer, faces.get());
}

void CmdDistance() {
    zcedInitGet(0, "Źródłowy Wielokrotny");
    char keyword[64] = "";
    const int rc = zcedGetKword("\nRodzaj pomiaru [Źródłowy/Wielokrotny]<Źródłowy>:", keyword);
    if (rc != RTNORM && rc != RTNONE) return;
    const bool chain = rc == RTNORM && std::string(keyword) == "Wielokrotny";
    ads_point reference;
    if (GetPointInRange(1, nullptr, nullptr, "\nOkreśl pierwszy punkt:", reference) != RTNORM) return;
    int count = 0;
    double total = 0.0, tx = 0.0, ty = 0.0, tz = 0.0;
    for (;;) {
        ads_point p;
        if (GetPointInRange(0, nullptr, reference, "\nOkreśl następny punkt:", p) != RTNORM) break;
        const double dx = p[0] - reference[0], dy = p[1] - reference[1], dz = p[2] - reference[2];
        const double dist = std::sqrt(dx * dx + dy * dy + dz * dz);
        zcutPrintf("\nOdległość:%.4lf   dx:%.4lf    dy:%.4lf    dz:%.4lf", dist, dx, dy, dz);
        ++count;
        total += dist;
        tx += dx;
        ty += dy;
        tz += dz;
        if (chain)
            for (int i = 0; i < 3; ++i) reference[i] = p[i];
    }
    if (count > 1) {
        zcutPrintf("\nCałkowita wartość %d odległość jest:", count);
        zcutPrintf("\nCał. odl.:%.4lf  Cał. dx:%.4lf   Cał. dy:%.4lf   Cał. dz:%.4lf", total, tx, ty, tz);
    }
}

void CmdOffsetCurrentLayer() {
    double distance = SettingReal(SetupVar::OFFSETCLVAL, 10.0);
    double typed = 0.0;
    const std::string prompt = host::ads_text::format("\nOkreśl odległość odsunięcia<%.2f>:", distance);
    const int rc = GetDistInRange(2 | 4, nullptr, nullptr, prompt.c_str(), &typed);
    if (rc == RTNORM) {
        distance = typed;
        SetSettingReal(SetupVar::OFFSETCLVAL, distance);
    } else if (rc != RTNONE) {
        return;
    }
    const std::string layer = CurrentLayer();
    for (;;) {
        ads_name e;
        ads_point pick;
        int pickRc = zcedEntSel("\nWybierz obiekt do odsunięcia:", e, pick);
        if (pickRc == RTERROR && PickHitNothing()) continue;
        if (pickRc != RTNORM) return;
        ads_point side;
        if (GetPointInRange(0, nullptr, nullptr, "\nOkreśl punkt na stronie do odsunięcia:", side) != RTNORM)
            return;
        const Point3 s{side[0], side[1], side[2]};
        host::ResbufList list = ReadWithXData(e);
        const std::string type = StringGroup(list.get(), 0);
        if (zcutEqualsNoCase(type, "ARC") || zcutEqualsNoCase(type, "CIRCLE")) {
            const Point3 c = PointGroup(list.get(), 10);
            const resbuf* r = FindRbCode(list.get(), 40);
            const double radius = r ? r->resval.rreal : 0.0;
            const double grown = Distance2d(s, c) < radius ? radius - distance : radius + distance;
            if (grown <= GeomEpsilon) {
                zcutPrintf("%s", "\nNie można odsunąć tego obiektu");
                continue;
            }
            ReplaceRb(list.get(), 40, grown);
        } else if (zcutEqualsNoCase(type, "LINE")) {
            const Point3 p10 = PointGroup(list.get(), 10), p11 = PointGroup(list.get(), 11);
            const double a = AngleTo(p10, p11), right = a - std::numbers::pi / 2,
                         left = a + std::numbers::pi / 2;
            Point3 from, to;
            if (Distance2d(PolarPoint(p10, right, distance), s) <
                Distance2d(PolarPoint(p10, left, distance), s)) {
                from = PolarPoint(p10, right, distance);
                to = PolarPoint(p11, right, distance);
            } else {
                from = PolarPoint(p11, left, distance);
                to = PolarPoint(p10, left, distance);
            }
            ads_point f, t;
            ToAds(from, f);
            ToAds(to, t);
            ReplaceRb(list.get(), 10, f);
            ReplaceRb(list.get(), 11, t);
        } else {
            zcutPrintf("%s", "\nNie można odsunąć tego obiektu");
            continue;
        }
        ReplaceRb(list.get(), 8, layer.c_str());
        // The copy is a new entity: no name or handle of the original.
        resbuf* body = list.get();
        while (body && body->rbnext && body->rbnext->restype != 0) body = body->rbnext;
        zcdbEntMake(body ? body->rbnext : nullptr);
    }
}

void CmdRotateAbsolute() {
    host::SelectionSet set;
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, set.put()) != RTNORM || set.size() == 0) return;
    ads_point base;
    if (GetPointInRange(0, nullptr, nullptr, "\nPunkt bazowy:", base) != RTNORM) return;
    double from = 0.0, to = 0.0;
    if (GetAngleInRange(0, nullptr, base, "\nOkreśl poprzedni kąt odsunięcia:", &from) != RTNORM) return;
    if (GetAngleInRange(0, nullptr, base, "\nNowy kąt:", &to) != RTNORM) return;
    constexpr int kRadians = 3, kZero = 0;
    const int aunits = SysVarShort("AUNITS", &kRadians);
    const int echo = SysVarShort("CMDECHO", &kZero);
    zcedCommand(RTSTR, "_ROTATE", RTPICKS, set.get(), RTSTR, "", RTPOINT, base, RTSTR, "_R", RTREAL, from,
                RTREAL, to, 0);
    SysVarShort("CMDECHO", &echo);
    SysVarShort("AUNITS", &aunits);
}

void CmdRotSnap() {
    ads_point lastPoint;
    SysVarPoint("LASTPOINT", nullptr, lastPoint);
    double angle = 0.0;
    ads_name e;
    ads_point pick;
    ads_matrix xform;
    bool inBlock = false;
    const int rc =
        NestedPick("\nWybierz linię odniesienia lub Enter, aby ustawić na zero:", e, pick, xform, inBlock);
    if (rc == RTCAN) {
        SysVarPoint("LASTPOINT", lastPoint, nullptr);
        return;
    }
    if (rc == RTNORM) {
        ads_point a, b;
        if (GetEntityAngle(e, pick, a, b) != RTNORM) {
            zcutPrintf("%s", "\nObiekt nie posiada kąta");
            SysVarPoint("LASTPOINT", lastPoint, nullptr);
            return;
        }
        if (inBlock) {
            TransformAds(xform, a);
            TransformAds(xform, b);
        }
        angle = AngleTo(Point3{a[0], a[1], a[2]}, Point3{b[0], b[1], b[2]});
    }
    resbuf rb;
    rb.restype = RTREAL;
    rb.resval.rreal = angle;
    zcedSetVar("SNAPANG", &rb);
    rb.restype = RTSHORT;
    rb.resval.rint = 0;
    zcedSetVar("SNAPMODE", &rb);
    rb.restype = RTPOINT;
    rb.resval.rpoint[0] = rb.resval.rpoint[1] = rb.resval.rpoint[2] = 0.0;
    zcedSetVar("SNAPBASE", &rb);
    SysVarPoint("LASTPOINT", lastPoint, nullptr);
}

// The wall editing command (see the header), in the order it runs: the
// picked face and the face across it, the stretch, the openings checked,
// the displacement dragged, then the drawing changed: the openings taken
// out, the side lines of the stretch (or the walls met at the face's ends)
// made or moved to the new face, the new face line, the old face line cut
// to what lies outside the stretch, and the openings placed again.
#include "objects/walledit/wall_edit.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/docman.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "objects/walledit/wall_edit_openings.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_dbfiler.h"
#include "walls/editing/wall_lines.h"
#include "walls/graph/cfacciate.h"

namespace {

constexpr const char* kPickPrompt = "\nWybierz linię ściany bocznej, którą chcesz modyfikować:";
constexpr const char* kStretchPrompt =
    "\nOdległość do wnęki lub występu/Enter, aby przenieść całą ścianę boczną:";
constexpr const char* kWidthPrompt = "\nSzerokość wnęki lub występu:";
constexpr const char* kNoOtherSide = "\nNie można znaleźć innej bocznej ściany";
constexpr const char* kPartialOpening = "\nW obszarze ściany jest zawarty częsciowo otwór";
constexpr const char* kOpeningsStay = "\nNie wszystkie otwory mogą być modyfikowane";

ZcGePoint3d Ge(const Point3& p) {
    return ZcGePoint3d(p.x, p.y, p.z);
}

double ReadElevation() {
    resbuf rb;
    return zcedGetVar("ELEVATION", &rb) == RTNORM && rb.restype == RTREAL ? rb.resval.rreal : 0.0;
}

void WriteElevation(double value) {
    resbuf rb;
    rb.restype = RTREAL;
    rb.resval.rreal = value;
    rb.rbnext = nullptr;
    zcedSetVar("ELEVATION", &rb);
}

// ELEVATION set for the prompts and put back on every path.
class ElevationGuard {
public:
    explicit ElevationGuard(double value) : m_saved(ReadElevation()) { WriteElevation(value); }
    ~ElevationGuard() { WriteElevation(m_saved); }
    ElevationGuard(const ElevationGuard&) = delete;
    ElevationGuard& operator=(const ElevationGuard&) = delete;

private:
    double m_saved;
};

Point3 FootOnLine(const Point3& a, const Point3& b, const Point3& p) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    if (len2 < GeomEpsilon) return a;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
    return {a.x + dx * t, a.y + dy * t, a.z + (b.z - a.z) * t};
}

// The picked wall line, its floor level and the pick snapped onto it.
struct Picked {
    ads_name line = {0, 0};
    double level = 0.0;
    Point3 at;
};

// 1 picked, -1 ended.
int PickFaceLine(Picked& out) {
    bool fromPickFirst = false;
    {
        resbuf* grips = nullptr;
        resbuf* picks = nullptr;
        if (zcedSSGetFirst(&grips, &picks) == RTNORM) {
            host::ResbufList g(grips), p(picks);
            if (picks && picks->restype == RTPICKS) {
                const ads_name set = {picks->resval.rlname[0], picks->resval.rlname[1]};
                host::SelectionSet owned(set);
                std::int32_t n = 0;
                zcedSSLength(set, &n);
                if (n == 1 && zcedSSName(set, 0, out.line) == RTNORM) fromPickFirst = true;
            }
        }
    }
    ads_point pick = {0, 0, 0};
    if (fromPickFirst) {
        resbuf rb;
        if (zcedGetVar("LASTPOINT", &rb) == RTNORM && (rb.restype == RTPOINT || rb.restype == RT3DPOINT))
            for (int i = 0; i < 3; ++i) pick[i] = rb.resval.rpoint[i];
    }
    for (;;) {
        if (!fromPickFirst) {
            const int rc = zcedEntSel(kPickPrompt, out.line, pick);
            if (rc == RTCAN) return -1;
            if (rc != RTNORM) {
                if (rc == RTERROR && PickHitNothing()) continue;
                return -1;
            }
        }
        const bool verbose = !fromPickFirst;
        fromPickFirst = false;
        if (CheckEntityLevelLayer(out.line, "LINE", verbose, out.level, false, false) != 1) continue;
        ads_point snapped;
        if (zcedOsnap(pick, "_NEAR", snapped) != RTNORM) continue;
        out.at = {snapped[0], snapped[1], out.level};
        return 1;
    }
}

}  // namespace

// ---- the preview entity ----

VELM_PREVIEW_ENTITY_MEMBERS(VELM_EMUROENT)

bool VELM_EMUROENT::worldDraw(ZcGiWorldDraw* wd) {
    wd->subEntityTraits().setColor(2);
    const ZcGePoint3d ac[2] = {Ge(A), Ge(C)}, cd[2] = {Ge(C), Ge(D)}, db[2] = {Ge(D), Ge(B)};
    wd->geometry().polyline(2, ac);
    wd->geometry().polyline(2, cd);
    wd->geometry().polyline(2, db);
    return true;
}

// ---- the jig ----

AJIG_EMURO::AJIG_EMURO() : preview(new VELM_EMUROENT) {}

AJIG_EMURO::~AJIG_EMURO() {
    delete preview;
}

ZcEdJig::DragStatus AJIG_EMURO::sampler() {
    setUserInputControls(kAccept3dCoordinates);
    // The keywords in the order the prompt names them.
    setKeywordList(mode == 0 ? "Przesunięcie" : inward ? "Wewnętrzny Szerokość" : "Zewnętrzny Szerokość");
    DragStatus st;
    {
        ElevationGuard elevationSet(elevation);
        st = acquireDist(distance, Ge(basePoint));
        // Told and asked again; the last distance stays meanwhile.
        while (st == kNormal && !CoordinateInRange(distance)) {
            distance = previousDistance;
            ReportOutOfRange();
            st = acquireDist(distance, Ge(basePoint));
        }
    }
    if (st == kNormal && distance == previousDistance) return kNoChange;
    previousDistance = distance;
    return st;
}

bool AJIG_EMURO::update() {
    const double pi = std::numbers::pi;
    if (mode == 0) {
        preview->C = PolarPoint(preview->A, angle - pi, distance - width);
        preview->D = PolarPoint(preview->B, angle - pi, distance - width);
    } else if (inward == 0) {
        preview->C = PolarPoint(preview->A, angle, distance);
        preview->D = PolarPoint(preview->B, angle, distance);
    } else {
        preview->C = PolarPoint(preview->A, angle - pi, distance);
        preview->D = PolarPoint(preview->B, angle - pi, distance);
    }
    preview->C.z = preview->A.z;
    preview->D.z = preview->B.z;
    return true;
}

int AJIG_EMURO::CountOpeningSidesOnStretch(const OutlineNode& outline) const {
    if (outline.kind != 11) return 1;
    const auto first = [](const VertexNode* v) { return v ? Point3{v->x, v->y, v->z} : Point3{}; };
    const auto last = [](const VertexNode* v) {
        while (v && v->next) v = v->next;
        return v ? Point3{v->x, v->y, v->z} : Point3{};
    };
    const auto onStretch = [this](const Point3& p) {
        return IsOnSegmentTol(p, preview->C, preview->D, SharedTolerance);
    };
    int count = 0;
    if (outline.jamb1 && (onStretch(first(outline.jamb1)) || onStretch(last(outline.jamb1)))) ++count;
    if (outline.jamb2 && (onStretch(first(outline.jamb2)) || onStretch(last(outline.jamb2)))) ++count;
    return count;
}

// ---- the command ----

namespace {

// The first face other than `face` whose segment holds the point.
WallFace* AdjoiningFace(CFACCIATE& graph, const WallFace* face, const Point3& at) {
    for (WallFace* f = graph.faces; f; f = f->next)
        if (f != face && !f->isArc() && IsPointOnSegment(at, f->start, f->end)) return f;
    return nullptr;
}

// One end of the moved face: the side of a recess, or the wall met there
// trimmed or extended to the new face line. `moved` is C or D.
void JoinFaceEnd(const Point3& oldEnd, const Point3& faceEnd, WallFace* adjoining, Point3& moved,
                 const Point3& otherMoved, resbuf* templateList) {
    if (!PointsEqual(oldEnd, faceEnd, true)) {
        MakeWallLine(templateList, moved, oldEnd, nullptr);
        return;
    }
    if (!adjoining) return;
    Point3 x;
    if (!IntersectLines2d(moved, otherMoved, adjoining->start, adjoining->end, x, 0, ModuleGeomTol)) return;
    x.z = moved.z;
    for (FaceEdge* e = adjoining->edges; e; e = e->next) {
        if (!e->hasEntity()) continue;
        const bool atStart = PointsEqual(e->start, faceEnd, true);
        if (!atStart && !PointsEqual(e->end, faceEnd, true)) continue;
        moved = x;
        if (atStart)
            RewriteWallLine(e->entity, x, e->end);
        else
            RewriteWallLine(e->entity, e->start, x);
        return;
    }
    moved = x;
}

// The old face line keeps what lies outside the stretch A-B.
void CutOldFace(const Point3& A, const Point3& B, double level) {
    host::SelectionSet set;
    if (SelectOnWallLayers("LINE", set.put(), level, false) != 1) return;
    const std::int32_t n = set.size();
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        Point3 p1, p2;
        if (!set.name(i, e) || !WallLineEnds(e, p1, p2)) continue;
        if (!ArePointsCollinear4(A, B, p1, p2, SharedTolerance)) continue;
        const bool hasA = IsPointOnSegment(A, p1, p2), hasB = IsPointOnSegment(B, p1, p2);
        if (hasA && hasB) {
            host::ResbufList list = ReadWallLineList(e);
            if (Distance2d(B, p1) <= Distance2d(A, p1)) {
                MakeWallLine(list.get(), A, p2, nullptr);
                MakeWallLine(list.get(), B, p1, nullptr);
            } else {
                MakeWallLine(list.get(), A, p1, nullptr);
                MakeWallLine(list.get(), B, p2, nullptr);
            }
            zcdbEntDel(e);
            return;
        }
        if (hasA) {
            if (Distance2d(p2, B) <= Distance2d(p1, B)) {
                if (!PointsEqual(p2, A, true)) {
                    RewriteWallLine(e, A, p1);
                    p2 = A;
                    SwapPoints(p1, p2);
                }
            } else if (!PointsEqual(p1, A, true)) {
                RewriteWallLine(e, A, p2);
                p1 = A;
            }
        }
        if (hasB) {
            if (Distance2d(p2, A) <= Distance2d(p1, A)) {
                if (!PointsEqual(p2, B, true)) RewriteWallLine(e, B, p1);
            } else if (!PointsEqual(p1, B, true)) {
                RewriteWallLine(e, B, p2);
            }
        }
        if (!hasA && !hasB && IsPointOnSegment(p1, A, B) && IsPointOnSegment(p2, A, B)) zcdbEntDel(e);
    }
}

// What the command did is taken back whole once it has ended.
void TakeBackCommand() {
    zcutPrintf("%s", kOpeningsStay);
    if (ZcApDocument* doc = zcDocManagerPtr()->curDocument())
        zcDocManagerPtr()->sendStringToExecute(doc, "_U\n", true, false, false);
}

// One run of the command, in its steps. Each step that can end the command
// says so by returning false, having printed why. The graph goes before the
// openings made ready, the jig last.
class WallEdit {
public:
    // The side face picked and the straight face across it, found through
    // the wall-face graph of the pick's floor.
    bool PickFaces();
    // The stretch to move: the whole face on Enter, else a width from a
    // distance along the face from its nearer end (a recess or a
    // projection), and the faces met at the stretch's ends.
    bool ChooseStretch();
    // Every opening lying wholly on the stretch made ready to move, before
    // anything changes; one lying partly on it, or one that cannot move,
    // ends the command.
    bool PrepareOpenings();
    // The displacement of the stretch, or the new wall width from the face
    // across, given in the jig; false when cancelled or nothing moves.
    bool DragDisplacement();
    // The openings taken out of their walls; false (the command taken back)
    // when one cannot be.
    bool TakeOutOpenings();
    // The walls met at the stretch's ends trimmed or extended to the moved
    // face.
    void JoinWallsAtEnds();
    // The moved face's line made, and the old face cut back to what lies
    // outside the stretch.
    void RebuildFaceLines();
    // The openings placed again, those of the stretch on the moved face;
    // false (the command taken back) when one cannot be.
    bool PlaceOpeningsAgain();

private:
    VELM_EMUROENT& Outline() { return *jig.preview; }
    void TakeBack() {
        graph.Clear();
        TakeBackCommand();
    }

    AJIG_EMURO jig;
    std::vector<std::unique_ptr<WallOpeningMover>> openings;
    CFACCIATE graph;
    Picked picked;
    WallFace* face = nullptr;
    WallFace* across = nullptr;
    Point3 faceStart, faceEnd;
    WallFace* atStart = nullptr;
    WallFace* atEnd = nullptr;
    // The new face's line is made from the list of the picked one, read
    // before the openings rejoin the lines at their gaps.
    host::ResbufList lineTemplate;
};

bool WallEdit::PickFaces() {
    if (PickFaceLine(picked) != 1) return false;
    jig.elevation = picked.level;
    graph.level = picked.level;
    graph.floorHeight = GetFloorHeightAt(picked.level);
    graph.Build(false, false, nullptr, false);
    face = graph.FindFaceById(picked.line);
    double distance = 0.0, angle = 0.0;
    across =
        face && !face->isArc() ? FindFaceAcross(graph, picked.at, face, &distance, &angle, false) : nullptr;
    if (!across || across->isArc()) {
        zcutPrintf("%s", kNoOtherSide);
        return false;
    }
    jig.angle = angle;
    return true;
}

bool WallEdit::ChooseStretch() {
    const bool startNearer = Distance2d(face->start, picked.at) <= Distance2d(face->end, picked.at);
    const Point3 nearEnd = startNearer ? face->start : face->end,
                 farEnd = startNearer ? face->end : face->start;
    Point3 s1 = face->start, s2 = face->end;
    {
        ElevationGuard elevationSet(picked.level);
        const ads_point from = {nearEnd.x, nearEnd.y, nearEnd.z};
        ads_real d = 0.0;
        const int rc = GetDistInRange(0, nullptr, from, kStretchPrompt, &d);
        if (rc == RTNORM) {
            const double heading = AngleTo(nearEnd, farEnd);
            s1 = PolarPoint(nearEnd, heading, d);
            s1.z = nearEnd.z;
            const ads_point start = {s1.x, s1.y, s1.z};
            ads_real w = 0.0;
            if (GetSizeInRange(RSG_NONULL, nullptr, start, kWidthPrompt, &w) != RTNORM) return false;
            s2 = PolarPoint(s1, heading, w);
            s2.z = s1.z;
        } else if (rc != RTNONE) {
            return false;
        }
    }
    VELM_EMUROENT& outline = Outline();
    const bool s1First = Distance2d(s1, face->start) <= Distance2d(s2, face->start);
    outline.A = s1First ? s1 : s2;
    outline.B = s1First ? s2 : s1;
    outline.C = outline.A;
    outline.D = outline.B;
    faceStart = face->start;
    faceEnd = face->end;
    atStart = PointsEqual(outline.A, faceStart, true) ? AdjoiningFace(graph, face, faceStart) : nullptr;
    atEnd = PointsEqual(outline.B, faceEnd, true) ? AdjoiningFace(graph, face, faceEnd) : nullptr;
    return true;
}

bool WallEdit::PrepareOpenings() {
    for (OutlineLink* l = face->outlineLinks; l; l = l->next) {
        if (!l->outline) continue;
        const int sides = jig.CountOpeningSidesOnStretch(*l->outline);
        if (sides == 1) {
            zcutPrintf("%s", kPartialOpening);
            return false;
        }
        if (sides != 2) continue;
        std::unique_ptr<WallOpeningMover> mover = PrepareWallOpening(*l->outline, picked.level);
        if (!mover) {
            zcutPrintf("%s", kOpeningsStay);
            return false;
        }
        openings.push_back(std::move(mover));
    }
    return true;
}

bool WallEdit::DragDisplacement() {
    VELM_EMUROENT& outline = Outline();
    Point3 mid;
    MidPoint(outline.A, outline.B, mid);
    const Point3 foot = FootOnLine(across->start, across->end, mid);
    jig.width = Distance2d(mid, foot);
    jig.basePoint = mid;
    jig.mode = 1;
    jig.inward = 1;
    for (;;) {
        if (jig.mode == 0)
            jig.setDispPrompt("\nSzerokość ściany lub [Przesunięcie boczne]:");
        else if (jig.inward == 0)
            jig.setDispPrompt("\nWartość przemieszczenia ścianki bocznej lub [Zewnętrzny/Szerokość ściany]:");
        else
            jig.setDispPrompt("\nWartość przemieszczenia ścianki bocznej lub [Wewnętrzny/Szerokość ściany]:");
        const ZcEdJig::DragStatus st = jig.drag();
        if (st == ZcEdJig::kNormal) break;
        if (st == ZcEdJig::kKW1) {
            if (jig.mode == 1) {
                jig.inward = jig.inward ? 0 : 1;
            } else {
                jig.mode = 1;
                jig.basePoint = mid;
            }
            jig.previousDistance = jig.distance = 0.0;
            continue;
        }
        if (st == ZcEdJig::kKW2 && jig.mode == 1) {
            jig.basePoint = foot;
            jig.mode = 0;
            jig.previousDistance = jig.distance = 0.0;
            continue;
        }
        return false;
    }
    jig.update();
    return !PointsEqual(outline.C, outline.A, true);
}

bool WallEdit::TakeOutOpenings() {
    lineTemplate = ReadWallLineList(picked.line);
    for (const auto& opening : openings)
        if (!opening->TakeOut()) {
            TakeBack();
            return false;
        }
    return true;
}

void WallEdit::JoinWallsAtEnds() {
    VELM_EMUROENT& outline = Outline();
    JoinFaceEnd(outline.A, faceStart, atStart, outline.C, outline.D, lineTemplate.get());
    JoinFaceEnd(outline.B, faceEnd, atEnd, outline.D, outline.C, lineTemplate.get());
}

void WallEdit::RebuildFaceLines() {
    const VELM_EMUROENT& outline = Outline();
    MakeWallLine(lineTemplate.get(), outline.C, outline.D, nullptr);
    CutOldFace(outline.A, outline.B, picked.level);
}

bool WallEdit::PlaceOpeningsAgain() {
    const VELM_EMUROENT& outline = Outline();
    for (const auto& opening : openings) {
        Point3 at = opening->ReferencePoint();
        if (IsOnSegmentTol(at, outline.A, outline.B, SharedTolerance)) {
            const double z = at.z;
            at = FootOnLine(outline.C, outline.D, at);
            at.z = z;
        }
        if (!opening->PlaceAgain(at)) {
            TakeBack();
            return false;
        }
    }
    return true;
}

}  // namespace

void CmdEditWall() {
    WallEdit edit;
    if (!edit.PickFaces() || !edit.ChooseStretch() || !edit.PrepareOpenings() || !edit.DragDisplacement() ||
        !edit.TakeOutOpenings())
        return;
    edit.JoinWallsAtEnds();
    edit.RebuildFaceLines();
    edit.PlaceOpeningsAgain();
}

// The 3D wall commands and drivers. The floor commands gather the floor's
// faces once (by layer), generate side after side and then erase what they
// gathered, so a whole floor costs one pass over the faces plus the sides
// themselves, and a run that cannot rebuild the floor leaves it as it was.
#include "visual/model3d/wall3d_commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "core/pick_walls.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "roofs/slab_record.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/arc_closing.h"
#include "visual/model3d/arc_sides.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall_closing.h"
#include "visual/model3d/wall_sides.h"
#include "visual/model3d/wall_tops.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/wall_line_ends.h"

namespace {

constexpr const char* kPickSidePrompt =
    "\nWybierz linię lub łuk elewacji, który chcesz generować, Enter, aby zamknąć:";
constexpr const char* kNotWallElement = "\nWybrany element nie jest prawidłowym łukiem, ani linią.";
constexpr const char* kNoCovering = "\nNa rysunku nie ma prawidłowych płyt przykrywających";

// What every run reads once.
struct RunSettings {
    bool useWallLayer = SettingInt(SetupVar::SETM3D_LDIP2D) != 0;
    int curvedFlag = SettingInt(SetupVar::VIS_MUROCURVO) == 0 ? 1 : 0;
    double step = GetScaleFactor(0);
    AAR_LAYERC catalogue;
    RunSettings() { catalogue.ReadLayerDefFile("LAYERC.DEF"); }
};

// The graph of the floor at `elevation` (pilasters merged).
void BuildGraph(CFACCIATE& g, double elevation, double height, int floorInt) {
    g.level = elevation;
    g.floorHeight = height;
    g.floorInt = floorInt;
    g.Build(false, true, nullptr, false);
    g.MergePillars();
}

void BuildGraph(CFACCIATE& g, double elevation) {
    BuildGraph(g, elevation, GetFloorHeightAt(elevation), GetFloorIntAt(elevation));
}

bool KeepsOwnHeight(const WallFace& face) {
    for (const FaceEdge* e = face.edges; e; e = e->next)
        if (e->extraReal != 0.0) return true;
    return false;
}

void EraseSide(const WallFace& face, double elevation) {
    if (face.isArc())
        Erase3DFacesOnArc(face.arc, elevation);
    else
        Erase3DFacesOnSegment(face.start, face.end, elevation);
}

// One side at its own heights (mode 1), or under planes (mode 2).
void GenerateSide(const WallFace& face, const CFACCIATE& g, const WallClosing& ends, const RunSettings& rs,
                  const std::string& layer, const SlabPlaneRec* planes, bool underPlanes) {
    if (face.isArc()) {
        if (GenArcWallSide(face, layer, underPlanes ? 1 : 0, rs.step, rs.curvedFlag, g.level, g.floorHeight,
                           planes) &&
            !underPlanes) {
            double bottom, top;
            ArcSideHeights(face, g.level, g.floorHeight, bottom, top);
            CloseArcSide(ends, g, face, layer, rs.step, bottom, top);
        }
    } else if (!underPlanes || KeepsOwnHeight(face)) {
        ends.Close(face, layer, GenWallSide(face, layer, g.level, g.floorHeight));
    } else {
        ends.Close(face, layer, GenWallSideUnderSlabs(face, layer, g.level, g.floorHeight, planes));
    }
}

// The last entity of the drawing, null when there is none.
std::array<std::int64_t, 2> LastEntity() {
    ads_name e{0, 0};
    if (zcdbEntLast(e) != RTNORM) return {0, 0};
    return {e[0], e[1]};
}

// The whole floor: every face generated, pilasters with GEN3DPIL, tops with
// CHIUSURA_SUP (own heights only), and only then the old faces erased. A run
// that made no face (no wall found on the floor) keeps the old ones: nothing
// took their place.
void GenerateFloor(double elevation, const SlabPlaneRec* covering, bool underPlanes) {
    RunSettings rs;
    CFACCIATE g;
    BuildGraph(g, elevation);
    const auto oldFaces = FloorWallFaces(rs.catalogue, elevation);
    const auto lastBefore = LastEntity();
    const WallClosing ends(g);
    for (WallFace* f = g.faces; f; f = f->next) {
        const std::string layer = SideLayer(*f, rs.useWallLayer, rs.catalogue, elevation, true);
        GenerateSide(*f, g, ends, rs, layer, covering, underPlanes);
    }
    if (SettingInt(SetupVar::GEN3DPIL) != 0) {
        std::string layer = k3DWallsKey;
        EnsureLayer(layer, rs.catalogue, true, elevation, true);
        for (WallFace* f = g.pillarFaces; f; f = f->next) {
            if (f->isArc()) continue;
            if (underPlanes)
                GenWallSideUnderSlabs(*f, layer, elevation, g.floorHeight, covering);
            else
                GenWallSide(*f, layer, elevation, g.floorHeight);
        }
    }
    const double height = g.floorHeight;
    g.Clear();
    if (!underPlanes && SettingInt(SetupVar::CHIUSURA_SUP) != 0) {
        std::string layer = k3DWallsKey;
        EnsureLayer(layer, rs.catalogue, true, elevation, true);
        GenWallTops(layer, elevation, height);
    }
    if (LastEntity() == lastBefore) return;
    for (const auto& name : oldFaces) {
        const ads_name e{name[0], name[1]};
        zcdbEntDel(e);
    }
}

// The floor of a picked entity; false when its layer has none.
bool PickedFloor(const ads_name e, double& elevation) {
    return GetEntityLevel(e, elevation, nullptr, false) == 1;
}

// The one-record plane list of a plane everywhere.
SlabPlaneRec* PlaneEverywhere(double a, double b, double c, double d) {
    auto* r = new SlabPlaneRec;
    r->a = a, r->b = b, r->c = c, r->d = d;
    return r;
}

// "Wyrównanie": three points; null (after its message or a cancel).
SlabPlaneRec* AskPlane() {
    Point3 pts[3];
    int i = 0;
    while (i < 3) {
        ads_point got;
        int rc;
        if (i == 0) {
            rc = GetPointInRange(1, nullptr, nullptr, "\nOkreśl pierwszy punkt płaszczyzny:", got);
        } else {
            const ads_point base{pts[i - 1].x, pts[i - 1].y, pts[i - 1].z};
            rc = GetPointInRange(1, "Cofnij", base, "\nOkreśl następny punkt płaszczyzny lub [Cofnij]:", got);
        }
        if (rc == RTKWORD) {
            if (i > 0) --i;
            continue;
        }
        if (rc != RTNORM) return nullptr;
        pts[i++] = {got[0], got[1], got[2]};
    }
    double a, b, c, d;
    if (!PlaneCoefficients(pts, a, b, c, d) || std::fabs(c) < GeomEpsilon) {
        zcutPrintf("\nOkreślone punkty nie definiują płaszczyzny");
        return nullptr;
    }
    return PlaneEverywhere(a, b, c, d);
}

// "Płyta": the picked slab's plane everywhere; null and its message when
// the pick is no slab; cancel sets `cancelled`.
SlabPlaneRec* AskSlabPlane(bool& cancelled) {
    cancelled = false;
    ads_name e;
    ads_point p;
    if (zcedEntSel("\nWybierz płytę:", e, p) != RTNORM) {
        cancelled = !PickHitNothing();
        if (!cancelled) zcutPrintf("\nWybrany obiekt nie jest płytą");
        return nullptr;
    }
    VertexNode* outline = GetSlabOutlineVertices(e);
    double a = 0, b = 0, c = 0, d = 0;
    const bool ok = outline && PolygonNormal(outline, a, b, c, d) && std::fabs(c) >= GeomEpsilon;
    FreeList(outline);
    if (!ok) {
        zcutPrintf("\nWybrany obiekt nie jest płytą");
        return nullptr;
    }
    return PlaneEverywhere(a, b, c, d);
}

template <class Generate>
void PickLoop(Generate&& generate) {
    ads_name last{0, 0};
    double lastLevel = 0.0;
    bool have = false;
    for (;;) {
        ads_name e;
        std::string layer, keywords = "TUTTO";
        ads_point at;
        const double level = SettingReal(SetupVar::SQPAV);
        const int rc = PickLinesAndArcs("TUTTO", kPickSidePrompt, e, level, layer, keywords, at);
        if (rc == 0) {
            zcutPrintf("%s", kNotWallElement);
            return;
        }
        if (rc == -2) {
            // The keyword goes on with the previous pick.
            if (!have) continue;
            if (!generate(last, lastLevel)) return;
            continue;
        }
        if (rc != 1) return;
        ads_name_set(e, last);
        lastLevel = level;
        have = true;
        if (!generate(e, level)) return;
    }
}

}  // namespace

namespace {

// Gen3DWall after the erase.
void GenerateInMode(const WallFace& face, const CFACCIATE& graph, const WallClosing& ends, double step,
                    int curvedFlag, bool useWallLayer, const AAR_LAYERC& catalogue) {
    const double elevation = graph.level;
    const std::string layer = SideLayer(face, useWallLayer, catalogue, elevation, false);
    SlabPlaneRec* covering =
        face.auto3DType == 2 ? CollectCoveringSlabs(elevation, true, true, false, true) : nullptr;
    if (face.isArc()) {
        if (GenArcWallSide(face, layer, face.auto3DType - 1, step, curvedFlag, elevation, graph.floorHeight,
                           covering) &&
            face.auto3DType == 1) {
            double bottom, top;
            ArcSideHeights(face, elevation, graph.floorHeight, bottom, top);
            CloseArcSide(ends, graph, face, layer, step, bottom, top);
        }
    } else if (face.auto3DType == 1) {
        ends.Close(face, layer, GenWallSide(face, layer, elevation, graph.floorHeight));
    } else {
        // Without any covering slab the top stays at elevation + height, in
        // mode 2, instead of losing the side's faces.
        ends.Close(face, layer, GenWallSideUnderSlabs(face, layer, elevation, graph.floorHeight, covering));
    }
    FreeList(covering);
}

}  // namespace

void Gen3DWall(const WallFace& face, const CFACCIATE& graph, double step, int curvedFlag, bool useWallLayer,
               const AAR_LAYERC& catalogue) {
    EraseSide(face, graph.level);
    GenerateInMode(face, graph, WallClosing(graph), step, curvedFlag, useWallLayer, catalogue);
}

void Gen3DFacesOfWallLine(const ads_name entity, double elevation) {
    Gen3DFacesOfWallLineUnderPlanes(entity, elevation, nullptr);
}

void Gen3DFacesOfWallLineUnderPlanes(const ads_name entity, double elevation, const SlabPlaneRec* planes) {
    RunSettings rs;
    CFACCIATE g;
    BuildGraph(g, elevation);
    if (WallFace* face = g.FindFaceById(entity)) {
        EraseSide(*face, elevation);
        const std::string layer = SideLayer(*face, rs.useWallLayer, rs.catalogue, elevation, true);
        GenerateSide(*face, g, WallClosing(g), rs, layer, planes, planes != nullptr);
    }
    g.Clear();
}

void Gen3DWallsUnderSlabs(double elevation) {
    SlabPlaneRec* covering = CollectCoveringSlabs(elevation, true, true, false, true);
    if (!covering) {
        zcutPrintf("%s", kNoCovering);
        return;
    }
    GenerateFloor(elevation, covering, true);
    FreeList(covering);
}

void PickWallLinesUnderPlanes(const SlabPlaneRec* planes) {
    PickLoop([&](const ads_name e, double level) {
        SlabPlaneRec* own = nullptr;
        if (!planes) {
            own = CollectCoveringSlabs(level, true, true, false, true);
            if (!own) {
                zcutPrintf("%s", kNoCovering);
                return false;
            }
        }
        Gen3DFacesOfWallLineUnderPlanes(e, level, planes ? planes : own);
        FreeList(own);
        return true;
    });
}

void CmdWall3D() {
    ads_name e;
    ads_point p;
    double elevation = 0.0;
    const int rc = zcedEntSel(
        "\nWybierz obiekt na podłodze, który chcesz generować, Enter, aby generować bieżącą "
        "podłogę:",
        e, p);
    if (rc == RTNORM) {
        if (!PickedFloor(e, elevation)) {
            zcutPrintf("\nWybrany obiekt nie jest identyfikowany jako podłoga");
            return;
        }
    } else if (rc == RTERROR && LastPickError() == OL_ENTSELNULL) {
        elevation = SettingReal(SetupVar::SQPAV);
    } else {
        return;
    }
    Gen3DWallsOfFloor(elevation);
}

void Gen3DWallsOfFloor(double elevation) {
    GenerateFloor(elevation, nullptr, false);
}

void CmdW3DFace() {
    PickLoop([](const ads_name e, double level) {
        Gen3DFacesOfWallLine(e, level);
        return true;
    });
}

void CmdVarWall3D() {
    for (;;) {
        zcedInitGet(0, "Wyrównanie Płyta Jedna");
        ads_name e;
        ads_point p;
        const int rc = zcedEntSel(
            "\nWybierz obiekt na podłodze, który chcesz generować, Enter, aby generować bieżącą podłogę lub "
            "[Wyrównanie/Płyta/Jedna powierzchnia ściany]:",
            e, p);
        if (rc == RTNORM) {
            double elevation = 0.0;
            if (!PickedFloor(e, elevation)) {
                zcutPrintf("\nNiemożliwe jest śledzenie wysokości podłogi, zaczynając od wybranego obiektu");
                continue;
            }
            Gen3DWallsUnderSlabs(elevation);
            return;
        }
        if (rc == RTERROR) {
            const int err = LastPickError();
            if (err == OL_ENTSELPICK) continue;
            if (err == OL_ENTSELNULL) Gen3DWallsUnderSlabs(SettingReal(SetupVar::SQPAV));
            return;
        }
        if (rc != RTKWORD) return;
        char word[64] = "";
        zcedGetInput(word);
        if (std::strcmp(word, "Wyrównanie") == 0) {
            SlabPlaneRec* plane = AskPlane();
            if (!plane) return;
            PickWallLinesUnderPlanes(plane);
            FreeList(plane);
            return;
        }
        if (std::strcmp(word, "Płyta") == 0) {
            bool cancelled = false;
            SlabPlaneRec* plane = AskSlabPlane(cancelled);
            if (cancelled) return;
            if (!plane) continue;
            PickWallLinesUnderPlanes(plane);
            FreeList(plane);
            return;
        }
        PickWallLinesUnderPlanes(nullptr);
        return;
    }
}

void Regen3DWallsOfLevel(double elevation, double height, int floorInteger) {
    RunSettings rs;
    CFACCIATE g;
    BuildGraph(g, elevation, height, floorInteger);
    // One pass erases the old faces of every side to be regenerated: a side
    // erase per face would read every face of the drawing once per side.
    std::vector<const WallFace*> sides;
    for (const WallFace* f = g.faces; f; f = f->next)
        if (f->auto3DType != 0) sides.push_back(f);
    Erase3DFacesOnSides(sides, elevation);
    const WallClosing ends(g);
    for (const WallFace* f : sides)
        GenerateInMode(*f, g, ends, rs.step, rs.curvedFlag, rs.useWallLayer, rs.catalogue);
    g.Clear();
}

namespace {

// Whether some entity carries an automatic-3D record of a positive kind
// (what a face takes from its wall lines): without one no face of any
// graph asks for its 3D sides. Only the entities carrying the record are
// looked at.
bool AnyAutomatic3DWall() {
    constexpr const char* kApp = "VELM12CAD$_$TIPOM3DAUTOMATICO-";
    const host::ResbufList filter(zcutBuildList(-3, 1001, kApp, 0));
    host::SelectionSet found;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), found.put()) != RTNORM) return false;
    for (std::int32_t i = 0, n = found.size(); i < n; ++i) {
        ads_name e;
        if (!found.name(i, e)) continue;
        const host::ResbufList list(GetEntXData(e, kApp));
        const resbuf* app = FindXDataApp(list.get(), kApp);
        const resbuf* rb = app ? app->rbnext : nullptr;
        if (!rb) continue;
        double kind = 0.0;
        if (rb->restype == 1040 || rb->restype == 1041 || rb->restype == 1042)
            kind = rb->resval.rreal;
        else if (rb->restype == 1070)
            kind = rb->resval.rint;
        else if (rb->restype == 1071)
            kind = rb->resval.rlong;
        if (static_cast<std::int32_t>(kind) > 0) return true;
    }
    return false;
}

}  // namespace

void Regen3DWallsAround(const ads_name wallA, const ads_name wallB, double elevation, const ads_name wallC,
                        const ads_name wallD) {
    if (SettingInt(SetupVar::SETOPZM3DAUTO) == 0 || !wallA) return;
    RunSettings rs;
    if (!AnyAutomatic3DWall()) {
        // No face can ask for its sides: of the graph's reading only its
        // clean-up is left.
        EraseZeroLengthWallLines(elevation);
        return;
    }
    CFACCIATE g;
    BuildGraph(g, elevation);
    std::vector<const WallFace*> done;
    const std::int64_t* walls[4] = {wallA, wallB, wallC, wallD};
    for (const std::int64_t* w : walls) {
        if (!w || (w[0] == 0 && w[1] == 0)) continue;
        const WallFace* face = g.FindFaceById(w);
        if (!face || face->auto3DType == 0) continue;
        bool seen = false;
        for (const WallFace* d : done) seen = seen || d == face;
        if (seen) continue;
        done.push_back(face);
        Gen3DWall(*face, g, rs.step, rs.curvedFlag, rs.useWallLayer, rs.catalogue);
    }
    g.Clear();
}

namespace {

std::vector<Point3> OutlinePoints(const OutlineNode& o, std::initializer_list<int> which) {
    // Points 1 to 6: the ends of the two jambs (first and last) and the two
    // corners of a corner object.
    auto last = [](const VertexNode* v) {
        while (v && v->next) v = v->next;
        return v ? v->pt() : Point3{};
    };
    const Point3 all[6] = {o.jamb1 ? o.jamb1->pt() : Point3{},
                           last(o.jamb1),
                           o.jamb2 ? o.jamb2->pt() : Point3{},
                           last(o.jamb2),
                           o.corner[0],
                           o.corner[1]};
    std::vector<Point3> out;
    for (int i : which) out.push_back(all[i - 1]);
    return out;
}

// The points that lie on the sides the object cuts: the jamb ends, on
// straight and on curved walls alike, and a corner object's corners.
std::vector<Point3> CutSidePoints(const OutlineNode& o) {
    if (o.kind == OutlineKind::StraightWallOpening || o.kind == OutlineKind::ArcWallOpening)
        return OutlinePoints(o, {1, 2, 3, 4});
    if (o.kind == OutlineKind::WallCorner) return OutlinePoints(o, {1, 3, 4, 6});
    return {};
}

// A mark whose first value is there and no number (a stray control group
// before the mode): what mode the side was made in cannot be told.
bool DamagedMark(const ads_name entity) {
    const host::ResbufList list(GetEntXData(entity, kModel3DTypeApp));
    const resbuf* app = FindXDataApp(list.get(), kModel3DTypeApp);
    const resbuf* rb = app ? app->rbnext : nullptr;
    if (!rb || rb->restype == 1001) return false;
    return rb->restype != 1040 && rb->restype != 1041 && rb->restype != 1042 && rb->restype != 1070 &&
           rb->restype != 1071;
}

// Whether a wall line or arc of the level passes through one of the points.
bool WallEntityThrough(const ads_name entity, const std::vector<Point3>& pts) {
    Point3 s, e;
    ArcRecord arc;
    const bool line = GetLineData(entity, s, e) == 1;
    if (!line && GetArcData(entity, arc) != 1) return false;
    for (Point3 p : pts) {
        p.z = line ? s.z : arc.centre.z;
        if (line ? IsPointOnSegment(p, s, e) : IsPointOnArc(p, arc, true)) return true;
    }
    return false;
}

}  // namespace

bool WallMarksSoundAt(const OutlineNode& outline) {
    if (SettingInt(SetupVar::SETOPZM3DAUTO) == 0) return true;
    const std::vector<Point3> pts = CutSidePoints(outline);
    if (pts.empty()) return true;
    // The wall lines and arcs of the level as the graph reads them.
    bool sound = true;
    for (const char* type : {"LINE", "ARC"}) {
        host::SelectionSet found;
        if (SelectOnWallLayers(type, found.put(), outline.z, false) != 1) continue;
        for (std::int32_t i = 0, n = found.size(); i < n; ++i) {
            ads_name e;
            if (!found.name(i, e) || !DamagedMark(e) || !WallEntityThrough(e, pts)) continue;
            const host::ResbufList data(zcdbEntGet(e));
            const resbuf* handle = FindRbCode(data.get(), 5);
            zcutPrintf("\nRekord \"%s\" ściany %s jest uszkodzony; polecenie zostanie cofnięte.",
                       kModel3DTypeApp, handle ? handle->resval.rstring : "?");
            sound = false;
        }
    }
    return sound;
}

void Regen3DWallsAfterCommand(const OutlineNode* outline) {
    if (!outline || SettingInt(SetupVar::SETOPZM3DAUTO) == 0) return;
    const std::vector<Point3> pts = CutSidePoints(*outline);
    if (pts.empty()) return;
    RunSettings rs;
    CFACCIATE g;
    BuildGraph(g, outline->z);
    for (WallFace* f = g.faces; f; f = f->next) {
        if (f->auto3DType == 0) continue;
        bool touched = false;
        for (Point3 p : pts) {
            p.z = f->isArc() ? f->arc.centre.z : f->start.z;
            touched = touched ||
                      (f->isArc() ? IsPointOnArc(p, f->arc, true) : IsPointOnSegment(p, f->start, f->end));
        }
        if (touched) Gen3DWall(*f, g, rs.step, rs.curvedFlag, rs.useWallLayer, rs.catalogue);
    }
    g.Clear();
}

namespace {

// Where the faces of edited sides may stand: a span of one plan line, or
// a whole circle. A span grows with the old lines and the present sides on
// its line and with the other sides lying along it that it touches.
struct OldSupport {
    bool isArc = false;
    Point3 origin;
    double dx = 0.0, dy = 0.0;  // the line's unit direction
    double from = 0.0, to = 0.0;
    ArcRecord arc;

    double along(const Point3& p) const { return (p.x - origin.x) * dx + (p.y - origin.y) * dy; }
    bool onLine(const Point3& p) const {
        return std::fabs((p.x - origin.x) * dy - (p.y - origin.y) * dx) <= SharedTolerance;
    }
    void widen(double t) {
        from = std::min(from, t);
        to = std::max(to, t);
    }
    bool touches(double a, double b) const {
        return std::max(a, b) >= from - SharedTolerance && std::min(a, b) <= to + SharedTolerance;
    }
};

bool SameCircle(const ArcRecord& a, const ArcRecord& b) {
    return Distance2d(a.centre, b.centre) <= SharedTolerance &&
           std::fabs(a.radius - b.radius) <= SharedTolerance;
}

// The lines and circles of `lines`, the collinear ones joined in one span.
void AddSupports(std::vector<OldSupport>& out, const std::vector<const EditedWallLine*>& lines) {
    for (const EditedWallLine* l : lines) {
        bool joined = false;
        for (OldSupport& s : out) {
            if (l->isArc != s.isArc) continue;
            if (l->isArc ? SameCircle(l->arc, s.arc) : (s.onLine(l->start) && s.onLine(l->end))) {
                if (!l->isArc) {
                    s.widen(s.along(l->start));
                    s.widen(s.along(l->end));
                }
                joined = true;
                break;
            }
        }
        if (joined) continue;
        OldSupport s;
        s.isArc = l->isArc;
        if (l->isArc) {
            s.arc = l->arc;
        } else {
            const double length = Distance2d(l->start, l->end);
            if (length <= SharedTolerance) continue;
            s.origin = l->start;
            s.dx = (l->end.x - l->start.x) / length;
            s.dy = (l->end.y - l->start.y) / length;
            s.to = length;
        }
        out.push_back(s);
    }
}

void RegenEditedLevel(const std::vector<const EditedWallLine*>& lines, double level, const RunSettings& rs) {
    CFACCIATE g;
    BuildGraph(g, level);
    std::vector<const WallFace*> sides;
    const auto add = [&sides](const WallFace* f) {
        if (f && f->auto3DType != 0 && std::find(sides.begin(), sides.end(), f) == sides.end())
            sides.push_back(f);
    };
    for (const EditedWallLine* l : lines) add(g.FindFaceById(l->entity));
    // Faces the edit carried along with the lines stand where the sides
    // are now, also across the gaps of openings between them: the sides
    // join the old lines as supports.
    std::vector<EditedWallLine> now(sides.size());
    std::vector<const EditedWallLine*> pieces = lines;
    for (std::size_t i = 0; i < sides.size(); ++i) {
        now[i].isArc = sides[i]->isArc();
        now[i].start = sides[i]->start;
        now[i].end = sides[i]->end;
        now[i].arc = sides[i]->arc;
        pieces.push_back(&now[i]);
    }
    std::vector<OldSupport> supports;
    AddSupports(supports, pieces);
    // The sides along an old line or circle lose their faces with it, so
    // they are made again too; a span grows over the sides it touches.
    for (const WallFace* f = g.faces; f; f = f->next) {
        for (OldSupport& s : supports) {
            if (s.isArc != f->isArc()) continue;
            if (s.isArc) {
                if (SameCircle(s.arc, f->arc)) add(f);
                continue;
            }
            if (!s.onLine(f->start) || !s.onLine(f->end)) continue;
            const double a = s.along(f->start), b = s.along(f->end);
            if (!s.touches(a, b)) continue;
            s.widen(a);
            s.widen(b);
            add(f);
        }
    }
    std::vector<WallFace> old(supports.size());
    std::vector<const WallFace*> erased = sides;
    for (std::size_t i = 0; i < supports.size(); ++i) {
        const OldSupport& s = supports[i];
        WallFace& w = old[i];
        if (s.isArc) {
            w.kind = 0;
            w.arc = s.arc;
            w.arc.startAngle = 0.0;
            w.arc.endAngle = TwoPi() - 2.0 * SharedTolerance;
        } else {
            w.start = {s.origin.x + s.from * s.dx, s.origin.y + s.from * s.dy, level};
            w.end = {s.origin.x + s.to * s.dx, s.origin.y + s.to * s.dy, level};
        }
        erased.push_back(&w);
    }
    Erase3DFacesOnSides(erased, level);
    const WallClosing ends(g);
    for (const WallFace* f : sides)
        GenerateInMode(*f, g, ends, rs.step, rs.curvedFlag, rs.useWallLayer, rs.catalogue);
    g.Clear();
}

}  // namespace

void Regen3DWallsAfterLineEdits(const std::vector<EditedWallLine>& lines) {
    if (lines.empty() || SettingInt(SetupVar::SETOPZM3DAUTO) == 0) return;
    RunSettings rs;
    std::vector<double> levels;
    for (const EditedWallLine& l : lines)
        if (std::none_of(levels.begin(), levels.end(),
                         [&](double v) { return std::fabs(v - l.level) <= GeomEpsilon; }))
            levels.push_back(l.level);
    for (double level : levels) {
        std::vector<const EditedWallLine*> onLevel;
        for (const EditedWallLine& l : lines)
            if (std::fabs(l.level - level) <= GeomEpsilon) onLevel.push_back(&l);
        RegenEditedLevel(onLevel, level, rs);
    }
}

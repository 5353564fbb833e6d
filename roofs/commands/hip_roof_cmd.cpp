// The hip roof command. The outline (by points, the outer wall contour or
// a drawn contour) is oriented counter-clockwise, raised to the eave
// height, moved outwards by the overhang and handed to the generator; the
// pitches it returns are written only when the whole roof was traced.
#include "roofs/commands/hip_roof_cmd.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/cmdproc.h"
#include "roofs/commands/roof_write.h"
#include "roofs/commands/slab_entry.h"
#include "roofs/dialogs/dlg_tpad.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/hip_roof.h"
#include "roofs/outline_select.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int kMaxHipRoofVertices = 23;

void SayTooManyPoints(int count) {
    zcutPrintf("\n%d:%s", count, "Zbyt duża liczba punktów.");
}

// The vertices the outline given so far (the loop up to, not counting, the
// rubber-band vertex) keeps once repeated points are dropped.
int DistinctVertices(const VertexNode* loop, const VertexNode* rubber) {
    VertexNode* copy = nullptr;
    VertexNode** tail = &copy;
    for (const VertexNode* v = loop; v && v != rubber; v = v->next) {
        *tail = NewVertex(v->x, v->y, v->z, 1, 0, 0, 0);
        tail = &(*tail)->next;
    }
    copy = RemoveDuplicateVertices(copy);
    const int count = CountNodes(copy);
    FreeList(copy);
    return count;
}

// The outline by points in the jig; null on cancel, and null with
// tooMany set when a point would take the outline past what the
// generator takes (the point is refused as it is given).
VertexNode* EnterHipOutline(AJIG_COP& jig, bool& tooMany) {
    tooMany = false;
    jig.loops = new ContourNode;
    jig.loops->vertices = NewVertex(0, 0, 0, 1, 0, 0, 0);
    jig.current = jig.loops->vertices;
    jig.vertexNumber = 1;
    jig.stage = 12;
    for (;;) {
        if (jig.vertexNumber == 1)
            jig.setDispPrompt("%s", "\nOkreśl pierwszy wierzchołek dachu czterospadowego:");
        else
            jig.setDispPrompt("\nOkreśl liczbę wierzchołków %d [Cofnij]:", jig.vertexNumber);
        jig.stage = 12;
        jig.drag();
        ContourNode* loop = jig.loops;
        if (jig.stage == 12) {
            VertexNode* given = jig.current;
            if (jig.vertexNumber > kMaxHipRoofVertices) {
                const int count = DistinctVertices(loop->vertices, given->next);
                if (count > kMaxHipRoofVertices) {
                    SayTooManyPoints(count);
                    tooMany = true;
                    return nullptr;
                }
            }
            VertexNode* rubber = NewVertex(given->x, given->y, given->z, 1, 0, 0, 0);
            given->next = rubber;
            jig.current = rubber;
            ++jig.vertexNumber;
            jig.basePoint = given->pt();
            SetLastPoint(given->pt());
        } else if (jig.stage == 8) {
            if (jig.current != loop->vertices) {
                VertexNode* before = PrevInRing(loop->vertices, jig.current);
                VELM_ASSERT(before != nullptr);  // the current vertex is one of the loop's
                RemoveNode(&loop->vertices, jig.current);
                jig.current = before;
                --jig.vertexNumber;
                if (before != loop->vertices) SetLastPoint(PrevInRing(loop->vertices, before)->pt());
            }
        } else if (jig.stage == 0) {
            break;
        } else {
            return nullptr;
        }
    }
    ContourNode* loop = jig.loops;
    RemoveNode(&loop->vertices, jig.current);
    jig.current = nullptr;
    VertexNode* outline = loop->vertices;
    loop->vertices = nullptr;
    return outline;
}

// Each vertex moved to the crossing of its two edges shifted outwards (to
// the right of a counter-clockwise outline) by the overhang.
void OffsetOutline(std::vector<Point3>& pts, double overhang) {
    const std::size_t n = pts.size();
    std::vector<Point3> moved(n);
    const double pi = std::numbers::pi;
    for (std::size_t i = 0; i < n; ++i) {
        const Point3& V = pts[i];
        const Point3& N = pts[(i + 1) % n];
        const Point3& P = pts[(i + n - 1) % n];
        const double out1 = AngleTo(V, N) - pi / 2.0, out2 = AngleTo(P, V) - pi / 2.0;
        const Point3 a1 = PolarPoint(V, out1, overhang), a2 = PolarPoint(N, out1, overhang);
        const Point3 b1 = PolarPoint(P, out2, overhang), b2 = PolarPoint(V, out2, overhang);
        const ads_point p1{a1.x, a1.y, 0}, p2{a2.x, a2.y, 0}, q1{b1.x, b1.y, 0}, q2{b2.x, b2.y, 0};
        ads_point at;
        moved[i] =
            zcdbInters(p1, p2, q1, q2, 0, at) == RTNORM ? Point3{at[0], at[1], V.z} : Point3{a1.x, a1.y, V.z};
    }
    pts = moved;
}

}  // namespace

void CmdHipRoof() {
    CDlgTPAD dialog;
    dialog.Load();
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK || dialog.Mode() == 3) return;
    dialog.Store();

    AJIG_COP jig;
    CFALDA record;
    record.edgeKey = 0;
    RoofHatch hatch;
    hatch.pattern = SettingString(SetupVar::CSTILETETTI);
    record.name = SettingString(SetupVar::CLAYERTET);
    hatch.make = SettingInt(SetupVar::CTRATTEGGIO01) > 0;
    const bool atWall = SettingInt(SetupVar::CDOVEQGRO) > 0;
    hatch.angle = SettingReal(SetupVar::CANGCAMPT);
    const double height = SettingReal(SetupVar::CQGRONDA);
    record.thickness = SettingReal(SetupVar::CSPESS_TETTI);
    const double overhang = SettingReal(SetupVar::CCORNICIONE);
    const double slope = SettingReal(SetupVar::CPENDENZAF);
    record.slope = std::atan(slope / 100.0) * 180.0 / std::numbers::pi;
    record.draw2D = SettingInt(SetupVar::CGENERA2D) > 0;
    hatch.scale = GetScaleFactor(8);
    if (SettingInt(SetupVar::COSNAP) > 0) jig.SetOsmode(1);

    VertexNode* outline = nullptr;
    if (dialog.Mode() == 0) {
        bool tooMany = false;
        outline = EnterHipOutline(jig, tooMany);
        if (tooMany) host::noteFailed();
    } else if (dialog.Mode() == 1) {
        outline = SelectFloorOutline(5, -1.0, nullptr, nullptr);
    } else {
        int status = 1;
        outline = SelectClosedOutline(
            status, "\nWybierz zewnętrzny zamknięty kontur dachu czterospadowego:", 5, false);
    }
    if (!outline) return;
    outline = RemoveDuplicateVertices(outline);
    const int count = CountNodes(outline);
    if (count < 3) {
        FreeList(outline);
        zcutPrintf("\n%s", "Nie ma wystarczająco dużo punktów");
        return;
    }
    if (count > kMaxHipRoofVertices) {
        FreeList(outline);
        SayTooManyPoints(count);
        host::noteFailed();
        return;
    }
    int reversed = 0;
    outline = NormalizePolygon(1, outline, &reversed);
    std::vector<Point3> pts;
    const double eave = atWall ? height - slope * overhang / 100.0 : height;
    for (const VertexNode* v = outline; v; v = v->next) pts.push_back({v->x, v->y, eave});
    FreeList(outline);
    if (pts.size() < 3) {
        zcutPrintf("\n%s", "Nie ma wystarczająco dużo punktów");
        return;
    }
    if (overhang != 0.0) OffsetOutline(pts, overhang);

    bool broken = false;
    const std::vector<std::vector<Point3>> pitches = GenerateHipRoof(pts, slope, broken);
    if (pitches.empty()) return;
    MakeSlabLayerName(record);
    WriteRoofPitches(record, pitches, hatch);
}

// The roof point editing command. Move mode and insert mode alternate on
// one slab until the user picks another ("Zmień"), cancels or a slab pick
// fails; every completed move or insertion writes the slab at once.
#include "roofs/commands/edit_roof_points.h"

#include <string>

#include "core/geometry/vertex_list.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/prompts.h"
#include "roofs/commands/slab_edit.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "roofs/slab_vertex_tools.h"

bool SelectSlabOrProfile(AJIG_COP& jig, CFALDA& record, bool useImplied, ads_name entity) {
    auto check = [](const ads_name picked, bool implied) {
        const SlabXDataInfo info = InspectSlabXData(picked);
        if (!info.present) {
            if (!implied) zcutPrintf("\nWybrany obiekt nie jest płytą");
            return PickVerdict::AskAgain;
        }
        if (!info.named) {
            zcutPrintf("\nWybrany obiekt nie jest płytą");
            return PickVerdict::Fail;
        }
        return PickVerdict::Take;
    };
    if (!PickSlabEntity("\nWybierz płytę lub profil:", useImplied, check, entity)) return false;
    return LoadSlabForEdit(entity, record, jig);
}

namespace {

void ForgetChosen(AJIG_COP& jig, double unit) {
    for (const RingNode* r = jig.chosen; r; r = r->next) DrawCrossMarker(r->vertex->pt(), unit);
    FreeList(jig.chosen);
    jig.chosen = nullptr;
}

}  // namespace

bool EditSlabPointsLoop(AJIG_COP& jig, int& mode) {
    const double unit = SettingsUnitFactor();
    for (;;) {
        ads_point pt;
        const int rc = GetPointInRange(
            0, "Zmień Wstaw", nullptr,
            "\nWybierz punkt do przesunięcia, Enter, aby zamknąć lub[Zmień płytę/Wstaw wierzchołek]:", pt);
        if (rc == RTNORM) {
            // Found in plan, and judged by the vertex itself: a typed point
            // without the vertex's height names the same vertex, which must
            // not be moved twice.
            VertexNode* v = FindSlabVertexAt(jig.loops, {pt[0], pt[1], pt[2]});
            bool already = false;
            for (const RingNode* r = jig.chosen; r && !already; r = r->next)
                already = r->vertex == v || PointsEqual(r->vertex->pt(), {pt[0], pt[1], pt[2]}, true);
            if (already) {
                zcutPrintf("\nPunkt został już wybrany");
                continue;
            }
            if (!v) {
                zcutPrintf("\nWybrany punkt nie jest wierzchołkiem płyty");
                continue;
            }
            auto* node = new RingNode;
            node->vertex = v;
            node->next = jig.chosen;
            jig.chosen = node;
            DrawCrossMarker(v->pt(), unit);
            continue;
        }
        if (rc == RTNONE) {
            for (const RingNode* r = jig.chosen; r; r = r->next) DrawCrossMarker(r->vertex->pt(), unit);
            mode = 0;
            return true;
        }
        if (rc == RTKWORD) {
            char word[64] = "";
            zcedGetInput(word);
            const std::string keyword = word;
            if (keyword == "Zmień" || keyword == "Wstaw") {
                ForgetChosen(jig, unit);
                mode = keyword == "Zmień" ? -1 : -2;
                return true;
            }
            continue;
        }
        ForgetChosen(jig, unit);
        return false;
    }
}

void CmdEditRoofPoints() {
    CFALDA record;
    AJIG_COP jig;
    ads_name entity{0, 0};
    if (!SelectSlabOrProfile(jig, record, true, entity)) return;
    for (;;) {
        int mode = 0;
        if (!EditSlabPointsLoop(jig, mode)) return;
        if (mode == -1) {
            if (!SelectSlabOrProfile(jig, record, false, entity)) return;
            continue;
        }
        if (mode == -2) {
            InsertSlabVertices(jig, record, entity, jig.elevation);
            continue;
        }
        if (!DragChosenVertices(jig)) return;
        RewriteSlab(record, entity, jig.elevation, jig.loops);
        FreeList(jig.chosen);
        jig.chosen = nullptr;
    }
}

// "VELMHANDRAIL" (see the header).
//
// The dialog's values are kept as soon as it is confirmed, whatever happens
// after. The rail goes on the side of the side line the user asked for:
// inside, towards the stair's other side and a little in from the line;
// outside, away from it, touching the line.
#include "stairs/commands/handrail_cmd.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "stairs/commands/stair_commands.h"
#include "stairs/dialogs/dlg_handrail.h"
#include "stairs/handrail_block.h"
#include "stairs/stair_model.h"
#include "stairs/stair_record.h"

namespace {

enum class StairKind { None, Module, Library };

StairKind KindOf(const ads_name entity) {
    for (const auto& [app, kind] :
         {std::pair{kStairApp, StairKind::Module}, std::pair{kLibraryStairApp, StairKind::Library}}) {
        const host::ResbufList list(GetEntXData(entity, app));
        if (list && FindXDataApp(list.get(), app)) return kind;
    }
    return StairKind::None;
}

Point3 InsertionOf(const resbuf* list) {
    const resbuf* at = FindRbCode(list, 10);
    return at ? Point3{at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]} : Point3{0, 0, 0};
}

SideChain ChainOf(const RingNode* chain) {
    SideChain out;
    for (const RingNode* n = chain; n; n = n->next)
        if (n->vertex) out.push_back(n->vertex->pt());
    return out;
}

// The sides of a stair of the module, with its level.
void ReadModuleStairSides(const ads_name stair, CScalaCorriData& data) {
    GetOrShiftBlockLevel(stair, data.level, false, 0.0);
    const host::ResbufList list(GetEntXData(stair, kStairApp));
    if (!list) return;
    const resbuf* rotation = FindRbCode(list.get(), 50);
    // The step height is not kept with the stair: it comes back from the
    // floor distance over the risers, as the options dialog gives it.
    CSCALA record;
    const bool ok = record.LoadStairFromEntity(list.get(), InsertionOf(list.get()),
                                               rotation ? rotation->resval.rreal : 0.0, 0);
    if (!ok) return;
    RingNode* first = nullptr;
    RingNode* second = nullptr;
    StepSideChains(record.steps, &first, &second);
    data.firstSide = ChainOf(first);
    data.secondSide = ChainOf(second);
    FreeList(first);
    FreeList(second);
}

// The sides of a stair placed from the library. Its level is where the
// library placed it: the Z of its insertion point.
void ReadLibraryStairSides(const ads_name stair, CScalaCorriData& data) {
    const host::ResbufList list(GetEntXData(stair, kLibraryStairApp));
    if (!list) return;
    data.level = InsertionOf(list.get()).z;
    std::vector<LibraryStairStep> steps = ReadLibraryStairSteps(list.get());
    VertexNode* one = RemoveDuplicateVertices(BuildLibrarySideOutline(1, steps));
    VertexNode* two = RemoveDuplicateVertices(BuildLibrarySideOutline(0, steps));
    data.firstSide = OutlineToChain(one);
    data.secondSide = OutlineToChain(two);
    FreeList(one);
    FreeList(two);
}

// Whether the stair's other side lies to the left of the chosen one.
bool OtherSideOnLeft(const SideChain& chosen, const SideChain& other) {
    const Point3 probe = other[other.size() / 2];
    double best = -1.0, cross = 0.0;
    for (std::size_t i = 0; i + 1 < chosen.size(); ++i) {
        const Point3& a = chosen[i];
        const Point3& b = chosen[i + 1];
        if (Distance2d(a, b) < SharedTolerance) continue;
        const double d = Distance2d(a, probe) + Distance2d(b, probe);
        if (best < 0.0 || d < best) {
            best = d;
            cross = (b.x - a.x) * (probe.y - a.y) - (b.y - a.y) * (probe.x - a.x);
        }
    }
    return cross > 0.0;
}

}  // namespace

void CmdHandrail() {
    CScalaCorriData data;
    if (!ShowHandrailDialog(data)) return;
    data.saveDefaults = true;

    ads_name stair;
    StairKind kind = StairKind::None;
    for (;;) {
        ads_point pick;
        zcedInitGet(RSG_NONULL, nullptr);
        const int rc = zcedEntSel(kHandrailPickPrompt, stair, pick);
        if (rc == RTNONE) continue;  // an empty answer is refused
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return;
        kind = KindOf(stair);
        if (kind != StairKind::None) {
            data.pickPoint = {pick[0], pick[1], 0.0};
            break;
        }
        zcutPrintf("%s", kStairNotAStairMessage);
    }

    bool wholeSide = false;
    ads_point p1 = {0, 0, 0}, p2 = {0, 0, 0};
    int rc = GetPointInRange(0, nullptr, nullptr, kHandrailStartPrompt, p1);
    if (rc == RTNONE) {
        wholeSide = true;
    } else if (rc != RTNORM) {
        return;
    } else {
        if (GetPointInRange(RSG_NONULL, nullptr, nullptr, kHandrailEndPrompt, p2) != RTNORM) return;
    }

    if (kind == StairKind::Library)
        ReadLibraryStairSides(stair, data);
    else
        ReadModuleStairSides(stair, data);
    if (data.firstSide.size() < 2 || data.secondSide.size() < 2) {
        zcutPrintf("%s", kHandrailNoSideMessage);
        return;
    }
    const SideChain* chain = data.ChooseHandrailSide(wholeSide, {p1[0], p1[1], 0.0}, {p2[0], p2[1], 0.0});
    if (!chain) {
        zcutPrintf("%s", kHandrailNoSideMessage);
        return;
    }
    data.BuildHandrailPieces(*chain);
    if (data.pathPieces.empty()) {
        zcutPrintf("%s", kHandrailFailedMessage);
        return;
    }

    const bool interiorLeft =
        OtherSideOnLeft(*chain, chain == &data.firstSide ? data.secondSide : data.firstSide);
    if (data.position == kHandrailInside) {
        const double offset = data.unitFactor * SharedTolerance * 5000.0;
        data.pathOffset = interiorLeft ? offset : -offset;
        data.bandRight = !interiorLeft;
    } else {
        data.pathOffset = 0.0;
        data.bandRight = interiorLeft;
    }

    if (data.type == kHandrailRailOnly || data.type == kHandrailWithPosts) {
        if (data.type == kHandrailWithPosts) data.PlaceVerticalElements();
        data.MakeRailBand();
        if (data.type == kHandrailWithPosts) data.BuildVerticalElementFaces();
    }

    // The block's origin is the first piece's start.
    const Point3 origin = data.pathPieces.front().start;
    data.insertionPoint = {origin.x, origin.y, 0.0};
    for (HandrailPiece& piece : data.pathPieces) {
        piece.start = {piece.start.x - origin.x, piece.start.y - origin.y, 0.0};
        if (!piece.isArc()) piece.end = {piece.end.x - origin.x, piece.end.y - origin.y, 0.0};
    }
    for (PostFace& face : data.postFaces)
        for (Point3& corner : face) {
            corner.x -= origin.x;
            corner.y -= origin.y;
        }

    CCorrimano rail;
    if (!rail.ComputeHandrailPath(data.pathPieces, 0, data.railLayer, data.width, data.pathOffset,
                                  data.bandRight))
        return;
    if (MakeHandrailBlock(rail, data, data.postLayer, false)) InsertHandrailBlock(rail, data);
}

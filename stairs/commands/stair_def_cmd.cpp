// "VELMSTAIRDEF": the stair path drawn with the path jig, then either kept
// as model lines (Enter) or built into a stair ("Utwórz"), the lines going
// again when no stair results.
#include <cmath>
#include <cstdint>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "stairs/commands/stair_commands.h"
#include "stairs/commands/stair_jig.h"

namespace {

// Back to the straight stage after an arc was given up.
void BackToStraight(AJIG_CMD_SCALA& jig) {
    if (StairPathNode* n = jig.preview->newest) {
        FreeStepLines(*n);
        n->kind = 0;
    }
    jig.mode = 0;
    jig.BuildStairCreatePrompt("");
}

// A drag of the arc stage with the preview hidden, as the cursor shows the
// point being given.
ZcEdJig::DragStatus HiddenDrag(AJIG_CMD_SCALA& jig) {
    jig.preview->draw = 0;
    const ZcEdJig::DragStatus status = jig.drag();
    jig.preview->draw = 1;
    return status;
}

// The accepted arc: the next node starts at its far end on the line the
// user drew along.
void AcceptArc(AJIG_CMD_SCALA& jig) {
    StairPathNode& n = *jig.preview->newest;
    const double a = n.sideA[1].x, b = n.sideB[1].x;
    const double r = jig.alignment == 0 ? b : jig.alignment == 1 ? (a + b) / 2.0 : a;
    n.endAngle = n.direction ? n.sideB[1].z : n.sideB[1].y;
    n.width = jig.width;
    n.step = jig.flight ? jig.step : -1.0;
    jig.PushNode(PolarPoint(n.sideB[0], n.endAngle, r));
    jig.mode = 0;
    jig.BuildStairCreatePrompt("");
}

// The arc stage from mode 1 until the arc is accepted or given up.
void ArcStage(AJIG_CMD_SCALA& jig) {
    jig.BuildStairDefPrompt("");
    while (jig.mode >= 1 && jig.mode <= 4) {
        const int before = jig.mode;
        const ZcEdJig::DragStatus status = HiddenDrag(jig);
        if (jig.mode == 7 || jig.mode == 8) {
            // In the three-point end or the angle a cancel gives up the
            // arc only; elsewhere it leaves the arc stage.
            if ((before == 3 || before == 4) && jig.mode == 8) {
                if (StairPathNode* n = jig.preview->newest) {
                    FreeStepLines(*n);
                    n->kind = 0;
                }
                jig.mode = 1;
                jig.BuildStairDefPrompt("3punkt");
                continue;
            }
            BackToStraight(jig);
            return;
        }
        if (!jig.answer.empty()) {
            jig.BuildStairDefPrompt(jig.answer);
            continue;
        }
        if (status != ZcEdJig::kNormal && status != ZcEdJig::kNull) continue;
        StairPathNode& n = *jig.preview->newest;
        if (before == 1 && status == ZcEdJig::kNormal) {
            n.kind = 1;
            jig.mode = 3;
            jig.BuildStairDefPrompt("");
        } else if (before == 2) {
            n.kind = 1;
            jig.BuildStairDefPrompt("!angoloFinale!");
            const double base = AngleTo(jig.point, n.point);
            const int set = 1;
            SysVarReal("ANGBASE", &base, &set);
        } else if ((before == 3 || before == 4) && status == ZcEdJig::kNormal) {
            if (n.sideB[1].x > 0.0 && n.sideB[0].x == n.sideA[0].x && n.sideB[0].y == n.sideA[0].y) {
                AcceptArc(jig);
                return;
            }
        }
    }
}

// The last segment finished with its stored width and step.
void FinishLastSegment(AJIG_CMD_SCALA& jig) {
    StairPathNode& n = *jig.preview->newest;
    const bool steps = n.step >= 0.0;
    if (!n.isArc()) {
        const double keepWidth = jig.width;
        jig.width = n.width;
        jig.SetLineSides(jig.point, n);
        jig.width = keepWidth;
        JoinWithPreviousNode(n.previous, n);
        BuildLineStepLines(n, steps, n.step, n.width);
    } else {
        BuildArcStepLines(n, steps, StepAngleOnArc(n, n.step));
    }
}

}  // namespace

void CmdStairDef() {
    AJIG_CMD_SCALA jig;
    jig.BuildStairCreatePrompt("");
    ads_point first;
    for (;;) {
        const int rc = GetPointInRange(1, jig.keywordList.c_str(), nullptr, jig.prompt.c_str(), first);
        if (rc == RTKWORD) {
            char keyword[64] = "";
            zcedGetInput(keyword);
            jig.BuildStairCreatePrompt(keyword);
            if (jig.mode == 6) return;
            jig.mode = 0;
            continue;
        }
        if (rc != RTNORM) return;
        break;
    }
    jig.firstPoint = false;
    jig.PushNode({first[0], first[1], 0.0});
    jig.BuildStairCreatePrompt("");

    while (jig.mode != 5 && jig.mode != 6 && jig.mode != 8) {
        if (jig.mode == 7) {
            jig.UndoLastNode();
            if (jig.mode == 0) jig.BuildStairCreatePrompt("");
            continue;
        }
        if (jig.mode >= 1 && jig.mode <= 4) {
            ArcStage(jig);
            continue;
        }
        const ZcEdJig::DragStatus status = jig.drag();
        if (status == ZcEdJig::kNormal && jig.answer.empty() && jig.mode == 0) {
            StairPathNode& n = *jig.preview->newest;
            n.width = jig.width;
            n.step = jig.flight ? jig.step : -1.0;
            jig.PushNode(jig.point);
        } else if (!jig.answer.empty()) {
            jig.BuildStairCreatePrompt(jig.answer);
        }
    }
    const int end = jig.mode;
    if (end == 8) return;
    if (!jig.UndoLastNode()) return;
    FinishLastSegment(jig);
    // A stair built without that flight's steps would end before it.
    if (end == 6 && jig.FlightWithoutSteps()) {
        zcutPrintf("%s", kStairFlightWithoutStepsMessage);
        host::noteFailed();
        return;
    }
    if (!jig.MakePathModelLines()) return;
    // The lines were drawn only to build the stair from: without the stair
    // (its options cancelled, or it could not be made) they go again.
    if (end == 6 && !CreateStairFromModel(jig.modelLines, jig.startLine, jig.stepLinesMade)) {
        ads_name e;
        for (std::int32_t i = 0; zcedSSName(jig.modelLines, i, e) == RTNORM; ++i) zcdbEntDel(e);
        if (!ads_name_nil(jig.startLine)) zcdbEntDel(jig.startLine);
    }
    zcedSSFree(jig.modelLines);
}

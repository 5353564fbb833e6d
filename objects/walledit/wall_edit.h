// Wall editing: one side face of a straight wall moved parallel to itself,
// whole or over a stretch (a recess or a projection), or set to a new wall
// width from the face across. The walls met at the face's ends follow the
// moved face (trimmed or extended to it), the old face keeps what lies
// outside the stretch, and the openings of the stretch are taken out and
// placed again on the moved face. A jig shows the new outline while the
// user gives the displacement.
//
// The edit moves every opening of the stretch or none: each is checked
// before anything changes, and a failure after the first change takes the
// whole command back.
#pragma once

#include "core/geometry/geom_basic.h"
#include "host/db/dbentity.h"
#include "host/ed/jig.h"
#include "walls/graph/wall_face.h"

// The outline under the cursor: the stretch A-B as it was, C-D where it
// goes, drawn as A-C, C-D, D-B. Never added to a drawing.
class VELM_EMUROENT : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_EMUROENT);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    bool worldDraw(ZcGiWorldDraw* wd) override;

    Point3 A, B, C, D;
};

class AJIG_EMURO : public ZcEdJig {
public:
    AJIG_EMURO();
    ~AJIG_EMURO() override;

    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return preview; }

    // 2 when both sides of a straight-wall opening touch C-D, 1 when one
    // does or the outline is of another kind, 0 when none.
    int CountOpeningSidesOnStretch(const OutlineNode& outline) const;

    int inward = 1;
    int mode = 1;  // 1 displacement of the stretch, 0 new wall width
    double elevation = 0.0;
    double distance = 0.0;
    double previousDistance = 0.0;
    double angle = 0.0;  // from the picked face towards the face across
    double width = 0.0;
    Point3 basePoint;
    VELM_EMUROENT* preview = nullptr;
};

// VELMEDITWALL
void CmdEditWall();

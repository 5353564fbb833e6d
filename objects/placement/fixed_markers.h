// The fixed point a placed object was set by, shown and chosen again. Each
// placed object's record keeps the number of its definition's fixed point
// and where that point lies in its block: the markers (a square with both
// diagonals) are drawn into every placed object's block or taken out of
// them all, and one object's fixed point is stepped through its
// definition's points with a transient marker and stored, also into other
// objects of the same definition.
#pragma once

#include "host/db/dbentity.h"
#include "host/ed/jig.h"
#include "host/ge/gebase.h"

class VELM_SPFISSIENT : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_SPFISSIENT);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    VELM_SPFISSIENT();
    // The square's four edges and its diagonals c0-c2, c1-c3, in colour 2.
    bool worldDraw(ZcGiWorldDraw* wd) override;

    double size = 0.0;  // the marker side when made
    ZcGePoint3d corners[4];
    double centre[2]{};
};

class AJIG_SPFISSI : public ZcEdJig {
public:
    AJIG_SPFISSI();
    ~AJIG_SPFISSI() override;
    // A point is read and let go: the marker stays on the fixed point.
    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return marker; }

    VELM_SPFISSIENT* marker = nullptr;
};

// VELMFIXEDPON
void CmdFixedPointsOn();
// VELMFIXEDPOFF
void CmdFixedPointsOff();
// VELMFIXEDPCH
void CmdFixedPointChange();

// Moving the dimension of a door or window set into a wall: the user drags
// a new distance from the outer or the inner wall line with a triangle
// marker as the preview, and the opening, and any others chosen after it,
// are drawn again with their dimension text, line or both at it. The
// marker is never added to a drawing.
#pragma once

#include "host/db/dbentity.h"
#include "host/ed/jig.h"
#include "host/ge/gebase.h"

class VELM_SQUOTAENT : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_SQUOTAENT);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    VELM_SQUOTAENT();
    // The first triangle's edges, and the second's when there are two, in
    // colour 2.
    bool worldDraw(ZcGiWorldDraw* wd) override;

    double size = 0.0;  // print-scale text height when made
    bool twoTriangles = false;
    ZcGePoint3d first[3];
    ZcGePoint3d second[3];
};

class AJIG_SQUOTA : public ZcEdJig {
public:
    AJIG_SQUOTA();
    ~AJIG_SQUOTA() override;
    DragStatus sampler() override;
    // The marker at the distance from the base point: style 0 one triangle
    // pointing along the direction, 1 two triangles meeting at the point,
    // 2 one triangle pointing back; other styles leave it as it was.
    bool update() override;
    ZcDbEntity* entity() const override { return marker; }

    int outerSide = 1;  // 1 measured from the outer wall line, 0 from the inner
    int markerStyle = 0;
    double elevation = 0.0;
    double distance = 0.0;
    double previousDistance = 0.0;
    double direction = 0.0;
    ZcGePoint3d basePoint;
    VELM_SQUOTAENT* marker = nullptr;
};

// The marker style of a door's or a window's dimension: the tens or the
// units digit of the setting SALLINTXTQ.
int DimensionMarkerStyle(bool door);
// VELMMOVEDIM
void CmdMoveDim();

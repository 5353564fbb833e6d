// Wall deletion: one straight wall taken out of the plan. The user picks
// one side face; the face across it is the wall's other side. Both faces
// are erased over the wall's length (a little farther at a free end, so the
// ends of a free-standing wall go with it), the openings set wholly in the
// wall go too, face lines that ran on past the wall are cut back at its
// ends, and the walls met at each end are closed across the gap: joined
// into one line when they are collinear, else trimmed or extended to their
// crossing. The 3D sides of every face and line touched are made again.
#pragma once

#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/ads/adsowners.h"
#include "host/util/adscodes.h"
#include "walls/graph/cfacciate.h"

// The working record of one deletion.
class CCANCMURO {
public:
    CCANCMURO() = default;
    virtual ~CCANCMURO();
    CCANCMURO(const CCANCMURO&) = delete;
    CCANCMURO& operator=(const CCANCMURO&) = delete;

    struct Touched {
        WallFace* face = nullptr;
        Point3 start, end;  // the face's segment when it was touched
        ads_name entity = {0, 0};
    };

    CFACCIATE faces;
    std::vector<Touched> touchedFaces;  // one per face
    std::vector<Touched> touchedLines;  // one per wall line
    ads_name sideA1 = {0, 0}, sideA2 = {0, 0}, sideB1 = {0, 0}, sideB2 = {0, 0};
    WallFace* picked = nullptr;
    WallFace* opposite = nullptr;
    Point3 wallStart, wallEnd, cutStart, cutEnd;
    double angleA1 = 0.0, angleA2 = 0.0, angleB1 = 0.0, angleB2 = 0.0;
    double thickness = 0.0;

    // The face holding the line, recorded once with it.
    void RecordTouched(const ads_name entity);
    // Steps after the two faces are known (faces built, picked, opposite
    // and thickness set): extent, openings, corners, erasing, cutting,
    // closing, and the 3D refresh.
    void ComputeWallExtent();
    void EraseOpeningsInWall();
    void FindWallCorners();
    void EraseWallFaces();
    void CutFacesAtWallEnds();
    void CloseWallEnds();
    void Refresh3D();
    void Run();
};

// The angle at a wall corner, 0 for a perpendicular side line: from the
// corner along the face (towards `faceOther`) and along the side line
// (towards `edgeOther`), the smaller directed angle less a right angle.
double CornerAngle(const Point3& corner, const Point3& faceOther, const Point3& edgeOther);

// VELMDELWALL
void CmdDelWall();

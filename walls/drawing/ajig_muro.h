// AJIG_MURO: the jig of wall drawing. It owns the chain of segments (the
// newest is the live one under the cursor; every older one is written), the
// options read for the drawing, the walls met at the start and the end, and
// the inputs of the arc and triangle modes. Its sampler asks for the input
// of the current mode and turns keywords into mode changes; its update
// recomputes the live segment's faces, mitres them to the segment before
// (rewriting that one's entities) or, for the first segment, opens the wall
// it starts from. The engine (draw_walls.h) moves between the modes.
//
// ANGDIR and ANGBASE are 0 while the jig lives, so angles run
// counter-clockwise from the X axis; it puts them back when it goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/layer_catalogue.h"
#include "host/ed/jig.h"
#include "walls/drawing/met_walls.h"
#include "walls/drawing/velm_muroj.h"

class AJIG_MURO : public ZcEdJig {
public:
    enum Mode {
        Point,
        Finish,
        Undo,
        Cancel,
        Options,
        ArcChord,
        Select,
        Triangle,
        ArcRise,
        ArcSweep,
        ArcCentre,
        ArcAngle,
        JoinDistance,
        Flip,
        TriangleLength,
        TriangleDiagonal,
    };

    AJIG_MURO();
    ~AJIG_MURO() override;

    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override { return chain.back().get(); }

    VELM_MUROJ& live() { return *chain.back(); }
    // The newest written segment; null before the first is written.
    VELM_MUROJ* previous() { return chain.size() > 1 ? chain[chain.size() - 2].get() : nullptr; }
    // Writes the live segment (and the pending layers' attributes), then
    // makes the next live segment starting at `next`.
    bool WriteLiveAndContinue(const Point3& next);
    // The arc's end and centre from the arc inputs of the current mode.
    bool ComputeArc(Point3& end, Point3& centre) const;
    static bool IsArcMode(Mode m) {
        return m == ArcChord || m == ArcRise || m == ArcSweep || m == ArcCentre || m == ArcAngle;
    }

    Mode mode = Point;
    Mode savedMode = Point;
    int segmentCount = 0;
    bool trimWalls = false;
    bool arcAllowed = false;
    bool closeAllowed = true;
    double elevation = 0.0;
    WallAlignment alignment = WallAlignment::Centre;
    ::Point3 acquired;
    std::vector<std::unique_ptr<VELM_MUROJ>> chain;
    double joinDistance = 0.0;
    MetWall startWall, joinWall;
    std::vector<LayerAttrEntry> pendingLayers;
    double chord = 0.0, previousChord = 0.0, rise = 0.0, angle = 0.0;
    double chordDirection = 0.0;
    ::Point3 arcCentre;
    ::Point3 diagonalEnd, cursor;
    double wallLength = 0.0;

private:
    DragStatus samplePoint();
    DragStatus flip();
    DragStatus OutOfRange();

    int savedAngDir_ = 0;
    double savedAngBase_ = 0.0;
};

// ELEVATION set to the floor's while a point is asked, put back after.
class ElevationScope {
public:
    explicit ElevationScope(double elevation);
    ~ElevationScope();
    ElevationScope(const ElevationScope&) = delete;
    ElevationScope& operator=(const ElevationScope&) = delete;

private:
    double saved_;
};

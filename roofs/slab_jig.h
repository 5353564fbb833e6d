// The outline jig of the slab, roof and profile commands: VELM_COPJ draws
// the loops as rubber-band lines, AJIG_COP samples the cursor in one of
// several input stages, moves the current vertex and reports in `stage`
// what the user chose; the command reads that field after each drag.
//
// Outcome stages: 0 finished, 1 cancelled, 5/6 a point was added,
// 7 "Niewidoczny", 8 "Cofnij", 9 "Kontur", 10 "Obiekt", 11 Enter (close the
// current loop). Input stages: 2-4 gable-roof points, 5 outline points,
// 6 opening points, 12 points at the offset, 14/15 plain points with Enter,
// 16 a point on the plane, 17 moving the chosen vertices.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "host/db/dbentity.h"
#include "host/ed/jig.h"
#include "roofs/gable_roof.h"

class ZcGiWorldDraw;

// The transient entity that draws the loops it points at (not owned).
class VELM_COPJ : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_COPJ);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    VELM_COPJ() = default;
    bool worldDraw(ZcGiWorldDraw* wd) override;
    std::uint32_t setAttributes(ZcGiDrawableTraits* traits) override;

    const ContourNode* loops = nullptr;
};

class AJIG_COP : public ZcEdJig {
public:
    AJIG_COP();
    ~AJIG_COP() override;

    DragStatus sampler() override;
    bool update() override;
    ZcDbEntity* entity() const override;
    // Redraws the loops from the first edge whose vertices changed since the
    // last preview: entering an outline point by point draws two edges per
    // point, not the whole outline again.
    int drawChanges(ZcGiWorldDraw& wd) override;

    // Saves OSMODE once (restored by the destructor) and sets it.
    void SetOsmode(int value);
    // The outline (first loop) and the loop being entered (the last).
    VertexNode* Outline() const { return loops ? loops->vertices : nullptr; }
    ContourNode* LastLoop() const;
    // z of (x, y) on the jig's plane; false for a vertical plane.
    bool ZOnPlane(double x, double y, double& z) const;

    // The command kinds: where a vertex entered goes.
    enum Kind : int {
        kAtElevation = 0,    // at elevation + offset
        kGutter = 2,         // the plane through the first edge at the slope
        kOnPlane = 4,        // on the jig's plane
        kAtElevationToo = 6  // as kAtElevation
    };
    int kind = kAtElevation;
    int stage = 0;
    int returnStage = 0;
    int vertexNumber = 1;
    RingNode* chosen = nullptr;    // owned nodes naming vertices of the loops
    ContourNode* loops = nullptr;  // owned
    Point3 basePoint, cursor, lastSample;
    VertexNode* current = nullptr;
    Point3 gablePoints[3];
    double a = 0.0, b = 0.0, c = 1.0, d = 0.0;
    bool gutterMode = false;
    double slopePercent = 0.0;
    double elevation = 0.0;
    double offset = 0.0;
    bool osmodeSaved = false;
    int savedOsmode = 0;
    // The gable roof: its values and the validity of its front slabs.
    GableRoofParams gable;
    int gableValidity = 0;
    // Recomputes the gable roof's loops from the points of the stage.
    void ComputeGableRoof();

    // The slab entry road changes the loops only where the user is: the
    // current vertex at the end of the last loop, a vertex added after it or
    // taken back, a loop begun after the last, or the last loop replaced by
    // a picked one. Between BeginEntry and EndEntry it says where the current
    // vertex is, and nothing else may change the loops; the jig then looks
    // only from there for what changed since the last preview, for the
    // vertex before the rubber band and for the vertices the gutter plane
    // has to lift, so that a point costs the same at the ten-thousandth
    // vertex as at the tenth. Outside, every look walks the loops whole.
    void BeginEntry();
    void EndEntry();
    // The current vertex is the index-th of the last loop (from 0), `before`
    // the vertex before it (null when it heads the loop).
    void NoteCurrent(VertexNode* before, std::size_t index);
    // The last loop's vertices were replaced: none of them is as drawn.
    void NoteLastLoopReplaced();

private:
    friend int ApplyGutterSlope(AJIG_COP& jig);
    DragStatus SampleVertex(bool outline);
    DragStatus SamplePlain(bool allowEnter, bool onPlane);
    DragStatus SampleGable();
    DragStatus OutOfRange();
    // acquirePoint (from `base` when given), asked again with the module's
    // message while the point is out of range.
    DragStatus AcquireInRange(ZcGePoint3d& p, const ZcGePoint3d* base);
    DragStatus SampleMove();
    void PlaceCurrent(const Point3& p);
    bool Unchanged(const Point3& p) const;
    Point3 PreviousOfCurrent() const;

    std::unique_ptr<VELM_COPJ> m_preview;
    // What the last preview drew from: each loop's vertices as they were,
    // and the number of primitives drawn before each vertex's edge.
    struct DrawnVertex {
        double x, y, z;
        int edgeFlag;
        std::size_t primitivesBefore;
    };
    struct DrawnLoop {
        std::size_t primitivesBefore = 0;
        std::vector<DrawnVertex> vertices;
    };
    std::vector<DrawnLoop> m_drawn;
    std::size_t m_drawnPrimitives = 0;

    // During entry: the loops before `loop` and its vertices up to `vertex`
    // are as the last preview drew them (and, while the gutter plane is
    // known, on that plane).
    struct Settled {
        const ContourNode* loop = nullptr;  // null: nothing is known
        std::size_t loopIndex = 0;
        const VertexNode* vertex = nullptr;  // null: none of the loop's vertices
        std::size_t vertexIndex = 0;
    };
    // Keeps the earlier of the settled point and `s`.
    void Lower(const Settled& s);
    void ForgetSettled() { m_settled = Settled{}; }
    bool m_entry = false;
    VertexNode* m_before = nullptr;  // during entry: the vertex before `current`
    std::size_t m_currentIndex = 0;  // during entry: `current`'s place in the last loop
    Settled m_settled;
    // The gutter plane last put on the vertices (during entry), and whether
    // it was put in the drag now running.
    bool m_gutterKnown = false, m_gutterThisDrag = false;
    double m_gutter[4] = {0.0, 0.0, 0.0, 0.0};
};

// Gutter mode: the plane through the outline's first edge rising at the
// jig's slope; 1, or 0 when it cannot be made.
int ApplyGutterSlope(AJIG_COP& jig);

// The gable roof's empty loops, with the edge flags of the preview.
void InitGableRoofLoops(AJIG_COP& jig);

// A cross of half-size 15 x unit on the point in XOR colour, highlighted:
// drawing the same cross again removes it.
void DrawCrossMarker(const Point3& point, double unit);
// Toggles the visibility of an edge of the jig's loops that the user picks;
// false when no point was given.
bool PickSlabEdge(AJIG_COP& jig);

// CFACCIATE, the wall-face graph of one floor level. Walls are drawn as
// separate LINEs and ARCs, one per wall face; the graph joins the wall
// entities that continue each other into faces (bridging the gaps of
// openings, stopping at corner objects), and answers the questions of the
// commands that need walls as a whole: the face holding an entity, the
// nearest face to a point, the face across a wall, the contour of a room.
//
// A command builds one graph, refines it (pilasters, junctions, function
// lines), asks, and frees it before it ends; nothing is stored in the
// drawing. Reading (Build, BuildFromLine, BuildFromArc, MergePillars,
// MergeFunLines) touches the drawing; everything else works on the records
// alone, so the lists may also be filled by hand.
//
// Lists are newest first unless said otherwise. The searches for touching
// edges and outlines go through point grids built for each assembly, so a
// floor of thousands of wall lines is assembled in close to linear time with
// the same faces a scan in list order gives. The grids of the face list that
// the room walks and the nearest-face search use are kept between calls
// until the list changes (FacesChanged), so measuring every room of a floor
// does not index the whole floor once per room.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "host/ads/spatial_index.h"
#include "walls/graph/graph_index.h"
#include "walls/graph/wall_face.h"

class DEFMURI;

class CFACCIATE {
public:
    // Reads the floor elevation, unit factor, wall distance and chord length
    // from the settings, and the floor height and integer at that elevation.
    CFACCIATE();
    ~CFACCIATE();
    CFACCIATE(const CFACCIATE&) = delete;
    CFACCIATE& operator=(const CFACCIATE&) = delete;

    WallFace* faces = nullptr;
    OutlineNode* outlines = nullptr;
    WallFace* pillarFaces = nullptr;
    ContourLink* contour = nullptr;
    WallFace* usedFaces = nullptr;
    FaceEdge* pendingLines = nullptr;
    FaceEdge* pendingArcs = nullptr;
    std::int32_t floorInt = 0;
    double level = 0.0;  // callers may set it (and floorHeight) before Build
    double floorHeight = 275.0;
    double unitFactor = 1.0;
    double chordLength = 0.0;
    double maxWallThickness = 60.0;
    double joinTolerance = 0.1;

    // ---- building (reads the drawing) ----
    void Build(bool linesOnly, bool allLevelOutlines, DEFMURI* pairing, bool pairRectangles);
    // One face from a wall line or arc of the level, not linked into faces
    // (free it with FreeFaceList); null when the entity is none of them.
    WallFace* BuildFromLine(const ads_name entity);
    WallFace* BuildFromArc(const ads_name entity);
    // mode 0 every wall line, -1 no rectangle-wall lines, 1 only those; the
    // kept edge of matchEntity (may be null) is returned.
    FaceEdge* ReadWallLines(const ads_name matchEntity, int mode);
    FaceEdge* ReadWallArcs(const ads_name matchEntity);
    // The outline records of the level (or of every level); with `wanted`,
    // only those it accepts, judged before they are copied; with `near`,
    // only those with a gap or corner point in that plan box.
    void LoadOutlines(bool allLevels, const std::function<bool(const OutlineNode&)>& wanted = {},
                      const host::PlanBox* near = nullptr);

    // ---- assembly (records only) ----
    // Every pending line becomes part of a face; new faces go to the front.
    void AssembleLines(bool levelOutlinesOnly, bool rectangleMode);
    // Every pending arc becomes part of an arc face (with its facing face).
    void AssembleArcs();
    WallFace* AssembleStraightFace(FaceEdge* first, WallFace* face, bool levelOutlinesOnly,
                                   bool rectangleMode);
    // Assembles the arc face and returns the facing arc face, or null.
    WallFace* AssembleArcFace(FaceEdge* first, WallFace* face);
    void ExtendArcFace(WallFace* face);

    // Frees every list of the graph (usedFaces too); safe to repeat.
    void Clear();
    // The walks and the nearest-face search keep grids of the face list;
    // every method here that changes the list drops them. Code that changes
    // the faces by hand between queries calls this.
    void FacesChanged();

    // ---- queries ----
    WallFace* FindFaceById(const ads_name entity) const;
    // The nearest straight face along a perpendicular through the point (at
    // the graph's level); null when none, or when the point lies on it.
    // angle receives the direction from the point to that face.
    WallFace* FindNearestFace(const Point3& point, double* angle) const;

    // ---- refinement ----
    void MergePillars();
    // Merges one pilaster outline (vertices read from the record carry mark
    // 1 in edgeFlag); the ring is the caller's.
    void MergePillarOutline(VertexNode*& outline);
    void SplitAtJunctions();
    void MergeFunLines();
    // The function-line part of MergeFunLines for lines already read: each
    // segment becomes a function-line face; they split each other and the
    // wall faces, and are appended to faces.
    void MergeFunLineSegments(const std::vector<std::pair<Point3, Point3>>& lines);

    // ---- polygons of a face (outline_polygons.h) ----
    // Replaces the polygon of the list by its pieces outside the hole: the
    // first takes the polygon's ring, the others go to the front of the
    // list; the polygon leaves the list (and is freed) when nothing is left.
    // Vertices where a piece passes from the border to the hole get edge
    // flag 1.
    static void SplitPolygonAtOutline(ContourNode*& list, ContourNode* polygon, const VertexNode* hole);

    // ---- contours ----
    VertexNode* RecognizeContour(double heading, WallFace* startFace, double* area, bool approximate);
    WallFace* NextContourFace(double& heading, WallFace* current, const Point3& prevPoint,
                              const Point3& junction, Point3& nextStart, Point3& nextEnd);
    int AddArcToContour(WallFace* arcFace, VertexNode*& head, VertexNode*& tail, double& area,
                        int& addedAtHead, bool approximate, int divisions);
    VertexNode* ApproximateContourCurves(WallFace* startFace, double* area, int divisions, bool keepUsed,
                                         double chord);

    // The working record of a pilaster merge; only the graph's own units
    // use it.
    struct PillarContact;

private:
    void SplitFacesAtFunLines(WallFace* funLines);
    WallFace* SplitPillarOutline(VertexNode*& outline, std::vector<PillarContact>& contacts);
    bool IsNearSegment(const Point3& p, const WallFace& w) const;

    void ExtendStraightFace(WallFace* face, bool atStart, bool levelOutlinesOnly, bool rectangleMode);
    void LinkOutlinesOnFace(WallFace* face, bool levelOutlinesOnly);
    void LinkArcOutlines(WallFace* face);
    void FinishFace(WallFace* face);

    // Point grids of one assembly or walk (graph_index.h).
    std::unique_ptr<graph_index::LineIndex> m_lines;
    std::unique_ptr<graph_index::ArcIndex> m_arcs;
    std::unique_ptr<graph_index::FaceIndex> m_faceIndex;
    // The face list's grids kept between queries.
    graph_index::FaceCache& CachedFaces() const;
    mutable std::unique_ptr<graph_index::FaceCache> m_faceCache;
    const graph_index::FaceIndex* m_walkIndex = nullptr;  // the grid of the walk under way
};

// The face met first on the perpendicular to `face` through the point;
// null when none, when nearer than the length tolerance, or (limitToWall)
// farther than the wall distance.
WallFace* FindFaceAcross(const CFACCIATE& graph, const Point3& point, WallFace* face, double* distance,
                         double* angle, bool limitToWall);

// The face a wall entity belongs to, as the object pickers take it: its end
// points when straight, its arc when curved.
struct WallFaceSpan {
    bool isArc = false;
    Point3 start, end;
    ArcRecord arc;
};
// The face of one wall LINE or ARC of the level (a graph of its own is read
// for it); false when the entity is no wall line or arc.
bool ReadWallFaceSpan(const ads_name entity, WallFaceSpan& out);

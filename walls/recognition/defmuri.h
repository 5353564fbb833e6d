// DEFMURI, the wall-recognition set: in the drawing a wall is nothing but
// two face lines on a wall layer; the set turns those lines into walls. It
// holds a chain of wall segments (one per straight stretch of wall face),
// pairs each segment with the segment of the opposite face of the same wall
// and keeps the pairs. Its users: "VELMDEFWALL" (through the recognition
// session below), the build-up drawing after a print-scale change and the 3D
// walls, and the face graph when it meets the lines of rectangle walls.
//
// Segments and pairs are hand-made singly linked lists owned by the set. A
// segment owns the graph faces it was made from; after a split two segments
// may share one face list, so the frees never free a face list twice.
//
// The pairing of a whole floor is kept near linear: partner candidates come
// from a grid of the chain's segments, and a segment already found without a
// partner is not asked again while no segment was added or moved (taking
// segments out of the chain never gives anyone a partner).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/wall_face.h"
#include "walls/recognition/defwall_cmd.h"
#include "walls/recognition/layer_records.h"
#include "walls/recognition/segment_records.h"
#include "walls/types/wall_types.h"

class SegmentGrid;
struct SeparatorLine;

class DEFMURI : public WallRecognitionSession {
public:
    // Reads the settings (a value that cannot be read stays 0) and names
    // the block-name layer of the current level.
    DEFMURI();
    ~DEFMURI() override;
    DEFMURI(const DEFMURI&) = delete;
    DEFMURI& operator=(const DEFMURI&) = delete;

    bool exprError = false;
    double wallDistance = 0.0;  // DISCMURO
    double level = 0.0;         // SQPAV
    double unitFactor = 0.0;    // SFTMTCM
    std::int32_t maxTypeIndex = 0;
    std::int32_t printScale = 0;  // SFATSCALA
    CListMuri wallTypes;
    std::string assignTypeName;
    std::string blockName;  // "STRAT_BLOCK" as the layer of the level
    WallSegment* segments = nullptr;
    WallPair* pairs = nullptr;

    // ---- the chain and the pairs ----
    // Unlinks a, then b, and pushes the pair (a, b) onto the pairs.
    WallPair* MakeWallPair(WallSegment* a, WallSegment* b);
    // Pairs the facing lines of the pending list (rectangle-wall lines);
    // consumes the list.
    void PairWallLines(FaceEdge** pending);
    // Pairs the chain by wall-type priority, highest first; with
    // resolveCrossings the walls crossing each new pair are cut or trimmed.
    void PairSegments(bool resolveCrossings);
    void FreeSegments() override;
    void FreeWallPairs();
    // Chain edits that keep the partner search in step.
    void PushSegment(WallSegment* s);
    void AppendSegment(WallSegment* s);
    bool UnlinkSegment(WallSegment* s);
    // Tells the partner search that the segment's ends moved.
    void SegmentMoved(WallSegment* s);
    // The colour, priority and maximum type index of a segment from its
    // type name.
    void ApplyWallType(WallSegment& s);

    // ---- segments from a face graph ----
    // Consumes the graph's straight faces into chain segments, merging
    // collinear faces across gaps, cut at separators (the 2D variant).
    void AddTypedSegmentsFromFaces(CFACCIATE* graph);
    // Its work on the pilaster outlines and separators already read (the
    // type of a line without entity is the one its edge holds).
    void AddTypedSegments(CFACCIATE* graph, const std::vector<OwnedList<VertexNode>>& pilasters,
                          const std::vector<SeparatorLine>& separators);
    // The same for the 3D walls: no types, merged by top elevation.
    void AddSegmentsFromFaces(CFACCIATE* graph);
    // Cuts the head segment of the chain at the separator lines of the level.
    void SplitAtSeparators();
    void SplitHeadAtSeparators(const std::vector<SeparatorLine>& separators);
    // True when a straight edge of the faces of the list, or of the chain's
    // segments, crosses p1-p2 away from both its ends and p1-p2's.
    bool FacesCrossSegment(WallFace* list, const Point3& p1, const Point3& p2) const;
    // Fills the chain from the session's face graph (no merge across
    // pilasters, cut at separators).
    void SplitAtPilasters() override;

    // ---- wall types on lines ----
    // Lets the user pick lines and writes `assignTypeName` onto the wall
    // lines among them; true when any line was written.
    bool AssignWallTypeToLines();

    // ---- build-up layers ----
    // The cross lines of the pair's wall (its two ends and the jambs of its
    // openings), ordered along face A; free with FreeList.
    WallCut* BuildWallCuts(WallPair* pair, double z);
    // The last layer's record, linked back to the first; null when nothing
    // can be built. The caller deletes it, and with it the records before it.
    LayerRecord* BuildLayerOutlines(WallPair* pair);

    // ---- the recognition session of "VELMDEFWALL" ----
    CListMuri& WallTypes() override { return wallTypes; }
    int DrawingScale() const override { return printScale; }
    double Elevation() const override { return level; }
    std::string BlockLayer() const override { return blockName; }
    int WallPairCount() const override;
    bool SecondSegmentExternal(int pair) const override;
    void SwapSegments(int pair) override;
    std::vector<LayerOutline> LayerOutlines(int pair) override;
    void BuildFaceGraph() override;
    void RebuildFaceGraph() override;
    void ClearFaceGraph() override;
    void PairSegments() override { PairSegments(true); }
    ZcDbEntity* NewDisplayEntity() override;
    bool AssignWallTypeToLines(const std::string& typeName) override;

    // The face graph of the session (null before BuildFaceGraph).
    CFACCIATE* graph() const { return m_graph.get(); }
    // The grid of the chain while PairSegments runs, else null.
    SegmentGrid* grid() const { return m_grid.get(); }
    // Off: the partner search and the crossing walk scan the whole chain
    // (the reference the grid must agree with).
    bool useGrid = true;
    // Bumped whenever a segment enters the chain or moves.
    std::uint64_t chainVersion = 1;

private:
    WallPair* PairAt(int index) const;

    // Where PairAt last stopped, and the count of the pairs, while the
    // list keeps its head (it grows only at the head and goes whole).
    struct PairCursor {
        const WallPair* head = nullptr;
        int index = -1;
        WallPair* at = nullptr;
    };
    mutable PairCursor m_pairCursor;
    mutable PairCursor m_pairCount;

    std::unique_ptr<CFACCIATE> m_graph;
    std::unique_ptr<SegmentGrid> m_grid;
    std::int64_t m_headOrder = 0;
    std::int64_t m_tailOrder = 0;
};

// The line search of PairWallLines: the head of the pending list and its
// partner, with the caps of a closed rectangle removed; false when the list
// ran empty (lines without a partner are dropped and freed on the way).
bool FindPartnerLine(FaceEdge** a, FaceEdge** b, FaceEdge** pending, double distance);
// The partner of s in the set's chain, or null.
WallSegment* FindSegmentPartner(DEFMURI* set, WallSegment* s);
// Resolves the crossings of the newest pair with the walls of the chain.
void SplitOverlappingSegments(DEFMURI* set);
// True when p1-p2 meets an edge of one of the rings.
bool PilastersCrossSegment(const std::vector<OwnedList<VertexNode>>& pilasters, const Point3& p1,
                           const Point3& p2);
// Removes the face from the list (nothing when absent) and clears its link.
void UnlinkFace(WallFace* face, WallFace** list);
// The intersection of two segments (bounded) or of their lines, in plan
// with the first segment's height; false when there is none.
bool IntersectSegments(const Point3& a1, const Point3& a2, const Point3& b1, const Point3& b2, bool bounded,
                       Point3& out);

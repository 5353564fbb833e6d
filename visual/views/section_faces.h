// The face model of a section or view: SectionFace, one planar triangle or
// quadrilateral in view coordinates (x right along the section line, y up,
// z the depth away from the viewer; z < 0 lies in front of the section
// plane and is cut away, and so does a face lying in the plane), and the
// section object CSezione whose face set
// collects them from 3DFACE corners, polygons and solids.
//
// A face is built from four corners; two coincident neighbours make it a
// triangle (the fourth corner then reads (0, 0, 0)). Its plane is taken
// through three corners that are not in one line, its normal turned towards
// the viewer (c <= 0). A face that gets no plane is not valid and is never
// kept.
//
// CSezione is declared here; its construction from the drawing's settings
// and the view frames (section_object), the layer names (layer_names), the
// cutting passes (section_cut) and the section input (section_input) are
// built in their own units.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/vertex_list.h"
#include "core/name_list.h"
#include "host/ge/gebase.h"
#include "host/ge/geplane.h"

class ZcDbEntity;
class ZcDbLine;
class ZcDbHatch;
class ZcDbFace;
struct ViewSegment;
struct SegmentRec;
struct FaceGroup;
struct ShadowGroup;
struct OutlinePolygon;
struct SegmentEndIndex;
struct FaceRecordIndex;

// One pair of the user's layer rename list: faces and lines of layer
// `from` are filed under `to`. Newest first.
struct LayerRename {
    LayerRename* next = nullptr;
    std::string from;
    std::string to;
};

struct SectionFace {
    SectionFace* next = nullptr;
    Point3 corners[4];
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    // Cells of the hidden-line grid; set by whoever spans the grid.
    std::int32_t cellLow[3] = {0, 0, 0};
    std::int32_t cellHigh[3] = {0, 0, 0};
    // Edge i runs from corner i to corner i + 1 (the last back to corner 0):
    // non-zero shown, 0 hidden (a diagonal, a bridge, an invisible edge).
    std::int32_t edgeWords[4] = {0, 0, 0, 0};
    std::uint8_t edgeMarks[4] = {0, 0, 0, 0};
    std::int32_t colour = 256;
    std::string layer;
    ZcGePlane plane;
    std::uint8_t triangle = 1;
    std::uint8_t valid = 0;
    // The object the face was drawn by (an insert, a solid): 0 for a loose
    // face, whose layer groups it instead.
    std::int32_t solid = 0;

    SectionFace(const Point3 corners[4], const int words[4], int colour, std::string_view layer);
    int cornerCount() const { return triangle ? 3 : 4; }
};

// One projected triangle or quadrilateral that may hide what lies behind
// it, in view coordinates, with its cells for the screening of segments.
struct ViewFaceRecord {
    ViewFaceRecord* next = nullptr;
    ZcGePlane plane;
    std::uint8_t triangle = 1;
    Point3 corners[4];
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    std::int32_t cellLow[3] = {0, 0, 0};
    std::int32_t cellHigh[3] = {0, 0, 0};
    std::int32_t faceNumber = 0;
    int cornerCount() const { return triangle ? 3 : 4; }
};

// The cut segments of one layer of a view, as line records, on their way
// to the closed outlines of the cut walls.
struct WallChain {
    WallChain* next = nullptr;
    SegmentRec* segments = nullptr;
    std::int32_t layerValue = 0;
    std::uint8_t wallLayer = 0;  // a layer of 3D walls
};

class CSezione {
public:
    // Region buckets: 0 for what spans regions, 1 to 9 for the cells of a
    // 3 x 3 division of the bounding box.
    static constexpr int kBuckets = 10;

    CSezione();
    virtual ~CSezione();
    CSezione(const CSezione&) = delete;
    CSezione& operator=(const CSezione&) = delete;

    // Adds count faces of four corners and four edge words each. With the
    // display frame set, each face is first re-expressed in it, and the
    // re-expressed corners are written back into the caller's array.
    void AddQuadFaces(Point3* corners, const int* words, int count, std::string_view layer, int colour);
    // Triangulates one planar ring (holes bridged in), places it by matrix,
    // brings it into the view frame, cuts it at the section plane and adds
    // what lies behind it.
    void AddEntityFaces(const VertexNode* ring, Matrix4 matrix, std::string_view layer, int colour);
    // The planar faces of a solid, placed by matrix.
    void CollectEntityFaces(ZcDbEntity* entity, Matrix4 matrix);

    // Whether a view depth lies behind the cutting plane z = level: more than
    // the point tolerance beyond it. What lies on the plane counts as in
    // front, as if the plane stood a hair behind, so that faces meeting at
    // the plane are all cut alike.
    double CutTolerance() const { return tolerance.equalPoint(); }
    bool BehindCut(double z, double level) const { return z - level > CutTolerance(); }
    // Cuts one face at the plane z = level and keeps what lies behind it
    // (BehindCut): one or two faces of four corners and words into the out
    // arrays (room for two), new edges on the plane carrying -1. A face
    // reaching back from the plane keeps its edges on the plane as cut edges.
    int CutFace(const Point3 corners[4], const int words[4], Point3* outCorners, int* outWords,
                const ZcGePlane& plane, double level);
    // Splits a face of a stepped section at the side plane x = 0: the pieces
    // on x <= 0 into the first outputs, those on x > 0 into the second (room
    // for three faces each). The total count of faces written.
    int CutFaceAtSidePlane(const Point3 corners[4], const int words[4], Point3* leftCorners, int* leftWords,
                           Point3* rightCorners, int* rightWords, const ZcGePlane& side,
                           int* leftCount = nullptr);
    // The kept part of a LINE, of a hatch's pattern lines, of a 3DFACE of a
    // stepped section.
    void CutLineEntity(const ZcDbLine* line);
    void CutHatchLines(const ZcDbHatch* hatch);
    void CutDepthFace(const ZcDbFace* face);
    // One line of the view, in view coordinates, at the head of the list.
    void AddViewLine(Point3 start, Point3 end, int colour);

    // Projection into the bucket lists. A segment shorter than the minimum
    // length, or one already there with the same plan ends, is not added.
    void AddSegment(Point3 start, Point3 end, int colour, int faceNumber, int bucket, int layerValue);
    // Turns one face into face records and segments; the face stays the
    // caller's.
    void ProjectFace(SectionFace* face);
    // Moves the view lines into the segment buckets.
    void BucketViewLines();
    // Splits every segment where it pierces a face record.
    void SplitSegmentsAtFaces();

    // Normalises a layer name in place (reference prefix, renaming); -1 for
    // a 3D wall layer of a level, 1 for any other.
    int ParseLevel3DLayer(std::string& name);
    // Reads the user's "VELMFLU.LST" into the rename pairs.
    void ReadFluList();

    // The face set, newest first, and its bounding box.
    SectionFace* faces = nullptr;
    // Face records and segments by bucket, newest first (the projection).
    ViewFaceRecord* faceBuckets[kBuckets] = {};
    ViewSegment* segmentBuckets[kBuckets] = {};
    // The visible segments, ready to be drawn; sectionSegmentCount long.
    ViewSegment* sectionSegments = nullptr;
    // Level marks of the views shown, in view coordinates, z 0.
    VertexNode* levelMarks = nullptr;
    // The hidden-line pass's face groups and the shadows they cast.
    FaceGroup* coplanarGroups = nullptr;
    ShadowGroup* shadeOutlines = nullptr;
    // Closed outlines of the cut walls (the section hatch boundaries),
    // and the chains of cut segments they are found in.
    OutlinePolygon* wallOutlines = nullptr;
    WallChain* wallChains = nullptr;
    // The caps closing the cuts of solids, in view coordinates, found from
    // the whole face set before any face is taken out of it.
    OutlinePolygon* capOutlines = nullptr;
    bool capsSearched = false;  // whether the face set was searched for caps
    // A point well inside each bounded face of the cuts' graph that no
    // solid's cut holds: an opening's void amid a wall's cut.
    std::vector<Point3> capVoids;
    // The cut edges of pieces too slender to be faces (their corners in one
    // line): a plane a hair from an edge of a face leaves such a sliver, and
    // the cap there is not closed without its edge.
    struct SlenderCut {
        Point3 a, b;
        std::int32_t solid = 0;
        std::string layer;
    };
    std::vector<SlenderCut> slenderCutEdges;
    // The object whose faces are being gathered (see SectionFace::solid),
    // and how many have been numbered.
    std::int32_t solidGroup = 0;
    std::int32_t solidGroups = 0;
    // Where the view goes: the lower-left point of the sheet window, its
    // upper-right corner when the view is fitted, the block's insertion
    // point.
    Point3 lowerLeft;
    Point3 cornerPoint;
    Point3 insertionPoint;
    double boxMin[3] = {0.0, 0.0, 0.0};
    double boxMax[3] = {0.0, 0.0, 0.0};

    ZcGeTol tolerance;
    std::uint8_t useEntityColour = 0;
    std::uint8_t directOutput = 0;
    double breakOverhang = 0.0;
    std::uint8_t abortFlag = 0;
    std::uint8_t outputFlag = 0;
    std::uint8_t depthFlag = 0;  // a stepped section
    std::int32_t intersectionFlag = 0;

    Matrix4 viewFrame;         // world to view
    Matrix4 displayFrame;      // world to the current display (axonometric)
    Matrix4 inverseViewFrame;  // view to world (axonometric)
    std::uint8_t axonometric = 0;
    double depth = 0.0;  // signed depth of a stepped section
    Point3 depthPoint;
    ZcGePlane sectionPlane;  // z = 0 in view coordinates
    ZcGePlane sidePlane;     // x = 0 in view coordinates

    ViewSegment* viewLines = nullptr;  // newest first
    double unitLength = 0.0;
    double minLength = 0.0;  // shorter pieces are dropped
    std::int32_t faceCount = 0;
    std::int32_t progressPosition = 0;
    std::int32_t sectionSegmentCount = 0;
    std::int32_t segmentCount = 0;

    Point3 lightDirection;
    std::int32_t hiddenLines = 0;
    std::int32_t shadeColourMode = 0;
    std::int32_t shadeGradientMode = 0;
    std::int32_t shadeHatchMode = 0;
    std::string shadeHatchPattern;
    std::string shadeLayer1;
    std::string shadeLayer2;
    double shadeHatchScale = 0.0;
    double shadeHatchAngle = 0.0;
    double lightAngle = 0.0;

    // Layers of the gathered faces and lines, each with its signed number.
    NameNode* layerNames = nullptr;
    std::int32_t layerCount = 0;

    double wallLayerLength = 0.0;
    double sectionHatchScale = 0.0;
    double sectionHatchAngle = 0.0;
    std::int32_t cleanUp = 0;
    std::int32_t sectionHatch = 0;
    std::int32_t extraHatch = 0;
    std::string sectionHatchLayer;
    std::string sectionHatchPattern;
    LayerRename* renames = nullptr;

private:
    void AddFace(SectionFace* face);
    // Files a layer in the layer list by first appearance; its signed number.
    void FileLayer(std::string& name);
    // The kept part of one view-coordinate line against the cutting planes.
    void CutViewLine(Point3 s, Point3 e, int colour);
    void CutViewLineAt(Point3 s, Point3 e, int colour, double level);

    // The ends of the bucketed segments, for AddSegment's search of a
    // duplicate; rebuilt from a bucket whose list changed behind its back.
    std::unique_ptr<SegmentEndIndex, void (*)(SegmentEndIndex*)> segmentEnds{nullptr, nullptr};
    // The bucketed face records by plan cells, for the intersection search
    // of ProjectFace; rebuilt likewise.
    std::unique_ptr<FaceRecordIndex, void (*)(FaceRecordIndex*)> faceIndex{nullptr, nullptr};
};

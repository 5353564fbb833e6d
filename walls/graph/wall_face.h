// The records of the wall-face graph: a wall face (one continuous face of a
// wall, or a function line) with the wall entities it is made of, the cut
// outline of an object set into a wall, and the nodes of a traced contour.
//
// Faces, edges, outlines and contour nodes are hand-made singly linked
// lists. A face owns its edges and its outline links; outline nodes belong
// to the graph's outline list and are only referenced by links; contour
// nodes only reference faces. Every list has one free function that returns
// null, so callers write `list = FreeFaceList(list)`; edges and outline links
// hold nothing of their own and go with the plain FreeList.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

// Wall type given to lines without a wall-type record.
inline constexpr const char* kDefaultWallTypeName = "Ściana ogólna";
// rectangleId of a line that was not drawn as part of a wall rectangle.
inline constexpr double kNoRectangle = -3.4028234663852886e38;

// A roof-pitch association of a wall line: a height, a choice and the
// handles of the associated slabs and pitches.
struct RoofAssociation {
    double height = 0.0;
    std::int32_t choice = 0;
    std::vector<std::string> names;
};

// One wall entity: a LINE (straight form) or an ARC (arc form).
struct FaceEdge {
    FaceEdge* next = nullptr;
    bool isArc = false;
    Point3 start, end;  // straight: groups 10 and 11
    ArcRecord arc;      // arc: centre, radius, start and end angle
    std::int32_t edgeVisibility = 0;
    double topZ = 0.0;
    double bottomZ = 0.0;
    double extraReal = 0.0;
    std::string wallTypeName = kDefaultWallTypeName;
    std::int32_t externalSide = 0;
    ads_name entity = {0, 0};  // null for edges made by the graph itself
    std::int32_t layerIndex = -1;
    RoofAssociation upperRoof, lowerRoof;  // straight edges only
    std::int32_t auto3DType = 0;
    double rectangleId = kNoRectangle;  // straight edges only

    bool hasEntity() const { return entity[0] != 0 || entity[1] != 0; }
    bool isRectangleLine() const { return rectangleId != kNoRectangle; }
};

// The cut outline of an object set into a wall (kind 11 opening in a
// straight wall, 12 opening in an arc wall, 18 object at a wall corner).
// Face A is the wall face on which both jamb polylines start, face B the
// face on which both end.
struct OutlineNode {
    OutlineNode* next = nullptr;
    ads_name entity = {0, 0};
    std::int32_t kind = 0;
    double z = 0.0;
    // What the room measurement adds up per wall face it lies on: the
    // number of openings, the area of each, the glazed (window) area and
    // the ventilation area (the window area when the record has none).
    std::int32_t openingCount = 0;
    double openingArea = 0.0, windowArea = 0.0, ventilationArea = 0.0;
    // Carried only: the height of the object's lower edge above its level,
    // and an integer the object library always writes as 0.
    double sillHeight = 0.0;
    std::int32_t reserved = 0;
    double wallThickness = 0.0;
    VertexNode* jamb1 = nullptr;
    VertexNode* jamb2 = nullptr;
    VertexNode* cut3DExt1 = nullptr;
    VertexNode* cut3DInt1 = nullptr;
    VertexNode* cut3DExt2 = nullptr;
    VertexNode* cut3DInt2 = nullptr;
    Point3 base;
    // Gap on face A: jamb1 first, jamb2 first; on face B: jamb1 last, jamb2
    // last. The face builder may exchange the two points of a pair.
    Point3 gapA[2], gapB[2];
    // Kind 12: the angles from base to jamb1's and jamb2's first points, and
    // the radii of faces A and B.
    double gapAngle[2] = {0.0, 0.0};
    double radiusA = 0.0, radiusB = 0.0;
    // Kind 18: corner 1 pairs with the last points, corner 2 with the first.
    Point3 corner[2];
    // What an editing command keeps of an erased object that cuts no wall:
    // the opening polygon it cut from a slab with its notch flag (1 or 0),
    // or a pilaster's points, its level then in z.
    VertexNode* points = nullptr;
    std::int32_t flag = 0;
};

struct OutlineLink {
    OutlineNode* outline = nullptr;
    OutlineLink* next = nullptr;
};

struct WallFace {
    WallFace* next = nullptr;
    std::int32_t kind = 1;  // 1 straight, 0 arc
    std::int32_t isFunctionLine = 0;
    std::int32_t reversed = 0;  // arc faces: run from end to start by the last contour
    std::int32_t hasRoofLink = 0;
    std::int32_t auto3DType = 0;
    Point3 start, end;  // straight faces
    ArcRecord arc;      // arc faces
    FaceEdge* edges = nullptr;
    FaceEdge* arcEdges = nullptr;
    OutlineLink* outlineLinks = nullptr;

    bool isArc() const { return kind == 0; }
    Point3 arcStartPoint() const { return PolarPoint(arc.centre, arc.startAngle, arc.radius); }
    Point3 arcEndPoint() const { return PolarPoint(arc.centre, arc.endAngle, arc.radius); }
    // The face's two end points whatever its kind.
    Point3 firstPoint() const { return isArc() ? arcStartPoint() : start; }
    Point3 lastPoint() const { return isArc() ? arcEndPoint() : end; }
};

// A node of a traced contour: the face and the points it was walked between.
struct ContourLink {
    WallFace* face = nullptr;
    Point3 start, end;
    ContourLink* next = nullptr;
};

WallFace* NewWallFace();
// A new straight edge without entity spanning a to b, at the given heights.
FaceEdge* NewSpanEdge(const Point3& a, const Point3& b, double topZ, double bottomZ, std::int32_t visibility);

WallFace* FreeFaceList(WallFace* list);
OutlineNode* FreeOutlineList(OutlineNode* list);
ContourLink* FreeLinkedNodes(ContourLink* list);

// Appends a link to `outline` at the end of the face's links.
void LinkOutline(WallFace& face, OutlineNode* outline);
bool IsOutlineLinked(const WallFace& face, const OutlineNode* outline);
OutlineLink* CopyOutlineLinks(const OutlineLink* links);

FaceEdge* LastEdge(FaceEdge* list);
// Removes `face` from the list; true when it was there (the face is not freed).
bool UnlinkFace(WallFace*& list, WallFace* face);
void AppendFace(WallFace*& list, WallFace* face);

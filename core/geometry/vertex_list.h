// Vertex lists: the one shape of every outline in the module (rooms, slabs,
// wall sides, hatch boundaries, faces to triangulate). A list is singly linked
// and read either as an open polyline or, through NextInRing/PrevInRing, as a
// closed ring whose last vertex joins the first. Lists are heap nodes owned by
// whoever holds the head; functions that may drop or reorder the head return
// the new one. OwnedList gives a list one owner in C++ code.
//
// The cleaners restart from the head after each removal, so they are
// quadratic; they are meant for outlines, not for point clouds.
#pragma once

#include <cstdint>
#include <memory>

#include "core/base/velm_assert.h"
#include "core/geometry/geom_basic.h"

struct VertexNode {
    VertexNode* next = nullptr;
    double x = 0.0, y = 0.0, z = 0.0;
    double spare = 0.0;
    // Property of the edge starting here: in outlines 1 visible, 0 invisible,
    // 101 made by arc tessellation; in a face's corner chain 1 invisible.
    std::int32_t edgeFlag = 0;
    std::int32_t data1 = 0;  // triangulation: index along the boundary
    std::int32_t data2 = 0;  // triangulation: contour number
    std::uint8_t mark = 0;   // scratch mark, cleared by the algorithms using it

    Point3 pt() const { return {x, y, z}; }
    void setPt(const Point3& p) {
        x = p.x;
        y = p.y;
        z = p.z;
    }
};

// One contour of a region: the first of a contour list is the outer one, the
// others are holes. Owns its vertex list.
struct ContourNode {
    ContourNode* next = nullptr;
    std::int32_t spare = 0;
    VertexNode* vertices = nullptr;

    ContourNode() = default;
    ContourNode(const ContourNode&) = delete;
    ContourNode& operator=(const ContourNode&) = delete;
    ~ContourNode();
};

// A node of a reference ring: names a vertex of some list without owning it.
struct RingNode {
    RingNode* next = nullptr;
    VertexNode* vertex = nullptr;
};

// Frees every node of a singly linked list; returns null.
template <class Node>
Node* FreeList(Node* list) {
    while (list) {
        Node* next = list->next;
        delete list;
        list = next;
    }
    return nullptr;
}

ContourNode* FreeListOfLists(ContourNode* contours);

template <class Node>
struct ListDeleter {
    void operator()(Node* list) const { FreeList(list); }
};
template <class Node>
using OwnedList = std::unique_ptr<Node, ListDeleter<Node>>;

VertexNode* NewVertex(double x, double y, double z, int edgeFlag, int data1, int data2, int mark);
VertexNode* AppendVertex(VertexNode** head, const Point3& p, int edgeFlag, int data1, int data2);
VertexNode* AddVertexUnique(VertexNode* list, const Point3& p, bool withZ);
VertexNode* CopyVertexList(const VertexNode* list);

template <class Node>
int CountNodes(const Node* list) {
    int n = 0;
    for (; list; list = list->next) ++n;
    return n;
}

// The nodes counted up to `most` + 1 at most: whether a list is short
// without walking a long one to its end.
template <class Node>
int CountNodesUpTo(const Node* list, int most) {
    int n = 0;
    for (; list && n <= most; list = list->next) ++n;
    return n;
}

VertexNode* RemoveNode(VertexNode** head, VertexNode* node);

template <class Node>
Node* ReverseList(Node* list) {
    Node* reversed = nullptr;
    while (list) {
        Node* next = list->next;
        list->next = reversed;
        reversed = list;
        list = next;
    }
    return reversed;
}

template <class Node>
Node* NextInRing(Node* head, Node* node) {
    VELM_ASSERT(node != nullptr);
    return node->next ? node->next : head;
}

template <class Node>
Node* PrevInRing(Node* head, Node* node) {
    VELM_ASSERT(head != nullptr && node != nullptr);
    Node* prev = head;
    if (node == head) {
        while (prev->next) prev = prev->next;
        return prev;
    }
    while (prev && prev->next != node) prev = prev->next;
    return prev;
}

VertexNode* SortVerticesByDistance(const Point3& p, VertexNode* list);
VertexNode* RemoveDuplicateVertices(VertexNode* list);
VertexNode* RemoveVerticesOnEdges(VertexNode* list, int wrap);
VertexNode* RemoveCollinearVertices(VertexNode* list, int sameFlagOnly);
VertexNode* RemoveSpikeVertices(VertexNode* list, double angTol);
VertexNode* RemoveStraightVertices(VertexNode* list, double angTol);
VertexNode* RemoveCollinearSpikes(VertexNode* list);

// 1 when the ring runs clockwise in plan (or is empty), 0 counter-clockwise.
int PolygonOrientation(const VertexNode* list);
// wanted 1 gives a counter-clockwise ring, 0 a clockwise one; edge flags stay
// with their edges.
VertexNode* NormalizePolygon(int wanted, VertexNode* list, int* reversed);

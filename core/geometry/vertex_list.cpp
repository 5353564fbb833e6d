// Vertex lists: making, copying, freeing, and the cleaners that drop
// duplicate, straight and spike vertices. Each cleaner removes one vertex at a
// time and scans again from the head, so which vertex of a degenerate run
// survives is fixed by the scan order (a from the head, b and c its ring
// successors), which callers rely on.
#include "core/geometry/vertex_list.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"

ContourNode::~ContourNode() {
    FreeList(vertices);
}

ContourNode* FreeListOfLists(ContourNode* contours) {
    return FreeList(contours);
}

VertexNode* NewVertex(double x, double y, double z, int edgeFlag, int data1, int data2, int mark) {
    auto* v = new VertexNode;
    v->x = x;
    v->y = y;
    v->z = z;
    v->edgeFlag = edgeFlag;
    v->data1 = data1;
    v->data2 = data2;
    v->mark = static_cast<std::uint8_t>(mark);
    return v;
}

VertexNode* AppendVertex(VertexNode** head, const Point3& p, int edgeFlag, int data1, int data2) {
    VELM_ASSERT(head != nullptr);
    VertexNode* v = NewVertex(p.x, p.y, p.z, edgeFlag, data1, data2, 0);
    if (!*head) {
        *head = v;
        return v;
    }
    VertexNode* tail = *head;
    while (tail->next) tail = tail->next;
    tail->next = v;
    return v;
}

VertexNode* AddVertexUnique(VertexNode* list, const Point3& p, bool withZ) {
    for (const VertexNode* v = list; v; v = v->next)
        if (PointsEqual(v->pt(), p, withZ)) return list;
    VertexNode* v = NewVertex(p.x, p.y, p.z, 0, 0, 0, 0);
    v->next = list;
    return v;
}

VertexNode* CopyVertexList(const VertexNode* list) {
    VertexNode* head = nullptr;
    VertexNode* tail = nullptr;
    for (; list; list = list->next) {
        VertexNode* v = NewVertex(list->x, list->y, list->z, list->edgeFlag, list->data1, list->data2, 0);
        (tail ? tail->next : head) = v;
        tail = v;
    }
    return head;
}

VertexNode* RemoveNode(VertexNode** head, VertexNode* node) {
    VELM_ASSERT(head != nullptr);
    if (!*head || !node) return nullptr;
    if (*head == node) {
        *head = node->next;
    } else {
        VertexNode* prev = *head;
        while (prev->next && prev->next != node) prev = prev->next;
        if (prev->next != node) return nullptr;
        prev->next = node->next;
    }
    VertexNode* following = node->next;
    delete node;
    return following;
}

VertexNode* SortVerticesByDistance(const Point3& p, VertexNode* list) {
    VertexNode* result = nullptr;
    while (list) {
        VertexNode* best = list;
        VertexNode* bestPrev = nullptr;
        double bestDist = Distance3dRev(p, list->pt());
        VertexNode* prev = list;
        for (VertexNode* v = list->next; v; prev = v, v = v->next) {
            const double d = Distance3dRev(p, v->pt());
            if (d > bestDist) {
                bestDist = d;
                best = v;
                bestPrev = prev;
            }
        }
        (bestPrev ? bestPrev->next : list) = best->next;
        best->next = result;
        result = best;
    }
    return result;
}

VertexNode* RemoveDuplicateVertices(VertexNode* list) {
    // Removing a successor changes only the pair at the current node (or, when
    // the head goes, the closing pair at the last node), so rechecking the
    // current node is the same as a restart from the head.
    if (!list) return list;
    VertexNode* v = list;
    while (list->next) {
        VertexNode* succ = NextInRing(list, v);
        if (Distance3dRev(v->pt(), succ->pt()) < SharedTolerance) {
            if (succ == list) {
                list = list->next;
            } else {
                v->next = succ->next;
            }
            delete succ;
            continue;
        }
        if (!v->next) break;
        v = v->next;
    }
    return list;
}

namespace {

// One scan of the ring: a from the head, b and c its successors; returns the
// first b for which `drop` holds, or null. With wrap false a stops two short
// of the end so the closing edge is never used.
template <class Pred>
VertexNode* FindRemovable(VertexNode* head, bool wrap, Pred drop) {
    for (VertexNode* a = head; a; a = a->next) {
        if (!wrap && (!a->next || !a->next->next)) return nullptr;
        VertexNode* b = NextInRing(head, a);
        VertexNode* c = NextInRing(head, b);
        if (drop(a, b, c)) return b;
    }
    return nullptr;
}

template <class Pred>
VertexNode* RemoveWhile(VertexNode* list, bool wrap, int minimum, Pred drop) {
    while (CountNodes(list) >= minimum) {
        VertexNode* b = FindRemovable(list, wrap, drop);
        if (!b) break;
        RemoveNode(&list, b);
    }
    return list;
}

}  // namespace

VertexNode* RemoveVerticesOnEdges(VertexNode* list, int wrap) {
    return RemoveWhile(list, wrap != 0, 3, [](VertexNode* a, VertexNode* b, VertexNode* c) {
        return IsPointOnSegment(b->pt(), a->pt(), c->pt());
    });
}

VertexNode* RemoveCollinearVertices(VertexNode* list, int sameFlagOnly) {
    return RemoveWhile(list, true, 3, [sameFlagOnly](VertexNode* a, VertexNode* b, VertexNode* c) {
        if (!ArePointsCollinear(a->pt(), b->pt(), c->pt(), SharedTolerance)) return false;
        return !sameFlagOnly || a->edgeFlag == b->edgeFlag;
    });
}

VertexNode* RemoveSpikeVertices(VertexNode* list, double angTol) {
    return RemoveWhile(list, true, 3, [angTol](VertexNode* a, VertexNode* b, VertexNode* c) {
        if (c == a) return false;  // two vertices left: nothing turns
        const double theta = AngleBetweenLines(b->pt(), a->pt(), b->pt(), c->pt());
        return std::fabs(std::sin(theta)) < angTol && std::fabs(std::cos(theta) - 1.0) < angTol;
    });
}

VertexNode* RemoveStraightVertices(VertexNode* list, double angTol) {
    return RemoveWhile(list, true, 3, [angTol](VertexNode* a, VertexNode* b, VertexNode* c) {
        if (c == a) return false;
        const double theta = AngleBetweenLines(b->pt(), a->pt(), b->pt(), c->pt());
        return std::fabs(std::sin(theta)) < angTol && std::fabs(std::cos(theta) + 1.0) < angTol;
    });
}

VertexNode* RemoveCollinearSpikes(VertexNode* list) {
    return RemoveWhile(list, true, 4, [](VertexNode* a, VertexNode* b, VertexNode* c) {
        if (!ArePointsCollinear(a->pt(), b->pt(), c->pt(), SharedTolerance)) return false;
        return IsPointOnSegment(a->pt(), b->pt(), c->pt()) || IsPointOnSegment(c->pt(), a->pt(), b->pt());
    });
}

int PolygonOrientation(const VertexNode* list) {
    if (!list) return 1;
    const VertexNode* last = list;
    while (last->next) last = last->next;
    double a = 0.0, b = 0.0;
    const VertexNode* prev = last;
    for (const VertexNode* v = list; v; prev = v, v = v->next) {
        const VertexNode* next = v->next ? v->next : list;
        a += AngleBetweenLines(v->pt(), prev->pt(), v->pt(), next->pt());
        b += AngleBetweenLines(v->pt(), next->pt(), v->pt(), prev->pt());
    }
    return a <= b ? 1 : 0;
}

VertexNode* NormalizePolygon(int wanted, VertexNode* list, int* reversed) {
    if (reversed) *reversed = 0;
    list = RemoveDuplicateVertices(list);
    if (CountNodes(list) < 3) return list;
    const int o = PolygonOrientation(list);
    if (!((wanted == 1 && o == 1) || (wanted == 0 && o == 0))) return list;
    list = ReverseList(list);
    // Each edge keeps its flag: after reversal the edge leaving a node is the
    // old edge that entered it, whose flag sat on the node's new successor.
    const std::int32_t headFlag = list->edgeFlag;
    VertexNode* v = list;
    for (; v->next; v = v->next) v->edgeFlag = v->next->edgeFlag;
    v->edgeFlag = headFlag;
    if (reversed) *reversed = 1;
    return list;
}

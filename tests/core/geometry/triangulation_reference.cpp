// Literal ear search: walk the singly linked list, find neighbours by
// walking, test every ring edge for each candidate diagonal. Cubic, slow and
// obviously faithful.
#include "tests/core/geometry/triangulation_reference.h"

#include <numbers>

#include "core/base/module_state.h"

namespace {

int EdgeFlag(const VertexNode* x, const VertexNode* y, int K) {
    if (x->data2 != y->data2) return 1;
    if (x->data1 == K) return y->data1 == 0 ? 0 : 1;
    const int diff = x->data1 - y->data1;
    return (diff >= -1 && diff <= 1) ? 0 : 1;
}

FaceRecord* MakeFace(const VertexNode* a, const VertexNode* b, const VertexNode* c, int K, const Matrix4& m) {
    auto* face = new FaceRecord;
    const VertexNode* corners[4] = {a, b, c, a};
    const int flags[4] = {EdgeFlag(a, b, K), EdgeFlag(b, c, K), EdgeFlag(c, a, K), 1};
    for (int i = 0; i < 4; ++i) {
        Point3 p;
        TransformPoint(m, corners[i]->pt(), p);
        AppendVertex(&face->corners, p, flags[i], corners[i]->data1, corners[i]->data2);
    }
    return face;
}

}  // namespace

FaceRecord* ReferenceTriangulatePolygon(VertexNode* list, int K, const Matrix4& toWorld) {
    if (CountNodes(list) < 3) return nullptr;
    FaceRecord* faces = nullptr;
    const double pi = std::numbers::pi;
    for (;;) {
        bool found = false;
        VertexNode* v = list;
        while (v) {
            VertexNode* p = PrevInRing(list, v);
            VertexNode* n = NextInRing(list, v);
            VertexNode* m = NextInRing(list, n);
            VertexNode* k = NextInRing(list, m);
            const Point3 V = v->pt(), N = n->pt(), M = m->pt(), P = p->pt(), Kp = k->pt();
            const bool ear = AngleBetweenLines(N, M, N, V) < pi &&
                             AngleBetweenLines(V, N, V, M) < AngleBetweenLines(V, N, V, P) &&
                             AngleBetweenLines(M, V, M, N) < AngleBetweenLines(M, Kp, M, N) &&
                             !DiagonalCrossesPolygon(list, v, n, m);
            if (ear) {
                FaceRecord* face = MakeFace(v, n, m, K, toWorld);
                face->next = faces;
                faces = face;
                RemoveNode(&list, n);
                found = true;
                continue;
            }
            v = v->next;
        }
        if (!found) break;
    }
    while (list->next && list->next->next) {
        VertexNode* q = list->next;
        FaceRecord* face = MakeFace(list, q, q->next, K, toWorld);
        face->next = faces;
        faces = face;
        RemoveNode(&list, q);
    }
    FreeList(list);
    return faces;
}

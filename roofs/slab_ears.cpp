// The slab ear scan, made fast without changing one face.
//
// The plain scan restarts from the head after every ear, so it re-tests the
// same non-ears over and over: quadratic candidates, each with a walk over
// the whole ring. Two observations keep its answers and drop the waste:
//   - The ring only loses vertices, so list order is index order and the
//     head is the lowest live index. The first ear of a scan is the lowest
//     live candidate that is an ear.
//   - A candidate that failed stays failed until something it looked at
//     changes: an angle failure depends on P, A, B, C, D alone; a crossing
//     depends on those and on the one edge found crossing. Cutting B changes
//     the windows of the four candidates around it and removes the edges
//     A-B and B-C; only those candidates, and those whose remembered
//     crossing edge went, are tested again.
// So the scan keeps the untested candidates in a min-queue by index and
// takes the lowest one that proves an ear. The crossing test asks a tree of
// the ring's edge boxes for the ones near the diagonal, with the same
// per-edge predicate as the plain walk.
#include "roofs/slab_ears.h"

#include <numbers>
#include <queue>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/edge_tree.h"

namespace {

enum : unsigned char { kPending, kAngleFailed, kCrossFailed };

}  // namespace

bool ClipSlabRing(RingNode* ring, const SlabFaceSink& face, bool (*userBreak)()) {
    std::vector<const VertexNode*> vtx;
    for (RingNode* r = ring; r; r = r->next) vtx.push_back(r->vertex);
    FreeList(ring);
    const int n = static_cast<int>(vtx.size());
    if (n < 3) return true;

    std::vector<Point3> pt(n);
    std::vector<int> next(n), prev(n);
    std::vector<char> alive(n, 1);
    for (int i = 0; i < n; ++i) {
        pt[i] = vtx[i]->pt();
        next[i] = (i + 1) % n;
        prev[i] = (i + n - 1) % n;
    }
    int head = 0, size = n;

    EdgeTree edges(n, pt);
    for (int i = 0; i < n; ++i) edges.place(i, pt[i], pt[next[i]]);
    edges.rebuild();

    std::vector<unsigned char> state(n, kPending);
    std::vector<int> crossEdge(n, -1), crossEnd(n, -1);
    std::vector<std::vector<int>> dependents(n);
    std::priority_queue<int, std::vector<int>, std::greater<int>> pending;
    std::vector<char> queued(n, 1);
    for (int i = 0; i < n; ++i) pending.push(i);
    auto requeue = [&](int x) {
        if (!alive[x]) return;
        state[x] = kPending;
        if (!queued[x]) {
            queued[x] = 1;
            pending.push(x);
        }
    };

    const double pi = std::numbers::pi;
    auto isEar = [&](int A) {
        const int P = prev[A], B = next[A], C = next[B], D = next[C];
        const Point3 &pP = pt[P], &pA = pt[A], &pB = pt[B], &pC = pt[C], &pD = pt[D];
        if (AngleBetweenLines(pB, pC, pB, pA) >= pi ||
            AngleBetweenLines(pA, pB, pA, pP) <= AngleBetweenLines(pA, pB, pA, pC) ||
            AngleBetweenLines(pC, pD, pC, pB) <= AngleBetweenLines(pC, pA, pC, pB)) {
            state[A] = kAngleFailed;
            return false;
        }
        const VertexNode *a = vtx[A], *b = vtx[B], *c = vtx[C];
        int hit = -1;
        edges.any(pA, pC, [&](int e) {
            if (!alive[e]) return false;
            const int f = next[e];
            const VertexNode *ve = vtx[e], *vf = vtx[f];
            if (ve == a || ve == b || ve == c || vf == a || vf == b || vf == c) return false;
            Point3 x;
            if (!IntersectLines2d(pA, pC, pt[e], pt[f], x, 1, ZcGeContext::gTol)) return false;
            hit = e;
            return true;
        });
        if (hit < 0) return true;
        state[A] = kCrossFailed;
        crossEdge[A] = hit;
        crossEnd[A] = next[hit];
        dependents[hit].push_back(A);
        return false;
    };

    for (;;) {
        int A = -1;
        while (!pending.empty()) {
            const int x = pending.top();
            pending.pop();
            queued[x] = 0;
            if (!alive[x] || state[x] != kPending) continue;
            if (isEar(x)) {
                A = x;
                break;
            }
        }
        if (A < 0) break;
        const int B = next[A], C = next[B];
        face(vtx[A], vtx[B], vtx[C]);

        alive[B] = 0;
        next[A] = C;
        prev[C] = A;
        if (head == B) head = C;
        --size;
        edges.clear(B);
        edges.set(A, pt[A], pt[C]);

        const int pa = prev[A];
        for (int x : {C, A, pa, prev[pa]}) requeue(x);
        for (int e : {A, B}) {
            const int formerEnd = e == A ? B : C;
            for (int x : dependents[e])
                if (alive[x] && state[x] == kCrossFailed && crossEdge[x] == e && crossEnd[x] == formerEnd)
                    requeue(x);
            dependents[e].clear();
        }
        if (userBreak && userBreak()) return false;
    }
    if (userBreak && userBreak()) return false;

    while (size >= 3) {
        const int s1 = next[head], s2 = next[s1];
        face(vtx[head], vtx[s1], vtx[s2]);
        alive[s1] = 0;
        next[head] = s2;
        prev[s2] = head;
        --size;
    }
    return true;
}

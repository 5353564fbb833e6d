// The slab ear scan against a literal transcription of the plain scan:
// walk the reference ring from its head, find neighbours by walking, test
// every ring edge for each diagonal, restart from the head after each ear.
#include "roofs/slab_ears.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "tests/core/geometry/polygon_fixtures.h"

namespace {

struct Tri {
    const VertexNode *a, *b, *c;
    bool operator==(const Tri& o) const { return a == o.a && b == o.b && c == o.c; }
};

void RemoveRingNode(RingNode*& ring, RingNode* node) {
    if (ring == node) {
        ring = node->next;
    } else {
        RingNode* p = ring;
        while (p->next != node) p = p->next;
        p->next = node->next;
    }
    delete node;
}

std::vector<Tri> ReferenceClip(RingNode* ring) {
    std::vector<Tri> out;
    const double pi = std::numbers::pi;
    if (CountNodes(ring) >= 3) {
        for (;;) {
            bool found = false;
            for (RingNode* a = ring; a; a = a->next) {
                RingNode* p = PrevInRing(ring, a);
                RingNode* b = NextInRing(ring, a);
                RingNode* c = NextInRing(ring, b);
                RingNode* d = NextInRing(ring, c);
                const Point3 P = p->vertex->pt(), A = a->vertex->pt(), B = b->vertex->pt(),
                             C = c->vertex->pt(), D = d->vertex->pt();
                if (AngleBetweenLines(B, C, B, A) >= pi) continue;
                if (AngleBetweenLines(A, B, A, P) <= AngleBetweenLines(A, B, A, C)) continue;
                if (AngleBetweenLines(C, D, C, B) <= AngleBetweenLines(C, A, C, B)) continue;
                if (SegmentCrossesPolygon(ring, a->vertex, b->vertex, c->vertex)) continue;
                out.push_back({a->vertex, b->vertex, c->vertex});
                RemoveRingNode(ring, b);
                found = true;
                break;
            }
            if (!found) break;
        }
        while (ring->next && ring->next->next) {
            out.push_back({ring->vertex, ring->next->vertex, ring->next->next->vertex});
            RemoveRingNode(ring, ring->next);
        }
    }
    FreeList(ring);
    return out;
}

RingNode* CopyRing(const RingNode* ring) {
    RingNode* head = nullptr;
    RingNode** tail = &head;
    for (; ring; ring = ring->next) {
        auto* r = new RingNode;
        r->vertex = ring->vertex;
        *tail = r;
        tail = &r->next;
    }
    return head;
}

ContourNode* Loop(const Outline& pts) {
    auto* k = new ContourNode;
    VertexNode** tail = &k->vertices;
    for (const Point3& p : pts) {
        *tail = NewVertex(p.x, p.y, p.z, 1, 0, 0, 0);
        tail = &(*tail)->next;
    }
    return k;
}

// A jagged outline around the origin with small jagged openings on a grid
// inside its inner radius.
ContourNode* RandomSlab(std::mt19937& rng, int outlineVertices, int openings) {
    Outline outline = RandomStarPolygon(rng, outlineVertices);
    double inner = 1e300;
    for (const Point3& p : outline) inner = std::min(inner, std::hypot(p.x, p.y));
    for (Point3& p : outline) {
        p.x *= 100.0 / inner;
        p.y *= 100.0 / inner;
    }
    ContourNode* loops = Loop(outline);
    ContourNode* tail = loops;
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(openings))));
    const double cell = 130.0 / std::max(1, side);
    std::uniform_real_distribution<double> radius(0.15, 0.35), jitter(0.8, 1.2);
    int made = 0;
    for (int i = 0; i < side && made < openings; ++i) {
        for (int j = 0; j < side && made < openings; ++j, ++made) {
            const double cx = -65.0 + cell * (i + 0.5), cy = -65.0 + cell * (j + 0.5);
            const int n = 3 + static_cast<int>(rng() % 6);
            const double r = cell * radius(rng);
            Outline hole;
            for (int k = 0; k < n; ++k) {
                const double a = -2.0 * M_PI * k / n;  // clockwise
                hole.push_back({cx + r * jitter(rng) * std::cos(a), cy + r * jitter(rng) * std::sin(a), 0.0});
            }
            tail->next = Loop(hole);
            tail = tail->next;
        }
    }
    return loops;
}

std::vector<Tri> FastClip(RingNode* ring) {
    std::vector<Tri> out;
    ClipSlabRing(
        ring,
        [&](const VertexNode* a, const VertexNode* b, const VertexNode* c) {
            out.push_back({a, b, c});
        },
        nullptr);
    return out;
}

double Area(const Tri& t) {
    return ((t.b->x - t.a->x) * (t.c->y - t.a->y) - (t.b->y - t.a->y) * (t.c->x - t.a->x)) / 2.0;
}

double LoopArea(const VertexNode* v) {
    double s = 0.0;
    for (const VertexNode* p = v; p; p = p->next) {
        const VertexNode* q = p->next ? p->next : v;
        s += p->x * q->y - q->x * p->y;
    }
    return s / 2.0;
}

}  // namespace

TEST(SlabEars, fast_scan_gives_the_faces_of_the_plain_scan_in_the_same_order) {
    std::mt19937 rng(321);
    for (int round = 0; round < 40; ++round) {
        ContourNode* loops = RandomSlab(rng, 8 + round * 3, round % 9);
        RingNode* ring = BridgeHoles(loops);
        const std::vector<Tri> expected = ReferenceClip(CopyRing(ring));
        const std::vector<Tri> got = FastClip(ring);
        ASSERT_EQ(got.size(), expected.size()) << "round " << round;
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_TRUE(got[i] == expected[i]) << "round " << round << " face " << i;
        FreeListOfLists(loops);
    }
}

TEST(SlabEars, faces_cover_the_outline_less_its_openings) {
    std::mt19937 rng(99);
    for (int round = 0; round < 10; ++round) {
        ContourNode* loops = RandomSlab(rng, 30, 4 + round);
        double expected = std::fabs(LoopArea(loops->vertices));
        for (const ContourNode* k = loops->next; k; k = k->next) expected -= std::fabs(LoopArea(k->vertices));
        double sum = 0.0;
        for (const Tri& t : FastClip(BridgeHoles(loops))) sum += std::fabs(Area(t));
        EXPECT_NEAR(sum, expected, 1e-6 * expected) << "round " << round;
        FreeListOfLists(loops);
    }
}

TEST(SlabEars, a_break_stops_the_clipping_without_the_fan) {
    ContourNode* loops = Loop(ConvexPolygon(12, 10.0));
    int faces = 0;
    const bool done = ClipSlabRing(
        BridgeHoles(loops), [&](const VertexNode*, const VertexNode*, const VertexNode*) { ++faces; },
        [] { return true; });
    EXPECT_FALSE(done);
    EXPECT_EQ(faces, 1);
    FreeListOfLists(loops);
}

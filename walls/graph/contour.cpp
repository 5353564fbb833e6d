// Room contours on the wall-face graph.
//
// RecognizeContour walks from the face nearest to a picked point, junction
// by junction, always taking the face that keeps the room on the side the
// heading gives (the smallest turn when the room lies to the left of the
// walk, the largest when it lies to the right), and grows a chain of
// vertices at its head until head and tail meet. Curved faces enter the
// chain as chords; the area between chords and arcs is summed with the
// sign that makes chord polygon + correction the room's true area.
//
// ApproximateContourCurves chains whatever faces touch the chain's ends,
// without the turn rule: the outline of a floor picked by one of its faces.
//
// The faces meeting at a point are found through a grid of face ends, kept
// by the graph from one room walk to the next while the face list stays as
// it was; the candidates are still judged in list order.
#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/geometry/polygon.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/graph_index.h"

namespace {

constexpr std::int32_t kChordMark = 101;
constexpr std::int32_t kOutlineMark = 1;

bool Same(const Point3& a, const Point3& b) {
    return PointsEqual(a, b, false);
}

VertexNode* Vertex(const Point3& p, std::int32_t mark = 0) {
    return NewVertex(p.x, p.y, p.z, mark, 0, 0, 0);
}

void PutInFront(VertexNode*& head, VertexNode* v) {
    v->next = head;
    head = v;
}

void Append(VertexNode*& tail, VertexNode* v) {
    VELM_ASSERT(tail != nullptr && tail->next == nullptr);  // else the chain after it is lost
    tail->next = v;
    tail = v;
}

// The chain closed: its head repeats its tail and goes.
VertexNode* DropHead(VertexNode*& head) {
    VertexNode* old = head;
    head = head->next;
    old->next = nullptr;
    FreeList(old);
    return head;
}

void PrintMessage(const char* text) {
    zcutPrintf("\n%s", text);
}

constexpr const char* kBadArc = "Przybliżenie zakrzywionej nie jest prawidłowe";
constexpr const char* kRecognitionError = "Błąd rozpoznawania konturu";

// The faces with an end near p, in list order.
std::vector<int> FacesAt(const graph_index::FaceIndex* index, const Point3& p);

}  // namespace

VertexNode* CFACCIATE::RecognizeContour(double heading, WallFace* startFace, double* area, bool approximate) {
    double a = 0.0;
    if (area) *area = 0.0;
    contour = FreeLinkedNodes(contour);
    if (!startFace) return nullptr;
    // The walk changes no face's place or ends: the kept grid serves it.
    graph_index::FaceCache& cache = CachedFaces();
    if (!cache.ends) cache.ends = std::make_unique<graph_index::FaceIndex>(faces, unitFactor);
    struct Walk {
        const graph_index::FaceIndex*& slot;
        ~Walk() { slot = nullptr; }
    } walk{m_walkIndex};
    m_walkIndex = cache.ends.get();

    VertexNode* head = Vertex(startFace->firstPoint());
    VertexNode* tail = Vertex(startFace->lastPoint());
    head->next = tail;
    contour = new ContourLink{startFace, startFace->firstPoint(), startFace->lastPoint(), nullptr};
    Point3 prevPoint = startFace->lastPoint(), junction = startFace->firstPoint();
    WallFace* current = startFace;

    for (;;) {
        Point3 nextStart, nextEnd;
        WallFace* next = NextContourFace(heading, current, prevPoint, junction, nextStart, nextEnd);
        if (!next) break;
        if (next->isArc()) {
            int atHead = 0;
            const int added = AddArcToContour(next, head, tail, a, atHead, approximate, 0);
            if (added == -1) PrintMessage(kBadArc);
            if (added != 1) break;
        } else if (Same(nextStart, head->pt()) || Same(nextStart, tail->pt())) {
            PutInFront(head, Vertex(nextEnd));
        }
        const bool repeated = [&] {
            for (const ContourLink* n = contour; n; n = n->next)
                if (n->face == next) return true;
            return false;
        }();
        contour = new ContourLink{next, nextStart, nextEnd, contour};
        if (Same(head->pt(), tail->pt())) {
            DropHead(head);
            if (PolygonOrientation(head) == 1) {
                a = -a;
                for (ContourLink* n = contour; n; n = n->next)
                    if (n->face->isArc()) n->face->reversed = n->face->reversed ? 0 : 1;
            }
            if (area) *area = a;
            return head;
        }
        if (repeated) {
            PrintMessage(kRecognitionError);
            break;
        }
        prevPoint = nextStart;
        junction = nextEnd;
        current = next;
    }
    contour = FreeLinkedNodes(contour);
    if (area) *area = a;
    return head;
}

WallFace* CFACCIATE::NextContourFace(double& heading, WallFace* current, const Point3& prevPoint,
                                     const Point3& junction, Point3& nextStart, Point3& nextEnd) {
    // The heading points from the room towards the walls: measured from it,
    // the way back tells on which side of the walk the room lies.
    const double d = AngleDiffCcw(heading, AngleTo(junction, prevPoint));
    WallFace* kept = nullptr;
    WallFace* arc = nullptr;
    double keptTurn = 0.0;
    Point3 keptEnd, arcEnd;
    auto judge = [&](WallFace* f) {
        if (f == current) return false;
        const Point3 first = f->firstPoint(), last = f->lastPoint();
        const bool atFirst = Same(first, junction);
        if (!atFirst && !Same(last, junction)) return false;
        const Point3 other = atFirst ? last : first;
        if (f->isArc()) {
            arc = f;
            arcEnd = other;
            return true;  // an arc at the junction wins at once
        }
        const double t = AngleBetweenLines(junction, prevPoint, junction, other);
        if (!kept || (d <= std::numbers::pi && t < keptTurn) || (d > std::numbers::pi && t > keptTurn)) {
            kept = f;
            keptTurn = t;
            keptEnd = other;
        }
        return false;
    };
    if (const graph_index::FaceIndex* index = m_walkIndex ? m_walkIndex : m_faceIndex.get()) {
        // Only a face ending at the junction counts: the faces of the cells
        // that far around it are enough.
        std::vector<int> ids;
        index->ends.within(junction, graph_index::SamePointReach(), ids);
        for (int id : ids)
            if (!index->removed[id] && judge(index->list[id])) break;
    } else {
        for (WallFace* f = faces; f; f = f->next)
            if (judge(f)) break;
    }
    WallFace* next = arc ? arc : kept;
    if (!next) return nullptr;
    nextStart = junction;
    nextEnd = arc ? arcEnd : keptEnd;
    heading += AngleBetweenLines(prevPoint, junction, nextStart, nextEnd);
    if (heading > TwoPi()) heading -= TwoPi();
    return next;
}

int CFACCIATE::AddArcToContour(WallFace* arcFace, VertexNode*& head, VertexNode*& tail, double& area,
                               int& addedAtHead, bool approximate, int divisions) {
    const ArcRecord& arc = arcFace->arc;
    const Point3 s = arcFace->arcStartPoint(), e = arcFace->arcEndPoint();
    enum { kNone, kStartAtHead, kEndAtHead, kStartAtTail, kEndAtTail } where = kNone;
    if (Same(s, head->pt()))
        where = kStartAtHead;
    else if (Same(e, head->pt()))
        where = kEndAtHead;
    else if (Same(s, tail->pt()))
        where = kStartAtTail;
    else if (Same(e, tail->pt()))
        where = kEndAtTail;
    if (where == kNone) return 0;

    // Chord points S ... E, each marked as made by the approximation.
    VertexNode* points = nullptr;
    double segment = 0.0;
    if (approximate) {
        double chord = chordLength;
        if (divisions >= 2) {
            const double span = AngleDiffCcw(arc.startAngle, arc.endAngle);
            chord = Distance2d(s, PolarPoint(arc.centre, arc.startAngle + span / divisions, arc.radius));
        }
        points = ArcToVertices(chord, arc.centre, arc.radius, arc.startAngle, arc.endAngle, &segment, true);
        if (!points) return -1;
        VELM_ASSERT(points->next != nullptr);  // the arc's two ends at least
        for (VertexNode* v = points; v; v = v->next) v->edgeFlag = kChordMark;
    } else {
        area = 0.0;
    }

    switch (where) {
        case kStartAtHead:  // run E ... S: the chain's new head is E
            arcFace->reversed = 1;
            if (!approximate) {
                PutInFront(head, Vertex(e));
            } else {
                VertexNode* rest = points->next;
                points->next = nullptr;
                FreeList(points);
                while (rest) {
                    VertexNode* next = rest->next;
                    PutInFront(head, rest);
                    rest = next;
                }
                area -= segment;
            }
            addedAtHead = 1;
            break;
        case kEndAtHead:  // run S ... E, E being the old head
            arcFace->reversed = 0;
            if (!approximate) {
                PutInFront(head, Vertex(s));
            } else {
                VertexNode* last = points;
                while (last->next->next) last = last->next;
                FreeList(last->next);
                last->next = head;
                head = points;
                area += segment;
            }
            addedAtHead = 1;
            break;
        case kStartAtTail:
            arcFace->reversed = 0;
            tail->edgeFlag = kChordMark;
            if (!approximate) {
                Append(tail, Vertex(e));
            } else {
                tail->next = points->next;
                points->next = nullptr;
                FreeList(points);
                while (tail->next) tail = tail->next;
                area += segment;
            }
            addedAtHead = 0;
            break;
        case kEndAtTail:
            arcFace->reversed = 1;
            tail->edgeFlag = kChordMark;
            if (!approximate) {
                Append(tail, Vertex(s));
            } else {
                // E ... S after the tail; E itself is the tail already.
                VertexNode* reversed = ReverseList(points);
                tail->next = reversed->next;
                reversed->next = nullptr;
                FreeList(reversed);
                while (tail->next) tail = tail->next;
                area -= segment;
            }
            addedAtHead = 0;
            break;
        case kNone:
            break;
    }
    return 1;
}

VertexNode* CFACCIATE::ApproximateContourCurves(WallFace* startFace, double* area, int divisions,
                                                bool keepUsed, double chord) {
    FacesChanged();
    double a = 0.0;
    if (area) *area = 0.0;
    if (!startFace) return nullptr;
    VertexNode* head = nullptr;
    VertexNode* tail = nullptr;
    if (startFace->isArc()) {
        const ArcRecord& arc = startFace->arc;
        double step = chord < 0.0 ? chordLength : chord;
        if (divisions >= 2) {
            const double span = AngleDiffCcw(arc.startAngle, arc.endAngle);
            step = Distance2d(startFace->arcStartPoint(),
                              PolarPoint(arc.centre, arc.startAngle + span / divisions, arc.radius));
        }
        head = ArcToVertices(step, arc.centre, arc.radius, arc.startAngle, arc.endAngle, &a, true);
        if (!head) {
            PrintMessage(kBadArc);
            return nullptr;
        }
        for (VertexNode* v = head; v; v = v->next) v->edgeFlag = kChordMark;
        tail = head;
        while (tail->next) tail = tail->next;
    } else {
        head = Vertex(startFace->start);
        tail = Vertex(startFace->end);
        head->next = tail;
    }
    graph_index::IndexScope walk(m_faceIndex, faces, unitFactor);
    auto remove = [&](WallFace* f) {
        for (std::size_t i = 0; i < m_faceIndex->list.size(); ++i)
            if (m_faceIndex->list[i] == f) m_faceIndex->removed[i] = 1;
        UnlinkFace(faces, f);
    };
    // Set aside as it is chained: usedFaces in chain order.
    WallFace* usedTail = nullptr;
    auto use = [&](WallFace* f, bool atHead) {
        if (atHead || !usedFaces) {
            f->next = usedFaces;
            usedFaces = f;
            if (!usedTail) usedTail = f;
        } else {
            if (!usedTail) {
                usedTail = usedFaces;
                while (usedTail->next) usedTail = usedTail->next;
            }
            usedTail->next = f;
            usedTail = f;
        }
    };
    remove(startFace);
    use(startFace, true);

    for (;;) {
        if (Same(head->pt(), tail->pt()) && head != tail) {
            DropHead(head);
            if (PolygonOrientation(head) == 1) a = -a;
            if (area) *area = a;
            return head;
        }
        std::vector<int> ids = FacesAt(m_faceIndex.get(), head->pt());
        const std::vector<int> atTail = FacesAt(m_faceIndex.get(), tail->pt());
        ids.insert(ids.end(), atTail.begin(), atTail.end());
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        WallFace* taken = nullptr;
        bool atHead = false, failed = false;
        for (int id : ids) {
            if (m_faceIndex->removed[id]) continue;
            WallFace* f = m_faceIndex->list[id];
            if (f->isArc()) {
                int addedAtHead = 0;
                const int r = AddArcToContour(f, head, tail, a, addedAtHead, true, divisions);
                if (r == -1) {
                    PrintMessage(kBadArc);
                    failed = true;
                    break;
                }
                if (r == 0) continue;
                taken = f;
                atHead = addedAtHead == 1;
                break;
            }
            if (Same(f->start, head->pt())) {
                PutInFront(head, Vertex(f->end));
                atHead = true;
            } else if (Same(f->end, head->pt())) {
                PutInFront(head, Vertex(f->start));
                atHead = true;
            } else if (Same(f->start, tail->pt()) || Same(f->end, tail->pt())) {
                tail->edgeFlag = kOutlineMark;
                Append(tail, Vertex(Same(f->start, tail->pt()) ? f->end : f->start));
            } else {
                continue;
            }
            taken = f;
            break;
        }
        if (!taken || failed) break;
        remove(taken);
        use(taken, atHead);
    }
    if (!keepUsed) {
        while (usedFaces) {
            WallFace* f = usedFaces;
            usedFaces = f->next;
            AppendFace(faces, f);
        }
    }
    if (area) *area = a;
    return head;
}

namespace {

std::vector<int> FacesAt(const graph_index::FaceIndex* index, const Point3& p) {
    return index->ends.near(p);
}

}  // namespace

// Geometry sections. Bracketed arguments are read through the definition
// text's cursor and may run over line ends; count lines are whole lines.
#include "objects/language/obj_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/util/nocase.h"
#include "objects/language/obj_args.h"

namespace {

constexpr const char* kTooManyDragPoints = "Zbyt wiele punktów w sekcji WYCIĄGANIE (maks. dopuszczalne 70)";

bool StartsNoCase(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() && zcutEqualsNoCase(line.substr(0, prefix.size()), prefix);
}

// The current line from the cursor; empty at the end of the text.
std::string_view CurrentLine(const ObjText& t) {
    if (TextAtEnd(t)) return {};
    return std::string_view(t.lines[t.cursor.line].text).substr(t.cursor.pos);
}

Point3 Scaled(const ObjContext& c, const Point3& p) {
    return {p.x * c.scale[0], p.y * c.scale[1], p.z * c.scale[2]};
}

// A point argument with an optional kind after its three values.
bool ReadPointArg(ObjContext& c, Point3& p, int* kind = nullptr) {
    std::string arg;
    if (ReadParenArg(arg, *c.text) != RTNORM) return false;
    double v[3]{0.0, 0.0, 0.0};
    int k = 0;
    if (EvalPointLine(arg, v, k, c) < 0) return false;
    if (kind) *kind = k;
    p = {v[0], v[1], v[2]};
    return true;
}

// "+(...)" gives flag 1 (visible edge), "-(...)" flag 0.
bool ReadSignedPointArg(ObjContext& c, Point3& p, int& flag) {
    std::string arg;
    if (ReadSignedParenArg(flag, arg, *c.text) != RTNORM) return false;
    double v[3]{0.0, 0.0, 0.0};
    int kind = 0;
    if (EvalPointLine(arg, v, kind, c) < 0) return false;
    p = {v[0], v[1], v[2]};
    return true;
}

bool ReadValuesArg(ObjContext& c, double v[3]) {
    std::string arg;
    if (ReadParenArg(arg, *c.text) != RTNORM) return false;
    v[0] = v[1] = v[2] = 0.0;
    bool failed = false;
    EvalParamLine(arg, v, c, &failed);
    return !failed;
}

bool ReadWholeArg(ObjContext& c, int& n) {
    std::string arg;
    if (ReadParenArg(arg, *c.text) != RTNORM) return false;
    double unused = 0.0;
    std::string_view s(arg);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    // A leading minus is the sign of a literal count.
    const bool negative = !s.empty() && s.front() == '-';
    if (negative) s.remove_prefix(1);
    if (ReadNumOrVar(s, true, n, unused, c) < 0) return false;
    if (negative) n = -n;
    return true;
}

bool ReadRealArg(ObjContext& c, double& d) {
    double v[3]{0.0, 0.0, 0.0};
    if (!ReadValuesArg(c, v)) return false;
    d = v[0];
    return true;
}

void PushHead(OwnedList<VertexNode>& list, const Point3& p, int flag) {
    VertexNode* v = NewVertex(p.x, p.y, p.z, flag, 0, 0, 0);
    v->next = list.release();
    list.reset(v);
}

// Appends after `tail` (null: the list is empty); returns the new tail.
VertexNode* PushTail(OwnedList<VertexNode>& list, VertexNode* tail, const Point3& p, int flag) {
    VertexNode* v = NewVertex(p.x, p.y, p.z, flag, 0, 0, 0);
    if (tail)
        tail->next = v;
    else
        list.reset(v);
    return v;
}

std::optional<int> CountLine(ObjText& t) {
    std::optional<std::pair<int, int>> n = ReadCountLine(t, 1);
    if (!n) return std::nullopt;
    return n->first;
}

// `count` scaled points at the head of `list`.
bool ReadPointsAtHead(ObjContext& c, int count, OwnedList<VertexNode>& list, int flag) {
    for (int i = 0; i < count; ++i) {
        Point3 p;
        if (!ReadPointArg(c, p)) return false;
        PushHead(list, Scaled(c, p), flag);
    }
    return true;
}

bool ReadSignedPointsAtHead(ObjContext& c, int count, OwnedList<VertexNode>& list) {
    for (int i = 0; i < count; ++i) {
        Point3 p;
        int flag = 0;
        if (!ReadSignedPointArg(c, p, flag)) return false;
        PushHead(list, Scaled(c, p), flag);
    }
    return true;
}

// One pair of 3D cut outlines (outer or inner): 1, also when a line that is
// neither the end word nor a count follows the first; -1 malformed.
int ReadCut3dPair(ObjContext& c, std::string_view endWord, OwnedList<VertexNode> pair[2]) {
    ObjText& t = *c.text;
    std::optional<int> first = CountLine(t);
    if (!first || *first < 0) return -1;
    if (!ReadSignedPointsAtHead(c, *first, pair[0])) return -1;
    if (*first == 0) return 1;
    PassLine(t);
    const std::string_view line = CurrentLine(t);
    if (line.empty() || StartsNoCase(line, endWord)) return 1;
    int second = 0;
    if (std::sscanf(std::string(line).c_str(), "%d", &second) != 1) return 1;
    PassLine(t);
    if (second < 0) return -1;
    return ReadSignedPointsAtHead(c, second, pair[1]) ? 1 : -1;
}

void ClearCuts(ObjContext& c) {
    for (int i = 0; i < 2; ++i) {
        c.cut2d[i].reset();
        c.cut3dOuter[i].reset();
        c.cut3dInner[i].reset();
    }
}

Point3 Turn(const Point3& p, double t) {
    const double c = std::cos(t), s = std::sin(t);
    return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

}  // namespace

int ReadFixpSection(ObjContext& c, bool resetIndex) {
    c.fixedPoints.reset();
    ObjText& t = *c.text;
    if (!FindSection("FIXP", t, true)) {
        c.fixedPoints.reset(NewVertex(0.0, 0.0, 0.0, 0, 0, 0, 0));
        c.fixedPointIndex = 1;
        return 1;
    }
    if (TextAtEnd(t) || StartsNoCase(CurrentLine(t), "END_FIXP")) return -1;
    VertexNode* tail = nullptr;
    for (;;) {
        Point3 p;
        int kind = 0;
        if (!ReadPointArg(c, p, &kind)) {
            c.fixedPoints.reset();
            return -1;
        }
        PassLine(t);
        if (TextAtEnd(t)) {
            c.fixedPoints.reset();
            return -1;
        }
        tail = PushTail(c.fixedPoints, tail, Scaled(c, p), kind);
        if (StartsNoCase(CurrentLine(t), "END_FIXP")) break;
    }
    if (resetIndex) c.fixedPointIndex = 1;
    return 1;
}

int ReadDragSection(ObjContext& c) {
    c.dragSegments.reset();
    ObjText& t = *c.text;
    if (!FindSection("DRAG", t, true)) return 1;
    std::optional<std::pair<int, int>> counts = ReadCountLine(t, 2);
    if (!counts) return -1;
    const auto [n, m] = *counts;
    if (n > kMaxDragPoints) {
        zcutPrintf("\n%s", kTooManyDragPoints);
        return -1;
    }
    if (n < 0 || m < 0) return -1;
    std::vector<Point3> points(static_cast<std::size_t>(n));
    for (Point3& p : points)
        if (!ReadPointArg(c, p)) return -1;
    host::ResbufList head;
    auto push = [&](const Point3& p) {
        resbuf* rb = zcutNewRb(RT3DPOINT);
        const Point3 s = Scaled(c, p);
        rb->resval.rpoint[0] = s.x;
        rb->resval.rpoint[1] = s.y;
        rb->resval.rpoint[2] = s.z;
        rb->rbnext = head.release();
        head.reset(rb);
    };
    for (int k = 0; k < m; ++k) {
        std::string arg;
        int i = 0, j = 0;
        // A segment must name two of the points read.
        if (ReadParenArg(arg, t) != RTNORM || std::sscanf(arg.c_str(), "%d %d", &i, &j) != 2 || i < 1 ||
            i > n || j < 1 || j > n)
            return -1;
        push(points[static_cast<std::size_t>(i - 1)]);
        push(points[static_cast<std::size_t>(j - 1)]);
    }
    c.dragSegments = std::move(head);
    return 1;
}

int ReadCutSection(ObjContext& c) {
    ClearCuts(c);
    ObjText& t = *c.text;
    if (FindSection("CUT2D", t, true)) {
        std::optional<int> first = CountLine(t);
        if (!first || *first < 0 || !ReadPointsAtHead(c, *first, c.cut2d[0], 0)) {
            ClearCuts(c);
            return -1;
        }
        if (c.insertionType == InsertionType::Pilaster) return 1;
        if (*first > 0) PassLine(t);
        std::optional<int> second = CountLine(t);
        if (!second || *second < 0 || !ReadPointsAtHead(c, *second, c.cut2d[1], 0)) {
            ClearCuts(c);
            return -1;
        }
    }
    if (!FindSection("CUT3DE", t, true)) return 1;
    if (ReadCut3dPair(c, "ENDCUT3DE", c.cut3dOuter) < 0 || !FindSection("CUT3DI", t, true) ||
        ReadCut3dPair(c, "ENDCUT3DI", c.cut3dInner) < 0) {
        ClearCuts(c);
        return -1;
    }
    return 1;
}

int ReadPoligDedSection(ObjContext& c) {
    c.poligDed.reset();
    ObjText& t = *c.text;
    if (!FindSection("POLIGDED", t, true)) return 1;
    std::optional<int> count = CountLine(t);
    if (!count) return -1;
    if (!ReadPointsAtHead(c, *count, c.poligDed, 0)) {
        c.poligDed.reset();
        return -1;
    }
    return 1;
}

int ReadPoligSection(ObjContext& c) {
    c.polig.reset();
    ObjText& t = *c.text;
    if (FindSection("POLIG", t, true)) {
        std::optional<int> count = CountLine(t);
        if (!count) return -1;
        const int flag = *count < 0 ? -2 : 1;
        if (!ReadPointsAtHead(c, std::abs(*count), c.polig, flag)) {
            c.polig.reset();
            return -1;
        }
        return 1;
    }
    if (!FindSection("POLIGARC", t, true)) return 1;
    int n = 0;
    double centre[2][3]{}, arc[2][3]{};
    if (!ReadWholeArg(c, n) || !ReadValuesArg(c, centre[0]) || !ReadValuesArg(c, arc[0]) ||
        !ReadValuesArg(c, centre[1]) || !ReadValuesArg(c, arc[1]))
        return -1;
    const int flag = n < 0 ? -2 : 1;
    n = std::abs(n);
    if (n == 0) return -1;  // no segments to divide the arcs into
    for (int a = 0; a < 2; ++a) {
        const Point3 base{centre[a][0], centre[a][1], centre[a][2]};
        const double radius = arc[a][0], start = arc[a][1];
        const double step = AngleDiffCcw(start, arc[a][2]) / n;
        for (int k = 0; k <= n; ++k) {
            const int i = a == 0 ? k : n - k;
            PushHead(c.polig, PolarPoint(base, start + i * step, radius), flag);
        }
    }
    return 1;
}

int ReadIslandHSection(ObjContext& c) {
    c.islandH.reset();
    ObjText& t = *c.text;
    if (!FindSection("ISLANDH", t, true)) return 1;
    if (TextAtEnd(t) || StartsNoCase(CurrentLine(t), "END_ISLANDH")) return -1;
    VertexNode* tail = nullptr;
    for (;;) {
        if (TextAtEnd(t)) break;
        if (StartsNoCase(CurrentLine(t), "END_ISLANDH")) return 1;
        Point3 p;
        if (!ReadPointArg(c, p)) break;
        tail = PushTail(c.islandH, tail, Scaled(c, p), 0);
        PassLine(t);
    }
    c.islandH.reset();
    return -1;
}

int ReadSeriesBlock(ObjContext& c) {
    ObjText& t = *c.text;
    int copies = 0;
    double a[3]{}, b[3]{}, angle = 0.0;
    if (!ReadWholeArg(c, copies) || !ReadValuesArg(c, a) || !ReadValuesArg(c, b) || !ReadRealArg(c, angle))
        return -1;
    PassLine(t);
    const TextCursor body = t.cursor;
    const Point3 offset{a[0], a[1], a[2]}, centre{b[0], b[1], b[2]}, none{0.0, 0.0, 0.0};
    // Without copies the body is still passed over.
    for (int i = 0; i < std::max(copies, 1); ++i) {
        t.cursor = body;
        for (;;) {
            std::optional<std::string> line = ReadTextLine(t, 124, true);
            if (!line) return -1;
            if (StartsNoCase(*line, "END_ARRAY")) break;
            if (copies < 1 || !StartsNoCase(*line, "CONTORNO")) continue;
            if (!CheckGenerationFlag(c)) continue;
            std::optional<int> m = CountLine(t);
            if (!m || *m < 0 || *m > kMaxSeriesPoints) return -1;
            OwnedList<VertexNode> plane;
            VertexNode* tail = nullptr;
            for (int k = 0; k < *m; ++k) {
                Point3 p;
                if (!ReadPointArg(c, p)) return -1;
                tail = PushTail(plane, tail, TransformCopyPoint(none, none, 0.0, i, offset, angle, centre, p),
                                0);
            }
            if (*m > 0) PassLine(t);
            c.planes.insert(c.planes.begin(), std::move(plane));
        }
    }
    return 0;
}

int ReadSt3dPlaneSection(ObjContext& c) {
    c.planes.clear();
    ObjText& t = *c.text;
    if (!FindSection("ST3DPLANE", t, true)) return 1;
    if (TextAtEnd(t) || StartsNoCase(CurrentLine(t), "END_ST3DPLANE")) return c.planes.empty() ? -1 : 1;
    for (;;) {
        std::optional<std::string> line = ReadTextLine(t, 124, true);
        if (!line) break;
        if (StartsNoCase(*line, "END_ST3DPLANE")) return c.planes.empty() ? -1 : 1;
        if (StartsNoCase(*line, "SERIES")) {
            if (ReadSeriesBlock(c) < 0) break;
        } else if (StartsNoCase(*line, "BEGIN")) {
            std::optional<int> count = CountLine(t);
            if (!count || *count < 0) break;
            OwnedList<VertexNode> plane;
            VertexNode* tail = nullptr;
            bool ok = true;
            for (int k = 0; k < *count && ok; ++k) {
                Point3 p;
                ok = ReadPointArg(c, p);
                if (ok) tail = PushTail(plane, tail, Scaled(c, p), 0);
            }
            if (!ok) break;
            if (*count > 0) PassLine(t);
            c.planes.insert(c.planes.begin(), std::move(plane));
        }
    }
    c.planes.clear();
    return -1;
}

Point3 TransformCopyPoint(const Point3& p1, const Point3& p2, double a, int k, const Point3& V, double A,
                          const Point3& C, const Point3& q) {
    const Point3 inner = Turn({q.x + p1.x - p2.x, q.y + p1.y - p2.y, q.z + p1.z - p2.z}, a);
    const Point3 x{p2.x + inner.x, p2.y + inner.y, p2.z + inner.z};
    const Point3 outer = Turn({x.x + k * V.x - C.x, x.y + k * V.y - C.y, x.z + k * V.z - C.z}, k * A);
    return {C.x + outer.x, C.y + outer.y, C.z + outer.z};
}

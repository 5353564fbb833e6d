// Shared pieces of the wall-recognition tests: a drawing with its settings
// (the set reads its values when constructed), a set with DISCMURO 60 and
// unit factor 1, and segments, faces and wall lines made by hand.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "tests/walls/graph/graph_fixture.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/wall_type_marks.h"

class RecognitionTest : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        set = std::make_unique<DEFMURI>();
        set->wallDistance = 60.0;
        set->unitFactor = 1.0;
    }
    void TearDown() override {
        set.reset();
        GraphTest::TearDown();
    }
    // A wall type of that priority and colour.
    void addType(const std::string& name, int priority, int colour = 1) {
        CMuro m;
        m.name = name;
        m.priority = priority;
        m.color = colour;
        set->wallTypes.push_back(m);
    }
    // A segment appended to the chain, typed through the set's types.
    WallSegment* segment(Point3 a, Point3 b, const std::string& type = kDefaultWallTypeName) {
        WallSegment* s = NewWallSegment();
        s->start = a;
        s->end = b;
        s->typeName = type;
        set->ApplyWallType(*s);
        set->AppendSegment(s);
        return s;
    }
    int pairCount() const { return CountNodes(set->pairs); }
    int segmentCount() const { return CountNodes(set->segments); }

    std::unique_ptr<DEFMURI> set;
};

// A straight face of one edge without entity.
inline WallFace* TypedFace(Point3 a, Point3 b, const std::string& type = kDefaultWallTypeName,
                           bool external = false, double rectangleId = kNoRectangle) {
    WallFace* f = StraightFace(a, b);
    FaceEdge* e = Line(a, b, rectangleId);
    e->wallTypeName = type;
    e->externalSide = external ? 1 : 0;
    f->edges = e;
    return f;
}

inline bool SameStretch(const WallSegment* s, Point3 a, Point3 b, double tol = 1e-6) {
    return s && ((Near(s->start, a, tol) && Near(s->end, b, tol)) ||
                 (Near(s->start, b, tol) && Near(s->end, a, tol)));
}

// A wall LINE on the floor-0 wall layer, optionally with a wall-type record.
inline void MakeWallLine(Point3 a, Point3 b, const char* type = nullptr, int flag = -1) {
    const ads_point p{a.x, a.y, a.z}, q{b.x, b.y, b.z};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, p, 11, q, 0);
    if (type) {
        zcdbRegApp(kWallTypeApp);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = flag < 0 ? zcutBuildList(-3, 1001, kWallTypeApp, 1000, type, 0)
                                : zcutBuildList(-3, 1001, kWallTypeApp, 1000, type, 1070, flag, 0);
    }
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

// The groups of the line's wall-type record after its 1001 group, as text.
inline std::string WallTypeRecord(const ads_name line) {
    resbuf* apps = zcutBuildList(RTSTR, kWallTypeApp, 0);
    resbuf* list = zcdbEntGetX(line, apps);
    zcutRelRb(apps);
    std::string out;
    bool in = false;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 1001)
            in = true;
        else if (in && rb->restype == 1000)
            out += std::string(out.empty() ? "" : " ") + rb->resval.rstring;
        else if (in && rb->restype == 1070)
            out += " " + std::to_string(rb->resval.rint);
    }
    zcutRelRb(list);
    return out;
}

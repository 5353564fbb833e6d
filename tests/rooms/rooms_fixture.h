// Shared pieces of the room tests: the module loaded on a new drawing, the
// shipped room support files copied into a folder of the test's own that is
// the whole support path, and makers of the entities the room measurements
// read.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

class RoomsTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        const std::string root = VELM_SOURCE_DIR;
        std::filesystem::copy_file(root + "/support/UA_DEF.DLC", data.path("UA_DEF.DLC"));
        for (const auto& entry : std::filesystem::directory_iterator(root + "/support/tab"))
            std::filesystem::copy_file(entry.path(), data.path(entry.path().filename().string()));
        const std::string folder = data.path();
        host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }

    TestDir data;
};

inline Point3 P(double x, double y, double z = 0.0) {
    return {x, y, z};
}

inline VertexNode* Ring(std::initializer_list<Point3> points) {
    VertexNode* head = nullptr;
    for (const Point3& p : points) AppendVertex(&head, p, 0, 0, 0);
    return head;
}

inline VertexNode* Rect(double x0, double y0, double x1, double y1, double z = 0.0) {
    return Ring({P(x0, y0, z), P(x1, y0, z), P(x1, y1, z), P(x0, y1, z)});
}

// Appends the xdata groups of `xdata` (a list starting at its 1001) to
// `list` after a -3 marker and makes the entity; its name, or {0, 0}.
inline void MakeEntity(resbuf* list, resbuf* xdata, ads_name made) {
    made[0] = made[1] = 0;
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    if (xdata) {
        tail->rbnext = zcutBuildList(-3, 0);
        tail->rbnext->rbnext = xdata;
    }
    if (zcdbEntMake(list) == RTNORM) zcdbEntLast(made);
    zcutRelRb(list);
}

// An insert of a one-line anonymous block on `layer` at `at`.
inline void MakeInsert(const std::string& layer, Point3 at, resbuf* xdata, ads_name made) {
    ads_point o{0, 0, 0}, x{1, 0, 0};
    for (resbuf* part :
         {zcutBuildList(RTDXF0, "BLOCK", 2, "*U", 8, "0", 70, 1, 10, o, 0),
          zcutBuildList(RTDXF0, "LINE", 8, "0", 10, o, 11, x, 0), zcutBuildList(RTDXF0, "ENDBLK", 0)}) {
        zcdbEntMake(part);
        zcutRelRb(part);
    }
    char name[260] = "";
    zcedGetInput(name);
    ads_point p{at.x, at.y, at.z};
    MakeEntity(zcutBuildList(RTDXF0, "INSERT", 2, name, 8, layer.c_str(), 10, p, 0), xdata, made);
}

// A closed lightweight polyline through the points.
inline void MakePolyline(const std::string& layer, std::initializer_list<Point3> points, bool closed,
                         resbuf* xdata, ads_name made) {
    resbuf* list = zcutBuildList(RTDXF0, "LWPOLYLINE", 8, layer.c_str(), 90, static_cast<int>(points.size()),
                                 70, static_cast<short>(closed ? 1 : 0), 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    for (const Point3& p : points) {
        ads_point v{p.x, p.y, 0.0};
        tail->rbnext = zcutBuildList(10, v, 0);
        tail = tail->rbnext;
    }
    MakeEntity(list, xdata, made);
}

inline resbuf* AppendPoints(resbuf* list, int code, std::initializer_list<Point3> points) {
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    for (const Point3& p : points) {
        ads_point v{p.x, p.y, p.z};
        tail->rbnext = zcutBuildList(code, v, 0);
        tail = tail->rbnext;
    }
    return list;
}

// The 3D model tests' drawing: the module loaded (for the wall and settings
// commands), the repository's support files, and readers of the 3DFACEs a
// generator leaves: their corners, the invisible-edge flags, their area and
// the length of their shown edges.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbents.h"
#include "host/db/dbmain.h"
#include "host/util/findfile.h"
#include "tests/support/velm_test.h"

struct Face3D {
    std::string layer;
    Point3 c[4];
    int flags = 0;
    bool hasFlags = false;
    bool hasColor = false;

    bool triangle() const { return c[3].x == c[0].x && c[3].y == c[0].y && c[3].z == c[0].z; }
    double area() const {
        auto tri = [](const Point3& a, const Point3& b, const Point3& p) {
            const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
            const double vx = p.x - a.x, vy = p.y - a.y, vz = p.z - a.z;
            const double x = uy * vz - uz * vy, y = uz * vx - ux * vz, z = ux * vy - uy * vx;
            return std::sqrt(x * x + y * y + z * z) / 2.0;
        };
        return tri(c[0], c[1], c[2]) + (triangle() ? 0.0 : tri(c[0], c[2], c[3]));
    }
    // Length of the edges shown (bit clear in group 70).
    double shownLength() const {
        double len = 0.0;
        for (int i = 0; i < 4; ++i) {
            if (flags & (1 << i)) continue;
            const Point3& a = c[i];
            const Point3& b = c[(i + 1) % 4];
            len +=
                std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
        }
        return len;
    }
};

class Model3DTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
        catalogue.ReadLayerDefFile("LAYERC.DEF");
    }

    // Every 3DFACE of model space (optionally on one layer only).
    static std::vector<Face3D> Faces(const std::string& layer = "") {
        std::vector<Face3D> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGet(e);
            Face3D f;
            bool face = false;
            for (const resbuf* rb = list; rb; rb = rb->rbnext) {
                if (rb->restype == 0) face = std::string(rb->resval.rstring) == "3DFACE";
                if (rb->restype == 8) f.layer = rb->resval.rstring;
                if (rb->restype == 62) f.hasColor = true;
                if (rb->restype == 70) {
                    f.flags = rb->resval.rint;
                    f.hasFlags = true;
                }
                if (rb->restype >= 10 && rb->restype <= 13) {
                    const double* p = rb->resval.rpoint;
                    f.c[rb->restype - 10] = {p[0], p[1], p[2]};
                }
            }
            zcutRelRb(list);
            if (face && (layer.empty() || f.layer == layer)) out.push_back(f);
        }
        return out;
    }
    static double Area(const std::vector<Face3D>& faces) {
        double a = 0.0;
        for (const Face3D& f : faces) a += f.area();
        return a;
    }
    static double Shown(const std::vector<Face3D>& faces) {
        double a = 0.0;
        for (const Face3D& f : faces) a += f.shownLength();
        return a;
    }
    static void MakeFace(const char* layer, Point3 a, Point3 b, Point3 c, Point3 d) {
        const ads_point p0{a.x, a.y, a.z}, p1{b.x, b.y, b.z}, p2{c.x, c.y, c.z}, p3{d.x, d.y, d.z};
        resbuf* list = zcutBuildList(RTDXF0, "3DFACE", 8, layer, 10, p0, 11, p1, 12, p2, 13, p3, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }

    AAR_LAYERC catalogue;
};

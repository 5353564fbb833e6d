// A floor slab with an opening, an opening taken out again and a notch,
// saved as DXF and read back: the slab INSERT, its xdata, its faces on the
// catalogue's layers and the objects' polygons are what was made. The file
// is also left in the build folder for the independent DXF reader.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "core/entity_readers.h"
#include "host/db/dbinsert.h"
#include "host/db/dxffile.h"
#include "host/ed/prompts.h"
#include "roofs/slab_openings.h"
#include "tests/roofs/slab_fixture.h"

namespace {

class SlabDrawingTest : public SlabTest {
protected:
    // An INSERT of a small block carrying an opening polygon.
    static void OpeningObject(const std::vector<Point3>& pts, bool notch, ads_name out) {
        zcdbRegApp(kOpeningApp);
        const ads_point o{0, 0, 0}, a{10, 0, 0};
        resbuf* b = zcutBuildList(RTDXF0, "BLOCK", 2, "*U", 8, "0", 70, 1, 10, o, 0);
        ASSERT_EQ(zcdbEntMake(b), RTNORM);
        zcutRelRb(b);
        resbuf* l = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, o, 11, a, 0);
        zcdbEntMake(l);
        zcutRelRb(l);
        resbuf* e = zcutBuildList(RTDXF0, "ENDBLK", 0);
        ASSERT_EQ(zcdbEntMake(e), RTNORM);
        zcutRelRb(e);
        char name[260] = "";
        zcedGetInput(name);
        resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, name, 8, "0", 10, o, -3, 1001, kOpeningApp, 0);
        resbuf* tail = ins;
        while (tail->rbnext) tail = tail->rbnext;
        if (notch) {
            tail->rbnext = zcutBuildList(1070, 1, 0);
            tail = tail->rbnext;
        }
        for (const Point3& p : pts) {
            const ads_point q{p.x, p.y, p.z};
            tail->rbnext = zcutBuildList(1070, 1, 1011, q, 0);
            while (tail->rbnext) tail = tail->rbnext;
        }
        ASSERT_EQ(zcdbEntMake(ins), RTNORM);
        zcutRelRb(ins);
        zcdbEntLast(out);
    }
};

std::vector<Point3> Square(double x0, double y0, double x1, double y1) {
    return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
}

}  // namespace

TEST_F(SlabDrawingTest, slab_with_opening_and_notch_survives_a_saved_drawing) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 25.0;
    record.SetLoops(SlabLoops({Rect(0, 0, 1000, 800, 275)}));
    ads_name slab;
    ASSERT_TRUE(WriteSlab(record, slab));

    ads_name opening, second, notch;
    OpeningObject(Square(100, 300, 300, 500), false, opening);
    OpeningObject(Square(700, 300, 800, 400), false, second);
    OpeningObject({{400, 10, 0}, {600, 10, 0}, {600, 100, 0}, {400, 100, 0}}, true, notch);
    CutOpeningIntoSlab(opening, slab);
    CutOpeningIntoSlab(second, slab);
    ads_name changed;
    EXPECT_EQ(EraseOpeningObject(second, changed), 1);
    CutOpeningIntoSlab(notch, slab);

    // What each object's polygon is before the drawing is saved.
    auto polygonOf = [](const resbuf* xdata) {
        std::vector<Point3> pts;
        OwnedList<VertexNode> p(ReadOpeningPolygon(xdata, nullptr));
        for (const VertexNode* v = p.get(); v; v = v->next) pts.push_back(v->pt());
        return pts;
    };
    std::vector<std::vector<Point3>> polygons;
    for (auto* o : {opening, notch}) {
        resbuf* xd = GetEntXData(o, kOpeningApp);
        polygons.push_back(polygonOf(xd));
        zcutRelRb(xd);
        for (const Point3& p : polygons.back()) EXPECT_DOUBLE_EQ(p.z, 275.0);
    }

    const std::string path = std::string(VELM_BINARY_DIR) + "/roofs_slab_drawing.dxf";
    std::string error;
    ASSERT_TRUE(host::saveDxf(db(), path, nullptr, &error)) << error;
    host::DxfLoadResult loaded = host::loadDxf(path);
    ASSERT_TRUE(loaded.db) << loaded.error;

    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, loaded.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    int slabs = 0;
    std::vector<std::vector<Point3>> readPolygons;
    for (ZcDbObjectId id : ms->entityIds()) {
        ZcDbBlockReference* ref = nullptr;
        if (zcdbOpenObject(ref, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (resbuf* xd = ref->xData(kOpeningApp)) {
            readPolygons.push_back(polygonOf(xd));
            zcutRelRb(xd);
        }
        resbuf* xd = ref->xData(kSlabApp);
        if (!xd) {
            ref->close();
            continue;
        }
        ++slabs;
        EXPECT_EQ(ref->layer(), "FLOORSLAB");
        ContourNode* loops = ParseSlabLoops(xd);
        zcutRelRb(xd);
        ASSERT_EQ(CountNodes(loops), 2);
        EXPECT_EQ(CountNodes(loops->vertices), 8);
        FreeListOfLists(loops);

        ZcDbBlockTableRecord* block = nullptr;
        ASSERT_EQ(zcdbOpenObject(block, ref->blockTableRecord(), ZcDb::kForRead), Zcad::eOk);
        std::map<std::string, int> perLayer;
        double topArea = 0.0;
        for (ZcDbObjectId fid : block->entityIds()) {
            ZcDbFace* face = nullptr;
            if (zcdbOpenObject(face, fid, ZcDb::kForRead) != Zcad::eOk) continue;
            ++perLayer[face->layer()];
            if (face->layer() == "3DFLOORSLAB_T") {
                ZcGePoint3d p[3];
                for (int i = 0; i < 3; ++i) face->getVertexAt(i, p[i]);
                topArea +=
                    std::fabs((p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x)) /
                    2;
                EXPECT_NEAR(p[0].z, 300.0, 1e-9);
            }
            face->close();
        }
        block->close();
        EXPECT_EQ(perLayer.size(), 3u);
        EXPECT_EQ(perLayer["3DFLOORSLAB_S"], 12);
        EXPECT_GT(perLayer["3DFLOORSLAB_B"], 0);
        EXPECT_NEAR(topArea, 740000.0, 1e-6);
        ref->close();
    }
    ms->close();
    EXPECT_EQ(slabs, 1);
    ASSERT_EQ(readPolygons.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_EQ(readPolygons[i].size(), polygons[i].size());
        for (size_t k = 0; k < polygons[i].size(); ++k) {
            EXPECT_NEAR(readPolygons[i][k].x, polygons[i][k].x, 1e-9);
            EXPECT_NEAR(readPolygons[i][k].z, polygons[i][k].z, 1e-9);
        }
    }
}

// The face edge, camera and wall-face selection services.
#include "walls/drafting/face_services.h"

#include <cmath>
#include <string>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/viewport.h"
#include "tests/walls/drafting/face_fixture.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

void Toggle(const ads_name face, const Point3& at, const Matrix4& m) {
    host::ResbufList list(zcdbEntGet(face));
    ToggleNearestFaceEdge(at, m, list.get());
}

bool InSet(const ads_name set, const ads_name entity) {
    std::int32_t n = 0;
    if (zcedSSLength(set, &n) != RTNORM) return false;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) == RTNORM && e[0] == entity[0] && e[1] == entity[1]) return true;
    }
    return false;
}

}  // namespace

class FaceServicesTest : public WallsTest {};

TEST_F(FaceServicesTest, the_edge_nearest_the_point_toggles_and_twice_restores_also_through_a_matrix) {
    ads_name face;
    Face(face, "0", {0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0});
    Matrix4 identity;
    SetIdentity4(identity);
    Toggle(face, {50, 0, 0}, identity);
    EXPECT_EQ(EdgeFlags(face), 1);
    Toggle(face, {50, 0, 0}, identity);
    EXPECT_EQ(EdgeFlags(face), 0);

    // The face as nested in a block placed 1000 to the right: the point is
    // in the drawing, the corners are taken through the block's matrix.
    Matrix4 moved;
    TranslationMatrix(moved, {1000, 0, 0});
    Toggle(face, {1050, 100, 0}, moved);
    EXPECT_EQ(EdgeFlags(face), 4);
    Toggle(face, {1000, 50, 0}, moved);
    EXPECT_EQ(EdgeFlags(face), 4 | 8);
}

TEST_F(FaceServicesTest, the_camera_is_refused_in_the_model_tab_and_set_in_a_layout_viewport) {
    host::setSysVar("TILEMODE", short{1});
    SetViewportCamera({100, 100, 100}, {0, 0, 0}, 35, 3);
    EXPECT_NE(transcript().find("Polecenie to nie może być stosowane w obszarze modelu"), std::string::npos);

    host::setSysVar("TILEMODE", short{0});
    host::setSysVar("CVPORT", short{2});
    if (zcedGetCurViewportObjectId().isNull()) {
        ZcDbObjectPointer<ZcDbBlockTableRecord> ps(db()->paperSpaceId(), ZcDb::kForWrite);
        ASSERT_TRUE(ps);
        ZcDbObjectId id;
        ASSERT_EQ(ps->appendZcDbEntity(id, new ZcDbViewport), Zcad::eOk);
        ZcDbObjectPointer<ZcDbViewport> vp(id, ZcDb::kForWrite);
        vp->setNumber(2);
    }
    const ZcDbObjectId current = zcedGetCurViewportObjectId();
    ASSERT_FALSE(current.isNull());

    SetViewportCamera({300, -400, 0}, {0, 0, 0}, 36, 3);
    {
        ZcDbObjectPointer<ZcDbViewport> vp(current, ZcDb::kForRead);
        ASSERT_TRUE(vp);
        EXPECT_DOUBLE_EQ(vp->viewDirection().x, 300);
        EXPECT_DOUBLE_EQ(vp->viewDirection().y, -400);
        EXPECT_DOUBLE_EQ(vp->lensLength(), 36);
        EXPECT_DOUBLE_EQ(vp->viewHeight(), 18.0 * 500 / 36) << "a longer lens shows less";
        EXPECT_FALSE(vp->isPerspectiveOn());
    }
    SetViewportCamera({0, 0, 250}, {10, 20, 0}, 50, 1);
    {
        ZcDbObjectPointer<ZcDbViewport> vp(current, ZcDb::kForRead);
        EXPECT_DOUBLE_EQ(vp->viewTarget().y, 20);
        EXPECT_TRUE(vp->isFrontClipOn());
        EXPECT_GT(vp->frontClipDistance(), 0.0);
        EXPECT_DOUBLE_EQ(vp->lensLength(), 36) << "mode 1 leaves the lens";
    }
    SetViewportCamera({0, 0, 250}, {10, 20, 0}, 50, -1);
    ZcDbObjectPointer<ZcDbViewport> vp(current, ZcDb::kForRead);
    EXPECT_FALSE(vp->isFrontClipOn());
    EXPECT_FALSE(vp->isPerspectiveOn());
}

TEST_F(FaceServicesTest, faces_on_the_wall_face_are_selected_only_on_its_floor) {
    WallFace face;
    face.kind = 1;
    face.start = {0, 0, 0};
    face.end = {300, 0, 0};
    ads_name on, otherFloor, off;
    Face(on, "VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 280}, {0, 0, 280});
    Face(otherFloor, "VELM3DWALLS$300", {0, 0, 300}, {100, 0, 300}, {100, 0, 580}, {0, 0, 580});
    Face(off, "VELM3DWALLS$0", {0, 30, 0}, {100, 30, 0}, {100, 30, 280}, {0, 30, 280});
    host::SelectionSet input;
    for (const ads_name* e : {&on, &otherFloor, &off}) input.add(*e);
    ads_name output{0, 0};
    SelectFacesOnWallFace(output, 0.0, input.get(), face);
    host::SelectionSet picked(output);
    EXPECT_EQ(picked.size(), 1);
    EXPECT_TRUE(InSet(picked.get(), on));
}

TEST_F(FaceServicesTest, an_arc_face_adds_the_entities_of_its_arc_edges) {
    WallFace face;
    face.kind = 0;
    ads_name arcs[2], line;
    for (int i = 0; i < 2; ++i) {
        const ads_point c{0, 0, 0};
        host::ResbufList list(
            zcutBuildList(RTDXF0, "ARC", 8, kWallLayer, 10, c, 40, 100.0 + 30 * i, 50, 0.0, 51, 1.5, 0));
        ASSERT_EQ(zcdbEntMake(list.get()), RTNORM);
        zcdbEntLast(arcs[i]);
        auto* edge = new FaceEdge;
        edge->isArc = true;
        ads_name_set(arcs[i], edge->entity);
        edge->next = face.arcEdges;
        face.arcEdges = edge;
    }
    WallLine({0, 0}, {100, 0});
    zcdbEntLast(line);
    auto* straight = new FaceEdge;
    ads_name_set(line, straight->entity);
    face.edges = straight;
    ads_name set{0, 0};
    AddFaceEdgesToSelection(face, set);
    host::SelectionSet added(set);
    EXPECT_EQ(added.size(), 2);
    EXPECT_TRUE(InSet(added.get(), arcs[0]) && InSet(added.get(), arcs[1]));
    EXPECT_FALSE(InSet(added.get(), line));
    FreeList(face.arcEdges);
    FreeList(face.edges);
    face.arcEdges = face.edges = nullptr;
}

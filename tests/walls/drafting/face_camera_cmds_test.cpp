// The face, camera and wall-layer commands driven from the command line:
// an edge hidden and shown again, a camera's view in a layout viewport and
// where each refuses, and one wall's faces and lines moved to another wall
// layer while the rest stay.
#include "walls/drafting/face_camera_cmds.h"

#include <cmath>
#include <numbers>
#include <string>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/ed/viewport.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/walls/drafting/face_fixture.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

// A camera object as the library places it: a type, seven items, then the
// parameter pairs (eye height 35, opening angle 40, tilt 41).
void Camera(const Point3& at, double eye, double angle, double tilt) {
    zcdbRegApp("VELM5$_$PARAMETRI-");
    const ads_point p{at.x, at.y, at.z};
    host::ResbufList list(zcutBuildList(RTDXF0, "TEXT", 8, "PERSP_SEC", 10, p, 40, 10.0, 1, "cam", 50, 0.0,
                                        -3, 1001, "VELM5$_$PARAMETRI-", 1000, "TMS_PROS", 1070, 0, 1000, "",
                                        1000, "", 1070, 0, 1040, 0.0, 1040, 0.0, 1070, 0, 1070, 35, 1040, eye,
                                        1070, 40, 1040, angle, 1070, 41, 1040, tilt, 0));
    ASSERT_EQ(zcdbEntMake(list.get()), RTNORM);
}

class FaceCameraCmdsTest : public WallsTest {
protected:
    // A layout with viewport 2 current.
    static void Layout() {
        ASSERT_EQ(run({"TILEMODE", "0", "_MSPACE"}), RTNORM);
        resbuf cv;
        ASSERT_EQ(zcedGetVar("CVPORT", &cv), RTNORM);
        ASSERT_EQ(cv.resval.rint, 2);
    }
    static ZcGeVector3d Direction() {
        ZcDbObjectPointer<ZcDbViewport> vp(zcedGetCurViewportObjectId(), ZcDb::kForRead);
        return vp ? vp->viewDirection() : ZcGeVector3d();
    }
    static ZcGePoint3d Target() {
        ZcDbObjectPointer<ZcDbViewport> vp(zcedGetCurViewportObjectId(), ZcDb::kForRead);
        return vp ? vp->viewTarget() : ZcGePoint3d();
    }
    static double Lens() {
        ZcDbObjectPointer<ZcDbViewport> vp(zcedGetCurViewportObjectId(), ZcDb::kForRead);
        return vp ? vp->lensLength() : 0.0;
    }
    static bool Has(const std::string& text) { return transcript().find(text) != std::string::npos; }
};

}  // namespace

TEST_F(FaceCameraCmdsTest, an_edge_picked_twice_is_shown_again_and_other_entities_are_refused) {
    ads_name face;
    Face(face, "0", {0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0});
    ASSERT_EQ(run({"VELMVISEDGE", "!pick 50,0", ""}), RTNORM);
    EXPECT_EQ(EdgeFlags(face), 1);
    ASSERT_EQ(run({"VELMVISEDGE", "!pick 100,40", "!pick 100,40", ""}), RTNORM);
    EXPECT_EQ(EdgeFlags(face), 1) << "the second pick brings the edge back";

    run({"_LINE", "0,300", "100,300", ""});
    ASSERT_EQ(run({"VELMVISEDGE", "!pick 50,300", ""}), RTNORM);
    EXPECT_TRUE(Has("\nElement nie jest obiektem 3DFACE"));
}

TEST_F(FaceCameraCmdsTest, a_camera_looks_level_ahead_or_straight_up_and_its_lens_follows_the_angle) {
    Layout();
    Camera({900, 200, 0}, 160, 60, 0);
    // Enter takes the last entity.
    ASSERT_EQ(run({"VELMPERSP", ""}), RTNORM);
    EXPECT_NEAR(Target().x, 900, 1e-9);
    EXPECT_NEAR(Target().y, 10200, 1e-6);
    EXPECT_NEAR(Target().z, 160, 1e-9);
    EXPECT_NEAR(Direction().y, -10000, 1e-6);
    EXPECT_NEAR(Direction().z, 0, 1e-6);
    EXPECT_NEAR(Lens(), 18.0 / std::tan(std::numbers::pi / 6), 1e-9);

    // In metres the camera looks 100 units ahead; tilted 90 straight up.
    SetSettingReal(SetupVar::SFTMTCM, 0.01);
    Camera({0, 0, 0}, 1.6, 90, 90);
    ASSERT_EQ(run({"VELMPERSP", ""}), RTNORM);
    EXPECT_NEAR(Target().x, 0, 1e-9);
    EXPECT_NEAR(Target().y, 0, 1e-9);
    EXPECT_NEAR(Target().z, 101.6, 1e-9);
    EXPECT_NEAR(Lens(), 18.0, 1e-9);
    // The camera layer is frozen again after the view is set.
    EXPECT_EQ(count("0=TEXT 8=PERSP_SEC"), 2);
}

TEST_F(FaceCameraCmdsTest, a_camera_is_refused_at_a_zero_angle_in_paper_space_and_in_the_model_tab) {
    Layout();
    Camera({0, 0, 0}, 160, 0, 0);
    const double lens = Lens();
    ASSERT_EQ(run({"VELMPERSP", ""}), RTNORM);
    EXPECT_TRUE(Has("\nNieprawidłowy kąt otwarcia dla aparatu fotograficznego"));
    EXPECT_EQ(Lens(), lens);

    ASSERT_EQ(run({"_PSPACE", "VELMPERSP"}), RTNORM);
    EXPECT_TRUE(Has("\nPolecenie to nie może być stosowane w obszarze papieru"));

    ASSERT_EQ(run({"TILEMODE", "1"}), RTNORM);
    Camera({0, 0, 0}, 160, 60, 0);
    ASSERT_EQ(run({"VELMPERSP", ""}), RTNORM);
    EXPECT_TRUE(Has("\nPolecenie to nie może być stosowane w obszarze modelu"));

    // A line is no camera.
    run({"_LINE", "0,300", "100,300", ""});
    ASSERT_EQ(run({"VELMPERSP", ""}), RTNORM);
    EXPECT_TRUE(Has("\nWybrany obiekt nie jest aparatem fotograficznym"));
}

namespace {

// Every 3DFACE whose corners all have x = `x`, on the layer.
int FacesAtX(double x, const std::string& layer) {
    int n = 0;
    WallsTest::ForEachSelected(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 0), [&](const ads_name e) {
        host::ResbufList list(zcdbEntGet(e));
        bool on = true;
        for (int code = 10; code <= 13; ++code)
            on = on && std::fabs(FindRbCode(list.get(), code)->resval.rpoint[0] - x) < 1e-6;
        n += on ? 1 : 0;
    });
    return n;
}

}  // namespace

TEST_F(FaceCameraCmdsTest, the_faces_and_lines_of_the_picked_wall_face_alone_move_to_the_chosen_wall_layer) {
    ASSERT_EQ(run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij", "", "VELMWALL3D", ""}),
              RTNORM);
    ASSERT_EQ(run({"!dialog 176 edit 1036 \"2DWALLS_B\" click 1035 ok", "VELMLWALL"}), RTNORM);
    // A face of another floor in the same plane stays where it is.
    ads_name other;
    Face(other, "VELM3DWALLS$300", {615, 0, 300}, {615, 100, 300}, {615, 100, 400}, {615, 0, 400});
    const int outer = FacesAtX(615, "VELM3DWALLS$0");
    const int inner = FacesAtX(585, "VELM3DWALLS$0");
    ASSERT_GT(outer, 0);

    run({"!dialog 345 select 1452 \"2DWALLS_B\"", "VELMXLW3D", "!pick 615,200"});
    EXPECT_EQ(FacesAtX(615, "VELM3DWALLS_B$0"), outer);
    EXPECT_EQ(FacesAtX(585, "VELM3DWALLS$0"), inner);
    EXPECT_EQ(FacesAtX(615, "VELM3DWALLS$300"), 1);

    // The lines: one face, then the whole outer contour.
    run({"!dialog 345 select 1452 \"2DWALLS_B\"", "VELMWALLML", "!pick 615,200"});
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS_B$0"), 1);
    run({"!dialog 345 select 1452 \"2DWALLS_B\"", "VELMWALLML", "Zewnętrzny", "!pick 300,-15"});
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS_B$0"), 4);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$0"), 4);

    // A pick of a line that is no wall asks again.
    run({"_LINE", "100,200", "300,200", ""});
    run({"!dialog 345 select 1452 \"2DWALLS_B\"", "VELMWALLML", "!pick 200,200"});
    EXPECT_TRUE(Has("\nWybrany element nie jest ani linią, ani łukiem reprezentującym ścianę"));
}

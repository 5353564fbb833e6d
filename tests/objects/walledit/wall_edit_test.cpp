// Wall editing: the face moved whole with the walls at its ends following,
// a recess cut into a stretch, nothing changed when nothing moves, and the
// pick taken from the pick-first selection only when it is one line.
#include "objects/walledit/wall_edit.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/util/findfile.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

using Spans = std::vector<std::pair<double, double>>;

Spans Along(const std::vector<FaceLine>& lines, bool horizontal, double at) {
    Spans out;
    for (const FaceLine& l : lines) {
        const double a = horizontal ? l.start.y : l.start.x, b = horizontal ? l.end.y : l.end.x;
        if (std::abs(a - at) > 1e-6 || std::abs(b - at) > 1e-6) continue;
        const double s = horizontal ? l.start.x : l.start.y, e = horizontal ? l.end.x : l.end.y;
        // Moved points carry rounding noise from the polar moves.
        const auto r = [](double v) { return std::round(v * 1e6) / 1e6; };
        out.emplace_back(r(std::min(s, e)), r(std::max(s, e)));
    }
    std::sort(out.begin(), out.end());
    return out;
}

constexpr const char* kPickPrompt = "Wybierz linię ściany bocznej, którą chcesz modyfikować:";

}  // namespace

class WallEditTest : public WallsTest {
protected:
    // The object library's definitions, for the doors of the tests.
    static void UseSupportFiles() {
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
    }
    void Room() {
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
        ASSERT_EQ(Lines().size(), 8u) << transcript();
    }
};

TEST_F(WallEditTest, enter_moves_the_whole_face_and_the_walls_at_both_ends_follow_it) {
    Room();
    run({"VELMEDITWALL", "!pick 400,-15", "", "20"});
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 8u) << transcript();
    EXPECT_EQ(Along(lines, true, -35.0), (Spans{{-15.0, 615.0}}));
    EXPECT_TRUE(Along(lines, true, -15.0).empty()) << "the old face is gone";
    EXPECT_EQ(Along(lines, false, -15.0), (Spans{{-35.0, 415.0}}));
    EXPECT_EQ(Along(lines, false, 615.0), (Spans{{-35.0, 415.0}}));
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna");
}

TEST_F(WallEditTest, a_recess_makes_its_two_sides_and_keeps_the_old_faces_outer_pieces) {
    Room();
    // From the end nearer the pick (x 615): 100 to the recess, 200 wide.
    run({"VELMEDITWALL", "!pick 400,-15", "100", "200", "20"});
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 12u) << transcript();
    EXPECT_EQ(Along(lines, true, -15.0), (Spans{{-15.0, 315.0}, {515.0, 615.0}}));
    EXPECT_EQ(Along(lines, true, -35.0), (Spans{{315.0, 515.0}}));
    EXPECT_EQ(Along(lines, false, 315.0), (Spans{{-35.0, -15.0}}));
    EXPECT_EQ(Along(lines, false, 515.0), (Spans{{-35.0, -15.0}}));
    EXPECT_EQ(Along(lines, false, -15.0), (Spans{{-15.0, 415.0}})) << "the side walls stay";
}

TEST_F(WallEditTest, the_width_mode_measures_from_the_face_across_and_no_displacement_changes_nothing) {
    Room();
    run({"VELMEDITWALL", "!pick 400,-15", "", "0"});
    EXPECT_EQ(Along(Lines(), true, -15.0), (Spans{{-15.0, 615.0}}));
    run({"VELMEDITWALL", "!pick 400,-15", "", "Szerokość", "30"});
    EXPECT_EQ(Along(Lines(), true, -15.0), (Spans{{-15.0, 615.0}})) << "the width it has changes nothing";
    run({"VELMEDITWALL", "!pick 400,-15", "", "Szerokość", "60"});
    EXPECT_EQ(Along(Lines(), true, -45.0), (Spans{{-15.0, 615.0}})) << transcript();
}

TEST_F(WallEditTest, one_pick_first_line_skips_the_prompt_and_two_do_not) {
    Room();
    run({"!select 400,-15", "VELMEDITWALL", "", "20"});
    EXPECT_EQ(transcript().find(kPickPrompt), std::string::npos);
    EXPECT_EQ(Along(Lines(), true, -35.0), (Spans{{-15.0, 615.0}})) << transcript();

    run({"!select 400,-35 400,15", "VELMEDITWALL", "!pick 400,-35", "", "20"});
    EXPECT_NE(transcript().find(kPickPrompt), std::string::npos);
    EXPECT_EQ(Along(Lines(), true, -55.0), (Spans{{-15.0, 615.0}}));
}

TEST_F(WallEditTest, a_door_of_the_moved_face_is_placed_again_in_the_thicker_wall) {
    Room();
    UseSupportFiles();
    run({"VELMOBJECT", "P1", "!pick 150,15", "100"});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1) << transcript();
    const Spans gap = Along(Lines(), true, 15.0);
    run({"VELMEDITWALL", "!pick 400,-15", "", "20"});
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1) << "exactly one door afterwards";
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(Along(lines, true, 15.0), gap) << "the inner face keeps the door's gap";
    ASSERT_EQ(Along(lines, true, -35.0).size(), 2u) << transcript();
    EXPECT_EQ(Along(lines, true, -35.0)[0].second, gap[0].second);
    EXPECT_EQ(Along(lines, true, -35.0)[1].first, gap[1].first);
}

// The door placed again stays on its own layer, whatever layer that is.
TEST_F(WallEditTest, a_door_placed_again_keeps_its_layer) {
    Room();
    UseSupportFiles();
    run({"VELMOBJECT", "P1", "!pick 150,15", "100"});
    const auto doorLayers = [] {
        std::vector<std::string> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            const host::ResbufList list(zcdbEntGetX(e, host::ResbufList(zcutBuildList(RTSTR, "*", 0)).get()));
            const resbuf* type = FindRbCode(list.get(), 0);
            if (type && std::string(type->resval.rstring) == "INSERT" &&
                FindXDataApp(list.get(), "VELM5$_$PARAMETRI-"))
                out.push_back(FindRbCode(list.get(), 8)->resval.rstring);
        }
        return out;
    };
    ASSERT_EQ(doorLayers(), (std::vector<std::string>{"VELM2DOPENINGS_W$0"})) << transcript();
    run({"VELMEDITWALL", "!pick 400,-15", "", "20"});
    EXPECT_EQ(doorLayers(), (std::vector<std::string>{"VELM2DOPENINGS_W$0"})) << transcript();

    // A door the user put on a layer of its own comes back there.
    run({"_-LAYER", "_N", "DRZWI", ""});
    for (ZcDbObjectId id : modelSpace()) {
        ads_name e;
        if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
        const host::ResbufList list(zcdbEntGetX(e, host::ResbufList(zcutBuildList(RTSTR, "*", 0)).get()));
        if (!FindXDataApp(list.get(), "VELM5$_$PARAMETRI-")) continue;
        resbuf* layer = const_cast<resbuf*>(FindRbCode(list.get(), 8));
        host::rbSetString(layer, "DRZWI");
        ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
    }
    ASSERT_EQ(doorLayers(), (std::vector<std::string>{"DRZWI"})) << transcript();
    run({"VELMEDITWALL", "!pick 400,-35", "", "20"});
    EXPECT_EQ(doorLayers(), (std::vector<std::string>{"DRZWI"})) << transcript();
}

TEST_F(WallEditTest,
       an_opening_partly_on_the_stretch_or_without_its_definition_leaves_the_drawing_as_it_was) {
    Room();
    UseSupportFiles();
    run({"VELMOBJECT", "P1", "!pick 150,15", "100"});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1) << transcript();
    const std::vector<FaceLine> before = Lines();
    const auto same = [&before](const std::vector<FaceLine>& now) {
        if (now.size() != before.size()) return false;
        for (const FaceLine& l : before)
            if (!HasLine(now, l.start, l.end)) return false;
        return true;
    };
    // From x 615: 450 to the recess, 200 wide, so one jamb lies inside.
    run({"VELMEDITWALL", "!pick 400,-15", "450", "200", "20"});
    EXPECT_NE(transcript().find("W obszarze ściany jest zawarty częsciowo otwór"), std::string::npos);
    EXPECT_TRUE(same(Lines()));

    // The door's definition renamed to one the library does not have.
    ForEachSelected(zcutBuildList(RTDXF0, "INSERT", 0), [](const ads_name e) {
        host::ResbufList apps(zcutBuildList(RTSTR, "VELM5$_$PARAMETRI-", 0));
        host::ResbufList list(zcdbEntGetX(e, apps.get()));
        for (resbuf* rb = list.get(); rb; rb = rb->rbnext)
            if (rb->restype == 1001 && rb->rbnext && rb->rbnext->restype == 1000) {
                resbuf* name = rb->rbnext;
                host::rbSetString(name, "BRAK_DEFINICJI");
                break;
            }
        zcdbEntMod(list.get());
    });
    run({"VELMEDITWALL", "!pick 400,-15", "", "20"});
    EXPECT_NE(transcript().find("Nie wszystkie otwory mogą być modyfikowane"), std::string::npos);
    EXPECT_TRUE(same(Lines())) << "nothing moved while an opening could not follow";
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1);
}

TEST(WallEditJig, counts_the_sides_of_an_opening_on_the_stretch) {
    AJIG_EMURO jig;
    jig.preview->C = {0, 0, 0};
    jig.preview->D = {600, 0, 0};
    OutlineNode door;
    door.kind = 11;
    VertexNode j1{}, j1b{}, j2{}, j2b{};
    j1.x = 100, j1.y = 0, j1b.x = 100, j1b.y = 30, j1.next = &j1b;
    j2.x = 190, j2.y = 0, j2b.x = 190, j2b.y = 30, j2.next = &j2b;
    door.jamb1 = &j1;
    door.jamb2 = &j2;
    EXPECT_EQ(jig.CountOpeningSidesOnStretch(door), 2);
    j2.x = j2b.x = 700;
    EXPECT_EQ(jig.CountOpeningSidesOnStretch(door), 1) << "one jamb beyond the stretch";
    door.kind = 18;
    EXPECT_EQ(jig.CountOpeningSidesOnStretch(door), 1) << "a corner object is never moved with the face";
}

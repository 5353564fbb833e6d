// The structural grid: axes from node to node with their overhangs on the
// locked grid layer, labels with their texts as attributes at the chosen
// ends, and the dialog's refusals.
#include "objects/drafting/grid_mesh.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "objects/drafting/dlg_prefabmaglia.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

constexpr const char* kGridLayer = "VELM2DMESH$0";

struct Label {
    Point3 at;
    std::string text;
};

// Every label INSERT with the value of its first ATTRIB.
std::vector<Label> Labels() {
    std::vector<Label> out;
    WallsTest::ForEachSelected(zcutBuildList(RTDXF0, "INSERT", 0), [&](const ads_name e) {
        Label label;
        resbuf* list = zcdbEntGet(e);
        for (const resbuf* rb = list; rb; rb = rb->rbnext)
            if (rb->restype == 10)
                label.at = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
        zcutRelRb(list);
        ads_name next;
        if (zcdbEntNext(e, next) == RTNORM) {
            resbuf* attrib = zcdbEntGet(next);
            bool isAttrib = false;
            for (const resbuf* rb = attrib; rb; rb = rb->rbnext) {
                if (rb->restype == 0) isAttrib = std::string(rb->resval.rstring) == "ATTRIB";
                if (rb->restype == 1 && isAttrib) label.text = rb->resval.rstring;
            }
            zcutRelRb(attrib);
        }
        out.push_back(label);
    });
    return out;
}

// The labels at one end, ordered along it.
std::vector<std::string> TextsWhere(const std::vector<Label>& labels, bool vertical, double c) {
    std::vector<std::pair<double, std::string>> found;
    for (const Label& l : labels)
        if (std::abs((vertical ? l.at.x : l.at.y) - c) < 1e-9)
            found.emplace_back(vertical ? l.at.y : l.at.x, l.text);
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (const auto& f : found) out.push_back(f.second);
    return out;
}

int LayerColor(const std::string& name, int* flags = nullptr) {
    resbuf* layer = zcdbTblSearch("LAYER", name.c_str(), 0);
    int color = 0;
    for (const resbuf* rb = layer; rb; rb = rb->rbnext) {
        if (rb->restype == 62) color = rb->resval.rint;
        if (rb->restype == 70 && flags) *flags = rb->resval.rint;
    }
    zcutRelRb(layer);
    return color;
}

}  // namespace

class GridMeshTest : public WallsTest {
protected:
    void SetUp() override {
        WallsTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] { return std::vector<std::string>{root + "/support"}; });
    }
    void TearDown() override {
        zcui::RemoveDialogDriver(IDD_PREFABMAGLIA);
        WallsTest::TearDown();
    }
    static void Answer(std::function<void(zcui::DialogUser&)> act) {
        zcui::InstallDialogDriver(IDD_PREFABMAGLIA, std::move(act));
    }
    static std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const zcui::MessageBoxRecord& m : zcui::MessageBoxes()) texts.push_back(m.text);
        return texts;
    }
};

TEST_F(GridMeshTest, defaults_draw_eight_by_eight_axes_lettered_below_and_numbered_on_the_left) {
    run({"VELMMESH2D", ""});
    EXPECT_EQ(count(std::string("0=LINE 8=") + kGridLayer), 112) << transcript();
    const std::vector<FaceLine> axes = Lines(kGridLayer);
    // Each axis runs 10 past its outer nodes: x = 0 from -10 to 1410.
    double low = 1e9, high = -1e9;
    for (const FaceLine& l : axes)
        if (std::abs(l.start.x) < 1e-9 && std::abs(l.end.x) < 1e-9)
            low = std::min({low, l.start.y, l.end.y}), high = std::max({high, l.start.y, l.end.y});
    EXPECT_DOUBLE_EQ(low, -10.0);
    EXPECT_DOUBLE_EQ(high, 1410.0);
    const std::vector<Label> labels = Labels();
    EXPECT_EQ(labels.size(), 16u);
    EXPECT_EQ(TextsWhere(labels, false, -10.0),
              (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G", "H"}));
    EXPECT_EQ(TextsWhere(labels, true, -10.0),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    int flags = 0;
    LayerColor(kGridLayer, &flags);
    EXPECT_TRUE(flags & 4) << "the grid's layer is locked";
}

TEST_F(GridMeshTest, a_digit_index_counts_from_it_and_a_letter_runs_on_past_z) {
    Answer([](zcui::DialogUser& u) {
        u.Edit(1262, "3");
        u.Edit(1260, "4");
        u.Edit(1269, "0");
        u.Edit(1268, "Y");
        u.Edit(1266, "K");
        u.Ok();
    });
    run({"VELMMESH2D", "100,100"});
    const std::vector<Label> labels = Labels();
    EXPECT_EQ(TextsWhere(labels, false, 90.0), (std::vector<std::string>{"K0", "K1", "K2"})) << transcript();
    EXPECT_EQ(TextsWhere(labels, true, 90.0), (std::vector<std::string>{"Y", "Z", "[", "\\"}));
    EXPECT_EQ(SettingInt(SetupVar::SETMAGLIA_ETIINDORI), '0') << "the dialog keeps its values";
}

TEST_F(GridMeshTest, one_row_draws_no_column_spans_but_every_label) {
    Answer([](zcui::DialogUser& u) {
        u.Edit(1260, "1");
        u.Ok();
    });
    run({"VELMMESH2D", ""});
    EXPECT_EQ(count(std::string("0=LINE 8=") + kGridLayer), 7) << transcript();
    EXPECT_EQ(Labels().size(), 9u);
}

TEST_F(GridMeshTest, colours_the_layer_cannot_take_leave_it_as_the_catalogue_made_it) {
    for (const short color : {0, 250}) {
        SetInt(SetupVar::SETMAGLIA_MAGLIACOL, color);
        run({"VELMMESH2D", ""});
        EXPECT_EQ(LayerColor(kGridLayer), 1) << color << transcript();
    }
    EXPECT_EQ(count(std::string("0=LINE 8=") + kGridLayer), 224) << "both grids were drawn whole";
    SetInt(SetupVar::SETMAGLIA_MAGLIACOL, 5);
    run({"VELMMESH2D", "5000,0"});
    EXPECT_EQ(LayerColor(kGridLayer), 5);
}

TEST_F(GridMeshTest, spacings_not_above_zero_and_counts_out_of_range_are_refused) {
    Answer([](zcui::DialogUser& u) {
        u.Edit(1261, "0");
        u.Ok();
        u.Edit(1261, "200");
        u.Edit(1262, "501");
        u.Ok();
        u.Edit(1262, "0");
        u.Ok();
        u.Cancel();
    });
    run({"VELMMESH2D"});
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Rozstaw siatki musi być większy od zera",
                                                 "Liczba kolumn i rzędów musi wynosić od 1 do 500",
                                                 "Liczba kolumn i rzędów musi wynosić od 1 do 500"}));
    EXPECT_EQ(count(std::string("0=LINE 8=") + kGridLayer), 0);
    EXPECT_EQ(SettingInt(SetupVar::SETMAGLIA_NCMAGLIA), 8);
}

// The labels' text height is a size: zero or less keeps the dialog open
// with the module's message, and no grid is drawn when it is then left.
TEST_F(GridMeshTest, a_text_height_of_zero_or_less_is_refused) {
    Answer([](zcui::DialogUser& u) {
        u.Edit(1265, "0");
        u.Ok();
        u.Edit(1265, "-30");
        u.Ok();
        u.Cancel();
    });
    run({"VELMMESH2D"});
    EXPECT_EQ(Boxes(), (std::vector<std::string>{OutOfRangeMessage(), OutOfRangeMessage()}));
    EXPECT_EQ(count(std::string("0=LINE 8=") + kGridLayer), 0);
}

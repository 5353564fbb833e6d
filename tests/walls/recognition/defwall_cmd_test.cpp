// "VELMDEFWALL" over a recognition session of test walls, and its dialog.
#include "walls/recognition/defwall_cmd.h"

#include "host/db/dbents.h"
#include "host/ui/hostdialogs.h"
#include "tests/walls/wall_types_fixture.h"
#include "walls/recognition/dlg_def_muri.h"

namespace {

// Records what the command asks of the recognition; one wall whose
// build-up is one hatched strip and one strip marked for its inner line.
class TestSession : public WallRecognitionSession {
public:
    explicit TestSession(std::vector<std::string>& log) : log(log) {}
    CListMuri& WallTypes() override { return types; }
    int DrawingScale() const override { return 50; }
    double Elevation() const override { return 0.0; }
    std::string BlockLayer() const override { return "VELMSTRAT_BLOCK$0"; }
    int WallPairCount() const override { return paired ? 1 : 0; }
    bool SecondSegmentExternal(int) const override { return false; }
    void SwapSegments(int) override {}
    std::vector<LayerOutline> LayerOutlines(int) override {
        log.push_back("outlines");
        std::vector<LayerOutline> out(2);
        for (int i = 0; i < 2; ++i) {
            out[i].layer = "2DWALLS_MASONRY";
            out[i].pattern = i == 0 ? "ANSI31" : "0";
            VertexNode* ring = nullptr;
            AppendVertex(&ring, {0, 15.0 * i, 0}, i, 0, 0);
            AppendVertex(&ring, {100, 15.0 * i, 0}, 0, 0, 0);
            AppendVertex(&ring, {100, 15.0 * i + 15, 0}, 0, 0, 0);
            AppendVertex(&ring, {0, 15.0 * i + 15, 0}, 0, 0, 0);
            out[i].rings.emplace_back(ring);
        }
        return out;
    }
    void BuildFaceGraph() override { log.push_back("build"); }
    void RebuildFaceGraph() override { log.push_back("rebuild"); }
    void ClearFaceGraph() override { log.push_back("clear"); }
    void SplitAtPilasters() override { log.push_back("split"); }
    void FreeSegments() override { log.push_back("free"); }
    void PairSegments() override {
        log.push_back("pair");
        paired = true;
    }
    ZcDbEntity* NewDisplayEntity() override {
        log.push_back("display");
        auto* e = new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 1, 0));
        e->setLayer("0");
        return e;
    }
    bool AssignWallTypeToLines(const std::string& name) override {
        log.push_back("assign " + name);
        return false;
    }

    std::vector<std::string>& log;
    CListMuri types;
    bool paired = false;
};

class DefWall : public WallTypesTest {
protected:
    void SetUp() override {
        WallTypesTest::SetUp();
        copyShipped({"LAYERC.DEF", "CEGLA.mxt", "ZELBET.mxt"});
        SetWallRecognitionFactory([this] { return std::make_unique<TestSession>(log); });
    }
    void TearDown() override {
        SetWallRecognitionFactory(nullptr);
        WallTypesTest::TearDown();
    }
    std::vector<std::string> log;
};

}  // namespace

TEST_F(DefWall, assign_then_draw_rebuilds_the_graph_keeps_the_choice_and_draws_once) {
    int opening = 0;
    std::string selectedOnReopen;
    std::vector<std::string> rows;
    zcui::InstallDialogDriver(IDD_DEFMURI, [&](zcui::DialogUser& u) {
        CListCtrl* l = u.Get<CListCtrl>(1078);
        if (opening++ == 0) {
            for (int i = 0; i < l->GetItemCount(); ++i)
                rows.push_back(l->GetItemText(i, 0) + "|" + l->GetItemText(i, 1) + "|" +
                               l->GetItemText(i, 2));
            u.Select(1078, std::string("Ściana żelbetowa"));
            u.Click(4);
        } else {
            selectedOnReopen = l->GetItemText(l->GetNextItem(-1, LVNI_SELECTED), 0);
            u.Click(1061);
        }
    });
    CmdDefWall();
    EXPECT_EQ(rows, (std::vector<std::string>{"Ściana ogólna|7|0", "Ściana z cegły pełnej|30|30",
                                              "Ściana żelbetowa|5|50"}));
    EXPECT_EQ(selectedOnReopen, "Ściana żelbetowa");
    EXPECT_EQ(log, (std::vector<std::string>{"build", "split", "display", "free", "assign Ściana żelbetowa",
                                             "rebuild", "split", "display", "pair", "outlines", "clear"}));
    // The display entities are gone; the build-up block stands alone.
    EXPECT_EQ(count("0=LINE"), 0);
    EXPECT_EQ(count("0=INSERT 8=VELMSTRAT_BLOCK$0"), 1);
}

TEST_F(DefWall, closing_ends_without_drawing_and_without_files_nothing_opens) {
    zcui::InstallDialogDriver(IDD_DEFMURI, [](zcui::DialogUser& u) { u.Cancel(); });
    CmdDefWall();
    EXPECT_EQ(log, (std::vector<std::string>{"build", "split", "display", "clear"}));
    EXPECT_EQ(count("0=INSERT"), 0);

    std::filesystem::remove(data.path("CEGLA.mxt"));
    std::filesystem::remove(data.path("ZELBET.mxt"));
    log.clear();
    CmdDefWall();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(zcui::DialogsShown().size(), 1u);
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Nie znaleziono żadnego pliku MXT"}));

    // Without its recognition set the command is a caller's fault: it stops.
    SetWallRecognitionFactory(nullptr);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(CmdDefWall(), "VELM_ASSERT\\(Factory\\(\\)\\)");
    EXPECT_EQ(zcui::DialogsShown().size(), 1u);
}

TEST_F(WallTypesTest, assignment_list_draws_each_type_in_its_colour_on_its_row) {
    CListMuri types;
    CMuro m;
    m.name = "Cegła";
    m.color = 30;
    m.priority = 4;
    types.push_back(m);
    CDlgDefMuri dlg(types);
    dlg.m_chosenName = "nieznana";
    std::vector<DrawOp> paint;
    std::string chosen;
    zcui::InstallDialogDriver(IDD_DEFMURI, [&](zcui::DialogUser& u) {
        CListCtrl* l = u.Get<CListCtrl>(1078);
        EXPECT_EQ(l->GetNextItem(-1, LVNI_SELECTED), 0);
        EXPECT_EQ(l->GetColumnWidth(0), 165);
        u.Select(1078, 1);
        l->RedrawWindow();
        paint = l->PaintRecord();
        u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_chosenName, "Cegła");
    EXPECT_EQ(dlg.m_action, CDlgDefMuri::kNone);
    int swatches = 0;
    for (const DrawOp& op : paint)
        if (op.kind == DrawOp::Kind::Fill && op.colour == zcedGetRGB(30)) ++swatches;
    EXPECT_EQ(swatches, 1);
}

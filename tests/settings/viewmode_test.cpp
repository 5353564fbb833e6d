// View-mode lists: the file grammar, the shipped lists, and the mode applied
// to layers in model space and to a viewport in paper space.
#include "settings/viewmode.h"

#include <gtest/gtest.h>

#include "host/win/textfile.h"
#include "settings/floors.h"
#include "tests/settings/floors_drawing.h"

namespace {

VxdLists Lists() {
    return ParseVxdLines({"V2D", "VELM2D*", "BOTH*", "V3D", "VELM3D*", "both*", "END"});
}

}  // namespace

TEST(VxdFile, sections_are_found_ignoring_case_and_text_around_them_is_ignored) {
    const VxdLists l = ParseVxdLines({"intro", "v2d lists", "a*", "V3Dx", "b*", "end", "c*"});
    EXPECT_EQ(l.list2d, std::vector<std::string>{"A*"});
    EXPECT_EQ(l.list3d, std::vector<std::string>{"B*"});
    EXPECT_TRUE(l.complete);
    EXPECT_TRUE(ParseVxdLines({"no sections", "a*"}).list2d.empty());
    const VxdLists open = ParseVxdLines({"V2D", "a", "V3D", "b"});
    EXPECT_FALSE(open.complete);
    EXPECT_EQ(open.list3d, std::vector<std::string>{"B"});
    EXPECT_EQ(ParsePatternLines({"velm*slab", std::string(200, 'x')})[1].size(), 122u);
}

TEST(VxdFile, shipped_lists_read_with_both_sections_and_match_level_layers) {
    for (const char* name : {kVxdListFile, kRoofPlateListFile, kFloorPlateListFile}) {
        const auto file = host::readTextFile(std::string(VELM_SOURCE_DIR) + "/support/" + name);
        ASSERT_TRUE(file) << name;
        EXPECT_FALSE(file->lines.empty()) << name;
    }
    const auto vxd = host::readTextFile(std::string(VELM_SOURCE_DIR) + "/support/VXD.LST");
    ASSERT_TRUE(vxd);
    const VxdLists l = ParseVxdLines(vxd->lines);
    EXPECT_TRUE(l.complete);
    EXPECT_EQ(FindLayerInVxdList(l, "velm2dwalls$300", 2, 3), 2);
    EXPECT_EQ(FindLayerInVxdList(l, "2DWALLS", 2, 3), 2);
}

TEST(VxdMatch, lists_ignore_case_and_the_3d_list_is_applied_last) {
    const VxdLists l = Lists();
    EXPECT_EQ(FindLayerInVxdList(l, "velm2dwalls$0", 2, 3), 2);
    EXPECT_EQ(FindLayerInVxdList(l, "VELM3DWALLS$0", 2, 3), 3);
    EXPECT_EQ(FindLayerInVxdList(l, "Both", 2, 3), 2);  // the 2D list is searched first
    EXPECT_EQ(FindLayerInVxdList(l, "TEXT", 2, 3), -1);
    EXPECT_EQ(VxdThawDecision(l, "Both", kViewMode2D), false);
    EXPECT_EQ(VxdThawDecision(l, "Both", kViewModeBoth), true);
    EXPECT_EQ(VxdThawDecision(l, "VELM2DX", kViewMode3D), false);
    EXPECT_FALSE(VxdThawDecision(l, "TEXT", kViewMode3D));
}

TEST(VxdApply, model_space_freezes_and_thaws_the_layers) {
    FloorsDrawing d;
    d.layer("VELM2DWALLS$0");
    d.layer("VELM3DWALLS$0", true);
    d.layer("BOTHLAYER");
    d.layer("TEXT", true);
    ApplyViewModeLists(&d.db, Lists(), 1, kViewMode2D, {}, nullptr);
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    EXPECT_TRUE(d.frozen("BOTHLAYER"));
    EXPECT_TRUE(d.frozen("TEXT"));  // in no list: untouched
    ApplyViewModeLists(&d.db, Lists(), 1, kViewModeBoth, {}, nullptr);
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
    EXPECT_FALSE(d.frozen("BOTHLAYER"));
}

TEST(VxdApply, paper_space_skips_the_floors_a_viewport_hides) {
    FloorsDrawing d;
    ZcDbObjectId hidden2d = d.layer("VELM2DWALLS$300");
    ZcDbObjectId hidden3d = d.layer("VELM3DWALLS$300");
    d.layer("VELM3DWALLS$0");
    ZcDbObjectId vp = d.viewport();
    ZcDbViewport* v = nullptr;
    ASSERT_EQ(zcdbOpenObject(v, vp, ZcDb::kForWrite), Zcad::eOk);
    v->freezeLayersInViewport({hidden2d, hidden3d});
    v->close();
    VELM_PIANI p;
    p.Reset();
    ApplyViewModeLists(&d.db, Lists(), 0, kViewMode3D, vp, &p);
    EXPECT_TRUE(d.frozenIn(vp, "VELM3DWALLS$300"));  // its floor stays hidden
    EXPECT_FALSE(d.frozenIn(vp, "VELM3DWALLS$0"));
    EXPECT_FALSE(d.frozen("VELM3DWALLS$300"));  // layers themselves untouched
    ApplyViewModeLists(&d.db, Lists(), 0, kViewMode2D, vp, &p);
    EXPECT_TRUE(d.frozenIn(vp, "VELM3DWALLS$0"));
}

TEST(VxdApply, viewport_state_reads_only_layers_without_a_level) {
    FloorsDrawing d;
    d.layer("VELM2DPLAN");
    ZcDbObjectId p3 = d.layer("VELM3DPLAN");
    d.layer("VELM3DWALLS$0");
    ZcDbObjectId vp = d.viewport();
    ZcDbViewport* v = nullptr;
    ASSERT_EQ(zcdbOpenObject(v, vp, ZcDb::kForWrite), Zcad::eOk);
    v->freezeLayersInViewport({p3});
    v->close();
    const VxdViewportState s = GetViewportVxdState(&d.db, Lists(), vp);
    EXPECT_TRUE(s.shows2d);
    EXPECT_FALSE(s.shows3d);
    EXPECT_FALSE(GetViewportVxdState(&d.db, Lists(), {}).shows2d);
}

TEST(VxdApply, plate_lists_switch_layers_or_the_viewport) {
    FloorsDrawing d;
    d.layer("VELMTETTI$300");
    d.layer("OTHER");
    const auto patterns = ParsePatternLines({"velmtetti*"});
    SwitchLayerList(&d.db, patterns, 1, false, {});
    EXPECT_TRUE(d.frozen("VELMTETTI$300"));
    EXPECT_FALSE(d.frozen("OTHER"));
    SwitchLayerList(&d.db, patterns, 1, true, {});
    EXPECT_FALSE(d.frozen("VELMTETTI$300"));
    ZcDbObjectId vp = d.viewport();
    SwitchLayerList(&d.db, patterns, 0, false, vp);
    EXPECT_TRUE(d.frozenIn(vp, "VELMTETTI$300"));
    EXPECT_FALSE(d.frozen("VELMTETTI$300"));
}

TEST(VxdApply, plan_view_asks_for_2d) {
    EXPECT_EQ(ViewModeForDirection({0, 0, 1}), kViewMode2D);
    EXPECT_EQ(ViewModeForDirection({1, -1, 1}), kViewMode3D);
    EXPECT_EQ(ViewModeForDirection({0, 1e-3, 1}), kViewMode3D);
}

TEST(VxdFile, a_list_without_its_markers_in_order_is_faulted_at_its_last_line) {
    EXPECT_FALSE(VxdListFault({"intro", "v2d", "a*", "V3D", "b*", "End"}));
    const struct {
        std::vector<std::string> lines;
        std::size_t line;
        const char* what;
    } cut[] = {{{}, 1, "brak wiersza V2D"},
               {{"a*", "V3D", "END"}, 3, "brak wiersza V2D"},
               {{"V2D", "a*", "END"}, 3, "brak wiersza V3D"},
               {{"V2D", "a*", "V3D", "b*"}, 4, "brak wiersza END"}};
    for (const auto& c : cut) {
        std::optional<SupportFault> fault = VxdListFault(c.lines);
        ASSERT_TRUE(fault) << c.what;
        EXPECT_EQ(fault->line, c.line);
        EXPECT_EQ(fault->what, c.what);
    }
    std::optional<host::TextFile> shipped =
        host::readTextFile(std::string(VELM_SOURCE_DIR) + "/support/VXD.LST");
    ASSERT_TRUE(shipped);
    EXPECT_FALSE(VxdListFault(shipped->lines));
}

// Selections over many entities keep database and pick order and never hold
// a member twice: interactive picks mixed with ALL and removals, long runs
// of set additions and deletions, "X" filters read through compiled
// patterns (ASCII and Polish text, case ignored), and picks that skip
// entities on hidden layers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ads_ent_fixture.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbmain.h"
#include "host/ed/adspick.h"
#include "host/win/textutil.h"

namespace {

using Ids = std::vector<ZcDbObjectId>;

class SelectionScale : public AdsDrawing {
protected:
    // Short vertical lines at x = 0, 10, 20 ...
    static Ids row(int n, const char* layer = "0") {
        Ids ids;
        for (int i = 0; i < n; ++i)
            ids.push_back(add(new ZcDbLine({10.0 * i, 0, 0}, {10.0 * i, 1, 0}), layer));
        return ids;
    }
    static Ids interactive() {
        ads_name ss;
        if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, ss) != RTNORM) return {};
        Ids ids = host::selectionMembers(ss);
        zcedSSFree(ss);
        return ids;
    }
    static Ids selectX(resbuf* filter) {
        ads_name ss;
        const int rc = zcedSSGet("X", nullptr, nullptr, filter, ss);
        zcutRelRb(filter);
        if (rc != RTNORM) return {};
        Ids ids = host::selectionMembers(ss);
        zcedSSFree(ss);
        return ids;
    }
    static void setLayer(const char* name, bool off, bool frozen) {
        ZcDbLayerTableRecord* layer = nullptr;
        ASSERT_EQ(zcdbOpenObject(layer, db()->recordId(db()->layerTableId(), name), ZcDb::kForWrite),
                  Zcad::eOk);
        layer->setIsOff(off);
        layer->setIsFrozen(frozen);
        layer->close();
    }
};

}  // namespace

TEST_F(SelectionScale, picks_then_all_keep_pick_order_then_database_order_without_duplicates) {
    const Ids lines = row(200);
    feed({"!pick 1500,0.5", "!pick 30,0.5", "!pick 1500,0.5", "ALL", "!pick 30,0.5", ""});
    const Ids got = interactive();
    ASSERT_EQ(got.size(), lines.size());
    EXPECT_EQ(got[0], lines[150]);
    EXPECT_EQ(got[1], lines[3]);
    Ids rest;
    for (size_t i = 0; i < lines.size(); ++i)
        if (i != 150 && i != 3) rest.push_back(lines[i]);
    EXPECT_EQ(Ids(got.begin() + 2, got.end()), rest);
    EXPECT_NE(transcript().find("Znaleziono: 200, razem 200"), std::string::npos);
}

TEST_F(SelectionScale, removing_by_window_keeps_the_order_of_the_rest_and_a_member_can_come_back) {
    const Ids lines = row(300);
    // Remove x = 500 .. 1490 (lines 50 .. 149), then add line 60 again: it
    // goes to the end.
    feed({"ALL", "R", "W", "495,-1", "1495,2", "A", "!pick 600,0.5", ""});
    const Ids got = interactive();
    Ids want(lines.begin(), lines.begin() + 50);
    want.insert(want.end(), lines.begin() + 150, lines.end());
    want.push_back(lines[60]);
    EXPECT_EQ(got, want);
}

TEST_F(SelectionScale, all_first_then_picks_removals_and_replacing_picks_keep_one_of_each) {
    const Ids lines = row(40);
    feed({"ALL", "!pick 30,0.5", "R", "!pick 30,0.5", "A", "!pick 30,0.5", "!pick 30,0.5", ""});
    Ids want = lines;
    want.erase(want.begin() + 3);
    want.push_back(lines[3]);
    EXPECT_EQ(interactive(), want);
    host::setSysVar("PICKADD", short(0));
    feed({"ALL", "!pick 50,0.5", ""});
    EXPECT_EQ(interactive(), (Ids{lines[5]}));
    feed({"!pick 50,0.5", "ALL", "R", "!pick 50,0.5", ""});
    want = lines;
    want.erase(want.begin() + 5);
    EXPECT_EQ(interactive(), want);
    // A previous set handed over with repeats holds each once, first place kept.
    host::setPreviousSelection({lines[7], lines[2], lines[7], lines[2], lines[0]});
    EXPECT_EQ(host::previousSelection(), (Ids{lines[7], lines[2], lines[0]}));
}

TEST_F(SelectionScale, long_runs_of_additions_and_deletions_keep_membership_and_order) {
    const Ids lines = row(3000);
    ads_name ss, e;
    ASSERT_EQ(zcedSSAdd(nullptr, nullptr, ss), RTNORM);
    for (ZcDbObjectId id : lines) {
        zcdbGetAdsName(e, id);
        ASSERT_EQ(zcedSSAdd(e, ss, ss), RTNORM);
    }
    for (size_t i = 0; i < lines.size(); i += 2) {
        zcdbGetAdsName(e, lines[i]);
        ASSERT_EQ(zcedSSDel(e, ss), RTNORM);
    }
    // Deleted members come back at the end, present members stay put.
    for (size_t i = 0; i < 100; ++i) {
        zcdbGetAdsName(e, lines[i]);
        ASSERT_EQ(zcedSSAdd(e, ss, ss), RTNORM);
    }
    Ids want;
    for (size_t i = 1; i < lines.size(); i += 2) want.push_back(lines[i]);
    for (size_t i = 0; i < 100; i += 2) want.push_back(lines[i]);
    EXPECT_EQ(host::selectionMembers(ss), want);
    for (size_t i = 0; i < lines.size(); ++i) {
        zcdbGetAdsName(e, lines[i]);
        EXPECT_EQ(zcedSSMemb(e, ss), (i % 2 || i < 100) ? RTNORM : RTERROR) << i;
    }
    zcedSSFree(ss);
}

TEST_F(SelectionScale, x_filters_match_ascii_and_polish_text_ignoring_case_in_database_order) {
    const ZcDbObjectId a = add(new ZcDbLine({0, 0, 0}, {1, 0, 0}), "ŚCIANY-1");
    const ZcDbObjectId b = add(new ZcDbCircle({5, 0, 0}, {0, 0, 1}, 1), "ściany-2");
    const ZcDbObjectId c = add(new ZcDbLine({9, 0, 0}, {10, 0, 0}), "Okna");
    const ZcDbObjectId d = add(new ZcDbLine({9, 5, 0}, {10, 5, 0}), "Mury7");
    EXPECT_EQ(selectX(zcutBuildList(8, "ściany-#", 0)), (Ids{a, b}));
    EXPECT_EQ(selectX(zcutBuildList(8, "~Ś*", 0)), (Ids{c, d}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "line", 8, "okna,mury@,mury#", 0)), (Ids{c, d}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "~l*", 0)), (Ids{b}));
    EXPECT_EQ(selectX(zcutBuildList(-4, "!=", 8, "[ŚO]*", 0)), (Ids{d}));
    // The previous set is the last "X" result, in the same order.
    ads_name ss;
    ASSERT_EQ(zcedSSGet("P", nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(host::selectionMembers(ss), (Ids{d}));
    zcedSSFree(ss);

    // A compiled pattern answers as the one-off match of the upper-cased
    // text does, on ASCII and non-ASCII text alike.
    const char* patterns[] = {"*", "A?C", "#*", "@@", "[a-c]*", "[~x]", "`*", "ab,~c*", "Ż*", "?Ł?", ".", ""};
    const char* texts[] = {"abc", "ABC", "1x", "ab", "xy", "*", "c", "żółw", "ŁŁŁ", "-", "", "aŁc"};
    for (const char* p : patterns) {
        const host::WcPattern compiled(host::toUpper(p));
        for (const char* t : texts)
            EXPECT_EQ(compiled.matches(t, true),
                      host::wcMatch(host::toUpper(t).c_str(), host::toUpper(p).c_str()))
                << p << " / " << t;
    }
}

TEST_F(SelectionScale, picks_and_windows_skip_hidden_layers_and_see_them_again_when_shown) {
    const Ids shown = row(50, "Widoczna");
    add(new ZcDbLine({1, 0, 0}, {1, 1, 0}), "Wyłączona");
    add(new ZcDbLine({11, 0, 0}, {11, 1, 0}), "Zamrożona");
    setLayer("Wyłączona", true, false);
    setLayer("Zamrożona", false, true);
    // Each pick lands next to a hidden line and takes the visible one beyond.
    feed({"!pick 1.2,0.5", "!pick 11.2,0.5", ""});
    EXPECT_EQ(interactive(), (Ids{shown[0], shown[1]}));
    feed({"ALL", ""});
    EXPECT_EQ(interactive(), shown);
    setLayer("Wyłączona", false, false);
    feed({"ALL", ""});
    EXPECT_EQ(interactive().size(), shown.size() + 1);
}

TEST_F(SelectionScale, picks_find_lines_and_tilted_circles_up_to_the_edge_of_the_aperture) {
    const double aperture = host::pickAperture();
    const ZcDbObjectId line = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    // Standing on its edge: seen from above, a segment from y = 48 to 52.
    const ZcDbObjectId tilted = add(new ZcDbCircle({50, 50, 0}, {1, 0, 0}, 2));
    add(new ZcDbLine({200, 0, 0}, {210, 0, 0}));
    const std::string inside = "!pick 5," + std::to_string(aperture * 0.999);
    const std::string beyondEnd = "!pick " + std::to_string(10 + aperture * 1.001) + ",0";
    feed({inside.c_str(), "!pick 50.5,52.5", ""});
    EXPECT_EQ(interactive(), (Ids{line, tilted}));
    ads_name e;
    ads_point p;
    curDoc()->inputQueue().pushLine(beyondEnd.c_str());
    EXPECT_EQ(zcedEntSel(nullptr, e, p), RTERROR);
}

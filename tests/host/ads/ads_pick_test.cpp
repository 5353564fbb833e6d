// Picks, nested picks, object snaps, interactive selection and the
// pick-first set, answered through the document's input queue.
#include <gtest/gtest.h>

#include <string>

#include "host/ads/adsent.h"
#include "host/ads/editor.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbmain.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "tests/host/ads/ads_ent_fixture.h"

namespace {

class AdsPick : public AdsDrawing {
protected:
    void SetUp() override {
        AdsDrawing::SetUp();
        ASSERT_NEAR(host::pickAperture(), 2.97, 1e-9);  // APERTURE 10 on a view 297 high
    }
    static std::optional<ZcGePoint3d> snap(const char* mode, ZcGePoint3d at) {
        ads_point p{at.x, at.y, at.z}, r;
        if (zcedOsnap(p, mode, r) != RTNORM) return std::nullopt;
        return ZcGePoint3d(r[0], r[1], r[2]);
    }
    static std::vector<ZcDbObjectId> interactive(const char* mode, const void* pt1 = nullptr,
                                                 int* status = nullptr) {
        ads_name ss;
        int rc = zcedSSGet(mode, pt1, nullptr, nullptr, ss);
        if (status) *status = rc;
        if (rc != RTNORM) return {};
        std::vector<ZcDbObjectId> ids = host::selectionMembers(ss);
        zcedSSFree(ss);
        return ids;
    }
};

using Ids = std::vector<ZcDbObjectId>;

void expectNear(const std::optional<ZcGePoint3d>& got, ZcGePoint3d want) {
    ASSERT_TRUE(got.has_value());
    EXPECT_NEAR(got->x, want.x, 1e-9);
    EXPECT_NEAR(got->y, want.y, 1e-9);
    EXPECT_NEAR(got->z, want.z, 1e-9);
}

struct PickFirstListener : ZcEditorReactor {
    int changes = 0;
    void pickfirstModified() override { ++changes; }
};

}  // namespace

TEST_F(AdsPick, entsel_takes_the_nearest_entity_within_the_aperture) {
    ZcDbObjectId low = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    ZcDbObjectId high = add(new ZcDbLine({0, 1, 0}, {10, 1, 0}));
    ZcDbObjectId arc = add(new ZcDbArc({50, 0, 0}, 10, 0, 3.14159265358979));
    feed({"!pick 5,0.3", "5,0.7", "!pick 50,9", "!pick 50,0", "!pick 20,20", ""});
    ads_name e;
    ads_point p;
    ASSERT_EQ(zcedEntSel(nullptr, e, p), RTNORM);
    EXPECT_EQ(idOf(e), low);
    EXPECT_DOUBLE_EQ(p[1], 0.3);
    ASSERT_EQ(zcedEntSel("\nWybierz ścianę:", e, p), RTNORM);
    EXPECT_EQ(idOf(e), high);
    ASSERT_EQ(zcedEntSel(nullptr, e, p), RTNORM);  // on the arc's top, far from its chord
    EXPECT_EQ(idOf(e), arc);
    // The arc's centre is a radius away from the curve: a miss, as is empty space.
    EXPECT_EQ(zcedEntSel(nullptr, e, p), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_ENTSELPICK);
    EXPECT_EQ(zcedEntSel(nullptr, e, p), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_ENTSELPICK);
    EXPECT_EQ(zcedEntSel(nullptr, e, p), RTERROR);
    EXPECT_EQ(host::sysVarShort("ERRNO"), OL_ENTSELNULL);
    EXPECT_EQ(zcedEntSel(nullptr, e, p), RTCAN);  // no more input
    EXPECT_NE(transcript().find("Wybierz ścianę:"), std::string::npos);
}

TEST_F(AdsPick, entsel_answers_keywords_and_keeps_lastpoint) {
    add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    host::setSysVar("LASTPOINT", ZcGePoint3d(7, 7, 0));
    zcedInitGet(0, "Koniec Dalej");
    feed({"k"});
    ads_name e;
    ads_point p;
    ASSERT_EQ(zcedEntSel(nullptr, e, p), RTKWORD);
    char kw[32];
    zcedGetInput(kw);
    EXPECT_STREQ(kw, "Koniec");
    feed({"!pick 1,0"});
    ASSERT_EQ(zcedEntSel(nullptr, e, p), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarPoint("LASTPOINT").x, 7);
}

TEST_F(AdsPick, nested_picks_give_the_inner_entity_its_transform_and_references) {
    // Block "B": a line along X. Block "C": B placed at (0,50). C placed at
    // (100,100), turned a quarter and doubled.
    ZcDbObjectId b = block("B"), c = block("C");
    ZcDbObjectId inner = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}), b);
    ZcDbObjectId refB = add(new ZcDbBlockReference({0, 50, 0}, b), c);
    auto* refC = new ZcDbBlockReference({100, 100, 0}, c);
    refC->setRotation(3.14159265358979 / 2);
    refC->setScaleFactors({2, 2, 2});
    ZcDbObjectId outer = add(refC);
    // B's line ends at world (100 - 100, 100 + 0) .. (0, 120): x = -2 * 50 + 100.
    feed({"!pick 0,110"});
    ads_name e;
    ads_point p{0, 0, 0};
    ads_matrix m;
    resbuf* refs = nullptr;
    ASSERT_EQ(zcedNEntSelP(nullptr, e, p, 0, m, &refs), RTNORM);
    EXPECT_EQ(idOf(e), inner);
    // The transform takes the block line onto the picked place.
    auto apply = [&](double x, double y) {
        return ZcGePoint3d(m[0][0] * x + m[0][1] * y + m[0][3], m[1][0] * x + m[1][1] * y + m[1][3], 0);
    };
    expectNear(apply(0, 0), {0, 100, 0});
    expectNear(apply(10, 0), {0, 120, 0});
    ASSERT_NE(refs, nullptr);
    EXPECT_EQ(idOf(refs->resval.rlname), refB);  // innermost first
    ASSERT_NE(refs->rbnext, nullptr);
    EXPECT_EQ(idOf(refs->rbnext->resval.rlname), outer);
    EXPECT_EQ(refs->rbnext->rbnext, nullptr);
    zcutRelRb(refs);

    // A given point needs no prompt; a plain entity has no references.
    ZcDbObjectId plain = add(new ZcDbLine({500, 0, 0}, {510, 0, 0}));
    ads_point at{505, 0, 0};
    ASSERT_EQ(zcedNEntSelP(nullptr, e, at, 1, m, &refs), RTNORM);
    EXPECT_EQ(idOf(e), plain);
    EXPECT_EQ(refs, nullptr);
    EXPECT_DOUBLE_EQ(m[0][0], 1);
    EXPECT_DOUBLE_EQ(m[0][3], 0);
    ads_point axes[4];
    feed({"!pick 0,110"});
    ASSERT_EQ(zcedNEntSel(nullptr, e, at, axes, &refs), RTNORM);
    expectNear(ZcGePoint3d(axes[3][0], axes[3][1], axes[3][2]), {-100 + 100, 100, 0});
    expectNear(ZcGePoint3d(axes[0][0], axes[0][1], axes[0][2]), {0, 2, 0});
    zcutRelRb(refs);
}

TEST_F(AdsPick, a_nested_pick_on_an_old_style_polyline_answers_the_vertex_of_its_segment) {
    auto* pline = new ZcDb2dPolyline;
    for (const ZcGePoint3d& p : {ZcGePoint3d(0, 0, 0), ZcGePoint3d(100, 0, 0), ZcGePoint3d(100, 100, 0)})
        pline->appendVertex(new ZcDbVertex(p));
    pline->makeClosed();
    const ZcDbObjectId id = add(pline);
    std::vector<ZcDbObjectId> vertices;
    ZcDb2dPolyline* opened = nullptr;
    ASSERT_EQ(zcdbOpenObject(opened, id, ZcDb::kForRead), Zcad::eOk);
    vertices = opened->vertexIds();
    opened->close();
    ASSERT_EQ(vertices.size(), 3u);
    ads_name e;
    ads_matrix m;
    resbuf* refs = nullptr;
    // Each segment answers the vertex it starts from, the closing one too.
    struct Pick {
        double x, y;
        std::size_t vertex;
    };
    for (const Pick& at : {Pick{50, 0, 0}, Pick{100, 60, 1}, Pick{40, 40, 2}}) {
        ads_point p{at.x, at.y, 0};
        ASSERT_EQ(zcedNEntSelP(nullptr, e, p, 1, m, &refs), RTNORM);
        EXPECT_EQ(idOf(e), vertices[at.vertex]) << at.x << "," << at.y;
        EXPECT_EQ(refs, nullptr);
    }
    // The plain pick still answers the polyline itself.
    feed({"!pick 50,0"});
    ads_point p{0, 0, 0};
    ASSERT_EQ(zcedEntSel(nullptr, e, p), RTNORM);
    EXPECT_EQ(idOf(e), id);
}

TEST_F(AdsPick, snaps_find_ends_middles_centres_intersections_and_perpendiculars) {
    add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    add(new ZcDbLine({5, -5, 0}, {5, 5, 0}));
    add(new ZcDbArc({20, 0, 0}, 2, 0, 3.14159265358979 / 2));
    add(new ZcDbCircle({40, 0, 0}, {0, 0, 1}, 3));
    expectNear(snap("_END", {9.5, 0.5, 0}), {10, 0, 0});
    expectNear(snap("_mid", {3.5, 0.2, 0}), {5, 0, 0});
    expectNear(snap("_INT", {5.5, 0.5, 0}), {5, 0, 0});
    expectNear(snap("_NEAR", {3, 1, 0}), {3, 0, 0});
    expectNear(snap("_CEN", {43, 0.5, 0}), {40, 0, 0});
    expectNear(snap("_END", {20.3, 2.2, 0}), {20, 2, 0});
    expectNear(snap("_MID", {21.5, 1.5, 0}), {20 + std::sqrt(2.0), std::sqrt(2.0), 0});
    host::setSysVar("LASTPOINT", ZcGePoint3d(3, 7, 0));
    expectNear(snap("_PER", {2, 0.5, 0}), {3, 0, 0});
    host::setSysVar("LASTPOINT", ZcGePoint3d(40, 10, 0));
    expectNear(snap("_PER", {40, 2.5, 0}), {40, 3, 0});  // towards the point, on the circle
    // Several modes: the nearest answer wins; nothing near is an error.
    expectNear(snap("_END,_MID", {6.5, 0.3, 0}), {5, 0, 0});
    EXPECT_FALSE(snap("_END", {100, 100, 0}).has_value());
    EXPECT_FALSE(snap("_XYZ", {5, 0, 0}).has_value());
}

TEST_F(AdsPick, snaps_on_bulges_faces_and_inside_block_references) {
    auto* pl = new ZcDbPolyline;
    pl->addVertexAt(0, {0, 0}, 1.0);  // a half circle counter-clockwise from (0,0): below the chord
    pl->addVertexAt(1, {10, 0});
    add(pl);
    expectNear(snap("_MID", {5, -4.5, 0}), {5, -5, 0});
    expectNear(snap("_CEN", {5, -5.2, 0}), {5, 0, 0});
    add(new ZcDbFace({100, 0, 0}, {110, 0, 0}, {110, 10, 0}, {100, 10, 0}, true, false, true, true));
    expectNear(snap("_MID", {109, 5, 0}), {110, 5, 0});  // an invisible edge still snaps
    ZcDbObjectId b = block("SLUP");
    add(new ZcDbLine({0, 0, 0}, {4, 0, 0}), b);
    auto* ref = new ZcDbBlockReference({200, 0, 0}, b);
    ref->setScaleFactors({0.5, 0.5, 0.5});
    add(ref);
    expectNear(snap("_END", {202.2, 0.1, 0}), {202, 0, 0});
}

TEST_F(AdsPick, interactive_selection_adds_removes_and_ends_on_enter) {
    ZcDbObjectId a = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    ZcDbObjectId b = add(new ZcDbCircle({30, 0, 0}, {0, 0, 1}, 2));
    ZcDbObjectId c = add(new ZcDbLine({0, 20, 0}, {10, 20, 0}));
    feed({"!pick 5,0", "!pick 32,0", "!pick 5,0", "R", "!pick 5,0", "A", "!pick 5,20", ""});
    EXPECT_EQ(interactive(nullptr), (Ids{b, c}));
    EXPECT_NE(transcript().find("Wybierz obiekty: "), std::string::npos);
    EXPECT_NE(transcript().find("Usuń obiekty: "), std::string::npos);
    // Windows: by keyword, and implied from an empty point (right to left: crossing).
    feed({"W", "-1,-1", "11,1", "!pick 13,18", "!pick 8,21", ""});
    EXPECT_EQ(interactive(""), (Ids{a, c}));
    // Enter alone selects nothing; cancel cancels.
    int rc = 0;
    feed({""});
    EXPECT_TRUE(interactive(nullptr, nullptr, &rc).empty());
    EXPECT_EQ(rc, RTERROR);
    EXPECT_TRUE(interactive(nullptr, nullptr, &rc).empty());
    EXPECT_EQ(rc, RTCAN);
}

TEST_F(AdsPick, interactive_modes_single_everything_custom_prompts_and_pickadd) {
    ZcDbObjectId a = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    ZcDbObjectId b = add(new ZcDbLine({0, 0.5, 0}, {10, 0.5, 0}));
    ZcDbObjectId c = add(new ZcDbCircle({30, 0, 0}, {0, 0, 1}, 2));
    feed({"!pick 5,0"});
    EXPECT_EQ(interactive(":S"), (Ids{a}));  // one pick ends it, no Enter needed
    feed({"!pick 5,0.1", ""});
    EXPECT_EQ(interactive(":E"), (Ids{a, b}));
    const char* prompts[2] = {"Wybierz schody:", "Usuń schody:"};
    feed({"ALL", "R", "!pick 32,0", ""});
    EXPECT_EQ(interactive(":$", prompts), (Ids{a, b}));
    EXPECT_NE(transcript().find("Wybierz schody:"), std::string::npos);
    EXPECT_NE(transcript().find("Usuń schody:"), std::string::npos);
    feed({"P", ""});
    EXPECT_EQ(interactive(nullptr), (Ids{a, b}));
    feed({"L", ""});
    EXPECT_EQ(interactive(nullptr), (Ids{c}));
    host::setSysVar("PICKADD", short(0));
    feed({"!pick 5,0", "!pick 32,0", ""});
    EXPECT_EQ(interactive(nullptr), (Ids{c}));  // each selection replaces the set
}

TEST_F(AdsPick, the_pick_first_set_is_kept_reported_and_used_by_mode_i) {
    ZcDbObjectId a = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}));
    ZcDbObjectId b = add(new ZcDbLine({0, 5, 0}, {10, 5, 0}));
    PickFirstListener listener;
    zcedEditor->addReactor(&listener);
    ads_name ss, got;
    EXPECT_EQ(zcedSSGet("_I", nullptr, nullptr, nullptr, ss), RTERROR);
    ads_name ea;
    zcdbGetAdsName(ea, b);
    ASSERT_EQ(zcedSSAdd(ea, nullptr, ss), RTNORM);
    ASSERT_EQ(zcedSSSetFirst(ss, nullptr), RTNORM);
    EXPECT_EQ(listener.changes, 1);
    zcedSSFree(ss);
    resbuf* pset = nullptr;
    ASSERT_EQ(zcedSSGetFirst(nullptr, &pset), RTNORM);
    ASSERT_NE(pset, nullptr);
    EXPECT_EQ(pset->restype, RTPICKS);
    std::int32_t n = 0;
    zcedSSLength(pset->resval.rlname, &n);
    EXPECT_EQ(n, 1);
    zcedSSFree(pset->resval.rlname);
    zcutRelRb(pset);
    ASSERT_EQ(zcedSSGet("_I", nullptr, nullptr, nullptr, got), RTNORM);
    EXPECT_EQ(host::selectionMembers(got), (Ids{b}));
    zcedSSFree(got);
    // Erased members drop out; clearing tells the reactors again.
    zcdbEntDel(ea);
    EXPECT_EQ(zcedSSGet("I", nullptr, nullptr, nullptr, got), RTERROR);
    zcedSSSetFirst(nullptr, nullptr);
    EXPECT_EQ(listener.changes, 2);
    zcedEditor->removeReactor(&listener);
    (void)a;
}

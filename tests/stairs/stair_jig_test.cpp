// The stair path jig by scripted samples: snapping, step lines, joins,
// degenerate arcs, undo, the preview, keyword lists and prompts, drag
// statuses, the system variables and settings it keeps, and the model lines
// it leaves.
#include "stairs/commands/stair_jig.h"

#include <cmath>

#include "core/entity_data.h"
#include "core/geometry/vertex_list.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/prompts.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

class StairJig : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    // A jig with a first node at the origin, 110 wide, steps of 30, drawn
    // along its centre line.
    static void Start(AJIG_CMD_SCALA& jig, bool snap) {
        jig.snap = snap;
        jig.width = 110.0;
        jig.step = 30.0;
        jig.firstPoint = false;
        jig.PushNode({0, 0, 0});
        jig.BuildStairCreatePrompt("");
    }
    // Accepts the newest straight node as the command does.
    static void Accept(AJIG_CMD_SCALA& jig) {
        StairPathNode& n = *jig.preview->newest;
        n.width = jig.width;
        n.step = jig.flight ? jig.step : -1.0;
        jig.PushNode(jig.point);
    }
};

int GetShort(const char* name) {
    const int readOnly = -1;
    return SysVarShort(name, &readOnly);
}
void SetShort(const char* name, int value) {
    SysVarShort(name, &value);
}
double GetReal(const char* name) {
    const double none = 0.0;
    const int readOnly = 0;
    return SysVarReal(name, &none, &readOnly);
}
void SetReal(const char* name, double value) {
    const int set = 1;
    SysVarReal(name, &value, &set);
}

int Lines(const StairPathNode& n) {
    return CountNodes(n.stepLines);
}

bool Near(const Point3& p, double x, double y) {
    return std::fabs(p.x - x) < 1e-9 && std::fabs(p.y - y) < 1e-9;
}

TEST_F(StairJig, straight_segments_snap_step_and_join) {
    AJIG_CMD_SCALA jig;
    Start(jig, true);
    push("95,0");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_TRUE(Near(jig.point, 90, 0));
    // The start line, then lines at 30, 60 and 90, newest first.
    const StairPathNode& first = *jig.preview->newest;
    ASSERT_EQ(Lines(first), 4);
    EXPECT_TRUE(Near(first.stepLines->start, 90, 55));
    EXPECT_TRUE(Near(first.stepLines->end, 90, -55));
    const StepLine* start = first.stepLines->next->next->next;
    EXPECT_TRUE(Near(start->start, 0, -55));
    EXPECT_TRUE(Near(start->end, 0, 55));

    Accept(jig);
    push("90,120");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    const StairPathNode& second = *jig.preview->newest;
    // The sides meet where their lines cross; steps start at 0 x step.
    EXPECT_TRUE(Near(second.sideA[0], 145, -55));
    EXPECT_TRUE(Near(second.previous->sideA[1], 145, -55));
    EXPECT_TRUE(Near(second.sideB[0], 35, 55));
    // Along the 65 of the inner side: lines at 0, 30 and 60.
    ASSERT_EQ(Lines(second), 3);
    EXPECT_TRUE(Near(second.stepLines->start, 35, 115));
    EXPECT_TRUE(Near(second.stepLines->end, 145, 115));
    // The first segment's lines rebuilt along its shortened inner side.
    EXPECT_EQ(Lines(*second.previous), 2);

    // A landing draws no step lines but still joins its neighbours.
    Accept(jig);
    jig.BuildStairCreatePrompt("Półpiętro");
    push("-100,120");
    jig.drag();
    const StairPathNode& landing = *jig.preview->newest;
    EXPECT_EQ(Lines(landing), 0);
    EXPECT_TRUE(PointsEqual(landing.sideA[0], landing.previous->sideA[1], false));
}

TEST_F(StairJig, arcs_join_and_refuse_degenerate_input) {
    AJIG_CMD_SCALA jig;
    Start(jig, false);
    push("100,0");
    jig.drag();
    Accept(jig);
    // A three-point arc turning left through (170.71, 29.29) to (200, 100).
    jig.BuildStairCreatePrompt("Łuk");
    jig.BuildStairDefPrompt("");
    EXPECT_EQ(jig.mode, 1);
    push("170.71067811865476,29.289321881154755");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    StairPathNode& arc = *jig.preview->newest;
    arc.kind = 1;
    jig.mode = 3;
    push("200,100");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_EQ(arc.direction, 1);
    EXPECT_TRUE(Near(arc.sideA[0], 100, 100));
    EXPECT_NEAR(arc.sideA[1].x, 155.0, 1e-9);
    EXPECT_NEAR(arc.sideB[1].x, 45.0, 1e-9);
    // Arc after straight: the straight's sides end on the circles.
    EXPECT_TRUE(Near(arc.previous->sideA[1], 100, -55));
    EXPECT_TRUE(Near(arc.previous->sideB[1], 100, 55));
    // The recorded preview draws the sides as arcs through three points.
    int arcs = 0;
    for (const ZcGiPrimitive& p : jig.lastPreview()) arcs += p.kind == ZcGiPrimitive::kCircularArc;
    EXPECT_EQ(arcs, 2);
    EXPECT_GT(Lines(arc), 0);

    // Collinear points and a stair wider than the arc leave it as it was.
    const Point3 before[2] = {arc.sideA[0], arc.sideA[1]};
    push("300,-200");  // on the line from the node point through the second point
    jig.point = {150, -50, 0};
    jig.drag();
    push("100,20");
    jig.point = {110, 10, 0};
    jig.drag();
    EXPECT_TRUE(PointsEqual(arc.sideA[0], before[0], true));
    EXPECT_TRUE(PointsEqual(arc.sideA[1], before[1], true));
    for (const StepLine* l = arc.stepLines; l; l = l->next) {
        EXPECT_FALSE(std::isnan(l->start.x));
        EXPECT_FALSE(std::isnan(l->end.y));
    }
    // A straight after the arc, turned off its tangent: each side starts on
    // its circle, where the arc now ends.
    arc.width = 110.0;
    arc.step = 30.0;
    jig.mode = 0;
    jig.PushNode({200, 100, 0});
    push("300,200");
    jig.drag();
    const StairPathNode& after = *jig.preview->newest;
    EXPECT_NEAR(Distance2d(after.sideA[0], arc.sideA[0]), 155.0, 1e-9);
    EXPECT_NEAR(Distance2d(after.sideB[0], arc.sideB[0]), 45.0, 1e-9);
    EXPECT_NEAR(arc.sideA[1].z, AngleTo(arc.sideA[0], after.sideA[0]), 1e-12);
    EXPECT_NEAR(arc.sideB[1].z, AngleTo(arc.sideB[0], after.sideB[0]), 1e-12);

    // No step fits on an arc narrower than the step.
    StairPathNode tiny;
    tiny.sideA[1].x = 1.0;
    tiny.sideB[1].x = 1.0;
    EXPECT_EQ(StepAngleOnArc(tiny, 30.0), 0.0);
}

TEST_F(StairJig, undo_on_the_first_node_only_resets_the_mode) {
    AJIG_CMD_SCALA jig;
    Start(jig, false);
    jig.mode = 7;
    EXPECT_FALSE(jig.UndoLastNode());
    EXPECT_EQ(jig.mode, 0);
    ASSERT_NE(jig.preview->newest, nullptr);
    push("100,0");
    jig.drag();
    Accept(jig);
    jig.width = 90.0;
    EXPECT_TRUE(jig.UndoLastNode());
    EXPECT_EQ(jig.width, 110.0);
    EXPECT_EQ(jig.preview->newest->previous, nullptr);
}

TEST_F(StairJig, keyword_lists_and_prompts_of_both_stages) {
    AJIG_CMD_SCALA jig;
    jig.snap = true;
    jig.BuildStairCreatePrompt("");
    EXPECT_EQ(jig.keywordList, "Utwórz Szerokość Stopień Wyrównanie Wyłącz Półpiętro Cofnij Łuk");
    EXPECT_EQ(jig.prompt,
              "\n[Utwórz/Szerokość/Stopień/Wyrównanie/Łuk/Przyciąganie Wyłącz/Półpiętro/Cofnij]Od punktu:");
    jig.firstPoint = false;
    jig.PushNode({0, 0, 0}).kind = 1;
    jig.BuildStairCreatePrompt("Wyłącz");
    jig.BuildStairCreatePrompt("Półpiętro");
    EXPECT_EQ(jig.keywordList, "Utwórz Szerokość Stopień Wyrównanie Włącz Kondygnacja Cofnij");
    EXPECT_EQ(jig.prompt,
              "\n[Utwórz/Szerokość/Stopień/Wyrównanie/Przyciąganie Włącz/Kondygnacja/Cofnij]Do punktu:");
    jig.BuildStairCreatePrompt("Utwórz");
    EXPECT_EQ(jig.mode, 6);

    jig.mode = 1;
    jig.BuildStairDefPrompt("3punkt");
    EXPECT_EQ(jig.keywordList, "Odwróć Szerokość Stopień Wyrównanie Włącz Kondygnacja Środek Cofnij");
    EXPECT_EQ(jig.prompt,
              "\n[Szerokość/Stopień/Wyrównanie/Odwróć/Przyciąganie Włącz/Kondygnacja/Środek/Cofnij]"
              "Okreść drugi punkt łuku:");
    jig.BuildStairDefPrompt("Środek");
    EXPECT_EQ(jig.mode, 2);
    EXPECT_EQ(jig.keywordList, "Odwróć Szerokość Stopień Wyrównanie Włącz Kondygnacja 3punkt Cofnij");
    EXPECT_EQ(jig.prompt,
              "\n[Szerokość/Stopień/Wyrównanie/Odwróć/Przyciąganie Włącz/Kondygnacja/3punkt/Cofnij]"
              "Określ punkt środkowy łuku:");
    jig.BuildStairDefPrompt("!angoloFinale!");
    EXPECT_EQ(jig.mode, 4);
    EXPECT_NE(jig.prompt.find("]Kąt:"), std::string::npos);
    jig.BuildStairDefPrompt("Odwróć");
    EXPECT_EQ(jig.preview->newest->direction, 0);
    EXPECT_EQ(GetShort("ANGDIR"), 1);

    // The alignment can be set before the first point too.
    push("Lewo");
    jig.BuildStairCreatePrompt("Wyrównanie");
    EXPECT_EQ(jig.alignment, 0);
    push("100");
    jig.BuildStairCreatePrompt("Szerokość");
    EXPECT_EQ(jig.width, 100.0);
    EXPECT_NE(transcript().find("\nNowa wartość dla szerokości schodów<110.00>:"), std::string::npos)
        << transcript();
}

TEST_F(StairJig, drag_statuses_map_to_answers) {
    AJIG_CMD_SCALA jig;
    jig.snap = true;
    using S = ZcEdJig::DragStatus;
    const std::pair<S, const char*> line[] = {{ZcEdJig::kKW1, "Utwórz"},  {ZcEdJig::kKW2, "Szerokość"},
                                              {ZcEdJig::kKW3, "Stopień"}, {ZcEdJig::kKW4, "Dopasowanie"},
                                              {ZcEdJig::kKW5, "Wyłącz"},  {ZcEdJig::kKW6, "Półpiętro"},
                                              {ZcEdJig::kKW8, "Łuk"},     {ZcEdJig::kNormal, ""}};
    for (auto [status, text] : line) EXPECT_EQ(jig.LineStageAnswer(status), text);
    EXPECT_EQ(jig.LineStageAnswer(ZcEdJig::kKW7), "");
    EXPECT_EQ(jig.mode, 7);
    EXPECT_EQ(jig.LineStageAnswer(ZcEdJig::kNull), "");
    EXPECT_EQ(jig.mode, 5);
    EXPECT_EQ(jig.LineStageAnswer(ZcEdJig::kCancel), "");
    EXPECT_EQ(jig.mode, 8);
    jig.mode = 1;
    jig.threePoint = false;
    EXPECT_EQ(jig.ArcStageAnswer(ZcEdJig::kKW1), "Odwróć");
    EXPECT_EQ(jig.ArcStageAnswer(ZcEdJig::kKW7), "3punkt");
    EXPECT_EQ(jig.ArcStageAnswer(ZcEdJig::kNull), "");
    EXPECT_EQ(jig.mode, 1);
    EXPECT_EQ(jig.ArcStageAnswer(ZcEdJig::kKW8), "");
    EXPECT_EQ(jig.mode, 7);

    // Abbreviated keywords with Polish letters reach the same answers.
    AJIG_CMD_SCALA typed;
    Start(typed, false);
    push("Pół");
    EXPECT_EQ(typed.drag(), ZcEdJig::kKW6);
    EXPECT_EQ(typed.answer, "Półpiętro");
    push("Szer");
    EXPECT_EQ(typed.drag(), ZcEdJig::kKW2);
    EXPECT_EQ(typed.answer, "Szerokość");
}

TEST_F(StairJig, system_variables_and_settings_come_back) {
    SetShort("ANGDIR", 1);
    SetReal("ANGBASE", 0.5);
    SetReal("ELEVATION", 12.0);
    {
        AJIG_CMD_SCALA jig;
        EXPECT_EQ(GetShort("ANGDIR"), 0);
        jig.width = 120.0;
        jig.step = 28.0;
        jig.snap = true;
    }
    EXPECT_EQ(GetShort("ANGDIR"), 1);
    EXPECT_DOUBLE_EQ(GetReal("ANGBASE"), 0.5);
    EXPECT_DOUBLE_EQ(GetReal("ELEVATION"), 12.0);
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SETSCA_LARSCALA, 0.0), 120.0);
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SETSCA_PEDSCALA, 0.0), 28.0);
    EXPECT_EQ(SettingInt(SetupVar::SETSCA_SNAPDRAG, 0), 1);

    // Cancelled inside the command: the same.
    run({"VELMSTAIRDEF", "0,0", "!cancel"});
    EXPECT_EQ(GetShort("ANGDIR"), 1);
    EXPECT_DOUBLE_EQ(GetReal("ELEVATION"), 12.0);
    EXPECT_EQ(count("0=LINE"), 0);
}

TEST_F(StairJig, model_lines_drop_repeats_and_keep_the_start_line_apart) {
    AJIG_CMD_SCALA jig;
    Start(jig, false);
    push("90,0");
    jig.drag();
    // An older node repeating the newest one's sides.
    StairPathNode& first = *jig.preview->newest;
    auto* repeat = new StairPathNode;
    for (int k = 0; k < 2; ++k) {
        repeat->sideA[k] = first.sideA[k];
        repeat->sideB[k] = first.sideB[k];
    }
    first.previous = repeat;
    // A repeated step line.
    auto* copy = new StepLine;
    copy->start = first.stepLines->end;
    copy->end = first.stepLines->start;
    copy->next = first.stepLines->next;
    first.stepLines->next = copy;
    ASSERT_TRUE(jig.MakePathModelLines());
    // Two sides and the step lines at 30, 60, 90 in the set; the start line
    // apart.
    long n = 0;
    zcedSSLength(jig.modelLines, &n);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(count("0=LINE 62=1"), 2);
    EXPECT_EQ(count("0=LINE 62=2"), 4);
    resbuf* start = zcdbEntGet(jig.startLine);
    ASSERT_NE(start, nullptr);
    const resbuf* a = FindRbCode(start, 10);
    const resbuf* b = FindRbCode(start, 11);
    EXPECT_DOUBLE_EQ(a->resval.rpoint[1], -55.0);
    EXPECT_DOUBLE_EQ(b->resval.rpoint[1], 55.0);
    zcutRelRb(start);
    EXPECT_EQ(zcedSSMemb(jig.startLine, jig.modelLines), RTERROR);
    zcedSSFree(jig.modelLines);
}

}  // namespace

#include "core/geometry/point_input.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

// Answers prompts from a queue (an empty queue cancels, as Escape would) and
// records what the dialogue showed.
class ScriptedPort : public PointInputPort {
public:
    std::deque<PointAnswer> answers;
    std::vector<std::string> prompts;
    std::vector<std::string> alerts;
    int vectors = 0;
    int redraws = 0;

    void point(double x, double y) { answers.push_back({PointAnswer::Kind::Point, {x, y, 0}, ""}); }
    void keyword(const std::string& k) { answers.push_back({PointAnswer::Kind::Keyword, {}, k}); }
    void enter() { answers.push_back({PointAnswer::Kind::None, {}, ""}); }

    PointAnswer GetPoint(const Point3*, const std::string& prompt, const std::string&, bool) override {
        prompts.push_back(prompt);
        if (answers.empty()) return {PointAnswer::Kind::Cancel, {}, ""};
        PointAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void DrawVector(const Point3&, const Point3&, int colour) override {
        EXPECT_EQ(colour, -1);
        ++vectors;
    }
    void Redraw() override { ++redraws; }
    void Alert(const std::string& text) override { alerts.push_back(text); }
};

}  // namespace

TEST(PointInput, undo_right_after_the_first_point_empties_the_list_and_asks_the_first_prompt_again) {
    ScriptedPort port;
    port.point(0, 0);
    port.keyword("cofnij");
    port.point(1, 1);
    port.point(2, 1);
    port.enter();
    VertexNode* list = nullptr;
    std::string kw;
    int closed = -1;
    EXPECT_EQ(InputPointList(port, "", "\nPierwszy punkt:", "Punkt", kw, list, closed, 1, 0), 2);
    OwnedList<VertexNode> owned(list);
    ASSERT_EQ(port.prompts.size(), 5u);
    EXPECT_EQ(port.prompts[0], "\nPierwszy punkt:");
    EXPECT_EQ(port.prompts[1], "\nPunkt 2:");
    EXPECT_EQ(port.prompts[2], "\nPierwszy punkt:");
    EXPECT_EQ(port.prompts[3], "\nPunkt 2:");
    EXPECT_EQ(list->x, 1);
    EXPECT_EQ(closed, 0);
}

TEST(PointInput, enter_with_last_point_on_the_first_sets_closed_and_cleaning_drops_it) {
    ScriptedPort port;
    for (auto [x, y] : {std::pair{0, 0}, {4, 0}, {4, 4}, {0, 0}}) port.point(x, y);
    port.enter();
    VertexNode* list = nullptr;
    std::string kw;
    int closed = 0;
    EXPECT_EQ(InputPointList(port, "", "p", "Punkt", kw, list, closed, 1, 1), 3);
    OwnedList<VertexNode> owned(list);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(port.vectors, 3);
    EXPECT_EQ(port.redraws, 1);
}

TEST(PointInput, invisible_keyword_gives_the_next_point_an_invisible_edge) {
    ScriptedPort port;
    port.point(0, 0);
    port.keyword("Niewidoczny");
    port.point(3, 0);
    port.point(3, 3);
    port.enter();
    VertexNode* list = nullptr;
    std::string kw;
    int closed = 0;
    ASSERT_EQ(InputPointList(port, "", "p", "Punkt", kw, list, closed, 0, 0), 3);
    OwnedList<VertexNode> owned(list);
    EXPECT_EQ(list->edgeFlag, 1);
    EXPECT_EQ(list->next->edgeFlag, 0);
    EXPECT_EQ(list->next->next->edgeFlag, 1);
}

TEST(PointInput, undo_at_the_first_prompt_alerts_other_keywords_return_and_cancel_frees) {
    ScriptedPort port;
    port.keyword("Cofnij");
    port.point(0, 0);
    port.keyword("Luk");
    VertexNode* list = nullptr;
    std::string kw;
    int closed = 0;
    EXPECT_EQ(InputPointList(port, "Cofnij Luk", "p", "Punkt", kw, list, closed, 0, 0), -2);
    EXPECT_EQ(kw, "Luk");
    ASSERT_EQ(port.alerts.size(), 1u);
    EXPECT_EQ(port.alerts[0], "You cannot undo the first point");
    EXPECT_EQ(CountNodes(list), 1);
    // The queue is empty now: the next prompt is cancelled.
    EXPECT_EQ(InputPointList(port, "", "p", "Punkt", kw, list, closed, 0, 0), -1);
    EXPECT_EQ(list, nullptr);
    ScriptedPort empty;
    empty.enter();
    EXPECT_EQ(InputPointList(empty, "", "p", "Punkt", kw, list, closed, 0, 0), 0);
}

// Entity-data list utilities: where new groups land (never into the xdata,
// never over the head), finding groups and applications, level suffixes of
// layer names and reals written without trailing zeros.
#include "core/entity_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/ads/rbutil.h"

namespace {

struct ListOwner {
    resbuf* head;
    ~ListOwner() { zcutRelRb(head); }
};

std::vector<int> Codes(const resbuf* rb) {
    std::vector<int> codes;
    for (; rb; rb = rb->rbnext) codes.push_back(rb->restype);
    return codes;
}

const ads_name kEntity = {1, 2};

// The list builder ends at a 0, so group 0 is built as group 1 (a text as
// well) and renumbered.
resbuf* WithType(resbuf* list) {
    list->rbnext->restype = 0;
    return list;
}

// An entity's list with xdata of one application: -1 0 8 62 -3 1001 1000.
resbuf* LineWithXData() {
    return WithType(zcutBuildList(-1, kEntity, 1, "LINE", 8, "MURI", 62, 3, -3, 1001, "VELM5$_$PARAMETRI-",
                                  1000, "okno", 0));
}

}  // namespace

TEST(EntityData, find_code_includes_the_head_and_handles_null) {
    ListOwner l{LineWithXData()};
    EXPECT_EQ(FindRbCode(l.head, -1), l.head);
    ASSERT_NE(FindRbCode(l.head, 8), nullptr);
    EXPECT_STREQ(FindRbCode(l.head, 8)->resval.rstring, "MURI");
    EXPECT_EQ(FindRbCode(l.head, 40), nullptr);
    EXPECT_EQ(FindRbCode(static_cast<resbuf*>(nullptr), 8), nullptr);
}

TEST(EntityData, xdata_application_is_found_without_regard_to_case) {
    ListOwner l{LineWithXData()};
    const resbuf* app = FindXDataApp(l.head, "velm5$_$parametri-");
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->restype, 1001);
    EXPECT_EQ(FindXDataApp(l.head, "VELM6$_$MODE_SCALE-"), nullptr);
    // A group 8 text equal to the name is no application.
    EXPECT_EQ(FindXDataApp(l.head, "MURI"), nullptr);
}

TEST(EntityData, setters_insert_a_missing_group_before_the_xdata) {
    ListOwner l{LineWithXData()};
    resbuf* rb = SetRbReal(l.head, 40, 2.5);
    ASSERT_NE(rb, nullptr);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{-1, 0, 8, 62, 40, -3, 1001, 1000}));
    EXPECT_DOUBLE_EQ(FindRbCode(l.head, 40)->resval.rreal, 2.5);

    const ads_point p = {1, 2, 3};
    SetRbPoint(l.head, 10, p);
    SetRbShort(l.head, 62, 5);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{-1, 0, 8, 62, 40, 10, -3, 1001, 1000}));
    EXPECT_EQ(FindRbCode(l.head, 62)->resval.rint, 5);
    EXPECT_DOUBLE_EQ(FindRbCode(l.head, 10)->resval.rpoint[2], 3.0);
}

TEST(EntityData, setters_append_to_a_list_without_xdata_and_ignore_null) {
    ListOwner l{WithType(zcutBuildList(-1, kEntity, 1, "CIRCLE", 0))};
    SetRbShort(l.head, 62, 1);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{-1, 0, 62}));
    EXPECT_EQ(SetRbReal(nullptr, 40, 1.0), nullptr);
}

TEST(EntityData, replace_never_replaces_the_head) {
    // The head has the code: the search starts after it, so the new node is
    // added and the head (the caller's pointer) stays valid and unchanged.
    ListOwner l{zcutBuildList(8, "A", 62, 1, 0)};
    resbuf* head = l.head;
    EXPECT_EQ(ReplaceRb(l.head, 8, "B"), head);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{8, 62, 8}));
    EXPECT_STREQ(l.head->resval.rstring, "A");
}

TEST(EntityData, replace_swaps_the_node_in_place_or_inserts_before_xdata) {
    ListOwner l{LineWithXData()};
    ReplaceRb(l.head, 62, 4);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{-1, 0, 8, 62, -3, 1001, 1000}));
    EXPECT_EQ(FindRbCode(l.head, 62)->resval.rint, 4);
    ReplaceRb(l.head, 40, 1.5);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{-1, 0, 8, 62, 40, -3, 1001, 1000}));
    // A value that does not fit the group code is refused, the list intact.
    EXPECT_EQ(ReplaceRb(l.head, 40, "text"), nullptr);
    EXPECT_EQ(Codes(l.head).size(), 8u);
}

TEST(EntityData, replace_on_a_null_list_gives_the_new_node_alone) {
    ListOwner l{ReplaceRb(nullptr, 8, "WARSTWA")};
    ASSERT_NE(l.head, nullptr);
    EXPECT_EQ(Codes(l.head), (std::vector<int>{8}));
}

TEST(LevelSuffix, reads_the_number_after_the_last_dollar) {
    double v = 99;
    std::string text = "x";
    EXPECT_EQ(ParseDollarNumber("VELM2DWALLS$-12.5", v, &text), 1);
    EXPECT_DOUBLE_EQ(v, -12.5);
    EXPECT_EQ(text, "-12.5");
    EXPECT_EQ(ParseDollarNumber("A$1$2", v, &text), 1);
    EXPECT_DOUBLE_EQ(v, 2.0);
    EXPECT_EQ(text, "2");
    EXPECT_EQ(ParseDollarNumber("VELMMURI$300", v), 1);
    EXPECT_DOUBLE_EQ(v, 300.0);
}

TEST(LevelSuffix, refuses_names_without_a_level) {
    double v = 99;
    std::string text = "x";
    EXPECT_EQ(ParseDollarNumber("$300", v, &text), 0);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ParseDollarNumber("MURI", v), 0);
    EXPECT_EQ(ParseDollarNumber("MURI$", v), 0);
    EXPECT_EQ(ParseDollarNumber("MURI$-", v), 0);
    EXPECT_EQ(ParseDollarNumber("MURI$3a", v), 0);
    EXPECT_EQ(ParseDollarNumber("", v), 0);
    // Longer than the names the module writes: refused, not overrun.
    EXPECT_EQ(ParseDollarNumber(std::string(300, 'A') + "$1", v), 0);
}

TEST(FormatReal, trims_trailing_zeros_and_point_only) {
    EXPECT_EQ(FormatRealTrim(12.5), "12.5");
    EXPECT_EQ(FormatRealTrim(12.0), "12");
    EXPECT_EQ(FormatRealTrim(100.0), "100");
    EXPECT_EQ(FormatRealTrim(0.0), "0");
    EXPECT_EQ(FormatRealTrim(-3.25), "-3.25");
    EXPECT_EQ(FormatRealTrim(0.0000001), "0");
    // What is written is read back as the same level.
    for (double level : {-12.5, 0.0, 3.5, 300.0, 1234.125}) {
        double back = 0;
        ASSERT_EQ(ParseDollarNumber("VELMX$" + FormatRealTrim(level), back), 1);
        EXPECT_DOUBLE_EQ(back, level);
    }
}

TEST(StringHelpers, application_prefix_and_bar_split) {
    std::string out;
    EXPECT_EQ(StripAppPrefix("VELM5$_$PARAMETRI-", out), 1);
    EXPECT_EQ(out, "5");
    EXPECT_EQ(StripAppPrefix("velm13CAD$_$X", out), 1);
    EXPECT_EQ(out, "13CAD");
    EXPECT_EQ(StripAppPrefix("ACAD", out), 0);
    EXPECT_EQ(out, "ACAD");

    std::string text = "a|b|c";
    EXPECT_EQ(SplitAtBar(text, out), 1);
    EXPECT_EQ(out, "b|c");
    EXPECT_EQ(text, "a|b|c");
    EXPECT_EQ(SplitAtBar("abc|", out), 0);
    EXPECT_EQ(out, "abc|");
    EXPECT_EQ(SplitAtBar("abc", out), 0);
    EXPECT_EQ(out, "abc");
}

TEST(StringHelpers, string_arrays_copy_and_find_ignoring_case) {
    std::vector<std::string> target = {"old"};
    CopyStringArray({"Ściana", "okno"}, target);
    EXPECT_EQ(target, (std::vector<std::string>{"Ściana", "okno"}));
    EXPECT_EQ(FindInStringArray(target, "ŚCIANA"), 0);
    EXPECT_EQ(FindInStringArray(target, "OKNO"), 1);
    EXPECT_EQ(FindInStringArray(target, "drzwi"), -1);
    CopyStringArray(target, target);
    EXPECT_EQ(target.size(), 2u);
}

// The wildcard grammar, case by case.
#include <gtest/gtest.h>

#include <string>

#include "host/ads/wcmatch.h"
#include "host/util/adscodes.h"

namespace {

bool m(const char* text, const char* pattern) {
    return host::wcMatch(text, pattern);
}

TEST(WcMatch, special_characters_match_their_classes) {
    EXPECT_TRUE(m("A12", "@##"));
    EXPECT_FALSE(m("AB2", "@##"));
    EXPECT_TRUE(m("ściana", "@@@@@@")) << "Polish letters are letters";
    EXPECT_TRUE(m("a-b", "@.@"));
    EXPECT_FALSE(m("aXb", "@.@"));
    EXPECT_TRUE(m("VELM5$_$PARAMETRI-", "VELM?$_$*"));
    EXPECT_TRUE(m("", "*"));
    EXPECT_FALSE(m("", "?"));
}

TEST(WcMatch, matching_is_case_sensitive) {
    EXPECT_TRUE(m("MURI", "MURI"));
    EXPECT_FALSE(m("muri", "MURI"));
}

TEST(WcMatch, negation_at_the_start_and_in_brackets) {
    EXPECT_TRUE(m("LINE", "~ARC"));
    EXPECT_FALSE(m("ARC", "~ARC"));
    EXPECT_TRUE(m("d", "[~a-c]"));
    EXPECT_FALSE(m("b", "[~a-c]"));
    EXPECT_TRUE(m("b", "[a-c]"));
    EXPECT_TRUE(m("x", "[xyz]"));
    EXPECT_FALSE(m("ab", "[ab]")) << "a set matches one character";
    EXPECT_TRUE(m("a~b", "a~b")) << "~ is literal after the start";
}

TEST(WcMatch, backquote_escapes_and_comma_separates_alternatives) {
    EXPECT_TRUE(m("*", "`*"));
    EXPECT_FALSE(m("x", "`*"));
    EXPECT_TRUE(m("a,b", "a`,b"));
    EXPECT_TRUE(m("ARC", "LINE,ARC"));
    EXPECT_TRUE(m("LINE", "LINE,ARC"));
    EXPECT_FALSE(m("CIRCLE", "LINE,ARC"));
    EXPECT_TRUE(m("CIRCLE", "LINE,~ARC")) << "a negated alternative";
    EXPECT_TRUE(m("#", "`#"));
    EXPECT_TRUE(m("]", "[]]"));
}

TEST(WcMatch, status_codes_and_null_arguments) {
    EXPECT_EQ(zcutWcMatch("abc", "a*"), RTNORM);
    EXPECT_EQ(zcutWcMatch("abc", "b*"), RTERROR);
    EXPECT_EQ(zcutWcMatch(nullptr, "*"), RTERROR);
    EXPECT_EQ(zcutWcMatch("abc", nullptr), RTERROR);
}

TEST(WcMatch, many_stars_on_a_long_text_stay_linear_enough) {
    std::string text(20000, 'a');
    std::string pattern;
    for (int i = 0; i < 50; ++i) pattern += "*a";
    pattern += "*b";
    EXPECT_FALSE(m(text.c_str(), pattern.c_str()));
}

}  // namespace

TEST(WcMatch, a_plain_pattern_matches_only_the_text_equal_to_it) {
    EXPECT_TRUE(host::isLiteralWcPattern("VELM5$_$PARAMETRI- 2"));
    EXPECT_TRUE(host::isLiteralWcPattern(""));
    for (const char* special : {"A#", "@", "A.B", "A*", "?", "[A]", "`A", "A,B", "~A", "A\\B", "Ś"})
        EXPECT_FALSE(host::isLiteralWcPattern(special)) << special;
    EXPECT_TRUE(host::wcMatch("VELM_ROOM", "VELM_ROOM"));
    EXPECT_FALSE(host::wcMatch("velm_room", "VELM_ROOM"));
    EXPECT_FALSE(host::wcMatch("VELM_ROOMS", "VELM_ROOM"));
    EXPECT_FALSE(host::wcMatch("VELM_ROO", "VELM_ROOM"));
    EXPECT_FALSE(host::wcMatch("ŚCIANA", "SCIANA"));
    EXPECT_FALSE(host::wcMatch("\xC5", "A"));
    EXPECT_TRUE(host::wcMatch("", ""));
    EXPECT_FALSE(host::wcMatch("A", ""));
}

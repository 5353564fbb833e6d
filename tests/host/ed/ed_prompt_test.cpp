// Prompts: statuses, re-prompts and their messages, initget bits, keyword
// matching, point, distance and angle input.
#include <cmath>
#include <string>
#include <vector>

#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/ed/prompts.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using Prompts = EdSession;

TEST_F(Prompts, point_statuses_value_enter_keyword_cancel) {
    ads_point p;
    feed({"10,20"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[X], 10);
    EXPECT_DOUBLE_EQ(p[Y], 20);

    feed({""});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTNONE);

    zcedInitGet(0, "Warstwa");
    feed({"w"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt [Warstwa]: ", p), RTKWORD);
    char kw[32];
    EXPECT_EQ(zcedGetInput(kw), RTNORM);
    EXPECT_STREQ(kw, "Warstwa");

    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTCAN) << "an empty queue answers cancel";
    feed({"!cancel", "1,1"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTCAN);
}

TEST_F(Prompts, bad_point_reprompts_with_the_message_and_then_accepts) {
    ads_point p;
    feed({"abc", "3,4"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagany punkt lub opcja."), 1u);
    EXPECT_EQ(count(transcript(), "\nPunkt: "), 2u);
    EXPECT_DOUBLE_EQ(p[X], 3);
}

TEST_F(Prompts, a_point_has_two_or_three_coordinates) {
    ads_point p;
    feed({"1", "1,2,3,4", "1,2,3,", "1,2,3"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagany punkt lub opcja."), 3u);
    EXPECT_DOUBLE_EQ(p[X], 1);
    EXPECT_DOUBLE_EQ(p[Y], 2);
    EXPECT_DOUBLE_EQ(p[Z], 3);
}

TEST_F(Prompts, initget_applies_to_the_next_prompt_only) {
    ads_point p;
    zcedInitGet(RSG_NONULL, nullptr);
    feed({"", "1,2", ""});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nA: ", p), RTNORM);
    EXPECT_EQ(zcedGetPoint(nullptr, "\nB: ", p), RTNONE);
}

TEST_F(Prompts, point_z_takes_elevation_and_relative_points_follow_lastpoint) {
    host::setSysVar("ELEVATION", host::SysVarValue{300.0});
    ads_point p;
    feed({"10,10", "@5,0", "@0,0,7", "@10<90", "@"});
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[Z], 300.0);
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[X], 15);
    EXPECT_DOUBLE_EQ(p[Z], 300.0);
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[Z], 307.0);
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_NEAR(p[X], 15, 1e-9);
    EXPECT_NEAR(p[Y], 20, 1e-9);
    ads_point same;
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", same), RTNORM);
    EXPECT_DOUBLE_EQ(same[Y], p[Y]);
    ZcGePoint3d last = host::sysVarPoint("LASTPOINT");
    EXPECT_NEAR(last.y, 20, 1e-9);
}

TEST_F(Prompts, polar_angle_follows_angbase_and_angdir) {
    host::setSysVar("ANGBASE", host::SysVarValue{kPi / 2});
    host::setSysVar("ANGDIR", host::SysVarValue{short(1)});
    ads_point p;
    feed({"0,0", "@10<90"});
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    // 90 clockwise from north is east.
    EXPECT_NEAR(p[X], 10, 1e-9);
    EXPECT_NEAR(p[Y], 0, 1e-9);
}

TEST_F(Prompts, pick_answers_a_point_prompt_but_not_a_number_prompt) {
    ads_point p;
    feed({"!pick 4,5"});
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[X], 4);
    ads_real r;
    feed({"!pick 4,5", "2.5"});
    ASSERT_EQ(zcedGetReal("\nLiczba: ", &r), RTNORM);
    EXPECT_DOUBLE_EQ(r, 2.5);
    EXPECT_EQ(count(transcript(), "Wymagana liczba rzeczywista lub opcja."), 1u);
}

TEST_F(Prompts, no_zero_and_no_negative_refuse_and_reprompt) {
    ads_real r;
    zcedInitGet(RSG_NOZERO | RSG_NONEG, nullptr);
    feed({"0", "-2", "3"});
    ASSERT_EQ(zcedGetReal("\nGrubość: ", &r), RTNORM);
    EXPECT_DOUBLE_EQ(r, 3);
    EXPECT_EQ(count(transcript(), "Wartość musi być różna od zera."), 1u);
    EXPECT_EQ(count(transcript(), "Wartość nie może być ujemna."), 1u);

    int i;
    zcedInitGet(RSG_NONULL | RSG_NOZERO, nullptr);
    feed({"", "0", "70000", "1.5", "12"});
    ASSERT_EQ(zcedGetInt("\nNumer: ", &i), RTNORM);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(count(transcript(), "Wymagana liczba całkowita"), 3u);
}

TEST_F(Prompts, text_that_only_begins_with_a_number_is_asked_again) {
    ads_real r = 0;
    feed({"12abc", "0x10", "--5", "1,5x", "4"});
    ASSERT_EQ(zcedGetReal("\nLiczba: ", &r), RTNORM);
    EXPECT_DOUBLE_EQ(r, 4);
    EXPECT_EQ(count(transcript(), "Wymagana liczba rzeczywista lub opcja."), 4u);
    int i = 0;
    feed({"12abc", "0x10", "--5", "7.0", "9"});
    ASSERT_EQ(zcedGetInt("\nNumer: ", &i), RTNORM);
    EXPECT_EQ(i, 9);
    EXPECT_EQ(count(transcript(), "Wymagana liczba całkowita"), 4u);
}

TEST_F(Prompts, distance_typed_or_from_two_points) {
    ads_real d;
    feed({"12.5"});
    ASSERT_EQ(zcedGetDist(nullptr, "\nOdległość: ", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 12.5);

    ads_point base = {0, 0, 0};
    feed({"3,4"});
    ASSERT_EQ(zcedGetDist(base, "\nOdległość: ", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 5);

    feed({"1,1", "4,5"});
    ASSERT_EQ(zcedGetDist(nullptr, "\nOdległość: ", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 5);
    EXPECT_NE(transcript().find("Drugi punkt"), std::string::npos);

    zcedInitGet(RSG_2D, nullptr);
    feed({"3,4,12"});
    ASSERT_EQ(zcedGetDist(base, "\n", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 5);
}

TEST_F(Prompts, answers_beyond_a_number_are_refused_and_asked_again) {
    ads_point p;
    // Relative and polar answers far from the last point overflow.
    feed({"1e308,1e308", "@1e308,1e308", "@1e308<0", "1e309,0", "inf,0", "nan,0", "5,6"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[X], 1e308);
    EXPECT_EQ(zcedGetPoint(nullptr, "\nPunkt: ", p), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagany punkt lub opcja."), 5u);
    EXPECT_DOUBLE_EQ(p[X], 5);
    EXPECT_TRUE(std::isfinite(p[Y]));

    double v = 0;
    feed({"1e309", "-inf", "nan", "7"});
    EXPECT_EQ(zcedGetReal("\nLiczba: ", &v), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagana liczba rzeczywista lub opcja."), 3u);
    EXPECT_DOUBLE_EQ(v, 7);

    // Two far points are too far apart for a distance.
    feed({"-1e308,0", "1e308,0", "2"});
    EXPECT_EQ(zcedGetDist(nullptr, "\nOdległość: ", &v), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagana odległość, drugi punkt lub opcja."), 1u);
    EXPECT_DOUBLE_EQ(v, 2);
}

TEST_F(Prompts, getangle_is_relative_to_angbase_getorient_absolute) {
    host::setSysVar("ANGBASE", host::SysVarValue{kPi / 2});
    ads_real a;
    feed({"0"});
    ASSERT_EQ(zcedGetAngle(nullptr, "\n", &a), RTNORM);
    EXPECT_NEAR(a, 0, 1e-12);
    feed({"0"});
    ASSERT_EQ(zcedGetOrient(nullptr, "\n", &a), RTNORM);
    EXPECT_NEAR(a, kPi / 2, 1e-12);
    ads_point base = {0, 0, 0};
    feed({"-1,0"});
    ASSERT_EQ(zcedGetOrient(base, "\n", &a), RTNORM);
    EXPECT_NEAR(a, kPi, 1e-12);
    feed({"-1,0"});
    ASSERT_EQ(zcedGetAngle(base, "\n", &a), RTNORM);
    EXPECT_NEAR(a, kPi / 2, 1e-12);
}

// An angle too large for its turn to keep the digits typed is a slip: it
// is asked again, as a text is, never reduced into one turn; so is one in
// a polar point and one the LISP conversion is given.
TEST_F(Prompts, angles_beyond_the_range_are_asked_again_not_reduced) {
    ads_real a = -1;
    feed({"1e308", "-1e308", "1e20", "-1e11", "nan", "inf", "abc", "1e10", "30"});
    ASSERT_EQ(zcedGetOrient(nullptr, "\n", &a), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagany kąt"), 7u) << transcript();
    EXPECT_NEAR(a, std::fmod(1e10, 360.0) * kPi / 180, 1e-9) << "the largest angle taken";
    ASSERT_EQ(zcedGetAngle(nullptr, "\n", &a), RTNORM);
    EXPECT_NEAR(a, kPi / 6, 1e-12);

    ads_point p;
    feed({"@10<1e20", "@10<90"});
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_EQ(count(transcript(), "Wymagany punkt lub opcja."), 1u);
    for (const char* text : {"1e20", "-1e308", "1e11d"}) {
        ads_real v = 0;
        EXPECT_EQ(zcdbAngToF(text, 0, &v), RTERROR) << text;
    }
}

TEST_F(Prompts, angle_in_current_units) {
    host::setSysVar("AUNITS", host::SysVarValue{short(3)});
    ads_real a;
    feed({"1.5"});
    ASSERT_EQ(zcedGetOrient(nullptr, "\n", &a), RTNORM);
    EXPECT_NEAR(a, 1.5, 1e-12);
}

TEST_F(Prompts, keywords_ignore_case_and_take_abbreviations_with_polish_letters) {
    char kw[64];
    zcedInitGet(0, "Całe Podświetlony Normalny");
    feed({"całe"});
    ASSERT_EQ(zcedGetKword("\n", kw), RTNORM);
    EXPECT_STREQ(kw, "Całe");

    zcedInitGet(0, "Tak Nie");
    feed({"TAK"});
    ASSERT_EQ(zcedGetKword("\n", kw), RTNORM);
    EXPECT_STREQ(kw, "Tak");

    zcedInitGet(0, "Wyrównanie Płyta Jedna");
    feed({"PŁ"});
    ASSERT_EQ(zcedGetKword("\n", kw), RTNORM);
    EXPECT_STREQ(kw, "Płyta");
}

TEST_F(Prompts, ambiguous_prefix_reprompts_and_exact_match_wins) {
    char kw[64];
    zcedInitGet(0, "Wł. Wył.");
    feed({"w", "wy", "WŁ."});
    ASSERT_EQ(zcedGetKword("\n", kw), RTNORM);
    EXPECT_STREQ(kw, "Wył.");
    EXPECT_EQ(count(transcript(), "Niejednoznaczna opcja."), 1u);
    zcedInitGet(0, "Wł. Wył.");
    feed({"wł."});
    ASSERT_EQ(zcedGetKword("\n", kw), RTNORM);
    EXPECT_STREQ(kw, "Wł.");

    // "Linia" is a prefix match of "Lin" but "Lin" is also exact: exact wins.
    zcedInitGet(0, "Lin Linia");
    feed({"lin"});
    ASSERT_EQ(zcedGetKword("\n", kw), RTNORM);
    EXPECT_STREQ(kw, "Lin");
}

TEST_F(Prompts, capital_letters_choose_among_prefix_candidates) {
    std::string kw;
    EXPECT_EQ(host::matchKeyword("LTyp Linia", "lt", kw), host::KeywordMatch::Found);
    EXPECT_EQ(kw, "LTyp");
    EXPECT_EQ(host::matchKeyword("LTyp Linia", "l", kw), host::KeywordMatch::Found);
    EXPECT_EQ(kw, "Linia") << "its capital letters are exactly the answer";
    EXPECT_EQ(host::matchKeyword("Lewa Linia", "l", kw), host::KeywordMatch::Ambiguous);
    EXPECT_EQ(host::matchKeyword("Tak Nie", "x", kw), host::KeywordMatch::None);
    EXPECT_EQ(host::matchKeyword("Tak Nie _ Yes No", "_Yes", kw), host::KeywordMatch::Found);
    EXPECT_EQ(kw, "Yes");
    EXPECT_EQ(host::matchKeyword("Tak Nie _ Yes No", "n", kw), host::KeywordMatch::Found);
    EXPECT_EQ(kw, "No");
}

TEST_F(Prompts, getkword_refuses_an_unknown_word_and_enter_gives_none) {
    char kw[32];
    zcedInitGet(0, "Tak Nie");
    feed({"może", ""});
    EXPECT_EQ(zcedGetKword("\nOdpowiedź: ", kw), RTNONE);
    EXPECT_EQ(count(transcript(), "Nieprawidłowa opcja."), 1u);
}

TEST_F(Prompts, arbitrary_input_is_returned_as_keyword) {
    ads_point p;
    zcedInitGet(RSG_OTHER, "Koniec");
    feed({"cokolwiek innego"});
    ASSERT_EQ(zcedGetPoint(nullptr, "\n", p), RTKWORD);
    char text[64];
    zcedGetInput(text);
    EXPECT_STREQ(text, "cokolwiek innego");
}

TEST_F(Prompts, getstring_with_and_without_spaces) {
    char s[64];
    feed({"Pokój dzienny"});
    ASSERT_EQ(zcedGetString(1, "\nNazwa: ", s), RTNORM);
    EXPECT_STREQ(s, "Pokój dzienny");
    feed({"Pokój dzienny"});
    ASSERT_EQ(zcedGetString(0, "\nNazwa: ", s), RTNORM);
    EXPECT_STREQ(s, "Pokój");
    ASSERT_EQ(zcedGetString(0, "\nNazwa: ", s), RTNORM);
    EXPECT_STREQ(s, "dzienny") << "the rest after the blank is the next answer";
}

TEST_F(Prompts, getstring_cuts_a_long_answer_on_a_character_boundary) {
    char s[6];
    feed({"ąąąąą"});
    EXPECT_EQ(zcedGetString(1, "\n", s), RTINPUTTRUNCATED);
    EXPECT_STREQ(s, "ąą");
}

TEST_F(Prompts, transcript_holds_prompts_and_answers) {
    ads_real r;
    feed({"2.5"});
    zcedGetReal("\nWysokość: ", &r);
    EXPECT_NE(transcript().find("\nWysokość: 2.5"), std::string::npos);
}

TEST_F(Prompts, user_break_fires_at_the_requested_poll_or_on_a_break_token) {
    curDoc()->inputQueue().breakAtPoll(3);
    EXPECT_EQ(zcedUsrBrk(), 0);
    EXPECT_EQ(zcedUsrBrk(), 0);
    EXPECT_EQ(zcedUsrBrk(), 1);
    EXPECT_EQ(zcedUsrBrk(), 0);
    feed({"!break"});
    EXPECT_EQ(zcedUsrBrk(), 1);
    EXPECT_TRUE(curDoc()->inputQueue().empty());
}

}  // namespace

namespace {

TEST_F(Prompts, corner_needs_a_base_point_and_returns_the_opposite_corner) {
    ads_point base = {0, 0, 0}, c;
    EXPECT_EQ(zcedGetCorner(nullptr, "\n", c), RTERROR);
    zcedInitGet(RSG_NONULL, "Grubość");
    feed({"", "g"});
    EXPECT_EQ(zcedGetCorner(base, "\nDrugi róg [Grubość]: ", c), RTKWORD);
    feed({"@4,3"});
    ASSERT_EQ(zcedGetCorner(base, "\n", c), RTNORM);
}

TEST_F(Prompts, directives_are_handed_over_while_a_prompt_waits) {
    std::vector<std::string> handled;
    host::setDirectiveHandler([&](const std::string& line) {
        if (line.rfind("!dialog", 0) != 0) return false;
        handled.push_back(line);
        return true;
    });
    ads_point p;
    feed({"!dialog 133 ok", "!nonsense", "1,2"});
    EXPECT_EQ(zcedGetPoint(nullptr, "\n", p), RTNORM);
    EXPECT_EQ(handled, std::vector<std::string>{"!dialog 133 ok"});
    EXPECT_NE(transcript().find("Nieznana dyrektywa: !nonsense"), std::string::npos);
    host::setDirectiveHandler(nullptr);
}

}  // namespace

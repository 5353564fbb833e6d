// Locale-free numbers checked against printf in the C locale, case folding
// of Polish and Italian letters, and the agreement of every case helper.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "host/ads/adstext.h"
#include "host/ui/uitext.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"

TEST(TextNumbers, formatting_matches_printf_in_the_c_locale) {
    char buf[64];
    for (double v : {0.0, 1.0, -2.5, 1234567.0, 0.0001234, 1e21, 3.14159265358979, 100.0, 1e-7}) {
        for (int prec : {1, 6, 10}) {
            std::snprintf(buf, sizeof buf, "%.*g", prec, v);
            EXPECT_EQ(host::formatNumber(v, prec), buf) << v << " " << prec;
        }
        for (int dec : {0, 2, 6}) {
            std::snprintf(buf, sizeof buf, "%.*f", dec, v);
            EXPECT_EQ(host::formatFixed(v, dec), buf) << v << " " << dec;
        }
    }
    EXPECT_EQ(host::formatFixed(1e300, 2).size(), 301u + 3u);
}

TEST(TextNumbers, a_comma_locale_changes_nothing) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    // Any of these may be missing on the machine; the checks hold either way.
    for (const char* name : {"pl_PL.UTF-8", "it_IT.UTF-8", "de_DE.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) break;
    EXPECT_EQ(host::formatFixed(2.5, 3), "2.500");
    EXPECT_EQ(host::parseDouble("2.5"), 2.5);
    EXPECT_FALSE(host::parseDouble("2,5"));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TextNumbers, parsing_whole_texts_and_prefixes) {
    EXPECT_EQ(host::parseDouble("  -12.5e1 "), -125.0);
    EXPECT_EQ(host::parseDouble("+3"), 3.0);
    EXPECT_FALSE(host::parseDouble("3x"));
    EXPECT_FALSE(host::parseDouble(""));
    EXPECT_FALSE(host::parseDouble("+-3"));
    std::size_t used = 0;
    EXPECT_EQ(host::parseDoublePrefix(" 7.25 cm", &used), 7.25);
    EXPECT_EQ(used, 5u);
    EXPECT_EQ(host::parseDoublePrefix("1e999"), HUGE_VAL);
    EXPECT_EQ(host::parseIntegerPrefix("42abc", &used), 42);
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(host::parseInteger(" -15540736 "), -15540736);
    EXPECT_FALSE(host::parseInteger("1.5"));
    EXPECT_FALSE(host::parseIntegerPrefix("abc"));
    EXPECT_EQ(host::parseInteger("99999999999999999999"), 9223372036854775807LL);
}

TEST(TextCase, polish_and_italian_letters_fold) {
    EXPECT_EQ(host::toUpper("ąćęłńóśźż àèéìòù abc"), "ĄĆĘŁŃÓŚŹŻ ÀÈÉÌÒÙ ABC");
    EXPECT_EQ(host::toLower("ĄĆĘŁŃÓŚŹŻ ÀÈÉÌÒÙ ABC"), "ąćęłńóśźż àèéìòù abc");
    EXPECT_TRUE(host::iequals("Ściana_Zewnętrzna", "ŚCIANA_ZEWNĘTRZNA"));
    EXPECT_TRUE(host::iequals("perché", "PERCHÉ"));
    EXPECT_FALSE(host::iequals("sciana", "ściana"));
    EXPECT_FALSE(host::iequals("abc", "abcd"));
    EXPECT_LT(host::icompare("abc", "ABD"), 0);
    EXPECT_GT(host::icompare("abcd", "ABC"), 0);
    EXPECT_EQ(host::icompare("ŁÓDŹ", "łódź"), 0);
}

// Every code point up to U+024F, alone and amid ASCII, mapped as the
// per-letter maps say: the ASCII runs are mapped in line, the rest decoded.
TEST(TextCase, whole_texts_map_as_their_code_points_do) {
    for (char32_t cp = 1; cp < 0x250; ++cp) {
        std::string one;
        host::appendUtf8(one, cp);
        for (const std::string& text : {one, "aZ" + one + "~q", one + one}) {
            std::string up, low;
            for (std::size_t pos = 0; pos < text.size();) {
                const char32_t c = host::decodeUtf8(text, pos);
                host::appendUtf8(up, host::upperCodePoint(c));
                host::appendUtf8(low, host::lowerCodePoint(c));
            }
            ASSERT_EQ(host::toUpper(text), up) << static_cast<unsigned>(cp);
            ASSERT_EQ(host::toLower(text), low) << static_cast<unsigned>(cp);
        }
    }
}

TEST(TextCase, bytes_that_are_not_utf8_pass_through_unchanged) {
    std::string bad = "a\xE5z";  // a lone Windows-1250 byte
    EXPECT_EQ(host::toUpper(bad), "A\xE5Z");
    EXPECT_FALSE(host::iequals(bad, "a\xC5z"));  // not taken for å / Å
    EXPECT_TRUE(host::iequals(bad, "A\xE5Z"));
    EXPECT_FALSE(host::isValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(host::isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(host::isValidUtf8("\xE2\x82"));      // cut short
    EXPECT_TRUE(host::isValidUtf8("€ ł 𝄞"));
}

TEST(TextCase, comparison_agrees_with_capitalising_both_sides) {
    // Texts drawn from letters whose case pairs matter here, plus stray bytes.
    const std::vector<std::string> letters{"a", "A", "ą", "Ą", "ł",    "Ł",    "ż", "Ż",
                                           "è", "È", "ß", "z", "\xE5", "\xC5", "1"};
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1), len(0, 4);
    for (int i = 0; i < 5000; ++i) {
        std::string a, b;
        for (std::size_t k = len(rng); k > 0; --k) a += letters[pick(rng)];
        for (std::size_t k = len(rng); k > 0; --k) b += letters[pick(rng)];
        bool same = host::toUpper(a) == host::toUpper(b);
        ASSERT_EQ(host::iequals(a, b), same) << a << " | " << b;
        ASSERT_EQ(host::icompare(a, b) == 0, same);
        ASSERT_EQ(host::icompare(a, b) < 0, host::icompare(b, a) > 0);
    }
}

// Long names are compared a word at a time: texts of 8 to 40 bytes, case
// variants of each other or one byte apart, agree with capitalising both
// sides. The bytes next to the letters ("@[`{") differ from each other by
// the case bit and must not be taken for letters; letters beyond ASCII stand
// at every place relative to the words.
TEST(TextCase, long_names_compare_as_their_capitals_do) {
    const std::vector<std::string> letters{"a", "A", "q", "Q", "z", "Z", "@", "`",   "[",
                                           "{", "_", "7", "ł", "Ł", "é", "É", "\xE5"};
    std::mt19937 rng(93);
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1), len(8, 40);
    std::uniform_int_distribution<int> coin(0, 3);
    for (int i = 0; i < 20000; ++i) {
        std::string a;
        while (a.size() < len(rng)) a += letters[pick(rng)];
        std::string b;
        for (std::size_t k = 0; k < a.size(); ++k) {
            const char c = a[k];
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            b += letter && coin(rng) == 0 ? static_cast<char>(c ^ 0x20) : c;
        }
        if (coin(rng) == 0) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, b.size() - 1)(rng);
            b[at] = static_cast<unsigned char>(b[at]) < 0x80 ? static_cast<char>(b[at] ^ 0x20) : 'x';
        }
        if (coin(rng) == 0) b += letters[pick(rng)];
        const bool same = host::toUpper(a) == host::toUpper(b);
        ASSERT_EQ(host::iequals(a, b), same) << a << " | " << b;
        ASSERT_EQ(host::iequals(b, a), same) << a << " | " << b;
    }
}

// The database's, the classic interface's and the dialogs' case helpers all
// stand on the same mapping: a name equal in one is equal in every other,
// and equal names hash alike in the database's tables.
TEST(TextCase, every_case_insensitive_entry_point_agrees) {
    const std::vector<std::string> letters{"a", "A", "ą", "Ą", "ó", "Ó", "ź",    "Ź",    "ì",
                                           "Ì", "ÿ", "Ÿ", "ä", "Ä", "_", "\xE5", "\xC5", "\xC0\x80"};
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1), len(0, 3);
    for (int i = 0; i < 3000; ++i) {
        std::string a, b;
        for (std::size_t k = len(rng); k > 0; --k) a += letters[pick(rng)];
        for (std::size_t k = len(rng); k > 0; --k) b += letters[pick(rng)];
        const bool same = host::iequals(a, b);
        ASSERT_EQ(zcutEqualsNoCase(a, b), same) << a << " | " << b;
        ASSERT_EQ(zcutCompareNoCase(a, b) == 0, same) << a << " | " << b;
        if (same) {
            ASSERT_EQ(ZcNoCaseHash()(a), ZcNoCaseHash()(b)) << a << " | " << b;
        }
        ASSERT_EQ(zcui::FoldUpper(a), host::toUpper(a));
        ASSERT_EQ(zcutUpperCase(a), host::ads_text::upper(a));
    }
}

TEST(TextFormat, printf_texts_longer_than_any_fixed_buffer_come_out_whole) {
    const std::string word(5000, 'x');
    EXPECT_EQ(zcui::Format("<%s>%d", word.c_str(), 42), "<" + word + ">42");
    EXPECT_EQ(host::ads_text::format("%s|%.2f", word.c_str(), 1.5), word + "|1.50");
    EXPECT_EQ(host::ads_text::fixed(-0.125, 2), host::formatFixed(-0.125, 2));
}

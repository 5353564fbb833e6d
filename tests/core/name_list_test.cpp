// Name lists (order, repeats, lookup ignoring case in Polish and Italian)
// and the string copies (ownership, aliasing, bounded buffers).
#include "core/name_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "host/util/nocase.h"

namespace {

std::vector<std::string> Names(const NameNode* list) {
    std::vector<std::string> names;
    for (; list != nullptr; list = list->next) {
        names.push_back(list->name);
    }
    return names;
}

}  // namespace

TEST(NameList, unique_insert_refuses_case_repeats_and_sorts_by_code) {
    NameList list(AddNameUnique("b", nullptr, 1));
    list.reset(AddNameUnique("A", list.release(), 2));
    list.reset(AddNameUnique("a", list.release(), 3));
    EXPECT_EQ(Names(list.get()), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(GetNameValue("a", list.get()), 2);

    NameList other(AddNameUnique("B", nullptr, 0));
    other.reset(AddNameUnique("a", other.release(), 0));
    EXPECT_EQ(Names(other.get()), (std::vector<std::string>{"B", "a"}));
}

TEST(NameList, unique_insert_matches_a_sorted_set_oracle) {
    const std::vector<std::string> letters = {"a", "A", "ł", "Ł", "ó", "Ó", "è", "È", "z"};
    std::mt19937 rng(7);
    NameNode* list = nullptr;
    std::vector<std::string> kept;
    for (int i = 0; i < 400; ++i) {
        std::string name;
        const int length = 1 + static_cast<int>(rng() % 3);
        for (int k = 0; k < length; ++k) {
            name += letters[rng() % letters.size()];
        }
        const bool repeat = std::any_of(kept.begin(), kept.end(),
                                        [&](const std::string& k) { return zcutEqualsNoCase(k, name); });
        if (!repeat) {
            kept.push_back(name);
        }
        list = AddNameUnique(name, list, i);
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Names(list), kept);
    FreeNameList(list);
}

TEST(NameList, absent_or_empty_names) {
    EXPECT_EQ(GetNameValue("x", nullptr), -1);
    EXPECT_EQ(AddNameUnique("", nullptr, 1), nullptr);
    EXPECT_EQ(AppendName("", nullptr, 1), nullptr);
    NameList list(AppendName("y", nullptr, 5));
    EXPECT_EQ(GetNameValue("x", list.get()), -1);
    EXPECT_EQ(GetNameValue("Y", list.get()), 5);
    EXPECT_EQ(AppendName("", list.get(), 2), list.get());
    EXPECT_EQ(AddNameUnique("", list.get(), 2), list.get());
    EXPECT_EQ(Names(list.get()).size(), 1u);
}

TEST(NameList, append_keeps_order_and_repeats_and_finds_the_first) {
    NameNode* list = nullptr;
    list = AppendName("Piano", list, 1);
    list = AppendName("Terra", list, 2);
    list = AppendName("PIANO", list, 3);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Piano", "Terra", "PIANO"}));
    EXPECT_EQ(FindName("piano", list), list);
    EXPECT_EQ(GetNameValue("piano", list), 1);
    FreeNameList(list);
}

TEST(NameList, freeing_a_very_long_list_does_not_recurse) {
    NameNode* list = nullptr;
    for (int i = 0; i < 200000; ++i) {
        list = new NameNode{"n", i, list};
    }
    EXPECT_EQ(FreeNameList(list), nullptr);
}

TEST(CaseFold, polish_and_italian_letters_match_their_capitals) {
    EXPECT_TRUE(zcutEqualsNoCase("zażółć gęślą jaźń", "ZAŻÓŁĆ GĘŚLĄ JAŹŃ"));
    EXPECT_TRUE(zcutEqualsNoCase("Łódź", "łÓDŹ"));
    EXPECT_TRUE(zcutEqualsNoCase("città perché più", "CITTÀ PERCHÉ PIÙ"));
    EXPECT_TRUE(zcutEqualsNoCase("ìò", "ÌÒ"));
    EXPECT_TRUE(zcutEqualsNoCase("", ""));
}

TEST(CaseFold, accents_are_not_dropped_and_lengths_count) {
    EXPECT_FALSE(zcutEqualsNoCase("a", "ą"));
    EXPECT_FALSE(zcutEqualsNoCase("z", "ż"));
    EXPECT_FALSE(zcutEqualsNoCase("ż", "ź"));
    EXPECT_FALSE(zcutEqualsNoCase("l", "Ł"));
    EXPECT_FALSE(zcutEqualsNoCase("e", "È"));
    EXPECT_FALSE(zcutEqualsNoCase("×", "÷"));
    EXPECT_FALSE(zcutEqualsNoCase("ab", "a"));
    EXPECT_FALSE(zcutEqualsNoCase("a", "ab"));
}

TEST(CaseFold, broken_utf8_compares_as_raw_bytes) {
    // A lone lead byte of Ä must not pass for the letter itself.
    EXPECT_FALSE(zcutEqualsNoCase("\xC3", "Ä"));
    EXPECT_FALSE(zcutEqualsNoCase("\xC3", "\xE3"));
    EXPECT_TRUE(zcutEqualsNoCase("x\xC3", "X\xC3"));
    EXPECT_TRUE(zcutEqualsNoCase("\xFF\xFE", "\xFF\xFE"));
    // An overlong encoding of 'A' is not 'a'.
    EXPECT_FALSE(zcutEqualsNoCase("\xC1\x81", "a"));
}

TEST(StringCopy, duplicate_and_replace_own_their_copies) {
    char* text = DuplicateString("Ściana");
    EXPECT_STREQ(text, "Ściana");
    char* empty = DuplicateString(nullptr);
    EXPECT_STREQ(empty, "");
    delete[] empty;

    text = ReplaceString(text, "Solaio");
    EXPECT_STREQ(text, "Solaio");
    text = ReplaceString(text, text);  // the new text is the old one
    EXPECT_STREQ(text, "Solaio");
    text = ReplaceString(text, text + 3);  // or a part of it
    EXPECT_STREQ(text, "aio");
    text = ReplaceString(text, nullptr);
    EXPECT_STREQ(text, "");
    delete[] text;

    char* fresh = ReplaceString(nullptr, "x");
    EXPECT_STREQ(fresh, "x");
    delete[] fresh;
}

TEST(StringCopy, bounded_copy_never_writes_past_the_buffer) {
    char area[12];
    std::memset(area, '#', sizeof area);
    char* buffer = area + 1;  // guard bytes at area[0] and area[6..]
    EXPECT_TRUE(CopyStringToBuffer(buffer, 5, "abcd"));
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_FALSE(CopyStringToBuffer(buffer, 5, "abcde"));
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(area[0], '#');
    EXPECT_EQ(area[6], '#');

    EXPECT_FALSE(CopyStringToBuffer(buffer, 1, "abc"));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(CopyStringToBuffer(buffer, 0, "abc"));
    EXPECT_EQ(buffer[0], '\0');  // untouched since the last copy
    EXPECT_EQ(area[0], '#');
}

TEST(StringCopy, bounded_copy_cuts_between_letters) {
    char buffer[4];
    EXPECT_FALSE(CopyStringToBuffer(buffer, "ałą"));  // a, then two 2-byte letters
    EXPECT_STREQ(buffer, "ał");
    EXPECT_FALSE(CopyStringToBuffer(buffer, "aał"));  // ł would be cut in half
    EXPECT_STREQ(buffer, "aa");
    EXPECT_FALSE(CopyStringToBuffer(buffer, "\xF0\x9F\x8F\xA0"));  // a 4-byte character
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(CopyStringToBuffer(buffer, "łą"));  // needs five bytes with the end
    EXPECT_STREQ(buffer, "ł");
}

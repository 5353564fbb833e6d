// The wall-type records and their lists.
#include "walls/types/wall_types.h"

#include <gtest/gtest.h>

TEST(WallTypeRecords, defaults) {
    CStrato s;
    EXPECT_EQ(s.pattern, "0");
    EXPECT_EQ(s.patternScale, 1.0);
    EXPECT_EQ(s.number, 0u);
    CMuro m;
    EXPECT_EQ(m.color, 2);
    EXPECT_EQ(m.priority, 0);
    EXPECT_EQ(m.layer, "2DWALLS");
    EXPECT_FALSE(m.scales);
}

TEST(WallTypeLists, layer_keys_run_on_after_a_delete_and_modes_place_them) {
    CListStrati list;
    CStrato s;
    s.material = "a";
    list.InsertNumbered(list.end(), s, CListStrati::kTail);
    s.material = "b";
    auto b = list.InsertNumbered(list.end(), s, CListStrati::kTail);
    s.material = "c";
    list.InsertNumbered(list.end(), s, CListStrati::kTail);
    std::vector<unsigned> high;
    for (const CStrato& l : list) high.push_back(l.number >> 16);
    EXPECT_EQ(high, (std::vector<unsigned>{1, 2, 3}));
    list.RemoveAt(b);
    s.material = "d";
    auto d = list.InsertNumbered(list.begin(), s, CListStrati::kAfter);
    EXPECT_EQ(d->number, (4u << 16) | 4u);
    s.material = "e";
    list.InsertNumbered(d, s, CListStrati::kBefore);
    s.material = "f";
    list.InsertNumbered(list.end(), s, CListStrati::kHead);
    std::string order;
    for (const CStrato& l : list) order += l.material;
    EXPECT_EQ(order, "faedc");
    EXPECT_EQ(list.InsertNumbered(list.begin(), s, 4), list.end());
    EXPECT_EQ(list.size(), 5u);
    EXPECT_EQ(list.FindByNumber((4u << 16) | 4u), d);
    EXPECT_EQ(list.FindByNumber((2u << 16) | 4u), list.end());
}

TEST(WallTypeLists, find_by_name_counts_letter_case_and_find_by_number_the_scale) {
    CListMuri types;
    CMuro m;
    m.name = "Ściana";
    types.push_back(m);
    EXPECT_NE(types.FindByName("Ściana"), types.end());
    EXPECT_EQ(types.FindByName("ściana"), types.end());
    EXPECT_EQ(types.FindByName("ŚCIANA"), types.end());
    CListScale scales;
    scales.push_back(CScala{100, nullptr});
    scales.push_back(CScala{200, nullptr});
    EXPECT_EQ(scales.FindByNumber(200), std::next(scales.begin()));
    EXPECT_EQ(scales.FindByNumber(50), scales.end());
}

TEST(WallTypeLists, copies_share_one_build_up_list_freed_once) {
    CListMuri types;
    CMuro original;
    original.name = "A";
    original.scales = std::make_shared<CListScale>();
    auto layers = std::make_shared<CListStrati>();
    layers->InsertNumbered(layers->end(), CStrato{}, CListStrati::kTail);
    original.scales->push_back(CScala{50, layers});
    types.push_back(original);
    types.push_back(original);
    CMuro copy = types.front();
    EXPECT_EQ(copy.scales, types.back().scales);
    // Removing one holder and emptying the list leaves the copy's build-ups
    // whole; the last holder frees them (the sanitizers see a double free
    // or a leak).
    types.RemoveAt(types.begin());
    types.RemoveAll();
    original = CMuro{};
    layers.reset();
    ASSERT_EQ(copy.scales->size(), 1u);
    EXPECT_EQ(copy.scales->front().layers->size(), 1u);
}

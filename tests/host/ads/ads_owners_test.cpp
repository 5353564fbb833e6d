// The owners of result-buffer lists and selection sets: every set and list
// is freed exactly once, whether the owner goes, is moved from, refilled or
// hands its resource on (the leak checker of the sanitized build sees a
// list that was not freed, and a set freed twice would free another's).
#include <gtest/gtest.h>

#include <utility>

#include "host/ads/adsowners.h"
#include "tests/host/ads/ads_ent_fixture.h"

namespace {

class AdsOwners : public AdsDrawing {
protected:
    void SetUp() override {
        AdsDrawing::SetUp();
        const ads_point a = {0, 0, 0}, b = {10, 0, 0}, c = {0, 10, 0};
        host::ResbufList first(zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, 0));
        ASSERT_EQ(zcdbEntMake(first.get()), RTNORM);
        zcdbEntLast(m_first);
        host::ResbufList second(zcutBuildList(RTDXF0, "LINE", 10, a, 11, c, 0));
        ASSERT_EQ(zcdbEntMake(second.get()), RTNORM);
        zcdbEntLast(m_second);
    }
    static bool Alive(const ads_name set) {
        std::int32_t n = 0;
        return zcedSSLength(set, &n) == RTNORM;
    }
    ads_name m_first = {0, 0}, m_second = {0, 0};
};

TEST_F(AdsOwners, set_is_freed_once_whoever_holds_it_last) {
    ads_name taken = {0, 0};
    {
        host::SelectionSet set;
        ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, nullptr, set.put()), RTNORM);
        taken[0] = set.get()[0];
        taken[1] = set.get()[1];
        EXPECT_EQ(set.size(), 2);
        ads_name member;
        EXPECT_TRUE(set.name(1, member));
        EXPECT_FALSE(set.name(2, member));

        host::SelectionSet moved(std::move(set));
        EXPECT_FALSE(set);
        EXPECT_EQ(set.size(), 0);
        EXPECT_TRUE(Alive(taken));
        host::SelectionSet assigned;
        assigned = std::move(moved);
        EXPECT_TRUE(Alive(taken));
    }
    EXPECT_FALSE(Alive(taken));
}

TEST_F(AdsOwners, refilling_frees_the_old_set_and_a_failed_selection_leaves_none) {
    host::SelectionSet set;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, nullptr, set.put()), RTNORM);
    const ads_name old = {set.get()[0], set.get()[1]};
    host::ResbufList circles(zcutBuildList(RTDXF0, "CIRCLE", 0));
    EXPECT_EQ(zcedSSGet("X", nullptr, nullptr, circles.get(), set.put()), RTERROR);
    EXPECT_FALSE(Alive(old));
    EXPECT_FALSE(set);
    set.reset();  // nothing held: nothing freed, nothing fails
}

TEST_F(AdsOwners, released_set_outlives_its_owner_and_adds_make_a_set) {
    ads_name kept = {0, 0};
    {
        host::SelectionSet pair;
        EXPECT_TRUE(pair.add(m_first));
        EXPECT_TRUE(pair.add(m_second));
        EXPECT_TRUE(pair.add(m_first));
        EXPECT_EQ(pair.size(), 2);
        pair.release(kept);
        EXPECT_FALSE(pair);
    }
    ASSERT_TRUE(Alive(kept));
    host::SelectionSet adopted(kept);
    EXPECT_EQ(adopted.size(), 2);
}

TEST(ResbufOwner, released_list_is_the_callers_and_a_reset_frees_the_whole_list) {
    host::ResbufList list(zcutBuildList(RTSTR, "a", RTSTR, "b", RTSHORT, 3, 0));
    resbuf* mine = list.release();
    EXPECT_FALSE(list);
    list.reset(zcutBuildList(RTSTR, "c", 0));
    list.reset(mine);  // frees "c"; "a" … 3 goes with the owner
    EXPECT_STREQ(list->rbnext->resval.rstring, "b");
}

}  // namespace

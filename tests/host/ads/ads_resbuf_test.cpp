// Result-buffer lists: building, copying, value kinds of group codes.
#include <gtest/gtest.h>

#include <cstring>

#include "host/ads/rbutil.h"

namespace {

TEST(ResbufLists, build_list_carries_values_by_type_and_group_code) {
    ads_point p = {1, 2, 3};
    resbuf* rb = zcutBuildList(RTSTR, "Ściana", RTREAL, 2.5, RTSHORT, 7, RTLB, RT3DPOINT, p, RTLE, 8, "MURI",
                               10, p, 40, 1.25, 62, 3, 1001, "VELM7", 1070, 12, 1071, 70000, 0);
    ASSERT_NE(rb, nullptr);
    const resbuf* r = rb;
    EXPECT_STREQ(r->resval.rstring, "Ściana");
    EXPECT_DOUBLE_EQ((r = r->rbnext)->resval.rreal, 2.5);
    EXPECT_EQ((r = r->rbnext)->resval.rint, 7);
    EXPECT_EQ((r = r->rbnext)->restype, RTLB);
    EXPECT_DOUBLE_EQ((r = r->rbnext)->resval.rpoint[2], 3);
    EXPECT_EQ((r = r->rbnext)->restype, RTLE);
    EXPECT_STREQ((r = r->rbnext)->resval.rstring, "MURI");
    EXPECT_DOUBLE_EQ((r = r->rbnext)->resval.rpoint[1], 2);
    EXPECT_DOUBLE_EQ((r = r->rbnext)->resval.rreal, 1.25);
    EXPECT_EQ((r = r->rbnext)->resval.rint, 3);
    EXPECT_STREQ((r = r->rbnext)->resval.rstring, "VELM7");
    EXPECT_EQ((r = r->rbnext)->resval.rint, 12);
    EXPECT_EQ((r = r->rbnext)->resval.rlong, 70000);
    EXPECT_EQ(r->rbnext, nullptr);
    zcutRelRb(rb);
}

TEST(ResbufLists, unknown_type_gives_no_list) {
    EXPECT_EQ(zcutBuildList(RTSTR, "a", 5099, 0), nullptr);
}

TEST(ResbufLists, deep_copy_owns_its_strings) {
    resbuf* rb = zcutBuildList(RTSTR, "abc", 1000, "xyz", RTSHORT, 1, 0);
    resbuf* copy = zcutDupRbList(rb);
    rb->resval.rstring[0] = 'Z';
    zcutRelRb(rb);
    EXPECT_STREQ(copy->resval.rstring, "abc");
    EXPECT_STREQ(copy->rbnext->resval.rstring, "xyz");
    EXPECT_EQ(copy->rbnext->rbnext->resval.rint, 1);
    zcutRelRb(copy);
    EXPECT_EQ(zcutDupRbList(nullptr), nullptr);
}

TEST(ResbufLists, group_code_ranges_give_value_kinds) {
    using host::RbValueKind;
    EXPECT_EQ(host::rbValueKind(0), RbValueKind::String);
    EXPECT_EQ(host::rbValueKind(-1), RbValueKind::Name);
    EXPECT_EQ(host::rbValueKind(11), RbValueKind::Point);
    EXPECT_EQ(host::rbValueKind(50), RbValueKind::Real);
    EXPECT_EQ(host::rbValueKind(70), RbValueKind::Short);
    EXPECT_EQ(host::rbValueKind(90), RbValueKind::Long);
    EXPECT_EQ(host::rbValueKind(1010), RbValueKind::Point);
    EXPECT_EQ(host::rbValueKind(1040), RbValueKind::Real);
    EXPECT_EQ(host::rbValueKind(RTLB), RbValueKind::None);
}

}  // namespace

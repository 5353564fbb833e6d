// Print-scale records: defaults, lookups with the unit conversion of the
// text heights, raw entry access, and filing.
#include "store/fscala.h"

#include <gtest/gtest.h>

#include <limits>

#include "host/ads/transcript.h"
#include "tests/settings/memory_filer.h"

namespace {

VELM_FSCALA defaults() {
    VELM_FSCALA f;
    f.Reset();
    return f;
}

}  // namespace

TEST(FScala, new_record_holds_keys_50_and_100_in_order) {
    VELM_FSCALA f = defaults();
    ASSERT_EQ(f.scales.records.size(), 2u);
    EXPECT_EQ(f.scales.records[0].key, 50);
    EXPECT_EQ(f.scales.records[1].key, 100);
    EXPECT_EQ(f.scales.records[0].values[5], 40.0);
    EXPECT_EQ(f.scales.records[1].values[5], 80.0);
    EXPECT_EQ(f.scales.records[1].values[7], 10.0);
}

TEST(FScala, text_heights_are_converted_and_other_entries_returned_as_stored) {
    VELM_FSCALA f = defaults();
    EXPECT_DOUBLE_EQ(ScaleFactorFor(f.scales, 1, 1.0, 50), 15.0);
    EXPECT_DOUBLE_EQ(ScaleFactorFor(f.scales, 4, 1.0, 50), 17.5);
    EXPECT_EQ(ScaleFactorFor(f.scales, 9, 1.0, 50), 50.0);
    EXPECT_EQ(ScaleFactorFor(f.scales, 10, 1.0, 50), 0.0);
    EXPECT_EQ(ScaleFactorFor(f.scales, -1, 1.0, 50), 0.0);
    EXPECT_DOUBLE_EQ(ScaleFactorFor(f.scales, 1, 0.01, 100), 0.3);
    EXPECT_EQ(ScaleFactorFor(f.scales, 5, 0.01, 100), 80.0);
}

TEST(FScala, scale_without_a_record_reads_zero_everywhere) {
    VELM_FSCALA f = defaults();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ScaleFactorFor(f.scales, i, 1.0, 200), 0.0);
}

TEST(FScala, set_by_key_overwrites_an_existing_record_or_appends) {
    VELM_FSCALA f = defaults();
    AA_FSCALA r = DefaultScaleRecord(50);
    r.values[0] = 99.0;
    f.scales.SetByKey(50, r);
    ASSERT_EQ(f.scales.records.size(), 2u);
    EXPECT_EQ(f.scales.records[0].values[0], 99.0);
    AA_FSCALA big;
    big.key = 200;
    big.values[9] = 200.0;
    f.scales.SetByKey(200, big);
    ASSERT_EQ(f.scales.records.size(), 3u);
    EXPECT_EQ(ScaleFactorFor(f.scales, 9, 1.0, 200), 200.0);
}

TEST(FScala, raw_entry_access_reads_and_writes_one_entry) {
    VELM_FSCALA f = defaults();
    double v = 75.0;
    EXPECT_TRUE(AccessScaleEntry(f.scales, 50, 9, v, true));
    v = 0;
    EXPECT_TRUE(AccessScaleEntry(f.scales, 50, 9, v, false));
    EXPECT_EQ(v, 75.0);
    EXPECT_TRUE(AccessScaleEntry(f.scales, 50, 1, v, false));
    EXPECT_EQ(v, 3.0);  // raw, without the text-height conversion
    for (auto [key, index] : {std::pair{50, 10}, std::pair{50, -1}, std::pair{75, 0}}) {
        v = 5.0;
        EXPECT_FALSE(AccessScaleEntry(f.scales, key, index, v, true));
        EXPECT_EQ(v, 0.0);
    }
    EXPECT_EQ(f.scales.records[0].values[0], 15.0);
}

TEST(FScala, records_round_trip_through_both_forms) {
    VELM_FSCALA src = defaults();
    AA_FSCALA neg;
    neg.key = -20;
    for (int i = 0; i < 10; ++i) neg.values[i] = i * 0.5 - 1;
    src.scales.records.push_back(neg);

    MemoryDwgStream d;
    src.fileOutDwg(d);
    EXPECT_EQ(std::get<short>(d.items[0]), 7);
    VELM_FSCALA fromDwg;
    EXPECT_EQ(fromDwg.fileInDwg(d), FilingStatus::kOk);
    EXPECT_TRUE(d.atEnd());

    MemoryDxfStream x;
    src.fileOutDxf(x);
    VELM_FSCALA fromDxf;
    fromDxf.Reset();
    EXPECT_EQ(fromDxf.fileInDxf(x), FilingStatus::kOk);
    EXPECT_TRUE(x.atEnd());

    for (const VELM_FSCALA* back : {&fromDwg, &fromDxf}) {
        ASSERT_EQ(back->scales.records.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(back->scales.records[i].key, src.scales.records[i].key);
            EXPECT_EQ(back->scales.records[i].values, src.scales.records[i].values);
        }
    }
}

TEST(FScala, dxf_record_cut_short_is_dropped_and_earlier_records_stay) {
    VELM_FSCALA src = defaults();
    MemoryDxfStream x;
    src.fileOutDxf(x);
    // Second record: nine values, then a 170 where the tenth should be.
    ASSERT_EQ(x.items.size(), 24u);
    x.items.pop_back();
    x.items.push_back({170, short{7}});
    VELM_FSCALA back;
    back.fileInDxf(x);
    ASSERT_EQ(back.scales.records.size(), 1u);
    EXPECT_EQ(back.scales.records[0].key, 50);
}

TEST(FScala, dxf_without_count_leaves_the_records) {
    VELM_FSCALA back = defaults();
    MemoryDxfStream x;
    x.items = {{100, std::string("VELM_FSCALA")}, {140, 1.0}};
    back.fileInDxf(x);
    EXPECT_EQ(back.scales.records.size(), 2u);
}

TEST(FScala, truncated_dwg_reports_failure_and_keeps_complete_records) {
    VELM_FSCALA src = defaults();
    MemoryDwgStream d;
    src.fileOutDwg(d);
    d.items.resize(d.items.size() - 3);
    VELM_FSCALA back;
    EXPECT_EQ(back.fileInDwg(d), FilingStatus::kReadFailed);
    ASSERT_EQ(back.scales.records.size(), 1u);
    EXPECT_EQ(back.scales.records[0].values[9], 50.0);
}

// A factor no drawing can hold takes the value of a new record of its scale
// (zero for a scale without one) and the factors are named once.
TEST(FScala, factors_out_of_range_take_their_defaults_and_are_named_once) {
    VELM_FSCALA src = defaults();
    AA_FSCALA odd;
    odd.key = 200;
    odd.values.fill(7.0);
    odd.values[2] = -1e20;
    src.scales.SetByKey(200, odd);
    src.scales.records[0].values[3] = 1e308;
    src.scales.records[1].values[0] = std::numeric_limits<double>::quiet_NaN();
    for (const bool dxf : {true, false}) {
        MemoryDxfStream x;
        MemoryDwgStream w;
        host::transcript().clear();
        VELM_FSCALA back;
        if (dxf) {
            src.fileOutDxf(x);
            EXPECT_EQ(back.fileInDxf(x), FilingStatus::kOk);
        } else {
            src.fileOutDwg(w);
            EXPECT_EQ(back.fileInDwg(w), FilingStatus::kOk);
        }
        ASSERT_EQ(back.scales.records.size(), 3u);
        EXPECT_EQ(back.scales.records[0].values[3], 20.0);
        EXPECT_EQ(back.scales.records[1].values[0], 15.0);
        EXPECT_EQ(back.scales.records[1].values[1], 3.0);
        EXPECT_EQ(back.scales.records[2].values[2], 0.0);
        EXPECT_EQ(back.scales.records[2].values[3], 7.0);
        const std::string said = host::transcript().text();
        EXPECT_NE(said.find("1:50 wartość 4, 1:100 wartość 1, 1:200 wartość 3"), std::string::npos) << said;
        EXPECT_EQ(said.find("poza zakresem"), said.rfind("poza zakresem")) << said;
    }
}

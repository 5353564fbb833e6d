// Filing of the settings store: both forms round-trip every slot, and the
// reading rules for older, newer and damaged stores.
#include <gtest/gtest.h>

#include <limits>

#include "host/ads/transcript.h"
#include "store/velm_setup.h"
#include "tests/settings/memory_filer.h"

namespace {

SetupSlots defaults() {
    SetupSlots s;
    InitSetupSlots(s);
    return s;
}

// A store whose values all differ from the defaults, with a Polish text, a
// negative integer and an odd point among them.
SetupSlots edited() {
    SetupSlots s = defaults();
    for (int i = 0; i < kSetupVarCount; ++i) {
        AA_VARIABILE& v = s[i];
        if (auto p = v.asInt())
            *p = static_cast<short>(-i - 1);
        else if (auto p = v.asReal())
            *p = i * 1.25 + 0.1;
        else if (auto p = v.asText())
            *p = "żółć " + std::to_string(i);
        else if (auto p = v.asPoint())
            *p = ZcGePoint3d(i, -i, 0.5 * i);
    }
    return s;
}

void expectSame(const SetupSlots& a, const SetupSlots& b) {
    for (int i = 0; i < kSetupVarCount; ++i)
        EXPECT_TRUE(SameValue(a[i].value(), b[i].value())) << "slot " << i;
}

// A DWG store holding the first `count` slots of `from`, then the extra
// entries.
MemoryDwgStream dwgStore(const SetupSlots& from, int count, const std::vector<AA_VALORE>& extra = {}) {
    MemoryDwgStream m;
    m.writeInt16(7);
    m.writeInt16(static_cast<short>(count + extra.size()));
    for (int i = 0; i < count; ++i) {
        m.writeInt16(static_cast<short>(from[i].typeCode()));
        WriteDwgValue(m, from[i].value());
    }
    for (const AA_VALORE& v : extra) {
        m.writeInt16(static_cast<short>(TypeCodeOf(v)));
        WriteDwgValue(m, v);
    }
    return m;
}

}  // namespace

TEST(SetupDwgFiling, every_slot_round_trips) {
    SetupSlots src = edited();
    MemoryDwgStream m;
    ASSERT_EQ(WriteSetupDwg(src, m), FilingStatus::kOk);
    EXPECT_EQ(std::get<short>(m.items[0]), 7);
    EXPECT_EQ(std::get<short>(m.items[1]), 322);
    SetupSlots back = defaults();
    EXPECT_EQ(ReadSetupDwg(back, m), FilingStatus::kOk);
    EXPECT_TRUE(m.atEnd());
    expectSame(src, back);
}

TEST(SetupDwgFiling, store_of_300_scales_missing_real_defaults_by_the_unit_factor) {
    SetupSlots src = defaults();
    *src[SetupVar::SFTMTCM].asReal() = 10.0;
    MemoryDwgStream m = dwgStore(src, 300);
    SetupSlots back = edited();  // whatever it held is replaced
    ASSERT_EQ(ReadSetupDwg(back, m), FilingStatus::kOk);
    EXPECT_EQ(*back[SetupVar::SETLASTSPESSRECT].asReal(), 300.0);
    EXPECT_EQ(*back[SetupVar::CFATSCALA_SIMIL].asReal(), 0.1 * 10.0);
    EXPECT_EQ(*back[SetupVar::CLAYER_SIMIL].asText(), "3DSWALK");
    EXPECT_EQ(*back[SetupVar::CSPESS_SIMIL].asReal(), 10.0);  // stored, so not scaled
    EXPECT_EQ(*back[SetupVar::SETCRO_ANGOLO].asReal(), 180.0);
}

TEST(SetupDwgFiling, angle_and_factors_stay_unscaled_when_missing) {
    SetupSlots src = defaults();
    *src[SetupVar::SFTMTCM].asReal() = 10.0;
    MemoryDwgStream m = dwgStore(src, 190);
    SetupSlots back;
    ASSERT_EQ(ReadSetupDwg(back, m), FilingStatus::kOk);
    EXPECT_EQ(*back[SetupVar::SETCRO_ANGOLO].asReal(), 180.0);
    EXPECT_EQ(*back[SetupVar::SETSCA_AINLSEZ].asReal(), 0.17);
    EXPECT_EQ(*back[SetupVar::SFTMATSCALA].asReal(), 0.5);
    EXPECT_EQ(*back[SetupVar::SETCRO_FRECCIA].asReal(), 1400.0);
    EXPECT_EQ(*back[SetupVar::SETCON_GENBLK].asInt(), 1);  // integers are not scaled
    EXPECT_EQ(*back[SetupVar::SFTMTCM].asReal(), 10.0);
}

TEST(SetupDwgFiling, store_without_the_unit_factor_keeps_defaults) {
    SetupSlots src = defaults();
    MemoryDwgStream m = dwgStore(src, 3);
    SetupSlots back;
    ASSERT_EQ(ReadSetupDwg(back, m), FilingStatus::kOk);
    expectSame(back, defaults());
}

TEST(SetupDwgFiling, store_of_330_drops_the_extra_entries_and_keeps_position) {
    SetupSlots src = edited();
    std::vector<AA_VALORE> extra = {short{1}, 2.5, std::string("x"), ZcGePoint3d(1, 2, 3),
                                    short{5}, 6.0, std::string(),    8.0};
    MemoryDwgStream m = dwgStore(src, 322, extra);
    m.writeInt16(4242);  // data filed after the store
    SetupSlots back;
    ASSERT_EQ(ReadSetupDwg(back, m), FilingStatus::kOk);
    expectSame(src, back);
    short next = 0;
    ASSERT_TRUE(m.readInt16(next));
    EXPECT_EQ(next, 4242);
}

TEST(SetupDwgFiling, unknown_type_code_stops_with_an_error_and_keeps_defaults_after_it) {
    SetupSlots src = edited();
    MemoryDwgStream m = dwgStore(src, 10);
    m.items[1] = short{322};
    m.writeInt16(1071);  // a 32-bit integer code: its size is not known here
    m.writeReal(1.0);
    SetupSlots back;
    EXPECT_EQ(ReadSetupDwg(back, m), FilingStatus::kBadData);
    SetupSlots expected = defaults();
    for (int i = 0; i < 10; ++i) expected[i] = src[i];
    expectSame(expected, back);
}

TEST(SetupDwgFiling, truncated_or_mistyped_streams_fail_without_overrun) {
    SetupSlots src = edited();
    MemoryDwgStream full;
    WriteSetupDwg(src, full);
    for (size_t cut :
         {size_t{0}, size_t{1}, size_t{2}, size_t{3}, full.items.size() / 2, full.items.size() - 1}) {
        MemoryDwgStream m;
        m.items.assign(full.items.begin(), full.items.begin() + cut);
        SetupSlots back;
        EXPECT_EQ(ReadSetupDwg(back, m), FilingStatus::kReadFailed) << cut;
    }
    // A slot that says text but holds a real.
    MemoryDwgStream m = full;
    m.items[2 + 2 * SetupVar::SFILEARTICOLI + 1] = 1.0;
    SetupSlots back;
    EXPECT_EQ(ReadSetupDwg(back, m), FilingStatus::kReadFailed);
    EXPECT_EQ(*back[SetupVar::SFILEARTICOLI].asText(), "BART");
}

TEST(SetupDwgFiling, stored_type_replaces_the_default_type_of_a_slot) {
    SetupSlots src = defaults();
    src[SetupVar::SFTMTCM].setValue(std::string("metri"));
    src[SetupVar::ULAYERMURO].setValue(short{3});
    MemoryDwgStream m;
    WriteSetupDwg(src, m);
    VELM_SETUP s;
    ASSERT_EQ(ReadSetupDwg(s.slots(), m), FilingStatus::kOk);
    double r = 5;
    std::string t = "x";
    EXPECT_FALSE(s.getReal(SetupVar::SFTMTCM, r));
    EXPECT_TRUE(s.getString(SetupVar::SFTMTCM, t));
    EXPECT_EQ(t, "metri");
    EXPECT_FALSE(s.getString(SetupVar::ULAYERMURO, t));
    // Resetting gives the slots their own types back.
    s.InitVariables();
    EXPECT_TRUE(s.getReal(SetupVar::SFTMTCM, r));
    EXPECT_TRUE(s.getString(SetupVar::ULAYERMURO, t));
}

TEST(SetupDwgFiling, negative_count_reads_as_empty_store) {
    MemoryDwgStream m;
    m.writeInt16(7);
    m.writeInt16(-5);
    SetupSlots back = edited();
    EXPECT_EQ(ReadSetupDwg(back, m), FilingStatus::kOk);
    expectSame(back, defaults());
}

TEST(SetupDxfFiling, every_slot_round_trips_with_type_codes_as_group_codes) {
    SetupSlots src = edited();
    MemoryDxfStream m;
    WriteSetupDxf(src, m);
    ASSERT_EQ(m.items.size(), 323u);
    EXPECT_EQ(m.items[0].code, 100);
    EXPECT_EQ(m.items[1 + SetupVar::SQPAV].code, 1040);
    EXPECT_EQ(m.items[1 + SetupVar::ETIDIRETTRICE].code, 1070);
    EXPECT_EQ(m.items[1 + SetupVar::SFILEARTICOLI].code, 1000);
    EXPECT_EQ(m.items[1 + SetupVar::QUOTE_PRIFZERO].code, 1010);
    SetupSlots back;
    EXPECT_EQ(ReadSetupDxf(back, m), FilingStatus::kOk);
    EXPECT_TRUE(m.atEnd());
    expectSame(src, back);
}

TEST(SetupDxfFiling, short_store_keeps_unscaled_defaults_after_its_last_group) {
    SetupSlots src = edited();
    *src[SetupVar::SFTMTCM].asReal() = 10.0;
    MemoryDxfStream m;
    WriteSetupDxf(src, m);
    m.items.resize(11);  // marker and 10 groups
    SetupSlots back;
    ReadSetupDxf(back, m);
    SetupSlots expected = defaults();
    for (int i = 0; i < 10; ++i) expected[i] = src[i];
    expectSame(expected, back);
}

TEST(SetupDxfFiling, reading_stops_at_a_foreign_group_and_leaves_it_for_the_next_reader) {
    SetupSlots src = edited();
    MemoryDxfStream m;
    WriteSetupDxf(src, m);
    m.items.resize(21);
    m.items.push_back({102, std::string("{ZCAD_REACTORS")});
    SetupSlots back;
    ReadSetupDxf(back, m);
    EXPECT_EQ(m.pos, 21u);
    SettingsDxfItem next;
    ASSERT_TRUE(m.readItem(next));
    EXPECT_EQ(next.code, 102);
    EXPECT_EQ(*back[19].asText(), *src[19].asText());
    EXPECT_EQ(*back[20].asInt(), 0);
}

TEST(SetupDxfFiling, group_whose_value_does_not_match_its_code_ends_reading) {
    MemoryDxfStream m;
    m.items.push_back({100, std::string("VELM_SETUP")});
    m.items.push_back({1040, 12.5});
    m.items.push_back({1070, std::string("not a number")});
    SetupSlots back;
    ReadSetupDxf(back, m);
    EXPECT_EQ(*back[0].asReal(), 12.5);
    EXPECT_EQ(*back[1].asInt(), 0);
    EXPECT_EQ(m.pos, 2u);
}

TEST(SetupDxfFiling, missing_subclass_marker_leaves_the_store_unchanged) {
    SetupSlots src = edited();
    MemoryDxfStream m;
    WriteSetupDxf(defaults(), m);
    m.items[0].value = std::string("VELM_PIANI");
    SetupSlots back = src;
    EXPECT_EQ(ReadSetupDxf(back, m), FilingStatus::kOk);
    expectSame(src, back);
    EXPECT_EQ(m.pos, 0u);
}

// A record that lost one value: the real before the text "HATCHFLOOR".
// Every group after the gap would land one slot early, a text in a real's
// slot; they are skipped up to the next group that is no variable.
TEST(SetupDxfFiling, a_group_out_of_step_with_its_slot_keeps_the_defaults_from_there) {
    int text = -1;
    for (int i = 1; i < kSetupVarCount && text < 0; ++i)
        if (SetupVarDefinition(i).type == kVarText &&
            std::string(SetupVarDefinition(i).text) == "HATCHFLOOR" &&
            SetupVarDefinition(i - 1).type == kVarReal)
            text = i;
    ASSERT_GT(text, 0);
    const SetupSlots src = edited();
    MemoryDxfStream m;
    WriteSetupDxf(src, m);
    m.items.erase(m.items.begin() + 1 + (text - 1));
    m.items.push_back({102, std::string("{ZCAD_REACTORS")});
    SetupSlots back;
    bool repaired = false;
    EXPECT_EQ(ReadSetupDxf(back, m, &repaired), FilingStatus::kOk);
    EXPECT_TRUE(repaired);
    SetupSlots expected = defaults();
    for (int i = 0; i < text - 1; ++i) expected[i] = src[i];
    expectSame(expected, back);
    SettingsDxfItem next;
    ASSERT_TRUE(m.readItem(next));
    EXPECT_EQ(next.code, 102);

    // A whole record is no repair; one that ends early is.
    MemoryDxfStream whole, cut;
    WriteSetupDxf(src, whole);
    WriteSetupDxf(src, cut);
    cut.items.resize(200);
    ReadSetupDxf(back, whole, &repaired);
    EXPECT_FALSE(repaired);
    ReadSetupDxf(back, cut, &repaired);
    EXPECT_TRUE(repaired);
}

// A number past the range a drawing can hold, in a real or a point slot,
// is a damaged value: the slot keeps its default, the others their stored
// values, and the slots are named once on the command line.
TEST(SetupFiling, numbers_out_of_range_take_their_defaults_and_are_named_once) {
    int real = -1, point = -1;
    for (int i = 0; i < kSetupVarCount; ++i) {
        if (real < 0 && SetupVarDefinition(i).type == kVarReal) real = i;
        if (point < 0 && SetupVarDefinition(i).type == kVarPoint) point = i;
    }
    ASSERT_GE(real, 0);
    ASSERT_GE(point, 0);
    for (const double bad :
         {1e308, -1e20, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        SetupSlots src = edited();
        *src[real].asReal() = bad;
        *src[point].asPoint() = ZcGePoint3d(0.0, bad, 0.0);
        SetupSlots expected = src;
        expected[real] = defaults()[real];
        expected[point] = defaults()[point];

        MemoryDxfStream dxf;
        WriteSetupDxf(src, dxf);
        host::transcript().clear();
        SetupSlots back;
        EXPECT_EQ(ReadSetupDxf(back, dxf), FilingStatus::kOk);
        expectSame(expected, back);
        const std::string said = host::transcript().text();
        EXPECT_NE(said.find("wartości poza zakresem"), std::string::npos) << said;
        EXPECT_NE(said.find(SetupVarDefinition(real).name), std::string::npos) << said;
        EXPECT_EQ(said.find("poza zakresem"), said.rfind("poza zakresem")) << said;

        MemoryDwgStream dwg = dwgStore(src, kSetupVarCount);
        SetupSlots backDwg = defaults();
        EXPECT_EQ(ReadSetupDwg(backDwg, dwg), FilingStatus::kOk);
        expectSame(expected, backDwg);
    }
}

// The variables' table against an independent transcription of it (the
// data file), and the properties every store relies on: counts per type,
// unique names, defaults owned per slot.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "store/velm_setup.h"

namespace {

struct Row {
    int slot;
    std::string name;
    int code;
    std::string value;
};

std::vector<Row> readExpectedTable() {
    std::ifstream in(VELM_SOURCE_DIR "/tests/settings/data/setup_variables.tsv");
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ss(line);
        Row r;
        std::string slot, code;
        std::getline(ss, slot, '\t');
        std::getline(ss, r.name, '\t');
        std::getline(ss, code, '\t');
        std::getline(ss, r.value);
        r.slot = std::atoi(slot.c_str());
        r.code = std::atoi(code.c_str());
        rows.push_back(r);
    }
    return rows;
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
    return s;
}

}  // namespace

TEST(SetupTable, names_types_and_defaults_match_the_transcribed_table) {
    std::vector<Row> rows = readExpectedTable();
    ASSERT_EQ(rows.size(), 322u);
    SetupSlots slots;
    InitSetupSlots(slots);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(r.slot, &r - rows.data());
        EXPECT_EQ(r.name, SetupVarDefinition(r.slot).name);
        const AA_VARIABILE& v = slots[r.slot];
        ASSERT_EQ(v.typeCode(), r.code);
        switch (r.code) {
            case kVarInt:
                EXPECT_EQ(*v.asInt(), std::atoi(r.value.c_str()));
                break;
            case kVarReal:
                EXPECT_EQ(*v.asReal(), std::strtod(r.value.c_str(), nullptr));
                break;
            case kVarText:
                EXPECT_EQ(*v.asText(), r.value);
                break;
            case kVarPoint: {
                double x, y, z;
                ASSERT_EQ(std::sscanf(r.value.c_str(), "%lf,%lf,%lf", &x, &y, &z), 3);
                EXPECT_EQ(v.asPoint()->x, x);
                EXPECT_EQ(v.asPoint()->y, y);
                EXPECT_EQ(v.asPoint()->z, z);
                break;
            }
            default:
                ADD_FAILURE() << "unexpected type code " << r.code;
        }
    }
}

TEST(SetupTable, type_counts_are_127_integers_124_reals_68_texts_3_points) {
    SetupSlots slots;
    InitSetupSlots(slots);
    std::map<int, int> counts;
    for (const AA_VARIABILE& v : slots) ++counts[v.typeCode()];
    EXPECT_EQ(counts[kVarInt], 127);
    EXPECT_EQ(counts[kVarReal], 124);
    EXPECT_EQ(counts[kVarText], 68);
    EXPECT_EQ(counts[kVarPoint], 3);
}

TEST(SetupTable, names_are_unique_ignoring_case_and_fit_their_field) {
    std::set<std::string> seen;
    for (int i = 0; i < kSetupVarCount; ++i) {
        std::string name = SetupVarDefinition(i).name;
        EXPECT_LE(name.size(), 21u) << name;
        EXPECT_TRUE(seen.insert(upper(name)).second) << name;
    }
}

TEST(SetupTable, lookup_by_name_ignores_case_and_finds_nothing_for_a_misspelling) {
    EXPECT_EQ(FindSetupVarSlot("sfatscala"), 95);
    EXPECT_EQ(FindSetupVarSlot("SFATSCALA"), 95);
    EXPECT_EQ(FindSetupVarSlot("SQPAV"), 0);
    EXPECT_EQ(FindSetupVarSlot("setlastspessrect"), 321);
    EXPECT_EQ(FindSetupVarSlot("SFATSCAL"), -1);
    EXPECT_EQ(FindSetupVarSlot("SFATSCALAA"), -1);
    EXPECT_EQ(FindSetupVarSlot(""), -1);
    for (int i = 0; i < kSetupVarCount; ++i) EXPECT_EQ(FindSetupVarSlot(SetupVarDefinition(i).name), i);
}

TEST(SetupStore, new_store_reads_the_documented_defaults) {
    VELM_SETUP s;
    s.InitVariables();
    double r = -1;
    int n = -1;
    std::string t;
    ZcGePoint3d p;
    EXPECT_TRUE(s.getReal(SetupVar::SQPAV, r));
    EXPECT_EQ(r, 0.0);
    EXPECT_TRUE(s.getReal(SetupVar::SFTMTCM, r));
    EXPECT_EQ(r, 1.0);
    EXPECT_TRUE(s.getInt(SetupVar::SFATSCALA, n));
    EXPECT_EQ(n, 50);
    EXPECT_TRUE(s.getInt(SetupVar::VXDSTATE, n));
    EXPECT_EQ(n, 69);
    EXPECT_TRUE(s.getString(SetupVar::ULAYERMURO, t));
    EXPECT_EQ(t, "2DWALLS");
    EXPECT_TRUE(s.getReal(SetupVar::SETSCA_DIMFREC, r));
    EXPECT_EQ(r, 15.0);
    EXPECT_TRUE(s.getReal(SetupVar::SETCOM_ZSCALE, r));
    EXPECT_EQ(r, 140.0);
    EXPECT_TRUE(s.getPoint(96, p));
    EXPECT_EQ(p.x + p.y + p.z, 0.0);
    EXPECT_TRUE(s.getPoint(267, p));
    EXPECT_EQ(p.x, 0.7071067811865476);
    EXPECT_EQ(p.y, 0.7071067811865476);
    EXPECT_EQ(p.z, 0.7071067811865476);
}

TEST(SetupStore, typed_access_refuses_wrong_slot_or_type_and_clears_output) {
    VELM_SETUP s;
    s.InitVariables();
    int n = 7;
    EXPECT_FALSE(s.getInt(SetupVar::SFTMTCM, n));
    EXPECT_EQ(n, 0);
    std::string t = "x";
    EXPECT_FALSE(s.getString(322, t));
    EXPECT_EQ(t, "");
    double r = 3;
    EXPECT_FALSE(s.getReal(-1, r));
    EXPECT_EQ(r, 0.0);
    ZcGePoint3d p(1, 2, 3);
    EXPECT_FALSE(s.getPoint(SetupVar::SQPAV, p));
    EXPECT_EQ(p.y, 2.0);  // points are left untouched on failure

    EXPECT_FALSE(s.setInt(SetupVar::SFTMTCM, 3));
    EXPECT_FALSE(s.setString(322, "x"));
    EXPECT_FALSE(s.setReal(SetupVar::SFATSCALA, 1.0));
    EXPECT_TRUE(s.getReal(SetupVar::SFTMTCM, r));
    EXPECT_EQ(r, 1.0);
    EXPECT_TRUE(s.getInt(SetupVar::SFATSCALA, n));
    EXPECT_EQ(n, 50);
}

TEST(SetupStore, every_text_slot_holds_its_own_copy) {
    VELM_SETUP s;
    s.InitVariables();
    // Slots 34 and 65 share the default "ANGLE".
    ASSERT_TRUE(s.setString(SetupVar::CSTILESOLAIO, "CHANGED"));
    std::string t;
    s.getString(SetupVar::CSTILETRATTPAV, t);
    EXPECT_EQ(t, "ANGLE");
    s.getString(SetupVar::CLAYERTET, t);
    EXPECT_EQ(t, "ROOFSLAB");
    VELM_SETUP fresh;
    fresh.InitVariables();
    fresh.getString(SetupVar::CSTILESOLAIO, t);
    EXPECT_EQ(t, "ANGLE");
}

TEST(SetupStore, negative_integers_are_sign_extended) {
    VELM_SETUP s;
    s.InitVariables();
    ASSERT_TRUE(s.setInt(SetupVar::SFATSCALA, -2));
    int n = 0;
    s.getInt(SetupVar::SFATSCALA, n);
    EXPECT_EQ(n, -2);
}

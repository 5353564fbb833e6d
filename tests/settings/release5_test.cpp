// Drawings of release 5 converted on load: setup records of every shape a
// drawing may bring (whole, cut short, out of step), their marker sections,
// and the old level layer names and pitch records.
#include "settings/release5.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/base/module_state.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbmain.h"
#include "host/db/dbsymtb.h"
#include "host/util/adscodes.h"
#include "settings/floors.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

struct Pt {
    double x, y, z;
};
// One xdata value: 1000 text, 1070 short, 1040 real or 1011 point.
using Value = std::variant<std::string, short, double, Pt>;
using Record = std::vector<Value>;

// The fixed part as release 5 wrote it: each position of its own kind,
// the values telling the positions apart.
Record FixedPart(int count = 112) {
    auto in = [](int n, std::initializer_list<int> set) {
        for (int v : set)
            if (v == n) return true;
        return false;
    };
    Record r;
    for (int n = 1; n <= count; ++n) {
        if (in(n, {4, 5, 7, 8, 15, 21, 22, 26, 27, 44, 48, 50, 51, 80, 84, 85, 89}))
            r.emplace_back(std::to_string(n));
        else if (in(n, {6, 16, 23, 24, 34, 37, 53, 54, 60, 65, 66, 98, 99, 101, 102, 110}))
            r.emplace_back("T" + std::to_string(n));
        else if (in(n, {13, 45, 52, 55, 58, 100, 111, 112}))
            r.emplace_back(static_cast<short>(n));
        else if (in(n, {90, 97}))
            r.emplace_back(Pt{double(n), n + 1.0, n + 2.0});
        else if (n == 1)
            r.emplace_back(300.0);  // floor elevation
        else if (n == 2)
            r.emplace_back(280.0);  // its height
        else if (n == 10)
            r.emplace_back(1.0);  // unit factor
        else if (n == 49)
            r.emplace_back(90.0);  // door length
        else
            r.emplace_back(n + 0.5);
    }
    return r;
}

Record Join(Record a, const Record& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

resbuf* ValueNode(const Value& v) {
    if (auto* s = std::get_if<std::string>(&v)) return zcutBuildList(1000, s->c_str(), 0);
    if (auto* i = std::get_if<short>(&v)) return zcutBuildList(1070, int(*i), 0);
    if (auto* d = std::get_if<double>(&v)) return zcutBuildList(1040, *d, 0);
    const Pt& p = std::get<Pt>(v);
    const ads_point q{p.x, p.y, p.z};
    return zcutBuildList(1011, q, 0);
}

// An entity made from `head` with the record as the application's xdata.
void MakeWithXdata(resbuf* head, const char* app, const Record& record) {
    zcdbRegApp(app);
    resbuf* tail = head;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = zcutBuildList(-3, 1001, app, 0);
    tail = tail->rbnext->rbnext;
    for (const Value& v : record) tail = tail->rbnext = ValueNode(v);
    ASSERT_EQ(zcdbEntMake(head), RTNORM);
    zcutRelRb(head);
}

void MakeSetupInsert(const Record& record) {
    if (resbuf* found = zcdbTblSearch("BLOCK", "SETUP5", 0)) {
        zcutRelRb(found);
    } else {
        const ads_point o{0, 0, 0};
        resbuf* b = zcutBuildList(RTDXF0, "BLOCK", 2, "SETUP5", 70, 0, 10, o, 0);
        zcdbEntMake(b);
        zcutRelRb(b);
        resbuf* e = zcutBuildList(RTDXF0, "ENDBLK", 0);
        zcdbEntMake(e);
        zcutRelRb(e);
    }
    const ads_point o{0, 0, 0};
    MakeWithXdata(zcutBuildList(RTDXF0, "INSERT", 2, "SETUP5", 8, "0", 10, o, 0), kRelease5SetupApp, record);
}

void MakeLine(const char* layer, const char* app = nullptr, const Record& record = {}) {
    const ads_point a{0, 0, 0}, b{10, 0, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0);
    if (app) {
        MakeWithXdata(line, app, record);
    } else {
        ASSERT_EQ(zcdbEntMake(line), RTNORM);
        zcutRelRb(line);
    }
}

// The xdata of the first entity carrying the application, as text:
// "1070:2 1000:C …".
std::string XdataOf(const char* app) {
    resbuf* filter = zcutBuildList(-3, 1001, app, 0);
    ads_name ss, ent;
    std::string out;
    if (zcedSSGet("X", nullptr, nullptr, filter, ss) == RTNORM) {
        zcedSSName(ss, 0, ent);
        resbuf* apps = zcutBuildList(RTSTR, app, 0);
        resbuf* list = zcdbEntGetX(ent, apps);
        bool in = false;
        for (resbuf* rb = list; rb; rb = rb->rbnext) {
            if (rb->restype == 1001) {
                in = true;
                continue;
            }
            if (!in) continue;
            if (!out.empty()) out += ' ';
            if (rb->restype == 1070)
                out += "1070:" + std::to_string(rb->resval.rint);
            else if (rb->restype == 1000)
                out += std::string("1000:") + rb->resval.rstring;
            else
                out += std::to_string(rb->restype);
        }
        zcutRelRb(list);
        zcutRelRb(apps);
        zcedSSFree(ss);
    }
    zcutRelRb(filter);
    return out;
}

std::vector<std::pair<double, double>> Floors() {
    std::vector<std::pair<double, double>> out;
    if (VELM_PIANI* p = OpenPianiObject(true)) {
        for (const AA_PIANO& f : p->piani.floors) out.emplace_back(f.elevation, f.height);
        p->close();
    }
    return out;
}

const AA_FSCALA* ScaleRecord(const VELM_FSCALA& s, int key) {
    return s.scales.FindByKey(key);
}

constexpr const char* kMessage = "Converting drawing from release 5 of Velmor";

class Release5Test : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        // The floor list as a drawing has it after its first floor command.
        if (VELM_PIANI* p = OpenPianiObject(false)) p->close();
    }
    static int messages() {
        int n = 0;
        for (std::size_t at = transcript().find(kMessage); at != std::string::npos;
             at = transcript().find(kMessage, at + 1))
            ++n;
        return n;
    }
    static bool hasLayer(const char* name) {
        resbuf* rb = zcdbTblSearch("LAYER", name, 0);
        zcutRelRb(rb);
        return rb != nullptr;
    }
};

// ------------------------------------------------------------ fixed part

TEST_F(Release5Test, last_setup_insert_is_converted_every_kind_to_its_slot_and_all_inserts_erased) {
    Record first = FixedPart();
    first[9] = 7.0;  // another unit factor: must not win
    MakeSetupInsert(first);
    MakeSetupInsert(FixedPart());
    resbuf elevation;
    elevation.restype = RTREAL;
    elevation.resval.rreal = 12.0;
    zcedSetVar("ELEVATION", &elevation);

    ConvertRelease5Drawing();
    EXPECT_EQ(messages(), 1) << transcript();
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$SETUP-"), 0);
    EXPECT_EQ(count("-3=VELM6$_$COMPUTODESC-"), 0) << "no take-off names, no description insert";

    using namespace SetupVar;
    EXPECT_DOUBLE_EQ(SettingReal(SQPAV), 300.0);
    resbuf got;
    zcedGetVar("ELEVATION", &got);
    EXPECT_DOUBLE_EQ(got.resval.rreal, 12.0) << "ELEVATION is not the settings' business here";
    EXPECT_DOUBLE_EQ(SettingReal(SFTMTCM), 1.0);
    EXPECT_EQ(SettingInt(RAPSCALEPROSP), 4);
    EXPECT_EQ(SettingInt(SFATSCALA), 15);
    EXPECT_EQ(SettingString(SFILEARTICOLI), "T6");
    EXPECT_EQ(SettingString(PARA_LAYERNAME), "T110");
    EXPECT_EQ(SettingInt(SCIFRE_QUOTE), 13);
    EXPECT_EQ(SettingInt(CALC_INT_SEZ), 112);
    EXPECT_EQ(SettingString(CAT_NBLOCCO), "100");
    EXPECT_DOUBLE_EQ(SettingReal(MDPLINESTART), 47.5);
    EXPECT_DOUBLE_EQ(SettingReal(MDPLINEEND), 47.5);
    EXPECT_DOUBLE_EQ(SettingReal(PARA_H_FIN), 109.5);
    EXPECT_DOUBLE_EQ(SettingReal(DISCMURO), 75.5);
    double x = 0, y = 0, z = 0;
    const int prt = PRT_ORIGINE;
    ASSERT_TRUE(GetVarPoint(&prt, &x, &y, &z));
    EXPECT_EQ(x, 97.0);
    EXPECT_EQ(z, 99.0);
    EXPECT_EQ(Floors().back(), std::make_pair(300.0, 280.0));

    ConvertRelease5Drawing();
    EXPECT_EQ(messages(), 1) << "a converted drawing has nothing left to convert";
}

TEST_F(Release5Test, a_record_cut_short_or_out_of_step_keeps_the_slots_it_did_not_reach) {
    using namespace SetupVar;
    SetSettingReal(SFTMTCM, 2.0);
    const std::string oldFile = SettingString(SFILEARTICOLI);
    const int oldScaleView = SettingInt(DESCTOCOMP);
    const auto floorsBefore = Floors();

    // Value 6 should be a text: the fixed part ends there, the marker walk
    // starts on it (a real, passed over) and goes on to the group section.
    Record record = FixedPart(5);
    record.emplace_back(6.5);
    record.emplace_back(std::string("___INIT_GRGEN"));
    record.emplace_back(std::string("G1"));
    record.emplace_back(std::string("END___INIT_GRGEN"));
    MakeSetupInsert(record);
    ConvertRelease5Drawing();

    EXPECT_EQ(SettingInt(SAPRI_AUTO), 5);
    EXPECT_EQ(SettingString(SFILEARTICOLI), oldFile);
    EXPECT_EQ(SettingInt(DESCTOCOMP), oldScaleView);
    EXPECT_DOUBLE_EQ(SettingReal(SFTMTCM), 2.0);
    EXPECT_EQ(Floors().size(), floorsBefore.size() + 1);
    VELM_GENGRUPPO* groups = OpenGenGruppoObject();
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->generating.back(), "G1");
    groups->close();

    // Only the elevation read: the floors stay; the scale record after
    // value 9 takes the drawing's unit factor and the default door lengths.
    Record shortRecord = FixedPart(9);
    shortRecord[1] = std::string("no height");
    MakeSetupInsert(shortRecord);
    const auto floorsNow = Floors();
    ConvertRelease5Drawing();
    EXPECT_EQ(Floors(), floorsNow);
    Record scaled = FixedPart(9);
    scaled.emplace_back(std::string("___ffss_init50"));
    for (double r : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0}) scaled.emplace_back(r);
    MakeSetupInsert(scaled);
    ConvertRelease5Drawing();
    VELM_FSCALA* scales = OpenFScalaObject();
    ASSERT_NE(scales, nullptr);
    const AA_FSCALA* r50 = ScaleRecord(*scales, 50);
    ASSERT_NE(r50, nullptr);
    EXPECT_DOUBLE_EQ(r50->values[7], 10.0);  // 50 x 0.1 x 2.0
    EXPECT_DOUBLE_EQ(r50->values[9], 2.0);
    EXPECT_DOUBLE_EQ(r50->values[2], 15.0);
    EXPECT_DOUBLE_EQ(r50->values[3], 20.0);
    scales->close();
}

// ------------------------------------------------------------ markers

TEST_F(Release5Test, marker_sections_fill_scales_floors_groups_and_take_off_lists) {
    VELM_GENGRUPPO* groups = OpenGenGruppoObject();
    ASSERT_NE(groups, nullptr);
    groups->nonGenerating.push_back("Meble");
    const std::size_t nonGen = groups->nonGenerating.size();
    groups->close();
    const std::size_t floorsBefore = Floors().size();

    Record markers;
    auto text = [&markers](const char* t) { markers.emplace_back(std::string(t)); };
    auto reals = [&markers](int n) {
        for (int i = 1; i <= n; ++i) markers.emplace_back(double(i));
    };
    text("___FFSS_INIT100");
    reals(7);
    text("___FFSS_INIT0");
    reals(7);
    text("___FFSS_INIT200");
    reals(6);
    text("___INIT_APIANI");  // ends the short scale record and is read at once
    text("300 320");
    text("600.5 280");
    text("piano terra");
    text("___INIT_GRNOGEN");
    text("MEBLE");
    text("Ogród");
    text("END___INIT_GRNOGEN");
    text("___COMP_INITART2");
    text("A");
    markers.emplace_back(short(5));
    text("B");
    text("C");
    text("END___COMP_INITART");
    text("___COMP_INITART7");
    text("X");
    text("END___COMP_INITART");
    text("___COMP_INITART0");
    text("");
    text("Z");
    MakeSetupInsert(Join(FixedPart(), markers));
    ConvertRelease5Drawing();

    VELM_FSCALA* scales = OpenFScalaObject();
    ASSERT_NE(scales, nullptr);
    const AA_FSCALA* r100 = ScaleRecord(*scales, 100);
    ASSERT_NE(r100, nullptr);
    const std::array<double, 10> expected{7.0, 1.0, 90.0, 90.0, 2.0, 3.0, 4.0, 10.0, 6.0, 1.0};
    EXPECT_EQ(r100->values, expected);
    int with100 = 0;
    for (const AA_FSCALA& r : scales->scales.records) with100 += r.key == 100;
    EXPECT_EQ(with100, 1) << "the old record 100 is replaced";
    EXPECT_EQ(ScaleRecord(*scales, 0), nullptr);
    EXPECT_EQ(ScaleRecord(*scales, 200), nullptr) << "six reals are too few";
    scales->close();

    const auto floors = Floors();
    ASSERT_EQ(floors.size(), floorsBefore + 2);  // 300 from the fixed part, then 600.5
    EXPECT_EQ(floors[floors.size() - 2], std::make_pair(300.0, 320.0));
    EXPECT_EQ(floors.back(), std::make_pair(600.5, 280.0));

    groups = OpenGenGruppoObject();
    ASSERT_NE(groups, nullptr);
    ASSERT_EQ(groups->nonGenerating.size(), nonGen + 1);
    EXPECT_EQ(groups->nonGenerating.back(), "Ogród");
    groups->close();

    EXPECT_EQ(XdataOf(kTakeOffDescApp), "1070:3 1070:2 1000:C 1000:B 1000:A 1070:1 1070:0 1000:Z");
    EXPECT_EQ(count("0=INSERT 8=0 -3=VELM6$_$COMPUTODESC-"), 1);
}

// ------------------------------------------------------------ names

TEST_F(Release5Test, level_names_take_a_point_only_after_the_prefix_and_a_dollar) {
    std::string name = "VELM2DWALLS$300_5";
    EXPECT_EQ(FixRelease5LevelName(name), 1);
    EXPECT_EQ(name, "VELM2DWALLS$300.5");
    for (const char* same : {"MURI$300_5", "VELM2DWALLS_300", "VELM_A$300", "VEL$1_2"}) {
        std::string s = same;
        EXPECT_EQ(FixRelease5LevelName(s), 0) << same;
        EXPECT_EQ(s, same);
    }
    std::string lower = "velmx_a$-12_25_1";
    EXPECT_EQ(FixRelease5LevelName(lower), 1);
    EXPECT_EQ(lower, "velmx_a$-12.25_1");
}

TEST_F(Release5Test, conversion_renames_level_layers_with_their_entities_and_strips_pitch_prefixes) {
    MakeLine("VELM2DWALLS$300_5");
    MakeLine("VELM2DWALLS$0_5");
    MakeLine("VELM2DWALLS$0.5");  // the new name is taken: the old layer stays
    MakeLine("MURI$300_5");
    MakeLine("0", kRelease5PitchApp, {std::string("3DTETTO"), 1.0});
    MakeLine("0", "VELM5$_$OTHER-", {std::string("3DTETTO")});

    ConvertRelease5Drawing();
    EXPECT_TRUE(hasLayer("VELM2DWALLS$300_5")) << "no setup insert: nothing is touched";
    EXPECT_EQ(XdataOf(kRelease5PitchApp), "1000:3DTETTO 1040");
    EXPECT_EQ(messages(), 0);

    MakeSetupInsert(FixedPart());
    ConvertRelease5Drawing();
    EXPECT_FALSE(hasLayer("VELM2DWALLS$300_5"));
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$300`.5"), 1);
    EXPECT_TRUE(hasLayer("VELM2DWALLS$0_5"));
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$0`.5"), 1);
    EXPECT_TRUE(hasLayer("MURI$300_5"));
    EXPECT_EQ(XdataOf(kRelease5PitchApp), "1000:TETTO 1040");
    EXPECT_EQ(XdataOf("VELM5$_$OTHER-"), "1000:3DTETTO");
}

TEST_F(Release5Test, a_pitch_text_of_just_3d_or_without_it_is_kept) {
    MakeSetupInsert(FixedPart(2));
    MakeLine("0", kRelease5PitchApp, {std::string("3d")});
    ConvertRelease5Drawing();
    EXPECT_EQ(XdataOf(kRelease5PitchApp), "1000:3d");
}

// The drawing-load step runs the conversion before the tolerance is set.
class Release5LoadTest : public VelmTest {};

TEST_F(Release5LoadTest, drawing_load_converts_before_the_tolerance_is_read) {
    Record record = FixedPart();
    record[9] = 0.01;  // metres
    MakeSetupInsert(record);
    loadModule();
    EXPECT_NE(transcript().find(kMessage), std::string::npos);
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$SETUP-"), 0);
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.00001);
}

}  // namespace

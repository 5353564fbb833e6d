// The list records (library folders, wall layers, layer groups, shadow
// layers) and the wall thicknesses: defaults, their rules, and both filing
// forms on whole, short and damaged streams.
#include <gtest/gtest.h>

#include <limits>

#include "host/ads/transcript.h"
#include "store/velm_gengruppo.h"
#include "store/velm_layermuri.h"
#include "store/velm_layerombra.h"
#include "store/velm_libobjopt.h"
#include "store/velm_spessmuri.h"
#include "tests/settings/memory_filer.h"

using Strings = std::vector<std::string>;

namespace {

template <typename T>
T dwgRoundTrip(const T& src, T into = T()) {
    MemoryDwgStream m;
    EXPECT_EQ(src.fileOutDwg(m), FilingStatus::kOk);
    EXPECT_EQ(into.fileInDwg(m), FilingStatus::kOk);
    EXPECT_TRUE(m.atEnd());
    return into;
}

template <typename T>
T dxfRoundTrip(const T& src, T into = T()) {
    MemoryDxfStream m;
    EXPECT_EQ(src.fileOutDxf(m), FilingStatus::kOk);
    EXPECT_EQ(into.fileInDxf(m), FilingStatus::kOk);
    EXPECT_TRUE(m.atEnd());
    return into;
}

MemoryDxfStream dxfOf(std::vector<SettingsDxfItem> items) {
    MemoryDxfStream m;
    m.items = std::move(items);
    return m;
}

}  // namespace

TEST(LibObjOpt, folders_round_trip_in_order_through_both_forms) {
    VELM_LIBOBJOPT src;
    src.entries = {"C:\\Biblioteka\\Okna", "D:\\łączniki", "c:\\biblioteka\\okna"};
    EXPECT_EQ(dwgRoundTrip(src).entries, src.entries);
    EXPECT_EQ(dxfRoundTrip(src).entries, src.entries);
}

TEST(LibObjOpt, empty_record_files_version_and_zero_count_only) {
    VELM_LIBOBJOPT empty;
    MemoryDwgStream m;
    empty.fileOutDwg(m);
    ASSERT_EQ(m.items.size(), 2u);
    EXPECT_EQ(std::get<short>(m.items[0]), 7);
    EXPECT_EQ(std::get<short>(m.items[1]), 0);
}

TEST(LibObjOpt, dxf_count_larger_than_the_entries_keeps_what_is_there) {
    VELM_LIBOBJOPT rec;
    rec.entries = {"old"};
    MemoryDxfStream m = dxfOf({{100, std::string("VELM_LIBOBJOPT")},
                               {170, short{3}},
                               {300, std::string("A")},
                               {300, std::string("B")},
                               {102, std::string("}")}});
    rec.fileInDxf(m);
    EXPECT_EQ(rec.entries, (Strings{"A", "B"}));
    EXPECT_EQ(m.pos, 4u);
}

TEST(LibObjOpt, dxf_without_marker_or_count_leaves_the_list) {
    VELM_LIBOBJOPT rec;
    rec.entries = {"keep"};
    MemoryDxfStream noMarker = dxfOf({{100, std::string("VELM_LAYERMURI")}, {170, short{0}}});
    rec.fileInDxf(noMarker);
    EXPECT_EQ(rec.entries, Strings{"keep"});
    MemoryDxfStream noCount = dxfOf({{100, std::string("VELM_LIBOBJOPT")}, {300, std::string("x")}});
    rec.fileInDxf(noCount);
    EXPECT_EQ(rec.entries, Strings{"keep"});
    EXPECT_EQ(noCount.pos, 1u);
}

TEST(LibObjOpt, folder_is_added_once_ignoring_case) {
    VELM_LIBOBJOPT rec;
    EXPECT_TRUE(rec.AddFolderOnce("C:\\Lib"));
    EXPECT_FALSE(rec.AddFolderOnce("c:\\LIB"));
    EXPECT_TRUE(rec.AddFolderOnce("C:\\Lib2"));
    EXPECT_EQ(rec.entries, (Strings{"C:\\Lib", "C:\\Lib2"}));
}

TEST(LibObjOpt, truncated_dwg_keeps_entries_read_and_reports_failure) {
    VELM_LIBOBJOPT src;
    src.entries = {"a", "b", "c"};
    MemoryDwgStream m;
    src.fileOutDwg(m);
    m.items.pop_back();
    VELM_LIBOBJOPT back;
    EXPECT_EQ(back.fileInDwg(m), FilingStatus::kReadFailed);
    EXPECT_EQ(back.entries, (Strings{"a", "b"}));
    MemoryDwgStream nothing;
    EXPECT_EQ(back.fileInDwg(nothing), FilingStatus::kReadFailed);
}

TEST(LayerMuri, reset_and_reading_keep_2dwalls_first_and_names_unique) {
    VELM_LAYERMURI rec;
    rec.Reset();
    EXPECT_EQ(rec.entries, Strings{"2DWALLS"});

    VELM_LAYERMURI stored;
    stored.entries = {"2DWALLS", "3DWALLS", "3dwalls"};
    EXPECT_EQ(dwgRoundTrip(stored).entries, (Strings{"2DWALLS", "3DWALLS"}));
    EXPECT_EQ(dxfRoundTrip(stored).entries, (Strings{"2DWALLS", "3DWALLS"}));

    VELM_LAYERMURI none;
    EXPECT_EQ(dwgRoundTrip(none).entries, Strings{"2DWALLS"});
    EXPECT_EQ(dxfRoundTrip(none).entries, Strings{"2DWALLS"});

    VELM_LAYERMURI later;
    later.entries = {"MURI", "2dwalls"};
    EXPECT_EQ(dwgRoundTrip(later).entries, (Strings{"2DWALLS", "MURI"}));
}

TEST(GenGruppo, new_record_generates_everything) {
    VELM_GENGRUPPO g;
    g.Reset();
    EXPECT_EQ(g.generating, Strings{"*"});
    EXPECT_TRUE(g.nonGenerating.empty());
}

TEST(GenGruppo, both_lists_round_trip_through_both_forms) {
    VELM_GENGRUPPO src;
    src.generating = {"*", "OKNA*"};
    src.nonGenerating = {"3D*", "ŚCIANY?"};
    VELM_GENGRUPPO stale;
    stale.generating = {"x", "y", "z"};
    stale.nonGenerating = {"q"};
    VELM_GENGRUPPO d = dwgRoundTrip(src, stale);
    EXPECT_EQ(d.generating, src.generating);
    EXPECT_EQ(d.nonGenerating, src.nonGenerating);
    VELM_GENGRUPPO x = dxfRoundTrip(src, stale);
    EXPECT_EQ(x.generating, src.generating);
    EXPECT_EQ(x.nonGenerating, src.nonGenerating);
}

TEST(GenGruppo, dxf_missing_second_count_keeps_the_old_second_list) {
    VELM_GENGRUPPO g;
    g.generating = {"old"};
    g.nonGenerating = {"OLD-NON"};
    MemoryDxfStream m = dxfOf({{100, std::string("VELM_GENGRUPPO")},
                               {170, short{1}},
                               {300, std::string("NEW*")},
                               {300, std::string("extra")}});
    g.fileInDxf(m);
    EXPECT_EQ(g.generating, Strings{"NEW*"});
    EXPECT_EQ(g.nonGenerating, Strings{"OLD-NON"});
    EXPECT_EQ(m.pos, 3u);
}

TEST(GenGruppo, dxf_short_first_list_ends_reading_before_the_second) {
    VELM_GENGRUPPO g;
    g.generating = {"old"};
    g.nonGenerating = {"OLD-NON"};
    MemoryDxfStream m = dxfOf({{100, std::string("VELM_GENGRUPPO")},
                               {170, short{2}},
                               {300, std::string("A")},
                               {170, short{1}},
                               {300, std::string("B")}});
    g.fileInDxf(m);
    EXPECT_EQ(g.generating, Strings{"A"});
    EXPECT_EQ(g.nonGenerating, Strings{"OLD-NON"});
}

TEST(LayerOmbra, defaults_and_version_9_round_trip) {
    VELM_LAYEROMBRA o;
    o.Reset();
    EXPECT_EQ(o.entries, (Strings{"3dwindows_s*", "3drailing_*", "3dbalconies_*", "3d*_ha*"}));
    MemoryDwgStream m;
    o.fileOutDwg(m);
    EXPECT_EQ(std::get<short>(m.items[0]), 9);
    EXPECT_EQ(dwgRoundTrip(o).entries, o.entries);
    EXPECT_EQ(dxfRoundTrip(o).entries, o.entries);
    // Patterns are kept as read, duplicates included.
    VELM_LAYEROMBRA dup;
    dup.entries = {"A*", "a*"};
    EXPECT_EQ(dwgRoundTrip(dup).entries, dup.entries);
}

TEST(SpessMuri, confirmed_thickness_moves_to_the_front) {
    VELM_SPESSMURI s;
    s.UseThickness(20.0);
    EXPECT_EQ(s.thicknesses, (std::array<double, 5>{20.0, 10.0, 15.0, 30.0, 40.0}));
    s.Reset();
    s.UseThickness(25.0);
    EXPECT_EQ(s.thicknesses, (std::array<double, 5>{25.0, 30.0, 10.0, 15.0, 20.0}));
    s.UseThickness(25.0);
    EXPECT_EQ(s.thicknesses, (std::array<double, 5>{25.0, 30.0, 10.0, 15.0, 20.0}));
    s.thicknesses = {1.0, 2.0, 2.0, 3.0, 4.0};
    s.UseThickness(2.0);  // the last equal slot counts
    EXPECT_EQ(s.thicknesses, (std::array<double, 5>{2.0, 2.0, 1.0, 3.0, 4.0}));
}

TEST(SpessMuri, thicknesses_round_trip_and_short_dxf_keeps_the_rest) {
    VELM_SPESSMURI src;
    src.thicknesses = {12.5, 7.0, 0.25, 99.0, 1e6};
    VELM_SPESSMURI d = dwgRoundTrip(src);
    EXPECT_EQ(d.thicknesses, src.thicknesses);
    EXPECT_EQ(dxfRoundTrip(src).thicknesses, src.thicknesses);

    VELM_SPESSMURI s;
    MemoryDxfStream m = dxfOf({{100, std::string("VELM_SPESSMURI")},
                               {140, 1.0},
                               {140, 2.0},
                               {140, 3.0},
                               {1001, std::string("APP")}});
    s.fileInDxf(m);
    EXPECT_EQ(s.thicknesses, (std::array<double, 5>{1.0, 2.0, 3.0, 20.0, 40.0}));
    EXPECT_EQ(m.pos, 4u);

    MemoryDwgStream cut;
    src.fileOutDwg(cut);
    cut.items.resize(4);
    VELM_SPESSMURI c;
    EXPECT_EQ(c.fileInDwg(cut), FilingStatus::kReadFailed);
    EXPECT_EQ(c.thicknesses, (std::array<double, 5>{12.5, 7.0, 0.25, 20.0, 40.0}));
}

TEST(RecordFiling, readers_take_only_what_their_counts_say_from_longer_streams) {
    VELM_LIBOBJOPT lib;
    MemoryDxfStream x = dxfOf({{100, std::string("VELM_LIBOBJOPT")},
                               {170, short{1}},
                               {300, std::string("A")},
                               {300, std::string("next object's")}});
    lib.fileInDxf(x);
    EXPECT_EQ(lib.entries, Strings{"A"});
    EXPECT_EQ(x.pos, 3u);

    VELM_GENGRUPPO src;
    src.generating = {"G1"};
    src.nonGenerating = {"N1", "N2"};
    MemoryDwgStream d;
    src.fileOutDwg(d);
    d.writeText("trailing");
    VELM_GENGRUPPO back;
    EXPECT_EQ(back.fileInDwg(d), FilingStatus::kOk);
    EXPECT_EQ(back.nonGenerating, src.nonGenerating);
    std::string rest;
    ASSERT_TRUE(d.readText(rest));
    EXPECT_EQ(rest, "trailing");
}

// A thickness is a size: one not above zero or no building's takes the
// default of its place, and the places are named once.
TEST(SpessMuri, thicknesses_out_of_range_take_their_defaults_and_are_named_once) {
    VELM_SPESSMURI src;
    src.thicknesses = {12.0, 0.0, -30.0, 1e308, std::numeric_limits<double>::infinity()};
    const std::array<double, 5> expected{12.0, 10.0, 15.0, 20.0, 40.0};
    host::transcript().clear();
    EXPECT_EQ(dxfRoundTrip(src).thicknesses, expected);
    std::string said = host::transcript().text();
    EXPECT_NE(said.find("VELM_SPESSMURI"), std::string::npos) << said;
    EXPECT_NE(said.find("grubość 2, grubość 3, grubość 4, grubość 5"), std::string::npos) << said;
    EXPECT_EQ(said.find("poza zakresem"), said.rfind("poza zakresem")) << said;
    host::transcript().clear();
    EXPECT_EQ(dwgRoundTrip(src).thicknesses, expected);
    said = host::transcript().text();
    EXPECT_EQ(said.find("poza zakresem"), said.rfind("poza zakresem")) << said;
}

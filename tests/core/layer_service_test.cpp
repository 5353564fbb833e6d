// The layer service and the layer helpers against a live drawing: the exact
// answers sent to the host's layer command, existing layers left alone,
// level layer names reused within the level tolerance, colours that always
// change and never become "by layer", and the system-variable setters.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/sysvars.h"
#include "host/ed/hostinit.h"
#include "store/setup_slots.h"
#include "tests/core/layer_fixture.h"
#include "tests/host/win_testdir.h"

TEST_F(LayerService, new_layer_gets_the_catalogue_attributes_in_order) {
    std::string name = "2dwalls";
    EnsureLayer(name, Catalogue(), false, 0.0, false);
    EXPECT_EQ(name, "MURI");
    ASSERT_EQ(answers.size(), 12u);
    // The weight is a real in millimetres, however the host writes it.
    EXPECT_NEAR(std::stod(answers[6]), 0.25, 1e-12);
    answers[6] = "0.25";
    EXPECT_EQ(answers, (std::vector<std::string>{"_N", "MURI", "_L", "DASHED", "MURI", "_LW", "0.25", "MURI",
                                                 "_C", "1", "MURI", ""}));
    // Quiet while it ran; the former values are back afterwards.
    EXPECT_EQ(echoWhileRunning, 0);
    EXPECT_EQ(regenWhileRunning, 0);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
    EXPECT_EQ(host::sysVarShort("REGENMODE"), 1);
}

TEST_F(LayerService, negative_weights_send_no_weight_option) {
    for (const char* key : {"3DWALLS", "2DFUNL"}) {
        answers.clear();
        std::string name = key;
        EnsureLayer(name, Catalogue(), false, 0.0, false);
        EXPECT_EQ(std::count(answers.begin(), answers.end(), "_LW"), 0) << key;
        EXPECT_EQ(answers.size(), 9u) << key;
    }
}

TEST_F(LayerService, key_missing_from_the_catalogue_is_the_layer_name_with_defaults) {
    std::string name = "NOWA";
    EnsureLayer(name, AAR_LAYERC(), false, 0.0, false);
    EXPECT_EQ(name, "NOWA");
    EXPECT_EQ(answers,
              (std::vector<std::string>{"_N", "NOWA", "_L", "Continuous", "NOWA", "_C", "7", "NOWA", ""}));
}

TEST_F(LayerService, row_without_a_layer_colour_makes_the_layer_with_colour_7) {
    AAR_LAYERC t;
    t.ParseLayerDefLines({"KLUCZ,WARSTWA", "ZERO,ZERO,0,,Continuous,-3"});
    std::string name = "KLUCZ";
    EnsureLayer(name, t, false, 0.0, false);
    name = "ZERO";
    EnsureLayer(name, t, false, 0.0, false);
    EXPECT_EQ(answers, (std::vector<std::string>{"_N", "WARSTWA", "_L", "Continuous", "WARSTWA", "_C", "7",
                                                 "WARSTWA", "", "_N", "ZERO", "_L", "Continuous", "ZERO",
                                                 "_C", "7", "ZERO", ""}));
}

TEST_F(LayerService, existing_layer_is_never_changed) {
    AddLayer("MURI", 5);
    std::string name = "2DWALLS";
    LayerAttrEntry entry;
    entry.createdLater = 7;
    EnsureLayer(name, Catalogue(), false, 0.0, true, &entry);
    EXPECT_EQ(name, "MURI");
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(entry.createdLater, 0);
    EXPECT_EQ(LayerColor("MURI"), 5);
}

TEST_F(LayerService, deferred_entry_describes_the_missing_layer_and_leaves_the_drawing) {
    std::string name = "2DWALLS";
    LayerAttrEntry entry;
    EnsureLayer(name, Catalogue(), false, 0.0, true, &entry);
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(entry.createdLater, 1);
    EXPECT_EQ(entry.layerName, "MURI");
    EXPECT_EQ(entry.linetype, "DASHED");
    EXPECT_EQ(entry.lineWeight, 25);
    EXPECT_EQ(entry.colorIndex, 1);
    EXPECT_EQ(entry.off, 0);
    EXPECT_EQ(LayerColor("MURI"), -1);
}

TEST_F(LayerService, level_name_reuses_an_existing_layer_of_equal_level) {
    AddLayer("VELMMURI$3.50", 2);
    std::string name = "2DWALLS";
    EnsureLayer(name, Catalogue(), true, 3.5, false);
    EXPECT_EQ(name, "VELMMURI$3.50");
    EXPECT_TRUE(answers.empty());

    name = "2DWALLS";
    EnsureLayer(name, Catalogue(), true, 300.0, false);
    EXPECT_EQ(name, "VELMMURI$300");
    ASSERT_GE(answers.size(), 2u);
    EXPECT_EQ(answers[1], "VELMMURI$300");
}

TEST_F(LayerService, overlong_layer_name_is_refused_without_touching_the_drawing) {
    std::string name(300, 'W');
    EnsureLayer(name, AAR_LAYERC(), false, 0.0, false);
    EXPECT_TRUE(answers.empty());
    EXPECT_NE(transcript().find("Nazwa warstwy jest za długa"), std::string::npos);
}

TEST(LevelNames, equal_levels_within_tolerance_reuse_the_first_layer) {
    const std::vector<std::string> layers = {"VELMMURI$3.5000002", "velmmuri$3.50", "VELMMURI$3.5000001",
                                             "VELMMURI$3.5", "VELMMURI$-2"};
    EXPECT_EQ(LevelLayerNameAmong("VELMMURI", 3.5, layers), "velmmuri$3.50");
    EXPECT_EQ(LevelLayerNameAmong("VELMMURI", -2.0, layers), "VELMMURI$-2");
    EXPECT_EQ(LevelLayerNameAmong("VELMMURI", 0.0, layers), "VELMMURI$0");
    EXPECT_EQ(LevelLayerNameAmong("VELMMUR", 3.5, layers), "VELMMUR$3.5");
    EXPECT_EQ(LevelLayerNameAmong("VELMMURI", 12.25, {}), "VELMMURI$12.25");
}

// The shared catalogue looks keys up by an index; it must give the row the
// plain search gives: the first of equal keys, whatever their case, with
// keys of Polish letters before or after, and none for a key not there.
TEST(LayerCatalogueKeys, the_indexed_table_finds_the_row_the_plain_search_finds) {
    AAR_LAYERC table;
    table.ParseLayerDefLines({"**ŚCIANY,", "2dwalls,MURI,1, ,DASHED,25", "ściana,SC1,2", "2DWALLS,MURI2,3",
                              "Ściana,SC2,4", "okno,OKNA,5", "", "drzwi,DRZWI,6", "OKNO,OKNA2,7", "żółw,Z,8",
                              "k,K1,9"});
    AAR_LAYERC indexed;
    indexed.ParseLayerDefLines({"**ŚCIANY,", "2dwalls,MURI,1, ,DASHED,25", "ściana,SC1,2", "2DWALLS,MURI2,3",
                                "Ściana,SC2,4", "okno,OKNA,5", "", "drzwi,DRZWI,6", "OKNO,OKNA2,7",
                                "żółw,Z,8", "k,K1,9"});
    indexed.IndexKeys();
    for (const std::string key : {"2dwalls", "2DWalls", "ŚCIANA", "ściana", "Okno", "DRZWI", "ŻÓŁW", "żółw",
                                  "K", "**ŚCIANY", "**ściany", "nic", "", "okn", "oknoo"}) {
        const AA_LAYERC* plain = table.FindKey(key);
        const AA_LAYERC* fast = indexed.FindKey(key);
        ASSERT_EQ(plain == nullptr, fast == nullptr) << key;
        if (plain) {
            EXPECT_EQ(plain - table.data(), fast - indexed.data()) << key;
        }
    }
    EXPECT_EQ(indexed.FindKey("2DWALLS")->layerName, "MURI");
    EXPECT_EQ(indexed.FindKey("ŚCIANA")->layerName, "SC1");
    // A copy, changed, searches its own rows.
    AAR_LAYERC copy = indexed;
    copy[1].key = "inne";
    EXPECT_EQ(copy.FindKey("2dwalls")->layerName, "MURI2");
}

TEST_F(LayerService, layer_colour_always_changes_and_wraps_past_255_to_1) {
    AddLayer("A", 3);
    AddLayer("B", 255);
    EXPECT_EQ(SetLayerColorAndRegen("A", 3), 3);
    EXPECT_EQ(LayerColor("A"), 4);
    EXPECT_EQ(SetLayerColorAndRegen("A", 9), 4);
    EXPECT_EQ(LayerColor("A"), 9);
    EXPECT_EQ(SetLayerColorAndRegen("B", 255), 255);
    EXPECT_EQ(LayerColor("B"), 1);
    EXPECT_EQ(regens, 3);
    EXPECT_EQ(SetLayerColorAndRegen("BRAK", 3), 7);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
}

TEST_F(LayerService, layer_visibility_and_names) {
    AddLayer("WYŁ", 3, true);
    AddLayer("ZAMR", 4);
    SetLayerState("ZAMR", false, 1);
    EXPECT_EQ(IsLayerVisible("WYŁ"), 0);
    EXPECT_EQ(IsLayerVisible("ZAMR"), 0);
    EXPECT_EQ(IsLayerVisible("0"), 1);
    EXPECT_EQ(IsLayerVisible("BRAK"), 1);
    SetLayerState("WYŁ", true, 2);
    SetLayerState("ZAMR", true, 2);
    EXPECT_EQ(IsLayerVisible("WYŁ"), 1);
    EXPECT_EQ(IsLayerVisible("ZAMR"), 1);
    std::vector<std::string> names = {"stare"};
    GetLayerNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"0", "WYŁ", "ZAMR"}));
}

TEST_F(LayerService, system_variable_setters_return_the_former_value) {
    int zero = 0;
    int readOnly = -1;
    EXPECT_EQ(SysVarShort("CMDECHO", &zero), 1);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 0);
    EXPECT_EQ(SysVarShort("CMDECHO", &readOnly), 0);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 0);

    const double scale = 2.5;
    const int off = 0, on = 1;
    const double before = host::sysVarReal("DIMSCALE");
    EXPECT_DOUBLE_EQ(SysVarReal("DIMSCALE", &scale, &off), before);
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), before);
    EXPECT_DOUBLE_EQ(SysVarReal("DIMSCALE", &scale, &on), before);
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), 2.5);

    std::string former = "x";
    EXPECT_EQ(SysVarString("CLAYER", "", former), RTNORM);
    EXPECT_EQ(former, "0");
    EXPECT_EQ(SysVarString("NIEZNANA", "a", former), RTERROR);
    EXPECT_EQ(former, "0");
    // A text variable read as a number gives 0 and changes nothing.
    EXPECT_EQ(SysVarShort("CLAYER", &readOnly), 0);

    ads_point was = {9, 9, 9};
    const ads_point to = {1, 2, 3};
    EXPECT_EQ(SysVarPoint("LASTPOINT", to, was), RTNORM);
    EXPECT_EQ(was[0], 0.0);
    EXPECT_EQ(SysVarPoint("LASTPOINT", nullptr, was), RTNORM);
    EXPECT_EQ(was[2], 3.0);
    // A 2D point variable stays 2D.
    EXPECT_EQ(SysVarPoint("SNAPBASE", to, nullptr), RTNORM);
    EXPECT_EQ(host::sysVarPoint("SNAPBASE").y, 2.0);
}

TEST_F(LayerService, yes_no_question_answers) {
    push({"tak", "Nie", "", "!cancel"});
    EXPECT_EQ(AskYesNo("Usunąć?", 0), 1);
    EXPECT_EQ(AskYesNo("Usunąć?", 1), 0);
    EXPECT_EQ(AskYesNo("Usunąć?", 1), 1);
    EXPECT_EQ(AskYesNo("Usunąć?", 1), -1);
    EXPECT_NE(transcript().find("Usunąć?"), std::string::npos);
}

TEST_F(LayerService, catalogue_found_on_the_search_path_is_read_and_rewritten_in_place) {
    TestDir dir;
    dir.write("layerc.def", "**Ściany,\n2DWALLS,MURI,1,X,DASHED,25\n");
    host::startHost(host::HostOptions{{dir.path()}, ""});
    AAR_LAYERC t;
    ASSERT_EQ(t.ReadLayerDefFile("LAYERC.DEF"), 1);
    ASSERT_EQ(t.size(), 2u);
    t[1].color = 4;
    EXPECT_TRUE(t.WriteLayerDefFile("LAYERC.DEF"));
    EXPECT_EQ(dir.read("layerc.def"), "**Ściany,\n2DWALLS,MURI,4,X,DASHED,25\n");
    // The writer never makes a catalogue that is not there.
    EXPECT_FALSE(t.WriteLayerDefFile("TCLAYERC.DEF"));
    EXPECT_FALSE(std::filesystem::exists(dir.path("TCLAYERC.DEF")));
    EXPECT_EQ(t.ReadLayerDefFile("TCLAYERC.DEF"), 0);
    EXPECT_TRUE(t.empty());
    host::startHost({});
}

// The catalogue parsed once serves the next reads, each a table of its
// own, and never a file written since: by the catalogue's writer, or by
// another hand with another size.
TEST_F(LayerService, kept_catalogue_is_read_again_once_its_file_changed) {
    TestDir dir;
    dir.write("layerc.def", "**Ściany,\n2DWALLS,MURI,1,X,DASHED,25\n");
    host::startHost(host::HostOptions{{dir.path()}, ""});
    AAR_LAYERC t, u;
    ASSERT_EQ(t.ReadLayerDefFile("LAYERC.DEF"), 1);
    t[1].color = 4;
    ASSERT_EQ(u.ReadLayerDefFile("LAYERC.DEF"), 1);
    EXPECT_EQ(u[1].color, 1);
    EXPECT_TRUE(t.WriteLayerDefFile("LAYERC.DEF"));
    ASSERT_EQ(u.ReadLayerDefFile("LAYERC.DEF"), 1);
    EXPECT_EQ(u[1].color, 4);
    dir.write("layerc.def", "**Ściany,\n2DWALLS,MURI,12,X,DASHED,25\n");
    ASSERT_EQ(u.ReadLayerDefFile("LAYERC.DEF"), 1);
    EXPECT_EQ(u[1].color, 12);
    host::startHost({});
}

// A reader that only looks shares the kept catalogue: the same table while
// the file stays as it was, a fresh one once the file is changed, replaced
// by one of the same size and time, or removed; a table read to be changed
// is its own.
TEST_F(LayerService, shared_catalogue_serves_until_its_file_changes_is_replaced_or_removed) {
    TestDir dir;
    const std::string file = dir.path("layerc.def");
    auto age = [&file] {
        std::filesystem::last_write_time(
            file, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    };
    dir.write("layerc.def", "**Ściany,\n2DWALLS,MURI,1,X,DASHED,25\n");
    age();
    host::startHost(host::HostOptions{{dir.path()}, ""});
    int found = 0;
    const std::shared_ptr<const AAR_LAYERC> first = SharedLayerDefFile("LAYERC.DEF", &found);
    EXPECT_EQ(found, 1);
    ASSERT_EQ(first->size(), 2u);
    EXPECT_EQ(SharedLayerDefFile("LAYERC.DEF"), first);
    AAR_LAYERC own;
    ASSERT_EQ(own.ReadLayerDefFile("LAYERC.DEF"), 1);
    own[1].color = 9;
    EXPECT_EQ((*SharedLayerDefFile("LAYERC.DEF"))[1].color, 1);

    dir.write("layerc.def", "**Ściany,\n2DWALLS,MURI,12,X,DASHED,25\n");
    age();
    const std::shared_ptr<const AAR_LAYERC> changed = SharedLayerDefFile("LAYERC.DEF");
    EXPECT_EQ((*changed)[1].color, 12);

    dir.write("other.def", "**Ściany,\n2DWALLS,MURI,13,X,DASHED,25\n");
    std::filesystem::last_write_time(dir.path("other.def"), std::filesystem::last_write_time(file));
    std::filesystem::rename(dir.path("other.def"), file);
    EXPECT_EQ((*SharedLayerDefFile("LAYERC.DEF"))[1].color, 13);

    std::filesystem::remove(file);
    const std::shared_ptr<const AAR_LAYERC> gone = SharedLayerDefFile("LAYERC.DEF", &found);
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(gone->empty());
    EXPECT_EQ((*changed)[1].color, 12) << "a reader holding the table keeps it as it was read";
    host::startHost({});
}

// With the host's own layer command: the layer is made with the catalogue's
// attributes, and off when the 3D view hides it.
class HostLayerCommand : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
    }
    void TearDown() override {
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }
};

TEST_F(HostLayerCommand, layer_made_through_the_host_command_carries_the_catalogue_attributes) {
    AAR_LAYERC t;
    t.ParseLayerDefLines({"2DWALLS,2DWALLS,3,,Continuous,50"});
    const int slot = SetupVar::VXDSTATE;
    const short threeD = 51;
    SetVarInt(&slot, &threeD);
    std::string name = "2DWALLS";
    EnsureLayer(name, t, true, 300.0, true);
    EXPECT_EQ(name, "VELM2DWALLS$300");
    ZcDbLayerTable* table = nullptr;
    ASSERT_EQ(db()->getLayerTable(table, ZcDb::kForRead), Zcad::eOk);
    ZcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(table->getAt("VELM2DWALLS$300", rec, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(rec->colorIndex(), 3);
    EXPECT_TRUE(rec->isOff());
    EXPECT_EQ(static_cast<int>(rec->lineWeight()), 50);
    rec->close();
    table->close();
}

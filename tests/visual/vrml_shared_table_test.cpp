// Two programs editing one material table: each reads the table when its
// dialog opens and writes at OK; an edit of one is never lost to the other,
// and an edit that cannot be kept is refused with the file named.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/layer_catalogue.h"
#include "core/support_files.h"
#include "host/ads/transcript.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "tests/host/starting_gate.h"
#include "tests/host/win_testdir.h"
#include "visual/povray/pov_tables.h"
#include "visual/vrml/vrml_table.h"

namespace {

class SharedTable : public ::testing::Test {
protected:
    void SetUp() override {
        host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path()}; });
        dir.write("LAYERVRML.DEF", "**Ściany,\n3DWALLS,3,2,0,1\n3DPILASTERS,3,2,0,2\n3DDOORS,3,2,0,3\n");
    }
    void TearDown() override { host::setSupportPathProvider(nullptr); }

    int ambientOf(const std::string& layer) {
        host::forgetFilesAsRead();
        AAR_LAYERVRML rows;
        EXPECT_TRUE(ReadLayerVrmlDef(rows));
        for (const AA_LAYERVRML& r : rows)
            if (r.layer == layer) return r.ambient;
        return -1;
    }

    TestDir dir;
};

// A child that opens the table, waits until the other child has opened it
// too, then sets its layer's ambient and writes: every round is the worst
// order, both reading before either writes.
pid_t EditInChild(const std::string& layer, int ambient, const StartingGate& gate) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    host::forgetFilesAsRead();
    AAR_LAYERVRML rows;
    bool ok = ReadLayerVrmlDef(rows);
    ok = gate.arrive() && ok;
    for (AA_LAYERVRML& r : rows)
        if (r.layer == layer) r.ambient = ambient;
    ok = ok && WriteLayerVrmlDef(rows);
    ::_exit(ok ? 0 : 1);
}

}  // namespace

TEST_F(SharedTable, two_programs_setting_different_layers_keep_both_edits_in_every_round) {
    for (int round = 0; round < 200; ++round) {
        const StartingGate gate;
        ASSERT_TRUE(gate.made());
        const int wall = round % 11, pilaster = (round * 7 + 3) % 11;
        const pid_t a = EditInChild("3DWALLS", wall, gate);
        const pid_t b = EditInChild("3DPILASTERS", pilaster, gate);
        ASSERT_GT(a, 0);
        ASSERT_GT(b, 0);
        ASSERT_TRUE(gate.open(2));
        int sa = 0, sb = 0;
        ASSERT_EQ(::waitpid(a, &sa, 0), a);
        ASSERT_EQ(::waitpid(b, &sb, 0), b);
        EXPECT_TRUE(WIFEXITED(sa) && WEXITSTATUS(sa) == 0) << "round " << round;
        EXPECT_TRUE(WIFEXITED(sb) && WEXITSTATUS(sb) == 0) << "round " << round;
        ASSERT_EQ(ambientOf("3DWALLS"), wall) << "round " << round;
        ASSERT_EQ(ambientOf("3DPILASTERS"), pilaster) << "round " << round;
        ASSERT_EQ(ambientOf("3DDOORS"), 3) << "round " << round;
    }
    EXPECT_TRUE(dir.read("LAYERVRML.DEF").starts_with("**Ściany,\n"));
}

TEST_F(SharedTable, both_editing_one_layer_the_later_is_refused_with_the_file_named) {
    AAR_LAYERVRML mine;
    ASSERT_TRUE(ReadLayerVrmlDef(mine));
    // The other program's edit of the same row lands while the dialog is open.
    dir.write("LAYERVRML.DEF", "**Ściany,\n3DWALLS,9,2,0,1\n3DPILASTERS,3,2,0,2\n3DDOORS,3,2,0,3\n");
    mine[1].ambient = 5;
    EXPECT_FALSE(WriteLayerVrmlDef(mine));
    EXPECT_EQ(dir.read("LAYERVRML.DEF"),
              "**Ściany,\n3DWALLS,9,2,0,1\n3DPILASTERS,3,2,0,2\n3DDOORS,3,2,0,3\n");
    const std::string said = host::transcript().text();
    EXPECT_NE(said.find("nie można zapisać " + dir.path("LAYERVRML.DEF")), std::string::npos) << said;
    EXPECT_NE(said.find("zmiany nie zostały zapisane"), std::string::npos) << said;
}

TEST(SharedSupportFile, a_file_of_no_named_rows_changed_since_read_is_refused_not_replaced) {
    TestDir dir;
    dir.write("catalog.ini", "[A]\nx=1\n");
    SupportFileRead read{dir.path("catalog.ini"), *ReadSupportText(dir.path("catalog.ini")), std::nullopt};
    dir.write("catalog.ini", "[A]\nx=1\n[B]\ny=2\n");
    EXPECT_EQ(WriteSupportLines(read, {"[A]", "x=3"}), SupportWrite::Failed);
    EXPECT_EQ(dir.read("catalog.ini"), "[A]\nx=1\n[B]\ny=2\n");
    EXPECT_NE(host::transcript().text().find("nie można zapisać " + dir.path("catalog.ini")),
              std::string::npos);
}

TEST(SharedSupportFile, a_layer_table_takes_added_dropped_and_changed_rows_onto_the_file_as_it_is_now) {
    TestDir dir;
    dir.write("LAYERC.DEF", "**Ściany,\nA,A,1\nB,B,2\nC,C,3\n");
    SupportFileRead read{dir.path("LAYERC.DEF"), *ReadSupportText(dir.path("LAYERC.DEF")), std::nullopt};
    // Another program changed C and added D.
    dir.write("LAYERC.DEF", "**Ściany,\nA,A,1\nB,B,2\nC,C,7\nD,D,4\n");
    const KeyedRows keyed{&LayerDefRowKey};
    EXPECT_EQ(WriteSupportLines(read, {"**Ściany,", "A,A,5", "C,C,3", "E,E,6"}, &keyed),
              SupportWrite::Written);
    EXPECT_EQ(dir.read("LAYERC.DEF"), "**Ściany,\nA,A,5\nC,C,7\nD,D,4\nE,E,6\n");
}

// A row added in one group while another program edited the file went to
// the end of the file, into the last group.
TEST(SharedSupportFile, a_row_added_under_another_programs_edit_stays_in_its_group) {
    TestDir dir;
    dir.write("LAYERC.DEF", "**Ściany,\nA,A,1\n\n**Drzwi,\nD,D,2\n**Okna,\n***Dachowe,\nO,O,3\n");
    SupportFileRead read{dir.path("LAYERC.DEF"), *ReadSupportText(dir.path("LAYERC.DEF")), std::nullopt};
    dir.write("LAYERC.DEF", "**Ściany,\nA,A,1\n\n**Drzwi,\nD,D,2\n**Okna,\n***Dachowe,\nO,O,9\n");
    const KeyedRows keyed{&LayerDefRowKey};
    EXPECT_EQ(WriteSupportLines(read,
                                {"**Ściany,", "A,A,1", "B,B,4", "", "**Drzwi,", "E,E,5", "D,D,2", "**Okna,",
                                 "***Dachowe,", "O,O,3"},
                                &keyed),
              SupportWrite::Written);
    EXPECT_EQ(dir.read("LAYERC.DEF"),
              "**Ściany,\nA,A,1\nB,B,4\n\n**Drzwi,\nD,D,2\nE,E,5\n**Okna,\n***Dachowe,\nO,O,9\n");
}

TEST(SharedSupportFile, rows_are_keyed_as_the_tables_reader_keys_them) {
    const KeyedRows keyed{&LayerDefRowKey};
    const std::vector<std::string> base{"**Ściany,", "A,A,1"};
    // Both added one key in other letter case: the reader would take them
    // for one layer twice.
    EXPECT_EQ(MergeRowChanges(base, {"**Ściany,", "A,A,1", "3dwalls,X,2"},
                              {"**Ściany,", "A,A,1", "3DWALLS,Y,3"}, keyed),
              std::nullopt);
    // A row the other program changed in letter case only is one row.
    EXPECT_EQ(MergeRowChanges(base, {"**Ściany,", "a,A,5"}, {"**Ściany,", "A,A,1", "B,B,2"}, keyed),
              (std::vector<std::string>{"**Ściany,", "a,A,5", "B,B,2"}));
    // A group the other program removed takes no row of this one.
    EXPECT_EQ(MergeRowChanges({"**Ściany,", "A,A,1", "**Okna,"}, {"**Ściany,", "A,A,1", "**Okna,", "O,O,1"},
                              {"**Ściany,", "A,A,1"}, keyed),
              std::nullopt);
}

// One sub-group name heads a sub-group in several groups: a row added to
// the first group's "***Rzut," landed in the next group's once another
// program took the first group out.
TEST(SharedSupportFile, a_row_added_to_a_sub_group_whose_group_was_removed_is_refused) {
    const KeyedRows keyed{&LayerDefRowKey};
    const std::vector<std::string> base{"**Ściany,", "***Rzut,", "A,A,1", "**Schody,", "***Rzut,", "S,S,1"};
    const std::vector<std::string> mine{"**Ściany,", "***Rzut,", "A,A,1", "B,B,2",
                                        "**Schody,", "***Rzut,", "S,S,1"};
    EXPECT_EQ(MergeRowChanges(base, mine, {"**Schody,", "***Rzut,", "S,S,1"}, keyed), std::nullopt);
    // The group still there takes it, whatever the other program did before it.
    EXPECT_EQ(MergeRowChanges(base, mine,
                              {"**Nowa,", "***Rzut,", "N,N,1", "**Ściany,", "***Rzut,", "A,A,1", "**Schody,",
                               "***Rzut,", "S,S,1"},
                              keyed),
              (std::vector<std::string>{"**Nowa,", "***Rzut,", "N,N,1", "**Ściany,", "***Rzut,", "A,A,1",
                                        "B,B,2", "**Schody,", "***Rzut,", "S,S,1"}));

    // The writer refuses, names the file and leaves it as the other left it.
    TestDir dir;
    host::setSupportPathProvider([&] { return std::vector<std::string>{dir.path()}; });
    dir.write("LAYERPOV.DEF",
              "**Ściany,\n***Model 3D,\nA,T,1.000000,0\n**Schody,\n***Model 3D,\nS,T,1.000000,0\n");
    AAR_LAYERPOV table;
    ASSERT_TRUE(ReadLayerPovDef(table));
    const std::string theirs = "**Schody,\n***Model 3D,\nS,T,1.000000,0\n";
    dir.write("LAYERPOV.DEF", theirs);
    table.insert(table.begin() + 3, AA_LAYERPOV{"Ściany%Model 3D", "B", "T", 1.0, 0});
    const std::size_t said = host::transcript().text().size();
    EXPECT_FALSE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"), theirs);
    EXPECT_NE(
        host::transcript().text().find(dir.path("LAYERPOV.DEF") + ": plik zmienił się od odczytu", said),
        std::string::npos)
        << host::transcript().text();
    host::setSupportPathProvider(nullptr);
    host::forgetFilesAsRead();
}

class SharedRenderTable : public ::testing::Test {
protected:
    void SetUp() override {
        host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path()}; });
        dir.write("LAYERPOV.DEF",
                  "**Ściany,\n3DWALLS,Cegla,1.000000,0\n**Dachy,\n3DROOF,Dachowka,1.000000,0\n");
    }
    void TearDown() override { host::setSupportPathProvider(nullptr); }
    TestDir dir;
};

TEST_F(SharedRenderTable,
       a_layer_added_in_other_letter_case_than_anothers_is_refused_and_the_file_still_reads) {
    AAR_LAYERPOV mine;
    ASSERT_TRUE(ReadLayerPovDef(mine));
    const std::string theirs =
        "**Ściany,\n3DWALLS,Cegla,1.000000,0\n3DSLAB,Beton,1.000000,0\n**Dachy,\n3DROOF,Dachowka,1.000000,"
        "0\n";
    dir.write("LAYERPOV.DEF", theirs);
    mine.insert(mine.begin() + 2, AA_LAYERPOV{"Ściany", "3dslab", "Kamien", 1.0, 0});
    EXPECT_FALSE(WriteLayerPovDef(mine));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"), theirs);
    // A layer of its own lands in its group, beside the other's edit.
    host::forgetFilesAsRead();
    ASSERT_TRUE(ReadLayerPovDef(mine));
    dir.write("LAYERPOV.DEF",
              "**Ściany,\n3DWALLS,Cegla,2.000000,0\n3DSLAB,Beton,1.000000,0\n**Dachy,\n3DROOF,Dachowka,1."
              "000000,0\n");
    mine.insert(mine.begin() + 3, AA_LAYERPOV{"Ściany", "3DPILLARS", "Kamien", 1.0, 0});
    EXPECT_TRUE(WriteLayerPovDef(mine));
    AAR_LAYERPOV now;
    host::forgetFilesAsRead();
    ASSERT_TRUE(ReadLayerPovDef(now));
    ASSERT_EQ(now.size(), 6u);
    EXPECT_EQ(now[3].layer, "3DPILLARS");
    EXPECT_EQ(now[3].group, "Ściany");
    EXPECT_EQ(now[1].scale, 2.0);
}

// Symbols inserted end to end on the headless host: on floor layers, their
// attributes answered from the symbol list, a cancelled pause changing
// nothing.
#include "objects/drafting/symbol_insert.h"

#include <array>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/util/findfile.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

// The list of the last entity made.
resbuf* LastList() {
    ads_name last;
    zcdbEntLast(last);
    return zcdbEntGet(last);
}

}  // namespace

class SymbolInsertTest : public WallsTest {
protected:
    void SetUp() override {
        WallsTest::SetUp();
        // The module's own support files: the symbols and their list.
        host::setSupportPathProvider([] {
            const std::string root = std::string(VELM_SOURCE_DIR) + "/support";
            return std::vector<std::string>{root, root + "/host"};
        });
    }
};

TEST_F(SymbolInsertTest,
       symbols_follow_the_floor_with_an_equals_layer_and_a_cancelled_pause_changes_nothing) {
    SetReal(SetupVar::SQPAV, 300.0);
    SetInt(SetupVar::SET_ADDINSQPAV, 1);
    run({"VELMINS", "IP1", "=SYMBOLE", "100,100,50", "0"});
    ASSERT_EQ(count("0=INSERT"), 1) << transcript();
    resbuf* list = LastList();
    const resbuf* layer = FindRbCode(list, 8);
    const resbuf* point = FindRbCode(list, 10);
    ASSERT_TRUE(layer && point);
    EXPECT_NE(std::string(layer->resval.rstring).find("$300"), std::string::npos) << layer->resval.rstring;
    EXPECT_EQ(point->resval.rpoint[2], 300.0);
    zcutRelRb(list);
    // The three attributes answered from the symbol list, in order.
    ads_name e;
    zcdbEntLast(e);
    std::string values;
    for (int i = 0; i < 3; ++i) {
        ads_name next;
        ASSERT_EQ(zcdbEntNext(e, next), RTNORM);
        e[0] = next[0];
        e[1] = next[1];
        resbuf* att = zcdbEntGet(e);
        if (std::string(FindRbCode(att, 0)->resval.rstring) == "ATTRIB")
            values += std::string(FindRbCode(att, 1)->resval.rstring) + "|";
        zcutRelRb(att);
    }
    EXPECT_EQ(values, "GN-230|Gniazdo wtykowe 230 V z uziemieniem|1|");

    // Without the floor: the "=" only dropped, the point where it was put.
    SetInt(SetupVar::SET_ADDINSQPAV, 0);
    run({"VELMINS", "", "=OPISY", "300,100,50", "0"});
    list = LastList();
    EXPECT_STREQ(FindRbCode(list, 8)->resval.rstring, "OPISY");
    EXPECT_EQ(FindRbCode(list, 10)->resval.rpoint[2], 50.0);
    zcutRelRb(list);

    // Cancelled at the point: nothing inserted, the variables put back.
    const int attdia = host::sysVarShort("ATTDIA");
    run({"VELMINS", "", "", "!cancel"});
    EXPECT_EQ(count("0=INSERT"), 2);
    EXPECT_EQ(host::sysVarShort("ATTDIA"), attdia);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
}

// A block with attributes said to have none: its prompts are the user's to
// answer, and the block still goes on its layer and floor, where nothing
// drawn before it goes.
TEST_F(SymbolInsertTest, a_block_said_to_have_no_attributes_still_takes_its_layer_and_floor) {
    SetReal(SetupVar::SQPAV, 300.0);
    SetInt(SetupVar::SET_ADDINSQPAV, 1);
    ASSERT_EQ(run({"_LINE", "0,0", "100,0", ""}), RTNORM);
    ASSERT_EQ(run({"VELMINB", "IP1", "N", "=BLOKI", "100,100,50", "0", "A1", "B2", "C3"}), RTNORM)
        << transcript();
    ASSERT_EQ(count("0=INSERT"), 1) << transcript();
    EXPECT_EQ(count("0=LINE 8=0"), 1);
    // Each answer the user gives follows the prompt it answers.
    EXPECT_NE(transcript().find("Podaj kąt obrotu <0>: 0\n"), std::string::npos) << transcript();
    EXPECT_EQ(transcript().find("skali X"), std::string::npos) << transcript();
    ads_name e;
    ASSERT_EQ(zcdbEntLast(e), RTNORM);
    resbuf* list = zcdbEntGet(e);
    EXPECT_NE(std::string(FindRbCode(list, 8)->resval.rstring).find("BLOKI$300"), std::string::npos)
        << FindRbCode(list, 8)->resval.rstring;
    EXPECT_EQ(FindRbCode(list, 10)->resval.rpoint[2], 300.0);
    zcutRelRb(list);
    std::string values;
    for (ads_name next; zcdbEntNext(e, next) == RTNORM;) {
        e[0] = next[0];
        e[1] = next[1];
        resbuf* att = zcdbEntGet(e);
        if (std::string(FindRbCode(att, 0)->resval.rstring) == "ATTRIB")
            values += std::string(FindRbCode(att, 1)->resval.rstring) + "|";
        zcutRelRb(att);
    }
    EXPECT_EQ(values, "A1|B2|C3|");
}

TEST(SymbolList, a_symbol_not_listed_gets_its_name_a_dash_and_one) {
    const std::string list = std::string(VELM_SOURCE_DIR) + "/support/BART.STF";
    EXPECT_EQ(SymbolAttributeValues(list, "ip1"),
              (std::array<std::string, 3>{"GN-230", "Gniazdo wtykowe 230 V z uziemieniem", "1"}));
    EXPECT_EQ(SymbolAttributeValues(list, "XYZ"), (std::array<std::string, 3>{"XYZ", "-", "1"}));
    EXPECT_EQ(SymbolAttributeValues("/nonexistent/BART.STF", "IP1"),
              (std::array<std::string, 3>{"IP1", "-", "1"}));
}

TEST(SymbolList, defaults_taken_from_a_damaged_or_short_list_are_said_with_the_file_and_line) {
    TestDir dir;
    const std::array<std::string, 3> defaults{"IP1", "-", "1"};
    const struct {
        const char* text;
        std::string said;
    } cases[] = {
        {"", ":1: plik jest pusty; atrybuty domyślne"},
        {"IP2 GN2-230|Gniazdo podwójne|2\n", ": brak wiersza symbolu IP1; atrybuty domyślne"},
        {"IP2 GN2-230|Gniazdo podwójne|2\nIP1 GN-230|Gniazdo\n", ":2: wiersz symbolu IP1 nie ma postaci"},
        {"IP1 GN-230|Gniazdo|-1\n", ":1: wiersz symbolu IP1: ilość -1 poza zakresem"},
        {"IP1 GN-230|Gniazdo|1e308\n", ":1: wiersz symbolu IP1: ilość 1e308 poza zakresem"},
    };
    for (const auto& c : cases) {
        dir.write("BART.STF", c.text);
        const std::size_t before = host::transcript().text().size();
        EXPECT_EQ(SymbolAttributeValues(dir.path("BART.STF"), "IP1"), defaults) << c.text;
        EXPECT_NE(host::transcript().text().find(dir.path("BART.STF") + c.said, before), std::string::npos)
            << host::transcript().text().substr(before);
    }
    // A listed symbol says nothing.
    dir.write("BART.STF", "IP1 GN-230|Gniazdo|1\n");
    const std::size_t before = host::transcript().text().size();
    EXPECT_EQ(SymbolAttributeValues(dir.path("BART.STF"), "IP1"),
              (std::array<std::string, 3>{"GN-230", "Gniazdo", "1"}));
    EXPECT_EQ(host::transcript().text().size(), before);
}

// The last name is kept in the drawing, which may come from anyone: a path
// stored there is offered and used by its file name alone, so Enter never
// imports a file from where the drawing points.
TEST_F(SymbolInsertTest, a_last_block_name_stored_as_a_path_is_offered_and_used_by_its_file_name) {
    TestDir dir;
    dir.write("OUTSIDE.dwg",
              "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nSECRET\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n");
    SetSettingString(SetupVar::CUBLOCCO, dir.path("OUTSIDE"));
    run({"VELMINB", "", "N", "", "100,100,0", "0"});
    EXPECT_NE(transcript().find("Określ blok do wstawienia <OUTSIDE>:"), std::string::npos) << transcript();
    EXPECT_NE(transcript().find("OUTSIDE.dwg: Pliku nie znaleziono"), std::string::npos) << transcript();
    EXPECT_EQ(count("0=INSERT"), 0);
    EXPECT_EQ(count("0=LINE"), 0);

    // The file name alone is found where names are looked up.
    SetSettingString(SetupVar::CUBLOCCO, "C:\\Bloki\\IP1");
    ASSERT_EQ(run({"VELMINB", "", "N", "BLOKI", "100,100,0", "0", "A1", "B2", "C3"}), RTNORM) << transcript();
    EXPECT_NE(transcript().find("Określ blok do wstawienia <IP1>:"), std::string::npos) << transcript();
    EXPECT_EQ(count("0=INSERT"), 1) << transcript();
}

// A name the user typed with its folder is the user's own: Enter at the
// next insert of the run offers it whole and inserts the same block again,
// while another path the drawing holds is still offered by its file name.
TEST_F(SymbolInsertTest, a_block_typed_with_its_folder_is_inserted_again_by_enter_in_the_same_run) {
    TestDir dir;
    dir.write("ZNAK.dwg",
              "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n10\n21\n10\n0\nENDSEC\n0\nEOF\n");
    const std::string typed = dir.path("ZNAK");
    ASSERT_EQ(run({"VELMINB", typed, "N", "BLOKI", "100,100", "0"}), RTNORM) << transcript();
    ASSERT_EQ(count("0=INSERT 2=ZNAK"), 1) << transcript();
    ASSERT_EQ(run({"VELMINB", "", "N", "", "200,100", "0"}), RTNORM) << transcript();
    EXPECT_NE(transcript().find("Określ blok do wstawienia <" + typed + ">:"), std::string::npos)
        << transcript();
    EXPECT_EQ(transcript().find("ZNAK.dwg: Pliku nie znaleziono"), std::string::npos) << transcript();
    EXPECT_EQ(count("0=INSERT 2=ZNAK 8=BLOKI"), 2) << transcript();

    // Another path in the drawing (as if it came with it) stays bare.
    SetSettingString(SetupVar::CUBLOCCO, dir.path("INNY"));
    run({"VELMINB", ""});
    EXPECT_NE(transcript().find("Określ blok do wstawienia <INNY>:"), std::string::npos) << transcript();
    EXPECT_EQ(count("0=INSERT"), 2);
}

// The list file does not name the symbol: it goes in with its own name,
// "-" and "1", and the command has done what it was asked.
TEST_F(SymbolInsertTest, a_symbol_missing_from_the_list_is_inserted_with_the_defaults_and_succeeds) {
    TestDir dir;
    dir.write("LISTA.STF", "IP2 GN2-230|Gniazdo podwójne 230 V|2\n");
    const std::string root = std::string(VELM_SOURCE_DIR) + "/support";
    host::setSupportPathProvider([folder = dir.path(), root] {
        return std::vector<std::string>{folder, root, root + "/host"};
    });
    SetSettingString(SetupVar::SFILEARTICOLI, "LISTA");
    EXPECT_EQ(run({"VELMINS", "IP1", "", "100,100", "0"}), RTNORM) << transcript();
    ASSERT_EQ(count("0=INSERT"), 1) << transcript();
    EXPECT_NE(transcript().find("brak wiersza symbolu IP1; atrybuty domyślne"), std::string::npos);
    ads_name e;
    ASSERT_EQ(zcdbEntLast(e), RTNORM);
    std::string values;
    for (ads_name next; zcdbEntNext(e, next) == RTNORM;) {
        e[0] = next[0];
        e[1] = next[1];
        resbuf* att = zcdbEntGet(e);
        if (std::string(FindRbCode(att, 0)->resval.rstring) == "ATTRIB")
            values += std::string(FindRbCode(att, 1)->resval.rstring) + "|";
        zcutRelRb(att);
    }
    EXPECT_EQ(values, "IP1|-|1|");
    // A damaged line of the symbol is still a fault of the list.
    dir.write("LISTA.STF", "IP1 GN-230|Gniazdo\n");
    EXPECT_EQ(run({"VELMINS", "IP1", "", "200,100", "0"}), RTERROR) << transcript();
}

// Damaged definitions: a statement that lost a line, a bracket that does not
// close, a section that does not end, a count line that is not one and a
// bad VAR or TYPO line are named once with their file and line (an include
// file's own); every shipped definition reads and draws without such a
// report, and a shipped label that lost a line is named where it broke.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "draw_fixture.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class DamagedDefinition : public DrawSection {
protected:
    // What the test's steps added to the command line.
    std::string said() const { return transcript().substr(before); }
    void SetUp() override {
        DrawSection::SetUp();
        before = transcript().size();
    }
    std::size_t before = 0;
};

}  // namespace

TEST_F(DamagedDefinition, draw_statements_that_lost_a_line_or_a_bracket_are_named_once) {
    // File lines 1 to 4 are "VAR", "END", "DRAW" and the object's layer.
    ObjContext& missing = section("LINE\nW1\n(0 0 0)\nLINE\nW1\n(0 0 0)\n(1 1 0)\nEND\n");
    EXPECT_LT(run(missing), 0);
    EXPECT_EQ(Count(said(), "T.txt:8: brak argumentu w nawiasie"), 1u) << said();

    before = transcript().size();
    ObjContext& open = section("LINE\nW1\n(0 0 0)\n(1 1 0\nEND\n", "U");
    EXPECT_LT(run(open), 0);
    EXPECT_NE(said().find("U.txt:8: nawias argumentu nie jest zamknięty"), std::string::npos) << said();

    before = transcript().size();
    ObjContext& endless = section("LINE\nW1\n(0 0 0)\n(1 1 0)\n", "V");
    EXPECT_LT(run(endless), 0);
    EXPECT_NE(said().find("V.txt:8: sekcja DRAW nie kończy się wierszem END"), std::string::npos) << said();

    before = transcript().size();
    ObjContext& count = section("SPOLIG\nW1\n(0 0 0)\n(1 0 0)\n(0 1 0)\nLINE\n(0 0 0)\nEND\n", "W");
    EXPECT_LT(run(count), 0);
    EXPECT_NE(said().find("W.txt:10: oczekiwano wiersza z liczbą elementów"), std::string::npos) << said();

    // A sound statement says nothing.
    before = transcript().size();
    ObjContext& sound = section("LINE ; ściana\nW1\n(0 0 0) ; początek\n\n(1 1 0)\nEND\n", "X");
    EXPECT_GT(run(sound), 0);
    EXPECT_EQ(said().find("X.txt:"), std::string::npos) << said();
}

TEST_F(DamagedDefinition, a_fault_in_an_include_file_names_that_file_and_its_own_line) {
    write("CZESC.inc", "; linia\nLINE\nW1\n(0 0 0)\n");
    write("T.txt", "VAR\nEND\nDRAW\nOBIEKT\n@\"CZESC.inc\"\nLINE\nW1\n(0 0 0)\n(1 1 0)\nEND\n");
    ObjContext& c = load("T");
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    EXPECT_LT(run(c), 0);
    // The include's statement runs on into the line after the include line.
    EXPECT_NE(said().find("T.txt:6: brak argumentu"), std::string::npos) << said();
    EXPECT_EQ(SourceOfLine(*c.text, 8).line, 4u);  // "(0 0 0)" of the include file
    EXPECT_NE(SourceOfLine(*c.text, 8).file.find("CZESC.inc"), std::string::npos);
    EXPECT_EQ(SourceOfLine(*c.text, 10).line, 6u);
    EXPECT_NE(SourceOfLine(*c.text, 10).file.find("T.txt"), std::string::npos);
}

TEST_F(DamagedDefinition, var_and_typo_sections_name_the_line_they_stopped_on) {
    write("A.txt", "VAR\n$3= 21\n; brak końca\n");
    ObjContext& endless = load("A");
    EXPECT_EQ(ReadVarSection(true, endless), -1);
    EXPECT_NE(said().find("A.txt:3: sekcja VAR nie kończy się"), std::string::npos) << said();

    before = transcript().size();
    write("B.txt", "VAR\n$5=\"A\"01D 1\n$6=\"B\"01D 2\nEND_VAR\n");
    ObjContext& twice = load("B");
    EXPECT_EQ(ReadVarSection(true, twice), 6);
    EXPECT_NE(said().find("B.txt:3: błędny wiersz zmiennej $6"), std::string::npos) << said();

    before = transcript().size();
    write("C.txt", "VAR\n$5=\"A\"01D 1\nEND_VAR\nTYPO\nBEGIN\nMALY\n$5 = 10\nBEGIN\nDUZY\nEND_TYPO\n");
    ObjContext& typo = load("C");
    ASSERT_EQ(ReadVarSection(true, typo), 0);
    EXPECT_EQ(ReadTypoSection(typo), -1);
    EXPECT_NE(said().find("C.txt:"), std::string::npos) << said();
    EXPECT_NE(said().find("błąd w sekcji TYPO"), std::string::npos) << said();
}

TEST_F(DamagedDefinition, a_definition_without_a_var_section_names_its_file) {
    // An empty light definition, and one whose VAR line was lost.
    write("TMS_LUCE.txt", "");
    ObjContext& empty = load("TMS_LUCE");
    EXPECT_EQ(ReadVarSection(false, empty), -1);
    EXPECT_NE(said().find("TMS_LUCE.txt:1: brak sekcji VAR"), std::string::npos) << said();

    before = transcript().size();
    write("D.txt", "; opis\n$3= 49\nEND_VAR\n");
    ObjContext& cut = load("D");
    EXPECT_EQ(ReadVarSection(true, cut), -1);
    EXPECT_NE(said().find("D.txt:3: brak sekcji VAR"), std::string::npos) << said();
}

TEST_F(DamagedDefinition, every_shipped_definition_reads_and_draws_without_a_fault) {
    setUnit(1.0);
    const std::string support = std::string(VELM_SOURCE_DIR) + "/support";
    for (const auto& e : std::filesystem::directory_iterator(support))
        if (e.is_regular_file()) std::filesystem::copy_file(e.path(), dir / e.path().filename());
    std::size_t seen = 0;
    for (const auto& e : std::filesystem::directory_iterator(support)) {
        if (e.path().extension() != ".txt") continue;
        const std::string name = e.path().stem().string();
        SCOPED_TRACE(name);
        ++seen;
        contexts.push_back(NewObjContext(name));
        ObjContext& c = *contexts.back();
        InitObjVariables(c);
        SetCallerVariables(name, c.vars);
        ASSERT_EQ(LoadObjFile(c, name), 1);
        EXPECT_EQ(ReadVarSection(true, c), 0);
        ReadInsertionType(c);
        EXPECT_NE(ReadTypoSection(c), -1);
        EXPECT_NE(ReadComSection(c), -1);
        EXPECT_NE(ReadTabelleSection(c), -1);
        EvaluateComputedVars(c.vars, DrawingUnitFactor());
        if (FindSection("DRAW", *c.text, true)) {
            ReadTextLine(*c.text, 258, false);
            run(c);
        }
        EXPECT_FALSE(c.text->faultReported) << said();
    }
    EXPECT_GT(seen, 20u);
    EXPECT_EQ(said().find(dir.string()), std::string::npos) << said();
}

TEST_F(DamagedDefinition, a_shipped_room_label_that_lost_a_line_is_named_where_it_broke) {
    std::ifstream in(std::string(VELM_SOURCE_DIR) + "/support/TMS_ETIP.txt", std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    // The first label field loses its last line, its description.
    const std::string lost = "(\"Przeznaczenie\")\n";
    const std::size_t at = text.find(lost);
    ASSERT_NE(at, std::string::npos);
    const std::size_t line = Count(text.substr(0, at), "\n") + 1;
    text.erase(at, lost.size());
    write("TMS_ETIP.txt", text);

    contexts.push_back(NewObjContext("TMS_ETIP"));
    ObjContext& c = *contexts.back();
    InitObjVariables(c);
    SetObjVar(75, kVarFixed, 0, u'S', "", 0.0, "Pokój", 0, 0, c.vars);
    ASSERT_EQ(LoadObjFile(c, "TMS_ETIP"), 1);
    ASSERT_EQ(ReadVarSection(true, c), 0);
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    ReadTextLine(*c.text, 258, false);
    EXPECT_LT(run(c), 0);
    // The line that took its place is the next field's "ATTDEF".
    EXPECT_NE(said().find("TMS_ETIP.txt:" + std::to_string(line) + ": brak argumentu"), std::string::npos)
        << said();
}

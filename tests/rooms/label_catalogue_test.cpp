// The label field catalogue: both readers over the shipped file and over
// files made to break them, and the writer's round trip.
#include "rooms/labels/label_catalogue.h"

#include <chrono>
#include <filesystem>
#include <string>

#include "host/ads/transcript.h"
#include "host/win/kept_files.h"
#include "host/win/textfile.h"
#include "tests/rooms/rooms_fixture.h"

namespace {

class LabelCatalogueTest : public RoomsTest {
protected:
    void WriteCatalogue(const std::string& text) { data.write("UA_DEF.DLC", text); }
    CArrayUnitaAmb ReadAll() {
        CArrayUnitaAmb sets;
        sets.ReadUaDefDlc("UA_DEF.DLC");
        return sets;
    }
};

TEST_F(LabelCatalogueTest, shipped_catalogue_has_the_sets_the_room_commands_open) {
    CArrayUnitaAmb sets = ReadAll();
    for (const char* name : {"TMS_TAB1", "TMS_ETI1"}) {
        const int i = sets.FindSet(name);
        ASSERT_GE(i, 0) << name;
        const CArrayDefEti& set = sets[static_cast<std::size_t>(i)];
        EXPECT_FALSE(set.title.empty());
        for (const char* field : {"$70", "$71", "$75", "$76", "$77", "$78", "$79"})
            EXPECT_GE(set.FindField(field), 0);
        const CDefEti& use = set[static_cast<std::size_t>(set.FindField("$75"))];
        EXPECT_EQ(use.kind, 1);
        EXPECT_EQ(use.number, 75);
        EXPECT_EQ(use.values.front(), "Pokój");

        CArrayDefEti one;
        ASSERT_EQ(ReadLabelFieldSet(name, one), 1);
        ASSERT_EQ(one.size(), set.size());
        for (std::size_t k = 0; k < one.size(); ++k) {
            EXPECT_EQ(one[k].name, set[k].name);
            EXPECT_EQ(one[k].values, set[k].values);
        }
    }
}

TEST_F(LabelCatalogueTest, writer_output_reads_and_writes_back_identical) {
    const std::string longPrompt(300, 'x');
    for (const std::string eol : {"\r\n", "\n"}) {
        WriteCatalogue("[A]" + eol + "Tytuł" + eol + "$70" + eol + "T_EDIT" + eol + longPrompt + eol + "$75" +
                       eol + "T_LIST" + eol + "Przeznaczenie" + eol + "2" + eol + "Pokój" + eol + "Kuchnia" +
                       eol + "$76" + eol + "T_LIST" + eol + "Pusta" + eol + "0" + eol + "[END]");
        CArrayUnitaAmb sets = ReadAll();
        ASSERT_EQ(sets.size(), 1u);
        ASSERT_EQ(sets[0].size(), 3u);
        EXPECT_EQ(sets[0][0].prompt, longPrompt);
        EXPECT_EQ(sets[0][1].values.back(), "Kuchnia");  // the last line, without a line end
        EXPECT_TRUE(sets[0][2].values.empty());
        sets[0][0].value = "nie do pliku";
        ASSERT_EQ(sets.WriteUaDefDlc("UA_DEF.DLC"), 1);
        const std::string first = data.read("UA_DEF.DLC");
        EXPECT_EQ(first.find("nie do pliku"), std::string::npos);
        EXPECT_NE(first.find("T_LIST" + eol + "Pusta" + eol + "0" + eol), std::string::npos);
        ASSERT_EQ(ReadAll().WriteUaDefDlc("UA_DEF.DLC"), 1);
        EXPECT_EQ(data.read("UA_DEF.DLC"), first);
    }
}

TEST_F(LabelCatalogueTest, whole_file_reader_drops_what_it_cannot_use) {
    // A set closed right after its title, a header without "]", a list cut
    // short by the end of the file.
    WriteCatalogue(
        "[EMPTY]\nT\n[END]\n[OPEN\nT\n$70\nT_EDIT\nH\n[END]\n[CUT]x\nT\n$75\nT_LIST\nP\n3\na\nb\n");
    CArrayUnitaAmb sets = ReadAll();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].setName, "OPEN");

    WriteCatalogue("[EMPTY]\nT\n[END]\n");
    EXPECT_FALSE(CArrayUnitaAmb().ReadUaDefDlc("UA_DEF.DLC"));
}

TEST_F(LabelCatalogueTest, the_two_readers_differ_on_case_and_end_lines) {
    for (const std::string end : {"[END] more", "[end]"}) {
        WriteCatalogue("[S]\nT\n$71\nt_edit\nN\n" + end + "\n$70\nT_EDIT\nH\n[END]\n");
        CArrayUnitaAmb sets = ReadAll();
        ASSERT_EQ(sets.size(), 1u);
        // Exact comparisons: a list field whose count line is not a number
        // is dropped, and neither line ends the set.
        ASSERT_EQ(sets[0].size(), 1u);
        EXPECT_EQ(sets[0][0].name, "$70");

        CArrayDefEti one;
        ASSERT_EQ(ReadLabelFieldSet("s", one), 1);  // header found in any case
        ASSERT_EQ(one.size(), 1u);                  // the end line ends the set
        EXPECT_EQ(one[0].name, "$71");
        EXPECT_EQ(one[0].kind, 0);
        EXPECT_EQ(one.setName, "s");
    }
}

TEST_F(LabelCatalogueTest, one_set_reader_reports_bad_names_and_unknown_sets) {
    WriteCatalogue("[S]\nT\n$7a\nT_EDIT\nH\n$\nT_EDIT\nX\n[END]\n");
    CArrayDefEti one;
    EXPECT_EQ(ReadLabelFieldSet("S", one), 0);
    ASSERT_EQ(one.size(), 1u);  // fields before the error stay
    EXPECT_EQ(one[0].name, "$7a");
    EXPECT_EQ(one[0].number, 7);
    EXPECT_EQ(lastMessage(), data.path("UA_DEF.DLC") + ":6: nazwa pola bez numeru");

    EXPECT_EQ(ReadLabelFieldSet("NONE", one), 0);
    EXPECT_EQ(lastMessage(), "NONE:Okno dialogowe nie jest zdefiniowane");

    WriteCatalogue("[S]\nT\n$75\nT_LIST\nP\n3\na\n");
    EXPECT_EQ(ReadLabelFieldSet("S", one), 0);
    EXPECT_EQ(lastMessage(), data.path("UA_DEF.DLC") + ":7: plik kończy się przed [END]");
}

// A set read whole is kept with the catalogue's text while the file stays
// as it was; rewritten (to the same size), replaced or removed, the file
// now there is read. A faulty set is read, and said, every time.
TEST_F(LabelCatalogueTest, a_kept_field_set_follows_its_file_changed_replaced_or_removed) {
    const std::string file = data.path("UA_DEF.DLC");
    const auto age = [](const std::string& path) {
        std::filesystem::last_write_time(
            path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    };
    const auto read = [](const char* name) {
        CArrayDefEti one;
        one.title = "before";
        if (ReadLabelFieldSet(name, one) != 1) return std::string("none");
        std::string seen = one.setName + "/" + one.title;
        for (const CDefEti& f : one) seen += "/" + f.name + "=" + f.prompt;
        return seen;
    };
    WriteCatalogue("[K]\nFirst\n$70\nT_EDIT\nA\n[END]\n[B]\nT\n$\nT_EDIT\nH\n[END]\n");
    age(file);
    EXPECT_EQ(read("K"), "K/First/$70=A");
    EXPECT_EQ(read("K"), "K/First/$70=A");
    EXPECT_EQ(read("k"), "k/First/$70=A");  // named as asked
    for (int i = 0; i < 2; ++i) {
        host::transcript().clear();
        EXPECT_EQ(read("B"), "none");
        EXPECT_NE(transcript().find(file + ":9: nazwa pola bez numeru"), std::string::npos);
    }

    host::forgetCommandKeptFileValues();
    WriteCatalogue("[K]\nOther\n$71\nT_EDIT\nB\n[END]\n[B]\nT\n$\nT_EDIT\nH\n[END]\n");
    age(file);
    EXPECT_EQ(read("K"), "K/Other/$71=B");

    data.write("NEW.DLC", "[K]\nThird\n$72\nT_EDIT\nC\n[END]\n[B]\nT\n$\nT_EDIT\nH\n[END]\n");
    std::filesystem::last_write_time(data.path("NEW.DLC"), std::filesystem::last_write_time(file));
    std::filesystem::rename(data.path("NEW.DLC"), file);
    EXPECT_EQ(read("K"), "K/Third/$72=C");

    host::forgetCommandKeptFileValues();
    std::filesystem::remove(file);
    EXPECT_EQ(read("K"), "none");
    host::forgetKeptFileValues();
}

// VELMDEFROOMD with nothing edited wrote the whole file again, without the
// lines it does not own; a file read with a line missing lost what followed.
TEST_F(LabelCatalogueTest, an_unedited_ok_writes_nothing_and_an_edit_keeps_the_lines_not_edited) {
    // A note, a set without fields, a header with more after its "]", a
    // title with one byte that is not UTF-8, a prompt longer than any buffer.
    const std::string shipped = data.read("UA_DEF.DLC");
    const std::string head = "; notatka\r\n[PUSTY]\r\nT\r\n[END]\r\n";
    const std::string own =
        "[A] opis\r\nTytu\xB3\r\n$70\r\nT_EDIT\r\n" + std::string(300, 'p') + "\r\n[END]\r\n";
    WriteCatalogue(head + own + shipped);
    run({"VELMDEFROOMD"});  // OK on the sets as read
    EXPECT_EQ(data.read("UA_DEF.DLC"), head + own + shipped);

    run({"!dialog 143 select 1001 \"A\" click 1053 ok", "!dialog 137 edit 101 \"Nowy tytuł\" ok",
         "VELMDEFROOMD"});
    const std::string edited =
        "[A]\r\nNowy tytuł\r\n$70\r\nT_EDIT\r\n" + std::string(300, 'p') + "\r\n[END]\r\n";
    EXPECT_EQ(data.read("UA_DEF.DLC"), head + edited + shipped) << transcript();
}

TEST_F(LabelCatalogueTest, a_catalogue_not_read_whole_is_named_and_never_written_over) {
    // The shipped file without line 12, the count of the first list.
    const std::string shipped = data.read("UA_DEF.DLC");
    std::size_t at = 0;
    for (int line = 1; line < 12; ++line) at = shipped.find('\n', at) + 1;
    const std::string damaged = shipped.substr(0, at) + shipped.substr(shipped.find('\n', at) + 1);
    WriteCatalogue(damaged);
    run({"!dialog 143 select 1001 \"TMS_ETI1\" click 1053 ok", "!dialog 137 edit 101 \"Inny\" ok",
         "VELMDEFROOMD"});
    EXPECT_EQ(data.read("UA_DEF.DLC"), damaged);
    const std::string where = "\n" + data.path("UA_DEF.DLC") + ":12: nieprawidłowa liczba wartości listy";
    EXPECT_NE(transcript().find(where + "\n"), std::string::npos) << transcript();
    EXPECT_NE(transcript().find(where + " (plik nie został zapisany)"), std::string::npos);

    // The one-set reader of the rooms names an empty catalogue, not a set.
    WriteCatalogue("");
    CArrayDefEti one;
    EXPECT_EQ(ReadLabelFieldSet("TMS_TAB1", one), 0);
    EXPECT_EQ(lastMessage(), data.path("UA_DEF.DLC") + ":1: pusty plik");
}

TEST_F(LabelCatalogueTest, missing_catalogue_is_neither_read_nor_created) {
    std::filesystem::remove(data.path("UA_DEF.DLC"));
    CArrayUnitaAmb sets;
    sets.push_back(CArrayDefEti{});
    EXPECT_EQ(sets.WriteUaDefDlc("UA_DEF.DLC"), 0);
    EXPECT_FALSE(std::filesystem::exists(data.path("UA_DEF.DLC")));
    EXPECT_FALSE(sets.ReadUaDefDlc("UA_DEF.DLC"));
    EXPECT_TRUE(sets.empty());
    CArrayDefEti one;
    EXPECT_EQ(ReadLabelFieldSet("TMS_TAB1", one), 0);
    EXPECT_EQ(lastMessage(), "UA_DEF.DLC:Pliku nie znaleziono");
}

}  // namespace

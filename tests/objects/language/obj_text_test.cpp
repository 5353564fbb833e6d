// Definition files: includes from the library folders, the cursor, the
// value writer and the save (what changes on disk and what must not).
#include "objects/language/obj_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "host/win/kept_files.h"
#include "host/win/textfile.h"
#include "lang_fixture.h"
#include "objects/language/obj_limits.h"

namespace {

std::vector<std::string> Texts(const ObjText& t) {
    std::vector<std::string> out;
    for (const ObjLine& l : t.lines) out.push_back(l.text);
    return out;
}

std::size_t Chars(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

TEST_F(ObjLanguage, nested_includes_from_a_library_folder_expand_between_markers) {
    write("lib/DOOR.txt", "; door\nVAR\n@\"PARAMS.inc\"\nEND_VAR\nDRAW\n");
    write("lib/PARAMS.inc", "$8=\"W\"01D90\n@\"MORE.inc\"\n");
    write("MORE.inc", "$9=\"H\"02D200\n");
    VELM_LIBOBJOPT* lib = OpenLibObjOptObject();
    ASSERT_NE(lib, nullptr);
    lib->entries = {path("nowhere"), path("lib")};
    lib->close();

    // A name with a folder and an extension is looked for by its bare name.
    int loaded = 0;
    ObjContext& c = load("C:\\old\\place\\DOOR.txt", &loaded);
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(c.text->path, path("lib") + "/DOOR.txt");
    const std::vector<std::string> expected = {"; door\n",
                                               "VAR\n",
                                               ";DDC$2009560" + path("lib") + "/PARAMS.inc\n",
                                               "$8=\"W\"01D90\n",
                                               ";DDC$2009560" + path("MORE.inc") + "\n",
                                               "$9=\"H\"02D200\n",
                                               ";DDC$200957\n",
                                               ";DDC$200957\n",
                                               "END_VAR\n",
                                               "DRAW\n"};
    EXPECT_EQ(Texts(*c.text), expected);
    // A second load on the same context does nothing.
    EXPECT_EQ(LoadObjFile(c, "DOOR"), 0);
    // Sections are found by their first word, in any letter case.
    write("lib/SEC.txt", "x\ndraw  first drawing\nLINE\n");
    ObjContext& s = load("SEC");
    ASSERT_TRUE(FindSection("DRAW", *s.text, true));
    EXPECT_EQ(ReadTextLine(*s.text, 124, true).value(), "LINE");
    EXPECT_FALSE(FindSection("TYPO", *s.text, true));
}

TEST_F(ObjLanguage, definition_found_only_as_cxt_loads_empty) {
    write("SECRET.cxt", "VAR\n$8=\"W\"01D90\nEND_VAR\n");
    int loaded = 0;
    ObjContext& c = load("SECRET", &loaded);
    EXPECT_EQ(loaded, 1);
    EXPECT_TRUE(c.text->lines.empty());
    EXPECT_FALSE(FindSection("VAR", *c.text, true));
    int missing = 0;
    load("NOSUCH", &missing);
    EXPECT_EQ(missing, 0);
}

TEST_F(ObjLanguage, self_inclusion_direct_or_not_is_refused) {
    write("SELF.txt", "VAR\n@\"SELF.txt\"\nEND_VAR\n");
    write("RING.txt", "VAR\n@\"RING_A.inc\"\nEND_VAR\n");
    write("RING_A.inc", "@\"RING_B.inc\"\n");
    write("RING_B.inc", "@\"RING_A.inc\"\n");
    int loaded = 0;
    load("SELF", &loaded);
    EXPECT_EQ(loaded, -1);
    // A loop is named as a loop, at the include line that closes it.
    EXPECT_EQ(lastMessage(), path("SELF.txt") + ":2: Pętla dołączeń: plik SELF.txt dołącza sam siebie");
    load("RING", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(), path("RING_B.inc") + ":1: Pętla dołączeń: plik RING_A.inc dołącza sam siebie");
    write("LOST.txt", "VAR\n@\"MISSING.inc\"\n");
    load("LOST", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(), path("LOST.txt") + ":2: Nie można otworzyć dołączonego pliku MISSING.inc");
}

// Ten files, each including the next ten times: ten billion lines from a
// few hundred bytes. The definition is refused by its expanded length,
// with its name and the bound, once that is passed; includes that repeat
// within the bound still load.
TEST_F(ObjLanguage, includes_that_fan_out_past_the_line_bound_are_refused_with_the_definition) {
    std::string includes;
    for (int i = 0; i < 10; ++i) includes += "@\"FAN1.inc\"\n";
    write("FAN.txt", "VAR\n" + includes + "END_VAR\n");
    for (int level = 1; level < 10; ++level) {
        std::string next;
        for (int i = 0; i < 10; ++i) next += "@\"FAN" + std::to_string(level + 1) + ".inc\"\n";
        write("FAN" + std::to_string(level) + ".inc", next);
    }
    write("FAN10.inc", "; liść\n");
    int loaded = 0;
    load("FAN", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(),
              "Definicja FAN z dołączonymi plikami ma więcej niż 100000 wierszy: nie została wczytana.");

    write("FEW.txt", "VAR\n" + includes + "END_VAR\n");
    write("FAN1.inc", "@\"FAN9.inc\"\n@\"FAN9.inc\"\n");
    ObjContext& few = load("FEW", &loaded);
    EXPECT_EQ(loaded, 1);
    // Each FAN1 block: its markers, two FAN9 blocks of ten FAN10 blocks.
    EXPECT_EQ(few.text->lines.size(), 2u + 10u * (2u + 2u * (2u + 10u * 3u)));
}

// Ten thousand one-line files, each including the next: a chain that would
// take the reader's stack if it were followed to its end. The definition
// is refused by its name at the include past the bound, and a chain
// within the bound still loads.
TEST_F(ObjLanguage, includes_nested_past_the_depth_bound_are_refused_with_the_definition) {
    const auto chain = [this](const std::string& name, int files) {
        write(name + ".txt", "VAR\n@\"" + name + "1.inc\"\nEND_VAR\n");
        for (int i = 1; i < files; ++i)
            write(name + std::to_string(i) + ".inc", "@\"" + name + std::to_string(i + 1) + ".inc\"\n");
        write(name + std::to_string(files) + ".inc", "$8=\"W\"01D90\n");
    };
    chain("DEEP", 10000);
    int loaded = 0;
    load("DEEP", &loaded);
    EXPECT_EQ(loaded, -1);
    // Named where the include past the bound stands.
    const std::string last = std::to_string(kMaxIncludeDepth);
    EXPECT_EQ(lastMessage(), "Definicja DEEP: dołączone pliki są zagnieżdżone na więcej niż " +
                                 std::to_string(kMaxIncludeDepth) + " poziomów (" +
                                 path("DEEP" + last + ".inc") + ":1): nie została wczytana.");
    chain("SHALLOW", static_cast<int>(kMaxIncludeDepth));
    ObjContext& shallow = load("SHALLOW", &loaded);
    ASSERT_EQ(loaded, 1);
    EXPECT_EQ(shallow.text->lines.size(), 2u + 2u * kMaxIncludeDepth + 1u);
}

TEST_F(ObjLanguage, a_definition_or_include_linked_to_a_device_is_refused_by_name) {
    // Links to a device beside the drawing: read whole, they would fill
    // the memory. Each leads out of its folder and is named; nothing loads.
    std::filesystem::create_symlink("/dev/zero", path("ZERO.inc"));
    write("ENDLESS.txt", "VAR\n@\"ZERO.inc\"\nEND_VAR\n");
    int loaded = 0;
    load("ENDLESS", &loaded);
    EXPECT_EQ(loaded, -1);
    const std::string refused = ": dowiązanie prowadzi poza folder, w którym je znaleziono; odrzucono.";
    EXPECT_NE(transcript().find("nie można odczytać " + path("ZERO.inc") + refused), std::string::npos)
        << transcript();
    EXPECT_EQ(lastMessage(), path("ENDLESS.txt") + ":2: Nie można otworzyć dołączonego pliku ZERO.inc");

    std::filesystem::create_symlink("/dev/zero", path("DEVICE.txt"));
    load("DEVICE", &loaded);
    EXPECT_EQ(loaded, 0);
    EXPECT_NE(transcript().find("nie można odczytać " + path("DEVICE.txt") + refused), std::string::npos);
}

TEST_F(ObjLanguage, an_unchanged_text_saves_nothing) {
    const std::string text = "VAR\r\n$8=\"W\"01D90\r\nEND_VAR\r\n";
    write("SAME.txt", text);
    ObjContext& c = load("SAME");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    // Were it written, the file would get its loaded text back.
    write("SAME.txt", "changed meanwhile\n");
    freeLast();
    EXPECT_EQ(read("SAME.txt"), "changed meanwhile\n");
}

// A value written back lands in the main file and in the include that holds
// a parameter, at any depth; every other byte stays, in either encoding.
TEST_F(ObjLanguage, written_values_change_only_their_lines_in_main_file_and_flagged_include) {
    setUnit(10.0);
    // The main file in Windows-1250 with CR LF; "ś" is one byte there.
    const std::string mainText =
        "; okno\r\nVAR\r\n$12=\"Szeroko\x9C\xE6\"05D90 ; komentarz\r\n@\"outer.inc\"\r\n#20= "
        "4.5\r\nEND_VAR\r\n"
        "TYPO\r\n$12=90\r\nEND_TYPO\r\n";
    write("WIN.txt", mainText);
    write("outer.inc", "; nothing to store here\n@\"inner.inc\"\n");
    write("inner.inc", "$13=\"Wysokość\"02d150\n$14=\"Nazwa\"03S\"Okno\" ; tekst\n");
    ObjContext& c = load("WIN");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    ObjVar* width = FindObjVar(12, c.vars);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->value, 900.0);
    EXPECT_EQ(width->order, 5);
    EXPECT_EQ(width->description, "Szerokość");

    width->value = 1234.5;
    FindObjVar(13, c.vars)->value = 2000.0 / 3.0;
    ASSERT_TRUE(WriteVarValue(*c.text, *width));
    ASSERT_TRUE(WriteVarValue(*c.text, *FindObjVar(13, c.vars)));
    FindObjVar(14, c.vars)->text = "Okno duże";
    ASSERT_TRUE(WriteVarValue(*c.text, *FindObjVar(14, c.vars)));
    // A file between the main file and the flagged one is left as it is.
    write("outer.inc", "; changed on disk\n@\"inner.inc\"\n");
    freeLast();

    EXPECT_EQ(read("WIN.txt"),
              "; okno\r\nVAR\r\n$12=\"Szeroko\x9C\xE6\"05D123.45 ; komentarz\r\n@\"outer.inc\"\r\n#20= "
              "4.5\r\nEND_VAR\r\n"
              "TYPO\r\n$12=90\r\nEND_TYPO\r\n");
    EXPECT_EQ(read("outer.inc"), "; changed on disk\n@\"inner.inc\"\n");
    const std::string inner = read("inner.inc");
    EXPECT_EQ(inner.rfind("$13=\"Wysokość\"02d66.666666", 0), 0u) << inner;
    EXPECT_EQ(inner.substr(inner.find('\n') + 1), "$14=\"Nazwa\"03S\"Okno duże\" ; tekst\n");

    ObjContext& again = load("WIN");
    ASSERT_EQ(ReadVarSection(true, again), 0);
    EXPECT_DOUBLE_EQ(FindObjVar(12, again.vars)->value, 1234.5);
    EXPECT_DOUBLE_EQ(FindObjVar(13, again.vars)->value, 2000.0 / 3.0);
    EXPECT_EQ(FindObjVar(14, again.vars)->text, "Okno duże");
}

TEST_F(ObjLanguage, a_long_line_is_held_in_pieces_and_written_back_whole) {
    std::string longLine = ";";
    while (Chars(longLine) < 300) longLine += "ż";
    write("LONG.txt", "VAR\n" + longLine + "\n$8=\"W\"01I3\nEND_VAR\n");
    ObjContext& c = load("LONG");
    ASSERT_EQ(c.text->lines.size(), 5u);
    EXPECT_EQ(Chars(c.text->lines[1].text), 257u);
    EXPECT_EQ(Chars(c.text->lines[2].text), 44u);  // 43 and the line break
    // The cursor crosses the piece boundary like any other character.
    ASSERT_TRUE(FindSection("VAR", *c.text, true));
    for (int i = 0; i < 257; ++i) NextTextChar(*c.text);
    EXPECT_EQ(NextTextChar(*c.text), U'ż');
    ASSERT_EQ(ReadVarSection(true, c), 0);
    FindObjVar(8, c.vars)->value = 4;
    ASSERT_TRUE(WriteVarValue(*c.text, *FindObjVar(8, c.vars)));
    freeLast();
    EXPECT_EQ(read("LONG.txt"), "VAR\n" + longLine + "\n$8=\"W\"01I4\nEND_VAR\n");
}

TEST_F(ObjLanguage, value_writer_refuses_what_it_cannot_find) {
    write("NOVAR.txt", "DRAW\n$8=\"W\"01D90\n");
    ObjContext& c = load("NOVAR");
    ObjVar v;
    v.number = 8;
    EXPECT_FALSE(WriteVarValue(*c.text, v));
    // Only a parameter line of the VAR section holds a value to rewrite.
    write("OTHER.txt", "VAR\n$8= e(0 0 \"x\")\n$9=\"W\"01D90\nEND_VAR\n$8=\"X\"01D9\n");
    ObjContext& o = load("OTHER");
    EXPECT_FALSE(WriteVarValue(*o.text, v));
    EXPECT_EQ(o.text->lines[1].text, "$8= e(0 0 \"x\")\n");
    // A text with nothing written back is not saved even when asked.
    o.text->modified = 0;
}

TEST_F(ObjLanguage, a_definition_that_cannot_be_written_back_is_reported) {
    write("GONE.txt", "VAR\n$8=\"W\"01I3\nEND_VAR\n");
    ObjContext& c = load("GONE");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    ASSERT_TRUE(WriteVarValue(*c.text, *FindObjVar(8, c.vars)));
    // The file's place is taken by a folder meanwhile.
    std::filesystem::remove(path("GONE.txt"));
    std::filesystem::create_directories(dir / "GONE.txt" / "inside");
    freeLast();
    EXPECT_NE(transcript().find("\nnie można zapisać " + path("GONE.txt") + ": "), std::string::npos);
    EXPECT_NE(transcript().find("zmiany nie zostały zapisane"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "GONE.txt" / "inside"));
}

// A definition read by one command serves the next while its file is as it
// was; rewritten, replaced or removed (the next library folder's then
// found), it is read again.
TEST_F(ObjLanguage, a_kept_definition_serves_until_its_file_changes_is_replaced_or_removed) {
    std::filesystem::create_directories(dir / "second");
    VELM_LIBOBJOPT* lib = OpenLibObjOptObject();
    ASSERT_NE(lib, nullptr);
    lib->entries = {path("lib"), path("second")};
    lib->close();
    const std::string file = path("lib/KEPT.txt");
    auto age = [](const std::string& p) {
        std::filesystem::last_write_time(
            p, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    };
    auto firstLine = [this] {
        ObjContext& c = load("KEPT");
        return c.text && !c.text->lines.empty() ? c.text->lines[0].text : std::string("-");
    };
    write("second/KEPT.txt", "; later\nVAR\nEND_VAR\n");
    write("lib/KEPT.txt", "; one\nVAR\nEND_VAR\n");
    age(file);
    EXPECT_EQ(firstLine(), "; one\n");
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(firstLine(), "; one\n");

    write("lib/KEPT.txt", "; two\nVAR\nEND_VAR\n");  // the same size
    EXPECT_EQ(firstLine(), "; two\n");
    age(file);
    EXPECT_EQ(firstLine(), "; two\n");

    write("lib/NEW.txt", "; six\nVAR\nEND_VAR\n");
    std::filesystem::last_write_time(path("lib/NEW.txt"), std::filesystem::last_write_time(file));
    std::filesystem::rename(path("lib/NEW.txt"), file);
    EXPECT_EQ(firstLine(), "; six\n");

    host::forgetCommandKeptFileValues();
    std::filesystem::remove(file);
    EXPECT_EQ(firstLine(), "; later\n");
    host::forgetKeptFileValues();
}

// The runs of one kept definition share its lines: a value one run writes
// into them is that run's alone, not the kept definition's nor a later
// run's.
TEST_F(ObjLanguage, a_value_written_into_a_shared_definition_stays_with_its_run) {
    write("SHARE.txt", "VAR\n$8=\"W\"01I3\nEND_VAR\n");
    std::filesystem::last_write_time(path("SHARE.txt"),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    ObjContext& first = load("SHARE");
    ObjContext& second = load("SHARE");
    ASSERT_TRUE(first.text && second.text);
    ASSERT_EQ(ReadVarSection(true, first), 0);
    ObjVar* v = FindObjVar(8, first.vars);
    ASSERT_NE(v, nullptr);
    v->value = 7;
    ASSERT_TRUE(WriteVarValue(*first.text, *v));
    EXPECT_NE(first.text->lines[1].text, "$8=\"W\"01I3\n");
    EXPECT_EQ(second.text->lines[1].text, "$8=\"W\"01I3\n");
    EXPECT_EQ(load("SHARE").text->lines[1].text, "$8=\"W\"01I3\n");
    // A copy made after the change has it, and keeps it when the first
    // text changes again.
    ObjText copy = *first.text;
    const std::string written = first.text->lines[1].text;
    first.text->lines.edit()[1].text = "; gone\n";
    EXPECT_EQ(copy.lines[1].text, written);
    first.text->modified = 0;  // nothing to save
}

// A section is the first line whose first word is the keyword, in any
// letter case: not a longer word, not one after a blank, not a line of
// another letter or of a letter beyond ASCII.
TEST_F(ObjLanguage, a_section_line_is_told_by_its_whole_first_word) {
    write("SECS.txt", "; DRAW\n  DRAW\nDRAWX\nŁDRAW\n\td\nDraw\tsecond\nLINE\ndraw\n");
    ObjContext& c = load("SECS");
    ASSERT_TRUE(c.text);
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    EXPECT_EQ(c.text->cursor.line, 6u);
    ASSERT_TRUE(FindSection("draw", *c.text, false));
    EXPECT_EQ(c.text->cursor.line, 8u);
    EXPECT_FALSE(FindSection("DRAW", *c.text, false));
    ASSERT_TRUE(FindSection("łdraw", *c.text, true));
    EXPECT_EQ(c.text->cursor.line, 4u);
}

// A line read up to its end, its first blank (unless whole) or so many
// characters, letters of several bytes counted once; the cursor moves to
// the next line whatever was kept.
TEST(ObjTextLines, a_line_read_whole_or_to_its_first_blank) {
    const std::string polish = "żółć";  // 4 characters, 8 bytes
    ObjText t;
    std::vector<ObjLine> lines;
    for (const std::string& text :
         {std::string("ATTDEF  ; the label's name\n"), std::string("LINE\t(1 2)\r\n"),
          polish + polish + " x\n", polish + polish + "\n", std::string("  lead\n")}) {
        ObjLine line;
        line.text = text;
        lines.push_back(std::move(line));
    }
    t.lines = ObjLines(std::move(lines));
    EXPECT_EQ(ReadTextLine(t, 124, false).value(), "ATTDEF");
    EXPECT_EQ(t.cursor.line, 1u);
    EXPECT_EQ(ReadTextLine(t, 124, true).value(), "LINE\t(1 2)");
    EXPECT_EQ(ReadTextLine(t, 6, false).value(), polish + "żó");
    EXPECT_EQ(ReadTextLine(t, 124, false).value(), polish + polish);
    t.cursor.line = 3;
    EXPECT_EQ(ReadTextLine(t, 5, true).value(), polish + "ż");
    EXPECT_EQ(ReadTextLine(t, 124, false).value(), "");
    EXPECT_EQ(t.cursor.line, 5u);
    EXPECT_FALSE(ReadTextLine(t, 124, false));
}

namespace {

// Definition files past their bytes, and long lines within them.
TEST_F(ObjLanguage, a_definition_file_is_bounded_in_bytes_and_a_long_line_cut_in_one_pass) {
    // A line of four million characters, just within the file's bound:
    // cut as it is read, into 257-character entries, each cut where the
    // last ended (cutting the rest off the front each time took minutes).
    const std::size_t length = kMaxDefinitionBytes - 32;
    write("DLUGI.txt", "VAR\n;" + std::string(length, 'x') + "\nEND_VAR\n");
    int loaded = 0;
    ObjContext& c = load("DLUGI", &loaded);
    ASSERT_EQ(loaded, 1);
    const std::size_t pieces = (length + 2 + kObjLineChars - 1) / kObjLineChars;  // ";" and the break
    ASSERT_EQ(c.text->lines.size(), 2 + pieces);
    EXPECT_EQ(c.text->lines[1].text.size(), kObjLineChars);
    EXPECT_EQ(c.text->lines[pieces].text.back(), '\n');

    // A file past the bound is refused before it is read, naming the
    // definition, the file and the bound; so is an include.
    write("WIELKI.txt", "VAR\n;" + std::string(kMaxDefinitionBytes, 'x') + "\nEND_VAR\n");
    load("WIELKI", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(), "Definicja WIELKI: plik " + path("WIELKI.txt") +
                                 " ma więcej niż 4194304 bajtów: nie została wczytana.");
    std::filesystem::rename(path("WIELKI.txt"), path("WIELKI.inc"));
    write("Z_WIELKIM.txt", "VAR\n@\"WIELKI.inc\"\nEND_VAR\n");
    load("Z_WIELKIM", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(), "Definicja Z_WIELKIM: plik " + path("WIELKI.inc") +
                                 " ma więcej niż 4194304 bajtów: nie została wczytana.");
}

// An include names a file by its name alone, as a definition name does:
// a folder part, absolute or leading up, is dropped, and the name looked
// up where definitions are. A file at the folder it gave is never read.
TEST_F(ObjLanguage, an_include_with_a_folder_part_is_read_by_its_bare_name) {
    const std::filesystem::path outside = dir / "poza";
    std::filesystem::create_directories(outside);
    write("poza/WSPOLNE.inc", "; obcy plik\n");
    write("poza/TYLKO_TAM.inc", "; obcy plik\n");
    write("WSPOLNE.inc", "; z biblioteki\n");
    const std::string absolute = (outside / "WSPOLNE.inc").string();
    write("ABS.txt", "VAR\n@\"" + absolute + "\"\n@\"../WSPOLNE.inc\"\n@\"lib\\..\\WSPOLNE.inc\"\nEND_VAR\n");
    int loaded = 0;
    ObjContext& c = load("ABS", &loaded);
    ASSERT_EQ(loaded, 1);
    const std::string block = std::string(kIncludeStart) + "0" + path("WSPOLNE.inc") + "\n";
    const std::vector<std::string> expected = {
        "VAR\n",         block, "; z biblioteki\n", ";DDC$200957\n", block,      "; z biblioteki\n",
        ";DDC$200957\n", block, "; z biblioteki\n", ";DDC$200957\n", "END_VAR\n"};
    EXPECT_EQ(Texts(*c.text), expected);

    // Only there: not found where definitions are looked up.
    write("TAM.txt", "VAR\n@\"" + (outside / "TYLKO_TAM.inc").string() + "\"\nEND_VAR\n");
    load("TAM", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(), path("TAM.txt") + ":2: Nie można otworzyć dołączonego pliku TYLKO_TAM.inc");
    // A kernel file that never ends, or a folder: its name alone is no
    // definition's, and nothing is read from it.
    write("PROC.txt", "VAR\n@\"/proc/self/status\"\n@\"..\"\nEND_VAR\n");
    load("PROC", &loaded);
    EXPECT_EQ(loaded, -1);
    EXPECT_EQ(lastMessage(), path("PROC.txt") + ":2: Nie można otworzyć dołączonego pliku status");
}

}  // namespace

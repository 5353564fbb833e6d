// A text read from a file cannot steer the terminal: the DXF reader's
// messages and everything the command line shows carry its control
// characters escaped, while line ends, tabs and Polish letters pass.
#include <gtest/gtest.h>

#include <string>

#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/win/textutil.h"

TEST(ShownText, control_characters_are_shown_as_caret_escapes_and_text_passes) {
    EXPECT_EQ(host::shownText("Ściana\tłuk\n"), "Ściana\tłuk\n");
    EXPECT_EQ(host::shownText("a\x1b[2Jb\x07\r\x7f"), "a^[[2Jb^G^M^?");
    // A C1 control, as a character and as a byte standing alone.
    EXPECT_EQ(host::shownText("x\xc2\x9b"
                              "31my"),
              "xM-^[31my");
    EXPECT_EQ(host::shownText("x\x9b"
                              "31my"),
              "xM-^[31my");
}

TEST(ShownText, the_dxf_readers_message_quotes_the_file_escaped) {
    const host::DxfLoadResult r = host::readDxfText("0\nSECTION\n2\nENTITIES\n\x1b]0;x\x07\nLINE\n0\nEOF\n");
    ASSERT_FALSE(r.db);
    EXPECT_NE(r.error.find("zły kod grupy \"^[]0;x^G\""), std::string::npos) << r.error;
    EXPECT_EQ(r.error.find('\x1b'), std::string::npos);
}

TEST(ShownText, what_the_command_line_shows_never_holds_a_control_character) {
    const std::size_t before = host::transcript().text().size();
    zcutPrintf("\nWarstwa \"%s\" nie istnieje.", "A\x1b[2J");
    const std::string shown = host::transcript().text().substr(before);
    EXPECT_EQ(shown, "\nWarstwa \"A^[[2J\" nie istnieje.");
    EXPECT_EQ(host::transcript().lastMessage(), "Warstwa \"A^[[2J\" nie istnieje.");
}

// A right-to-left override in a name would show the rest of the line
// backwards: every bidirectional control is shown by its code, and the
// letters of the line as they are.
TEST(ShownText, bidirectional_controls_are_shown_by_their_codes) {
    EXPECT_EQ(host::shownText("plik \u202Egpj.exe"), "plik <U+202E>gpj.exe");
    EXPECT_EQ(host::shownText("a\u200Eb\u200Fc\u202Ad\u2066e\u2069f\u061Cg"),
              "a<U+200E>b<U+200F>c<U+202A>d<U+2066>e<U+2069>f<U+061C>g");
    // Neighbours of the controls are text.
    EXPECT_EQ(host::shownText("\u2010\u2026\u2070 Łódź"), "\u2010\u2026\u2070 Łódź");
}

// A line of a whole file is cut to its start, with its length said in
// characters (not bytes); other lines of the text, and lines up to the
// limit, stay whole; what was shown, shown again, is the same.
TEST(ShownText, a_very_long_line_is_cut_with_its_length_said) {
    const std::string longLine(100000, 'x');
    const std::string shown = host::shownText("początek\n" + longLine + "\nkoniec");
    EXPECT_EQ(shown, "początek\n" + std::string(400, 'x') + " … (skrócono: wiersz ma 100000 znaków)\nkoniec");
    EXPECT_EQ(host::shownText(shown), shown);
    // Characters, not bytes: 300 Polish letters are 600 bytes, one line.
    std::string letters;
    for (int i = 0; i < 300; ++i) letters += "ł";
    EXPECT_EQ(host::shownText(letters), letters);
    EXPECT_EQ(host::shownText(std::string(500, 'y')), std::string(500, 'y'));
    // Escapes count as what they show; the cut falls between them.
    std::string escapes;
    for (int i = 0; i < 251; ++i) escapes += "\x1b";
    const std::string cut = host::shownText(escapes);
    std::string kept;
    for (int i = 0; i < 200; ++i) kept += "^[";
    EXPECT_EQ(cut, kept + " … (skrócono: wiersz ma 251 znaków)");
    EXPECT_EQ(host::shownText(std::string(502, 'z')),
              std::string(400, 'z') + " … (skrócono: wiersz ma 502 znaki)");
}

TEST(ShownText, a_message_quoting_a_file_shows_it_escaped_and_cut) {
    const std::size_t before = host::transcript().text().size();
    zcutPrintf("\nWarstwa \"%s\" nie istnieje.", ("A\u202E" + std::string(100000, 'B')).c_str());
    const std::string shown = host::transcript().text().substr(before);
    EXPECT_EQ(shown,
              "\nWarstwa \"A<U+202E>" + std::string(382, 'B') + " … (skrócono: wiersz ma 100026 znaków)");
    EXPECT_EQ(shown.find("\u202E"), std::string::npos);
    // A text already shown (as the DXF reader shows its messages before
    // they are printed) is printed as it was shown.
    const std::size_t again = host::transcript().text().size();
    zcutPrintf("%s", shown.c_str());
    EXPECT_EQ(host::transcript().text().substr(again), shown);
}

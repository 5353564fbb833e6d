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

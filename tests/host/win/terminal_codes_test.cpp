// A program's terminal codes left out of its log: what a render engine
// writes for a screen (colours, a progress line redrawn in place, the
// window's title) against the text it means, fed whole and byte by byte.
#include "host/win/terminal_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Filtered(const std::string& in, bool byteByByte) {
    host::TerminalCodeFilter filter;
    std::string out;
    if (!byteByByte) {
        filter.feed(in, out);
        return out;
    }
    for (const char c : in) filter.feed(std::string(1, c), out);
    return out;
}

}  // namespace

TEST(TerminalCodes, sequences_go_and_the_text_stays_however_the_output_is_cut) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\x1b[1;32mParsing\x1b[0m done\n", "Parsing done\n"},
        {"\x1b[2K\rRendered 10 of 64 lines\x1b[?25l", "\rRendered 10 of 64 lines"},
        {"\x1b]0;POV-Ray: scena.pov\x07title gone\n", "title gone\n"},
        {"\x1b]2;name\x1b\\after\n", "after\n"},
        {"\x1bPq#0;2;0;0;0\x1b\\sixel gone\n", "sixel gone\n"},
        {"\x1b(Bcharset \x1b"
         "7saved \x1b"
         "8restored\n",
         "charset saved restored\n"},
        {"Łódź \xb3\xf3"
         "dŸ\n",
         "Łódź \xb3\xf3"
         "dŸ\n"},  // the bytes of any encoding
        {"\x1b\x1b[31mred\n", "red\n"},
        {"\x1b[12\nbroken off\n", "\nbroken off\n"},
    };
    for (const auto& c : cases)
        for (const bool byteByByte : {false, true})
            EXPECT_EQ(Filtered(c.in, byteByByte), c.out) << c.in << (byteByByte ? " byte by byte" : "");
}

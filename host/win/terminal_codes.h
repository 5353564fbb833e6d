// A program's output as text for a file. Programs written for a terminal
// colour their messages, move the cursor to redraw a progress line and set
// the window's title with escape sequences; in a log those are noise
// around the text, and a log shown later in a terminal would run them.
//
// Left out: CSI sequences ("ESC [", parameters and intermediates, one final
// byte 0x40 to 0x7E), the string sequences OSC, DCS, SOS, PM and APC
// ("ESC ]", "ESC P", "ESC X", "ESC ^", "ESC _", to BEL or ST "ESC \"), and
// the short ones ("ESC" with intermediates 0x20 to 0x2F and one final byte,
// or one byte alone). Everything else is kept as it is, bytes the program
// wrote in any encoding included. A CSI broken off by a line end keeps the
// line end.
#pragma once

#include <string>
#include <string_view>

namespace host {

class TerminalCodeFilter {
public:
    // Appends what is kept of `in` to `out`; a sequence may span pieces.
    void feed(std::string_view in, std::string& out);

private:
    enum class State { Text, Escape, EscapeIntermediate, Control, String, StringEscape };
    State state_ = State::Text;
};

}  // namespace host

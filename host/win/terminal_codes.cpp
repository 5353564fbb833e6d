// A small state machine over bytes: a sequence's bytes are dropped as they
// come, so a log of any size is filtered piece by piece.
#include "host/win/terminal_codes.h"

namespace host {

void TerminalCodeFilter::feed(std::string_view in, std::string& out) {
    constexpr char kEsc = '\x1b', kBel = '\x07';
    for (const char c : in) {
        const auto b = static_cast<unsigned char>(c);
        switch (state_) {
            case State::Text:
                if (c == kEsc)
                    state_ = State::Escape;
                else
                    out += c;
                break;
            case State::Escape:
                if (c == '[')
                    state_ = State::Control;
                else if (c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_')
                    state_ = State::String;
                else if (b >= 0x20 && b <= 0x2F)
                    state_ = State::EscapeIntermediate;
                else if (c != kEsc)  // ESC ESC: the first one stood alone
                    state_ = State::Text;
                break;
            case State::EscapeIntermediate:
                if (b >= 0x30 && b <= 0x7E) state_ = State::Text;
                break;
            case State::Control:
                // Parameters and intermediates (0x20 to 0x3F) until the final
                // byte; a line end means the sequence was broken off, and the
                // line is the program's text.
                if (c == '\n') {
                    out += c;
                    state_ = State::Text;
                } else if (b >= 0x40 && b <= 0x7E) {
                    state_ = State::Text;
                }
                break;
            case State::String:
                if (c == kBel)
                    state_ = State::Text;
                else if (c == kEsc)
                    state_ = State::StringEscape;
                break;
            case State::StringEscape:
                state_ = c == '\\' ? State::Text : c == kEsc ? State::StringEscape : State::String;
                break;
        }
    }
}

}  // namespace host

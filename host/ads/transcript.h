// The command-line transcript: everything the host shows on its command line
// (prompts, answers, messages of the host and the module) in one process-wide
// text, which tests and the host program read. An optional echo copies
// everything to stdout as it is written. The host writes it; the harness
// (host/harness/harness.h) gives the script driver and the tests access.
// Module code prints with zcutPrintf (host/ads/cmdline.h).
// Control characters (but line ends and tabs) and bidirectional controls are
// shown escaped, and a line too long for a screen is cut with its length
// said (host::shownText): a text read from a file cannot steer the
// terminal nor bury the command line.
#pragma once

#include <string>
#include <string_view>

namespace host {

class Transcript {
public:
    void append(std::string_view text);
    // A message of the host or the module (zcutPrintf): remembered as the
    // last message as well.
    void message(const std::string& text);
    const std::string& text() const { return text_; }
    // The last message without its leading and trailing line ends.
    const std::string& lastMessage() const { return lastMessage_; }
    void clear();
    void setEcho(bool on) { echo_ = on; }
    bool echo() const { return echo_; }
    // What the keyboard's line editor already put on the screen (the line
    // typed, with the prompt it showed): the echo leaves it out when the
    // transcript records it, and the line end after it too, since the
    // editor ended the line.
    void shownOnScreen(std::string text);

private:
    std::string text_;
    std::string lastMessage_;
    std::string shown_;
    bool lineEnded_ = false;
    bool echo_ = false;
};

Transcript& transcript();

}  // namespace host

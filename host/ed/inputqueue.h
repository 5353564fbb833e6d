// The input queue of one document: the answers its prompts and its command
// processor read, from a script, the keyboard or a test.
//
// A pushed line is one token. Lines of the host program itself start with
// '!': "!pick x,y" (a pick in the drawing at that point), "!cancel"
// (Escape), "!break" (the user break); every other '!' line is a directive
// handed to the directive handler (dialog and message-box answers, checks)
// at the moment a reader meets it, after which reading goes on.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/ge/gebase.h"

namespace host {

struct InputToken {
    enum Kind { Text, Pick, Cancel, Break };
    Kind kind = Text;
    std::string text;   // Text: the line as typed
    ZcGePoint3d point;  // Pick: the picked point (z 0)

    static InputToken makeText(std::string t) { return {Text, std::move(t), {}}; }
    static InputToken parse(const std::string& line);
};

class InputQueue {
public:
    void pushLine(const std::string& line);
    // Splits on line ends (CR LF or LF); a trailing line end adds no token.
    void pushLines(const std::string& text);
    void pushToken(InputToken token) { tokens_.push_back(std::move(token)); }
    void pushPick(double x, double y);
    void pushCancel() { tokens_.push_back({InputToken::Cancel, {}, {}}); }
    void pushBreak() { tokens_.push_back({InputToken::Break, {}, {}}); }
    // Puts tokens in front of everything queued, in their order.
    void pushFront(const std::vector<InputToken>& tokens);

    std::optional<InputToken> pop();
    const InputToken* peek() const { return tokens_.empty() ? nullptr : &tokens_.front(); }
    bool empty() const { return tokens_.empty(); }
    size_t size() const { return tokens_.size(); }
    void clear();

    // The n-th poll of the user break from now on (1 = the next) reports a
    // break; 0 disarms.
    void breakAtPoll(int n) { breakCountdown_ = n; }
    // One poll: true when armed and due, or when the next token is a break
    // (which is then consumed).
    bool pollBreak();

private:
    std::deque<InputToken> tokens_;
    int breakCountdown_ = 0;
};

// The keyboard: asked for more input when a reader finds the queue of the
// current document empty (atCommandPrompt: no command waits for it). It
// queues what was typed (a line, or a cancel) and returns true, or returns
// false at the end of the input. Without one, an empty queue is the end of
// the input (a prompt takes it as a cancel).
using InputSource = std::function<bool(InputQueue& queue, bool atCommandPrompt)>;
void setInputSource(InputSource source);
// Asks the keyboard; false when there is none or its input has ended.
bool readMoreInput(InputQueue& queue, bool atCommandPrompt);

// Directives ('!' lines other than pick, cancel and break). The handler
// returns false for a directive it does not know; the line is then dropped
// with a message.
void setDirectiveHandler(std::function<bool(const std::string&)> handler);
// Handles the directive; false when no handler took it.
bool runDirective(const std::string& line);

}  // namespace host

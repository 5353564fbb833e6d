// Tokens are kept in a deque: scripts push at the back, queued command
// strings at the front.
#include "host/ed/inputqueue.h"

#include "host/ads/adstext.h"
#include "host/ads/transcript.h"
#include "host/win/textfile.h"

namespace host {

namespace {
std::function<bool(const std::string&)>& directiveHandler() {
    static std::function<bool(const std::string&)> h;
    return h;
}
}  // namespace

InputToken InputToken::parse(const std::string& line) {
    if (line.empty() || line[0] != '!') return makeText(line);
    std::string t = ads_text::trim(line);
    std::string word = t.substr(0, t.find(' '));
    if (word == "!cancel") return {Cancel, {}, {}};
    if (word == "!break") return {Break, {}, {}};
    if (word == "!pick" && t.size() > 5) {
        std::string args = ads_text::trim(t.substr(5));
        size_t comma = args.find(',');
        if (comma != std::string::npos) {
            auto x = ads_text::parseReal(args.substr(0, comma));
            auto y = ads_text::parseReal(args.substr(comma + 1));
            if (x && y) return {Pick, {}, ZcGePoint3d(*x, *y, 0)};
        }
    }
    return makeText(line);
}

void InputQueue::pushLine(const std::string& line) {
    // What is typed enters the drawing as valid UTF-8 whatever the bytes.
    std::string l = host::repairUtf8(line);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty() && l[0] == '!')
        tokens_.push_back(InputToken::parse(l));
    else
        tokens_.push_back(InputToken::makeText(std::move(l)));
}

void InputQueue::pushLines(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            pushLine(text.substr(start));
            break;
        }
        pushLine(text.substr(start, nl - start));
        start = nl + 1;
    }
}

void InputQueue::pushPick(double x, double y) {
    tokens_.push_back({InputToken::Pick, {}, ZcGePoint3d(x, y, 0)});
}

void InputQueue::pushFront(const std::vector<InputToken>& tokens) {
    tokens_.insert(tokens_.begin(), tokens.begin(), tokens.end());
}

std::optional<InputToken> InputQueue::pop() {
    if (tokens_.empty()) return std::nullopt;
    InputToken t = std::move(tokens_.front());
    tokens_.pop_front();
    return t;
}

void InputQueue::clear() {
    tokens_.clear();
    breakCountdown_ = 0;
}

bool InputQueue::pollBreak() {
    if (breakCountdown_ > 0 && --breakCountdown_ == 0) return true;
    if (!tokens_.empty() && tokens_.front().kind == InputToken::Break) {
        tokens_.pop_front();
        return true;
    }
    return false;
}

void setDirectiveHandler(std::function<bool(const std::string&)> handler) {
    directiveHandler() = std::move(handler);
}

bool runDirective(const std::string& line) {
    if (directiveHandler() && directiveHandler()(line)) return true;
    transcript().message("\nNieznana dyrektywa: " + line);
    return false;
}

}  // namespace host

namespace host {

namespace {

InputSource& inputSource() {
    static InputSource source;
    return source;
}

}  // namespace

void setInputSource(InputSource source) {
    inputSource() = std::move(source);
}

bool readMoreInput(InputQueue& queue, bool atCommandPrompt) {
    return inputSource() && inputSource()(queue, atCommandPrompt);
}

}  // namespace host

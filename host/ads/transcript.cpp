// The transcript only grows; a long script's transcript is a few megabytes
// at most, and tests clear it between cases.
#include "host/ads/transcript.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "host/ads/cmdline.h"
#include "host/util/adscodes.h"
#include "host/win/textutil.h"

int zcutPrintf(const char* format, ...) {
    if (!format) return RTERROR;
    va_list ap;
    va_start(ap, format);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(nullptr, 0, format, ap);
    va_end(ap);
    std::string text;
    if (n > 0) {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), format, ap2);
        text.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(ap2);
    host::transcript().message(text);
    return RTNORM;
}

namespace host {

void Transcript::append(std::string_view raw) {
    // Every prompt and message passes here, and many carry a text read from
    // a file (a drawing's value, a support file's line): none may steer
    // the terminal, so control characters are shown, not sent.
    const std::string shown = shownText(raw);
    std::string_view text = shown;
    text_ += text;
    // The echo goes through stdio's buffer: a script's thousands of
    // prompts cost a few writes, not one each. A terminal still sees every
    // line as it ends, and whoever waits for keyboard input flushes first.
    if (!echo_) return;
    if (!shown_.empty()) {
        // Matched piece by piece: a prompt and its answer arrive separately.
        size_t same = 0;
        while (same < text.size() && same < shown_.size() && text[same] == shown_[same]) ++same;
        if (same == text.size() || same == shown_.size()) {
            shown_.erase(0, same);
            text.remove_prefix(same);
        } else {
            shown_.clear();
        }
    }
    if (text.empty()) return;
    if (lineEnded_ && shown_.empty()) {
        lineEnded_ = false;
        if (text.front() == '\n') text.remove_prefix(1);
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void Transcript::shownOnScreen(std::string text) {
    shown_ = shownText(text);
    lineEnded_ = true;
}

void Transcript::message(const std::string& raw) {
    const std::string text = shownText(raw);
    append(text);
    size_t b = text.find_first_not_of("\r\n");
    size_t e = text.find_last_not_of("\r\n");
    std::string trimmed = b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
    if (!trimmed.empty()) lastMessage_ = trimmed;
}

void Transcript::clear() {
    text_.clear();
    lastMessage_.clear();
    shown_.clear();
    lineEnded_ = false;
}

Transcript& transcript() {
    static Transcript t;
    return t;
}

}  // namespace host

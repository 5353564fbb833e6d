// A number shown in an edit keeps its exact value for as long as the edit
// shows the text it was given: a value the user did not touch is stored as
// it was, never as its rounded text (2.8499999999999996 shown as "2.85"
// must not come back as 2.85, nor 2.75 as 3 with no decimals shown).
#pragma once

#include <optional>
#include <string>

#include "core/base/typed_number.h"
#include "host/ui/wnd.h"
#include "host/win/textutil.h"

class ExactNumber {
public:
    // The value as a text with at most `decimals` decimals, trailing zeros
    // and a trailing point dropped.
    static std::string Text(double value, int decimals) {
        std::string t = host::formatFixed(value, decimals);
        if (t.find('.') != std::string::npos) {
            while (!t.empty() && t.back() == '0') t.pop_back();
            if (!t.empty() && t.back() == '.') t.pop_back();
        }
        if (t == "-0") t.erase(0, 1);  // no negative zero
        return t;
    }

    void Show(CWnd& edit, double value, int decimals = 10) {
        value_ = value;
        shown_ = Text(value, decimals);
        edit.SetWindowText(shown_);
    }
    // The exact value while the text is unchanged, else the text read
    // whole; nullopt when it is no number.
    std::optional<double> Read(const CWnd& edit) const {
        const std::string text = edit.GetWindowText();
        if (text == shown_) return value_;
        return TypedNumber(text);
    }
    bool Edited(const CWnd& edit) const { return edit.GetWindowText() != shown_; }
    // The edit shows again the text it was given (a typed value refused).
    void Restore(CWnd& edit) const { edit.SetWindowText(shown_); }

private:
    double value_ = 0.0;
    std::string shown_;
};

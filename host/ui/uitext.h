// Text helpers of the dialog library: UTF-8 code points, the case folding
// that list searches and sorted lists use (the platform's one mapping:
// ASCII, Latin-1 and Latin Extended-A), and the order in which sorted lists
// keep their rows (Polish and Italian letters with diacritics right after
// their base letter, as a Polish user expects).
// Limits: other scripts compare by code point.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zcui {

// Number of code points; a malformed byte counts as one.
int CodePointCount(std::string_view text);
// Lower / upper case of the Latin letters; other bytes unchanged.
std::string FoldLower(std::string_view text);
std::string FoldUpper(std::string_view text);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// <0, 0, >0: the order of a sorted list box or combo box, case ignored.
int CollateCompare(std::string_view a, std::string_view b);
// A word or a "quoted text" (backslash escapes \n, \t, and \" or \\) of a
// line of the dialog scripts and the resource text.
struct LineToken {
    bool quoted = false;
    std::string text;
};
struct LineTokenRules {
    bool hashComments = false;  // a '#' where a token would start ends the line
    bool escapeReturn = false;  // "\r" stands for a carriage return
    const char* unclosed = "";  // the error when a quoted text is not closed
};
// Splits `line` at blanks into `out`; false with `error` set when a quoted
// text is not closed.
bool TokeniseLine(std::string_view line, std::vector<LineToken>& out, std::string& error,
                  const LineTokenRules& rules);

// Text with printf-style "%d", "%s", "%g" … formatted.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zcui

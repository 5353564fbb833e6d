// The host's wildcard match, as used by name filters and selection filters.
//
// Grammar (case-sensitive, on code points of UTF-8 text):
//   #  one digit            @  one letter           .  one character that is
//   *  any run, also empty  ?  any one character       neither letter nor digit
//   [abc] [a-c]  one of     [~abc]  none of          `x  x itself
//   ,  separates alternatives: the text matches when one alternative does
//   ~  at the start of an alternative: it matches what the rest does not
// An unclosed '[' matches a literal '['.
#pragma once

// RTNORM when text matches pattern, RTERROR when it does not or either is null.
int zcutWcMatch(const char* text, const char* pattern);

#include <memory>
#include <string_view>

namespace host {
bool wcMatch(const char* text, const char* pattern);

// Whether the pattern is ASCII without a character the grammar above gives
// a meaning, nor a backslash: it matches exactly the text equal to it.
bool isLiteralWcPattern(std::string_view pattern);

// A pattern compiled once, for matching it against many texts (a selection
// filter against every entity). With upperText the text is upper-cased
// before matching, as the filters compare; ASCII texts are matched byte by
// byte without decoding or copying.
class WcPattern {
public:
    explicit WcPattern(std::string_view pattern);
    bool matches(std::string_view text, bool upperText = false) const;

private:
    struct Compiled;
    std::shared_ptr<const Compiled> m_compiled;
};
}  // namespace host

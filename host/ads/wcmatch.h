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

namespace host {
bool wcMatch(const char* text, const char* pattern);
}

// Text helpers of the classic interface: UTF-8 code points, upper case for
// ASCII, Polish and Italian letters, and locale-free number formatting and
// parsing. Kept small and private to the interface's own matching (keywords,
// wildcards, command names); the module's text files have their own reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host::ads_text {

// Code points of a UTF-8 text; a malformed byte stands for itself. The case
// helpers forward to host/win/textutil.h (bytes that are not UTF-8 keep
// their value there).
std::u32string decode(std::string_view s);
std::string encode(std::u32string_view s);

char32_t upper(char32_t c);
std::string upper(std::string_view s);

bool isDigit(char32_t c);
// Letters: ASCII ones and every non-ASCII letter of the Latin scripts.
bool isLetter(char32_t c);
bool isUpperLetter(char32_t c);

// Parses a whole text (blanks around allowed) as a number with '.'.
std::optional<double> parseReal(std::string_view s);
std::optional<long long> parseInteger(std::string_view s);

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A real with a fixed number of decimals, '.' whatever the locale.
std::string fixed(double v, int decimals);

std::string trim(std::string_view s);

}  // namespace host::ads_text

// Locale-free text helpers shared by the host and the module: numbers are
// written and read with a '.' whatever the process locale (std::to_chars /
// std::from_chars), and letters are compared without regard to case for
// UTF-8 text, covering ASCII, Latin-1 and Latin Extended-A (so the Polish
// ąćęłńóśźż and the Italian àèéìòù fold with their capitals). Limits: no
// special casing (ß stays ß, the dotted/dotless i keep their own case), and
// bytes that are not valid UTF-8 are compared as they are.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// As printf "%.*g" in the C locale; precision 0 counts as 1.
std::string formatNumber(double value, int precision = 6);
// As printf "%.*f" in the C locale.
std::string formatFixed(double value, int decimals);

// A whole text as a number: blanks around it are allowed, nothing else.
std::optional<double> parseDouble(std::string_view text);
std::optional<long long> parseInteger(std::string_view text);
// The number at the start of a text, as scanf "%lf" / "%d" read it: leading
// blanks skipped, an optional sign, then as many characters as form a
// number; `used` receives the count of characters consumed.
std::optional<double> parseDoublePrefix(std::string_view text, std::size_t* used = nullptr);
std::optional<long long> parseIntegerPrefix(std::string_view text, std::size_t* used = nullptr);

// printf-style formatting of `args` into a string (the callers' own
// variadic wrappers forward here).
std::string vformat(const char* fmt, std::va_list args);

std::string toUpper(std::string_view utf8);
std::string toLower(std::string_view utf8);
bool iequals(std::string_view a, std::string_view b);
// <0, 0, >0 as a sorts before, with or after b, comparing capital forms
// code point by code point.
int icompare(std::string_view a, std::string_view b);

// UTF-8 code points. decodeUtf8 reads one at `pos` and advances it; an
// invalid byte is returned as itself (0x80-0xFF) and counted as one.
char32_t decodeUtf8(std::string_view text, std::size_t& pos, bool* valid = nullptr);
void appendUtf8(std::string& out, char32_t cp);
bool isValidUtf8(std::string_view text);
// Text as a message shows it: a text read from a file may hold control
// characters that a terminal would take for commands (an escape sequence
// that moves the cursor, clears the screen or retitles the window), so
// each is shown as the caret escape the DXF writer writes ("^[" for ESC),
// DEL as "^?" and a C1 control (U+0080 to U+009F, or such a byte standing
// alone) as "M-" and the escape of its low bits. A bidirectional control
// (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), which would
// have the terminal show the text in another order, is shown as its code
// ("<U+202E>"). A line whose shown form is longer than 500 characters
// (a whole file's worth of text on one line) is shown by its
// first 400, with a note of how long it is. Line ends and tabs
// stay. Shown text shown again is unchanged.
std::string shownText(std::string_view text);

char32_t upperCodePoint(char32_t cp);
char32_t lowerCodePoint(char32_t cp);

}  // namespace host

// What the DXF reader does to a file's bytes before splitting them into
// groups: binary DXF turned into its text form, 8-bit code pages of the
// formats before 2007 turned into UTF-8, and the escapes of text values
// (\U+XXXX, caret control characters) decoded. Internal to the reader and
// its tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host::dxf {

// Binary DXF starts with this sentinel (22 bytes, a NUL included).
bool isBinaryDxf(std::string_view bytes);
// The text form of a binary DXF file; nullopt with `error` set when the
// data ends inside a group. Numbers are written so that they read back
// exactly.
std::optional<std::string> binaryDxfToText(std::string_view bytes, std::string& error);

// The value of a header variable's first group ("$ACADVER", "$DWGCODEPAGE")
// from the first part of a text file; empty when absent.
std::string headerValue(std::string_view text, std::string_view name);
// The Windows code page a "$DWGCODEPAGE" names ("ANSI_1252" → 1252), 0 when unknown.
int codePageNumber(std::string_view name);
// Bytes of a Windows code page as UTF-8; false when the page is not tabled.
bool decodeCodePage(std::string_view bytes, int codePage, std::string& out);

// Whether the bytes are ASCII only; whether they are valid UTF-8. Both run
// a word at a time over ASCII, which is nearly all of a drawing.
bool isAscii(std::string_view bytes);
bool isUtf8(std::string_view bytes);

// A text value with "\U+XXXX" escapes and "^X" control characters decoded;
// `s` unchanged (and false) when it has neither.
bool decodeTextEscapes(std::string& s);

}  // namespace host::dxf

// Fields of the text extracts a spreadsheet opens (room records, opening
// marks): a value goes into its record as a CSV reader expects it, quoted
// when it holds the file's separator, a double quote or a line end, with
// each double quote doubled. The separator is the file's own: the first
// separator character that the template puts between its placeholders.
#pragma once

#include <string>
#include <string_view>

// The separator of a template whose literal characters (the placeholders
// left out) are `literals`: the first ';', ',', tab or '|' among them, and
// ';' for a template that has none.
char CsvSeparator(std::string_view literals);

// `value` appended to `out` as one field separated by `separator`.
void AppendCsvField(std::string& out, std::string_view value, char separator);
// A text (a name, a description) appended as AppendCsvField does; one that
// begins as a spreadsheet formula does ("=", "+", "-", "@", a tab or a
// carriage return) gets an apostrophe in front, so that a spreadsheet
// shows it as text rather than work it out. Numbers go through
// AppendCsvField: a negative one stays a number.
void AppendCsvText(std::string& out, std::string_view text, char separator);

// CSV fields of the extracts: see csv_field.h.
#include "rooms/csv_field.h"

char CsvSeparator(std::string_view literals) {
    const std::size_t at = literals.find_first_of(";,\t|");
    return at == std::string_view::npos ? ';' : literals[at];
}

void AppendCsvField(std::string& out, std::string_view value, char separator) {
    const char special[] = {separator, '"', '\n', '\r'};
    if (value.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos) {
        out += value;
        return;
    }
    out += '"';
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvText(std::string& out, std::string_view text, char separator) {
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        std::string guarded = "'";
        guarded += text;
        AppendCsvField(out, guarded, separator);
        return;
    }
    AppendCsvField(out, text, separator);
}

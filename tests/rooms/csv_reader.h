// An extract read back as a spreadsheet would read it: through Python's
// csv module with the file's separator. The rows that hold anything, each
// with its fields as read; nullopt when there is no Python to read it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

inline std::optional<std::vector<std::vector<std::string>>> ReadCsvRows(const std::string& path,
                                                                        char separator) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) return std::nullopt;
    // Fields come back as hexadecimal bytes, one row a line, so that what
    // was read arrives whatever it holds.
    const std::string script = path + ".read.py";
    std::ofstream(script) << "import csv, sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    for row in csv.reader(f, delimiter=sys.argv[2]):\n"
                             "        if row:\n"
                             "            print(' '.join('x' + v.encode().hex() for v in row))\n";
    const std::string command =
        "python3 '" + script + "' '" + path + "' '" + std::string(1, separator) + "' </dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    std::remove(script.c_str());
    if (::pclose(pipe) != 0) return std::vector<std::vector<std::string>>{{"(not read)", out}};
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    const auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == 'x') {
            row.emplace_back();
        } else if (out[i] == '\n') {
            rows.push_back(std::move(row));
            row.clear();
        } else if (out[i] != ' ' && i + 1 < out.size() && !row.empty()) {
            row.back() += static_cast<char>(digit(out[i]) * 16 + digit(out[i + 1]));
            ++i;
        }
    }
    return rows;
}

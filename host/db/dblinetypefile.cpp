// Linetype definitions read from a linetype file into a drawing.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

// No dash or gap of a drawing is longer: a length past it is a slip in the
// file, and a pattern of it would draw one endless dash.
constexpr double kDashLimit = 1e10;

std::string Trim(std::string_view s) {
    const std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) return {};
    const std::size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string> SplitCommas(std::string_view s) {
    std::vector<std::string> out;
    for (std::size_t start = 0;;) {
        const std::size_t comma = s.find(',', start);
        out.push_back(
            Trim(s.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos) return out;
        start = comma + 1;
    }
}

}  // namespace

Zcad::ErrorStatus ZcDbDatabase::loadLineTypeFile(const std::string& ltName, const std::string& fileName,
                                                 std::string* error) {
    if (!recordId(linetypeTableId(), ltName).isNull()) return Zcad::eOk;
    char found[1024];
    const std::string path = zcedFindFile(fileName.c_str(), found) == RTNORM ? std::string(found) : fileName;
    const auto fail = [&](Zcad::ErrorStatus es, std::size_t line, const std::string& what) {
        if (error) *error = line ? path + ":" + std::to_string(line) + ": " + what : path + ": " + what;
        return es;
    };
    std::string bytes;
    if (!host::readWholeFile(path, bytes)) return fail(Zcad::eInvalidInput, 0, "Pliku nie znaleziono");
    if (!host::isTextBytes(bytes)) return fail(Zcad::eInvalidInput, 1, "plik nie jest plikiem tekstowym");
    const host::TextFile file = host::decodeText(bytes);
    if (file.lines.empty()) return fail(Zcad::eInvalidInput, 1, "plik jest pusty");
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const std::string& line = file.lines[i];
        if (line.empty() || line[0] != '*') continue;
        const std::size_t comma = line.find(',');
        const std::string name = Trim(
            std::string_view(line).substr(1, comma == std::string::npos ? std::string::npos : comma - 1));
        if (!host::iequals(name, ltName)) continue;
        // The pattern line under the name: "A," and numbers; a shape or text
        // in brackets is passed over. Anything else would draw another
        // pattern than the file's.
        const std::string what = "wiersz wzoru typu linii " + name + " nie ma postaci A,kreska,przerwa[,…]";
        if (i + 1 >= file.lines.size() || file.lines[i + 1].starts_with("*"))
            return fail(Zcad::eInvalidInput, i + 1, "brak wiersza wzoru typu linii " + name);
        const std::vector<std::string> parts = SplitCommas(file.lines[i + 1]);
        if (parts.size() < 2 || !host::iequals(parts[0], "A")) return fail(Zcad::eInvalidInput, i + 2, what);
        std::vector<double> dashes;
        int bracket = 0;
        for (std::size_t k = 1; k < parts.size(); ++k) {  // parts[0] is the alignment "A"
            if (bracket == 0 && !parts[k].empty() && parts[k][0] == '[') bracket = 1;
            if (bracket) {
                if (!parts[k].empty() && parts[k].back() == ']') bracket = 0;
                continue;
            }
            const std::optional<double> v = host::parseDouble(parts[k]);
            if (!v || !std::isfinite(*v)) return fail(Zcad::eInvalidInput, i + 2, what);
            if (std::fabs(*v) > kDashLimit)
                return fail(Zcad::eInvalidInput, i + 2,
                            "długość kreski typu linii " + name + " poza zakresem: " + parts[k]);
            dashes.push_back(*v);
        }
        ZcDbLinetypeTable* table = nullptr;
        if (Zcad::ErrorStatus es = getLinetypeTable(table, ZcDb::kForWrite); es != Zcad::eOk)
            return fail(es, 0, "nie można otworzyć tabeli typów linii");
        auto* rec = new ZcDbLinetypeTableRecord;
        rec->setName(name);
        rec->setComments(comma == std::string::npos ? std::string() : line.substr(comma + 1));
        rec->setDashes(std::move(dashes));
        const Zcad::ErrorStatus es = table->add(rec);
        if (es == Zcad::eOk)
            rec->close();
        else
            delete rec;
        table->close();
        return es == Zcad::eOk ? es : fail(es, i + 1, "nie można dodać typu linii " + name);
    }
    return fail(Zcad::eKeyNotFound, 0, "brak typu linii " + ltName);
}

// Linetype definitions read from a linetype file into a drawing.
#include <optional>
#include <string>
#include <vector>

#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "host/util/findfile.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

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

Zcad::ErrorStatus ZcDbDatabase::loadLineTypeFile(const std::string& ltName, const std::string& fileName) {
    if (!recordId(linetypeTableId(), ltName).isNull()) return Zcad::eOk;
    char found[1024];
    const std::string path = zcedFindFile(fileName.c_str(), found) == RTNORM ? std::string(found) : fileName;
    const std::optional<host::TextFile> file = host::readTextFile(path);
    if (!file) return Zcad::eInvalidInput;
    for (std::size_t i = 0; i < file->lines.size(); ++i) {
        const std::string& line = file->lines[i];
        if (line.empty() || line[0] != '*') continue;
        const std::size_t comma = line.find(',');
        const std::string name = Trim(
            std::string_view(line).substr(1, comma == std::string::npos ? std::string::npos : comma - 1));
        if (!host::iequals(name, ltName)) continue;
        std::vector<double> dashes;
        if (i + 1 < file->lines.size()) {
            const std::vector<std::string> parts = SplitCommas(file->lines[i + 1]);
            for (std::size_t k = 1; k < parts.size(); ++k)  // parts[0] is the alignment "A"
                if (std::optional<double> v = host::parseDouble(parts[k])) dashes.push_back(*v);
        }
        ZcDbLinetypeTable* table = nullptr;
        if (Zcad::ErrorStatus es = getLinetypeTable(table, ZcDb::kForWrite); es != Zcad::eOk) return es;
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
        return es;
    }
    return Zcad::eKeyNotFound;
}

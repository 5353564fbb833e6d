// libFuzzer target of the linetype files ("ACADISO.LIN" and the host's
// own): any bytes load the linetype a definition names, or refuse it with
// the file and, for a damaged definition, its line; never a fault, and no
// pattern taken with a dash past what a drawing holds. Seeded
// with the shipped linetype files.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobject.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput(32);
    const std::string_view text = fuzz::AsText(data, size);
    fuzz::WriteSupportFile("T.LIN", text);
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) __builtin_trap();
    // The names of the first definitions, and one no file defines.
    std::vector<std::string> names{"BRAKUJĄCY"};
    for (std::size_t at = text.find('*'); at != std::string_view::npos && names.size() < 6;
         at = text.find('*', at + 1)) {
        const std::size_t end = text.find_first_of(",\r\n", at);
        names.emplace_back(
            text.substr(at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1));
    }
    for (const std::string& name : names) {
        if (name.empty()) continue;
        std::string error;
        const Zcad::ErrorStatus es = db->loadLineTypeFile(name, "T.LIN", &error);
        // A refusal always says which file, and why.
        if (es != Zcad::eOk && error.find("T.LIN") == std::string::npos) __builtin_trap();
        // A pattern taken has no dash a drawing cannot hold.
        if (es == Zcad::eOk) {
            const ZcDbObjectId id = db->recordId(db->linetypeTableId(), name);
            if (ZcDbObjectPointer<ZcDbLinetypeTableRecord> record(id, ZcDb::kForRead);
                record.openStatus() == Zcad::eOk)
                for (const double dash : record->dashes())
                    if (!(std::fabs(dash) <= 1e10)) __builtin_trap();
        }
    }
    return 0;
}

// Writes the sample drawing as a DXF file, for the independent-reader check
// and the fuzz seeds: dxf_sample OUT.dxf [--reload] (--reload: write what
// loading the sample back gives, so the reader's result is checked too).
#include <cstdio>
#include <cstring>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "tests/support/dxf_sample.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dxf_sample OUT.dxf [--reload]\n");
        return 2;
    }
    ZcDbDatabase db;
    buildSampleDrawing(&db);
    std::string error;
    if (argc > 2 && std::strcmp(argv[2], "--reload") == 0) {
        host::DxfLoadResult r = host::readDxfText(host::writeDxfText(&db));
        if (!r.db) {
            std::fprintf(stderr, "%s\n", r.error.c_str());
            return 1;
        }
        if (!host::saveDxf(r.db.get(), argv[1], r.vars.get(), &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (!host::saveDxf(&db, argv[1], nullptr, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}

// Writes the elevation mark block file "VELM--AQ.dxf" of the support folder:
// velm_aq OUT.dxf. The drawing's model space is the block: a triangle whose
// apex stands on the insertion point, a short level line, and the one
// attribute "RZEDNA" that receives the level when the mark is inserted.
// Sizes are for a mark of unit scale; the insert scales it by the drawing's
// print-scale factor (4 at 1:50 in centimetres), so the level's text of
// 3.125 prints 2.5 mm high, as the dimension chains' text does.
#include <cstdio>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"

namespace {

void Append(ZcDbDatabase& db, ZcDbEntity* ent) {
    ZcDbBlockTableRecord* ms = nullptr;
    if (zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite) != Zcad::eOk) {
        delete ent;
        return;
    }
    if (ms->appendZcDbEntity(ent) == Zcad::eOk)
        ent->close();
    else
        delete ent;
    ms->close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velm_aq OUT.dxf\n");
        return 2;
    }
    ZcDbDatabase db;
    const ZcGePoint3d apex(0, 0, 0), left(-1.5, 2.5, 0), right(1.5, 2.5, 0);
    Append(db, new ZcDbLine(apex, left));
    Append(db, new ZcDbLine(left, right));
    Append(db, new ZcDbLine(right, apex));
    Append(db, new ZcDbLine({-3.0, 0, 0}, {3.0, 0, 0}));
    auto* def = new ZcDbAttributeDefinition;
    def->setTag("RZEDNA");
    def->setPrompt("Rzędna");
    def->setTextString("0.00");
    def->setPosition({2.0, 3.0, 0});
    def->setHeight(3.125);
    Append(db, def);
    std::string error;
    if (!host::saveDxf(&db, argv[1], nullptr, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}

// A loadable module with one command that asks for a point and draws a
// line from the origin to it, for the host program's tests: a script that
// stops before the answer ends inside the command.
#include "host/db/dbmain.h"
#include "host/ed/cmdstack.h"
#include "host/ed/prompts.h"
#include "host/rx/rxdynlinker.h"
#include "host/util/adscodes.h"

namespace {

void askPoint() {
    ads_point p;
    if (zcedGetPoint(nullptr, "\nPunkt: ", p) != RTNORM) return;
    ZcDbBlockTableRecord* ms = nullptr;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForWrite) != Zcad::eOk) return;
    auto* line = new ZcDbLine({0, 0, 0}, {p[0], p[1], p[2]});
    if (ms->appendZcDbEntity(line) == Zcad::eOk)
        line->close();
    else
        delete line;
    ms->close();
}

}  // namespace

extern "C" int zcrxEntryPoint(int msg, void* appId) {
    if (msg == kInitAppMsg) {
        zcrxDynamicLinker->unlockApplication(appId);
        zcedRegCmds()->addCommand("PROMPTING", "ASKPOINT", "ASKPOINT", ZCRX_CMD_MODAL, askPoint);
    } else if (msg == kUnloadAppMsg) {
        zcedRegCmds()->removeGroup("PROMPTING");
    }
    return ZcRx::kRetOK;
}

// The floor services table and what the host fills in directly.
#include "settings/floors_services.h"

#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ui/driver.h"
#include "host/ui/hostdialogs.h"
#include "settings/floor_cmds_run.h"

namespace {

FloorServices& Installed() {
    static FloorServices services = DefaultFloorServices();
    return services;
}

}  // namespace

FloorServices DefaultFloorServices() {
    FloorServices s;
    s.database = [] { return zcdbHostApplicationServices()->workingDatabase(); };
    s.tilemode = [] { return static_cast<int>(host::sysVarShort("TILEMODE")); };
    s.cvport = [] { return static_cast<int>(host::sysVarShort("CVPORT")); };
    s.viewDirection = [] {
        const ZcGePoint3d p = host::sysVarPoint("VIEWDIR");
        return ZcGeVector3d(p.x, p.y, p.z);
    };
    s.queueCommand = [](const std::string& text) {
        if (ZcApDocument* doc = curDoc())
            host::queueCommandString(*doc, text);
    };
    s.makeLayer = MakePlainLayer;
    s.messageBox = [](const std::string& text) { AfxMessageBox(text, MB_OK); };
    s.alert = [](const std::string& text) { zcedAlert(text.c_str()); };
    s.pickCurrentFloor = CmdCurrentFloor;
    s.pickFloorOff = CmdFloorOff;
    return s;
}

void SetFloorServices(FloorServices services) { Installed() = std::move(services); }
const FloorServices& GetFloorServices() { return Installed(); }

// The floor services table and what the host fills in directly.
#include "settings/floors_services.h"

#include "host/ads/adsent.h"
#include "host/ads/adspick.h"
#include "host/ads/findfile.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/viewport.h"
#include "host/ui/driver.h"
#include "host/ui/hostdialogs.h"
#include "host/win/textfile.h"
#include "settings/dialogs/dlg_traslap.h"
#include "settings/floor_cmds_run.h"
#include "settings/store/settings_store.h"
#include "settings/store/setup_slots.h"

namespace {

FloorServices& Installed() {
    static FloorServices services = DefaultFloorServices();
    return services;
}

double SettingsReal(int slot) {
    double value = 0.0;
    GetVarReal(&slot, &value);
    return value;
}

int SettingsInt(int slot) {
    int value = 0;
    GetVarInt(&slot, &value);
    return value;
}

void SetSettingsInt(int slot, int value) {
    const short v = static_cast<short>(value);
    SetVarInt(&slot, &v);
}

// The members of a selection; none when it was cancelled, empty when it
// found nothing.
std::optional<std::vector<ZcDbObjectId>> Selection(int status, const ads_name ss) {
    if (status == RTCAN)
        return std::nullopt;
    if (status != RTNORM)
        return std::vector<ZcDbObjectId>{};
    std::vector<ZcDbObjectId> ids = host::selectionMembers(ss);
    zcedSSFree(ss);
    return ids;
}

// Runs host commands with command echo off, putting CMDECHO back after.
void RunQuiet(const std::vector<std::string>& answers) {
    const short echo = host::sysVarShort("CMDECHO");
    host::setSysVar("CMDECHO", short{0});
    std::vector<resbuf> nodes(answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        nodes[i].restype = RTSTR;
        nodes[i].resval.rstring = const_cast<char*>(answers[i].c_str());
        nodes[i].rbnext = i + 1 < answers.size() ? &nodes[i + 1] : nullptr;
    }
    if (!nodes.empty())
        zcedCmd(&nodes[0]);
    host::setSysVar("CMDECHO", echo);
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
    s.currentViewport = [] { return zcedGetCurViewportObjectId(); };
    s.queueCommand = [](const std::string& text) {
        if (ZcApDocument* doc = curDoc())
            host::queueCommandString(*doc, text);
    };
    s.currentFloor = [] { return SettingsReal(SetupVar::SQPAV); };
    s.setCurrentFloor = [](double z) {
        const int slot = SetupVar::SQPAV;
        SetVarReal(&slot, &z);
    };
    s.unitFactor = [] {
        double unit = 1.0;
        const int slot = SetupVar::SFTMTCM;
        return GetVarReal(&slot, &unit) ? unit : 1.0;
    };
    s.viewMode = [] { return SettingsInt(SetupVar::VXDSTATE); };
    s.setViewMode = [](int mode) { SetSettingsInt(SetupVar::VXDSTATE, mode); };
    s.levelsOff = [] { return SettingsInt(SetupVar::VELMLAYERQP) != 0; };
    s.setModVista = [] { return SettingsInt(SetupVar::SETMODVISTA); };
    s.tilemodeBefore = [] { return SettingsInt(SetupVar::APPOGGIOCOM); };
    s.editFloors = [](const std::function<void(VELM_PIANI&)>& edit) {
        if (VELM_PIANI* floors = OpenPianiObject(false)) {
            edit(*floors);
            floors->close();
        }
    };
    s.readSupportFile = [](const std::string& name) -> std::optional<std::vector<std::string>> {
        char path[1024] = {};
        if (zcedFindFile(name.c_str(), path) != RTNORM)
            return std::nullopt;
        std::optional<host::TextFile> file = host::readTextFile(path);
        if (!file)
            return std::nullopt;
        return std::move(file->lines);
    };
    s.selectObjects = [] {
        ads_name ss = {0, 0};
        const int status = zcedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
        return Selection(status, ss);
    };
    s.selectViewports = [](const std::string& add, const std::string& remove) {
        const char* prompts[2] = {add.c_str(), remove.c_str()};
        ads_name ss = {0, 0};
        const int status = zcedSSGet(":$", prompts, nullptr, nullptr, ss);
        return Selection(status, ss);
    };
    s.pickEntity = [](const std::string& prompt, ZcDbObjectId& id) {
        ads_name name = {0, 0};
        ads_point pt = {0, 0, 0};
        const int status = zcedEntSel(prompt.c_str(), name, pt);
        if (status == RTNORM)
            return zcdbGetObjectId(id, name) == Zcad::eOk ? static_cast<int>(RTNORM) : static_cast<int>(RTERROR);
        if (status == RTERROR)
            return host::sysVarShort("ERRNO") == OL_ENTSELPICK ? static_cast<int>(RTERROR) : static_cast<int>(RTNONE);
        return status;
    };
    s.runCommand = RunQuiet;
    // The set becomes the previous selection, which the host command takes.
    s.commandOnSelection = [](const std::string& command, const std::vector<ZcDbObjectId>& ids) {
        host::setPreviousSelection(ids);
        if (command != "_SELECT")
            RunQuiet({command, "_P", ""});
    };
    s.chooseFloorText = ChooseFloorTextDialog;
    s.makeLayer = MakePlainLayer;
    s.messageBox = [](const std::string& text) { AfxMessageBox(text, MB_OK); };
    s.alert = [](const std::string& text) { zcedAlert(text.c_str()); };
    s.pickCurrentFloor = CmdCurrentFloor;
    s.pickFloorOff = CmdFloorOff;
    return s;
}

void SetFloorServices(FloorServices services) { Installed() = std::move(services); }
const FloorServices& GetFloorServices() { return Installed(); }

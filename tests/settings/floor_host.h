// What the floor tests read back from the headless host: the host commands
// that ran (an editor reactor hears them), the floor list and the settings
// of the working drawing, and picks and selections fed as a user gives them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/ads/editor.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/util/findfile.h"
#include "settings/floors.h"
#include "settings/settings_module.h"
#include "settings/viewmode.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

class CommandsHeard : public ZcEditorReactor {
public:
    CommandsHeard() { zcedEditor->addReactor(this); }
    ~CommandsHeard() override { zcedEditor->removeReactor(this); }
    CommandsHeard(const CommandsHeard&) = delete;
    CommandsHeard& operator=(const CommandsHeard&) = delete;
    void commandWillStart(const char* name) override { names.push_back(name ? name : ""); }
    std::vector<std::string> names;
};

// The floor list as stored in the working drawing (empty when none).
inline VELM_PIANI StoredFloors() {
    VELM_PIANI copy;
    copy.Reset();
    if (VELM_PIANI* floors = OpenPianiObject(true)) {
        copy.piani = floors->piani;
        floors->close();
    }
    return copy;
}

inline double StoredCurrentFloor() {
    return SettingReal(SetupVar::SQPAV);
}

// The next selection prompt takes these entities (as the previous set).
inline void AnswerSelection(const std::vector<ZcDbObjectId>& ids) {
    host::setPreviousSelection(ids);
    curDoc()->inputQueue().pushLine("P");
    curDoc()->inputQueue().pushLine("");
}

// The members of the previous selection.
inline std::vector<ZcDbObjectId> PreviousSelection() {
    ads_name ss = {0, 0};
    if (zcedSSGet("P", nullptr, nullptr, nullptr, ss) != RTNORM) return {};
    std::vector<ZcDbObjectId> ids = host::selectionMembers(ss);
    zcedSSFree(ss);
    return ids;
}

// The state a floor test sets up and reads back, held in plain members and
// put into the host before each step (`push`), taken back after (`pull`):
// the settings and floor list of `drawing` (made the working drawing), the
// system variables the steps read, and list files in a support folder of
// the test's own.
struct FloorHostState {
    ZcDbDatabase* drawing = nullptr;
    VELM_PIANI floors;
    double sqpav = 0.0, unit = 1.0;
    int vxd = kViewModeBoth, tilemode = 1, cvport = 2, before = 1, modVista = 1;
    ZcGeVector3d viewdir{0, 0, 1};
    bool haveFiles = true;
    std::string folder;

    void start(ZcDbDatabase* db, const std::string& supportFolder) {
        drawing = db;
        folder = supportFolder;
        floors.Reset();
        zcdbHostApplicationServices()->setWorkingDatabase(drawing);
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/VXD.LST") << "V2D\nVELM2D*\nV3D\nVELM3D*\nEND\n";
        for (const char* name : {"VLTETTI.LST", "VLSOLAI.LST"})
            std::ofstream(folder + "/" + name) << "VELMTETTI*\n";
        host::setSupportPathProvider(
            [this] { return haveFiles ? std::vector<std::string>{folder} : std::vector<std::string>{}; });
    }
    void push() {
        SetSettingReal(SetupVar::SQPAV, sqpav);
        SetSettingReal(SetupVar::SFTMTCM, unit);
        SetSettingInt(SetupVar::VXDSTATE, vxd);
        SetSettingInt(SetupVar::APPOGGIOCOM, before);
        SetSettingInt(SetupVar::SETMODVISTA, modVista);
        if (VELM_PIANI* stored = OpenPianiObject(false)) {
            stored->piani = floors.piani;
            stored->close();
        }
        host::setSysVar("TILEMODE", static_cast<short>(tilemode), false);
        host::setSysVar("CVPORT", static_cast<short>(cvport), false);
        host::setSysVar("VIEWDIR", ZcGePoint3d(viewdir.x, viewdir.y, viewdir.z), false);
    }
    void pull() {
        sqpav = SettingReal(SetupVar::SQPAV);
        vxd = SettingInt(SetupVar::VXDSTATE);
        floors = StoredFloors();
    }
    template <class F>
    void run(F&& step) {
        push();
        step();
        pull();
    }
    void stop() {
        host::setSupportPathProvider(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

// The host as it starts with the settings classes registered, and a new
// editor session; taken back when it goes.
struct HostWithSettings {
    HostWithSettings() {
        host::startHost({});
        RegisterSettingsModule();
        host::resetEditorSession();
    }
    ~HostWithSettings() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
    HostWithSettings(const HostWithSettings&) = delete;
    HostWithSettings& operator=(const HostWithSettings&) = delete;
};

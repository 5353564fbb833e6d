// Shared pieces of the room label, card and command tests: the label, card,
// row and total definitions the shipped templates name copied beside the
// room support files, and a room 400 x 300 on its wall axes drawn with the
// wall command (370 x 270 inside).
#pragma once

#include <filesystem>
#include <string>

#include "objects/placement/object_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/rooms_fixture.h"

class RoomRecordsTest : public RoomsTest {
protected:
    void SetUp() override {
        RoomsTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        for (const char* name : {"TMS_ETIP.txt", "TMS_ETIS.txt", "TMS_TABP.txt", "TMS_RECP.txt",
                                 "TMS_TOTP.txt", "LAYERC.DEF", "VELMDCONFIG.CFG"})
            std::filesystem::copy_file(root + "/support/" + name, data.path(name),
                                       std::filesystem::copy_options::overwrite_existing);
        SetSettingInt(SetupVar::SET_PFISSOATTIVO, 0);
        run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    }
    // The definitions gone from the support folder: every object run then
    // fails to make its block.
    void RemoveDefinitions() {
        for (const char* name : kDefinitions) std::filesystem::remove(data.path(name));
    }
    static constexpr const char* kDefinitions[] = {"TMS_ETIP.txt", "TMS_ETIS.txt", "TMS_TABP.txt",
                                                   "TMS_RECP.txt", "TMS_TOTP.txt"};
};

// Shared pieces of the schedule tests: the shipped schedule template,
// definitions and extract pattern copied beside the room support files,
// and a maker of openings with their mark records.
#pragma once

#include <filesystem>
#include <string>

#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ui/hostdialogs.h"
#include "rooms/opening_marks.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/rooms_fixture.h"

class SchedulesTest : public RoomsTest {
protected:
    void SetUp() override {
        RoomsTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        for (const char* name :
             {"VELMOA01.OA", "VELMABC.DEX", "ABC_TAB.txt", "ABC_REC.txt", "ABC_TOT.txt", "LAYERC.DEF"})
            std::filesystem::copy_file(root + "/support/" + name, data.path(name),
                                       std::filesystem::copy_options::overwrite_existing);
        SetSettingInt(SetupVar::SET_PFISSOATTIVO, 0);
        // Parameter sets are asked for by name at the command line.
        SetSettingInt(SetupVar::DLGOGGETTO, 0);
        // The object library registers the mark record when it places an opening.
        zcdbRegApp(kAbInfissiObjApp);
    }
    void TearDown() override {
        zcui::SetFilePromptHook(nullptr);
        RoomsTest::TearDown();
    }

    // The table, row and total definitions gone from the support folder
    // (every object run then fails to make its block), or copied back.
    void RemoveDefinitions() {
        for (const char* name : kDefinitions) std::filesystem::remove(data.path(name));
    }
    void RestoreDefinitions() {
        const std::string root = VELM_SOURCE_DIR;
        for (const char* name : kDefinitions)
            std::filesystem::copy_file(root + "/support/" + name, data.path(name),
                                       std::filesystem::copy_options::overwrite_existing);
    }
    static constexpr const char* kDefinitions[] = {"ABC_TAB.txt", "ABC_REC.txt", "ABC_TOT.txt"};

    // An opening INSERT on the level layer of `level` with a mark record.
    static void Opening(const char* kind, int number, double level, Point3 at, double width = 90.0,
                        double value = 0.0, double area = 1.8, const char* extra = "") {
        ads_name made;
        MakeInsert(Layer("2DDOORS", level), at, MarkRecord(kind, number, width, value, area, extra), made);
    }
    static resbuf* MarkRecord(const char* kind, int number, double width, double value, double area,
                              const char* extra) {
        return zcutBuildList(1001, kAbInfissiObjApp, 1000, "P1", 1000, kind, 1000, "Drzwi 90", 1000, "", 1000,
                             "", 1040, value, 1000, "D-", 1070, number, 1040, width, 1040, 2.5, 1040, 205.0,
                             1070, 1, 1040, area, 1040, 0.0, 1040, 0.0, 1070, 0, 1000, "", 1070, 0, 1000, "",
                             1000, extra, 1040, 1.0, 1070, number, 1040, 7.0, 0);
    }
    static std::string Layer(const char* base, double level) {
        std::string name = base;
        MakeLevelLayerName(name, level);
        return name;
    }
    static void AnswerFile(const std::string& path, std::string* offered = nullptr) {
        zcui::SetFilePromptHook(
            [path, offered](const zcui::FileRequest& r, std::string& out) -> std::optional<int> {
                if (offered) *offered = r.defaultName;
                if (path.empty()) return RTCAN;
                out = path;
                return RTNORM;
            });
    }
};

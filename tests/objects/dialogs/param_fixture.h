// Definitions loaded into a context for the parameter dialogs: a VAR
// section and an optional TYPO section, and the dialogs shown on the
// module's resources with a driver acting as the user.
#pragma once

#include <functional>
#include <string>

#include "host/ads/units.h"
#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "objects/language/obj_data.h"
#include "resources/velmresources.h"
#include "tests/objects/language/lang_fixture.h"

class ParamDialogs : public ObjLanguage {
protected:
    void SetUp() override {
        ObjLanguage::SetUp();
        setUnit(1.0);
    }
    void TearDown() override {
        zcui::ResetUi();
        ObjLanguage::TearDown();
    }
    // The definition "T" with `vars` and `typo`, its sections read.
    ObjContext& def(const std::string& vars, const std::string& typo = "", const std::string& name = "T") {
        write(name + ".txt", "VAR\n" + vars + "END_VAR\n" + typo + "DRAW\nEND_DRAW\n");
        ObjContext& c = load(name);
        EXPECT_EQ(ReadVarSection(true, c), 0);
        ReadInsertionType(c);
        EXPECT_EQ(ReadTypoSection(c), 1);
        return c;
    }
    // `count` significant lengths $20.. named "P0".., order digits in turn.
    static std::string lengths(int count, char type = 'D') {
        std::string out;
        for (int i = 0; i < count; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "$%d=\"P%d\"%02d%c%d\n", 20 + i, i, i, type, 10 * (i + 1));
            out += line;
        }
        return out;
    }
    template <class Dialog>
    static INT_PTR drive(Dialog& dlg, UINT id, const std::function<void(zcui::DialogUser&)>& act) {
        CZcModuleResourceOverride use(VelmResourceHandle());
        zcui::InstallDialogDriver(id, act);
        const INT_PTR r = dlg.DoModal();
        zcui::RemoveDialogDriver(id);
        return r;
    }
    static std::vector<std::string> boxes() {
        std::vector<std::string> out;
        for (const auto& m : zcui::MessageBoxes()) out.push_back(m.text);
        return out;
    }
    // A length as the dialogs show it in the drawing's units.
    static std::string shown(double v) {
        char buf[64] = {};
        zcdbRToS(v, -1, -1, buf);
        return buf;
    }
    static double value(const ObjContext& c, int number) {
        const ObjVar* v = FindObjVar(number, c.vars);
        return v ? v->value : -1e300;
    }
};

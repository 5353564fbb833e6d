// The multiline options dialog.
#include "walls/recognition/dlg_dmuri.h"

#include "core/base/typed_number.h"
#include "store/setup_slots.h"
#include "tests/walls/wall_types_fixture.h"

namespace {

const int kSlots[3] = {SetupVar::DLINEDISTE, SetupVar::DLINEMSPES, SetupVar::DLINEMASPE};

std::vector<double> Distances() {
    std::vector<double> out;
    for (const int& slot : kSlots) {
        double v = -1;
        GetVarReal(&slot, &v);
        out.push_back(v);
    }
    return out;
}

}  // namespace

TEST_F(WallTypesTest, multiline_cancel_keeps_the_settings_and_ok_stores_them) {
    const double start[3] = {40.0, 8.0, 60.0};
    for (int i = 0; i < 3; ++i) SetVarReal(&kSlots[i], &start[i]);
    std::string shown;
    zcui::InstallDialogDriver(IDD_DMURI, [&](zcui::DialogUser& u) {
        shown = u.Text(1064);
        u.Edit(1063, "10");
        u.Edit(1064, "5");
        u.Cancel();
    });
    EXPECT_EQ(ShowMultilineOptionsDialog(), 0);
    EXPECT_EQ(std::stod(shown), 8.0);
    EXPECT_EQ(Distances(), (std::vector<double>{40.0, 8.0, 60.0}));

    zcui::InstallDialogDriver(IDD_DMURI, [](zcui::DialogUser& u) {
        u.Edit(1065, "sto");
        u.Ok();
        u.Edit(1065, "100");
        u.Edit(1064, "12.5");
        u.Ok();
    });
    EXPECT_EQ(ShowMultilineOptionsDialog(), 1);
    EXPECT_EQ(Distances(), (std::vector<double>{40.0, 12.5, 100.0}));
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{kInvalidValueMessage}));
}

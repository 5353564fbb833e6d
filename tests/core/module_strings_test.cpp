// The module's strings and message boxes come from the module's own
// resources, whatever resources were current before, and put those back.
#include <gtest/gtest.h>

#include <string>

#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ui/driver.h"
#include "host/ui/resources.h"

TEST(ModuleStrings, load_and_format_from_the_module_table_and_restore_the_handle) {
    const HINSTANCE before = AfxGetResourceHandle();
    std::string text = "stale";
    EXPECT_TRUE(LoadModuleString(text, 1047));
    EXPECT_EQ(text, "Warstwa już istnieje");
    EXPECT_EQ(AfxGetResourceHandle(), before);
    EXPECT_FALSE(LoadModuleString(text, 999999));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(FormatModuleString(text, 1040, "velmsetvar"));
    EXPECT_EQ(text, "\nNie można zdefiniować velmsetvar");
    EXPECT_FALSE(FormatModuleString(text, 999999, "x"));
}

TEST(ModuleStrings, message_box_is_answered_and_recorded) {
    zcui::ResetUi();
    zcui::QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(ModuleMessageBox("Usunąć warstwę?", MB_YESNO, 0), IDYES);
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Usunąć warstwę?");
    zcui::ResetUi();
}

TEST(ViewMode, new_layers_hidden_by_the_other_view_only) {
    EXPECT_TRUE(ViewModeHidesLayer("VELM3DWALLS$300", 50));
    EXPECT_TRUE(ViewModeHidesLayer("3dwalls", 50));
    EXPECT_FALSE(ViewModeHidesLayer("VELM2DWALLS", 50));
    EXPECT_TRUE(ViewModeHidesLayer("velm2dwalls", 51));
    EXPECT_TRUE(ViewModeHidesLayer("2DFUNL", 51));
    EXPECT_FALSE(ViewModeHidesLayer("3DWALLS", 51));
    EXPECT_FALSE(ViewModeHidesLayer("3DWALLS", 69));
    EXPECT_FALSE(ViewModeHidesLayer("2DWALLS", 69));
    EXPECT_FALSE(ViewModeHidesLayer("MURI3D", 50));
}

// The module driven through the host program as a user's scripts drive it:
// settings written in one session come back in the next from the saved DXF,
// and the layer catalogue dialog answers a script's dialog line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
           name;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs velmhost with the module next to it; the exit status, output kept.
int velmhost(const std::string& args, std::string& output) {
    std::string out = tempPath("out.txt");
    std::string cmd = std::string(VELM_BINARY_DIR) + "/velmhost " + args + " > " + out + " 2>&1";
    int rc = std::system(cmd.c_str());
    output = readAll(out);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

TEST(VelmhostModule, settings_written_by_a_script_come_back_from_the_saved_drawing) {
    std::string drawing = tempPath("settings.dxf"), output;
    std::remove(drawing.c_str());
    writeFile(tempPath("write.scr"),
              "VELMSETVAR\nSFATSCALA\n50\n"
              "(velmsetvar \"ULAYERMURO\" \"ŚCIANY2D\")\n"
              "(velmsetvar \"SQPAV\" 300.0)\n"
              // The current floor carries the host's elevation with it.
              "!expect var ELEVATION 300\n"
              "_QSAVE\n");
    ASSERT_EQ(velmhost(drawing + " --script " + tempPath("write.scr"), output), 0) << output;

    writeFile(tempPath("read.scr"),
              "!expect setting SFATSCALA 50\n"
              "!expect setting ULAYERMURO ŚCIANY2D\n"
              "!expect setting SQPAV 300\n"
              "!expect var ELEVATION 300\n");
    EXPECT_EQ(velmhost(drawing + " --script " + tempPath("read.scr"), output), 0) << output;
}

TEST(VelmhostModule, layer_catalogue_dialog_answers_a_script_line) {
    std::string output;
    // Cancel leaves the catalogue file alone; the call itself succeeds.
    writeFile(tempPath("dialog.scr"), "!dialog 133 cancel\n(c:ddlcolor)\n");
    EXPECT_EQ(velmhost("--script " + tempPath("dialog.scr"), output), 0) << output;
    EXPECT_EQ(output.find("!dialog:"), std::string::npos) << output;
}

TEST(VelmhostModule, a_closed_drawing_takes_only_its_own_functions_and_the_script_goes_on) {
    std::string output;
    writeFile(tempPath("two.scr"),
              "_NEW\n\n(velmgetvar \"SFATSCALA\")\nCLOSE\n\n(velmgetvar \"SFATSCALA\")\n");
    EXPECT_EQ(velmhost("--script " + tempPath("two.scr"), output), 0) << output;
    EXPECT_EQ(output.find("brak funkcji"), std::string::npos) << output;
    // Both calls answered: in the new drawing, and back in the first.
    std::size_t first = output.find("\n50"), second = output.find("\n50", first + 1);
    EXPECT_NE(second, std::string::npos) << output;
}

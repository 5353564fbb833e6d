// Openings by script: the definition written for a profile, and the
// command's answers to profiles and data folders it cannot use.
#include "objects/drafting/opening_script.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/util/findfile.h"
#include "host/win/files.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

class OpeningScriptTest : public WallsTest {
protected:
    void SetUp() override {
        WallsTest::SetUp();
        data = std::filesystem::temp_directory_path() / ("velm_hole_" + std::to_string(::getpid()));
        std::filesystem::remove_all(data);
        std::filesystem::create_directories(data);
        UseDataFolder(true);
    }
    void TearDown() override {
        std::filesystem::remove_all(data);
        WallsTest::TearDown();
    }
    void UseDataFolder(bool withConfig) {
        const std::string root = VELM_SOURCE_DIR, folder = data.string();
        if (withConfig)
            std::filesystem::copy_file(root + "/support/VELMDCONFIG.CFG", data / "VELMDCONFIG.CFG",
                                       std::filesystem::copy_options::overwrite_existing);
        else
            std::filesystem::remove(data / "VELMDCONFIG.CFG");
        host::setSupportPathProvider([root, folder, withConfig] {
            // Without the configuration no folder of the path may hold one.
            if (!withConfig) return std::vector<std::string>{folder};
            return std::vector<std::string>{folder, root + "/support"};
        });
    }
    // The definition is the command's own: in the temporary folder, never
    // in the data folder the user keeps.
    std::string Written() const {
        EXPECT_FALSE(std::filesystem::exists(data / kOpeningScriptFile));
        return ReadAll(host::temporaryFolder(false) + kOpeningScriptFile);
    }
    void Rectangle(const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
        run({"_PLINE", a, b, c, d, "_C"});
    }
    std::filesystem::path data;
};

TEST_F(OpeningScriptTest, a_rectangle_writes_the_whole_definition_line_for_line) {
    CFOROMURO hole;
    VertexNode* list = nullptr;
    for (const Point3 p : {Point3{0, 0, 0}, Point3{0, 200, 0}, Point3{100, 200, 0}, Point3{100, 0, 0}})
        AppendVertex(&list, p, 1, 0, 0);
    hole.profile.reset(list);
    hole.closed = 1;
    ASSERT_EQ(hole.WriteOpeningScript(), 0);
    EXPECT_EQ(Written(),
              ReadAll(std::string(VELM_SOURCE_DIR) + "/tests/walls/drafting/data/rectangle_opening.txt"));
}

TEST_F(OpeningScriptTest, an_open_profile_leaves_out_the_closing_reveal_face) {
    CFOROMURO hole;
    VertexNode* list = nullptr;
    for (const Point3 p : {Point3{0, 0, 0}, Point3{50, 150, 0}, Point3{100, 0, 0}})
        AppendVertex(&list, p, 1, 0, 0);
    hole.profile.reset(list);
    const std::vector<std::string> lines = hole.OpeningScriptLines();
    const auto pface = std::find(lines.begin(), lines.end(), "PFACE");
    ASSERT_NE(pface, lines.end());
    EXPECT_EQ(*(pface + 2), "6 2");
    EXPECT_EQ(*(pface + 3 + 6 + 0), "(1 2 5 4)");
    EXPECT_EQ(*(pface + 3 + 6 + 1), "(2 3 6 5)");
    EXPECT_EQ(*(pface + 3 + 6 + 2), "END");
}

TEST_F(OpeningScriptTest, a_picked_closed_polyline_is_written_once_round_relative_to_the_point) {
    Rectangle("2000,0", "2100,0", "2100,200", "2000,200");
    run({"VELMWHOLE", "!pick 2050,0", "2000,0"});
    const std::string text = Written();
    ASSERT_FALSE(text.empty()) << transcript();
    EXPECT_NE(text.find("\n8 4\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("$1004"), std::string::npos) << "the repeated vertex is not written";
    EXPECT_NE(text.find(" = 0.000000\n"), std::string::npos);
    EXPECT_NE(text.find("= 100.000000\n"), std::string::npos);
    EXPECT_NE(text.find("= 200.000000\n"), std::string::npos);
    EXPECT_EQ(text.find("2000.000000"), std::string::npos);
}

TEST_F(OpeningScriptTest, unusable_profiles_and_a_missing_data_folder_are_reported) {
    // Three points on one line leave two after the cleaning.
    run({"_PLINE", "0,0", "100,0", "200,0", "_C"});
    run({"VELMWHOLE", "!pick 50,0", "0,0"});
    EXPECT_NE(transcript().find("Musisz wybrać przynajmniej trzy punkty"), std::string::npos) << transcript();
    EXPECT_FALSE(std::filesystem::exists(data / kOpeningScriptFile));
    EXPECT_FALSE(std::filesystem::exists(host::temporaryFolder(false) + kOpeningScriptFile));

    UseDataFolder(false);
    Rectangle("2000,0", "2100,0", "2100,200", "2000,200");
    run({"VELMWHOLE", "!pick 2050,0", "2000,0"});
    EXPECT_NE(transcript().find("Nie znaleziono folderu danych"), std::string::npos) << transcript();
    EXPECT_FALSE(std::filesystem::exists(data / kOpeningScriptFile));
    EXPECT_FALSE(std::filesystem::exists(host::temporaryFolder(false) + kOpeningScriptFile));
}

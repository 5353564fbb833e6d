// Two programs editing the wall types of one data folder: each loads the
// types as the editor does, changes a layer of its own in one type and
// saves. The file is there throughout, and each edit is either in the file
// afterwards or refused with the file named.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include "host/ads/transcript.h"
#include "host/win/files.h"
#include "tests/host/starting_gate.h"
#include "tests/walls/wall_types_fixture.h"
#include "walls/types/mxt_file.h"

namespace {

constexpr const char* kBrick =
    "Ściana z cegły\nCEGLA\n30\n30\n2DWALLS\nSTRATIFICAZIONE100\nTynk\n0\n1.000000\n1.5\n2DWALLS_PLASTER\n"
    "Cegła\n-ANSI31\n2.000000\n$-3\n2DWALLS_BRICK\nENDSTRATIFICAZIONE100\n";

enum Outcome { kSaved = 0, kRefusedNamed = 1, kRefusedSilently = 2, kNotLoaded = 3 };

// A child that loads, waits until the other child has loaded too, then
// renames its layer and saves: every round is the worst order.
pid_t EditInChild(const std::string& path, int layer, const std::string& material, const StartingGate& gate) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    host::forgetFilesAsRead();
    CListMuri list;
    const bool loaded = LoadWallTypes(list) && list.size() == 1 && list.front().scales;
    const bool started = gate.arrive();
    if (!loaded || !started) ::_exit(kNotLoaded);
    std::next(list.front().scales->front().layers->begin(), layer)->material = material;
    if (SaveWallTypes(list)) ::_exit(kSaved);
    const std::string said = host::transcript().text();
    const bool named = said.find("nie można zapisać " + path) != std::string::npos &&
                       said.find("zmiany nie zostały zapisane") != std::string::npos;
    ::_exit(named ? kRefusedNamed : kRefusedSilently);
}

}  // namespace

TEST_F(WallTypesTest, two_editors_saving_one_type_keep_or_refuse_each_edit_and_never_lose_the_file) {
    const std::string path = data.path("CEGLA.mxt");
    int kept = 0;
    for (int round = 0; round < 30; ++round) {
        data.write("CEGLA.mxt", kBrick);
        const StartingGate gate;
        ASSERT_TRUE(gate.made());
        const std::string plaster = "Tynk " + std::to_string(round), brick = "Cegła " + std::to_string(round);
        const pid_t a = EditInChild(path, 0, plaster, gate);
        const pid_t b = EditInChild(path, 1, brick, gate);
        ASSERT_GT(a, 0);
        ASSERT_GT(b, 0);
        ASSERT_TRUE(gate.open(2));
        // Looked for while both save: a backup made by renaming left a
        // moment without the file, when the other program read none.
        bool away = false;
        std::optional<int> sa, sb;
        while (!sa || !sb) {
            away = away || !std::filesystem::exists(path);
            int status = 0;
            if (!sa && ::waitpid(a, &status, WNOHANG) == a) sa = status;
            if (!sb && ::waitpid(b, &status, WNOHANG) == b) sb = status;
        }
        EXPECT_FALSE(away) << "round " << round;
        ASSERT_TRUE(std::filesystem::exists(path)) << "round " << round;
        const std::string now = data.read("CEGLA.mxt");
        for (auto [status, material] : {std::pair{*sa, plaster}, std::pair{*sb, brick}}) {
            ASSERT_TRUE(WIFEXITED(status)) << "round " << round;
            const int outcome = WEXITSTATUS(status);
            EXPECT_TRUE(outcome == kSaved || outcome == kRefusedNamed)
                << "round " << round << ": " << outcome;
            if (outcome == kSaved) {
                EXPECT_NE(now.find("\n" + material + "\n"), std::string::npos) << "round " << round << "\n"
                                                                               << now;
                ++kept;
            }
        }
    }
    EXPECT_GE(kept, 30);  // one edit of each round at least
}

// What lies beside a drawing in a folder received from someone else: a
// custom hatch pattern that is a FIFO or a device, a pattern name that
// points out of the support folders, a support file reached through a link
// leading out of its folder. None is read; each is named on the command
// line (here: the notes the command processor prints), and a save neither
// hangs nor fails for it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "host/db/dbhatch.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/util/findfile.h"
#include "host/util/notes.h"
#include "tests/host/win_testdir.h"

namespace {

class HostileSupportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path("support"));
        std::filesystem::create_directories(dir.path("elsewhere"));
        dir.write("support/zwcadiso.pat", "*ANSI31, diagonal\n45, 0,0, 0,3.175\n");
        dir.write("elsewhere/MARKER.pat", "*MARKER, outside\n0, 0,0, 0,1\n");
        host::setSupportFolders({dir.path("support")});
        host::takeNotesForCommandLine();
    }
    void TearDown() override {
        host::setSupportFolders({});
        host::takeNotesForCommandLine();
    }

    // A drawing of one custom-pattern hatch, saved; the saved text.
    std::string saveHatchOf(const std::string& pattern, std::string* handle = nullptr) {
        ZcDbDatabase db;
        auto* h = new ZcDbHatch;
        h->setPattern(ZcDbHatch::kCustomDefined, pattern);
        h->appendLoop(ZcDbHatch::kExternal, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
        ZcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
        if (!ms) return {};
        ms->appendZcDbEntity(h);
        if (handle) *handle = h->objectId().handle().ascii();
        h->close();
        ms->close();
        return host::writeDxfText(&db);
    }

    static bool noted(const std::vector<std::string>& notes, const std::string& text) {
        return std::find(notes.begin(), notes.end(), text) != notes.end();
    }

    TestDir dir;
};

// The pattern lines of the saved hatch: none when its file was not read.
std::string patternCount(const std::string& text) {
    const std::size_t at = text.find("\n 78\n", text.find("\nHATCH\n"));
    if (at == std::string::npos) return {};
    std::string value = text.substr(at + 5, text.find('\n', at + 5) - at - 5);
    value.erase(0, value.find_first_not_of(' '));
    return value;
}

}  // namespace

TEST_F(HostileSupportFiles, a_fifo_named_as_a_custom_pattern_does_not_hang_a_save) {
    const std::string fifo = dir.path("support/EVIL.pat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto saving = std::async(std::launch::async, [&] { return saveHatchOf("EVIL"); });
    if (saving.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let the blocked read go: a writer that opens and closes ends it.
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        if (fd >= 0) ::close(fd);
        saving.wait();
        FAIL() << "saving waited on the FIFO";
    }
    const std::string saved = saving.get();
    EXPECT_EQ(patternCount(saved), "0");
    const std::vector<std::string> notes = host::takeNotesForCommandLine();
    EXPECT_TRUE(noted(notes, "nie można odczytać " + fifo + ": to nie jest zwykły plik")) << notes.size();
}

TEST_F(HostileSupportFiles, a_pattern_linked_to_a_device_leaves_its_folder_and_is_refused_by_name) {
    std::filesystem::create_symlink("/dev/zero", dir.path("support/ZERO.pat"));
    const std::string saved = saveHatchOf("ZERO");
    EXPECT_EQ(patternCount(saved), "0");
    const std::vector<std::string> notes = host::takeNotesForCommandLine();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("ZERO.pat"), std::string::npos) << notes[0];
    EXPECT_NE(notes[0].find("dowiązanie prowadzi poza folder"), std::string::npos) << notes[0];
}

TEST_F(HostileSupportFiles, pattern_names_pointing_out_of_the_support_folders_are_refused_naming_the_hatch) {
    const std::string absolute = dir.path("elsewhere/MARKER");
    for (const std::string& name :
         {std::string("../elsewhere/MARKER"), absolute, std::string("..\\elsewhere\\MARKER")}) {
        std::string handle;
        const std::string saved = saveHatchOf(name, &handle);
        // The marker's one line family is not what the hatch carries.
        EXPECT_EQ(patternCount(saved), "0") << name;
        const std::vector<std::string> notes = host::takeNotesForCommandLine();
        EXPECT_TRUE(noted(notes, "HATCH " + handle + ": nazwa pliku \"" + name +
                                     ".pat\" nie może wskazywać folderu; odrzucono."))
            << name;
    }
}

TEST_F(HostileSupportFiles, a_support_file_through_a_link_leaving_its_folder_is_refused) {
    std::filesystem::create_symlink("../elsewhere/MARKER.pat", dir.path("support/LINKED.pat"));
    EXPECT_FALSE(host::findOnSupportPath("LINKED.pat"));
    const std::vector<std::string> notes = host::takeNotesForCommandLine();
    EXPECT_TRUE(noted(notes, "nie można odczytać " + dir.path("support/LINKED.pat") +
                                 ": dowiązanie prowadzi poza folder, w którym je znaleziono; odrzucono."))
        << (notes.empty() ? std::string() : notes[0]);
    // Nor is it what a hatch of that pattern carries.
    EXPECT_EQ(patternCount(saveHatchOf("LINKED")), "0");
    host::takeNotesForCommandLine();

    // A link to a file of the same folder is that file.
    std::filesystem::create_symlink("zwcadiso.pat", dir.path("support/ALIAS.pat"));
    EXPECT_EQ(host::findOnSupportPath("ALIAS.pat"), dir.path("support/ALIAS.pat"));
    EXPECT_TRUE(host::takeNotesForCommandLine().empty());
}

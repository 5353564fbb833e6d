// The hatch pattern files kept between hatches: one file under many names
// (links beside a drawing) is read and kept once, a file larger than any
// pattern library is refused by name, and what is kept stays within its
// bound however many pattern files a drawing names.
#include <filesystem>
#include <string>
#include <vector>

#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/util/findfile.h"
#include "host/util/notes.h"
#include "host/win/kept_files.h"
#include "tests/host/win_testdir.h"

namespace {

class PatternCache : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path("drawing"));
        host::setSupportFolders({dir.path("drawing")});
        host::takeNotesForCommandLine();
        // The files are new: what is read of them serves the command round.
        host::startCommandKeptFileValues();
    }
    void TearDown() override {
        host::forgetCommandKeptFileValues();
        host::setSupportFolders({});
        host::takeNotesForCommandLine();
    }

    // The line families a hatch of the custom pattern carries.
    static std::size_t familiesOf(const std::string& pattern) {
        ZcDbHatch hatch;
        hatch.setPattern(ZcDbHatch::kCustomDefined, pattern);
        hatch.appendLoop(ZcDbHatch::kExternal, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
        return host::patternDefinitionLines(hatch).size();
    }

    TestDir dir;
};

}  // namespace

TEST_F(PatternCache, forty_links_to_one_pattern_file_read_it_once) {
    std::string text;
    for (int i = 1; i <= 40; ++i) text += "*LINK" + std::to_string(i) + ", link\n45, 0,0, 0,3.175\n";
    // Padding as a real library carries: comments, well within the bound.
    text += std::string(200000, ';') + "\n";
    dir.write("drawing/BIG.pat", text);
    for (int i = 1; i <= 40; ++i)
        std::filesystem::create_symlink("BIG.pat", dir.path("drawing/LINK" + std::to_string(i) + ".pat"));
    const host::PatternCacheUse before = host::patternCacheUse();
    for (int round = 0; round < 2; ++round)
        for (int i = 1; i <= 40; ++i) EXPECT_EQ(familiesOf("LINK" + std::to_string(i)), 1u) << i;
    const host::PatternCacheUse after = host::patternCacheUse();
    EXPECT_EQ(after.reads - before.reads, 1u);
    EXPECT_LT(after.bytes, 2 * text.size() + (std::size_t{1} << 20));
    EXPECT_TRUE(host::takeNotesForCommandLine().empty());
}

TEST_F(PatternCache, a_file_larger_than_a_pattern_library_is_refused_naming_it_and_why) {
    dir.write("drawing/HUGE.pat",
              "*HUGE, huge\n0, 0,0, 0,1\n" + std::string(host::kMaxPatternFileBytes, ';'));
    const host::PatternCacheUse before = host::patternCacheUse();
    EXPECT_EQ(familiesOf("HUGE"), 0u);
    EXPECT_EQ(host::patternCacheUse().reads, before.reads);
    const std::vector<std::string> notes = host::takeNotesForCommandLine();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0],
              "nie można odczytać " + dir.path("drawing/HUGE.pat") + ": plik jest większy niż 1 MB");
}

TEST_F(PatternCache, many_pattern_files_keep_the_cache_within_its_bound) {
    const std::string padding(host::kMaxPatternFileBytes - 4096, ';');
    const int files = static_cast<int>(host::kMaxKeptPatternBytes / host::kMaxPatternFileBytes) + 8;
    for (int i = 0; i < files; ++i) {
        const std::string name = "P" + std::to_string(i);
        dir.write("drawing/" + name + ".pat", "*" + name + ", one\n0, 0,0, 0,1\n" + padding + "\n");
        EXPECT_EQ(familiesOf(name), 1u) << name;
        EXPECT_LE(host::patternCacheUse().bytes, host::kMaxKeptPatternBytes) << name;
    }
    // The last one stays kept: asked again, it is not read again.
    const host::PatternCacheUse before = host::patternCacheUse();
    EXPECT_EQ(familiesOf("P" + std::to_string(files - 1)), 1u);
    EXPECT_EQ(host::patternCacheUse().reads, before.reads);
}

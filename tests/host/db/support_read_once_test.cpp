// Support folders listed and pattern files read once while they stay as
// they were: a folder or file changed afterwards is read again, even when
// its modification time is put back as it was (a copy keeping the times).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"

namespace {

namespace fs = std::filesystem;

// What was last changed a moment ago is read afresh each time; waiting lets
// the folders and files settle, so that what is read from them is kept.
void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
}

// Puts the modification time back as it was before a change.
void PutBack(const std::string& path, fs::file_time_type time) {
    fs::last_write_time(path, time);
}

// A square 50000 across: lines 1 apart are far too many, 9 apart are not.
Zcad::ErrorStatus Evaluate(const std::string& pattern) {
    ZcDbHatch h;
    h.setPattern(ZcDbHatch::kCustomDefined, pattern);
    h.setPatternScale(1.0);
    const std::vector<ZcGePoint2d> square{{0, 0}, {50000, 0}, {50000, 50000}, {0, 50000}, {0, 0}};
    h.appendLoop(ZcDbHatch::kExternal | ZcDbHatch::kPolyline, square);
    return host::evaluateHatch(h);
}

}  // namespace

TEST(SupportReadOnce, a_folder_changed_after_a_search_is_listed_again) {
    TestDir dir;
    fs::create_directories(dir.path("s"));
    dir.write("s/Old.pat", "a");
    dir.write("s/Kept.pat", "k");
    Settle();
    const fs::file_time_type old = fs::last_write_time(dir.path("s"));
    host::setSupportFolders({dir.path("s")});
    ASSERT_TRUE(host::findOnSupportPath("OLD.PAT"));
    EXPECT_FALSE(host::findOnSupportPath("NEW.PAT"));

    // Added, and gone, with the folder's time put back as it was.
    dir.write("s/New.pat", "b");
    fs::remove(dir.path("s/Old.pat"));
    PutBack(dir.path("s"), old);
    EXPECT_EQ(host::findOnSupportPath("new.PAT"), dir.path("s") + "/New.pat");
    EXPECT_FALSE(host::findOnSupportPath("OLD.PAT"));
    EXPECT_EQ(host::findOnSupportPath("kept.pat"), dir.path("s") + "/Kept.pat");
}

TEST(SupportReadOnce, a_pattern_file_rewritten_is_read_again_for_the_next_hatch) {
    TestDir dir;
    dir.write("Rows.pat", "*ROWS,rows\n0, 0,0, 0,1\n");
    Settle();
    const fs::file_time_type old = fs::last_write_time(dir.path("Rows.pat"));
    host::setSupportFolders({dir.path()});
    EXPECT_EQ(Evaluate("ROWS"), Zcad::eInvalidInput);
    EXPECT_EQ(Evaluate("rows"), Zcad::eInvalidInput);

    // Same size, same time: still read again.
    dir.write("Rows.pat", "*ROWS,rows\n0, 0,0, 0,9\n");
    PutBack(dir.path("Rows.pat"), old);
    EXPECT_EQ(Evaluate("ROWS"), Zcad::eOk);
    // A definition added later is found, the others read from the new text.
    dir.write("Rows.pat", "*ROWS,rows\n0, 0,0, 0,1\n*COLS,cols\n90, 0,0, 0,9\n");
    PutBack(dir.path("Rows.pat"), old);
    EXPECT_EQ(Evaluate("cols"), Zcad::eOk);
    EXPECT_EQ(Evaluate("rows"), Zcad::eInvalidInput);
}

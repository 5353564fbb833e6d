// A placed window whose sash count, kept in its own record, asks for an
// ARRAY of a million or two hundred million copies: VELMMODIFY refuses to
// rebuild it, naming the definition and the bound, and the window, its
// wall and the drawing's blocks stay as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/host/win_testdir.h"
#include "tests/objects/placement/placed_object_fixture.h"
#include "tests/store/damaged_records.h"

namespace {

class ModifyBounds : public PlacedObjectTest {
protected:
    void SetUp() override {
        PlacedObjectTest::SetUp();
        Place("F1");
        ads_name_set(placed, window);
    }
    static int windows() { return placedObjects(); }
    static int blocks() {
        int n = 0;
        for (resbuf* rb = zcdbTblNext("BLOCK", 1); rb; rb = zcdbTblNext("BLOCK", 0), ++n) zcutRelRb(rb);
        return n;
    }
    // The window's handle, block name and insertion point.
    std::string insert() const {
        resbuf* list = zcdbEntGetX(window, nullptr);
        std::string out;
        for (const resbuf* rb = list; rb; rb = rb->rbnext) {
            if (rb->restype == 2 || rb->restype == 5) out += std::string(rb->resval.rstring) + ";";
            if (rb->restype == 10)
                out +=
                    std::to_string(rb->resval.rpoint[0]) + "," + std::to_string(rb->resval.rpoint[1]) + ";";
        }
        zcutRelRb(list);
        return out;
    }
    // The sash count ($191) of the window's record.
    void setSashes(double count) {
        DamageXData(window, kParamRecordApp, [count](DxfItems& items) {
            for (std::size_t i = 0; i + 1 < items.size(); ++i)
                if (items[i].code == 1070 && items[i].integer == 191)
                    items[i + 1] = ZcDbDxfItem::ofReal(1040, count);
        });
    }

    ads_name window = {0, 0};
};

TEST_F(ModifyBounds, a_sash_count_past_the_array_bound_is_refused_and_the_window_left) {
    const std::string before = insert();
    const int lines = wallLines(), blocksBefore = blocks();
    for (const double sashes : {1e6, 2e8}) {
        SCOPED_TRACE(sashes);
        setSashes(sashes);
        // "Zastosuj": the window is rebuilt where it stands.
        run({"!dialog 150 click 7", "VELMMODIFY", "!pick 205,0"});
        const std::string copies = std::to_string(static_cast<long long>(sashes) - 1);
        EXPECT_NE(transcript().find("Definicja F1: ARRAY ma " + copies +
                                    " kopii, więcej niż 10000: obiekt nie został narysowany."),
                  std::string::npos)
            << transcript();
        EXPECT_EQ(windows(), 1);
        EXPECT_EQ(insert(), before);
        EXPECT_EQ(wallLines(), lines);
        EXPECT_EQ(blocks(), blocksBefore);
    }
    // Four sashes rebuild it as ever.
    setSashes(4);
    run({"!dialog 150 click 7", "VELMMODIFY", "!pick 205,0"});
    EXPECT_EQ(windows(), 1);
    EXPECT_NE(insert(), before);
}

// The window's definition, found first in a folder of the user's, now
// opens a chain of ten thousand includes, each a line naming the next:
// followed to its end it would take the whole stack. VELMMODIFY refuses
// the definition by name, and the window and a line drawn before stay.
TEST_F(ModifyBounds, a_definition_whose_includes_nest_ten_thousand_deep_is_refused_and_the_drawing_kept) {
    const TestDir dir;
    std::ifstream shipped(std::string(VELM_SOURCE_DIR) + "/support/F1.txt", std::ios::binary);
    std::stringstream text;
    text << shipped.rdbuf();
    dir.write("F1.txt", "@\"CHAIN1.inc\"\n" + text.str());
    for (int i = 1; i < 10000; ++i)
        dir.write("CHAIN" + std::to_string(i) + ".inc", "@\"CHAIN" + std::to_string(i + 1) + ".inc\"\n");
    dir.write("CHAIN10000.inc", "; koniec\n");
    const std::string root = VELM_SOURCE_DIR, first = dir.path();
    host::setSupportPathProvider([root, first] {
        return std::vector<std::string>{first, root + "/support", root + "/support/host"};
    });
    run({"_LINE", "0,-500", "100,-500", ""});
    const int lines = count("0=LINE"), blocksBefore = blocks();
    const std::string before = insert();
    run({"!dialog 150 click 7", "VELMMODIFY", "!pick 205,0"});
    EXPECT_NE(transcript().find("Definicja F1: dołączone pliki są zagnieżdżone na więcej niż 64 poziomów"),
              std::string::npos)
        << transcript().substr(transcript().size() > 2000 ? transcript().size() - 2000 : 0);
    EXPECT_EQ(count("0=LINE"), lines);
    EXPECT_EQ(windows(), 1);
    EXPECT_EQ(insert(), before);
    EXPECT_EQ(blocks(), blocksBefore);
}

}  // namespace

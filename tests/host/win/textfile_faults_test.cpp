// Text entering the system: line ends of every kind read and written back,
// files that are not text told apart, and stray 8-bit bytes turned into
// the characters they stand for wherever text enters the drawing.
#include <gtest/gtest.h>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/ed/docman.h"
#include "host/ed/prompts.h"
#include "host/ui/controls.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"
#include "tests/host/ed/ed_fixture.h"
#include "tests/host/win_testdir.h"

using host::LineEnding;

// Lost data: a file whose lines end in CR alone.
TEST(TextFileLineEnds, cr_alone_splits_lines_and_is_written_back) {
    TestDir dir;
    const std::string bytes = "**Ściany,\r2DWALLS,MURI,1\r3DWALLS,3DWALLS,2\r";
    dir.write("cr.def", bytes);
    auto file = host::readTextFile(dir.path("cr.def"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->lines, (std::vector<std::string>{"**Ściany,", "2DWALLS,MURI,1", "3DWALLS,3DWALLS,2"}));
    EXPECT_EQ(file->lineEnding, LineEnding::Cr);
    EXPECT_TRUE(file->finalLineEnd);
    ASSERT_TRUE(host::writeTextFile(dir.path("cr2.def"), *file));
    EXPECT_EQ(dir.read("cr2.def"), bytes);
    // A file that has an LF anywhere keeps its lone CRs inside lines.
    EXPECT_EQ(host::decodeText("a\r\nb\rc").lines, (std::vector<std::string>{"a", "b\rc"}));
    EXPECT_EQ(host::decodeText("a\rb\nc\r").lines, (std::vector<std::string>{"a\rb", "c\r"}));
    const host::TextFile noEnd = host::decodeText("a\rb");
    EXPECT_EQ(noEnd.lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(host::encodeText(noEnd), "a\rb");
}

// Silent faults: bytes that are not text.
TEST(TextFileKinds, nul_bytes_utf16_and_unassigned_bytes_are_not_text) {
    EXPECT_TRUE(host::isTextBytes("Ściana,MURI\r\n"));
    EXPECT_TRUE(host::isTextBytes("\xA3\xF3\x64\x9F\t\xBF\r\n"));  // Windows-1250
    EXPECT_FALSE(host::isTextBytes(std::string("AB\0CD\n", 6)));
    EXPECT_FALSE(
        host::isTextBytes("\xFF\xFE"
                          "A"));
    EXPECT_FALSE(
        host::isTextBytes("\xFE\xFF"
                          "A"));
    EXPECT_FALSE(host::isTextBytes("ab\x81\x98"));  // unassigned in Windows-1250, not UTF-8
    EXPECT_FALSE(
        host::isTextBytes("ab\x02"
                          "cd"));
}

// One bad byte garbles every text.
TEST(TextRepair, stray_bytes_become_windows_1250_letters_and_valid_text_stays) {
    EXPECT_EQ(host::repairUtf8("Zażółć"), "Zażółć");
    EXPECT_EQ(host::repairUtf8("Za\xBF\xF3\xB3\xE6 gęślą"), "Zażółć gęślą");
    EXPECT_EQ(host::repairUtf8("\xC5"), "Ĺ");  // a sequence cut short
    EXPECT_TRUE(host::isValidUtf8(host::repairUtf8("\xF0\x9F\x98 \xED\xA0\x80")));
}

TEST(TextRepair, dxf_writer_writes_valid_utf8_and_reader_decodes_each_string_alone) {
    ZcDbDatabase db;
    auto* line = new ZcDbLine({0, 0, 0}, {1, 0, 0});
    line->setLayer("0");
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ASSERT_EQ(ms->appendZcDbEntity(line), Zcad::eOk);
    ZcDbLayerTable* layers = nullptr;
    ASSERT_EQ(db.getLayerTable(layers, ZcDb::kForWrite), Zcad::eOk);
    auto* bad = new ZcDbLayerTableRecord;
    bad->setName("MUR\xB9");  // "MURą" in Windows-1250
    ASSERT_EQ(layers->add(bad), Zcad::eOk);
    bad->close();
    auto* good = new ZcDbLayerTableRecord;
    good->setName("Zażółć gęślą jaźń");
    ASSERT_EQ(layers->add(good), Zcad::eOk);
    good->close();
    layers->close();
    line->close();
    ms->close();

    const std::string text = host::writeDxfText(&db);
    EXPECT_TRUE(host::isValidUtf8(text));
    EXPECT_NE(text.find("\nMURą\n"), std::string::npos);

    // A file with one Windows-1250 string among UTF-8 ones.
    std::string mixed = text;
    mixed.replace(mixed.find("\nMURą\n"), std::string("\nMURą\n").size(), "\nMUR\xB9\n");
    ASSERT_FALSE(host::isValidUtf8(mixed));
    host::DxfLoadResult r = host::readDxfText(mixed);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_FALSE(r.db->recordId(r.db->layerTableId(), "Zażółć gęślą jaźń").isNull());
    EXPECT_FALSE(r.db->recordId(r.db->layerTableId(), "MURą").isNull());
}

class TypedText : public EdSession {};

TEST_F(TypedText, typed_and_dialog_text_enters_as_valid_utf8) {
    curDoc()->inputQueue().pushLine("Za\xBF\xF3\xB3\xE6");
    char typed[64] = {};
    ASSERT_EQ(zcedGetString(1, "\nTekst:", typed), RTNORM);
    EXPECT_STREQ(typed, "Zażółć");

    CEdit edit;
    edit.SetWindowText("g\xEA\x9C");
    EXPECT_EQ(edit.GetWindowText(), "gęś");
}

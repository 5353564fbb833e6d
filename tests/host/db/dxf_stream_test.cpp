// The DXF reader and writer on their quick paths: records of the kinds
// read whole go from the file's lines straight into their objects, and
// values go straight into text. Faults anywhere in such a record still
// refuse the file at their line, and the text written says what the items
// said (handles under 105 for dimension styles, degrees, "0" for no
// reference, escapes).
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <numbers>

#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dxffile.h"

namespace {

std::string dxf(std::initializer_list<std::pair<int, std::string>> pairs) {
    std::string out;
    for (const auto& [code, value] : pairs) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

std::string entities(const std::string& body) {
    return dxf({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1027"}, {0, "ENDSEC"}}) +
           dxf({{0, "SECTION"}, {2, "ENTITIES"}}) + body + dxf({{0, "ENDSEC"}, {0, "EOF"}});
}

std::string line(const std::string& handle, const std::string& x = "1.0") {
    return dxf({{0, "LINE"},
                {5, handle},
                {100, "AcDbEntity"},
                {8, "0"},
                {100, "AcDbLine"},
                {10, x},
                {20, "0.0"},
                {30, "0.0"},
                {11, "2.0"},
                {21, "3.0"},
                {31, "0.0"}});
}

// The line number of the first line of `text` equal to `what` after `from`.
int lineAfter(const std::string& text, const std::string& from, const std::string& what) {
    std::size_t at = text.find("\n" + what + "\n", text.find(from));
    return at == std::string::npos ? 0
                                   : 2 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

std::string refusal(const std::string& text) {
    host::DxfLoadResult r = host::readDxfText(text);
    EXPECT_FALSE(r.db);
    return r.error;
}

std::string saved(ZcDbDatabase& db) {
    return host::writeDxfText(&db);
}

std::string real(double v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

}  // namespace

TEST(DxfStream, a_fault_in_a_record_read_whole_refuses_the_file_at_its_line) {
    struct Case {
        const char* name;
        std::string text;
        std::string from, bad;  // the bad line: the first `bad` after `from`
    };
    const std::string xdata = dxf({{1001, "VELM"}, {1040, "półtora"}});
    const std::vector<Case> cases = {
        {"number of a point", entities(line("1A") + line("1B", "x1")), "1B", "x1"},
        {"number in the extended data", entities(line("1A") + xdata), "VELM", "półtora"},
        {"point without its Y",
         entities(
             dxf({{0, "POINT"}, {5, "3"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbPoint"}, {10, "1.0"}})),
         "POINT", "10"},  // the point's code line
    };
    for (const Case& c : cases) {
        std::string error = refusal(c.text);
        const int at = lineAfter(c.text, c.from, c.bad);
        EXPECT_EQ(error.rfind("DXF: wiersz " + std::to_string(at) + ":", 0), 0u) << c.name << ": " << error;
    }
    // What a recovering reader mends loads; the first repair in the file
    // is named first, at its line.
    const std::vector<Case> mended = {
        {"owner that is no handle",
         entities(dxf({{0, "CIRCLE"}, {5, "2"}, {330, "QQ"}, {100, "AcDbEntity"}, {8, "0"}})), "CIRCLE",
         "QQ"},
        {"repeated handle before a bad one", entities(line("7") + line("7") + line("ZZ")), "AcDbLine\n10",
         "7"},
        {"bad handle before a repeat", entities(line("ZZ") + line("7") + line("7")), "LINE", "ZZ"},
    };
    for (const Case& c : mended) {
        host::DxfLoadResult r = host::readDxfText(c.text);
        EXPECT_TRUE(r.db) << c.name << ": " << r.error;
        ASSERT_FALSE(r.repairs.empty()) << c.name;
        const int at = lineAfter(c.text, c.from, c.bad);
        EXPECT_EQ(r.repairs[0].rfind("DXF: wiersz " + std::to_string(at) + ":", 0), 0u)
            << c.name << ": " << r.repairs[0];
    }
}

TEST(DxfStream, records_read_whole_keep_every_group_they_carry) {
    // Owner block, paper-space flag, extended data and text escapes all
    // come through the quick path.
    std::string text = entities(dxf({{0, "TEXT"},
                                     {5, "4F0"},
                                     {100, "AcDbEntity"},
                                     {67, "1"},
                                     {8, "OPISY"},
                                     {100, "AcDbText"},
                                     {10, "1.5"},
                                     {20, "2.5"},
                                     {30, "0.0"},
                                     {40, "0.25"},
                                     {1, "a^Ib^ Jc"},
                                     {50, "90.0"},
                                     {1001, "VELM"},
                                     {1000, "notatka"},
                                     {1070, "7"}}) +
                                line("4F1"));
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbBlockTableRecord* ps = nullptr;
    ASSERT_EQ(zcdbOpenObject(ps, r.db->paperSpaceId(), ZcDb::kForRead), Zcad::eOk);
    std::vector<ZcDbObjectId> paper = ps->entityIds();
    ps->close();
    ASSERT_EQ(paper.size(), 1u);
    ZcDbObjectPointer<ZcDbText> t(paper[0], ZcDb::kForRead);
    ASSERT_EQ(t.openStatus(), Zcad::eOk);
    EXPECT_EQ(t->textString(), "a\tb^Jc");
    EXPECT_EQ(t->layer(), "OPISY");
    EXPECT_DOUBLE_EQ(t->rotation(), std::numbers::pi / 2);
    EXPECT_EQ(t->objectId().handle().ascii(), "4F0");
    resbuf* xd = t->xData("VELM");
    ASSERT_NE(xd, nullptr);
    ASSERT_NE(xd->rbnext, nullptr);
    EXPECT_STREQ(xd->rbnext->resval.rstring, "notatka");
    zcutRelRb(xd);
    // Written back: the same escapes, the flag right after the entity marker.
    std::string out = host::writeDxfText(r.db.get(), r.vars.get());
    EXPECT_NE(out.find("AcDbEntity\n 67\n1\n  8\nOPISY\n"), std::string::npos);
    EXPECT_NE(out.find("\n  1\na^Ib^ Jc\n"), std::string::npos);
    EXPECT_NE(out.find("\n 50\n90.0\n"), std::string::npos);
}

TEST(DxfStream, values_are_written_as_the_items_would_be) {
    ZcDbDatabase db;
    ZcDbObjectId arcId;
    {
        ZcDbBlockTableRecord* ms = nullptr;
        ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
        auto* arc = new ZcDbArc({1, 2, 0}, 2.0, 0.25, 1.5);
        ms->appendZcDbEntity(arcId, arc);
        arc->close();
        ms->close();
    }
    std::string text = saved(db);
    // Angles in degrees, shortest exact form, whole numbers with ".0".
    EXPECT_NE(text.find("\n 50\n" + real(0.25 * 180.0 / std::numbers::pi) + "\n"), std::string::npos);
    EXPECT_NE(text.find("\n 10\n1.0\n 20\n2.0\n"), std::string::npos);
    // A dimension style record carries its own handle under 105, not 5.
    std::size_t style = text.find("\n  0\nDIMSTYLE\n", text.find("AcDbDimStyleTable"));
    ASSERT_NE(style, std::string::npos);
    EXPECT_EQ(text.compare(style, 18, "\n  0\nDIMSTYLE\n105\n"), 0) << text.substr(style, 40);
    // A reference to nothing is "0"; every other is a handle that reads back.
    EXPECT_NE(text.find("\n330\n0\n"), std::string::npos);
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbObjectId back;
    ASSERT_EQ(r.db->getZcDbObjectId(back, false, arcId.handle()), Zcad::eOk);
    ZcDbObjectPointer<ZcDbArc> arc(back, ZcDb::kForRead);
    ASSERT_EQ(arc.openStatus(), Zcad::eOk);
    EXPECT_DOUBLE_EQ(arc->startAngle(), 0.25);
    EXPECT_DOUBLE_EQ(arc->endAngle(), 1.5);
}

// Drawings of other programs: what the host does not model is kept and
// written back, older formats and their code pages read, binary DXF read,
// and the text escapes of the format decoded.
#include <gtest/gtest.h>

#include <cstring>

#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_decode.h"
#include "tests/host/db/db_test_util.h"

namespace {

// One "code\nvalue\n" pair per entry.
std::string dxf(std::initializer_list<std::pair<int, std::string>> pairs) {
    std::string out;
    for (const auto& [code, value] : pairs) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

const std::string kHead = dxf({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1027"}, {0, "ENDSEC"}});
const std::string kEnd = dxf({{0, "EOF"}});

std::string entities(const std::string& body) {
    return kHead + dxf({{0, "SECTION"}, {2, "ENTITIES"}}) + body + dxf({{0, "ENDSEC"}}) + kEnd;
}

ZcDbObject* objectOf(ZcDbObjectId id) {
    return id.stub()->object.get();
}

std::string sectionOf(const std::string& text, const std::string& name) {
    std::size_t start = text.find("\n  2\n" + name + "\n");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find("\n  0\nENDSEC\n", start) - start);
}

// Loads, saves, loads again: the second text must say the same, the
// handles of the BLOCK and ENDBLK markers included.
std::string roundTrip(const std::string& text) {
    host::DxfLoadResult first = host::readDxfText(text);
    EXPECT_TRUE(first.db) << first.error;
    if (!first.db) return {};
    std::string once = host::writeDxfText(first.db.get(), first.vars.get());
    host::DxfLoadResult second = host::readDxfText(once);
    EXPECT_TRUE(second.db) << second.error;
    if (!second.db) return once;
    std::string twice = host::writeDxfText(second.db.get(), second.vars.get());
    for (const char* section : {"TABLES", "BLOCKS", "ENTITIES", "OBJECTS"})
        EXPECT_EQ(sectionOf(once, section), sectionOf(twice, section)) << section;
    return once;
}

const std::string kSpline = dxf({{0, "SPLINE"},
                                 {5, "2A"},
                                 {330, "1F"},
                                 {100, "AcDbEntity"},
                                 {8, "KRZYWE"},
                                 {62, "3"},
                                 {100, "AcDbSpline"},
                                 {70, "8"},
                                 {71, "3"},
                                 {72, "0"},
                                 {73, "4"},
                                 {10, "0.0"},
                                 {20, "0.0"},
                                 {30, "0.0"},
                                 {10, "1.5"},
                                 {20, "2.0"},
                                 {30, "0.0"},
                                 {1001, "VELM7"},
                                 {1000, "notatka"}});

}  // namespace

TEST(DxfForeign, unknown_entity_kinds_are_kept_with_their_groups_in_every_space) {
    std::string text = entities(kSpline + dxf({{0, "SPLINE"},
                                               {5, "2B"},
                                               {100, "AcDbEntity"},
                                               {67, "1"},
                                               {8, "0"},
                                               {100, "AcDbSpline"},
                                               {70, "0"}}));
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_TRUE(r.notes.empty());
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 1u);
    auto* spline = ZcDbOpaqueEntity::cast(objectOf(ids[0]));
    ASSERT_NE(spline, nullptr);
    EXPECT_EQ(spline->dxfKind(), "SPLINE");
    EXPECT_EQ(spline->layer(), "KRZYWE");
    EXPECT_EQ(spline->colorIndex(), 3);
    EXPECT_EQ(spline->handle().ascii(), "2A");
    ASSERT_EQ(spline->xDataApps().size(), 1u);
    // The owner the file named but lacks: model space instead.
    EXPECT_EQ(spline->ownerId(), r.db->modelSpaceId());

    std::string saved = roundTrip(text);
    EXPECT_NE(saved.find("SPLINE\n  5\n2A\n330\n"), std::string::npos);
    EXPECT_NE(saved.find(" 73\n4\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 10\n1.5\n"), std::string::npos);
    // The paper-space one says so once.
    std::size_t paper = saved.find("SPLINE\n  5\n2B\n");
    ASSERT_NE(paper, std::string::npos);
    std::string rest = saved.substr(paper, saved.find("\n  0\n", paper) - paper);
    EXPECT_EQ(rest.find(" 67\n1\n"), rest.rfind(" 67\n1\n"));
    EXPECT_NE(rest.find(" 67\n1\n"), std::string::npos);
}

TEST(DxfForeign, extension_dictionaries_and_unknown_objects_survive_with_their_references) {
    // The file's classes: the one of a kind still there is written back.
    std::string classes = dxf({{0, "SECTION"},
                               {2, "CLASSES"},
                               {0, "CLASS"},
                               {1, "MATERIAL"},
                               {2, "AcDbMaterial"},
                               {3, "ObjectDBX Classes"},
                               {90, "1153"},
                               {91, "1"},
                               {280, "0"},
                               {281, "0"},
                               {0, "CLASS"},
                               {1, "IMAGEDEF"},
                               {2, "AcDbRasterImageDef"},
                               {3, "ISM"},
                               {90, "0"},
                               {91, "0"},
                               {280, "0"},
                               {281, "0"},
                               {0, "ENDSEC"}});
    std::string text = kHead + classes +
                       dxf({{0, "SECTION"},
                            {2, "ENTITIES"},
                            {0, "LINE"},
                            {5, "30"},
                            {102, "{ACAD_XDICTIONARY"},
                            {360, "40"},
                            {102, "}"},
                            {100, "AcDbEntity"},
                            {8, "MURY"},
                            {100, "AcDbLine"},
                            {10, "1.0"},
                            {20, "2.0"},
                            {30, "0.0"},
                            {11, "4.0"},
                            {21, "6.0"},
                            {31, "0.0"},
                            {0, "ENDSEC"},
                            {0, "SECTION"},
                            {2, "OBJECTS"},
                            {0, "DICTIONARY"},
                            {5, "C"},
                            {330, "0"},
                            {100, "AcDbDictionary"},
                            {3, "MATERIALY"},
                            {350, "50"},
                            {0, "DICTIONARY"},
                            {5, "40"},
                            {330, "30"},
                            {100, "AcDbDictionary"},
                            {3, "NOTATKA"},
                            {360, "41"},
                            {0, "XRECORD"},
                            {5, "41"},
                            {330, "40"},
                            {100, "AcDbXrecord"},
                            {1, "przy linii"},
                            {0, "MATERIAL"},
                            {5, "50"},
                            {102, "{ACAD_XDICTIONARY"},
                            {360, "51"},
                            {102, "}"},
                            {330, "C"},
                            {100, "AcDbMaterial"},
                            {1, "Beton"},
                            {0, "DICTIONARY"},
                            {5, "51"},
                            {330, "50"},
                            {100, "AcDbDictionary"},
                            {0, "ENDSEC"}}) +
                       kEnd;
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 1u);
    auto* line = ZcDbLine::cast(objectOf(ids[0]));
    ASSERT_NE(line, nullptr);
    // The subclass groups after the extension dictionary are read.
    EXPECT_EQ(line->layer(), "MURY");
    EXPECT_TRUE(line->endPoint().isEqualTo(ZcGePoint3d(4, 6, 0)));
    ZcDbObjectId xdict = line->extensionDictionary();
    ASSERT_FALSE(xdict.isNull());
    auto* dict = ZcDbDictionary::cast(objectOf(xdict));
    ASSERT_NE(dict, nullptr);
    EXPECT_EQ(dict->ownerId(), ids[0]);
    ZcDbObjectId note;
    EXPECT_EQ(dict->getAt("NOTATKA", note), Zcad::eOk);

    std::string saved = roundTrip(text);
    EXPECT_NE(saved.find("102\n{ACAD_XDICTIONARY\n360\n40\n102\n}\n330\n"), std::string::npos);
    EXPECT_NE(saved.find("XRECORD\n  5\n41\n330\n40\n100\nAcDbXrecord\n  1\nprzy linii\n"),
              std::string::npos);
    EXPECT_NE(saved.find("MATERIAL\n  5\n50\n102\n{ACAD_XDICTIONARY\n360\n51\n102\n}\n"), std::string::npos);
    EXPECT_NE(saved.find("CLASS\n  1\nMATERIAL\n  2\nAcDbMaterial\n  3\nObjectDBX Classes\n 90\n1153\n"),
              std::string::npos);
    EXPECT_EQ(saved.find("IMAGEDEF"), std::string::npos);

    // An erased entity takes its extension dictionary and what it holds along.
    ZcDbLine* erased = nullptr;
    ASSERT_EQ(zcdbOpenObject(erased, ids[0], ZcDb::kForWrite), Zcad::eOk);
    erased->erase();
    erased->close();
    std::string after = host::writeDxfText(r.db.get(), r.vars.get());
    EXPECT_EQ(after.find("NOTATKA"), std::string::npos);
    EXPECT_EQ(after.find("przy linii"), std::string::npos);
    EXPECT_NE(after.find("Beton"), std::string::npos);
}

TEST(DxfForeign, records_of_older_formats_load) {
    // R14: a dimension style's 5 names its arrow block, 105 is its handle.
    std::string r14 = dxf({{0, "SECTION"},
                           {2, "HEADER"},
                           {9, "$ACADVER"},
                           {1, "AC1014"},
                           {0, "ENDSEC"},
                           {0, "SECTION"},
                           {2, "TABLES"},
                           {0, "TABLE"},
                           {2, "DIMSTYLE"},
                           {5, "A"},
                           {70, "1"},
                           {0, "DIMSTYLE"},
                           {105, "1D"},
                           {100, "AcDbSymbolTableRecord"},
                           {100, "AcDbDimStyleTableRecord"},
                           {2, "ARCH"},
                           {70, "0"},
                           {5, "_ARCHTICK"},
                           {0, "ENDTAB"},
                           {0, "ENDSEC"}}) +
                      kEnd;
    host::DxfLoadResult r = host::readDxfText(r14);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbObjectId style = r.db->recordId(r.db->dimStyleTableId(), "ARCH");
    ASSERT_FALSE(style.isNull());
    EXPECT_EQ(style.handle().ascii(), "1D");

    // R12 without handles: comments anywhere, spaces' blocks by their old
    // names, a multiple insert kept whole, bytes after the end ignored.
    std::string r12 =
        dxf({{999, "rysunek"},    {0, "SECTION"},     {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"},
             {0, "ENDSEC"},       {0, "SECTION"},     {2, "BLOCKS"}, {0, "BLOCK"},    {8, "0"},
             {2, "$MODEL_SPACE"}, {70, "0"},          {10, "0"},     {20, "0"},       {0, "ENDBLK"},
             {0, "BLOCK"},        {8, "0"},           {2, "OKNO"},   {70, "0"},       {10, "0"},
             {20, "0"},           {0, "LINE"},        {8, "0"},      {10, "0"},       {20, "0"},
             {11, "1"},           {21, "0"},          {0, "ENDBLK"}, {0, "ENDSEC"},   {0, "SECTION"},
             {2, "ENTITIES"},     {999, "komentarz"}, {0, "INSERT"}, {8, "0"},        {2, "OKNO"},
             {10, "5"},           {20, "5"},          {70, "3"},     {71, "2"},       {44, "2.0"},
             {45, "3.0"},         {0, "TRACE"},       {8, "0"},      {10, "0"},       {20, "0"},
             {11, "1"},           {21, "0"},          {12, "0"},     {22, "1"},       {13, "1"},
             {23, "1"},           {0, "ENDSEC"}}) +
        kEnd + "\x1a\x00 reszta";
    r = host::readDxfText(r12);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_TRUE(r.db->recordId(r.db->blockTableId(), "$MODEL_SPACE").isNull());
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 2u);
    auto* grid = ZcDbOpaqueEntity::cast(objectOf(ids[0]));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->dxfKind(), "INSERT");
    std::string saved = roundTrip(r12);
    // The 2013 format's subclass markers are added.
    EXPECT_NE(saved.find("100\nAcDbEntity\n  8\n0\n100\nAcDbMInsertBlock\n  2\nOKNO\n"), std::string::npos);
    EXPECT_NE(saved.find("100\nAcDbEntity\n  8\n0\n100\nAcDbTrace\n"), std::string::npos);
}

TEST(DxfForeign, binary_files_read_as_their_text) {
    std::string bin("AutoCAD Binary DXF\r\n\x1a\0", 22);
    auto code = [&](int c) { bin.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)}); };
    auto str = [&](int c, const char* s) {
        code(c);
        bin.append(s, std::strlen(s) + 1);
    };
    auto real = [&](int c, double v) {
        code(c);
        char b[8];
        std::memcpy(b, &v, 8);
        bin.append(b, 8);
    };
    str(0, "SECTION");
    str(2, "ENTITIES");
    str(0, "LINE");
    str(8, "MURY");
    real(10, 0.1);
    real(20, 2.0);
    real(30, 0.0);
    real(11, 1.0 / 3.0);
    real(21, 4.0);
    real(31, 0.0);
    str(0, "ENDSEC");
    str(0, "EOF");
    host::DxfLoadResult r = host::readDxfText(bin);
    ASSERT_TRUE(r.db) << r.error;
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 1u);
    auto* line = ZcDbLine::cast(objectOf(ids[0]));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->startPoint().x, 0.1);
    EXPECT_EQ(line->endPoint().x, 1.0 / 3.0);  // exactly: the text form reads back the same double

    r = host::readDxfText(std::string_view(bin).substr(0, bin.size() - 3));
    EXPECT_FALSE(r.db);
    EXPECT_EQ(r.error.rfind("DXF: plik binarny urwany", 0), 0u) << r.error;
    // Opened from a file, the file is named as a text file cut off is.
    r = host::readDxfText(std::string_view(bin).substr(0, bin.size() - 3), "plan.dxf");
    EXPECT_EQ(r.error.rfind("DXF: plik binarny plan.dxf urwany w grupie ", 0), 0u) << r.error;
}

TEST(DxfForeign, binary_strings_holding_line_ends_stay_one_value) {
    // What other readers see is one TEXT whose string holds line ends (and
    // text that would read as groups of its own were it split there).
    const std::string held[] = {"pierwsza\r\n  0\nLINE\n  8\nOBCA\ndruga", "a^\nb", "\n"};
    for (const std::string& value : held) {
        std::string bin("AutoCAD Binary DXF\r\n\x1a\0", 22);
        auto code = [&](int c) { bin.append({static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)}); };
        auto str = [&](int c, const std::string& s) {
            code(c);
            bin.append(s.c_str(), s.size() + 1);
        };
        auto real = [&](int c, double v) {
            code(c);
            char b[8];
            std::memcpy(b, &v, 8);
            bin.append(b, 8);
        };
        str(0, "SECTION");
        str(2, "ENTITIES");
        str(0, "TEXT");
        str(8, "OPISY");
        real(10, 1.0);
        real(20, 2.0);
        real(30, 0.0);
        real(40, 2.5);
        str(1, value);
        str(0, "ENDSEC");
        str(0, "EOF");
        host::DxfLoadResult r = host::readDxfText(bin);
        ASSERT_TRUE(r.db) << r.error;
        std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
        ASSERT_EQ(ids.size(), 1u) << value;
        auto* t = ZcDbText::cast(objectOf(ids[0]));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(std::string(t->textString()), value);
        // Saved, the line ends are the caret escapes of the text form, and
        // the text reads back as it was.
        const std::string saved = host::writeDxfText(r.db.get(), r.vars.get());
        EXPECT_EQ(saved.find("\nLINE\n"), std::string::npos);
        host::DxfLoadResult again = host::readDxfText(saved);
        ASSERT_TRUE(again.db) << again.error;
        ids = modelSpaceEntities(again.db.get());
        ASSERT_EQ(ids.size(), 1u);
        EXPECT_EQ(std::string(ZcDbText::cast(objectOf(ids[0]))->textString()), value);
    }
}

TEST(DxfForeign, text_is_decoded_by_code_page_and_escapes) {
    // 2000 format in Windows-1252: "voilà" (0xE0), and a letter the page
    // lacks as an escape; carets stand for control characters.
    std::string text = dxf({{0, "SECTION"},
                            {2, "HEADER"},
                            {9, "$ACADVER"},
                            {1, "AC1015"},
                            {9, "$DWGCODEPAGE"},
                            {3, "ANSI_1252"},
                            {0, "ENDSEC"},
                            {0, "SECTION"},
                            {2, "ENTITIES"},
                            {0, "TEXT"},
                            {8, "WARSTWA_\\U+0141"},
                            {10, "0"},
                            {20, "0"},
                            {40, "1"},
                            {1, "voil\xE0^Jdwa ^ i x^2"},
                            {0, "ENDSEC"}}) +
                       kEnd;
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    auto* t = ZcDbText::cast(objectOf(modelSpaceEntities(r.db.get()).at(0)));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->layer(), "WARSTWA_Ł");
    // "^ " is a caret itself.
    EXPECT_EQ(std::string(t->textString()), "voilà\ndwa ^i x^2");
    std::string saved = roundTrip(text);
    EXPECT_NE(saved.find("voilà^Jdwa ^i x^2\n"), std::string::npos);

    // The same bytes in Windows-1250 are other letters.
    std::string cp1250 = text;
    cp1250.replace(cp1250.find("ANSI_1252"), 9, "ANSI_1250");
    r = host::readDxfText(cp1250);
    ASSERT_TRUE(r.db) << r.error;
    t = ZcDbText::cast(objectOf(modelSpaceEntities(r.db.get()).at(0)));
    EXPECT_EQ(std::string(t->textString()).substr(0, 6), "voilŕ");

    std::string s = "a^ b\\U+00e9\\U+zz^@";
    EXPECT_TRUE(host::dxf::decodeTextEscapes(s));
    EXPECT_EQ(s, "a^b\xC3\xA9\\U+zz^@");
    EXPECT_EQ(host::dxf::codePageNumber("ANSI_1251"), 1251);
    EXPECT_EQ(host::dxf::codePageNumber("ANSI_936"), 0);
}

TEST(DxfForeign, only_what_the_format_cannot_hold_is_lost_and_counted) {
    // An entity kind among the objects, twice, and a record of an unknown table.
    std::string text = kHead +
                       dxf({{0, "SECTION"},
                            {2, "TABLES"},
                            {0, "TABLE"},
                            {2, "INNA"},
                            {0, "INNY"},
                            {2, "X"},
                            {0, "ENDTAB"},
                            {0, "ENDSEC"},
                            {0, "SECTION"},
                            {2, "OBJECTS"},
                            {0, "DICTIONARY"},
                            {5, "C"},
                            {100, "AcDbDictionary"},
                            {0, "LINE"},
                            {5, "60"},
                            {0, "LINE"},
                            {5, "61"},
                            {0, "ENDSEC"}}) +
                       kEnd;
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    ASSERT_EQ(r.notes.size(), 2u);
    EXPECT_EQ(r.notes[0], "DXF: pominięto obiekty typu INNY: 1");
    EXPECT_EQ(r.notes[1], "DXF: pominięto obiekty typu LINE: 2");
}

TEST(DxfForeign, an_opaque_entity_copies_and_undoes_whole) {
    host::DxfLoadResult r = host::readDxfText(entities(kSpline));
    ASSERT_TRUE(r.db) << r.error;
    auto* spline = ZcDbOpaqueEntity::cast(objectOf(modelSpaceEntities(r.db.get()).at(0)));
    ASSERT_NE(spline, nullptr);
    std::unique_ptr<ZcDbObject> copy(spline->clone());
    auto* same = ZcDbOpaqueEntity::cast(copy.get());
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->dxfKind(), "SPLINE");
    EXPECT_EQ(same->items(), spline->items());
    EXPECT_EQ(same->layer(), "KRZYWE");
}

TEST(DxfForeign, a_multiple_insert_keeps_its_attributes_in_order) {
    std::string text = entities(dxf({{0, "INSERT"},
                                     {5, "70"},
                                     {100, "AcDbEntity"},
                                     {8, "0"},
                                     {100, "AcDbMInsertBlock"},
                                     {66, "1"},
                                     {2, "OKNO"},
                                     {10, "1.0"},
                                     {20, "2.0"},
                                     {30, "0.0"},
                                     {70, "3"},
                                     {71, "2"},
                                     {0, "ATTRIB"},
                                     {5, "71"},
                                     {330, "70"},
                                     {100, "AcDbEntity"},
                                     {8, "0"},
                                     {100, "AcDbText"},
                                     {10, "1.0"},
                                     {20, "2.0"},
                                     {30, "0.0"},
                                     {40, "1.0"},
                                     {1, "7"},
                                     {100, "AcDbAttribute"},
                                     {2, "NR"},
                                     {70, "0"},
                                     {0, "SEQEND"},
                                     {100, "AcDbEntity"},
                                     {8, "0"},
                                     {0, "LINE"},
                                     {5, "72"},
                                     {100, "AcDbEntity"},
                                     {8, "0"},
                                     {100, "AcDbLine"},
                                     {10, "0"},
                                     {20, "0"},
                                     {11, "1"},
                                     {21, "1"}}));
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 2u);
    auto* grid = ZcDbOpaqueEntity::cast(objectOf(ids[0]));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->followers().size(), 2u);
    EXPECT_NE(ZcDbLine::cast(objectOf(ids[1])), nullptr);
    std::string saved = roundTrip(text);
    std::size_t insert = saved.find("INSERT\n  5\n70\n");
    std::size_t attrib = saved.find("ATTRIB\n  5\n71\n330\n70\n");
    std::size_t seqend = saved.find("SEQEND\n  5\n", attrib);
    std::size_t line = saved.find("LINE\n  5\n72\n");
    ASSERT_NE(insert, std::string::npos);
    ASSERT_NE(attrib, std::string::npos);
    ASSERT_NE(seqend, std::string::npos);
    EXPECT_LT(insert, attrib);
    EXPECT_LT(seqend, line);
    // The follower without a handle got one, and names its owner.
    EXPECT_NE(saved.substr(seqend, 40).find("\n330\n70\n"), std::string::npos);
}

namespace {

std::vector<std::string> handlesInXdata(ZcDbObject* obj, const char* app) {
    std::vector<std::string> out;
    resbuf* list = obj->xData(app);
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1005) out.emplace_back(rb->resval.rstring);
    zcutRelRb(list);
    return out;
}

}  // namespace

TEST(DxfForeign, xdata_handles_follow_their_object_when_it_moves_off_a_taken_handle) {
    // Handle 1 is the fresh database's own: the line holding it moves, and
    // the handles in the other line's xdata follow it; a handle of an
    // object that kept its own, and one of no object at all, stay as written.
    const std::string text =
        entities(dxf({{0, "LINE"},     {5, "1"},    {8, "0"},     {10, "0"},     {20, "0"}, {30, "0"},
                      {11, "5"},       {21, "0"},   {31, "0"},    {0, "LINE"},   {5, "2b"}, {8, "0"},
                      {10, "0"},       {20, "1"},   {30, "0"},    {11, "5"},     {21, "1"}, {31, "0"},
                      {1001, "VELM7"}, {1005, "1"}, {1005, "2b"}, {1005, "FFFF"}}));
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    std::vector<ZcDbObjectId> ms = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ms.size(), 2u);
    const std::string moved = ms[0].handle().ascii();
    EXPECT_NE(moved, "1");
    EXPECT_EQ(ms[1].handle().ascii(), "2B");
    EXPECT_EQ(handlesInXdata(objectOf(ms[1]), "VELM7"), (std::vector<std::string>{moved, "2b", "FFFF"}));

    // Saved and read again, they still name the same line.
    std::string once = roundTrip(text);
    host::DxfLoadResult again = host::readDxfText(once);
    ASSERT_TRUE(again.db) << again.error;
    ms = modelSpaceEntities(again.db.get());
    ASSERT_EQ(ms.size(), 2u);
    EXPECT_EQ(handlesInXdata(objectOf(ms[1]), "VELM7")[0], ms[0].handle().ascii());
}

TEST(DxfForeign, block_markers_keep_their_handles_and_new_blocks_get_lasting_ones) {
    const std::string text =
        kHead + dxf({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"},  {5, "7A"}, {8, "0"},    {2, "ZNAK"},
                     {70, "0"},      {10, "0"},     {20, "0"},     {30, "0"}, {3, "ZNAK"}, {0, "LINE"},
                     {5, "7B"},      {8, "0"},      {10, "0"},     {20, "0"}, {30, "0"},   {11, "1"},
                     {21, "1"},      {31, "0"},     {0, "ENDBLK"}, {5, "7C"}, {8, "0"},    {0, "ENDSEC"}}) +
        dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "ENDSEC"}}) + kEnd;
    const std::string once = roundTrip(text);
    const std::string blocks = sectionOf(once, "BLOCKS");
    EXPECT_NE(blocks.find("  0\nBLOCK\n  5\n7A\n"), std::string::npos) << blocks;
    EXPECT_NE(blocks.find("  0\nENDBLK\n  5\n7C\n"), std::string::npos) << blocks;

    // Blocks made in the session (the two spaces here) get handles at the
    // first save that every later save repeats, and no object takes them.
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db);
    const std::string first = host::writeDxfText(r.db.get(), r.vars.get());
    auto* line = new ZcDbLine({0, 0, 0}, {1, 0, 0});
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ms->appendZcDbEntity(line);
    const std::string lineHandle = line->objectId().handle().ascii();
    line->close();
    ms->close();
    const std::string second = host::writeDxfText(r.db.get(), r.vars.get());
    EXPECT_EQ(sectionOf(first, "BLOCKS"), sectionOf(second, "BLOCKS"));
    EXPECT_EQ(sectionOf(second, "BLOCKS").find("\n  5\n" + lineHandle + "\n"), std::string::npos);
}

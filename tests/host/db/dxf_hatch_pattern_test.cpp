// The pattern lines a saved hatch carries: those of a hatch made here follow
// its pattern file, turned and scaled as other readers expect them; those a
// file brought come back out as they came, and turn with the hatch. The
// drawing of the first test is also left for the independent reader
// (check_hatch_header_ezdxf.py).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>

#include "host/db/dbhatch.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/util/findfile.h"
#include "tests/host/db/db_test_util.h"
#include "tests/host/win_testdir.h"

namespace {

constexpr double kPi = std::numbers::pi;

void addEntity(ZcDbDatabase& db, ZcDbEntity* ent) {
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ms->appendZcDbEntity(ent);
    ent->close();
    ms->close();
}

ZcDbHatch* squareHatch(ZcDbHatch::HatchPatternType type, const std::string& pattern, double scale,
                       double angle, double x0) {
    auto* h = new ZcDbHatch;
    h->setPattern(type, pattern);
    h->setPatternScale(scale);
    h->setPatternAngle(angle);
    h->appendLoop(ZcDbHatch::kExternal, {{x0, 0}, {x0 + 100, 0}, {x0 + 100, 100}, {x0, 100}});
    return h;
}

ZcDbHatch* hatchAt(ZcDbDatabase* db, std::size_t i) {
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(db);
    if (i >= ids.size()) return nullptr;
    return ZcDbHatch::cast(ids[i].stub()->object.get());
}

// The pattern data of the first hatch in a file: from group 78 to the seed count.
std::string patternData(const std::string& text) {
    std::size_t hatch = text.find("\nHATCH\n");
    std::size_t from = text.find("\n 78\n", hatch);
    std::size_t to = text.find("\n 98\n", from);
    return hatch == std::string::npos || from == std::string::npos ? std::string()
                                                                   : text.substr(from, to - from);
}

class DxfHatchPattern : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("zwcadiso.pat",
                  "*ANSI31, diagonal\n45, 0,0, 0,3.175\n"
                  "*DASHED, dashes\n0, 1,2, 0.5,10, 6,-4\n");
        dir.write("TILES.pat", "*TILES, custom\n0, 0,0, 0,25\n90, 0,0, 25,10, 25,-25\n");
        host::setSupportFolders({dir.path("")});
    }
    void TearDown() override { host::setSupportFolders({}); }
    TestDir dir;
};

// A foreign hatch with two pattern lines of awkward values.
const char* kForeignHatch =
    "0\nSECTION\n2\nENTITIES\n"
    "0\nHATCH\n5\n2A\n100\nAcDbEntity\n8\n0\n100\nAcDbHatch\n10\n0.0\n20\n0.0\n30\n0.0\n"
    "210\n0.0\n220\n0.0\n230\n1.0\n2\nFOREIGN\n70\n0\n71\n0\n91\n1\n92\n3\n72\n0\n73\n1\n93\n4\n"
    "10\n0.0\n20\n0.0\n10\n10.0\n20\n0.0\n10\n10.0\n20\n10.0\n10\n0.0\n20\n10.0\n97\n0\n"
    "75\n1\n76\n1\n52\n0.0\n41\n1.0\n77\n0\n78\n2\n"
    "53\n90.00000000000189\n43\n0.1234567890123\n44\n-2.5\n45\n-1.7320508075688772\n46\n1.0000000000000002\n"
    "79\n2\n49\n3.3\n49\n-1.1\n"
    "53\n37.00000000000001\n43\n0.0\n44\n0.0\n45\n0.5\n46\n0.25\n79\n0\n"
    "98\n0\n0\nENDSEC\n0\nEOF\n";

}  // namespace

TEST_F(DxfHatchPattern, lines_of_a_hatch_made_here_are_its_patterns_turned_and_scaled) {
    ZcDbDatabase db;
    addEntity(db, squareHatch(ZcDbHatch::kPreDefined, "ANSI31", 2.0, kPi / 6, 0));
    addEntity(db, squareHatch(ZcDbHatch::kPreDefined, "DASHED", 2.0, kPi / 2, 200));
    addEntity(db, squareHatch(ZcDbHatch::kCustomDefined, "TILES", 0.5, 0.0, 400));
    ZcDbHatch* user = squareHatch(ZcDbHatch::kUserDefined, "_USER", 5.0, kPi / 4, 600);
    user->setPatternDouble(true);
    addEntity(db, user);
    addEntity(db, squareHatch(ZcDbHatch::kPreDefined, "SOLID", 1.0, 0.0, 800));

    std::vector<ZcDbHatch::DefinitionLine> lines = hatchAt(&db, 0)->definitionLines();
    ASSERT_EQ(lines.size(), 1u);
    // 45° of the pattern and 30° of the hatch; the step 3.175 across the lines, doubled.
    EXPECT_NEAR(lines[0].angle, 75 * kPi / 180, 1e-12);
    EXPECT_NEAR(lines[0].offset.x, -6.35 * std::sin(75 * kPi / 180), 1e-12);
    EXPECT_NEAR(lines[0].offset.y, 6.35 * std::cos(75 * kPi / 180), 1e-12);

    lines = hatchAt(&db, 1)->definitionLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].angle, kPi / 2, 1e-12);
    EXPECT_NEAR(lines[0].base.x, -4, 1e-12);  // (1, 2) turned a right angle, doubled
    EXPECT_NEAR(lines[0].base.y, 2, 1e-12);
    EXPECT_NEAR(lines[0].offset.x, -20, 1e-12);  // 0.5 along and 10 across, turned
    EXPECT_NEAR(lines[0].offset.y, 1, 1e-12);
    EXPECT_EQ(lines[0].dashes, (std::vector<double>{12, -8}));

    EXPECT_EQ(hatchAt(&db, 2)->definitionLines().size(), 2u);
    lines = hatchAt(&db, 3)->definitionLines();
    ASSERT_EQ(lines.size(), 2u);  // user-defined and double: two families, 5 apart
    EXPECT_NEAR(lines[1].angle - lines[0].angle, kPi / 2, 1e-12);
    for (const auto& l : lines) EXPECT_NEAR(l.offset.length(), 5.0, 1e-12);
    EXPECT_TRUE(hatchAt(&db, 4)->definitionLines().empty());

    // Saved and read back, the lines are kept as the file gives them and
    // the next save writes the same bytes.
    // The header of the file left for the other reader says a colour and an angle.
    host::MemorySysVarStore vars;
    vars.store("CECOLOR", std::string("3"));
    vars.store("ANGBASE", kPi / 4);
    const std::string text = host::writeDxfText(&db, &vars);
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    for (std::size_t i = 0; i < 4; ++i) {
        ZcDbHatch* h = hatchAt(r.db.get(), i);
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(h->keepsDefinitionLines()) << i;
        EXPECT_EQ(h->definitionLines().size(), hatchAt(&db, i)->definitionLines().size());
    }
    const std::string again = host::writeDxfText(r.db.get(), r.vars.get());
    EXPECT_EQ(again.substr(again.find("ENDSEC")), text.substr(text.find("ENDSEC")));
    std::ofstream(std::string(VELM_BINARY_DIR) + "/host_hatch_patterns.dxf", std::ios::binary) << text;
}

TEST_F(DxfHatchPattern, lines_a_file_brought_are_written_back_as_they_came_and_turn_with_the_hatch) {
    host::DxfLoadResult r = host::readDxfText(kForeignHatch);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbHatch* h = hatchAt(r.db.get(), 0);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(h->keepsDefinitionLines());
    ASSERT_EQ(h->keptDefinitionLines().size(), 2u);
    EXPECT_EQ(h->keptDefinitionLines()[0].dashes, (std::vector<double>{3.3, -1.1}));

    const std::string saved = host::writeDxfText(r.db.get(), r.vars.get());
    std::string expected = kForeignHatch;
    expected = expected.substr(expected.find("\n78\n"), expected.find("\n98\n") - expected.find("\n78\n"));
    std::string got = patternData(saved);
    // The same groups and the very same numbers, the codes right-aligned.
    for (const char* code :
         {"\n 78\n", "\n 53\n", "\n 43\n", "\n 44\n", "\n 45\n", "\n 46\n", "\n 79\n", "\n 49\n"}) {
        std::string plain = std::string("\n") + (code + 2);
        for (std::size_t at; (at = got.find(code)) != std::string::npos;) got.replace(at, 5, plain);
    }
    EXPECT_EQ(got, expected);

    // Turned a right angle and doubled: the lines turn and grow with it.
    ZcDbHatch copy;
    ZcDbDwgFiler filer;
    ASSERT_EQ(h->dwgOutFields(&filer), Zcad::eOk);
    filer.seekStart();
    ASSERT_EQ(copy.dwgInFields(&filer), Zcad::eOk);
    ASSERT_TRUE(copy.keepsDefinitionLines());
    ASSERT_EQ(copy.keptDefinitionLines().size(), 2u);
    EXPECT_EQ(copy.keptDefinitionLines()[0].base.x, h->keptDefinitionLines()[0].base.x);
    ASSERT_EQ(copy.transformBy(ZcDbXform::rotation(kPi / 2, ZcGeVector3d(0, 0, 1))), Zcad::eOk);
    ASSERT_EQ(copy.transformBy(ZcDbXform::scaling(2.0)), Zcad::eOk);
    const ZcDbHatch::DefinitionLine& before = h->keptDefinitionLines()[0];
    const ZcDbHatch::DefinitionLine& after = copy.keptDefinitionLines()[0];
    EXPECT_NEAR(after.angle, before.angle + kPi / 2, 1e-12);
    EXPECT_NEAR(after.base.x, -2 * before.base.y, 1e-12);
    EXPECT_NEAR(after.base.y, 2 * before.base.x, 1e-12);
    EXPECT_NEAR(after.offset.x, -2 * before.offset.y, 1e-12);
    EXPECT_NEAR(after.dashes[0], 6.6, 1e-12);

    // A new pattern drops what the file said: its lines are the pattern file's.
    copy.setPattern(ZcDbHatch::kPreDefined, "ANSI31");
    EXPECT_FALSE(copy.keepsDefinitionLines());
    EXPECT_EQ(copy.definitionLines().size(), 1u);
}

// Drawings other programs write wrong, each fault alone in a small file of
// tests/data/dxf: the file loads with every entity, each repair is named
// with its line, and the saved drawing loads back the same with nothing
// left to mend. (The corpus round trip has the independent reader audit
// the same files after they went through the host program.)
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "host/db/dbdim.h"
#include "host/db/dbmain.h"
#include "host/db/dbopaque.h"
#include "host/db/dxffile.h"
#include "tests/host/db/db_test_util.h"

namespace {

host::DxfLoadResult loadSample(const std::string& name) {
    return host::loadDxf(std::string(VELM_SOURCE_DIR) + "/tests/data/dxf/" + name);
}

// Entity kinds of the model space and their counts.
std::map<std::string, int> kinds(ZcDbDatabase* db) {
    std::map<std::string, int> out;
    for (ZcDbObjectId id : modelSpaceEntities(db)) ++out[zcdbDxfKindOf(id.stub()->object.get())];
    return out;
}

bool anyLineHas(const std::vector<std::string>& lines, const std::string& what) {
    for (const std::string& l : lines)
        if (l.find(what) != std::string::npos) return true;
    return false;
}

// Saved and read again: the same entities, no repair needed any more.
void expectCleanRoundTrip(const host::DxfLoadResult& first) {
    std::string text = host::writeDxfText(first.db.get(), first.vars.get());
    host::DxfLoadResult again = host::readDxfText(text);
    ASSERT_TRUE(again.db) << again.error;
    EXPECT_TRUE(again.repairs.empty()) << again.repairs.front();
    EXPECT_EQ(kinds(again.db.get()), kinds(first.db.get()));
}

// Every handle the text names in a reference group is one of its objects'.
void expectEveryReferenceResolves(const std::string& text) {
    std::vector<std::pair<int, std::string>> pairs;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t a = text.find('\n', pos);
        std::size_t b = text.find('\n', a + 1);
        if (a == std::string::npos || b == std::string::npos) break;
        pairs.emplace_back(std::stoi(text.substr(pos, a - pos)), text.substr(a + 1, b - a - 1));
        pos = b + 1;
    }
    std::map<std::string, bool> defined;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].first == 5 || pairs[i].first == 105) defined[pairs[i].second] = true;
    }
    for (const auto& [code, value] : pairs) {
        bool pointer = (code >= 330 && code <= 369) || (code >= 390 && code <= 399);
        if (!pointer || value == "0") continue;
        EXPECT_TRUE(defined.count(value)) << code << " names " << value << ", which no object has";
    }
}

}  // namespace

TEST(DxfRepair, coordinates_grouped_by_axis_pair_up_by_code) {
    host::DxfLoadResult r = loadSample("hand_r10_coordinates_by_code.dxf");
    ASSERT_TRUE(r.db) << r.error;
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 3u);
    auto* line = ZcDbLine::cast(ids[0].stub()->object.get());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->startPoint().isEqualTo(ZcGePoint3d(1, 2, 0)));
    EXPECT_TRUE(line->endPoint().isEqualTo(ZcGePoint3d(7, 5, 0)));
    auto* text = ZcDbText::cast(ids[1].stub()->object.get());
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->position().isEqualTo(ZcGePoint3d(3, 4, 0)));
    EXPECT_EQ(text->textString(), std::string("Parter"));
    // The usual order beside them reads as always.
    auto* plain = ZcDbLine::cast(ids[2].stub()->object.get());
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->endPoint().isEqualTo(ZcGePoint3d(2, 3, 0)));
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, names_and_blanks_where_handles_belong_get_fresh_handles_and_no_reference) {
    host::DxfLoadResult r = loadSample("hand_handles_not_hex.dxf");
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_EQ(kinds(r.db.get()), (std::map<std::string, int>{{"CIRCLE", 1}, {"LINE", 2}}));
    // The style named "Standard" by its handle, the blank line handle, the
    // circle's "Model"; the owner "Standard" of the second line is none.
    ASSERT_EQ(r.repairs.size(), 4u);
    EXPECT_TRUE(anyLineHas(r.repairs, "zły uchwyt \"Standard\" obiektu STYLE: nadano nowy uchwyt"));
    EXPECT_TRUE(anyLineHas(r.repairs, "zły uchwyt \"\" obiektu LINE: nadano nowy uchwyt"));
    EXPECT_TRUE(anyLineHas(r.repairs, "zły uchwyt \"Model\" obiektu CIRCLE"));
    EXPECT_TRUE(anyLineHas(r.repairs, "odwołanie \"Standard\" (kod 330) nie jest uchwytem: pominięte"));
    // Each object its own handle, none of them one the file gave another.
    std::map<std::uint64_t, int> seen;
    for (ZcDbObjectId id : r.db->allObjectIds()) ++seen[id.handle().value()];
    for (const auto& [h, n] : seen) EXPECT_EQ(n, 1) << std::hex << h;
    EXPECT_FALSE(r.db->recordId(r.db->textStyleTableId(), "Standard").isNull());
    EXPECT_FALSE(r.db->recordId(r.db->textStyleTableId(), "Opisy").isNull());
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, a_second_object_of_a_handle_gets_a_fresh_one) {
    host::DxfLoadResult r = loadSample("hand_duplicate_handles.dxf");
    ASSERT_TRUE(r.db) << r.error;
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[0].handle().value(), 0x2Au);
    EXPECT_NE(ids[1].handle().value(), 0x2Au);
    EXPECT_EQ(ids[2].handle().value(), 0x2Bu);
    auto* second = ZcDbLine::cast(ids[1].stub()->object.get());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->startPoint().isEqualTo(ZcGePoint3d(0, 2, 0)));
    ASSERT_EQ(r.repairs.size(), 1u);
    EXPECT_EQ(r.repairs[0], "DXF: wiersz 46: powtórzony uchwyt 2A obiektu LINE: nadano nowy uchwyt " +
                                ids[1].handle().ascii());
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, a_repeated_style_name_is_kept_where_referred_to_and_an_unnamed_shape_style_stays) {
    host::DxfLoadResult r = loadSample("hand_style_repeated_names.dxf");
    ASSERT_TRUE(r.db) << r.error;
    ZcDbTextStyleTable* styles = nullptr;
    ASSERT_EQ(zcdbOpenObject(styles, r.db->textStyleTableId(), ZcDb::kForRead), Zcad::eOk);
    std::vector<ZcDbObjectId> ids = styles->recordIds();
    styles->close();
    std::map<std::string, std::string> fontOf;
    int unnamedShapes = 0;
    for (ZcDbObjectId id : ids) {
        auto* st = ZcDbTextStyleTableRecord::cast(id.stub()->object.get());
        ASSERT_NE(st, nullptr);
        if (st->name().empty())
            ++unnamedShapes;
        else
            fontOf[st->name()] = st->fileName();
    }
    EXPECT_EQ(unnamedShapes, 1);
    // The first "Opisy" answers to its name; the second, which the line's
    // xdata names by handle, is there under a name of its own; the third,
    // named by nothing, is left out.
    EXPECT_EQ(fontOf["Opisy"], "arial.ttf");
    EXPECT_EQ(fontOf["Opisy_2"], "romans.shx");
    EXPECT_EQ(fontOf.count("OPISY_3"), 0u);
    EXPECT_EQ(r.db->objectIdOf(ZcDbHandle(0x41)), r.db->recordId(r.db->textStyleTableId(), "Opisy_2"));
    ASSERT_EQ(r.repairs.size(), 2u);
    EXPECT_TRUE(anyLineHas(r.repairs, "powtórzony rekord STYLE \"Opisy\": zachowany jako \"Opisy_2\""));
    EXPECT_TRUE(anyLineHas(r.repairs, "powtórzony rekord STYLE \"OPISY\": pominięty"));
    EXPECT_EQ(kinds(r.db.get()), (std::map<std::string, int>{{"LINE", 1}, {"TEXT", 1}}));
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, a_record_without_its_table_and_stray_groups_are_read_around) {
    host::DxfLoadResult r = loadSample("hand_sections_out_of_place.dxf");
    ASSERT_TRUE(r.db) << r.error;
    ZcDbObjectId block = r.db->recordId(r.db->blockTableId(), "OKNO");
    ASSERT_FALSE(block.isNull());
    EXPECT_EQ(block.handle().value(), 0x60u);
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 2u);
    auto* ref = ZcDbBlockReference::cast(ids[1].stub()->object.get());
    ASSERT_NE(ref, nullptr);
    EXPECT_EQ(ref->blockTableRecord(), block);
    ASSERT_EQ(r.repairs.size(), 2u);
    EXPECT_TRUE(
        anyLineHas(r.repairs, "rekord BLOCK_RECORD bez nagłówka TABLE: dodany do tabeli BLOCK_RECORD"));
    EXPECT_TRUE(
        anyLineHas(r.repairs, "grupa kodu 9 poza rekordem (ENTITIES): pominięto do następnego rekordu"));
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, layouts_naming_records_that_got_fresh_handles_name_them_after_the_save) {
    host::DxfLoadResult r = loadSample("hand_r12_layouts_name_records_by_handle.dxf");
    ASSERT_TRUE(r.db) << r.error;
    for (const char* space : {"*Model_Space", "*Paper_Space"}) {
        ZcDbObjectId bid = r.db->recordId(r.db->blockTableId(), space);
        auto* btr = ZcDbBlockTableRecord::cast(bid.stub()->object.get());
        ASSERT_NE(btr, nullptr) << space;
        auto* layout = ZcDbOpaqueObject::cast(btr->getLayoutId().stub()->object.get());
        ASSERT_NE(layout, nullptr) << space;
        ZcDbObjectId named;
        bool inLayout = false;
        for (const ZcDbDxfItem& it : layout->items()) {
            if (it.code == 100) inLayout = it.text == "AcDbLayout";
            if (inLayout && it.code == 330) named = it.id;
        }
        EXPECT_EQ(named, bid) << space;
    }
    EXPECT_EQ(r.repairs.size(), 2u);
    EXPECT_TRUE(anyLineHas(r.repairs, "układ \"Layout1\": nadano mu jego blok \"*Paper_Space\""));
    std::string saved = host::writeDxfText(r.db.get(), r.vars.get());
    expectEveryReferenceResolves(saved);
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, line_weights_and_ellipses_are_written_as_the_format_has_them) {
    host::DxfLoadResult r = loadSample("hand_weights_and_ellipses.dxf");
    ASSERT_TRUE(r.db) << r.error;
    std::string saved = host::writeDxfText(r.db.get(), r.vars.get());
    // 33 between 30 and 35, 4 below the lightest, 250 past the heaviest.
    EXPECT_NE(saved.find("\n370\n35\n"), std::string::npos);
    EXPECT_NE(saved.find("\n370\n5\n"), std::string::npos);
    EXPECT_NE(saved.find("\n370\n211\n"), std::string::npos);
    EXPECT_EQ(saved.find("\n370\n33\n"), std::string::npos);
    // The ellipses: the same curves with the ratio within (0, 1].
    std::vector<ZcDbObjectId> ids = modelSpaceEntities(r.db.get());
    ASSERT_EQ(ids.size(), 4u);
    struct Curve {
        ZcGePoint3d centre;
        ZcGeVector3d major;
        double ratio, start, end;
    };
    auto curveOf = [](ZcDbObjectId id) {
        Curve c{};
        auto* e = ZcDbOpaqueEntity::cast(id.stub()->object.get());
        EXPECT_NE(e, nullptr);
        if (!e) return c;
        for (const ZcDbDxfItem& it : e->items()) {
            if (it.code == 10) c.centre = ZcGePoint3d(it.real[0], it.real[1], it.real[2]);
            if (it.code == 11) c.major = ZcGeVector3d(it.real[0], it.real[1], it.real[2]);
            if (it.code == 40) c.ratio = it.real[0];
            if (it.code == 41) c.start = it.real[0];
            if (it.code == 42) c.end = it.real[0];
        }
        return c;
    };
    auto pointAt = [](const Curve& c, double t) {
        ZcGeVector3d minor = c.ratio * ZcGeVector3d(0, 0, 1).crossProduct(c.major);
        return c.centre + std::cos(t) * c.major + std::sin(t) * minor;
    };
    Curve whole = curveOf(ids[2]), part = curveOf(ids[3]);
    for (const Curve& c : {whole, part}) {
        EXPECT_GT(c.ratio, 0.0);
        EXPECT_LE(c.ratio, 1.0);
        EXPECT_GE(c.start, 0.0);
        EXPECT_LE(c.end, 2 * std::numbers::pi);
    }
    // The whole one: major axis 2 along X, ratio 2 in the file: 4 along Y.
    EXPECT_NEAR(whole.major.length(), 4.0, 1e-12);
    EXPECT_NEAR(whole.ratio, 0.5, 1e-12);
    EXPECT_NEAR(whole.end - whole.start, 2 * std::numbers::pi, 1e-12);
    // The part: its ends where the file's parameters put them.
    Curve asRead{ZcGePoint3d(20, 0, 0), ZcGeVector3d(0, 1, 0), 3.0, 1.0, 5.0};
    EXPECT_LT(pointAt(part, part.start).distanceTo(pointAt(asRead, 1.0)), 1e-9);
    EXPECT_LT(pointAt(part, part.end).distanceTo(pointAt(asRead, 5.0)), 1e-9);
    expectCleanRoundTrip(r);
}

TEST(DxfRepair, a_section_ended_twice_loads_with_the_stray_end_named) {
    host::DxfLoadResult r = loadSample("hand_entities_ended_twice.dxf");
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_EQ(kinds(r.db.get()), (std::map<std::string, int>{{"LINE", 1}, {"TEXT", 1}}));
    ASSERT_EQ(r.repairs.size(), 1u);
    EXPECT_TRUE(anyLineHas(r.repairs, "wiersz 67: ENDSEC poza sekcją")) << r.repairs.front();
    expectCleanRoundTrip(r);
}

// Layouts left in no dictionary and of no block are layouts again: each in
// the layouts' dictionary under its name, with a paper-space block of its
// own naming it and named by it.
TEST(DxfRepair, layouts_without_owner_or_block_are_entered_and_given_their_blocks) {
    host::DxfLoadResult r = loadSample("hand_layouts_without_owner_or_block.dxf");
    ASSERT_TRUE(r.db) << r.error;
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(r.db->getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
    ZcDbObjectId layoutsId;
    ASSERT_EQ(nod->getAt("ACAD_LAYOUT", layoutsId), Zcad::eOk);
    nod->close();
    auto* layouts = ZcDbDictionary::cast(layoutsId.stub()->object.get());
    ASSERT_NE(layouts, nullptr);
    for (const char* name : {"Model", "Arkusz1", "Arkusz2", "Arkusz3", "Stary"}) {
        ZcDbObjectId lid;
        ASSERT_EQ(layouts->getAt(name, lid), Zcad::eOk) << name;
        auto* layout = ZcDbOpaqueObject::cast(lid.stub()->object.get());
        ASSERT_NE(layout, nullptr) << name;
        EXPECT_EQ(layout->ownerId(), layoutsId) << name;
        ZcDbObjectId named;
        bool inLayout = false;
        for (const ZcDbDxfItem& it : layout->items()) {
            if (it.code == 100) inLayout = it.text == "AcDbLayout";
            if (inLayout && it.code == 330) named = it.id;
        }
        auto* btr = named.isNull() ? nullptr : ZcDbBlockTableRecord::cast(named.stub()->object.get());
        ASSERT_NE(btr, nullptr) << name;
        EXPECT_EQ(btr->getLayoutId(), lid) << name;
    }
    EXPECT_TRUE(anyLineHas(r.repairs, "układ \"Stary\": nadano mu nowy blok \"*Paper_Space3\""));
    std::string saved = host::writeDxfText(r.db.get(), r.vars.get());
    expectEveryReferenceResolves(saved);
    expectCleanRoundTrip(r);
}

// Three dimension blocks whose records, BLOCKs and contents repeat one
// handle each: every block keeps its own line, every dimension its block.
TEST(DxfRepair, repeated_handles_leave_each_dimension_its_own_block) {
    host::DxfLoadResult r = loadSample("hand_dimensions_duplicate_handles.dxf");
    ASSERT_TRUE(r.db) << r.error;
    const std::map<std::string, double> heights = {{"*D1", 0.0}, {"*D2", 5.0}, {"*D3", 10.0}};
    for (const auto& [name, y] : heights) {
        ZcDbObjectId bid = r.db->recordId(r.db->blockTableId(), name);
        auto* btr = bid.isNull() ? nullptr : ZcDbBlockTableRecord::cast(bid.stub()->object.get());
        ASSERT_NE(btr, nullptr) << name;
        const std::vector<ZcDbObjectId> ids = btr->entityIds();
        ASSERT_EQ(ids.size(), 1u) << name;
        auto* line = ZcDbLine::cast(ids[0].stub()->object.get());
        ASSERT_NE(line, nullptr) << name;
        EXPECT_EQ(line->startPoint().y, y) << name;
    }
    std::vector<std::string> blocks;
    for (ZcDbObjectId id : modelSpaceEntities(r.db.get()))
        if (auto* dim = ZcDbDimension::cast(id.stub()->object.get())) {
            auto* btr = ZcDbBlockTableRecord::cast(dim->dimBlockId().stub()->object.get());
            blocks.push_back(btr ? btr->name() : "");
        }
    EXPECT_EQ(blocks, (std::vector<std::string>{"*D1", "*D2", "*D3"}));
    expectEveryReferenceResolves(host::writeDxfText(r.db.get(), r.vars.get()));
    expectCleanRoundTrip(r);
}

// DXF files: a drawing survives save and load unchanged, foreign files with
// the same kinds load, and every kind of malformed file is refused with
// its line while nothing is loaded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "tests/support/dxf_sample.h"

namespace {

std::string sectionOf(const std::string& text, const std::string& name) {
    std::size_t start = text.find("\n  2\n" + name + "\n");
    if (start == std::string::npos) return {};
    std::size_t end = text.find("\n  0\nENDSEC\n", start);
    return text.substr(start, end - start);
}

std::string sampleText() {
    ZcDbDatabase db;
    buildSampleDrawing(&db);
    return host::writeDxfText(&db);
}

// A file as a short writer of another program would make it: no tables,
// no handles on the tables, entities only.
const char* kForeignFile =
    "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n9\n$UNKNOWNVAR\n70\n3\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLINE\n5\n1\n8\nMURI\n10\n0.0\n20\n0.0\n30\n0.0\n11\n3.0\n21\n4.0\n31\n0.0\n"
    "0\nSPLINE\n5\n2\n8\n0\n"
    "0\nSPLINE\n5\n3\n8\n0\n"
    "0\nCIRCLE\n5\nA\n8\n0\n10\n1.0\n20\n1.0\n30\n0.0\n40\n2.0\n"
    "0\nENDSEC\n0\nEOF\n";

}  // namespace

TEST(DxfFile, saved_drawing_loads_back_and_saves_the_same) {
    std::string first = sampleText();
    host::DxfLoadResult r = host::readDxfText(first);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_TRUE(r.notes.empty()) << r.notes.front();
    std::string second = host::writeDxfText(r.db.get(), r.vars.get());
    for (const char* s : {"TABLES", "BLOCKS", "ENTITIES", "OBJECTS", "CLASSES"})
        EXPECT_EQ(sectionOf(first, s), sectionOf(second, s)) << s;
    EXPECT_NE(sectionOf(first, "ENTITIES").find("HATCH"), std::string::npos);
    EXPECT_NE(sectionOf(first, "ENTITIES").find("ATTRIB"), std::string::npos);
    EXPECT_NE(sectionOf(first, "CLASSES").find("VELMSAMPLE"), std::string::npos);
}

TEST(DxfFile, custom_object_in_nested_dictionary_survives) {
    host::DxfLoadResult r = host::readDxfText(sampleText());
    ASSERT_TRUE(r.db) << r.error;
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(r.db->getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
    ZcDbDictionary* velm = nullptr;
    ASSERT_EQ(nod->getAt("VELM_DATI", velm, ZcDb::kForRead), Zcad::eOk);
    nod->close();
    ZcDbDictionary* piani = nullptr;
    ASSERT_EQ(velm->getAt("PIANI", piani, ZcDb::kForRead), Zcad::eOk);
    velm->close();
    VelmSampleObject* obj = nullptr;
    ASSERT_EQ(piani->getAt("P0", obj, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(obj->label, "Parter");
    EXPECT_EQ(obj->values, (std::vector<double>{0, 2.8, 0.3}));
    EXPECT_EQ(obj->ownerId(), piani->objectId());
    obj->close();
    piani->close();
}

TEST(DxfFile, xdata_of_every_group_code_survives) {
    ZcDbDatabase db;
    buildSampleDrawing(&db);
    ZcDbObjectId firstLine;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    firstLine = ms->entityIds().front();
    ms->close();
    std::vector<ZcDbDxfItem> before = firstLine.stub()->object->xDataApps().at(0).items;

    host::DxfLoadResult r = host::readDxfText(host::writeDxfText(&db));
    ASSERT_TRUE(r.db) << r.error;
    ZcDbObjectId again = r.db->objectIdOf(firstLine.handle());
    ASSERT_FALSE(again.isNull());
    const auto& apps = again.stub()->object->xDataApps();
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps[0].app, "VELM7");
    ASSERT_EQ(apps[0].items.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(apps[0].items[i], before[i]) << before[i].toString();
}

TEST(DxfFile, header_carries_the_drawing_variables) {
    ZcDbDatabase db;
    host::MemorySysVarStore vars;
    const host::SysVarDef* drawingVar = nullptr;
    for (const host::SysVarDef& d : host::sysVarTable())
        if (d.scope == host::SysVarScope::Drawing && d.type == RTSHORT && !drawingVar) drawingVar = &d;
    ASSERT_NE(drawingVar, nullptr);
    short value = static_cast<short>(std::max(drawingVar->minValue, std::min(drawingVar->maxValue, 1)));
    vars.store(drawingVar->name, value);
    host::DxfLoadResult r = host::readDxfText(host::writeDxfText(&db, &vars));
    ASSERT_TRUE(r.db) << r.error;
    const host::SysVarValue* back = r.vars->find(drawingVar->name);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::get<short>(*back), value);
}

TEST(DxfFile, handseed_is_above_every_handle) {
    std::string text = sampleText();
    std::size_t at = text.find("$HANDSEED\n  5\n");
    ASSERT_NE(at, std::string::npos);
    std::string seedText = text.substr(at + 14, text.find('\n', at + 14) - at - 14);
    std::uint64_t seed = ZcDbHandle(seedText).value();
    std::size_t pos = text.find("ENDSEC");
    int seen = 0;
    while ((pos = text.find("\n  5\n", pos)) != std::string::npos) {
        pos += 5;
        std::string h = text.substr(pos, text.find('\n', pos) - pos);
        EXPECT_LT(ZcDbHandle(h).value(), seed) << h;
        ++seen;
    }
    EXPECT_GT(seen, 30);
}

TEST(DxfFile, header_extents_are_the_model_space_as_saved) {
    ZcDbDatabase db;
    host::MemorySysVarStore vars;
    // Whatever the store last held is not what is written.
    vars.store("EXTMIN", ZcGePoint3d(-500, -500, 0));
    auto point = [](const std::string& text, const char* name) {
        std::size_t at = text.find(std::string(name) + "\n 10\n");
        EXPECT_NE(at, std::string::npos) << name;
        host::DxfLoadResult r = host::readDxfText(text);
        const host::SysVarValue* v = r.vars ? r.vars->find(name + 1) : nullptr;
        return v ? std::get<ZcGePoint3d>(*v) : ZcGePoint3d();
    };
    // An empty model keeps the "no extents" values.
    EXPECT_GT(point(host::writeDxfText(&db), "$EXTMIN").x, 1e19);
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* line = new ZcDbLine({1, 2, 0}, {5, 7, 0});
    ASSERT_EQ(ms->appendZcDbEntity(line), Zcad::eOk);
    line->close();
    auto* circle = new ZcDbCircle({10, 0, 3}, {0, 0, 1}, 2);
    ASSERT_EQ(ms->appendZcDbEntity(circle), Zcad::eOk);
    circle->close();
    ms->close();
    std::string text = host::writeDxfText(&db, &vars);
    EXPECT_TRUE(point(text, "$EXTMIN").isEqualTo(ZcGePoint3d(1, -2, 0)));
    EXPECT_TRUE(point(text, "$EXTMAX").isEqualTo(ZcGePoint3d(12, 7, 3)));
}

TEST(DxfFile, foreign_file_loads_and_keeps_unknown_kinds) {
    host::DxfLoadResult r = host::readDxfText(kForeignFile);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_TRUE(r.notes.empty());
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    std::vector<ZcDbObjectId> ids = ms->entityIds();
    ms->close();
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_NE(ZcDbOpaqueEntity::cast(ids[1].stub()->object.get()), nullptr);
    auto* line = ZcDbLine::cast(ids[0].stub()->object.get());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->endPoint().isEqualTo(ZcGePoint3d(3, 4, 0)));
    EXPECT_EQ(line->layer(), "MURI");
}

struct Malformed {
    const char* name;
    std::string text;
    std::string badText;  // the line the message must name starts with this ("" for any)
};

int lineOf(const std::string& text, const std::string& what) {
    std::size_t at = text.rfind(what);
    return at == std::string::npos ? 0
                                   : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

TEST(DxfFile, malformed_files_are_refused_with_their_line) {
    std::string good = kForeignFile;
    auto replace = [&](const std::string& what, const std::string& with) {
        std::string s = good;
        s.replace(s.find(what), what.size(), with);
        return s;
    };
    std::vector<Malformed> cases = {
        {"missing ENDSEC", replace("0\nENDSEC\n0\nEOF\n", "0\nEOF\n"), ""},
        {"missing EOF", replace("0\nEOF\n", ""), ""},
        {"bad group code", replace("10\n0.0\n20\n0.0\n30", "1x\n0.0\n20\n0.0\n30"), "1x\n"},
        {"not a number", replace("40\n2.0", "40\ndwa"), "dwa\n"},
        {"truncated", good.substr(0, good.find("CIRCLE") + 7) + "8\n", "8\n"},
    };
    // What a recovering reader mends loads, the repair named at its line.
    std::vector<Malformed> mended = {
        {"duplicate handle", replace("5\nA\n", "5\n1\n"), "1\n8\n0\n10"},
        {"bad handle", replace("5\nA\n", "5\nZZ\n"), "ZZ\n"},
    };
    for (const Malformed& c : mended) {
        host::DxfLoadResult r = host::readDxfText(c.text);
        EXPECT_TRUE(r.db) << c.name << ": " << r.error;
        ASSERT_EQ(r.repairs.size(), 1u) << c.name;
        int line = lineOf(c.text, c.badText);
        EXPECT_EQ(r.repairs[0].rfind("DXF: wiersz " + std::to_string(line) + ":", 0), 0u)
            << c.name << ": " << r.repairs[0] << " (line " << line << ")";
    }
    for (const Malformed& c : cases) {
        host::DxfLoadResult r = host::readDxfText(c.text);
        EXPECT_FALSE(r.db) << c.name;
        EXPECT_EQ(r.error.rfind("DXF: wiersz ", 0), 0u) << c.name << ": " << r.error;
        if (!c.badText.empty()) {
            int line = lineOf(c.text, c.badText);
            EXPECT_NE(r.error.find("wiersz " + std::to_string(line) + ":"), std::string::npos)
                << c.name << ": " << r.error << " (line " << line << ")";
        }
    }
}

TEST(DxfFile, every_prefix_of_a_file_is_refused_or_loaded_without_fault) {
    // Cutting the sample anywhere must give a clean refusal, never a crash.
    std::string text = sampleText();
    for (std::size_t cut = 0; cut < text.size(); cut += 97) {
        host::DxfLoadResult r = host::readDxfText(std::string_view(text).substr(0, cut));
        EXPECT_FALSE(r.db) << cut;
        EXPECT_FALSE(r.error.empty());
    }
}

// A drawing cut off after any of its lines (a copy or a save that did not
// end) is said to be cut off, with the file and its last line: what the
// cut left half made (a table record without its name) is not blamed.
TEST(DxfFile, a_drawing_cut_after_any_line_is_said_to_be_cut_off_at_its_end) {
    const std::string text = sampleText();
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    std::size_t end = 0;
    for (std::size_t line = 1; line + 2 < lines; ++line) {
        end = text.find('\n', end) + 1;
        host::DxfLoadResult r = host::readDxfText(std::string_view(text).substr(0, end), "rys.dxf");
        ASSERT_FALSE(r.db) << line;
        EXPECT_EQ(r.error.rfind("DXF: wiersz " + std::to_string(line) + ": plik rys.dxf urwany: ", 0), 0u)
            << "cut after line " << line << ": " << r.error;
    }
    // Read from a file, the file is the one named.
    const std::string path = ::testing::TempDir() + "velm_dxf_cut_test.dxf";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size() / 2, f);
        std::fclose(f);
    }
    host::DxfLoadResult r = host::loadDxf(path);
    EXPECT_FALSE(r.db);
    EXPECT_NE(r.error.find("plik " + path + " urwany: "), std::string::npos) << r.error;
    std::remove(path.c_str());
}

TEST(DxfFile, save_replaces_the_file_whole) {
    ZcDbDatabase db;
    buildSampleDrawing(&db);
    std::string path = ::testing::TempDir() + "velm_dxf_save_test.dxf";
    std::string error;
    ASSERT_TRUE(host::saveDxf(&db, path, nullptr, &error)) << error;
    host::DxfLoadResult r = host::loadDxf(path);
    ASSERT_TRUE(r.db) << r.error;
    host::DxfLoadResult missing = host::loadDxf(path + ".none");
    EXPECT_FALSE(missing.db);
    EXPECT_NE(missing.error.find("DXF:"), std::string::npos);
    std::remove(path.c_str());
}

TEST(DxfFile, foreign_handles_clashing_with_a_new_database_survive_two_round_trips) {
    // The foreign LINE takes handle 1, which a fresh database gives its first table.
    host::DxfLoadResult first = host::readDxfText(kForeignFile);
    ASSERT_TRUE(first.db) << first.error;
    std::string once = host::writeDxfText(first.db.get(), first.vars.get());
    host::DxfLoadResult second = host::readDxfText(once);
    ASSERT_TRUE(second.db) << second.error;
    std::string twice = host::writeDxfText(second.db.get(), second.vars.get());
    EXPECT_EQ(sectionOf(once, "ENTITIES"), sectionOf(twice, "ENTITIES"));
    EXPECT_EQ(sectionOf(once, "TABLES"), sectionOf(twice, "TABLES"));
    EXPECT_EQ(sectionOf(once, "BLOCKS"), sectionOf(twice, "BLOCKS"));
}

TEST(DxfFile, objects_of_other_programs_keep_their_dictionary_entries) {
    ZcDbDatabase db;
    buildSampleDrawing(&db);
    std::string text = host::writeDxfText(&db);
    // Another program's object kind in place of the custom object.
    std::size_t at = text.find("\n  0\nVELMSAMPLE\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 16, "\n  0\nOTHERKIND\n");
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_TRUE(r.notes.empty());
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(r.db->getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
    ZcDbDictionary* velm = nullptr;
    ASSERT_EQ(nod->getAt("VELM_DATI", velm, ZcDb::kForRead), Zcad::eOk);
    nod->close();
    ZcDbDictionary* piani = nullptr;
    ASSERT_EQ(velm->getAt("PIANI", piani, ZcDb::kForRead), Zcad::eOk);
    velm->close();
    ASSERT_EQ(piani->numEntries(), 1u);
    ZcDbObjectId kept = piani->entries().front().id;
    EXPECT_NE(ZcDbOpaqueObject::cast(kept.stub()->object.get()), nullptr);
    piani->close();
}

TEST(DxfFile, eight_bit_file_of_an_older_writer_reads_as_polish_text) {
    std::string text = kForeignFile;
    // "MURI" becomes "ŁUK" in Windows-1250 bytes.
    text.replace(text.find("MURI"), 4, "\xA3UK");
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    auto* line = ZcDbLine::cast(ms->entityIds().at(0).stub()->object.get());
    ms->close();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->layer(), "ŁUK");
}

TEST(DxfFile, optional_groups_at_their_defaults_are_left_out_and_read_back_the_same) {
    ZcDbDatabase db;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* plain = new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(3, 4, 0));
    auto* thick = new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0));
    thick->setThickness(2.5);
    thick->setNormal(ZcGeVector3d(0, 0, -1));
    auto* circle = new ZcDbCircle(ZcGePoint3d(1, 1, 0), ZcGeVector3d(0, 0, 1), 2);
    ZcDbObjectId ids[3];
    ZcDbEntity* ents[3] = {plain, thick, circle};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ms->appendZcDbEntity(ids[i], ents[i]), Zcad::eOk);
        ents[i]->close();
    }
    ms->close();
    const std::string text = host::writeDxfText(&db);
    const std::string entities = sectionOf(text, "ENTITIES");
    // Only the thick line carries a thickness and a normal: a thickness of
    // 0 is what made another reader divide by zero.
    auto count = [&](const std::string& group) {
        std::size_t n = 0;
        for (std::size_t at = entities.find(group); at != std::string::npos;
             at = entities.find(group, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("\n 39\n"), 1u) << entities;
    EXPECT_EQ(count("\n210\n"), 1u) << entities;
    EXPECT_NE(entities.find("\n 39\n2.5\n"), std::string::npos);
    // Read back, everything is as it was, and written again the same.
    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    EXPECT_EQ(sectionOf(host::writeDxfText(r.db.get(), r.vars.get()), "ENTITIES"), entities);
    ZcDbObjectId back;
    ASSERT_EQ(r.db->getZcDbObjectId(back, false, ids[1].handle()), Zcad::eOk);
    ZcDbLine* line = nullptr;
    ASSERT_EQ(zcdbOpenObject(line, back, ZcDb::kForRead), Zcad::eOk);
    EXPECT_DOUBLE_EQ(line->thickness(), 2.5);
    EXPECT_DOUBLE_EQ(line->normal().z, -1.0);
    line->close();
    // The entity data lists still carry every group, defaults included.
    ads_name en;
    ASSERT_EQ(zcdbGetAdsName(en, ids[0]), Zcad::eOk);
    zcdbSetCurDwg(&db);
    resbuf* data = zcdbEntGet(en);
    zcdbSetCurDwg(nullptr);
    ASSERT_NE(data, nullptr);
    bool has210 = false;
    for (resbuf* rb = data; rb; rb = rb->rbnext) has210 |= rb->restype == 210;
    zcutRelRb(data);
    EXPECT_TRUE(has210);
}

TEST(DxfFile, a_viewports_front_and_back_clipping_survives_save_and_load) {
    ZcDbDatabase db;
    ZcDbBlockTableRecord* ps = nullptr;
    ASSERT_EQ(zcdbOpenObject(ps, db.paperSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* clipped = new ZcDbViewport;
    clipped->setFrontClipDistance(50);
    clipped->setBackClipDistance(-20);
    clipped->setFrontClipOn();
    clipped->setBackClipOn();
    auto* plain = new ZcDbViewport;
    ZcDbObjectId ids[2];
    ASSERT_EQ(ps->appendZcDbEntity(ids[0], clipped), Zcad::eOk);
    ASSERT_EQ(ps->appendZcDbEntity(ids[1], plain), Zcad::eOk);
    clipped->close();
    plain->close();
    ps->close();
    const std::string text = host::writeDxfText(&db);
    // Only the clipped viewport writes its distances: a drawing without
    // clipping keeps the groups it had.
    const std::string entities = sectionOf(text, "ENTITIES") + sectionOf(text, "BLOCKS");
    EXPECT_NE(entities.find("\n 43\n50"), std::string::npos) << entities;
    EXPECT_NE(entities.find("\n 44\n-20"), std::string::npos);
    std::size_t n = 0;
    for (std::size_t at = entities.find("\n 43\n"); at != std::string::npos;
         at = entities.find("\n 43\n", at + 1))
        ++n;
    EXPECT_EQ(n, 1u);

    host::DxfLoadResult r = host::readDxfText(text);
    ASSERT_TRUE(r.db) << r.error;
    ZcDbObjectId back;
    ASSERT_EQ(r.db->getZcDbObjectId(back, false, ids[0].handle()), Zcad::eOk);
    ZcDbViewport* vp = nullptr;
    ASSERT_EQ(zcdbOpenObject(vp, back, ZcDb::kForRead), Zcad::eOk);
    EXPECT_DOUBLE_EQ(vp->frontClipDistance(), 50.0);
    EXPECT_DOUBLE_EQ(vp->backClipDistance(), -20.0);
    EXPECT_TRUE(vp->isFrontClipOn());
    EXPECT_TRUE(vp->isBackClipOn());
    vp->close();
}

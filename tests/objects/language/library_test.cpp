// The shipped object library: every definition is found through the host's
// search, its VAR and TYPO sections read, its computed variables evaluated
// with what its callers set, and a parameter written back through an
// include reloads with every other byte unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"
#include "host/win/textutil.h"
#include "lang_fixture.h"
#include "objects/language/obj_expr.h"

namespace {

struct Shipped {
    const char* name;
    int insertionType;
};

const Shipped kLibrary[] = {
    {"F1", 11},       {"P1", 11},
    {"A1", 11},       {"F1C", 12},
    {"FANG1", 18},    {"PIL1", 17},
    {"LUC1", 48},     {"SCALA1", 14},
    {"BAL1", 20},     {"TAV1", 10},
    {"SEP1", 24},     {"ETI1", 26},
    {"key_qd1", 13},  {"key_qd2", 13},
    {"key_qd3", 13},  {"key_qd4", 13},
    {"TMS_SEZ", 41},  {"TMS_SEZ2", 42},
    {"TMS_SEZS", 43}, {"TMS_PROS", 40},
    {"TMS_LUCE", 49}, {"key_etiMaglia", 13},
};

// The parameter sets: each names every parameter of the definition once,
// with a value its type can read. Empty when they are sound.
std::string CheckTypo(ObjContext& c) {
    if (!FindSection("TYPO", *c.text, true)) return "";
    std::set<int> parameters;
    for (const auto& v : c.vars)
        if (v->kind == kVarParameter) parameters.insert(v->number);
    std::string name;
    std::set<int> seen;
    std::string problems;
    auto close = [&] {
        if (!name.empty() && seen != parameters) problems += " set '" + name + "' misses parameters;";
        seen.clear();
    };
    for (;;) {
        std::optional<std::string> line = ReadTextLine(*c.text, 258, true);
        if (!line || line->empty()) return problems + " no END_TYPO";
        if (line->rfind("END_TYPO", 0) == 0) break;
        if (line->rfind("BEGIN", 0) == 0) {
            close();
            name = ReadTextLine(*c.text, 258, true).value_or("");
            continue;
        }
        std::optional<long long> n = host::parseIntegerPrefix(std::string_view(*line).substr(1));
        const ObjVar* v = n ? FindObjVar(static_cast<int>(*n), c.vars) : nullptr;
        const std::size_t eq = line->find('=');
        if ((*line)[0] != '$' || eq == std::string::npos) return problems + " bad line " + *line;
        if ((c.insertionType == InsertionType::SlabCutTotalGiven && *n == 5) ||
            (c.insertionType == InsertionType::SlabCutPartGiven && *n == 4))
            continue;
        if (!v || v->kind != kVarParameter) return problems + " not a parameter: " + *line;
        std::string value = line->substr(eq + 1);
        bool ok = v->type == u'S' ? std::count(value.begin(), value.end(), '"') == 2
                                  : host::parseDoublePrefix(value).has_value();
        if (!ok) problems += " unreadable " + *line + ";";
        seen.insert(v->number);
    }
    close();
    return problems;
}

class ShippedLibrary : public ObjLanguage {
protected:
    void SetUp() override {
        ObjLanguage::SetUp();
        // A copy of the support folder, so that writing back changes no
        // shipped file.
        for (const auto& e : std::filesystem::directory_iterator(std::string(VELM_SOURCE_DIR) + "/support"))
            if (e.is_regular_file()) std::filesystem::copy_file(e.path(), dir / e.path().filename());
    }
};

}  // namespace

TEST_F(ShippedLibrary, every_definition_reads_and_evaluates) {
    setUnit(1.0);
    for (const Shipped& s : kLibrary) {
        SCOPED_TRACE(s.name);
        std::string found;
        ASSERT_EQ(FindLibraryFile(std::string(s.name) + ".txt", found), RTNORM);
        contexts.push_back(NewObjContext(s.name));
        ObjContext& c = *contexts.back();
        InitObjVariables(c);
        SetCallerVariables(s.name, c.vars);
        const std::size_t before = transcript().size();
        ASSERT_EQ(LoadObjFile(c, s.name), 1);
        ASSERT_EQ(ReadVarSection(true, c), 0);
        ReadInsertionType(c);
        EXPECT_EQ(static_cast<int>(c.insertionType), s.insertionType);
        EXPECT_EQ(CheckTypo(c), "");
        EXPECT_EQ(EvaluateComputedVars(c.vars, DrawingUnitFactor()), 1);
        EXPECT_TRUE(FindSection("DRAW", *c.text, true));
        EXPECT_EQ(transcript().substr(before), "");
        // Every parameter has the label the dialog shows.
        for (const auto& v : c.vars) {
            if (v->kind == kVarParameter) {
                EXPECT_FALSE(v->description.empty()) << v->number;
            }
        }
    }
}

TEST_F(ShippedLibrary, what_the_callers_set_reaches_the_drawing_values) {
    contexts.push_back(NewObjContext("key_etiMaglia"));
    ObjContext& c = *contexts.back();
    InitObjVariables(c);
    SetCallerVariables("key_etiMaglia", c.vars);
    ASSERT_EQ(LoadObjFile(c, "key_etiMaglia"), 1);
    ASSERT_EQ(ReadVarSection(true, c), 0);
    ASSERT_EQ(EvaluateComputedVars(c.vars, 1.0), 1);
    // Position 3 (top): the circle stands above the axis end.
    const double r = 40.0 / 2 + 25.0 * 0.3;
    EXPECT_DOUBLE_EQ(FindObjVar(68, c.vars)->value, r);
    EXPECT_DOUBLE_EQ(FindObjVar(69, c.vars)->value, 0.0);
    EXPECT_DOUBLE_EQ(FindObjVar(70, c.vars)->value, r);

    contexts.push_back(NewObjContext("key_qd1"));
    ObjContext& q = *contexts.back();
    SetCallerVariables("key_qd1", q.vars);
    ASSERT_EQ(LoadObjFile(q, "key_qd1"), 1);
    ASSERT_EQ(ReadVarSection(true, q), 0);
    ASSERT_EQ(EvaluateComputedVars(q.vars, 1.0), 1);
    EXPECT_DOUBLE_EQ(FindObjVar(12043, q.vars)->value, 4.525);
}

TEST_F(ShippedLibrary, a_parameter_written_through_an_include_reloads) {
    setUnit(1.0);
    const std::string include = read("OKNA_PAR.inc");
    const std::string window = read("F1.txt");
    contexts.push_back(NewObjContext("F1"));
    ObjContext& c = *contexts.back();
    InitObjVariables(c);
    ASSERT_EQ(LoadObjFile(c, "F1"), 1);
    ASSERT_EQ(ReadVarSection(true, c), 0);
    ObjVar* width = FindObjVar(8, c.vars);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->value, 90.0);
    width->value = 120.0;
    ASSERT_TRUE(WriteVarValue(*c.text, *width));
    freeLast();

    std::string expected = include;
    const std::string line = "$8=\"Szerokość okna\"01D90\n";
    ASSERT_NE(expected.find(line), std::string::npos);
    expected.replace(expected.find(line), line.size(), "$8=\"Szerokość okna\"01D120\n");
    EXPECT_EQ(read("OKNA_PAR.inc"), expected);
    EXPECT_EQ(read("F1.txt"), window);
    // Every definition that includes the file takes the new default.
    for (const char* name : {"F1", "F1C"}) {
        contexts.push_back(NewObjContext(name));
        ObjContext& again = *contexts.back();
        ASSERT_EQ(LoadObjFile(again, name), 1);
        ASSERT_EQ(ReadVarSection(true, again), 0);
        EXPECT_EQ(FindObjVar(8, again.vars)->value, 120.0) << name;
    }
}

// The elevation mark block file: the host reads it back as a drawing whose
// model space is the mark, with its one attribute.
TEST_F(ShippedLibrary, elevation_mark_block_file_holds_one_attribute) {
    std::string found;
    ASSERT_EQ(FindLibraryFile("VELM--AQ.dxf", found), RTNORM);
    host::DxfLoadResult r = host::loadDxf(found);
    ASSERT_NE(r.db, nullptr) << r.error;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    int lines = 0;
    std::vector<std::string> tags;
    for (ZcDbObjectId id : ms->entityIds()) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (ZcDbLine::cast(e)) ++lines;
        if (auto* a = ZcDbAttributeDefinition::cast(e)) tags.push_back(a->tag());
        e->close();
    }
    ms->close();
    EXPECT_EQ(lines, 4);
    EXPECT_EQ(tags, std::vector<std::string>{"RZEDNA"});
}

// The shipped definitions' DRAW sections run into blocks; a drawing of
// them and of a section using every block and annotation kind is saved
// as DXF and read back by an independent reader.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "draw_fixture.h"
#include "host/db/dxffile.h"
#include "objects/language/obj_expr.h"

namespace {

const char* const kShipped[] = {"F1",       "P1",       "A1",       "F1C",          "FANG1",   "PIL1",
                                "LUC1",     "SCALA1",   "BAL1",     "TAV1",         "SEP1",    "ETI1",
                                "key_qd1",  "key_qd2",  "key_qd3",  "key_qd4",      "TMS_SEZ", "TMS_SEZ2",
                                "TMS_SEZS", "TMS_PROS", "TMS_LUCE", "key_etiMaglia"};

// Every block and annotation kind of the section language at once.
constexpr const char* kEveryKind =
    "ARRAY\n(3)\n(100 0 0)\n(0 0 0)\n(0)\n"
    "LINE\nW1\n(0 0 0)\n(0 50 0)\nEND_ARRAY\n"
    "ROTATE\n(0 100 0)\n(0 0 0)\n(0.5)\n"
    "ARC\nW1\n(0 0 0)\n(0 0 1)\n(20 0 0 1.5)\n"
    "3DFACE\nW1\n(0 0 0)\n(10 0 0)\n(10 10 0)\n(0 10 0)\n(0)\n"
    "TEXT\nW1\n(0 0 0 1)\n(\"STANDARD\")\n(2)\n(5)\n(0)\n(\"OBRÓT\")\n"
    "ATTDEF\nW1\n(0 20 0)\n(\"STANDARD\")\n(0)\n(5)\n(0)\n(\"1\")\n(0)\n(\"NR\")\n(\"Numer\")\n"
    "END_ROTATE\n"
    "SPOLIG\nW1\n(0 0 0)\n(1 0 0)\n(0 1 0)\n4\n(0 -100 0)\n(50 -100 0)\n(50 -50 0)\n(0 -50 0)\n"
    "HATCH\nW1\nANSI31\n4\n(5 0 0)\n(0 -100 0)\n(50 -100 0)\n(50 -50 0)\n(0 -50 0)\n"
    "DIM\nW1\nSTANDARD\nALIGNED\n(*)\n(0 0 0)\n(200 0 0)\n(100 -30 0)\n"
    "DIM\nW1\nSTANDARD\nANGULAR\n(*)\n(0 0 0)\n(100 0 0)\n(0 100 0)\n(40 40 0)\n"
    "END\n";

class ShippedSections : public DrawSection {
protected:
    void SetUp() override {
        DrawSection::SetUp();
        for (const auto& e : std::filesystem::directory_iterator(std::string(VELM_SOURCE_DIR) + "/support"))
            if (e.is_regular_file()) std::filesystem::copy_file(e.path(), dir / e.path().filename());
        catalogue.ParseLayerDefLines({"**Wszystkie,"});
    }

    // The definition read as the insertion run reads it, its section run.
    ObjContext& drawn(const std::string& name, int& result) {
        contexts.push_back(NewObjContext(name));
        ObjContext& c = *contexts.back();
        InitObjVariables(c);
        SetCallerVariables(name, c.vars);
        // A roof window stands at the height of the roof at its insertion point.
        if (name == "LUC1") SetObjVar(23, kVarFixed, 0, u'R', "", 250.0, "", 0, 0, c.vars);
        EXPECT_EQ(LoadObjFile(c, name), 1);
        EXPECT_EQ(ReadVarSection(true, c), 0);
        ReadInsertionType(c);
        EXPECT_EQ(EvaluateComputedVars(c.vars, DrawingUnitFactor()), 1);
        EXPECT_TRUE(FindSection("DRAW", *c.text, true));
        ReadTextLine(*c.text, 258, false);  // the object's layer line
        result = RunDrawBlock(c, catalogue);
        return c;
    }

    void insert(const std::string& block, double x) {
        ads_point at{x, 0, 0};
        resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, block.c_str(), 8, "0", 10, at, 0);
        EXPECT_EQ(zcdbEntMake(ins), RTNORM);
        zcutRelRb(ins);
    }
};

}  // namespace

TEST_F(ShippedSections, every_shipped_draw_section_runs_to_a_block) {
    setUnit(1.0);
    for (const char* name : kShipped) {
        SCOPED_TRACE(name);
        const std::size_t before = transcript().size();
        int result = 0;
        ObjContext& c = drawn(name, result);
        EXPECT_GT(result, 0);
        EXPECT_EQ(c.blockName.rfind("*U", 0), 0u);
        EXPECT_FALSE(blockEntities(c.blockName).empty());
        EXPECT_EQ(transcript().substr(before), "");
    }
}

TEST_F(ShippedSections, a_drawing_of_the_sections_reads_back_in_an_independent_reader) {
    setUnit(1.0);
    double x = 0.0;
    std::vector<std::string> blocks;
    for (const char* name : {"P1", "F1", "key_qd1"}) {
        int result = 0;
        ObjContext& c = drawn(name, result);
        ASSERT_GT(result, 0) << name;
        blocks.push_back(c.blockName);
    }
    ObjContext& every = section(kEveryKind, "WSZYSTKO");
    ASSERT_EQ(run(every), RTNORM);
    blocks.push_back(every.blockName);
    std::vector<Groups> all = blockEntities(every.blockName);
    for (const char* k : {"LINE", "ARC", "3DFACE", "TEXT", "ATTDEF", "HATCH", "DIMENSION"})
        EXPECT_FALSE(ofKind(all, k).empty()) << k;
    for (const std::string& b : blocks) insert(b, x += 1000.0);

    const std::string out = std::string(VELM_BINARY_DIR) + "/dxfgen/draw_sections.dxf";
    std::filesystem::create_directories(std::filesystem::path(out).parent_path());
    ASSERT_TRUE(host::saveDxf(db(), out));
    if (!std::filesystem::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    const std::string script = std::string(VELM_SOURCE_DIR) + "/tests/objects/draw/check_draw_dxf.py";
    const int status =
        std::system(("/usr/bin/python3 " + script + " " + out + " " + every.blockName).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "ezdxf missing";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// What one DRAW run may expand to: an ARRAY of too many copies, a run of
// too many statements or entities, a face of too many vertices. Each is
// refused with the definition and the bound named, and nothing of it is
// drawn: no block, the context's block name as it was.
#include <string>

#include "host/ads/adsent.h"
#include "objects/language/obj_limits.h"
#include "tests/objects/draw/draw_fixture.h"

namespace {

int BlockCount() {
    int n = 0;
    for (resbuf* rb = zcdbTblNext("BLOCK", 1); rb; rb = zcdbTblNext("BLOCK", 0), ++n) zcutRelRb(rb);
    return n;
}

std::string Array(int copies, const std::string& body) {
    return "ARRAY\n(" + std::to_string(copies) + ")\n(1 0 0)\n(0 0 0)\n(0)\n" + body + "END_ARRAY\n";
}

const std::string kLine = "LINE\nL1\n(0 0 0)\n(0 1 0)\n";

TEST_F(DrawSection, a_run_past_a_bound_is_refused_whole_with_the_definition_and_the_bound) {
    struct Case {
        std::string body, message;
    };
    const Case cases[] = {
        {Array(kMaxArrayCopies + 1, kLine) + "END\n",
         "Definicja B1: ARRAY ma 10001 kopii, więcej niż 10000: obiekt nie został narysowany."},
        // A count taken from the object's values, as a window's sashes.
        {"ARRAY\n($7)\n(1 0 0)\n(0 0 0)\n(0)\n" + kLine + "END_ARRAY\nEND\n",
         "Definicja B2: ARRAY ma 200000000 kopii, więcej niż 10000: obiekt nie został narysowany."},
        // Arrays within their bound, nested to more entities than a run makes.
        {kLine + Array(1000, Array(1000, kLine)) + "END\n",
         "Definicja B3: rysunek tworzy więcej niż 100000 elementów: obiekt nie został narysowany."},
        // Copies of nothing, nested to more statements than a run executes.
        {Array(10000, Array(10000, "")) + "END\n",
         "Definicja B4: rysunek wykonuje więcej niż 1000000 instrukcji: obiekt nie został narysowany."},
        // A face whose counts alone ask for more than a run makes, refused
        // before its vertices are read.
        {"PFACE\nL1\n150000 1\n(0 0 0)\nEND\n",
         "Definicja B5: rysunek tworzy więcej niż 100000 elementów: obiekt nie został narysowany."},
    };
    int serial = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        const std::string name = "B" + std::to_string(++serial);
        ObjContext& c = section(k.body, name);
        SetObjVar(7, kVarFixed, 0, u'R', "", 2e8, "", 0, 0, c.vars);
        c.blockName = "STARY";
        const int blocks = BlockCount();
        EXPECT_EQ(run(c), kDrawRunRefused);
        EXPECT_EQ(c.blockName, "STARY");
        EXPECT_EQ(BlockCount(), blocks);
        EXPECT_NE(transcript().find(k.message), std::string::npos) << transcript();
    }
    // Within the bounds the same statements draw, and a run counts afresh.
    ObjContext& within = section(Array(100, Array(100, kLine)) + "END\n", "W1");
    EXPECT_GT(run(within), 0);
    EXPECT_EQ(blockEntities(within.blockName).size(), 10000u);
    EXPECT_GT(run(section(Array(100, Array(100, kLine)) + "END\n", "W2")), 0);
}

}  // namespace

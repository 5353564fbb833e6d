// Definitions that grow past their bounds without passing any count the
// run keeps of lines, copies or entities: a text joined to itself each
// line, a run's texts copied over and over, and variables evaluated again
// for every ARRAY_VARN copy. Each is refused, naming the definition and
// the bound, with its work and memory held to the bound: the inputs here
// would take the unbounded evaluation minutes and gigabytes.
#include <string>
#include <vector>

#include "host/ed/cmdproc.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_limits.h"
#include "tests/objects/draw/draw_fixture.h"

namespace {

// The longest text the run's variables hold.
std::size_t LongestText(const ObjVarList& vars) {
    std::size_t longest = 0;
    for (const auto& v : vars) longest = std::max(longest, v->text.size());
    return longest;
}

TEST_F(DrawSection, a_text_that_doubles_each_line_is_refused_at_its_bound) {
    // "x" doubled 40 times would be a terabyte; the 17th doubling passes
    // 65,536 bytes.
    std::string var = "VAR\n$500=\"x\"C\n";
    for (int n = 501; n <= 540; ++n)
        var += "$" + std::to_string(n) + "= $" + std::to_string(n - 1) + "+$" + std::to_string(n - 1) + "\n";
    write("DUBLE.txt", var + "E\nDRAW\nOBIEKT\nEND\n");
    ObjContext& c = load("DUBLE");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    EXPECT_EQ(EvaluateComputedVars(c, 1.0), -1);
    EXPECT_EQ(
        lastMessage(),
        "Definicja DUBLE: tekst zmiennej $517 ma więcej niż 65536 bajtów: obiekt nie został narysowany.");
    EXPECT_EQ(FindObjVar(516, c.vars)->text.size(), kMaxComputedTextBytes);
    EXPECT_LE(LongestText(c.vars), kMaxComputedTextBytes);

    // Texts each within the bound, copied into a thousand variables: 64 MB
    // unbounded, refused once the run's texts pass theirs.
    var = "VAR\n$500=\"x\"C\n";
    for (int n = 501; n <= 516; ++n)
        var += "$" + std::to_string(n) + "= $" + std::to_string(n - 1) + "+$" + std::to_string(n - 1) + "\n";
    for (int n = 600; n < 1600; ++n) var += "$" + std::to_string(n) + "= $516\n";
    write("KOPIE.txt", var + "E\nDRAW\nOBIEKT\nEND\n");
    ObjContext& copies = load("KOPIE");
    ASSERT_EQ(ReadVarSection(true, copies), 0);
    EXPECT_EQ(EvaluateComputedVars(copies, 1.0), -1);
    EXPECT_EQ(lastMessage(),
              "Definicja KOPIE: teksty zmiennych mają razem więcej niż 16777216 bajtów: obiekt nie został "
              "narysowany.");
    std::size_t held = 0;
    for (const auto& v : copies.vars) held += v->text.size();
    EXPECT_LE(held, kMaxRunTextBytes + kMaxComputedTextBytes);

    // Comparing long texts is work too: refused as copying them is.
    var = "VAR\n$500=\"x\"C\n";
    for (int n = 501; n <= 516; ++n)
        var += "$" + std::to_string(n) + "= $" + std::to_string(n - 1) + "+$" + std::to_string(n - 1) + "\n";
    for (int n = 600; n < 1600; ++n) var += "$" + std::to_string(n) + "= (=$516 $516)\n";
    write("POROWNAJ.txt", var + "E\nDRAW\nOBIEKT\nEND\n");
    ObjContext& compared = load("POROWNAJ");
    ASSERT_EQ(ReadVarSection(true, compared), 0);
    EXPECT_EQ(EvaluateComputedVars(compared, 1.0), -1);
    EXPECT_NE(lastMessage().find("Definicja POROWNAJ: teksty zmiennych mają razem"), std::string::npos);

    // Texts of a label's size evaluate as ever.
    write("ETYKIETA.txt", "VAR\n$500=\"Pokój\"C\n$501= $500+$500\n$502= $501+$500\nE\nDRAW\nOBIEKT\nEND\n");
    ObjContext& label = load("ETYKIETA");
    ASSERT_EQ(ReadVarSection(true, label), 0);
    EXPECT_EQ(EvaluateComputedVars(label, 1.0), 1);
    EXPECT_EQ(FindObjVar(502, label.vars)->text, "PokójPokójPokój");
}

// Five thousand variables numbered far apart, each computed from the one
// before, evaluated again for each of ten thousand copies: fifty million
// evaluations, each of whose lookups walked every far variable before.
// The work counts against the statements of the run, so it is refused
// within the bound's worth of evaluations.
TEST_F(DrawSection, variables_evaluated_again_for_each_copy_count_against_the_statement_bound) {
    std::string var = "VAR\n";
    const int first = 1000000, count = 5000;
    for (int i = 1; i < count; ++i)
        var += "$" + std::to_string(first + i) + "= $" + std::to_string(first + i - 1) + "+1\n";
    const std::string array = "ARRAY\n(10000)\n(1 0 0)\n(0 0 0)\n(0)\nARRAY_VARN\n$" + std::to_string(first) +
                              "= N\nEND_VARN\nLINE\nL1\n(0 0 0)\n($" + std::to_string(first + count - 1) +
                              " 1 0)\nEND_ARRAY\n";
    write("WARN.txt", var + "E\nDRAW\nOBIEKT\n" + array + "END\n");
    ObjContext& c = load("WARN");
    ASSERT_EQ(ReadVarSection(true, c), 0);
    SetObjVar(first, kVarFixed, 0, u'R', "", 0.0, "", 0, 0, c.vars);
    ASSERT_EQ(EvaluateComputedVars(c, 1.0), 1);
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    PassLine(*c.text);
    c.blockName = "STARY";
    EXPECT_EQ(run(c), kDrawRunRefused);
    EXPECT_EQ(
        lastMessage(),
        "Definicja WARN: rysunek wykonuje więcej niż 1000000 instrukcji: obiekt nie został narysowany.");
    EXPECT_EQ(c.blockName, "STARY");
    // Refused within one copy's work of the bound: each copy's evaluation
    // counts every variable the run holds.
    EXPECT_LE(c.drawStatements, kMaxDrawStatements + 2 * c.vars.size() + 10);

    // The same array over a few copies draws, each copy with its values.
    write(
        "WARN3.txt", var + "E\nDRAW\nOBIEKT\n" + [&] {
            std::string a = array;
            a.replace(a.find("(10000)"), 7, "(3)");
            return a;
        }() + "END\n");
    ObjContext& few = load("WARN3");
    ASSERT_EQ(ReadVarSection(true, few), 0);
    SetObjVar(first, kVarFixed, 0, u'R', "", 0.0, "", 0, 0, few.vars);
    ASSERT_TRUE(FindSection("DRAW", *few.text, true));
    PassLine(*few.text);
    ASSERT_GT(run(few), 0) << transcript();
    const std::vector<Groups> lines = blockEntities(few.blockName);
    ASSERT_EQ(lines.size(), 3u);
    for (int k = 0; k < 3; ++k) EXPECT_POINT(point(lines[k], 11), k + count - 1 + k, 1, 0);
}

// Runs each within the bounds of one run, made by one command (a
// print-scale change rebuilds every object of a drawing): together they
// pass the command's bound. The command is named with the bound, the run
// that passes it and every later one are refused, the command fails and
// is taken back, so the blocks the earlier runs made are gone again.
TEST_F(DrawSection, the_runs_of_one_command_are_bounded_together_and_the_command_taken_back) {
    const auto blocks = [] {
        int n = 0;
        for (resbuf* rb = zcdbTblNext("BLOCK", 1); rb; rb = zcdbTblNext("BLOCK", 0), ++n) zcutRelRb(rb);
        return n;
    };
    // 992,001 statements each (the arrays, their copies and the nested
    // arrays' statements): eleven pass ten million.
    const std::string body =
        "ARRAY\n(1000)\n(1 0 0)\n(0 0 0)\n(0)\nARRAY\n(990)\n(0 1 0)\n(0 0 "
        "0)\n(0)\nEND_ARRAY\nEND_ARRAY\nEND\n";
    std::vector<ObjContext*> objects;
    for (int i = 0; i < 12; ++i) objects.push_back(&section(body, "C" + std::to_string(i)));
    std::vector<int> results;
    host::registerHostCommand("WIELE", [&] {
        for (ObjContext* c : objects) {
            FindSection("DRAW", *c->text, true);
            results.push_back(run(*c));
        }
        return RTNORM;
    });
    const int before = blocks();
    EXPECT_EQ(VelmTest::run({"WIELE"}), RTERROR);
    host::unregisterHostCommand("WIELE");
    ASSERT_EQ(results.size(), 12u);
    for (int i = 0; i < 10; ++i) EXPECT_GT(results[i], 0) << i;
    EXPECT_EQ(results[10], kDrawRunRefused);
    EXPECT_EQ(results[11], kDrawRunRefused);
    EXPECT_NE(transcript().find("Polecenie WIELE: obiekty wykonują razem więcej niż 10000000 instrukcji: "
                                "polecenie zostało cofnięte."),
              std::string::npos)
        << transcript();
    EXPECT_EQ(blocks(), before);

    // The next command counts afresh.
    results.clear();
    objects.resize(2);
    host::registerHostCommand("DWA", [&] {
        for (ObjContext* c : objects) {
            FindSection("DRAW", *c->text, true);
            results.push_back(run(*c));
        }
        return RTNORM;
    });
    EXPECT_EQ(VelmTest::run({"DWA"}), RTNORM);
    host::unregisterHostCommand("DWA");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_GT(results[0], 0);
    EXPECT_GT(results[1], 0);
    EXPECT_EQ(blocks(), before + 2);
}

}  // namespace

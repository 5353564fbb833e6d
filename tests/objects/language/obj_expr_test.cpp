// The expression language: one table of texts and their results, the
// one-pass evaluation of computed variables, and ARRAY_VARN.
#include "objects/language/obj_expr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "host/win/textutil.h"
#include "lang_fixture.h"

namespace {

struct Row {
    const char* expr;
    int status;           // 1 or -1
    double value;         // when status is 1
    const char* text;     // expected text result
    const char* message;  // expected on the command line, or null
};

}  // namespace

TEST_F(ObjLanguage, expression_table) {
    ObjVarList vars;
    SetObjVar(3, kVarFixed, 0, u'R', "", 4.0, "", 0, 0, vars);
    SetObjVar(4, kVarFixed, 0, u'R', "", 4.0, "", 0, 0, vars);
    SetObjVar(5, kVarFixed, 0, u'R', "", 7.0, "", 0, 0, vars);
    SetObjVar(6, kVarFixed, 0, u'S', "", 0.0, "okno", 0, 0, vars);
    SetObjVar(7, kVarFixed, 0, u'S', "", 0.0, "OKNO", 0, 0, vars);
    SetObjVar(8, kVarFixed, 0, u'S', "", 0.0, "drzwi", 0, 0, vars);
    SetObjVar(9, kVarFixed, 0, u'R', "", 2.5, "", 0, 0, vars);
    const Row rows[] = {
        {"2+3*4", 1, 14, "", nullptr},
        {"(2+3)*4", 1, 20, "", nullptr},
        {"8-2-1", 1, 5, "", nullptr},
        {"-5", 1, -5, "", nullptr},
        {"2*-3", 1, -1, "", nullptr},  // the minus subtracts the next term
        {"12/4/3", 1, 1, "", nullptr},
        {"5/0.0000001", 1, 0, "", nullptr},  // a divisor below the tolerance
        {"$5*2+$99", 1, 14, "", nullptr},    // an undeclared variable is 0
        {"i 2.5", 1, 2, "", nullptr},
        {"i 2.6", 1, 3, "", nullptr},
        {"i(0-2.5)", 1, -3, "", nullptr},
        {"r(0-4)", 1, 0, "", nullptr},
        {"a 2", 1, 0, "", nullptr},
        {"q $9+l 2.9", 1, 8.25, "", nullptr},
        {"c 0 * s 0", 1, 0, "", nullptr},
        {"$6", 1, 0, "okno", nullptr},
        {"$6+$8", 1, 0, "oknodrzwi", nullptr},
        {"(= $3 $4)", 1, 1, "", nullptr},
        {"(< $3 $5)+(> $3 $5)", 1, 1, "", nullptr},
        {"(= $6 $7)", 1, 1, "", nullptr},  // texts compare without regard to case
        {"(= $6 $8)", 1, 0, "", nullptr},
        {"h 65", 1, 0, "A", nullptr},
        {"j($8)", 1, 'd', "", nullptr},
        {"e(0 2 $9)", 1, 0, "2.50", nullptr},
        {"e(0 0 \"Ściana\")", 1, 0, "Ściana", nullptr},
        {"2*N+1", 1, 7, "", nullptr},
        {"(2", -1, 0, "", "\nBłąd: niesymetryczne nawiasy w wyrażeniu"},
        {"2 3", -1, 0, "", "\nBłąd: nieprawidłowy znak w wyrażeniu"},
        {"2 N", -1, 0, "", "\nBłąd: nieprawidłowy znak w wyrażeniu"},
        {"2 $3", -1, 0, "", "\nBłąd: brakuje operatora w wyrażeniu"},
        {"2(3)", -1, 0, "", "\nBłąd: brakuje operatora w wyrażeniu"},
        {"2 s 1", -1, 0, "", "\nBłąd: brakuje operatora w wyrażeniu"},
        {"$+1", -1, 0, "", "\nBłąd: nieprawidłowe wartości liczbowe w wyrażeniu"},
        {"e(0 0 x)", -1, 0, "", "\nBłąd: nieprawidłowy $ kod w wyrażeniu :TEXT"},
        {"d(10 0 x \"STANDARD\")", -1, 0, "", "\nBłąd: nieprawidłowy $ kod w wyrażeniu :d()"},
        {"(= $3)", -1, 0, "", nullptr},
        {"(= $3 $77)", -1, 0, "", nullptr},
    };
    for (const Row& r : rows) {
        const std::size_t before = transcript().size();
        double value = -99;
        std::string text;
        EXPECT_EQ(EvalExprText(false, 1.0, r.expr, value, text, vars, 3), r.status) << r.expr;
        if (r.status == 1) {
            EXPECT_DOUBLE_EQ(value, r.value) << r.expr;
            EXPECT_EQ(text, r.text) << r.expr;
        }
        const std::string said = transcript().substr(before);
        if (r.message) {
            EXPECT_NE(said.find(r.message), std::string::npos) << r.expr << ": " << said;
        } else if (r.status == 1) {
            EXPECT_EQ(said, "") << r.expr;
        }
    }
    double v = 0;
    std::string t;
    EXPECT_EQ(EvalExprText(true, 10.0, "4.5", v, t, vars, 0), 1);
    EXPECT_EQ(v, 45.0);
}

TEST_F(ObjLanguage, text_width_measures_the_text_in_its_style) {
    ObjVarList vars;
    SetObjVar(21, kVarFixed, 0, u'S', "", 0.0, "A-12", 0, 0, vars);
    SetObjVar(22, kVarFixed, 0, u'R', "", 12.0, "", 0, 0, vars);
    double w4 = 0, w2 = 0;
    std::string t;
    ASSERT_EQ(EvalExprText(false, 1, "d(10 0 $21 \"STANDARD\")", w4, t, vars, 0), 1);
    // A number is measured as written with the given decimals ("12.00");
    // a missing style is measured as STANDARD.
    ASSERT_EQ(EvalExprText(false, 1, "d(10 2 $22 \"NOSUCH\")", w2, t, vars, 0), 1);
    EXPECT_GT(w4, 0.0);
    EXPECT_DOUBLE_EQ(w2 / w4, 5.0 / 4.0);
    double twice = 0;
    ASSERT_EQ(EvalExprText(false, 1, "2*d(10 0 $21 \"STANDARD\")", twice, t, vars, 0), 1);
    EXPECT_DOUBLE_EQ(twice, 2 * w4);
}

TEST_F(ObjLanguage, computed_variables_run_once_in_declaration_order) {
    ObjVarList vars;
    SetObjVar(31, kVarComputed, 1, u'R', "$32+1", 0.0, "", 0, 0, vars);
    SetObjVar(32, kVarComputed, 1, u'R', "10", 0.0, "", 0, 0, vars);
    SetObjVar(33, kVarComputed, 1, u'R', "$32*2", 0.0, "", 0, 0, vars);
    SetObjVar(20, kVarComputed, 1, u'R', "5", 0.0, "", 1, 0, vars);
    SetObjVar(25, kVarComputed, 1, u'R', "5", 7.0, "", 0, 0, vars);
    SetObjVar(12, kVarComputed, 1, u'R', "5", 7.0, "", 0, 0, vars);
    SetObjVar(34, kVarComputed, 1, u'R', "$40", 0.0, "", 0, 1, vars);
    SetObjVar(40, kVarFixed, 0, u'S', "", 0.0, "x", 0, 0, vars);
    ASSERT_EQ(EvaluateComputedVars(vars, 2.0), 1);
    EXPECT_EQ(FindObjVar(31, vars)->value, 1.0);  // saw the old $32
    EXPECT_EQ(FindObjVar(33, vars)->value, 20.0);
    EXPECT_EQ(FindObjVar(20, vars)->value, 10.0);  // numeric: times the unit factor
    EXPECT_EQ(FindObjVar(25, vars)->value, 7.0);   // 1 to 19 and 21 to 30 are the placement's
    EXPECT_EQ(FindObjVar(12, vars)->value, 7.0);
    EXPECT_EQ(FindObjVar(34, vars)->type, u'S');
    EXPECT_EQ(FindObjVar(34, vars)->text, "x");
    EXPECT_NE(transcript().find("\n-34=$40 = 0.000000 = x"), std::string::npos);

    SetObjVar(35, kVarComputed, 1, u'R', "(1", 0.0, "", 0, 0, vars);
    SetObjVar(36, kVarComputed, 1, u'R', "4", 0.0, "", 0, 0, vars);
    EXPECT_EQ(EvaluateComputedVars(vars, 1.0), -1);
    EXPECT_NE(transcript().find("\nBłąd: nieprawidłowy $ kod w wyrażeniu: (1"), std::string::npos);
    EXPECT_EQ(FindObjVar(36, vars)->value, 0.0);  // after the failing one: not reached
}

TEST_F(ObjLanguage, array_varn_gives_per_copy_values_and_restores_them) {
    setUnit(1.0);
    auto c = NewObjContext("X");
    SetObjVar(12, kVarComputed, 1, u'R', "3", 0.0, "", 0, 0, c->vars);
    SetObjVar(31, kVarComputed, 1, u'R', "$12+1", 0.0, "", 0, 0, c->vars);
    ObjVarList perCopy;
    SetObjVar(12, kVarComputed, 1, u'R', "100*N", 0.0, "", 0, 0, perCopy);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(ApplyArrayVarN(perCopy, k, *c), 1);
        EXPECT_EQ(FindObjVar(12, c->vars)->value, 100.0 * k);
        EXPECT_EQ(FindObjVar(31, c->vars)->value, 100.0 * k + 1);
    }
    ASSERT_EQ(EndArrayVarN(perCopy, *c), 1);
    EXPECT_TRUE(perCopy.empty());
    EXPECT_EQ(FindObjVar(31, c->vars)->value, 201.0);  // 12 is not computed by the section level
    ObjVarList bad;
    SetObjVar(12, kVarComputed, 1, u'R', "2 2", 0.0, "", 0, 0, bad);
    EXPECT_EQ(ApplyArrayVarN(bad, 0, *c), 0);
    EXPECT_NE(transcript().find("\nBłąd: nieprawidłowy $ kod w wyrażeniu: ARRAY_VARN"), std::string::npos);
}

// Expressions longer than a definition's line are still read whole, and
// letters of several bytes count as one character each.
TEST_F(ObjLanguage, long_and_non_ascii_expressions_read_whole) {
    ObjVarList vars;
    SetObjVar(9, kVarFixed, 0, u'R', "", 2.5, "", 0, 0, vars);
    std::string sum = "1";
    for (int i = 1; i < 300; ++i) sum += "+1";
    double value = 0.0;
    std::string text;
    EXPECT_EQ(EvalExprText(false, 1.0, sum, value, text, vars, 0), 1);
    EXPECT_EQ(value, 300.0);
    EXPECT_EQ(EvalExprText(true, 10.0, sum + "*$9", value, text, vars, 0), 1);
    EXPECT_EQ(value, (299.0 + 2.5) * 10.0);
    const std::string quoted = "e(0 0 \"" + std::string(60, 'x') + "żółć\")";
    EXPECT_EQ(EvalExprText(false, 1.0, quoted, value, text, vars, 0), 1);
    EXPECT_EQ(text, std::string(60, 'x') + "żółć");
    // Past 78 characters a literal is cut, by characters, not bytes.
    const std::string cut = "e(0 0 \"" + std::string(76, 'x') + "żółć\")";
    EXPECT_EQ(EvalExprText(false, 1.0, cut, value, text, vars, 0), 1);
    EXPECT_EQ(text, std::string(76, 'x') + "żó");
}

// The look-up kept from one evaluation to the next follows the list: a
// variable appended, one freed and another made in its place under a new
// number (often in the very block freed), the list changed back and forth
// between two lists. Each evaluation sees what a fresh walk would.
TEST_F(ObjLanguage, computed_variables_follow_the_list_between_evaluations) {
    ObjVarList vars, other;
    SetObjVar(31, kVarComputed, 1, u'R', "$12+$13+$11034", 0.0, "", 0, 0, vars);
    SetObjVar(12, kVarFixed, 0, u'R', "", 1.0, "", 0, 0, vars);
    SetObjVar(31, kVarComputed, 1, u'R', "$12*2", 0.0, "", 0, 0, other);
    SetObjVar(12, kVarFixed, 0, u'R', "", 7.0, "", 0, 0, other);
    const auto value31 = [](ObjVarList& list) {
        EXPECT_EQ(EvaluateComputedVars(list, 1.0), 1);
        return FindObjVar(31, list)->value;
    };
    EXPECT_EQ(value31(vars), 1.0);
    SetObjVar(13, kVarFixed, 0, u'R', "", 10.0, "", 0, 0, vars);  // appended
    EXPECT_EQ(value31(vars), 11.0);
    SetObjVar(11034, kVarFixed, 0, u'R', "", 100.0, "", 0, 0, vars);  // far beyond the rest
    EXPECT_EQ(value31(vars), 111.0);
    EXPECT_EQ(value31(other), 14.0);
    vars.pop_back();
    vars.push_back(std::make_unique<ObjVar>());  // a repeat, after the first
    vars.back()->number = 13;
    vars.back()->value = 1000.0;
    EXPECT_EQ(value31(vars), 11.0);
    vars.pop_back();
    vars.pop_back();
    SetObjVar(11034, kVarFixed, 0, u'R', "", 5.0, "", 0, 0, vars);  // where 13 was
    EXPECT_EQ(value31(vars), 6.0);
    vars.erase(vars.begin() + 1);  // 12 goes
    EXPECT_EQ(value31(vars), 5.0);
    vars.insert(vars.begin(), std::make_unique<ObjVar>());
    vars.front()->number = 12;
    vars.front()->value = 3.0;
    EXPECT_EQ(value31(vars), 8.0);
    EXPECT_EQ(value31(other), 14.0);
}

// Numbers are read as the host's decimal reading reads them, to the last
// bit, short or long, with or without decimals.
TEST_F(ObjLanguage, numbers_read_as_the_decimal_reading_reads_them) {
    ObjVarList vars;
    for (const char* number :
         {"0", "7", "0.1", "0.3", "5.", "007.50", "123456789012345", "1234567890123456", "9007199254740993",
          "0.000000000000001", "0.0000000000000001", "3.141592653589793", "2.675", "1.2.3", "99999.99999"}) {
        double value = -1.0;
        std::string text;
        ASSERT_EQ(EvalExprText(false, 1.0, number, value, text, vars, 0), 1) << number;
        const double read = host::parseDoublePrefix(number).value_or(-2.0);
        EXPECT_EQ(std::memcmp(&value, &read, sizeof value), 0) << number;
    }
}

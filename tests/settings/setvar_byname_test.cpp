// Settings by name: what the command and the two LISP functions accept,
// store and print, against a drawing kept in memory.
#include "settings/setvar_byname.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <deque>
#include <memory>

namespace {

class FakeDrawing : public SettingsByNameHost {
public:
    VELM_SETUP setup;
    VELM_FSCALA scales;
    VELM_LIBOBJOPT libs;
    bool setupOpens = true;
    std::string printed;
    std::vector<std::string> prompts;
    std::deque<std::pair<int, std::string>> answers;

    FakeDrawing() {
        setup.InitVariables();
        scales.Reset();
    }
    VELM_SETUP* openSetup(bool) override { return setupOpens ? &setup : nullptr; }
    VELM_FSCALA* openFScala() override { return &scales; }
    VELM_LIBOBJOPT* openLibObjOpt() override { return &libs; }
    void print(const std::string& text) override { printed += text; }
    int getString(bool, const std::string& prompt, std::string& answer) override {
        prompts.push_back(prompt);
        if (answers.empty()) return RTCAN;
        auto [st, a] = answers.front();
        answers.pop_front();
        answer = a;
        return st;
    }
    std::string formatReal(double v) override {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.4f", v);
        return buf;
    }

    int intVar(int slot) {
        int v = 0;
        EXPECT_TRUE(setup.getInt(slot, v));
        return v;
    }
    double realVar(int slot) {
        double v = 0;
        EXPECT_TRUE(setup.getReal(slot, v));
        return v;
    }
    std::string textVar(int slot) {
        std::string v;
        EXPECT_TRUE(setup.getString(slot, v));
        return v;
    }
};

// A LISP argument list built for a call; owns its nodes and strings.
class Args {
public:
    Args& str(const std::string& s) {
        texts_.push_back(s);
        resbuf& rb = add(RTSTR);
        rb.resval.rstring = texts_.back().data();
        return *this;
    }
    Args& i(short v) {
        add(RTSHORT).resval.rint = v;
        return *this;
    }
    Args& r(double v) {
        add(RTREAL).resval.rreal = v;
        return *this;
    }
    Args& nil() {
        add(RTNIL);
        return *this;
    }
    const resbuf* head() const { return nodes_.empty() ? nullptr : nodes_.front().get(); }

private:
    resbuf& add(short type) {
        nodes_.push_back(std::make_unique<resbuf>());
        nodes_.back()->restype = type;
        if (nodes_.size() > 1) nodes_[nodes_.size() - 2]->rbnext = nodes_.back().get();
        return *nodes_.back();
    }
    std::vector<std::unique_ptr<resbuf>> nodes_;
    std::deque<std::string> texts_;
};

const std::string kUnknown = "\nNie istnieje zmienna o tej nazwie ";
const std::string kScaleGet =
    "\nWspółczynnik skali nie istnieje lub wkaźnik jest nieprawidłowy: (velmgetvar scale$<sfactor> <0..9>)";
const std::string kScaleSet =
    "\nWspółczynnik skali nie istnieje, wskaźnik lub wartość jest "
    "nieprawidłowa:(velmsetvar scale$<sfactor> <0..9> <value>)";

}  // namespace

TEST(VelmGetVar, returns_each_kind_of_variable_ignoring_name_case) {
    FakeDrawing d;
    LispResult r = VelmGetVarLisp(d, Args().str("sfatscala").head());
    EXPECT_EQ(r.status, RTNORM);
    EXPECT_EQ(std::get<short>(r.value), 50);
    EXPECT_EQ(std::get<double>(VelmGetVarLisp(d, Args().str("SQPAV").head()).value), 0.0);
    EXPECT_EQ(std::get<std::string>(VelmGetVarLisp(d, Args().str("ULAYERMURO").head()).value), "2DWALLS");
    EXPECT_EQ(d.printed, "");
}

TEST(VelmGetVar, point_variable_gives_nil_silently_and_unknown_names_say_so) {
    FakeDrawing d;
    LispResult r = VelmGetVarLisp(d, Args().str("SETOMBRE_DIRLUCE").head());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r.value));
    EXPECT_EQ(d.printed, "");
    r = VelmGetVarLisp(d, Args().str("10000").head());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r.value));
    EXPECT_EQ(d.printed, kUnknown + "10000");
}

TEST(VelmGetVar, missing_or_non_text_argument_is_an_error) {
    FakeDrawing d;
    EXPECT_EQ(VelmGetVarLisp(d, nullptr).status, RTERROR);
    EXPECT_EQ(d.printed,
              "\nFunkcja nie ma wystarczających parametrów:(velmgetvar <name>) or (velmgetvar "
              "scale$<sfactor> <0..9>)");
    d.printed.clear();
    EXPECT_EQ(VelmGetVarLisp(d, Args().i(3).head()).status, RTERROR);
    EXPECT_EQ(d.printed,
              "\nArgument musi być tekstem:(velmgetvar <name>) or (velmgetvar scale$<sfactor> <0..9>)");
}

TEST(VelmGetVar, store_that_cannot_be_opened_reports_an_error) {
    FakeDrawing d;
    d.setupOpens = false;
    EXPECT_EQ(VelmGetVarLisp(d, Args().str("SQPAV").head()).status, RTERROR);
    std::string t;
    int i = 0;
    double r = 0;
    EXPECT_EQ(GetVarByName(d, "SQPAV", -1, t, i, r), RTERROR);
    EXPECT_EQ(GetVarByName(d, "10001", -1, t, i, r), -1);
    EXPECT_EQ(d.printed, "");
}

TEST(VelmSetVar, integer_converts_for_a_real_but_a_real_is_refused_by_an_integer) {
    FakeDrawing d;
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("SFTMTCM").i(1).head()).status, RTNORM);
    EXPECT_EQ(d.realVar(SetupVar::SFTMTCM), 1.0);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("sftmtcm").r(0.01).head()).status, RTNORM);
    EXPECT_EQ(d.realVar(SetupVar::SFTMTCM), 0.01);
    EXPECT_EQ(d.printed, "");

    EXPECT_EQ(VelmSetVarLisp(d, Args().str("SFATSCALA").r(100.0).head()).status, RTERROR);
    EXPECT_EQ(d.printed, "\nZmienna jest typu INTEGER i nie może być przypisana do rodzaju REAL");
    EXPECT_EQ(d.intVar(SetupVar::SFATSCALA), 50);
}

TEST(VelmSetVar, kind_matrix_stores_only_matching_kinds) {
    struct Case {
        const char* name;
        short given;
        const char* message;  // null: stored
    };
    const Case cases[] = {
        {"SFATSCALA", RTSHORT, nullptr},
        {"SFATSCALA", RTSTR, "INTEGER i nie może być przypisana do rodzaju TEXT"},
        {"SFATSCALA", RTNIL, "INTEGER i nie może być przypisana do rodzaju UNKNOWN"},
        {"SQPAV", RTSHORT, nullptr},
        {"SQPAV", RTREAL, nullptr},
        {"SQPAV", RTSTR, "REAL i nie może być przypisana do rodzaju TEXT"},
        {"ULAYERMURO", RTSTR, nullptr},
        {"ULAYERMURO", RTSHORT, "TEXT i nie może być przypisana do rodzaju INTEGER"},
        {"ULAYERMURO", RTREAL, "TEXT i nie może być przypisana do rodzaju REAL"},
        {"ULAYERMURO", RTNIL, "TEXT i nie może być przypisana do rodzaju UNKNOWN"},
        {"SETOMBRE_DIRLUCE", RTREAL, "POINT i nie może być przypisana do rodzaju REAL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.given));
        FakeDrawing d;
        Args a;
        a.str(c.name);
        if (c.given == RTSHORT)
            a.i(7);
        else if (c.given == RTREAL)
            a.r(7.5);
        else if (c.given == RTSTR)
            a.str("WARSTWA");
        else
            a.nil();
        SetupSlots before = d.setup.slots();
        LispResult r = VelmSetVarLisp(d, a.head());
        int slot = FindSetupVarSlot(c.name);
        if (c.message) {
            EXPECT_EQ(r.status, RTERROR);
            EXPECT_EQ(d.printed, std::string("\nZmienna jest typu ") + c.message);
            EXPECT_TRUE(SameValue(before[slot].value(), d.setup.slots()[slot].value()));
        } else {
            EXPECT_EQ(r.status, RTNORM);
            EXPECT_EQ(d.printed, "");
            const AA_VALORE& now = d.setup.slots()[slot].value();
            AA_VALORE expected = c.given == RTSHORT  ? (slot == 0 ? AA_VALORE(7.0) : AA_VALORE(short{7}))
                                 : c.given == RTREAL ? AA_VALORE(7.5)
                                                     : AA_VALORE(std::string("WARSTWA"));
            EXPECT_TRUE(SameValue(now, expected));
        }
    }
}

TEST(VelmSetVar, integers_keep_their_low_16_bits) {
    FakeDrawing d;
    d.setup.slots()[SetupVar::SFATSCALA].setValue(short{1});
    AA_VARIABILE& v = d.setup.slots()[SetupVar::SFATSCALA];
    auto labels = AssignByKind(v, kKindInt, "", 65536 + 100, 0);
    EXPECT_EQ(labels.first, labels.second);
    EXPECT_EQ(*v.asInt(), 100);
}

TEST(VelmSetVar, calc_bit_pseudo_variables_set_and_clear_one_bit) {
    FakeDrawing d;
    d.setup.setInt(SetupVar::CALC_INT_SEZ, 1);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("10003").i(1).head()).status, RTNORM);
    EXPECT_EQ(d.intVar(SetupVar::CALC_INT_SEZ), 1 + 8);
    EXPECT_EQ(std::get<short>(VelmGetVarLisp(d, Args().str("10003").head()).value), 1);
    EXPECT_EQ(std::get<short>(VelmGetVarLisp(d, Args().str("10002").head()).value), 0);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("10005").i(2).head()).status, RTNORM);
    EXPECT_EQ(d.intVar(SetupVar::CALC_INT_SEZ), 1 + 8 + 32);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("10003").i(0).head()).status, RTNORM);
    EXPECT_EQ(d.intVar(SetupVar::CALC_INT_SEZ), 1 + 32);
    EXPECT_EQ(d.printed, "");
    // Outside 10001..10005, or not given an integer, the name is unknown.
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("10006").i(1).head()).status, RTERROR);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("10001").r(1.0).head()).status, RTERROR);
    EXPECT_EQ(d.printed, kUnknown + "10006" + kUnknown + "10001");
    EXPECT_EQ(d.intVar(SetupVar::CALC_INT_SEZ), 1 + 32);
}

TEST(VelmSetVar, scale_entries_are_set_and_read_by_key_and_index) {
    FakeDrawing d;
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("scale$50").i(9).r(75.0).head()).status, RTNORM);
    EXPECT_EQ(d.printed, "");
    EXPECT_EQ(std::get<double>(VelmGetVarLisp(d, Args().str("SCALE$50").i(9).head()).value), 75.0);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("scale$100").i(0).i(12).head()).status, RTNORM);
    EXPECT_EQ(d.scales.scales.FindByKey(100)->values[0], 12.0);

    std::vector<Args> badSets(6);
    badSets[0].str("scale$50").i(10).r(1.0);
    badSets[1].str("scale$77").i(1).r(1.0);
    badSets[2].str("scale$50").r(1.0).r(1.0);
    badSets[3].str("scale$50").i(1).str("x");
    badSets[4].str("scale$").i(1).r(1.0);
    badSets[5].str("scale$50").i(1);
    for (const Args& bad : badSets) {
        d.printed.clear();
        EXPECT_EQ(VelmSetVarLisp(d, bad.head()).status, RTNORM);
        EXPECT_EQ(d.printed, kScaleSet);
    }
    std::vector<Args> badGets(4);
    badGets[0].str("scale$50").i(10);
    badGets[1].str("scale$77").i(1);
    badGets[2].str("scale$50");
    badGets[3].str("scale$50").r(1.0);
    for (const Args& bad : badGets) {
        d.printed.clear();
        LispResult r = VelmGetVarLisp(d, bad.head());
        EXPECT_TRUE(std::holds_alternative<std::monostate>(r.value));
        EXPECT_EQ(d.printed, kScaleGet);
    }
    EXPECT_EQ(d.scales.scales.FindByKey(50)->values[1], 3.0);
}

TEST(VelmSetVar, libopt_adds_a_folder_once_ignoring_case) {
    FakeDrawing d;
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("$LIBOPT$").str("C:\\Velm\\Lib").head()).status, RTNORM);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("$libopt$").str("c:\\velm\\LIB").head()).status, RTNORM);
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("$LIBOPT$").i(3).head()).status, RTNORM);
    EXPECT_EQ(d.libs.entries, std::vector<std::string>{"C:\\Velm\\Lib"});
    EXPECT_EQ(d.printed, "");
}

TEST(VelmSetVar, too_few_or_mistyped_arguments_are_errors) {
    FakeDrawing d;
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("SQPAV").head()).status, RTERROR);
    EXPECT_EQ(d.printed,
              "\nFunkcja nie ma wystarczających parametrów:(velmsetvar <name> <value>) or "
              "(velmsetvar scale$<sfactor> <0..9> <value>)");
    d.printed.clear();
    EXPECT_EQ(VelmSetVarLisp(d, Args().i(1).i(2).head()).status, RTERROR);
    EXPECT_EQ(d.printed,
              "\nPierwszy parametr musi być tekstem:(velmsetvar <name> <value>) or "
              "(velmsetvar scale$<sfactor> <0..9> <value>");
    d.printed.clear();
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("NIEMA").i(2).head()).status, RTERROR);
    EXPECT_EQ(d.printed, kUnknown + "NIEMA");
    d.setupOpens = false;
    d.printed.clear();
    EXPECT_EQ(VelmSetVarLisp(d, Args().str("SQPAV").r(2).head()).status, RTERROR);
    EXPECT_EQ(d.printed, "");
}

TEST(VelmSetVarCommand, shows_the_current_value_and_stores_the_answer) {
    FakeDrawing d;
    d.answers = {{RTNORM, "SQPAV"}, {RTNORM, "300.5"}};
    VELMSETVAR(d);
    ASSERT_EQ(d.prompts.size(), 2u);
    EXPECT_EQ(d.prompts[0], "\nNazwa zmiennej:");
    EXPECT_EQ(d.prompts[1], "\nNowa wartość dla zmiennej SQPAV <0.0000>:");
    EXPECT_EQ(d.realVar(SetupVar::SQPAV), 300.5);

    d.prompts.clear();
    d.answers = {{RTNORM, "ulayermuro"}, {RTNORM, "MURY 2D"}};
    VELMSETVAR(d);
    EXPECT_EQ(d.prompts[1], "\nNowa wartość dla zmiennej ulayermuro <2DWALLS>:");
    EXPECT_EQ(d.textVar(SetupVar::ULAYERMURO), "MURY 2D");

    d.answers = {{RTNORM, "10004"}, {RTNORM, "1"}};
    VELMSETVAR(d);
    EXPECT_EQ(d.intVar(SetupVar::CALC_INT_SEZ), 16);
    EXPECT_EQ(d.printed, "");
}

TEST(VelmSetVarCommand, bad_empty_or_cancelled_answers_change_nothing) {
    FakeDrawing d;
    d.answers = {{RTNORM, "SQPAV"}, {RTNORM, "abc"}};
    VELMSETVAR(d);
    EXPECT_EQ(d.printed, "\nWartość <abc> nie jest prawidłową wartością dla zmiennej <SQPAV>:");
    d.printed.clear();
    d.answers = {{RTNORM, "SFATSCALA"}, {RTNORM, "nan"}};
    VELMSETVAR(d);
    d.answers = {{RTNORM, "SQPAV"}, {RTNORM, "inf"}};
    VELMSETVAR(d);
    EXPECT_EQ(d.printed,
              "\nWartość <nan> nie jest prawidłową wartością dla zmiennej <SFATSCALA>:"
              "\nWartość <inf> nie jest prawidłową wartością dla zmiennej <SQPAV>:");
    d.answers = {{RTNORM, "SQPAV"}, {RTNORM, ""}};
    VELMSETVAR(d);
    d.answers = {{RTNORM, "SQPAV"}, {RTCAN, "5"}};
    VELMSETVAR(d);
    d.answers = {{RTCAN, "SQPAV"}};
    VELMSETVAR(d);
    EXPECT_EQ(d.realVar(SetupVar::SQPAV), 0.0);
    EXPECT_EQ(d.intVar(SetupVar::SFATSCALA), 50);

    d.printed.clear();
    d.answers = {{RTNORM, "scale$50"}};
    VELMSETVAR(d);
    EXPECT_EQ(d.printed, kScaleGet);
    EXPECT_EQ(d.prompts.back(), "\nNazwa zmiennej:");
}

TEST(ByNameParsing, numbers_read_as_the_classic_conversions_do) {
    EXPECT_EQ(ReadDecimalInt("  42abc"), 42);
    EXPECT_EQ(ReadDecimalInt("-7"), -7);
    EXPECT_EQ(ReadDecimalInt("+10003"), 10003);
    EXPECT_FALSE(ReadDecimalInt("x1"));
    EXPECT_FALSE(ReadDecimalInt("-"));
    EXPECT_FALSE(ReadDecimalInt("99999999999999999999"));
    EXPECT_EQ(ReadDecimalInt("-2147483648"), INT_MIN);
    EXPECT_EQ(ReadDecimalReal(" 2.5m"), 2.5);
    EXPECT_EQ(ReadDecimalReal("+1e2"), 100.0);
    EXPECT_EQ(ReadDecimalReal("-0.25"), -0.25);
    EXPECT_FALSE(ReadDecimalReal("+-1"));
    EXPECT_FALSE(ReadDecimalReal(",5"));
    EXPECT_TRUE(IsScaleName("sCaLe$100"));
    EXPECT_TRUE(IsScaleName("SCALEX"));  // only five characters are compared
    EXPECT_FALSE(IsScaleName("SCAL"));
    EXPECT_TRUE(IsLibOptName("$libo"));
    EXPECT_FALSE(CalcBitPseudoVariable("10000"));
    EXPECT_EQ(CalcBitPseudoVariable("10005"), 10005);
}

// Settings by name on a drawing, end to end: the command VELMSETVAR typed
// at the command line and answered from the input queue, and the LISP
// functions called from a LISP line through the module's servers.
#include "settings/setvar_drawing.h"

#include "host/ads/lisp.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/cmdstack.h"
#include "tests/settings/drawing_fixture.h"

namespace {

int moduleLispEntry() {
    switch (zcedGetFunCode()) {
        case 0:
            return LispVelmSetVar();
        case 1:
            return LispVelmGetVar();
        default:
            return RTERROR;
    }
}

class SettingsByNameOnDrawing : public DrawingSettings {
protected:
    void SetUp() override {
        DrawingSettings::SetUp();
        zcedRegCmds()->addCommand("VELM7", "VELMSETVAR", "VELMSETVAR", 1, &CmdVelmSetVar);
        host::setLispInvoker(moduleLispEntry);
        ASSERT_EQ(zcedDefun("velmsetvar", 0), RTNORM);
        ASSERT_EQ(zcedDefun("velmgetvar", 1), RTNORM);
    }
    void TearDown() override {
        zcedRegCmds()->removeGroup("VELM7");
        host::setLispInvoker(nullptr);
        DrawingSettings::TearDown();
    }
    static void feed(std::initializer_list<const char*> lines) {
        for (const char* l : lines) curDoc()->inputQueue().pushLine(l);
    }
    // The printed value of a LISP line.
    static std::string lisp(const std::string& line) {
        host::evaluateLispLine(line);
        return host::lastLispValue();
    }
    static double realVar(int slot) {
        double v = 0;
        EXPECT_TRUE(GetVarReal(&slot, &v));
        return v;
    }
    static int intVar(int slot) {
        int v = 0;
        EXPECT_TRUE(GetVarInt(&slot, &v));
        return v;
    }
};

}  // namespace

TEST_F(SettingsByNameOnDrawing, command_shows_the_current_value_and_stores_the_answer) {
    // The current value in the drawing's units and precision.
    resbuf rb{};
    rb.restype = RTSHORT;
    rb.resval.rint = 0;
    ASSERT_EQ(zcedSetVar("DIMZIN", &rb), RTNORM);
    rb.resval.rint = 2;
    ASSERT_EQ(zcedSetVar("LUPREC", &rb), RTNORM);
    feed({"VELMSETVAR", "SQPAV", "320.5"});
    EXPECT_EQ(host::processInput(), RTNORM);
    EXPECT_NE(transcript().find("Nowa wartość dla zmiennej SQPAV <0.00>:"), std::string::npos)
        << transcript();
    EXPECT_EQ(realVar(SetupVar::SQPAV), 320.5);
    feed({"VELMSETVAR", "ulayermuro", "ŚCIANY NOŚNE"});
    host::processInput();
    std::string text;
    int slot = SetupVar::ULAYERMURO;
    EXPECT_TRUE(GetVarString(&slot, text));
    EXPECT_EQ(text, "ŚCIANY NOŚNE");
}

TEST_F(SettingsByNameOnDrawing, command_refuses_a_value_that_is_no_number) {
    feed({"VELMSETVAR", "SFATSCALA", "abc"});
    host::processInput();
    EXPECT_NE(transcript().find("Wartość <abc> nie jest prawidłową wartością dla zmiennej <SFATSCALA>:"),
              std::string::npos);
    EXPECT_EQ(intVar(SetupVar::SFATSCALA), 50);
    feed({"VELMSETVAR", "NOSUCHVAR"});
    host::processInput();
    EXPECT_NE(transcript().find("Nie istnieje zmienna o tej nazwie NOSUCHVAR"), std::string::npos);
}

TEST_F(SettingsByNameOnDrawing, command_change_is_undone_with_its_group) {
    realVar(SetupVar::SQPAV);  // the store exists before the change
    db->beginUndoGroup();
    feed({"VELMSETVAR", "SQPAV", "99"});
    host::processInput();
    db->endUndoGroup();
    EXPECT_EQ(realVar(SetupVar::SQPAV), 99.0);
    EXPECT_TRUE(db->undoGroup());
    EXPECT_EQ(realVar(SetupVar::SQPAV), 0.0);
}

TEST_F(SettingsByNameOnDrawing, lisp_reads_the_defaults_of_a_new_drawing) {
    EXPECT_EQ(lisp("(velmgetvar \"sfatscala\")"), "50");
    EXPECT_EQ(lisp("(velmgetvar \"ULAYERMURO\")"), "\"2DWALLS\"");
    EXPECT_EQ(lisp("(velmgetvar \"SETOMBRE_DIRLUCE\")"), "nil");
    EXPECT_EQ(lisp("(velmgetvar \"scale$50\" 9)").rfind("50", 0), 0u);
    EXPECT_EQ(lisp("(velmgetvar \"SQPAV\")").rfind("0", 0), 0u);
}

TEST_F(SettingsByNameOnDrawing, lisp_sets_by_the_variable_kind) {
    EXPECT_EQ(host::evaluateLispLine("(velmsetvar \"SFTMTCM\" 2)"), RTNORM);
    EXPECT_EQ(realVar(SetupVar::SFTMTCM), 2.0);
    EXPECT_EQ(host::evaluateLispLine("(velmsetvar \"SFATSCALA\" 100.0)"), RTERROR);
    EXPECT_NE(transcript().find("Zmienna jest typu INTEGER i nie może być przypisana do rodzaju REAL"),
              std::string::npos);
    EXPECT_EQ(intVar(SetupVar::SFATSCALA), 50);
}

TEST_F(SettingsByNameOnDrawing, lisp_reaches_scale_entries_bits_and_library_folders) {
    EXPECT_EQ(host::evaluateLispLine("(velmsetvar \"scale$50\" 9 75.0)"), RTNORM);
    double v = 0;
    EXPECT_TRUE(AccessScaleFactor(50, 9, v, false));
    EXPECT_EQ(v, 75.0);
    EXPECT_EQ(lisp("(velmgetvar \"scale$50\" 10)"), "nil");

    EXPECT_EQ(host::evaluateLispLine("(velmsetvar \"10003\" 1)"), RTNORM);
    EXPECT_EQ(intVar(SetupVar::CALC_INT_SEZ), 8);
    EXPECT_EQ(lisp("(velmgetvar \"10003\")"), "1");
    host::evaluateLispLine("(velmsetvar \"10003\" 0)");
    EXPECT_EQ(intVar(SetupVar::CALC_INT_SEZ), 0);

    host::evaluateLispLine("(velmsetvar \"$LIBOPT$\" \"C:\\\\Biblioteka\")");
    host::evaluateLispLine("(velmsetvar \"$libopt$\" \"c:\\\\biblioteka\")");
    auto* lib = OpenLibObjOptObject();
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(lib->entries, std::vector<std::string>{"C:\\Biblioteka"});
    lib->close();
}

TEST_F(SettingsByNameOnDrawing, lisp_leaves_no_object_open) {
    lisp("(velmgetvar \"SQPAV\")");
    host::evaluateLispLine("(velmsetvar \"SQPAV\" 12.0)");
    host::evaluateLispLine("(velmsetvar \"scale$50\" 1 4.0)");
    VELM_SETUP* s = OpenSetupObject(false);
    ASSERT_NE(s, nullptr);
    s->close();
    VELM_FSCALA* f = OpenFScalaObject();
    ASSERT_NE(f, nullptr);
    f->close();
    EXPECT_EQ(lisp("(velmgetvar \"velmnothing\")"), "nil");
}

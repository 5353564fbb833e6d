// System variables at the command line (a name typed as a command, SETVAR)
// and the spaces TILEMODE, MSPACE and PSPACE switch, in a new drawing and
// in one read back from a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/ads/editor.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

namespace {

struct VarRecorder : ZcEditorReactor {
    std::vector<std::string> seen;
    void commandWillStart(const char* c) override { seen.push_back(std::string("start ") + c); }
    void sysVarChanged(const char* v, bool ok) override {
        if (std::string(v) != "CMDNAMES") seen.push_back(std::string("changed ") + v + (ok ? " ok" : " bad"));
    }
};

class SetVar : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        zcedEditor->addReactor(&rec);
    }
    void TearDown() override {
        zcedEditor->removeReactor(&rec);
        VelmTest::TearDown();
    }
    VarRecorder rec;
};

bool inPaperSpace() {
    return curDoc()->database()->currentSpaceId() == curDoc()->database()->paperSpaceId();
}

}  // namespace

TEST_F(SetVar, typed_name_shows_and_sets_the_variable_with_its_checks) {
    EXPECT_EQ(run({"TEXTSIZE", "3.5"}), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarReal("TEXTSIZE"), 3.5);
    EXPECT_NE(transcript().find("Podaj nową wartość dla TEXTSIZE <2.5>: "), std::string::npos)
        << transcript();
    EXPECT_NE(std::find(rec.seen.begin(), rec.seen.end(), "changed TEXTSIZE ok"), rec.seen.end());
    // Enter keeps the value; lower case and the "_" prefix are names too.
    EXPECT_EQ(run({"_textsize", ""}), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarReal("TEXTSIZE"), 3.5);
    // Out of range and not a number: asked again, the value unchanged meanwhile.
    EXPECT_EQ(run({"TILEMODE", "7", "x", "1"}), RTNORM);
    EXPECT_NE(transcript().find("Wartość musi być z zakresu od 0 do 1."), std::string::npos);
    EXPECT_NE(transcript().find("Wymagana jest liczba całkowita."), std::string::npos);
    EXPECT_EQ(host::sysVarShort("TILEMODE"), 1);
    // A read-only variable is shown and not asked for; the next line is a command.
    EXPECT_EQ(run({"DWGNAME", "_REDRAW"}), RTNORM);
    EXPECT_NE(lastMessage().find("(tylko do odczytu)"), std::string::npos);
    // SETVAR asks for the name; an unknown one is said.
    EXPECT_EQ(run({"_SETVAR", "TEXTSIZE", "3"}), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarReal("TEXTSIZE"), 3.0);
    EXPECT_EQ(run({"_SETVAR", "NIEMA"}), RTERROR);
    EXPECT_NE(lastMessage().find("Nieznana nazwa zmiennej."), std::string::npos);
    // Transparently inside a command's prompt.
    EXPECT_EQ(run({"_LINE", "0,0", "'TEXTSIZE", "4", "10,0", ""}), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarReal("TEXTSIZE"), 4.0);
    EXPECT_EQ(count("0=LINE"), 1);
}

TEST_F(SetVar, tilemode_switches_spaces_and_mspace_pspace_set_cvport) {
    EXPECT_EQ(run({"TILEMODE", "0"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 1);
    EXPECT_TRUE(inPaperSpace());
    EXPECT_EQ(run({"_MSPACE"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 2);
    EXPECT_FALSE(inPaperSpace());
    EXPECT_EQ(run({"_PSPACE"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 1);
    EXPECT_TRUE(inPaperSpace());
    EXPECT_EQ(run({"TILEMODE", "1"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 2);
    EXPECT_FALSE(inPaperSpace());
}

TEST_F(SetVar, drawing_saved_in_paper_space_switches_the_same_when_read_back) {
    TestDir dir;
    ASSERT_EQ(run({"TILEMODE", "0", "_MSPACE"}), RTNORM);
    std::string path = dir.path("layout.dxf"), error;
    ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
    ZcApDocument* doc = host::openDrawing(path, &error);
    ASSERT_NE(doc, nullptr) << error;
    EXPECT_EQ(host::sysVarShort("TILEMODE"), 0);
    EXPECT_EQ(run({"_PSPACE"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 1);
    EXPECT_TRUE(inPaperSpace());
    EXPECT_EQ(run({"_MSPACE"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 2);
    EXPECT_FALSE(inPaperSpace());
    EXPECT_EQ(run({"TILEMODE", "1"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("CVPORT"), 2);
}

// System variables: types, ranges, read-only refusal, notifications.
#include <string>
#include <vector>

#include "host/ads/editor.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbmain.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

std::vector<std::string> seen;

struct VarWatcher : ZcEditorReactor {
    void sysVarWillChange(const char* v) override { seen.push_back(std::string("will ") + v); }
    void sysVarChanged(const char* v, bool ok) override {
        seen.push_back(std::string("changed ") + v + (ok ? "" : " failed"));
    }
};

class SysVars : public EdSession {
protected:
    void SetUp() override {
        EdSession::SetUp();
        seen.clear();
        zcedEditor->addReactor(&w);
    }
    void TearDown() override {
        zcedEditor->removeReactor(&w);
        EdSession::TearDown();
    }
    VarWatcher w;
};

int setShort(const char* name, int v) {
    resbuf rb;
    rb.restype = RTSHORT;
    rb.resval.rint = static_cast<short>(v);
    return zcedSetVar(name, &rb);
}

TEST_F(SysVars, defaults_are_typed) {
    resbuf rb;
    ASSERT_EQ(zcedGetVar("CMDECHO", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 1);
    ASSERT_EQ(zcedGetVar("elevation", &rb), RTNORM) << "names ignore case";
    EXPECT_EQ(rb.restype, RTREAL);
    ASSERT_EQ(zcedGetVar("CLAYER", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSTR);
    EXPECT_STREQ(rb.resval.rstring, "0");
    zcutDelString(rb.resval.rstring);
    ASSERT_EQ(zcedGetVar("VIEWDIR", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RT3DPOINT);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[2], 1.0);
    EXPECT_EQ(zcedGetVar("NOSUCHVAR", &rb), RTERROR);
}

TEST_F(SysVars, wrong_type_and_out_of_range_are_rejected_and_change_nothing) {
    resbuf rb;
    rb.restype = RTSTR;
    rb.resval.rstring = const_cast<char*>("1");
    EXPECT_EQ(zcedSetVar("CMDECHO", &rb), RTREJ);
    EXPECT_EQ(setShort("LUNITS", 6), RTREJ);
    EXPECT_EQ(setShort("LUNITS", 0), RTREJ);
    EXPECT_EQ(host::sysVarShort("LUNITS"), 2);
    rb.restype = RTREAL;
    rb.resval.rreal = 1.0;
    EXPECT_EQ(zcedSetVar("TILEMODE", &rb), RTREJ);
    EXPECT_TRUE(seen.empty()) << "refusals notify nobody";
}

TEST_F(SysVars, read_only_variables_are_refused) {
    resbuf rb;
    rb.restype = RTSTR;
    rb.resval.rstring = const_cast<char*>("X");
    EXPECT_EQ(zcedSetVar("CMDNAMES", &rb), RTERROR);
    EXPECT_EQ(zcedSetVar("DWGNAME", &rb), RTERROR);
    rb.restype = RTREAL;
    rb.resval.rreal = 10.0;
    EXPECT_EQ(zcedSetVar("VIEWSIZE", &rb), RTERROR);
    EXPECT_EQ(zcedSetVar("NOSUCHVAR", &rb), RTERROR);
}

TEST_F(SysVars, an_integer_sets_a_real_variable) {
    EXPECT_EQ(setShort("ELEVATION", 300), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarReal("ELEVATION"), 300.0);
}

TEST_F(SysVars, setting_notifies_before_and_after) {
    EXPECT_EQ(setShort("TILEMODE", 0), RTNORM);
    EXPECT_EQ(seen, (std::vector<std::string>{"will TILEMODE", "changed TILEMODE"}));
    resbuf rb;
    zcedGetVar("TILEMODE", &rb);
    EXPECT_EQ(rb.resval.rint, 0);
}

TEST_F(SysVars, a_2d_point_variable_keeps_z_zero) {
    resbuf rb;
    rb.restype = RT3DPOINT;
    rb.resval.rpoint[0] = 1;
    rb.resval.rpoint[1] = 2;
    rb.resval.rpoint[2] = 3;
    ASSERT_EQ(zcedSetVar("SNAPBASE", &rb), RTNORM);
    resbuf out;
    zcedGetVar("SNAPBASE", &out);
    EXPECT_EQ(out.restype, RTPOINT);
    EXPECT_DOUBLE_EQ(out.resval.rpoint[2], 0.0);
}

TEST_F(SysVars, every_table_entry_reads_with_its_declared_type) {
    for (const host::SysVarDef& d : host::sysVarTable()) {
        resbuf rb;
        ASSERT_EQ(zcedGetVar(d.name, &rb), RTNORM) << d.name;
        EXPECT_EQ(rb.restype, d.type) << d.name;
        if (rb.restype == RTSTR) zcutDelString(rb.resval.rstring);
    }
    EXPECT_NE(host::findSysVar("USERS5"), nullptr);
    EXPECT_EQ(host::findSysVar("DIMSCALE")->scope, host::SysVarScope::Drawing);
    EXPECT_EQ(host::findSysVar("CMDECHO")->scope, host::SysVarScope::Session);
}

// The current layer is where new entities go, not only the variable's text:
// setting it moves the drawing's current layer, and a layer the drawing
// lacks is refused with nothing changed.
TEST_F(SysVars, current_layer_set_by_variable_is_the_drawings_and_must_exist) {
    ZcDbDatabase drawing;
    ZcDbDatabase* db = &drawing;
    ZcDbDatabase* former = zcdbCurDwg();
    zcdbSetCurDwg(db);
    ZcDbLayerTable* table = nullptr;
    ASSERT_EQ(db->getLayerTable(table, ZcDb::kForWrite), Zcad::eOk);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName("MURY");
    ZcDbObjectId mury;
    ASSERT_EQ(table->add(mury, rec), Zcad::eOk);
    rec->close();
    table->close();

    resbuf rb;
    rb.restype = RTSTR;
    char name[] = "MURY";
    rb.resval.rstring = name;
    ASSERT_EQ(zcedSetVar("CLAYER", &rb), RTNORM);
    EXPECT_EQ(db->clayer(), mury);

    char missing[] = "BRAK";
    rb.resval.rstring = missing;
    EXPECT_EQ(zcedSetVar("CLAYER", &rb), RTERROR);
    EXPECT_EQ(db->clayer(), mury);
    EXPECT_EQ(host::sysVarString("CLAYER"), "MURY");
    zcdbSetCurDwg(former);
}

}  // namespace

// The module's life in the host: what start-up attaches and registers,
// what each drawing load and drawing switch does to the tolerance and the
// coordinate variables, and that unload leaves nothing of the module in
// the host.
#include "module/lifecycle.h"

#include <gtest/gtest.h>

#include "core/base/module_state.h"
#include "host/ads/editor.h"
#include "host/ads/lisp.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/ed/cmdstack.h"
#include "host/ed/docman.h"
#include "host/rx/rxobject.h"
#include "module/command_sink.h"
#include "module/reactors.h"
#include "settings/panes.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

const char* const kSettingsClasses[] = {"VELM_SETUP",     "VELM_LIBOBJOPT",  "VELM_FSCALA",
                                        "VELM_GENGRUPPO", "VELM_LAYEROMBRA", "VELM_LAYERMURI",
                                        "VELM_SPESSMURI", "VELM_MATPOV"};

class LifecycleTest : public VelmTest {
protected:
    static void setFactor(double v) {
        const int slot = SetupVar::SFTMTCM;
        SetVarReal(&slot, &v);
    }
    static void setNoConf(short v) {
        const int slot = SetupVar::NOCONF_VELMOR;
        SetVarInt(&slot, &v);
    }
    static void setShort(const char* name, short v) {
        resbuf rb;
        rb.restype = RTSHORT;
        rb.resval.rint = v;
        ASSERT_EQ(zcedSetVar(name, &rb), RTNORM);
    }
    static void unload() {
        zcrxEntryPoint(4, nullptr);
        zcrxEntryPoint(2, nullptr);
    }
};

}  // namespace

TEST_F(LifecycleTest, start_up_registers_classes_commands_and_the_document_reactor) {
    int appTag = 0;
    ASSERT_EQ(zcrxEntryPoint(1, &appTag), 0);
    EXPECT_TRUE(ModuleStarted());
    for (const char* name : kSettingsClasses) {
        ZcRxClass* cls = zcrxFindClass(name);
        ASSERT_NE(cls, nullptr) << name;
        EXPECT_STREQ(cls->appName(), "VELM7");
        EXPECT_STREQ(cls->dxfName(), name);
        ASSERT_NE(cls->myParent(), nullptr);
        EXPECT_STREQ(cls->myParent()->name(), "AcDbObject");
    }
    // The jigs' preview entities are entities.
    ZcRxClass* preview = zcrxFindClass("VELM_MUROJ");
    ASSERT_NE(preview, nullptr);
    EXPECT_STREQ(preview->dxfName(), "VELM_MUROJ");
    EXPECT_STREQ(preview->appName(), "VELM7");
    ASSERT_NE(preview->myParent(), nullptr);
    EXPECT_STREQ(preview->myParent()->name(), "AcDbEntity");
    EXPECT_TRUE(RegisteredCommandStack()->hasGroup("VELM7"));
    EXPECT_NE(FloorPane(), nullptr);
    EXPECT_NE(ViewPane(), nullptr);
    // No drawing has become current since: no editor reactor yet.
    EXPECT_EQ(EditorReactor(), nullptr);
    // A new drawing is watched from its creation on.
    ZcApDocument* doc = zcDocManagerPtr()->createDocument("second.dxf");
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->database()->hasReactor(&PrmtReactorDB()));
    ASSERT_NE(EditorReactor(), nullptr);
    EXPECT_TRUE(zcedEditor->hasReactor(EditorReactor()));
    unload();
}

TEST_F(LifecycleTest, a_class_already_known_is_left_to_its_owner) {
    ZcRxClass* foreign = newZcRxClass("VELM_SETUP", "AcDbObject", 1, 0, 0, nullptr, "VELM_SETUP", "OTHER");
    ASSERT_NE(foreign, nullptr);
    loadModule();
    EXPECT_EQ(zcrxFindClass("VELM_SETUP"), foreign);
    unload();
    EXPECT_EQ(zcrxFindClass("VELM_SETUP"), foreign) << "unload removes only what the module made";
    deleteZcRxClass(foreign);
}

TEST_F(LifecycleTest, unload_leaves_no_command_class_or_reactor_behind) {
    loadModule();
    ZcApDocument* first = zcDocManagerPtr()->curDocument();
    ZcApDocument* second = zcDocManagerPtr()->createDocument("second.dxf");
    ASSERT_NE(EditorReactor(), nullptr);
    std::size_t editorReactors = zcedEditor->reactorCount();
    unload();
    EXPECT_FALSE(ModuleStarted());
    EXPECT_EQ(FloorPane(), nullptr);
    EXPECT_EQ(ViewPane(), nullptr);
    EXPECT_FALSE(RegisteredCommandStack()->hasGroup("VELM7"));
    EXPECT_EQ(RegisteredCommandStack()->lookupGlobalCmd("VELMSETVAR"), nullptr);
    for (const char* name : kSettingsClasses) EXPECT_EQ(zcrxFindClass(name), nullptr) << name;
    EXPECT_EQ(zcrxFindClass("VELM_MUROJ"), nullptr);
    EXPECT_EQ(EditorReactor(), nullptr);
    EXPECT_EQ(zcedEditor->reactorCount(), editorReactors - 1);
    EXPECT_FALSE(second->database()->hasReactor(&PrmtReactorDB()));
    EXPECT_FALSE(first->database()->hasReactor(&PrmtReactorDB()));
    // The document reactor is gone too: a later drawing is not watched.
    ZcApDocument* third = zcDocManagerPtr()->createDocument("third.dxf");
    EXPECT_FALSE(third->database()->hasReactor(&PrmtReactorDB()));
}

TEST_F(LifecycleTest, unloading_before_any_drawing_became_current_removes_no_editor_reactor) {
    std::size_t before = zcedEditor->reactorCount();
    loadModule();
    EXPECT_EQ(EditorReactor(), nullptr);
    unload();
    EXPECT_EQ(zcedEditor->reactorCount(), before);
}

TEST_F(LifecycleTest, drawing_load_takes_the_tolerance_from_the_drawing_units) {
    loadModule();
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.001) << "a new drawing is in centimetres";
    setFactor(0.01);
    zcrxEntryPoint(3, nullptr);
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.00001);
    EXPECT_DOUBLE_EQ(ModuleGeomTol.equalPoint(), 0.00001);
    EXPECT_DOUBLE_EQ(ModuleGeomTol.equalVector(), 0.00001);
    unload();
}

TEST_F(LifecycleTest, switching_drawings_switches_the_tolerance) {
    loadModule();
    setFactor(0.01);
    ZcApDocument* metres = zcDocManagerPtr()->curDocument();
    ZcApDocument* other = zcDocManagerPtr()->createDocument("mm.dxf");
    setFactor(10.0);
    zcDocManagerPtr()->setCurDocument(metres);
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.00001);
    zcDocManagerPtr()->setCurDocument(other);
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.01);
    EXPECT_DOUBLE_EQ(ModuleGeomTol.equalPoint(), 0.01);
    unload();
}

TEST_F(LifecycleTest, becoming_current_sets_the_coordinate_display_unless_the_drawing_forbids_it) {
    loadModule();
    ZcApDocument* keeps = zcDocManagerPtr()->curDocument();
    setNoConf(1);
    ZcApDocument* other = zcDocManagerPtr()->createDocument("other.dxf");
    EXPECT_EQ(host::sysVarShort("COORDS"), 2);
    EXPECT_EQ(host::sysVarShort("UCSORTHO"), 0);
    setShort("COORDS", 0);
    setShort("UCSORTHO", 1);
    zcDocManagerPtr()->setCurDocument(keeps);
    EXPECT_EQ(host::sysVarShort("COORDS"), 0);
    EXPECT_EQ(host::sysVarShort("UCSORTHO"), 1);
    zcDocManagerPtr()->setCurDocument(other);
    EXPECT_EQ(host::sysVarShort("COORDS"), 2);
    EXPECT_EQ(host::sysVarShort("UCSORTHO"), 0);
    unload();
}

TEST_F(LifecycleTest, a_switch_to_paper_space_is_noted_before_it_happens) {
    loadModule();
    zcDocManagerPtr()->createDocument("second.dxf");
    ASSERT_NE(EditorReactor(), nullptr);
    setShort("TILEMODE", 1);
    setShort("TILEMODE", 0);
    const int slot = SetupVar::APPOGGIOCOM;
    int before = -1;
    ASSERT_TRUE(GetVarInt(&slot, &before));
    EXPECT_EQ(before, 1);
    setShort("TILEMODE", 1);
    ASSERT_TRUE(GetVarInt(&slot, &before));
    EXPECT_EQ(before, 0);
    unload();
}

TEST_F(LifecycleTest, unknown_messages_are_accepted_and_ignored) {
    EXPECT_EQ(zcrxEntryPoint(0, nullptr), 0);
    EXPECT_EQ(zcrxEntryPoint(99, nullptr), 0);
    EXPECT_FALSE(ModuleStarted());
    // A drawing message before start-up defines nothing.
    EXPECT_EQ(zcrxEntryPoint(3, nullptr), 0);
    EXPECT_FALSE(host::lispFunctionDefined("velmgetvar"));
}

// The named settings objects of a drawing: registration, open-or-create
// with their defaults, filing through the database's two filers, undo,
// copies, and a save and load of the whole settings dictionary into a new
// drawing.
#include <functional>
#include <memory>

#include "host/db/dxffile.h"
#include "tests/settings/drawing_fixture.h"

namespace {

using Strings = std::vector<std::string>;

// Writes every entry of "VELMOR_6" as a file writer does ("0 <dxf name>",
// then the object's groups) and reads them into the settings dictionary of
// another drawing, made by DXF name as a file reader makes them.
void copySettingsThroughDxf(ZcDbDatabase* from, ZcDbDatabase* to) {
    ZcDbMemDxfFiler stream(from);
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(from->getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
    ZcDbDictionary* dict = nullptr;
    ASSERT_EQ(nod->getAt("VELMOR_6", dict, ZcDb::kForRead), Zcad::eOk);
    nod->close();
    std::vector<std::string> keys;
    for (const auto& e : dict->entries()) {
        ZcDbObject* obj = nullptr;
        ASSERT_EQ(zcdbOpenObject(obj, e.id, ZcDb::kForRead), Zcad::eOk);
        stream.writeString(0, obj->isA()->dxfName());
        ASSERT_EQ(obj->dxfOut(&stream), Zcad::eOk);
        obj->close();
        keys.push_back(e.key);
    }
    dict->close();

    stream.rewind();
    ZcDbDictionary* toNod = nullptr;
    ASSERT_EQ(to->getNamedObjectsDictionary(toNod, ZcDb::kForWrite), Zcad::eOk);
    auto* toDict = new ZcDbDictionary;
    ASSERT_EQ(toNod->setAt("VELMOR_6", toDict), Zcad::eOk);
    toNod->close();
    for (const std::string& key : keys) {
        ZcDbDxfItem head;
        ASSERT_EQ(stream.readItem(head), Zcad::eOk);
        ASSERT_EQ(head.code, 0);
        ZcRxClass* cls = zcrxFindClassByDxfName(head.text);
        ASSERT_NE(cls, nullptr) << head.text;
        std::unique_ptr<ZcDbObject> obj(ZcDbObject::cast(cls->create()));
        ASSERT_NE(obj, nullptr);
        ASSERT_EQ(obj->dxfIn(&stream), Zcad::eOk) << key;
        ASSERT_EQ(toDict->setAt(key, obj.get()), Zcad::eOk);
        obj.release()->close();
    }
    toDict->close();
    EXPECT_TRUE(stream.atEOF());
}

// The state of every settings object of the working drawing, as text.
std::string settingsState() {
    std::string out;
    auto list = [&out](const Strings& l) {
        for (const auto& s : l) out += s + "|";
        out += ";";
    };
    if (VELM_SETUP* s = OpenSetupObject(true)) {
        for (const AA_VARIABILE& v : s->slots()) {
            std::visit(
                [&out](const auto& x) {
                    using T = std::decay_t<decltype(x)>;
                    if constexpr (std::is_same_v<T, std::string>)
                        out += x;
                    else if constexpr (std::is_same_v<T, ZcGePoint3d>)
                        out += std::to_string(x.x) + "," + std::to_string(x.z);
                    else
                        out += std::to_string(x);
                },
                v.value());
            out += "/";
        }
        s->close();
    }
    if (auto* o = OpenLibObjOptObject()) {
        list(o->entries);
        o->close();
    }
    if (auto* o = OpenLayerMuriObject()) {
        list(o->entries);
        o->close();
    }
    if (auto* o = OpenGenGruppoObject()) {
        list(o->generating);
        list(o->nonGenerating);
        o->close();
    }
    if (auto* o = OpenLayerOmbraObject()) {
        list(o->entries);
        o->close();
    }
    if (auto* o = OpenSpessMuriObject()) {
        for (double t : o->thicknesses) out += std::to_string(t) + " ";
        o->close();
    }
    if (auto* o = OpenFScalaObject()) {
        for (const auto& r : o->scales.records) {
            out += std::to_string(r.key) + ":";
            for (double v : r.values) out += std::to_string(v) + " ";
        }
        o->close();
    }
    return out;
}

// Changes every object away from its defaults.
void editEverySetting() {
    int s = SetupVar::ULAYERMURO, r = SetupVar::SFTMTCM, p = SetupVar::SETOMBRE_DIRLUCE;
    SetVarString(&s, "ŚCIANY");
    double f = 0.01, x = 1, y = 2, z = 3;
    SetVarReal(&r, &f);
    SetVarPoint(&p, &x, &y, &z);
    auto* lib = OpenLibObjOptObject();
    lib->entries = {"C:\\biblioteka", "D:\\obiekty"};
    lib->close();
    auto* walls = OpenLayerMuriObject();
    walls->entries.push_back("3DWALLS");
    walls->close();
    auto* groups = OpenGenGruppoObject();
    groups->nonGenerating = {"3D*"};
    groups->close();
    auto* shadow = OpenLayerOmbraObject();
    shadow->entries.push_back("cienie_*");
    shadow->close();
    auto* thick = OpenSpessMuriObject();
    thick->UseThickness(25.0);
    thick->close();
    auto* scales = OpenFScalaObject();
    AA_FSCALA rec = DefaultScaleRecord(200);
    rec.values[9] = 200.0;
    scales->scales.SetByKey(200, rec);
    scales->close();
}

}  // namespace

TEST_F(DrawingSettings, classes_register_once_in_order_and_are_made_by_name) {
    for (const char* name : {"VELM_SETUP", "VELM_LIBOBJOPT", "VELM_FSCALA", "VELM_GENGRUPPO",
                             "VELM_LAYEROMBRA", "VELM_LAYERMURI", "VELM_SPESSMURI"}) {
        ZcRxClass* cls = zcrxFindClass(name);
        ASSERT_NE(cls, nullptr) << name;
        EXPECT_STREQ(cls->dxfName(), name);
        EXPECT_STREQ(cls->appName(), "VELM7");
        EXPECT_EQ(cls->myParent(), ZcDbObject::desc());
        std::unique_ptr<ZcRxObject> made(cls->create());
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->isA(), cls);
    }
    ZcRxClass* before = VELM_SETUP::desc();
    RegisterSettingsModule();  // again: nothing new
    EXPECT_EQ(VELM_SETUP::desc(), before);
}

TEST_F(DrawingSettings, unregistering_leaves_a_class_this_module_did_not_make) {
    UnregisterSettingsModule();
    EXPECT_EQ(zcrxFindClass("VELM_FSCALA"), nullptr);
    ZcRxClass* foreign =
        newZcRxClass("VELM_FSCALA", "AcDbObject", 1, 0, 0, &VELM_FSCALA::Create, "VELM_FSCALA", "OTHER");
    RegisterSettingsModule();
    EXPECT_EQ(VELM_FSCALA::desc(), foreign);
    UnregisterSettingsModule();
    EXPECT_EQ(zcrxFindClass("VELM_FSCALA"), foreign);
    deleteZcRxClass(foreign);
    RegisterSettingsModule();
}

TEST_F(DrawingSettings, new_objects_hold_their_defaults) {
    auto* walls = OpenLayerMuriObject();
    ASSERT_NE(walls, nullptr);
    EXPECT_TRUE(walls->isWriteEnabled());
    EXPECT_EQ(walls->entries, Strings{"2DWALLS"});
    walls->close();
    auto* lib = OpenLibObjOptObject();
    EXPECT_TRUE(lib->entries.empty());
    lib->close();
    auto* groups = OpenGenGruppoObject();
    EXPECT_EQ(groups->generating, Strings{"*"});
    EXPECT_TRUE(groups->nonGenerating.empty());
    groups->close();
    auto* shadow = OpenLayerOmbraObject();
    EXPECT_EQ(shadow->entries, (Strings{"3dwindows_s*", "3drailing_*", "3dbalconies_*", "3d*_ha*"}));
    shadow->close();
    auto* thick = OpenSpessMuriObject();
    EXPECT_EQ(thick->thicknesses, (std::array<double, 5>{30.0, 10.0, 15.0, 20.0, 40.0}));
    thick->close();
    // One entry per class, under the class name.
    for (const char* name :
         {"VELM_LAYERMURI", "VELM_LIBOBJOPT", "VELM_GENGRUPPO", "VELM_LAYEROMBRA", "VELM_SPESSMURI"})
        EXPECT_FALSE(settingsEntry(name).isNull()) << name;
}

TEST_F(DrawingSettings, an_object_left_open_for_write_is_not_opened_twice) {
    auto* walls = OpenLayerMuriObject();
    ASSERT_NE(walls, nullptr);
    EXPECT_EQ(OpenLayerMuriObject(), nullptr);
    walls->close();
    auto* again = OpenLayerMuriObject();
    ASSERT_NE(again, nullptr);
    again->close();
}

TEST_F(DrawingSettings, scale_factors_follow_the_current_scale_and_unit) {
    EXPECT_DOUBLE_EQ(GetScaleFactor(1), 15.0);
    EXPECT_DOUBLE_EQ(GetScaleFactor(4), 17.5);
    EXPECT_DOUBLE_EQ(GetScaleFactor(9), 50.0);
    EXPECT_EQ(GetScaleFactor(10), 0.0);
    EXPECT_EQ(GetScaleFactor(-1), 0.0);
    int unit = SetupVar::SFTMTCM, scale = SetupVar::SFATSCALA;
    double metres = 0.01;
    short hundred = 100;
    SetVarReal(&unit, &metres);
    SetVarInt(&scale, &hundred);
    EXPECT_NEAR(GetScaleFactor(1), 0.3, 1e-12);
    EXPECT_EQ(GetScaleFactor(5), 80.0);
    double v = 75.0;
    EXPECT_TRUE(AccessScaleFactor(100, 5, v, true));
    EXPECT_EQ(GetScaleFactor(5), 75.0);
    EXPECT_FALSE(AccessScaleFactor(100, 10, v, false));
    EXPECT_EQ(v, 0.0);
    v = 1;
    EXPECT_FALSE(AccessScaleFactor(300, 1, v, false));
    EXPECT_EQ(v, 0.0);
    short none = 200;
    SetVarInt(&scale, &none);
    EXPECT_EQ(GetScaleFactor(9), 0.0);
}

TEST_F(DrawingSettings, layer_groups_generate_by_wildcards_ignoring_case) {
    auto* groups = OpenGenGruppoObject();
    EXPECT_TRUE(groups->IsLayerGroupGenerated("anything"));
    groups->nonGenerating = {"3D*"};
    EXPECT_FALSE(groups->IsLayerGroupGenerated("3dwall"));
    EXPECT_TRUE(groups->IsLayerGroupGenerated("2dwall"));
    groups->generating = {"ściany*"};
    EXPECT_TRUE(groups->IsLayerGroupGenerated("ŚCIANY_NOŚNE"));
    EXPECT_FALSE(groups->IsLayerGroupGenerated("okna"));
    groups->close();
}

TEST_F(DrawingSettings, every_object_round_trips_through_both_filers_and_clone) {
    editEverySetting();
    const std::string edited = settingsState();
    for (const char* name : {"VELM_SETUP", "VELM_LIBOBJOPT", "VELM_FSCALA", "VELM_GENGRUPPO",
                             "VELM_LAYEROMBRA", "VELM_LAYERMURI", "VELM_SPESSMURI"}) {
        ZcDbObject* obj = nullptr;
        ASSERT_EQ(zcdbOpenObject(obj, settingsEntry(name), ZcDb::kForWrite), Zcad::eOk) << name;
        ZcDbDwgFiler dwg;
        ASSERT_EQ(obj->dwgOutFields(&dwg), Zcad::eOk);
        ZcDbMemDxfFiler dxf;
        ASSERT_EQ(obj->dxfOut(&dxf), Zcad::eOk);
        std::unique_ptr<ZcDbObject> copy(obj->clone());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->isA(), obj->isA());
        // Read both forms back into the resident object itself, then file
        // it and the copy again: all three must file the same.
        dwg.seekStart();
        ASSERT_EQ(obj->dwgInFields(&dwg), Zcad::eOk) << name;
        EXPECT_TRUE(dwg.atEnd());
        dxf.rewind();
        ASSERT_EQ(obj->dxfIn(&dxf), Zcad::eOk) << name;
        EXPECT_TRUE(dxf.atEOF()) << name;
        ZcDbMemDxfFiler again, fromCopy;
        obj->dxfOut(&again);
        copy->dxfOutFields(&fromCopy);
        EXPECT_EQ(again.items(), dxf.items()) << name;
        // The copy is in no database: only the handle group differs.
        ASSERT_EQ(fromCopy.items().size(), again.items().size());
        for (std::size_t i = 2; i < again.items().size(); ++i)
            EXPECT_EQ(fromCopy.items()[i], again.items()[i]) << name << " item " << i;
        obj->close();
    }
    EXPECT_EQ(settingsState(), edited);
}

TEST_F(DrawingSettings, undo_restores_every_object_as_it_was) {
    const std::string defaults = settingsState();  // makes all objects
    db->beginUndoGroup();
    editEverySetting();
    db->endUndoGroup();
    // (Reading the state now would open the objects for write, which is
    // recorded as a group of its own.)
    EXPECT_TRUE(db->undoGroup());
    EXPECT_EQ(settingsState(), defaults);
}

TEST_F(DrawingSettings, settings_survive_a_save_and_load_as_dxf) {
    editEverySetting();
    const std::string edited = settingsState();
    ZcDbDatabase loaded;
    copySettingsThroughDxf(db, &loaded);
    zcdbHostApplicationServices()->setWorkingDatabase(&loaded);
    EXPECT_EQ(settingsState(), edited);
    zcdbHostApplicationServices()->setWorkingDatabase(db);
}

TEST_F(DrawingSettings, settings_survive_a_drawing_saved_and_loaded_as_a_dxf_file) {
    editEverySetting();
    const std::string edited = settingsState();
    host::DxfLoadResult loaded = host::readDxfText(host::writeDxfText(db));
    ASSERT_NE(loaded.db, nullptr) << loaded.error;
    for (const std::string& note : loaded.notes) ADD_FAILURE() << note;  // no settings object may be skipped
    zcdbHostApplicationServices()->setWorkingDatabase(loaded.db.get());
    EXPECT_EQ(settingsState(), edited);
    zcdbHostApplicationServices()->setWorkingDatabase(db);
}

// Asking a scale factor reads the scale table: after it exists, nothing is
// told the drawing's reactors as changed and the undo has nothing to take
// back (filing the table per label was a tenth of a label's undo state).
TEST_F(DrawingSettings, scale_factors_are_read_without_changing_the_table) {
    EXPECT_DOUBLE_EQ(GetScaleFactor(1), 15.0);  // makes the table
    const ZcDbObjectId table = settingsEntry("VELM_FSCALA");
    ASSERT_FALSE(table.isNull());
    struct Seen : ZcDbDatabaseReactor {
        std::vector<ZcDbObjectId> modified;
        void objectOpenedForModify(const ZcDbDatabase*, const ZcDbObject* o) override {
            modified.push_back(o->objectId());
        }
        void objectModified(const ZcDbDatabase*, const ZcDbObject* o) override {
            modified.push_back(o->objectId());
        }
    } seen;
    db->addReactor(&seen);
    db->beginUndoGroup();
    EXPECT_DOUBLE_EQ(GetScaleFactor(4), 17.5);
    db->endUndoGroup();
    db->removeReactor(&seen);
    EXPECT_EQ(std::count(seen.modified.begin(), seen.modified.end(), table), 0);
    const std::string before = settingsState();
    db->undoGroup();
    EXPECT_EQ(settingsState(), before);
}

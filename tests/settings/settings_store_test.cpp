// The variables store as a drawing holds it: made on first use, read and
// written through the typed access, and read back from the database's DWG
// and DXF filers whatever number of variables the stream holds.
#include <cstring>

#include "host/ads/sysvars.h"
#include "tests/settings/drawing_fixture.h"

namespace {

// A DWG stream of a store saved with `count` variables, built as the
// database's filer writes a store: the object's base data, version, count,
// then each slot's type code and value. Slot 5 holds `sftmtcm`; slots past
// 321 are reals of 1234.0.
ZcDbDwgFiler storeStream(int count, double sftmtcm) {
    VELM_SETUP base;  // its base data, as the object would file it
    ZcDbDwgFiler f;
    base.ZcDbObject::dwgOutFields(&f);
    f.writeInt16(7);
    f.writeInt16(static_cast<std::int16_t>(count));
    for (int i = 0; i < count; ++i) {
        if (i >= kSetupVarCount) {
            f.writeInt16(1040);
            f.writeDouble(1234.0);
            continue;
        }
        AA_VALORE v = i == SetupVar::SFTMTCM ? AA_VALORE(sftmtcm) : SetupVarDefault(i);
        f.writeInt16(static_cast<std::int16_t>(TypeCodeOf(v)));
        if (auto s = std::get_if<short>(&v))
            f.writeInt16(*s);
        else if (auto r = std::get_if<double>(&v))
            f.writeDouble(*r);
        else if (auto t = std::get_if<std::string>(&v))
            f.writeString(*t);
        else
            f.writePoint3d(std::get<ZcGePoint3d>(v));
    }
    return f;
}

double realOf(const VELM_SETUP& s, int i) {
    double v = -1;
    EXPECT_TRUE(s.getReal(i, v));
    return v;
}

}  // namespace

TEST_F(DrawingSettings, first_read_creates_the_dictionary_and_the_store_with_defaults) {
    EXPECT_FALSE(hasSettingsDictionary());
    int s = SetupVar::SFTMTCM;
    double v = 0;
    EXPECT_TRUE(GetVarReal(&s, &v));
    EXPECT_EQ(v, 1.0);
    EXPECT_TRUE(hasSettingsDictionary());
    ZcDbObjectId id = settingsEntry("VELM_SETUP");
    ASSERT_FALSE(id.isNull());
    // The store is closed again and a second read finds the same one.
    EXPECT_TRUE(GetVarReal(&s, &v));
    EXPECT_EQ(settingsEntry("VELM_SETUP"), id);
    VELM_SETUP* opened = OpenSetupObject(true);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->objectId(), id);
    EXPECT_FALSE(opened->isWriteEnabled());
    opened->close();
}

TEST_F(DrawingSettings, store_is_found_under_its_name_in_any_case) {
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(db->getNamedObjectsDictionary(nod, ZcDb::kForWrite), Zcad::eOk);
    auto* dict = new ZcDbDictionary;
    ASSERT_EQ(nod->setAt("VELMOR_6", dict), Zcad::eOk);
    auto* store = new VELM_SETUP;
    store->InitVariables();
    store->setInt(SetupVar::SFATSCALA, 200);
    ASSERT_EQ(dict->setAt("velm_setup", store), Zcad::eOk);
    store->close();
    dict->close();
    nod->close();
    int s = SetupVar::SFATSCALA, v = 0;
    EXPECT_TRUE(GetVarInt(&s, &v));
    EXPECT_EQ(v, 200);
}

TEST_F(DrawingSettings, wrong_slot_or_type_gives_false_and_a_cleared_output) {
    int v = 99;
    double r = 99;
    char text[16] = "stale";
    std::string str = "stale";
    int realSlot = SetupVar::SFTMTCM, past = 322, negative = -1, intSlot = SetupVar::SFATSCALA;
    EXPECT_FALSE(GetVarInt(&realSlot, &v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(GetVarReal(&intSlot, &r));
    EXPECT_EQ(r, 0.0);
    EXPECT_FALSE(GetVarString(&past, text, sizeof text));
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(GetVarString(&negative, str));
    EXPECT_EQ(str, "");
    double x = 7, y = 8, z = 9;
    EXPECT_FALSE(GetVarPoint(&realSlot, &x, &y, &z));
    EXPECT_EQ(x, 7.0);  // a point is left untouched
    // Setters of the wrong type change nothing.
    short sv = 5;
    SetVarInt(&realSlot, &sv);
    SetVarString(&intSlot, "x");
    EXPECT_TRUE(GetVarReal(&realSlot, &r));
    EXPECT_EQ(r, 1.0);
    EXPECT_TRUE(GetVarInt(&intSlot, &v));
    EXPECT_EQ(v, 50);
}

TEST_F(DrawingSettings, setters_store_every_type_and_text_reads_are_bounded) {
    int text = SetupVar::ULAYERMURO, point = SetupVar::SETOMBRE_DIRLUCE, integer = SetupVar::SFATSCALA;
    SetVarString(&text, "ŚCIANY_ZEWNĘTRZNE");
    char small[8];
    EXPECT_TRUE(GetVarString(&text, small, sizeof small));
    // Cut to the buffer without splitting the two-byte letters.
    EXPECT_LE(std::strlen(small), 7u);
    EXPECT_EQ(std::string("ŚCIANY_ZEWNĘTRZNE").rfind(small, 0), 0u);
    std::string whole;
    EXPECT_TRUE(GetVarString(&text, whole));
    EXPECT_EQ(whole, "ŚCIANY_ZEWNĘTRZNE");
    double x = 1.5, y = -2, z = 3;
    SetVarPoint(&point, &x, &y, &z);
    double a = 0, b = 0, c = 0;
    EXPECT_TRUE(GetVarPoint(&point, &a, &b, &c));
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, -2.0);
    EXPECT_EQ(c, 3.0);
    short neg = -3;
    SetVarInt(&integer, &neg);
    int v = 0;
    EXPECT_TRUE(GetVarInt(&integer, &v));
    EXPECT_EQ(v, -3);  // sign-extended
}

TEST_F(DrawingSettings, current_floor_elevation_also_sets_the_elevation_variable) {
    int floor = SetupVar::SQPAV, other = SetupVar::DISCMURO;
    double v = 300.0;
    SetVarReal(&floor, &v);
    resbuf rb{};
    ASSERT_EQ(zcedGetVar("ELEVATION", &rb), RTNORM);
    EXPECT_EQ(rb.resval.rreal, 300.0);
    double w = 75.0;
    SetVarReal(&other, &w);
    ASSERT_EQ(zcedGetVar("ELEVATION", &rb), RTNORM);
    EXPECT_EQ(rb.resval.rreal, 300.0);
    double back = 0;
    EXPECT_TRUE(GetVarReal(&other, &back));
    EXPECT_EQ(back, 75.0);
}

TEST_F(DrawingSettings, without_a_drawing_getters_fail_and_setters_do_nothing) {
    ASSERT_EQ(zcDocManagerPtr()->closeDocument(curDoc()), eEdOk);
    ASSERT_EQ(curDoc(), nullptr);
    ASSERT_EQ(zcdbHostApplicationServices()->workingDatabase(), nullptr);
    int s = SetupVar::SFTMTCM;
    double v = 5;
    EXPECT_FALSE(GetVarReal(&s, &v));
    EXPECT_EQ(v, 0.0);
    SetVarReal(&s, &v);
    EXPECT_EQ(OpenSetupObject(true), nullptr);
    EXPECT_EQ(GetScaleFactor(1), 0.0);
}

TEST_F(DrawingSettings, store_saved_with_fewer_variables_scales_the_missing_lengths) {
    ZcDbDwgFiler f = storeStream(300, 10.0);
    f.seekStart();
    VELM_SETUP s;
    ASSERT_EQ(s.dwgInFields(&f), Zcad::eOk);
    EXPECT_TRUE(f.atEnd());
    EXPECT_EQ(realOf(s, SetupVar::SFTMTCM), 10.0);
    EXPECT_EQ(realOf(s, 321), 300.0);  // SETLASTSPESSRECT, 30.0 × 10
    EXPECT_EQ(realOf(s, 4), 60.0);     // stored, so not scaled
}

TEST_F(DrawingSettings, store_saved_with_more_variables_leaves_the_stream_after_it) {
    ZcDbDwgFiler f = storeStream(330, 1.0);
    f.writeString("what follows");
    f.seekStart();
    VELM_SETUP s;
    ASSERT_EQ(s.dwgInFields(&f), Zcad::eOk);
    std::string next;
    ASSERT_EQ(f.readString(&next), Zcad::eOk);
    EXPECT_EQ(next, "what follows");
    EXPECT_EQ(realOf(s, 321), 30.0);
}

TEST_F(DrawingSettings, unknown_type_code_is_a_filer_error_and_keeps_the_defaults_after_it) {
    VELM_SETUP base;
    ZcDbDwgFiler f;
    base.ZcDbObject::dwgOutFields(&f);
    f.writeInt16(7);
    f.writeInt16(322);
    f.writeInt16(1040);
    f.writeDouble(42.0);
    f.writeInt16(999);  // no such type
    f.seekStart();
    VELM_SETUP s;
    EXPECT_NE(s.dwgInFields(&f), Zcad::eOk);
    EXPECT_EQ(realOf(s, 0), 42.0);
    int v = -1;
    EXPECT_TRUE(s.getInt(1, v));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(realOf(s, 4), 60.0);
}

TEST_F(DrawingSettings, dxf_store_ending_after_ten_groups_keeps_the_other_defaults) {
    ZcDbMemDxfFiler f;
    f.writeString(100, "VELM_SETUP");
    for (int i = 0; i < 10; ++i) {
        AA_VALORE v = SetupVarDefault(i);
        if (auto r = std::get_if<double>(&v))
            f.writeDouble(1040, *r + 1000.0);
        else if (auto s = std::get_if<short>(&v))
            f.writeInt16(1070, static_cast<std::int16_t>(*s + 7));
        else if (auto t = std::get_if<std::string>(&v))
            f.writeString(1000, *t + "!");
    }
    f.writeString(1001, "SOMEAPP");  // extended data follows the fields
    f.writeString(1000, "xdata text");
    f.rewind();
    VELM_SETUP s;
    ASSERT_EQ(s.dxfIn(&f), Zcad::eOk);
    EXPECT_EQ(realOf(s, 0), 1000.0);
    EXPECT_EQ(realOf(s, 5), 1001.0);
    EXPECT_EQ(realOf(s, 321), 30.0);
    std::string text;
    EXPECT_TRUE(s.getString(10, text));
    EXPECT_EQ(text, "BART");  // slot 10 was not in the stream
    ASSERT_EQ(s.xDataApps().size(), 1u);
    EXPECT_EQ(s.xDataApps()[0].app, "SOMEAPP");
}

// Dialogs write their choices back on every OK: a write of the value a slot
// already holds must not open the store for write (its whole state would
// go into the command's undo step and every reactor would hear of it).
TEST_F(DrawingSettings, writing_the_value_a_slot_holds_leaves_the_store_unopened) {
    struct Counter : ZcDbDatabaseReactor {
        int opened = 0;
        void objectOpenedForModify(const ZcDbDatabase*, const ZcDbObject* obj) override {
            if (VELM_SETUP::cast(obj)) ++opened;
        }
    } counter;
    int integer = SetupVar::SFATSCALA, text = SetupVar::ULAYERMURO;
    short four = 4;
    SetVarInt(&integer, &four);
    SetVarString(&text, "Ściany");
    ZcDbDatabase* db = zcdbHostApplicationServices()->workingDatabase();
    db->addReactor(&counter);
    SetVarInt(&integer, &four);
    SetVarString(&text, "Ściany");
    EXPECT_EQ(counter.opened, 0);
    short five = 5;
    SetVarInt(&integer, &five);
    SetVarString(&text, "ściany");  // case counts
    EXPECT_EQ(counter.opened, 2);
    db->removeReactor(&counter);
    int v = 0;
    std::string s;
    EXPECT_TRUE(GetVarInt(&integer, &v) && GetVarString(&text, s));
    EXPECT_EQ(v, 5);
    EXPECT_EQ(s, "ściany");
}

// Where the store was found serves the reads that follow, and is looked up
// again once its entry is replaced, it is erased, or undo takes the
// dictionary back.
TEST_F(DrawingSettings, the_store_is_looked_up_again_once_its_entry_changes) {
    const int slot = SetupVar::SFATSCALA;
    auto read = [&] {
        int v = 0;
        EXPECT_TRUE(GetVarInt(&slot, &v));
        return v;
    };
    auto openDictionary = [&] {
        ZcDbDictionary* nod = nullptr;
        ZcDbObjectId dictId;
        EXPECT_EQ(db->getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
        nod->getAt("VELMOR_6", dictId);
        nod->close();
        ZcDbDictionary* dict = nullptr;
        EXPECT_EQ(zcdbOpenObject(dict, dictId, ZcDb::kForWrite), Zcad::eOk);
        return dict;
    };
    auto replace = [&](short value) {
        ZcDbDictionary* dict = openDictionary();
        ASSERT_NE(dict, nullptr);
        auto* store = new VELM_SETUP;
        store->InitVariables();
        store->setInt(slot, value);
        EXPECT_EQ(dict->setAt("VELM_SETUP", store), Zcad::eOk);
        store->close();
        dict->close();
    };
    const int first = read();
    const ZcDbObjectId made = settingsEntry("VELM_SETUP");
    EXPECT_EQ(read(), first);
    replace(300);
    EXPECT_EQ(read(), 300);
    EXPECT_NE(settingsEntry("VELM_SETUP"), made);

    VELM_SETUP* store = OpenSetupObject(false);
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->erase(), Zcad::eOk);
    store->close();
    EXPECT_EQ(read(), first);  // made again with its defaults

    // Taken out of the dictionary, not erased: no longer the drawing's store.
    replace(350);
    EXPECT_EQ(read(), 350);
    ZcDbDictionary* dict = openDictionary();
    ASSERT_NE(dict, nullptr);
    ASSERT_EQ(dict->remove("VELM_SETUP"), Zcad::eOk);
    dict->close();
    EXPECT_EQ(read(), first);

    db->beginUndoGroup();
    replace(400);
    db->endUndoGroup();
    EXPECT_EQ(read(), 400);
    ASSERT_TRUE(db->undoGroup());
    EXPECT_EQ(read(), first);
}

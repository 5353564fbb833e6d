// Runtime classes, the class dictionary and the system registry, with a
// custom object class registered the way a module registers its own.
#include <gtest/gtest.h>

#include "host/db/dbmain.h"
#include "host/rx/rxdynlinker.h"
#include "host/util/resbuf.h"

// A custom named object: a list of texts, filed as a module files it.
class TSTORE : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(TSTORE);
    static ZcRxObject* Create() { return new TSTORE; }
    std::vector<std::string> texts;

    Zcad::ErrorStatus dwgOutFields(ZcDbDwgFiler* f) const override {
        assertReadEnabled();
        Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
        if (es != Zcad::eOk) return es;
        f->writeInt16(1);
        f->writeInt16(static_cast<std::int16_t>(texts.size()));
        for (const auto& t : texts) f->writeString(t);
        return f->filerStatus();
    }
    Zcad::ErrorStatus dwgInFields(ZcDbDwgFiler* f) override {
        assertWriteEnabled();
        Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
        if (es != Zcad::eOk) return es;
        std::int16_t version = 0, n = 0;
        f->readInt16(&version);
        f->readInt16(&n);
        texts.clear();
        for (int i = 0; i < n; ++i) {
            char* s = nullptr;
            if (f->readString(&s) != Zcad::eOk) break;
            texts.push_back(s);
            delete[] s;
        }
        return f->filerStatus();
    }
    Zcad::ErrorStatus dxfOutFields(ZcDbDxfFiler* f) const override {
        assertReadEnabled();
        Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
        if (es != Zcad::eOk) return es;
        f->writeString(100, "TSTORE");
        f->writeInt16(170, static_cast<std::int16_t>(texts.size()));
        for (const auto& t : texts) f->writeString(300, t);
        return f->filerStatus();
    }
    Zcad::ErrorStatus dxfInFields(ZcDbDxfFiler* f) override {
        assertWriteEnabled();
        Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
        if (es != Zcad::eOk) return es;
        if (!f->atSubclassData("TSTORE")) return f->filerStatus();
        resbuf rb;
        if (f->readItem(&rb) != Zcad::eOk || rb.restype != 170) return f->filerStatus();
        int n = rb.resval.rint;
        texts.clear();
        for (int i = 0; i < n; ++i) {
            if (f->readItem(&rb) != Zcad::eOk) break;
            if (rb.restype != 300) {
                f->pushBackItem();
                break;
            }
            texts.push_back(rb.resval.rstring);
            delete[] rb.resval.rstring;
        }
        return f->filerStatus();
    }
};
ZCRX_DEFINE_MEMBERS(TSTORE)

namespace {

struct TStoreRegistration : ::testing::Test {
    void SetUp() override {
        cls = newZcRxClass("TSTORE", "AcDbObject", 1, 0, 0, &TSTORE::Create, "TSTORE", "VELM7");
    }
    void TearDown() override { deleteZcRxClass(cls); }
    ZcRxClass* cls = nullptr;
};

}  // namespace

TEST(RxClasses, host_classes_form_one_hierarchy) {
    ZcDbArc arc;
    EXPECT_TRUE(arc.isKindOf(ZcDbCircle::desc()));
    EXPECT_TRUE(arc.isKindOf(ZcDbEntity::desc()));
    EXPECT_TRUE(arc.isKindOf(ZcDbObject::desc()));
    EXPECT_TRUE(arc.isKindOf(ZcRxObject::desc()));
    EXPECT_FALSE(arc.isKindOf(ZcDbLine::desc()));
    EXPECT_EQ(ZcDbCircle::cast(&arc), &arc);
    EXPECT_EQ(ZcDbLine::cast(&arc), nullptr);
    EXPECT_EQ(ZcDbLine::cast(nullptr), nullptr);
    EXPECT_STREQ(arc.isA()->name(), "AcDbArc");
    EXPECT_STREQ(arc.isA()->dxfName(), "ARC");
    EXPECT_EQ(zcrxFindClass("AcDbEntity"), ZcDbEntity::desc());
    EXPECT_EQ(zcrxFindClassByDxfName("LWPOLYLINE"), ZcDbPolyline::desc());
    EXPECT_EQ(zcrxFindClassByDxfName("NO_SUCH_THING"), nullptr);
    EXPECT_EQ(zcrxSysRegistry()->at("ClassDictionary"), zcrxClassDictionary);
}

TEST(RxClasses, every_entity_dxf_name_makes_an_object_of_its_class) {
    for (const char* name :
         {"LINE",   "ARC",      "CIRCLE", "POINT",        "LWPOLYLINE", "POLYLINE", "VERTEX",
          "SEQEND", "3DFACE",   "SOLID",  "TEXT",         "MTEXT",      "ATTDEF",   "ATTRIB",
          "INSERT", "VIEWPORT", "LAYER",  "LTYPE",        "STYLE",      "APPID",    "DIMSTYLE",
          "VIEW",   "UCS",      "VPORT",  "BLOCK_RECORD", "DICTIONARY"}) {
        ZcRxClass* cls = zcrxFindClassByDxfName(name);
        ASSERT_NE(cls, nullptr) << name;
        std::unique_ptr<ZcRxObject> obj(cls->create());
        ASSERT_NE(obj, nullptr) << name;
        EXPECT_EQ(obj->isA(), cls) << name;
    }
    EXPECT_EQ(ZcDbEntity::desc()->create(), nullptr);  // abstract
}

TEST_F(TStoreRegistration, registering_again_returns_the_same_class_and_parent_resolves) {
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(TSTORE::desc(), cls);
    EXPECT_EQ(cls->myParent(), ZcDbObject::desc());
    EXPECT_STREQ(cls->appName(), "VELM7");
    int maintenance = -1;
    EXPECT_EQ(cls->dwgVersion(maintenance), 1);
    EXPECT_EQ(maintenance, 0);
    EXPECT_EQ(newZcRxClass("TSTORE", "AcDbObject", 1, 0, 0, &TSTORE::Create, "TSTORE", "VELM7"), cls);
    TSTORE s;
    EXPECT_TRUE(s.isKindOf(ZcDbObject::desc()));
}

TEST_F(TStoreRegistration, custom_object_is_made_by_dxf_name_and_files_itself) {
    ZcDbDatabase db;
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, ZcDb::kForWrite), Zcad::eOk);
    auto* store = new TSTORE;
    store->texts = {"C:\\biblioteka", "ściany"};
    ZcDbObjectId id;
    ASSERT_EQ(nod->setAt("TSTORE", store, id), Zcad::eOk);
    ZcDbMemDxfFiler dxf;
    ASSERT_EQ(store->dxfOut(&dxf), Zcad::eOk);
    ZcDbDwgFiler dwg;
    ASSERT_EQ(store->dwgOutFields(&dwg), Zcad::eOk);
    store->close();
    nod->close();

    std::unique_ptr<ZcDbObject> made(ZcDbObject::cast(zcrxFindClassByDxfName("TSTORE")->create()));
    auto* fromDxf = TSTORE::cast(made.get());
    ASSERT_NE(fromDxf, nullptr);
    dxf.rewind();
    ASSERT_EQ(fromDxf->dxfIn(&dxf), Zcad::eOk);
    EXPECT_EQ(fromDxf->texts, (std::vector<std::string>{"C:\\biblioteka", "ściany"}));
    EXPECT_EQ(fromDxf->ownerId(), db.namedObjectsDictionaryId());

    TSTORE fromDwg;
    dwg.seekStart();
    ASSERT_EQ(fromDwg.dwgInFields(&dwg), Zcad::eOk);
    EXPECT_EQ(fromDwg.texts, fromDxf->texts);

    // A foreign marker leaves the store as it was.
    ZcDbMemDxfFiler other;
    other.writeString(100, "SOMETHING_ELSE");
    other.writeInt16(170, 0);
    other.rewind();
    EXPECT_EQ(fromDwg.dxfInFields(&other), Zcad::eOk);
    EXPECT_EQ(fromDwg.texts.size(), 2u);
}

TEST_F(TStoreRegistration, deleting_the_class_removes_it_from_the_dictionary) {
    ZcRxClass* mine = cls;
    cls = nullptr;
    deleteZcRxClass(mine);
    EXPECT_EQ(zcrxFindClass("TSTORE"), nullptr);
    EXPECT_EQ(zcrxFindClassByDxfName("TSTORE"), nullptr);
    deleteZcRxClass(ZcDbLine::desc());  // the platform's own classes stay
    EXPECT_EQ(zcrxFindClass("AcDbLine"), ZcDbLine::desc());
}

TEST(RxRegistry, services_are_registered_and_found_by_name) {
    ZcRxObject* linker = zcrxDynamicLinker;
    EXPECT_EQ(zcrxSysRegistry()->at("DynamicLinker"), linker);
    ZcRxDictionary commands;
    EXPECT_EQ(zcrxSysRegistry()->atPut("ZCAD_REGISTERED_COMMANDS", &commands), nullptr);
    EXPECT_EQ(zcrxSysRegistry()->at("ZCAD_REGISTERED_COMMANDS"), &commands);
    EXPECT_EQ(zcrxSysRegistry()->remove("ZCAD_REGISTERED_COMMANDS"), &commands);
    EXPECT_FALSE(zcrxSysRegistry()->has("ZCAD_REGISTERED_COMMANDS"));
}

TEST(RxLoader, missing_file_is_reported_with_its_name) {
    std::string message;
    EXPECT_FALSE(zcrxDynamicLinker->loadModule("/nonexistent/velm.zrx", &message));
    EXPECT_NE(message.find("/nonexistent/velm.zrx"), std::string::npos);
    EXPECT_FALSE(zcrxDynamicLinker->unloadModule("/nonexistent/velm.zrx"));
    EXPECT_EQ(zcrxDynamicLinker->sendTo(nullptr, 3), ZcRx::kRetError);
}

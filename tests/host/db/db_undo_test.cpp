// Undo groups, database reactors and extended data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "host/db/dbmain.h"
#include "host/util/resbuf.h"

namespace {

struct Recorder : ZcDbDatabaseReactor {
    std::vector<std::string> log;
    void objectAppended(const ZcDbDatabase*, const ZcDbObject* o) override {
        log.push_back("appended " + std::string(o->isA()->dxfName()));
    }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* o) override {
        log.push_back("modified " + std::string(o->isA()->dxfName()));
    }
    void objectErased(const ZcDbDatabase*, const ZcDbObject* o, bool erased) override {
        log.push_back(std::string(erased ? "erased " : "unerased ") + o->isA()->dxfName());
    }
};

ZcDbObjectId append(ZcDbDatabase& db, ZcDbEntity* e) {
    ZcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ZcDbObjectId id;
    EXPECT_EQ(ms->appendZcDbEntity(id, e), Zcad::eOk);
    e->close();
    ms->close();
    return id;
}

std::size_t modelSpaceCount(ZcDbDatabase& db) {
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForRead);
    std::size_t n = ms->entityIds().size();
    ms->close();
    return n;
}

resbuf* node(short code) {
    auto* rb = new resbuf;
    rb->restype = code;
    return rb;
}

resbuf* str(short code, const char* s) {
    resbuf* rb = node(code);
    rb->resval.rstring = new char[std::strlen(s) + 1];
    std::strcpy(rb->resval.rstring, s);
    return rb;
}

resbuf* i16(short code, short v) {
    resbuf* rb = node(code);
    rb->resval.rint = v;
    return rb;
}

resbuf* chain(std::initializer_list<resbuf*> nodes) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (resbuf* rb : nodes) {
        *tail = rb;
        tail = &rb->rbnext;
    }
    return head;
}

void freeList(resbuf* rb) {
    while (rb) {
        resbuf* next = rb->rbnext;
        auto kind = ZcDbDxfItem::kindOfCode(rb->restype);
        if (kind == ZcDbDxfItem::kString || kind == ZcDbDxfItem::kHandle) delete[] rb->resval.rstring;
        delete rb;
        rb = next;
    }
}

std::vector<std::string> apps(const ZcDbObject* o) {
    std::vector<std::string> out;
    resbuf* list = o->xData();
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1001) out.push_back(rb->resval.rstring);
    freeList(list);
    return out;
}

void registerApp(ZcDbDatabase& db, const char* name) {
    ZcDbRegAppTable* t = nullptr;
    db.getRegAppTable(t, ZcDb::kForWrite);
    auto* rec = new ZcDbRegAppTableRecord;
    rec->setName(name);
    ASSERT_EQ(t->add(rec), Zcad::eOk);
    rec->close();
    t->close();
}

}  // namespace

TEST(Undo, a_group_restores_a_modified_entity) {
    ZcDbDatabase db;
    ZcDbObjectId id = append(db, new ZcDbLine({0, 0, 0}, {1, 0, 0}));
    db.beginUndoGroup();
    ZcDbLine* line = nullptr;
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite), Zcad::eOk);
    line->setStartPoint({5, 5, 5});
    line->setColorIndex(1);
    line->setLayer("0");
    line->close();
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite), Zcad::eOk);
    line->setEndPoint({9, 9, 9});  // a second change in the same group
    line->close();
    db.endUndoGroup();
    Recorder rec;
    db.addReactor(&rec);
    EXPECT_TRUE(db.undoGroup());
    db.removeReactor(&rec);
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(line->startPoint().isEqualTo({0, 0, 0}));
    EXPECT_TRUE(line->endPoint().isEqualTo({1, 0, 0}));
    EXPECT_EQ(line->colorIndex(), 256);
    line->close();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"modified LINE"}));
}

TEST(Undo, an_appended_entity_is_taken_back_and_an_erased_one_returns) {
    ZcDbDatabase db;
    ZcDbObjectId keep = append(db, new ZcDbPoint({1, 1, 1}));
    db.beginUndoGroup();
    ZcDbObjectId added = append(db, new ZcDbCircle({0, 0, 0}, {0, 0, 1}, 2));
    ZcDbObject* o = nullptr;
    ASSERT_EQ(zcdbOpenObject(o, keep, ZcDb::kForWrite), Zcad::eOk);
    o->erase();
    o->close();
    db.endUndoGroup();
    EXPECT_EQ(modelSpaceCount(db), 1u);
    ASSERT_TRUE(db.undoGroup());
    EXPECT_TRUE(added.isErased());
    EXPECT_FALSE(keep.isErased());
    EXPECT_EQ(modelSpaceCount(db), 1u);
    // The first append, outside any group, made a group of its own.
    EXPECT_TRUE(db.undoGroup());
    EXPECT_TRUE(keep.isErased());
    EXPECT_FALSE(db.undoGroup());  // the new drawing itself is not undoable
}

TEST(Undo, an_entity_taken_back_while_held_open_is_told_erased_when_closed) {
    ZcDbDatabase db;
    db.beginUndoGroup();
    const ZcDbObjectId added = append(db, new ZcDbCircle({0, 0, 0}, {0, 0, 1}, 2));
    db.endUndoGroup();
    ZcDbObject* held = nullptr;
    ASSERT_EQ(zcdbOpenObject(held, added, ZcDb::kForWrite), Zcad::eOk);
    Recorder rec;
    db.addReactor(&rec);
    ASSERT_TRUE(db.undoGroup());
    EXPECT_TRUE(rec.log.empty()) << "nothing is told while it is open";
    held->close();
    db.removeReactor(&rec);
    EXPECT_TRUE(added.isErased());
    EXPECT_EQ(rec.log, (std::vector<std::string>{"erased CIRCLE"}));
}

// Objects appended in a group are only taken back, however they change
// after; the others come back as they were before the group, also when
// changed before and after further appends.
TEST(Undo, objects_appended_in_a_group_are_taken_back_and_the_others_restored) {
    ZcDbDatabase db;
    ZcDbObjectId old = append(db, new ZcDbLine({0, 0, 0}, {1, 0, 0}));
    db.beginUndoGroup();
    std::vector<ZcDbObjectId> fresh{append(db, new ZcDbLine({5, 0, 0}, {6, 0, 0}))};
    auto change = [](ZcDbObjectId id, double y) {
        ZcDbLine* line = nullptr;
        ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite), Zcad::eOk);
        line->setEndPoint({9, y, 0});
        line->close();
    };
    change(fresh[0], 1);
    change(old, 1);
    fresh.push_back(append(db, new ZcDbLine({7, 0, 0}, {8, 0, 0})));
    change(fresh[1], 2);
    change(old, 2);
    change(fresh[0], 2);
    db.endUndoGroup();
    Recorder rec;
    db.addReactor(&rec);
    ASSERT_TRUE(db.undoGroup());
    db.removeReactor(&rec);
    EXPECT_TRUE(fresh[0].isErased());
    EXPECT_TRUE(fresh[1].isErased());
    ZcDbLine* line = nullptr;
    ASSERT_EQ(zcdbOpenObject(line, old, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(line->endPoint().isEqualTo({1, 0, 0}));
    line->close();
    EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "modified LINE"), 1)
        << "only the line that was there before is restored";
}

TEST(Undo, groups_nest_and_undo_back_stops_at_the_mark) {
    ZcDbDatabase db;
    db.undoMark();
    db.beginUndoGroup();
    append(db, new ZcDbPoint);
    db.beginUndoGroup();  // nested: the same group
    append(db, new ZcDbPoint);
    db.endUndoGroup();
    db.endUndoGroup();
    db.beginUndoGroup();
    append(db, new ZcDbPoint);
    db.endUndoGroup();
    append(db, new ZcDbPoint);  // outside any group: an implicit one
    EXPECT_EQ(modelSpaceCount(db), 4u);
    EXPECT_TRUE(db.undoGroup());
    EXPECT_EQ(modelSpaceCount(db), 3u);
    EXPECT_EQ(db.undoToMark(), 2);
    EXPECT_EQ(modelSpaceCount(db), 0u);
}

TEST(Undo, nothing_is_recorded_while_recording_is_off) {
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    db.beginUndoGroup();
    append(db, new ZcDbPoint);
    db.endUndoGroup();
    db.disableUndoRecording(false);
    EXPECT_TRUE(db.undoGroup());  // the group exists, empty
    EXPECT_EQ(modelSpaceCount(db), 1u);
}

TEST(Undo, dictionary_entries_and_layer_names_come_back) {
    ZcDbDatabase db;
    ZcDbLayerTable* t = nullptr;
    db.getLayerTable(t, ZcDb::kForWrite);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName("Stara");
    ZcDbObjectId layer;
    t->add(layer, rec);
    rec->close();
    t->close();
    db.beginUndoGroup();
    ZcDbLayerTableRecord* lr = nullptr;
    ASSERT_EQ(zcdbOpenObject(lr, layer, ZcDb::kForWrite), Zcad::eOk);
    lr->setName("Nowa");
    lr->close();
    ZcDbDictionary* nod = nullptr;
    db.getNamedObjectsDictionary(nod, ZcDb::kForWrite);
    auto* sub = new ZcDbDictionary;
    nod->setAt("VELMOR_6", sub);
    sub->close();
    nod->close();
    db.endUndoGroup();
    ASSERT_TRUE(db.undoGroup());
    EXPECT_EQ(db.recordId(db.layerTableId(), "stara"), layer);
    EXPECT_TRUE(db.recordId(db.layerTableId(), "nowa").isNull());
    db.getNamedObjectsDictionary(nod, ZcDb::kForRead);
    EXPECT_FALSE(nod->has("VELMOR_6"));
    nod->close();
}

TEST(Reactors, notifications_come_on_close_in_order) {
    ZcDbDatabase db;
    Recorder rec;
    db.addReactor(&rec);
    ZcDbObjectId id = append(db, new ZcDbLine);
    ZcDbLine* line = nullptr;
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite), Zcad::eOk);
    line->setEndPoint({2, 2, 2});
    EXPECT_EQ(rec.log.size(), 1u);  // nothing until close
    line->close();
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite), Zcad::eOk);
    line->erase();
    line->close();
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForRead, true), Zcad::eOk);
    line->close();  // reading notifies nobody
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite, true), Zcad::eOk);
    line->erase(false);
    line->close();
    db.removeReactor(&rec);
    append(db, new ZcDbLine);
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"appended LINE", "modified LINE", "erased LINE", "unerased LINE"}));
}

TEST(Reactors, a_reactor_may_read_the_object_and_remove_itself) {
    struct SelfRemoving : ZcDbDatabaseReactor {
        ZcDbDatabase* db = nullptr;
        int calls = 0;
        Zcad::ErrorStatus readBack = Zcad::eNotImplementedYet;
        void objectModified(const ZcDbDatabase*, const ZcDbObject* o) override {
            ++calls;
            ZcDbObject* again = nullptr;
            readBack = zcdbOpenObject(again, o->objectId(), ZcDb::kForRead);
            if (again) again->close();
            db->removeReactor(this);
        }
    } r;
    ZcDbDatabase db;
    r.db = &db;
    Recorder after;
    db.addReactor(&r);
    db.addReactor(&after);
    ZcDbObjectId id = append(db, new ZcDbPoint);
    for (int i = 0; i < 2; ++i) {
        ZcDbPoint* p = nullptr;
        ASSERT_EQ(zcdbOpenObject(p, id, ZcDb::kForWrite), Zcad::eOk);
        p->setPosition({double(i), 0, 0});
        p->close();
    }
    EXPECT_EQ(r.calls, 1);
    EXPECT_EQ(r.readBack, Zcad::eOk);
    EXPECT_EQ(after.log.size(), 3u);
}

TEST(XData, kept_per_application_in_written_order) {
    ZcDbDatabase db;
    registerApp(db, "VELM5$_$PARAMETRI-");
    registerApp(db, "ACAD_B");
    ZcDbObjectId id = append(db, new ZcDbLine);
    ZcDbLine* line = nullptr;
    ASSERT_EQ(zcdbOpenObject(line, id, ZcDb::kForWrite), Zcad::eOk);
    resbuf* list = chain({str(1001, "VELM5$_$PARAMETRI-"), i16(1070, 11), str(1000, "ściana"),
                          str(1001, "ACAD_B"), i16(1070, 2)});
    ASSERT_EQ(line->setXData(list), Zcad::eOk);
    freeList(list);
    list = chain({str(1001, "velm5$_$parametri-"), i16(1070, 12)});  // replaces, keeps its place
    ASSERT_EQ(line->setXData(list), Zcad::eOk);
    freeList(list);
    EXPECT_EQ(apps(line), (std::vector<std::string>{"VELM5$_$PARAMETRI-", "ACAD_B"}));
    resbuf* one = line->xData("VELM5$_$PARAMETRI-");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(one->rbnext, nullptr);
    EXPECT_EQ(one->rbnext->resval.rint, 12);
    EXPECT_EQ(one->rbnext->rbnext, nullptr);
    freeList(one);
    list = chain({str(1001, "NOT_REGISTERED"), i16(1070, 1)});
    EXPECT_EQ(line->setXData(list), Zcad::eKeyNotFound);
    freeList(list);
    list = chain({i16(1070, 1)});  // data without an application
    EXPECT_EQ(line->setXData(list), Zcad::eInvalidInput);
    freeList(list);
    list = chain({str(1001, "ACAD_B")});  // a name alone removes the data
    ASSERT_EQ(line->setXData(list), Zcad::eOk);
    freeList(list);
    EXPECT_EQ(apps(line), (std::vector<std::string>{"VELM5$_$PARAMETRI-"}));
    line->close();
}

TEST(XData, follows_the_entity_through_dxf_filing_and_undo) {
    ZcDbDatabase db;
    registerApp(db, "APP");
    ZcDbObjectId id = append(db, new ZcDbPoint);
    db.beginUndoGroup();
    ZcDbPoint* p = nullptr;
    ASSERT_EQ(zcdbOpenObject(p, id, ZcDb::kForWrite), Zcad::eOk);
    resbuf* list = chain({str(1001, "APP"), str(1000, "a"), i16(1070, 7)});
    p->setXData(list);
    freeList(list);
    ZcDbMemDxfFiler f;
    p->dxfOut(&f);
    p->close();
    db.endUndoGroup();
    ASSERT_GE(f.items().size(), 3u);
    EXPECT_EQ(f.items()[f.items().size() - 3].code, 1001);
    ZcDbPoint copy;
    f.rewind();
    ASSERT_EQ(copy.dxfIn(&f), Zcad::eOk);
    EXPECT_EQ(apps(&copy), (std::vector<std::string>{"APP"}));
    ASSERT_TRUE(db.undoGroup());
    ASSERT_EQ(zcdbOpenObject(p, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(p->xData(), nullptr);
    p->close();
}

// States are filed one after another through the same room: a long state
// filed before a short one, and after it, each restores what it held.
TEST(Undo, states_of_different_sizes_in_a_row_each_restore_their_own) {
    ZcDbDatabase db;
    registerApp(db, "APP");
    const ZcDbObjectId longOne = append(db, new ZcDbPoint);
    const ZcDbObjectId shortOne = append(db, new ZcDbLine({0, 0, 0}, {1, 0, 0}));
    const std::string text(200, 'x');
    ZcDbPoint* p = nullptr;
    ASSERT_EQ(zcdbOpenObject(p, longOne, ZcDb::kForWrite), Zcad::eOk);
    resbuf* list = chain({str(1001, "APP"), str(1000, text.c_str()), str(1000, text.c_str()),
                          str(1000, text.c_str()), str(1000, text.c_str()), str(1000, text.c_str())});
    p->setXData(list);
    freeList(list);
    p->close();

    for (int round = 0; round < 2; ++round) {
        db.beginUndoGroup();
        ASSERT_EQ(zcdbOpenObject(p, longOne, ZcDb::kForWrite), Zcad::eOk);
        p->setPosition({5, 5, 5});
        p->close();
        ZcDbLine* line = nullptr;
        ASSERT_EQ(zcdbOpenObject(line, shortOne, ZcDb::kForWrite), Zcad::eOk);
        line->setEndPoint({9, 9, 9});
        line->close();
        db.endUndoGroup();
        ASSERT_TRUE(db.undoGroup());
        ASSERT_EQ(zcdbOpenObject(p, longOne, ZcDb::kForRead), Zcad::eOk);
        EXPECT_TRUE(p->position().isEqualTo({0, 0, 0}));
        resbuf* back = p->xData("APP");
        ASSERT_NE(back, nullptr);
        int texts = 0;
        for (resbuf* rb = back->rbnext; rb; rb = rb->rbnext) texts += rb->resval.rstring == text;
        EXPECT_EQ(texts, 5);
        freeList(back);
        p->close();
        ASSERT_EQ(zcdbOpenObject(line, shortOne, ZcDb::kForRead), Zcad::eOk);
        EXPECT_TRUE(line->endPoint().isEqualTo({1, 0, 0}));
        line->close();
    }
}

// Symbol tables, dictionaries and the case-insensitive name rule.
#include <gtest/gtest.h>

#include "host/db/dbmain.h"
#include "host/util/nocase.h"

namespace {

ZcDbObjectId addLayer(ZcDbDatabase& db, const std::string& name, Zcad::ErrorStatus expected = Zcad::eOk) {
    ZcDbLayerTable* table = nullptr;
    EXPECT_EQ(db.getLayerTable(table, ZcDb::kForWrite), Zcad::eOk);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName(name);
    ZcDbObjectId id;
    Zcad::ErrorStatus es = table->add(id, rec);
    EXPECT_EQ(es, expected) << name;
    if (es == Zcad::eOk)
        rec->close();
    else
        delete rec;
    table->close();
    return id;
}

std::vector<std::string> layerNames(ZcDbDatabase& db) {
    std::vector<std::string> names;
    ZcDbLayerTable* table = nullptr;
    db.getLayerTable(table, ZcDb::kForRead);
    ZcDbSymbolTableIterator* it = nullptr;
    table->newIterator(it);
    for (it->start(); !it->done(); it->step()) {
        ZcDbLayerTableRecord* rec = nullptr;
        if (it->getRecord(rec) != Zcad::eOk) continue;
        names.push_back(rec->name());
        rec->close();
    }
    delete it;
    table->close();
    return names;
}

}  // namespace

TEST(NoCase, polish_and_italian_letters_fold_both_ways) {
    EXPECT_TRUE(zcutEqualsNoCase("ściana", "ŚCIANA"));
    EXPECT_TRUE(zcutEqualsNoCase("Łódź żółć", "ŁÓDŹ ŻÓŁĆ"));
    EXPECT_TRUE(zcutEqualsNoCase("ąęńó", "ĄĘŃÓ"));
    EXPECT_TRUE(zcutEqualsNoCase("città è", "CITTÀ È"));
    EXPECT_FALSE(zcutEqualsNoCase("ściana", "sciana"));
    EXPECT_FALSE(zcutEqualsNoCase("a", "ab"));
    EXPECT_EQ(zcutUpperCase("żółw"), "ŻÓŁW");
    EXPECT_EQ(zcutFoldCase("MURY"), "mury");
}

TEST(NoCase, bytes_that_are_not_utf8_compare_as_they_are) {
    std::string bad =
        "\xb6"
        "ciana";  // Windows-1250 ś, not valid UTF-8
    EXPECT_TRUE(zcutEqualsNoCase(bad, bad));
    EXPECT_FALSE(zcutEqualsNoCase(bad, "ściana"));
    EXPECT_EQ(zcutFoldCase("\xc3"), "\xc3");  // truncated sequence kept
}

TEST(SymbolTables, lookup_ignores_case_with_polish_letters) {
    ZcDbDatabase db;
    ZcDbObjectId id = addLayer(db, "ściana");
    EXPECT_EQ(db.recordId(db.layerTableId(), "ŚCIANA"), id);
    EXPECT_EQ(db.recordId(db.layerTableId(), "Ściana"), id);
    addLayer(db, "ŚCIANA", Zcad::eDuplicateKey);
    ZcDbLayerTable* table = nullptr;
    ASSERT_EQ(db.getLayerTable(table), Zcad::eOk);
    ZcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(table->getAt("ŚCIANA", rec, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(rec->name(), "ściana");  // the name keeps the case it was given
    rec->close();
    table->close();
}

TEST(SymbolTables, iterate_in_insertion_order_skipping_erased_records) {
    ZcDbDatabase db;
    addLayer(db, "Zeta");
    ZcDbObjectId alpha = addLayer(db, "alpha");
    addLayer(db, "Mury");
    EXPECT_EQ(layerNames(db), (std::vector<std::string>{"0", "Zeta", "alpha", "Mury"}));
    ZcDbObject* o = nullptr;
    ASSERT_EQ(zcdbOpenObject(o, alpha, ZcDb::kForWrite), Zcad::eOk);
    o->erase();
    o->close();
    EXPECT_EQ(layerNames(db), (std::vector<std::string>{"0", "Zeta", "Mury"}));
    EXPECT_TRUE(db.recordId(db.layerTableId(), "ALPHA").isNull());
    // The name is free again once its record is erased.
    EXPECT_FALSE(addLayer(db, "Alpha").isNull());
}

TEST(SymbolTables, rename_moves_the_lookup_and_refuses_a_taken_name) {
    ZcDbDatabase db;
    ZcDbObjectId a = addLayer(db, "A");
    addLayer(db, "B");
    ZcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(zcdbOpenObject(rec, a, ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(rec->setName("b"), Zcad::eDuplicateKey);
    EXPECT_EQ(rec->setName("Nowa"), Zcad::eOk);
    rec->close();
    EXPECT_EQ(db.recordId(db.layerTableId(), "NOWA"), a);
    EXPECT_TRUE(db.recordId(db.layerTableId(), "A").isNull());
}

TEST(SymbolTables, a_table_takes_only_its_own_record_class) {
    ZcDbDatabase db;
    ZcDbLayerTable* table = nullptr;
    ASSERT_EQ(db.getLayerTable(table, ZcDb::kForWrite), Zcad::eOk);
    auto* wrong = new ZcDbRegAppTableRecord;
    wrong->setName("X");
    EXPECT_EQ(table->add(wrong), Zcad::eWrongObjectType);
    delete wrong;
    table->close();
    ASSERT_EQ(db.getLayerTable(table, ZcDb::kForRead), Zcad::eOk);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName("Y");
    EXPECT_EQ(table->add(rec), Zcad::eNotOpenForWrite);
    delete rec;
    table->close();
}

TEST(SymbolTables, layer_states_and_colour_survive_each_other) {
    ZcDbDatabase db;
    ZcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(zcdbOpenObject(rec, addLayer(db, "L"), ZcDb::kForWrite), Zcad::eOk);
    rec->setColorIndex(3);
    rec->setIsOff(true);
    rec->setIsFrozen(true);
    rec->setIsLocked(true);
    EXPECT_TRUE(rec->isOff());
    EXPECT_EQ(rec->colorIndex(), 3);
    rec->setColorIndex(5);
    EXPECT_TRUE(rec->isOff());  // a new colour keeps the layer off
    rec->setIsOff(false);
    EXPECT_EQ(rec->colorIndex(), 5);
    EXPECT_TRUE(rec->isFrozen());
    EXPECT_TRUE(rec->isLocked());
    rec->setIsFrozen(false);
    EXPECT_TRUE(rec->isLocked());
    EXPECT_EQ(rec->setLinetype("Continuous"), Zcad::eOk);
    EXPECT_EQ(rec->setLinetype("KRESKA"), Zcad::eKeyNotFound);
    EXPECT_EQ(rec->linetypeObjectId(), db.continuousLinetype());
    rec->close();
}

TEST(Blocks, anonymous_blocks_take_the_next_free_number) {
    ZcDbDatabase db;
    ZcDbBlockTable* table = nullptr;
    ASSERT_EQ(db.getBlockTable(table, ZcDb::kForWrite), Zcad::eOk);
    std::vector<std::string> names;
    for (const char* request : {"*U", "*U", "*D", "*u"}) {
        auto* rec = new ZcDbBlockTableRecord;
        rec->setName(request);
        ASSERT_EQ(table->add(rec), Zcad::eOk);
        names.push_back(rec->name());
        EXPECT_TRUE(rec->isAnonymous());
        rec->close();
    }
    // A name a file brought in is skipped.
    auto* taken = new ZcDbBlockTableRecord;
    taken->setName("*U4");
    ASSERT_EQ(table->add(taken), Zcad::eOk);
    taken->close();
    auto* next = new ZcDbBlockTableRecord;
    next->setName("*U");
    ASSERT_EQ(table->add(next), Zcad::eOk);
    names.push_back(next->name());
    next->close();
    table->close();
    EXPECT_EQ(names, (std::vector<std::string>{"*U1", "*U2", "*D1", "*U3", "*U5"}));
}

TEST(Blocks, entities_iterate_in_append_order_without_erased_ones) {
    ZcDbDatabase db;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    std::vector<ZcDbObjectId> ids;
    for (int i = 0; i < 5; ++i) {
        auto* p = new ZcDbPoint({double(i), 0, 0});
        ZcDbObjectId id;
        ASSERT_EQ(ms->appendZcDbEntity(id, p), Zcad::eOk);
        p->close();
        ids.push_back(id);
    }
    ms->close();
    ZcDbObject* o = nullptr;
    ASSERT_EQ(zcdbOpenObject(o, ids[2], ZcDb::kForWrite), Zcad::eOk);
    o->erase();
    o->close();
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    ZcDbBlockTableRecordIterator* it = nullptr;
    ms->newIterator(it);
    std::vector<double> xs;
    for (it->start(); !it->done(); it->step()) {
        ZcDbPoint* p = nullptr;
        ZcDbEntity* e = nullptr;
        ASSERT_EQ(it->getEntity(e), Zcad::eOk);
        p = ZcDbPoint::cast(e);
        ASSERT_NE(p, nullptr);
        xs.push_back(p->position().x);
        e->close();
    }
    delete it;
    ms->close();
    EXPECT_EQ(xs, (std::vector<double>{0, 1, 3, 4}));
}

TEST(Dictionaries, keep_insertion_order_and_ignore_case) {
    ZcDbDatabase db;
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, ZcDb::kForWrite), Zcad::eOk);
    auto* mine = new ZcDbDictionary;
    ZcDbObjectId mineId;
    ASSERT_EQ(nod->setAt("VELMOR_6", mine, mineId), Zcad::eOk);
    nod->close();
    for (const char* key : {"Zeta", "ąbc", "Alpha"}) {
        auto* sub = new ZcDbDictionary;
        ASSERT_EQ(mine->setAt(key, sub), Zcad::eOk);
        sub->close();
    }
    EXPECT_TRUE(mine->has("ĄBC"));
    EXPECT_TRUE(mine->has("zeta"));
    EXPECT_FALSE(mine->has("abc"));
    ZcDbObjectId alpha;
    ASSERT_EQ(mine->getAt("ALPHA", alpha), Zcad::eOk);
    ZcDbDictionaryIterator* it = mine->newIterator();
    std::vector<std::string> keys;
    for (; !it->done(); it->next()) keys.push_back(it->name());
    delete it;
    EXPECT_EQ(keys, (std::vector<std::string>{"Zeta", "ąbc", "Alpha"}));
    EXPECT_EQ(mine->remove("ZETA"), Zcad::eOk);
    EXPECT_EQ(mine->remove("ZETA"), Zcad::eKeyNotFound);
    EXPECT_EQ(mine->numEntries(), 2u);
    std::string key;
    ASSERT_EQ(mine->nameAt(alpha, key), Zcad::eOk);
    EXPECT_EQ(key, "Alpha");
    mine->close();
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, ZcDb::kForRead), Zcad::eOk);
    ZcDbDictionary* again = nullptr;
    ASSERT_EQ(nod->getAt("velmor_6", again, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(again->objectId(), mineId);
    EXPECT_EQ(again->ownerId(), db.namedObjectsDictionaryId());
    again->close();
    nod->close();
}

TEST(Dictionaries, replacing_an_entry_erases_the_old_object) {
    ZcDbDatabase db;
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, ZcDb::kForWrite), Zcad::eOk);
    auto* first = new ZcDbDictionary;
    ZcDbObjectId firstId, secondId;
    ASSERT_EQ(nod->setAt("K", first, firstId), Zcad::eOk);
    first->close();
    auto* second = new ZcDbDictionary;
    ASSERT_EQ(nod->setAt("k", second, secondId), Zcad::eOk);
    second->close();
    EXPECT_TRUE(firstId.isErased());
    ZcDbObjectId found;
    ASSERT_EQ(nod->getAt("K", found), Zcad::eOk);
    EXPECT_EQ(found, secondId);
    auto* unnamed = new ZcDbDictionary;
    EXPECT_EQ(nod->setAt("", unnamed), Zcad::eInvalidKey);
    delete unnamed;
    nod->close();
}

TEST(SymbolTables, a_renamed_layer_takes_its_entities_and_an_undo_brings_both_back) {
    ZcDbDatabase db;
    ZcDbObjectId a = addLayer(db, "MURI$300_5");
    addLayer(db, "INNA");
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    std::vector<ZcDbObjectId> lines;
    for (const char* layer : {"MURI$300_5", "muri$300_5", "INNA"}) {
        auto* line = new ZcDbLine({0, 0, 0}, {1, 0, 0});
        ZcDbObjectId id;
        ms->appendZcDbEntity(id, line);
        line->setLayer(layer);
        line->close();
        lines.push_back(id);
    }
    ms->close();
    auto layerOf = [](ZcDbObjectId id) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) return std::string("?");
        std::string name = e->layer();
        e->close();
        return name;
    };

    db.beginUndoGroup();
    ZcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(zcdbOpenObject(rec, a, ZcDb::kForWrite), Zcad::eOk);
    ASSERT_EQ(rec->setName("MURI$300.5"), Zcad::eOk);
    rec->close();
    db.endUndoGroup();
    EXPECT_EQ(layerOf(lines[0]), "MURI$300.5");
    EXPECT_EQ(layerOf(lines[1]), "MURI$300.5");
    EXPECT_EQ(layerOf(lines[2]), "INNA");

    ASSERT_TRUE(db.undoGroup());
    EXPECT_EQ(db.recordId(db.layerTableId(), "MURI$300_5"), a);
    EXPECT_EQ(layerOf(lines[0]), "MURI$300_5");
    EXPECT_EQ(layerOf(lines[2]), "INNA");
}

// Records added in an undo group, with a rename of one of them and of an
// older record between, are taken back whole: the table's records, their
// names for look-up and the table as filed come back as they were, and the
// names are free to be added again.
TEST(SymbolTables, undoing_added_records_brings_the_table_back_as_it_was) {
    ZcDbDatabase db;
    const ZcDbObjectId older = addLayer(db, "Mury");
    auto filed = [&db] {
        ZcDbLayerTable* table = nullptr;
        EXPECT_EQ(db.getLayerTable(table, ZcDb::kForRead), Zcad::eOk);
        ZcDbDwgFiler f(&db, ZcDb::kCopyFiler);
        table->dwgOutFields(&f);
        table->close();
        return f.data();
    };
    const std::vector<std::string> names = layerNames(db);
    const auto before = filed();
    auto rename = [](ZcDbObjectId id, const char* name) {
        ZcDbLayerTableRecord* rec = nullptr;
        ASSERT_EQ(zcdbOpenObject(rec, id, ZcDb::kForWrite), Zcad::eOk);
        EXPECT_EQ(rec->setName(name), Zcad::eOk);
        rec->close();
    };
    db.beginUndoGroup();
    const ZcDbObjectId first = addLayer(db, "Okna");
    rename(first, "Drzwi");
    rename(older, "Ściany");
    addLayer(db, "Dach");
    db.endUndoGroup();
    EXPECT_EQ(layerNames(db), (std::vector<std::string>{"0", "Ściany", "Drzwi", "Dach"}));
    ASSERT_TRUE(db.undoGroup());
    EXPECT_EQ(layerNames(db), names);
    EXPECT_EQ(filed(), before);
    EXPECT_EQ(db.recordId(db.layerTableId(), "MURY"), older);
    for (const char* gone : {"Okna", "Drzwi", "Dach", "Ściany"})
        EXPECT_TRUE(db.recordId(db.layerTableId(), gone).isNull()) << gone;
    EXPECT_FALSE(addLayer(db, "drzwi").isNull());
    EXPECT_FALSE(addLayer(db, "DACH").isNull());
    EXPECT_EQ(layerNames(db), (std::vector<std::string>{"0", "Mury", "drzwi", "DACH"}));
}

// Names are folded for a look-up in a buffer of their own when short and
// ASCII, by the platform's case mapping otherwise: either way a record or
// an entry is found under any case of its name, at the length where the
// two ways meet too.
TEST(SymbolTables, lookups_fold_short_long_and_non_ascii_names_alike) {
    ZcDbDatabase db;
    const std::vector<std::string> names = {"Mury_Nośne",
                                            std::string(63, 'A') + "b",
                                            std::string(64, 'C') + "d",
                                            std::string(64, 'e'),
                                            std::string(200, 'F') + "ż",
                                            "",
                                            "A-Z[@`{]"};
    auto flipped = [](std::string s) {
        for (char& c : s)
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c = static_cast<char>(c ^ 0x20);
        return s;
    };
    ZcDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, ZcDb::kForWrite), Zcad::eOk);
    for (const std::string& name : names) {
        if (name.empty()) continue;
        const ZcDbObjectId id = addLayer(db, name);
        EXPECT_EQ(db.recordId(db.layerTableId(), flipped(name)), id) << name;
        EXPECT_EQ(db.recordId(db.layerTableId(), zcutUpperCase(name)), id) << name;
        auto* entry = new ZcDbDictionary;
        ASSERT_EQ(nod->setAt(name, entry), Zcad::eOk);
        entry->close();
        EXPECT_TRUE(nod->has(flipped(name))) << name;
        EXPECT_TRUE(nod->has(zcutUpperCase(name))) << name;
    }
    nod->close();
    // The neighbours of a name are other names.
    EXPECT_TRUE(db.recordId(db.layerTableId(), std::string(64, 'e') + "e").isNull());
    EXPECT_TRUE(db.recordId(db.layerTableId(), std::string(63, 'e')).isNull());
    EXPECT_TRUE(db.recordId(db.layerTableId(), "A-Z[@`{]x").isNull());
    EXPECT_TRUE(db.recordId(db.layerTableId(), "a-z{@`[]").isNull());  // only letters fold
    EXPECT_TRUE(db.recordId(db.layerTableId(), "").isNull());
}

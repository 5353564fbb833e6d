// Filing: the binary filer's fault handling, every entity kind round-tripping
// through both filers, lists without subclass markers, and a custom class
// created by its DXF name.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "host/db/dbmain.h"
#include "host/util/resbuf.h"

namespace {

std::vector<ZcDbDxfItem> dxfOf(const ZcDbObject* obj) {
    ZcDbMemDxfFiler f;
    EXPECT_EQ(obj->dxfOut(&f), Zcad::eOk);
    return f.items();
}

std::string describe(const std::vector<ZcDbDxfItem>& items) {
    std::string s;
    for (const auto& it : items) s += it.toString() + "\n";
    return s;
}

// Filed → made anew by class → filed again: the two filings must agree.
void expectRoundTrip(ZcDbObject* original) {
    SCOPED_TRACE(original->isA()->name());
    std::vector<ZcDbDxfItem> first = dxfOf(original);
    ZcRxClass* cls = zcrxFindClassByDxfName(original->isA()->dxfName());
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<ZcDbObject> copy(ZcDbObject::cast(cls->create()));
    ASSERT_NE(copy, nullptr);
    ZcDbMemDxfFiler in(first);
    ASSERT_EQ(copy->dxfIn(&in), Zcad::eOk) << in.errorMessage();
    EXPECT_TRUE(in.atEOF()) << "unread items after " << in.position();
    std::vector<ZcDbDxfItem> second = dxfOf(copy.get());
    EXPECT_EQ(first, second) << describe(first) << "----\n" << describe(second);

    ZcDbDwgFiler out;
    ASSERT_EQ(original->dwgOutFields(&out), Zcad::eOk);
    std::unique_ptr<ZcDbObject> copy2(ZcDbObject::cast(original->isA()->create()));
    out.seekStart();
    ASSERT_EQ(copy2->dwgInFields(&out), Zcad::eOk);
    EXPECT_TRUE(out.atEnd());
    ZcDbDwgFiler again;
    copy2->dwgOutFields(&again);
    EXPECT_EQ(out.data(), again.data());
    EXPECT_EQ(dxfOf(copy2.get()), first);
}

void decorate(ZcDbEntity* e) {
    e->setLayer("Mury");
    e->setColorIndex(3);
    e->setLinetype("KRESKA");
    e->setLineWeight(35);
    e->setLinetypeScale(2.5);
}

}  // namespace

TEST(DwgFiler, reading_past_the_end_or_another_type_turns_the_status_bad) {
    ZcDbDwgFiler f;
    f.writeInt16(7);
    f.writeString("ściana");
    f.writeDouble(1.5);
    f.seekStart();
    std::int16_t i = 0;
    std::string s;
    EXPECT_EQ(f.readInt16(&i), Zcad::eOk);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(f.readString(&s), Zcad::eOk);
    EXPECT_EQ(s, "ściana");
    std::int32_t wrong = 99;
    EXPECT_EQ(f.readInt32(&wrong), Zcad::eInvalidInput);
    EXPECT_EQ(wrong, 99);  // untouched
    double d = 0;
    EXPECT_NE(f.readDouble(&d), Zcad::eOk);  // a bad filer stays bad

    ZcDbDwgFiler g;
    g.writeBool(true);
    g.seekStart();
    bool b = false;
    EXPECT_EQ(g.readBool(&b), Zcad::eOk);
    EXPECT_EQ(g.readBool(&b), Zcad::eEndOfFile);
    char* text = reinterpret_cast<char*>(1);
    EXPECT_NE(g.readString(&text), Zcad::eOk);
    EXPECT_EQ(text, nullptr);
}

// A table's ids written at once are the bytes of the ids written one by
// one, and read back one by one.
TEST(DwgFiler, ids_written_at_once_are_those_written_one_by_one) {
    ZcDbDatabase db;
    const std::vector<ZcDbObjectId> ids{db.layerTableId(), ZcDbObjectId(), db.blockTableId()};
    ZcDbDwgFiler each(&db), once(&db);
    each.writeInt16(2);
    once.writeInt16(2);
    for (const ZcDbObjectId& id : ids) each.writeHardOwnershipId(id);
    once.writeIds(ids);
    EXPECT_EQ(once.data(), each.data());
    once.writeIds({});
    EXPECT_EQ(once.data(), each.data());
    once.seekStart();
    std::int16_t two = 0;
    once.readInt16(&two);
    for (const ZcDbObjectId& id : ids) {
        ZcDbObjectId back = db.viewTableId();
        EXPECT_EQ(once.readHardOwnershipId(&back), Zcad::eOk);
        EXPECT_EQ(back, id);
    }
    EXPECT_TRUE(once.atEnd());
    const std::vector<std::uint8_t> bytes = each.data();
    EXPECT_EQ(each.takeData(), bytes);
    EXPECT_TRUE(each.data().empty());
    EXPECT_TRUE(each.atEnd());
}

TEST(DwgFiler, items_written_at_once_are_those_written_one_by_one) {
    ZcDbDatabase db;
    std::vector<ZcDbDxfItem> items{ZcDbDxfItem::ofText(1000, "door"), ZcDbDxfItem::ofText(1000, ""),
                                   ZcDbDxfItem::ofReal(1040, 2.5),    ZcDbDxfItem::ofPoint(1010, 1, 2, 3),
                                   ZcDbDxfItem::ofInt(1070, -7),      ZcDbDxfItem::ofInt(1071, 1 << 20)};
    items.back().kind = ZcDbDxfItem::kInt64;
    ZcDbDxfItem flat = ZcDbDxfItem::ofPoint(10, 4, 5, 0);
    flat.dim = 2;
    items.push_back(flat);
    ZcDbDxfItem id;
    id.code = 1005;
    id.kind = ZcDbDxfItem::kId;
    id.id = db.layerTableId();
    items.push_back(id);
    ZcDbDxfItem handle = ZcDbDxfItem::ofText(1005, "1F");
    handle.kind = ZcDbDxfItem::kHandle;
    items.push_back(handle);
    ZcDbDxfItem unknown = ZcDbDxfItem::ofText(999, std::string(300, 'x'));
    unknown.kind = ZcDbDxfItem::kUnknown;
    items.push_back(unknown);

    ZcDbDwgFiler each(&db), once(&db);
    each.writeInt32(3);
    once.writeInt32(3);
    for (const ZcDbDxfItem& it : items) zcdbWriteItemDwg(&each, it);
    once.writeItems(items);
    EXPECT_EQ(once.data(), each.data());
    once.writeItems({});
    EXPECT_EQ(once.data(), each.data());

    once.seekStart();
    std::int32_t three = 0;
    once.readInt32(&three);
    for (const ZcDbDxfItem& it : items) {
        ZcDbDxfItem back;
        zcdbReadItemDwg(&once, back);
        EXPECT_TRUE(back == it) << it.toString();
    }
    EXPECT_EQ(once.filerStatus(), Zcad::eOk);
    EXPECT_TRUE(once.atEnd());

    // A filer already failed writes nothing more, as item by item.
    ZcDbDwgFiler failed(&db);
    failed.setFilerStatus(Zcad::eEndOfFile);
    failed.writeItems(items);
    EXPECT_TRUE(failed.data().empty());
}

TEST(DwgFiler, every_value_type_comes_back_as_written) {
    ZcDbDatabase db;
    ZcDbDwgFiler f(&db);
    f.writeBool(true);
    f.writeInt8(-3);
    f.writeUInt8(250);
    f.writeInt16(-32000);
    f.writeUInt16(65000);
    f.writeInt32(-2000000000);
    f.writeUInt32(4000000000u);
    f.writeInt64(-(std::int64_t(1) << 40));
    f.writeDouble(3.25);
    f.writeString(std::string("a\0b", 3));
    f.writePoint2d({1, 2});
    f.writePoint3d({1, 2, 3});
    f.writeVector3d({0, 0, 1});
    f.writeDbHandle(ZcDbHandle(uint64_t(0x2A)));
    f.writeSoftPointerId(db.modelSpaceId());
    f.seekStart();
    bool b;
    std::int8_t i8;
    std::uint8_t u8;
    std::int16_t i16;
    std::uint16_t u16;
    std::int32_t i32;
    std::uint32_t u32;
    std::int64_t i64;
    double d;
    std::string s;
    ZcGePoint2d p2;
    ZcGePoint3d p3;
    ZcGeVector3d v3;
    ZcDbHandle h;
    ZcDbObjectId id;
    f.readBool(&b), f.readInt8(&i8), f.readUInt8(&u8), f.readInt16(&i16), f.readUInt16(&u16);
    f.readInt32(&i32), f.readUInt32(&u32), f.readInt64(&i64), f.readDouble(&d), f.readString(&s);
    f.readPoint2d(&p2), f.readPoint3d(&p3), f.readVector3d(&v3), f.readDbHandle(&h), f.readSoftPointerId(&id);
    ASSERT_EQ(f.filerStatus(), Zcad::eOk);
    EXPECT_TRUE(b);
    EXPECT_EQ(i8, -3);
    EXPECT_EQ(u8, 250);
    EXPECT_EQ(i16, -32000);
    EXPECT_EQ(u16, 65000);
    EXPECT_EQ(i32, -2000000000);
    EXPECT_EQ(u32, 4000000000u);
    EXPECT_EQ(i64, -(std::int64_t(1) << 40));
    EXPECT_EQ(d, 3.25);
    EXPECT_EQ(s, std::string("a\0b", 3));
    EXPECT_EQ(p2.y, 2);
    EXPECT_EQ(p3.z, 3);
    EXPECT_EQ(v3.z, 1);
    EXPECT_EQ(h.value(), 0x2Au);
    EXPECT_EQ(id, db.modelSpaceId());
    EXPECT_TRUE(f.atEnd());
}

TEST(DxfFiler, group_codes_are_typed_by_range) {
    using K = ZcDbDxfItem;
    EXPECT_EQ(K::kindOfCode(0), K::kString);
    EXPECT_EQ(K::kindOfCode(5), K::kHandle);
    EXPECT_EQ(K::kindOfCode(10), K::kPoint);
    EXPECT_EQ(K::kindOfCode(40), K::kReal);
    EXPECT_EQ(K::kindOfCode(62), K::kInt16);
    EXPECT_EQ(K::kindOfCode(90), K::kInt32);
    EXPECT_EQ(K::kindOfCode(210), K::kPoint);
    EXPECT_EQ(K::kindOfCode(290), K::kBool);
    EXPECT_EQ(K::kindOfCode(330), K::kId);
    EXPECT_EQ(K::kindOfCode(370), K::kInt16);
    EXPECT_EQ(K::kindOfCode(420), K::kInt32);
    EXPECT_EQ(K::kindOfCode(1000), K::kString);
    EXPECT_EQ(K::kindOfCode(1010), K::kPoint);
    EXPECT_EQ(K::kindOfCode(1040), K::kReal);
    EXPECT_EQ(K::kindOfCode(1070), K::kInt16);
    EXPECT_EQ(K::kindOfCode(1071), K::kInt32);
    EXPECT_EQ(K::kindOfCode(1), K::kString);
    EXPECT_EQ(K::kindOfCode(2000), K::kUnknown);
}

TEST(DxfFiler, push_back_returns_the_item_once_and_subclass_check_keeps_a_foreign_marker) {
    ZcDbMemDxfFiler f;
    f.writeString(100, "AcDbLine");
    f.writeInt16(70, 4);
    f.rewind();
    EXPECT_FALSE(f.atSubclassData("AcDbCircle"));
    EXPECT_TRUE(f.atSubclassData("AcDbLine"));
    ZcDbDxfItem it;
    ASSERT_EQ(f.readItem(it), Zcad::eOk);
    EXPECT_EQ(it.code, 70);
    EXPECT_EQ(f.pushBackItem(), Zcad::eOk);
    EXPECT_NE(f.pushBackItem(), Zcad::eOk);
    ASSERT_EQ(f.readItem(it), Zcad::eOk);
    EXPECT_EQ(it.integer, 4);
    EXPECT_EQ(f.readItem(it), Zcad::eEndOfFile);
    EXPECT_FALSE(f.atSubclassData("AcDbLine"));
}

TEST(DxfFiler, resbuf_items_convert_both_ways) {
    ZcDbMemDxfFiler f;
    resbuf text;
    text.restype = 1;
    char buf[] = "Żółw";
    text.resval.rstring = buf;
    resbuf pt;
    pt.restype = 10;
    pt.resval.rpoint[0] = 1, pt.resval.rpoint[1] = 2, pt.resval.rpoint[2] = 3;
    resbuf bad;
    bad.restype = 2000;
    EXPECT_EQ(f.writeItem(text), Zcad::eOk);
    EXPECT_EQ(f.writeItem(pt), Zcad::eOk);
    f.rewind();
    resbuf back;
    ASSERT_EQ(f.readItem(&back), Zcad::eOk);
    EXPECT_STREQ(back.resval.rstring, "Żółw");
    delete[] back.resval.rstring;
    ASSERT_EQ(f.readItem(&back), Zcad::eOk);
    EXPECT_EQ(back.restype, 10);
    EXPECT_EQ(back.resval.rpoint[2], 3);
    EXPECT_EQ(f.writeItem(bad), Zcad::eInvalidDxfCode);
}

TEST(EntityFiling, every_kind_round_trips_through_both_filers) {
    std::vector<std::unique_ptr<ZcDbObject>> all;
    auto keep = [&](ZcDbEntity* e) {
        decorate(e);
        all.emplace_back(e);
    };
    auto* line = new ZcDbLine({1, 2, 3}, {4, 5, 6});
    line->setThickness(2);
    keep(line);
    keep(new ZcDbCircle({1, 1, 0}, {0, 0, 1}, 5));
    keep(new ZcDbCircle({1, 1, 2}, {0, 1, 1}, 5));
    keep(new ZcDbArc({0, 0, 0}, 2, 0.5, 2.5));
    auto* point = new ZcDbPoint({7, 8, 9});
    point->setTrueColor(0x112233);
    keep(point);
    auto* face = new ZcDbFace({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}, true, false, true, false);
    keep(face);
    keep(new ZcDbSolid({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}));
    auto* text = new ZcDbText({1, 2, 0}, "Ściana nośna", 3.5, 0.25);
    text->setHorizontalMode(ZcDb::kTextCenter);
    text->setVerticalMode(ZcDb::kTextTop);
    text->setAlignmentPoint({3, 4, 0});
    text->setWidthFactor(0.8);
    text->setOblique(0.1);
    keep(text);
    auto* mtext = new ZcDbMText;
    mtext->setContents("Pierwsza\\PDruga");
    mtext->setAttachment(5);
    mtext->setWidth(40);
    mtext->setRotation(0.5);
    keep(mtext);
    auto* attdef = new ZcDbAttributeDefinition;
    attdef->setTag("NUMER");
    attdef->setPrompt("Numer pomieszczenia");
    attdef->setTextString("1");
    attdef->setInvisible(true);
    attdef->setVerticalMode(ZcDb::kTextBottom);
    keep(attdef);
    auto* attrib = new ZcDbAttribute;
    attrib->setTag("NUMER");
    attrib->setTextString("12");
    attrib->setHorizontalMode(ZcDb::kTextRight);
    keep(attrib);
    auto* lw = new ZcDbPolyline;
    lw->addVertexAt(0, {0, 0}, 0.5, 1, 2);
    lw->addVertexAt(1, {10, 0});
    lw->addVertexAt(2, {10, 5}, -1);
    lw->setClosed(true);
    lw->setElevation(3);
    keep(lw);
    auto* lwConst = new ZcDbPolyline;
    lwConst->addVertexAt(0, {0, 0});
    lwConst->addVertexAt(1, {1, 1});
    lwConst->setConstantWidth(0.25);
    keep(lwConst);
    auto* pl = new ZcDb2dPolyline;
    pl->setPolylineFlags(ZcDb2dPolyline::k3dPolyline | ZcDb2dPolyline::kClosed);
    keep(pl);
    auto* vertex = new ZcDbVertex({1, 2, 3}, 0.3);
    vertex->setWidths(0.5, 0.75);
    keep(vertex);
    auto* faceRecord = new ZcDbVertex;
    faceRecord->setVertexFlags(128);
    faceRecord->setVertexAt(0, 1), faceRecord->setVertexAt(1, -2), faceRecord->setVertexAt(2, 3),
        faceRecord->setVertexAt(3, 4);
    keep(faceRecord);
    keep(new ZcDbSequenceEnd);
    auto* insert = new ZcDbBlockReference;
    insert->setBlockName("DRZWI");
    insert->setPosition({5, 5, 0});
    insert->setScaleFactors({2, 2, 1});
    insert->setRotation(1.25);
    keep(insert);
    auto* vp = new ZcDbViewport;
    vp->setViewCenter({100, 50});
    vp->setViewHeight(400);
    vp->setOff();
    keep(vp);
    for (auto& obj : all) expectRoundTrip(obj.get());
}

TEST(EntityFiling, resident_entities_file_their_handle_owner_and_frozen_layers) {
    ZcDbDatabase db;
    ZcDbLayerTable* layers = nullptr;
    db.getLayerTable(layers, ZcDb::kForWrite);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName("Meble");
    ZcDbObjectId meble;
    layers->add(meble, rec);
    rec->close();
    layers->close();
    ZcDbBlockTableRecord* ps = nullptr;
    ASSERT_EQ(zcdbOpenObject(ps, db.paperSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* vp = new ZcDbViewport;
    ZcDbObjectId id;
    ASSERT_EQ(ps->appendZcDbEntity(id, vp), Zcad::eOk);
    vp->freezeLayersInViewport({meble, meble});
    EXPECT_EQ(vp->frozenLayers().size(), 1u);
    std::vector<ZcDbDxfItem> items = dxfOf(vp);
    vp->close();
    ps->close();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[0].code, 5);
    EXPECT_EQ(items[0].text, id.handle().ascii());
    EXPECT_EQ(items[1].id, db.paperSpaceId());
    bool frozen = false;
    for (const auto& it : items) frozen |= it.code == 331 && it.id == meble;
    EXPECT_TRUE(frozen);
    // Reading the items into a resident object keeps its own handle.
    ZcDbViewport* again = nullptr;
    ASSERT_EQ(zcdbOpenObject(again, id, ZcDb::kForWrite), Zcad::eOk);
    ZcDbMemDxfFiler in(items);
    EXPECT_EQ(again->dxfIn(&in), Zcad::eOk);
    EXPECT_EQ(again->objectId(), id);
    EXPECT_TRUE(again->isLayerFrozenInViewport(meble));
    again->close();
}

TEST(EntityFiling, a_list_without_subclass_markers_is_read_section_by_section) {
    // The shape of a hand-made entity-data list: no 100 groups.
    ZcDbMemDxfFiler f;
    f.writeString(8, "Mury");
    f.writeInt16(62, 1);
    f.writePoint3d(10, {1, 2, 0});
    f.writeDouble(40, 4);
    f.writeAngle(50, 0.5);
    f.writeAngle(51, 1.5);
    f.rewind();
    ZcDbArc arc;
    ASSERT_EQ(arc.dxfIn(&f), Zcad::eOk);
    EXPECT_EQ(arc.layer(), "Mury");
    EXPECT_EQ(arc.colorIndex(), 1);
    EXPECT_EQ(arc.center().y, 2);
    EXPECT_EQ(arc.radius(), 4);
    EXPECT_EQ(arc.startAngle(), 0.5);
    EXPECT_EQ(arc.endAngle(), 1.5);
}

TEST(EntityFiling, bad_values_are_refused_and_leave_the_entity_unchanged) {
    ZcDbPolyline pl;
    pl.addVertexAt(0, {1, 1});
    ZcDbMemDxfFiler f;
    f.writeString(100, "AcDbEntity");
    f.writeString(8, "0");
    f.writeString(100, "AcDbPolyline");
    f.writeInt32(90, 3);
    f.writePoint2d(10, {0, 0});
    f.rewind();
    EXPECT_EQ(pl.dxfIn(&f), Zcad::eBadDxfSequence);
    EXPECT_EQ(pl.numVerts(), 1u);
    ZcDbLine line;
    ZcDbMemDxfFiler g;
    g.writeString(100, "AcDbEntity");
    g.writeInt16(62, 300);
    g.rewind();
    EXPECT_EQ(line.dxfIn(&g), Zcad::eInvalidInput);
    EXPECT_EQ(line.colorIndex(), 256);
    ZcDbBlockReference ref;
    ZcDbMemDxfFiler h;
    h.writeString(100, "AcDbEntity");
    h.writeString(100, "AcDbBlockReference");
    h.writeString(2, "B");
    h.writeDouble(41, 0);
    h.rewind();
    EXPECT_EQ(ref.dxfIn(&h), Zcad::eInvalidInput);
}

TEST(EntityFiling, tables_records_and_dictionaries_round_trip) {
    std::vector<std::unique_ptr<ZcDbObject>> all;
    auto* layer = new ZcDbLayerTableRecord;
    layer->setName("Ściany");
    layer->setColorIndex(4);
    layer->setIsFrozen(true);
    layer->setTrueColor(0xFF8000);
    all.emplace_back(layer);
    auto* lt = new ZcDbLinetypeTableRecord;
    lt->setName("KRESKA");
    lt->setDashes({5, -2.5, 0, -2.5});
    all.emplace_back(lt);
    auto* style = new ZcDbTextStyleTableRecord;
    style->setName("OPISY");
    style->setFileName("arial.ttf");
    all.emplace_back(style);
    auto* app = new ZcDbRegAppTableRecord;
    app->setName("VELM5$_$PARAMETRI-");
    all.emplace_back(app);
    auto* dim = new ZcDbDimStyleTableRecord;
    dim->setName("VELM");
    dim->setDimscale(50);
    dim->setDimzin(12);
    all.emplace_back(dim);
    auto* view = new ZcDbViewTableRecord;
    view->setName("PLAN");
    view->setViewDirection({1, 1, 1});
    all.emplace_back(view);
    auto* ucs = new ZcDbUCSTableRecord;
    ucs->setName("U1");
    ucs->setOrigin({1, 2, 3});
    all.emplace_back(ucs);
    auto* vport = new ZcDbViewportTableRecord;
    vport->setName("*Active");
    vport->setHeight(55);
    all.emplace_back(vport);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("DRZWI");
    all.emplace_back(block);
    all.emplace_back(new ZcDbDictionary);
    for (auto& obj : all) expectRoundTrip(obj.get());
}

TEST(EntityFiling, clone_copies_the_data_but_not_the_identity) {
    ZcDbDatabase db;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* c = new ZcDbCircle({1, 2, 3}, {0, 0, 1}, 4);
    ms->appendZcDbEntity(c);
    std::unique_ptr<ZcDbObject> copy(c->clone());
    c->close();
    ms->close();
    auto* cc = ZcDbCircle::cast(copy.get());
    ASSERT_NE(cc, nullptr);
    EXPECT_FALSE(cc->isDbResident());
    EXPECT_EQ(cc->radius(), 4);
    EXPECT_EQ(cc->center().z, 3);
}

namespace {

// A stream that hands its items out only by copy, as a file reader does.
class CopyingDxfFiler : public ZcDbDxfFiler {
public:
    explicit CopyingDxfFiler(std::vector<ZcDbDxfItem> items) : m_items(std::move(items)) {}
    Zcad::ErrorStatus readItem(ZcDbDxfItem& item) override { return m_items.readItem(item); }
    Zcad::ErrorStatus pushBackItem() override { return m_items.pushBackItem(); }
    Zcad::ErrorStatus writeItem(const ZcDbDxfItem& item) override { return m_items.writeItem(item); }
    bool atEOF() const override { return m_items.atEOF(); }

private:
    ZcDbMemDxfFiler m_items;
};

std::vector<std::uint8_t> dwgOf(const ZcDbObject* obj) {
    ZcDbDwgFiler f;
    obj->dwgOutFields(&f);
    return f.data();
}

}  // namespace

// The memory stream lets its readers look at its items where they stand;
// any other stream gives copies. Both must read an entity alike, markers,
// application groups, xdata and lists without markers included.
TEST(DxfFiler, items_read_in_place_are_read_as_copies_are) {
    ZcDbAttribute att;
    att.setPosition({1, 2, 0});
    att.setTextString("Łazienka");
    att.setTag("NR");
    decorate(&att);
    att.setXDataApp("VELM", {ZcDbDxfItem::ofText(1000, "x"), ZcDbDxfItem::ofInt(1070, 7)});
    std::vector<ZcDbDxfItem> withGroups = dxfOf(&att);
    withGroups.insert(withGroups.begin() + 1,
                      {ZcDbDxfItem::ofText(102, "{OTHER_APP"), ZcDbDxfItem::ofText(1, "ignored"),
                       ZcDbDxfItem::ofText(102, "}")});
    const std::vector<ZcDbDxfItem> markerless = {
        ZcDbDxfItem::ofText(8, "Mury"), ZcDbDxfItem::ofInt(62, 1),       ZcDbDxfItem::ofPoint(10, 1, 2, 0),
        ZcDbDxfItem::ofReal(40, 4),     ZcDbDxfItem::ofText(1, "Pokój"), ZcDbDxfItem::ofText(2, "NR")};
    for (const std::vector<ZcDbDxfItem>& items : {withGroups, markerless}) {
        ZcDbAttribute inPlace, copied;
        ZcDbMemDxfFiler mem(items);
        CopyingDxfFiler copying(items);
        EXPECT_EQ(inPlace.dxfIn(&mem), Zcad::eOk) << mem.errorMessage();
        EXPECT_EQ(copied.dxfIn(&copying), Zcad::eOk) << copying.errorMessage();
        EXPECT_EQ(mem.atEOF(), copying.atEOF());
        EXPECT_EQ(dxfOf(&inPlace), dxfOf(&copied)) << describe(items);
        EXPECT_EQ(dwgOf(&inPlace), dwgOf(&copied));
    }
    EXPECT_EQ(att.xDataApps().size(), 1u);
}

// The binary filer writes into room made ahead: values written across
// its growths, around looks at the bytes so far and after the bytes were
// taken come back as written, and a filer in fault adds nothing.
TEST(DwgFiler, values_written_across_growths_and_looks_come_back_as_written) {
    auto text = [](int i) {
        return i % 7 == 0 ? std::string() : std::string(static_cast<std::size_t>(i % 40), 'a');
    };
    const std::string huge(100000, 'z');
    auto fill = [&](ZcDbDwgFiler& f, bool look) {
        std::size_t size = 0;
        for (int i = 0; i < 600; ++i) {
            f.writeInt16(static_cast<std::int16_t>(i));
            f.writeString(text(i));
            f.writeDouble(i * 0.5);
            size += 3 + 5 + text(i).size() + 9;
            if (i == 300) {
                f.writeString(huge);
                size += 5 + huge.size();
            }
            if (look && i % 97 == 0) {
                EXPECT_EQ(f.data().size(), size);
            }
        }
        return size;
    };
    ZcDbDwgFiler looked, straight;
    const std::size_t size = fill(looked, true);
    fill(straight, false);
    EXPECT_EQ(looked.data(), straight.data());
    EXPECT_EQ(straight.data().size(), size);
    for (int i = 0; i < 600; ++i) {
        std::int16_t n = -1;
        std::string s;
        double d = -1;
        looked.readInt16(&n), looked.readString(&s), looked.readDouble(&d);
        ASSERT_EQ(looked.filerStatus(), Zcad::eOk) << i;
        EXPECT_EQ(n, i);
        EXPECT_EQ(s, text(i));
        EXPECT_EQ(d, i * 0.5);
        if (i == 300) {
            looked.readString(&s);
            EXPECT_EQ(s, huge);
        }
    }
    EXPECT_TRUE(looked.atEnd());

    std::vector<std::uint8_t> taken = straight.takeData();
    EXPECT_EQ(taken.size(), size);
    EXPECT_TRUE(straight.atEnd());
    EXPECT_TRUE(straight.data().empty());
    straight.writeBytes(nullptr, 0);
    straight.writeIds({});
    straight.writeInt32(5);
    EXPECT_EQ(straight.data().size(), 5u + 5u);
    straight.setData(std::move(taken));
    EXPECT_EQ(straight.data(), looked.data());

    looked.setFilerStatus(Zcad::eInvalidInput);
    looked.writeString(huge);
    looked.writeDouble(1);
    looked.writeIds({ZcDbObjectId()});
    EXPECT_EQ(looked.data(), straight.data());
}

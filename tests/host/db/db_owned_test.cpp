// Entities that own others: polyline vertices and block reference
// attributes, with their closing SEQEND.
#include <gtest/gtest.h>

#include "host/db/dbmain.h"

namespace {

ZcDbObjectId appendToModelSpace(ZcDbDatabase& db, ZcDbEntity* e) {
    ZcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    ZcDbObjectId id;
    EXPECT_EQ(ms->appendZcDbEntity(id, e), Zcad::eOk);
    e->close();
    ms->close();
    return id;
}

}  // namespace

TEST(OwnedEntities, vertices_given_before_appending_follow_the_polyline_in_order) {
    ZcDbDatabase db;
    auto* pl = new ZcDb2dPolyline;
    pl->setPolylineFlags(ZcDb2dPolyline::k3dPolyline);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(pl->appendVertex(new ZcDbVertex({double(i), 0, double(i)})), Zcad::eOk);
    EXPECT_EQ(pl->numVertices(), 3u);
    ZcDbObjectId id = appendToModelSpace(db, pl);
    ZcDb2dPolyline* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, id, ZcDb::kForRead), Zcad::eOk);
    std::vector<ZcDbObjectId> vertices = back->vertexIds();
    ZcDbObjectId seqend = back->seqendId();
    back->close();
    ASSERT_EQ(vertices.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        ZcDbVertex* v = nullptr;
        ASSERT_EQ(zcdbOpenObject(v, vertices[i], ZcDb::kForRead), Zcad::eOk);
        EXPECT_EQ(v->position().z, double(i));
        EXPECT_EQ(v->ownerId(), id);
        EXPECT_TRUE(v->vertexFlags() & ZcDbVertex::k3dPolylineVertex);
        v->close();
    }
    ZcDbEntity* end = nullptr;
    ASSERT_EQ(zcdbOpenObject(end, seqend, ZcDb::kForRead), Zcad::eOk);
    EXPECT_STREQ(end->isA()->dxfName(), "SEQEND");
    EXPECT_EQ(end->ownerId(), id);
    end->close();
    // Vertices and SEQEND are not model-space entities themselves.
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForRead);
    EXPECT_EQ(ms->entityIds().size(), 1u);
    ms->close();
}

TEST(OwnedEntities, polyface_counts_its_vertices_and_faces) {
    ZcDbDatabase db;
    auto* mesh = new ZcDb2dPolyline;
    mesh->setPolylineFlags(ZcDb2dPolyline::kPolyFaceMesh);
    for (ZcGePoint3d p : {ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0), ZcGePoint3d(0, 1, 0)}) {
        auto* v = new ZcDbVertex(p);
        v->setVertexFlags(64 | 128);
        mesh->appendVertex(v);
    }
    auto* face = new ZcDbVertex;
    face->setVertexFlags(128);
    face->setVertexAt(0, 1), face->setVertexAt(1, 2), face->setVertexAt(2, -3);
    mesh->appendVertex(face);
    EXPECT_EQ(mesh->numMeshVertices(), 3);
    EXPECT_EQ(mesh->numFaces(), 1);
    ZcDbObjectId id = appendToModelSpace(db, mesh);
    ZcDb2dPolyline* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, id, ZcDb::kForRead), Zcad::eOk);
    ZcDbMemDxfFiler f;
    back->dxfOut(&f);
    back->close();
    bool marker = false;
    for (const auto& it : f.items()) marker |= it.code == 100 && it.text == "AcDbPolyFaceMesh";
    EXPECT_TRUE(marker);
}

TEST(OwnedEntities, attributes_are_owned_by_their_reference_and_end_with_seqend) {
    ZcDbDatabase db;
    ZcDbBlockTable* bt = nullptr;
    db.getBlockTable(bt, ZcDb::kForWrite);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("POKÓJ");
    ZcDbObjectId blockId;
    ASSERT_EQ(bt->add(blockId, block), Zcad::eOk);
    auto* def = new ZcDbAttributeDefinition;
    def->setTag("NR");
    def->setPosition({1, 0, 0});
    ASSERT_EQ(block->appendZcDbEntity(def), Zcad::eOk);
    EXPECT_TRUE(block->hasAttributeDefinitions());
    auto* ref = new ZcDbBlockReference({10, 0, 0}, blockId);
    auto* attr = new ZcDbAttribute;
    ASSERT_EQ(attr->setAttributeFromBlock(def, ref->blockTransform()), Zcad::eOk);
    attr->setTextString("101");
    def->close();
    block->close();
    bt->close();
    ASSERT_EQ(ref->appendAttribute(attr), Zcad::eOk);
    ZcDbObjectId refId = appendToModelSpace(db, ref);
    ZcDbBlockReference* back = nullptr;
    ASSERT_EQ(zcdbOpenObject(back, refId, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(back->blockTableRecord(), blockId);
    std::vector<ZcDbObjectId> attrs = back->attributeIds();
    EXPECT_FALSE(back->seqendId().isNull());
    ZcDbMemDxfFiler f;
    back->dxfOut(&f);
    back->close();
    ASSERT_EQ(attrs.size(), 1u);
    ZcDbAttribute* a = nullptr;
    ASSERT_EQ(zcdbOpenObject(a, attrs[0], ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(a->tag(), "NR");
    EXPECT_EQ(a->textString(), "101");
    EXPECT_TRUE(a->position().isEqualTo({11, 0, 0}));  // the definition's place, moved with the block
    EXPECT_EQ(a->ownerId(), refId);
    a->close();
    bool follows = false;
    for (const auto& it : f.items()) follows |= it.code == 66 && it.integer == 1;
    EXPECT_TRUE(follows);
}

TEST(OwnedEntities, moving_a_reference_moves_its_attributes) {
    ZcDbDatabase db;
    auto* ref = new ZcDbBlockReference;
    ref->setBlockName("X");
    auto* attr = new ZcDbAttribute;
    attr->setTag("T");
    attr->setPosition({1, 1, 0});
    ref->appendAttribute(attr);
    ZcDbObjectId refId = appendToModelSpace(db, ref);
    ZcDbBlockReference* r = nullptr;
    ASSERT_EQ(zcdbOpenObject(r, refId, ZcDb::kForWrite), Zcad::eOk);
    ZcDbObjectId attrId = r->attributeIds().at(0);
    ASSERT_EQ(r->transformBy(ZcDbXform::translation({5, 0, 0})), Zcad::eOk);
    r->close();
    ZcDbAttribute* a = nullptr;
    ASSERT_EQ(zcdbOpenObject(a, attrId, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(a->position().isEqualTo({6, 1, 0}));
    a->close();
}

TEST(OwnedEntities, undo_restores_a_vertex_moved_through_its_polyline) {
    ZcDbDatabase db;
    auto* pl = new ZcDb2dPolyline;
    pl->appendVertex(new ZcDbVertex({1, 1, 0}));
    ZcDbObjectId id = appendToModelSpace(db, pl);
    db.beginUndoGroup();
    ZcDb2dPolyline* p = nullptr;
    ASSERT_EQ(zcdbOpenObject(p, id, ZcDb::kForWrite), Zcad::eOk);
    ZcDbObjectId vid = p->vertexIds().at(0);
    p->transformBy(ZcDbXform::translation({10, 0, 0}));
    p->close();
    db.endUndoGroup();
    ZcDbVertex* v = nullptr;
    ASSERT_EQ(zcdbOpenObject(v, vid, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(v->position().x, 11);
    v->close();
    ASSERT_TRUE(db.undoGroup());
    ASSERT_EQ(zcdbOpenObject(v, vid, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(v->position().x, 1);
    v->close();
    ASSERT_EQ(zcdbOpenObject(p, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(p->vertexIds().size(), 1u);
    p->close();
}

// Dimensions and hatches: filing, the measured values, hatch areas.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "host/db/dbmain.h"

namespace {

const double kPi = std::acos(-1.0);

std::vector<ZcDbDxfItem> dxfOf(const ZcDbObject* obj) {
    ZcDbMemDxfFiler f;
    EXPECT_EQ(obj->dxfOut(&f), Zcad::eOk);
    return f.items();
}

// Made anew through the reader's class choice, read, filed again.
std::unique_ptr<ZcDbObject> throughDxf(const ZcDbObject* original) {
    std::vector<ZcDbDxfItem> items = dxfOf(original);
    ZcRxClass* cls = zcdbClassForDxf(original->isA()->dxfName(), items);
    EXPECT_EQ(cls, original->isA());
    std::unique_ptr<ZcDbObject> copy(ZcDbObject::cast(cls->create()));
    ZcDbMemDxfFiler in(items);
    EXPECT_EQ(copy->dxfIn(&in), Zcad::eOk) << in.errorMessage();
    EXPECT_TRUE(in.atEOF());
    EXPECT_EQ(dxfOf(copy.get()), items);
    ZcDbDwgFiler dwg, again;
    original->dwgOutFields(&dwg);
    std::unique_ptr<ZcDbObject> fromDwg(ZcDbObject::cast(cls->create()));
    dwg.seekStart();
    EXPECT_EQ(fromDwg->dwgInFields(&dwg), Zcad::eOk);
    fromDwg->dwgOutFields(&again);
    EXPECT_EQ(dwg.data(), again.data());
    return copy;
}

ZcDbHatch::Edge arc(double cx, double cy, double r, double a0, double a1) {
    ZcDbHatch::Edge e;
    e.type = 2;
    e.center = {cx, cy};
    e.radius = r;
    e.startAngle = a0;
    e.endAngle = a1;
    return e;
}

}  // namespace

TEST(Dimensions, each_kind_round_trips_and_keeps_its_block_and_text) {
    ZcDbAlignedDimension aligned({0, 0, 0}, {3, 4, 0}, {0, 5, 0}, "<> cm");
    auto copy = throughDxf(&aligned);
    auto* a = ZcDbAlignedDimension::cast(copy.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->dimensionText(), "<> cm");
    EXPECT_DOUBLE_EQ(a->measurement(), 5);

    ZcDbRotatedDimension rotated(0, {0, 0, 0}, {3, 4, 0}, {0, -2, 0});
    auto rcopy = throughDxf(&rotated);
    EXPECT_DOUBLE_EQ(ZcDbRotatedDimension::cast(rcopy.get())->measurement(), 3);  // the X extent only

    ZcDb3PointAngularDimension angular({0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {1, 1, 0});
    auto acopy = throughDxf(&angular);
    EXPECT_NEAR(ZcDb3PointAngularDimension::cast(acopy.get())->measurement(), kPi / 2, 1e-12);

    // Two lines meeting at the origin: (0,0)-(1,0) and (0,0)-(0,2).
    ZcDb2LineAngularDimension twoLine({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 2, 0}, {1, 1, 0});
    auto tcopy = throughDxf(&twoLine);
    auto* t = ZcDb2LineAngularDimension::cast(tcopy.get());
    ASSERT_NE(t, nullptr);
    EXPECT_NEAR(t->measurement(), kPi / 2, 1e-12);
    EXPECT_TRUE(t->arcPoint().isEqualTo(ZcGePoint3d(1, 1, 0)));
    EXPECT_TRUE(t->xLine2End().isEqualTo(ZcGePoint3d(0, 2, 0)));
    bool marker = false;
    for (const ZcDbDxfItem& it : dxfOf(&twoLine))
        marker = marker || (it.code == 100 && it.text == "AcDb2LineAngularDimension");
    EXPECT_TRUE(marker);
}

TEST(Dimensions, block_is_found_by_its_anonymous_name) {
    ZcDbDatabase db;
    ZcDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, ZcDb::kForWrite), Zcad::eOk);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("*D");
    ZcDbObjectId blockId;
    ASSERT_EQ(bt->add(blockId, block), Zcad::eOk);
    EXPECT_EQ(block->name(), "*D1");
    block->close();
    bt->close();
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    auto* dim = new ZcDbAlignedDimension({0, 0, 0}, {10, 0, 0}, {0, 3, 0});
    ASSERT_EQ(ms->appendZcDbEntity(dim), Zcad::eOk);
    ASSERT_EQ(dim->setDimBlockId(blockId), Zcad::eOk);
    EXPECT_EQ(dim->dimBlockId(), blockId);
    EXPECT_EQ(dim->dimBlockName(), "*D1");
    EXPECT_EQ(dim->dimensionStyle(), db.dimstyle());
    EXPECT_EQ(dim->setDimensionStyle("NONE"), Zcad::eKeyNotFound);
    dim->close();
    ms->close();
}

TEST(Dimensions, unknown_kinds_are_not_guessed) {
    ZcDbDxfItem kind;
    kind.code = 70;
    kind.kind = ZcDbDxfItem::kInt16;
    kind.integer = 6;  // ordinate
    EXPECT_EQ(zcdbClassForDxf("DIMENSION", {kind}), nullptr);
    EXPECT_EQ(zcdbClassForDxf("LINE", {}), ZcDbLine::desc());
}

TEST(Hatches, square_with_a_round_hole_has_the_area_of_the_difference) {
    ZcDbHatch h;
    ASSERT_EQ(h.appendLoop(ZcDbHatch::kExternal, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}), Zcad::eOk);
    ZcDbHatch::Loop hole;
    hole.type = ZcDbHatch::kDefault;
    hole.edges = {arc(5, 5, 1, 0, kPi), arc(5, 5, 1, kPi, 2 * kPi)};
    ASSERT_EQ(h.appendLoop(hole), Zcad::eOk);
    EXPECT_NEAR(h.area(), 100 - kPi, 1e-9);
    // A bulged edge: a half disc on the square's top side (bulge 1).
    ZcDbHatch g;
    g.appendLoop(ZcDbHatch::kExternal, {{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {0, 0, 1, 0});
    EXPECT_NEAR(g.area(), 4 + kPi / 2, 1e-9);
}

TEST(Hatches, pattern_gradient_and_loops_round_trip) {
    ZcDbHatch h;
    h.setPattern(ZcDbHatch::kPreDefined, "ANSI31");
    h.setPatternScale(20);
    h.setPatternAngle(kPi / 4);
    h.setAssociative(true);
    h.setElevation(3);
    h.setColorIndex(8);
    h.appendLoop(ZcDbHatch::kExternal, {{0, 0}, {10, 0}, {10, 10}}, {0, 0.5, 0});
    ZcDbHatch::Loop edges;
    edges.type = ZcDbHatch::kDefault;
    ZcDbHatch::Edge line;
    line.start = {1, 1};
    line.end = {2, 1};
    edges.edges = {line, arc(2, 2, 1, -kPi / 2, 0)};
    h.appendLoop(edges);
    auto copy = throughDxf(&h);
    auto* c = ZcDbHatch::cast(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->patternName(), "ANSI31");
    EXPECT_FALSE(c->isSolidFill());
    EXPECT_EQ(c->numLoops(), 2);
    EXPECT_EQ(c->loopAt(1).edges.size(), 2u);
    EXPECT_NEAR(c->area(), h.area(), 1e-12);

    ZcDbHatch grad;
    grad.setGradient("LINEAR", 0xFF0000, 0x0000FF);
    grad.appendLoop(ZcDbHatch::kExternal, {{0, 0}, {1, 0}, {1, 1}});
    auto gcopy = throughDxf(&grad);
    auto* gc = ZcDbHatch::cast(gcopy.get());
    EXPECT_TRUE(gc->isGradient());
    EXPECT_EQ(gc->gradientName(), "LINEAR");
    EXPECT_EQ(gc->gradientColor(1), 0x0000FF);
}

TEST(Hatches, bad_loops_are_refused) {
    ZcDbHatch h;
    EXPECT_EQ(h.appendLoop(ZcDbHatch::kExternal, {{0, 0}}), Zcad::eInvalidInput);
    ZcDbHatch::Loop l;
    l.edges = {arc(0, 0, 0, 0, 1)};
    EXPECT_EQ(h.appendLoop(l), Zcad::eInvalidInput);
    EXPECT_EQ(h.numLoops(), 0);
    ZcDbMemDxfFiler f;
    f.writeString(100, "AcDbEntity");
    f.writeString(100, "AcDbHatch");
    f.writeInt16(72, 1);  // an edge before any loop
    f.rewind();
    EXPECT_EQ(h.dxfIn(&f), Zcad::eBadDxfSequence);
}

TEST(Hatches, moving_and_turning_keeps_the_area) {
    ZcDbHatch h;
    h.setPattern(ZcDbHatch::kPreDefined, "ANSI31");
    h.appendLoop(ZcDbHatch::kExternal, {{0, 0}, {4, 0}, {4, 3}}, {0, 0.3, 0});
    double before = h.area();
    ASSERT_EQ(h.transformBy(ZcDbXform::rotation(0.6, {0, 0, 1}, {2, 2, 0})), Zcad::eOk);
    EXPECT_NEAR(h.area(), before, 1e-9);
    ASSERT_EQ(h.transformBy(ZcDbXform::scaling(2)), Zcad::eOk);
    EXPECT_NEAR(h.area(), 4 * before, 1e-9);
    EXPECT_NEAR(h.patternAngle(), 0.6, 1e-12);
}

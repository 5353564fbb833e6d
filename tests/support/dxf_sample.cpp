// The sample drawing of the DXF tests.
#include "tests/support/dxf_sample.h"

#include <numbers>

#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

ZCRX_DEFINE_MEMBERS(VelmSampleObject)

Zcad::ErrorStatus VelmSampleObject::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "VelmSample");
    f->writeString(300, label);
    f->writeInt32(90, static_cast<std::int32_t>(values.size()));
    for (double v : values) f->writeDouble(40, v);
    return f->filerStatus();
}

Zcad::ErrorStatus VelmSampleObject::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("VelmSample")) return f->filerStatus();
    ZcDbDxfItem it;
    values.clear();
    while (f->readItem(it) == Zcad::eOk) {
        if (it.code == 300)
            label = it.text;
        else if (it.code == 40)
            values.push_back(it.real[0]);
        else if (it.code != 90) {
            f->pushBackItem();
            break;
        }
    }
    return f->filerStatus() == Zcad::eEndOfFile ? Zcad::eOk : f->filerStatus();
}

Zcad::ErrorStatus VelmSampleObject::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(label);
    f->writeInt32(static_cast<std::int32_t>(values.size()));
    for (double v : values) f->writeDouble(v);
    return f->filerStatus();
}

Zcad::ErrorStatus VelmSampleObject::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readString(&label);
    std::int32_t n = 0;
    f->readInt32(&n);
    values.clear();
    for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
        double v = 0;
        f->readDouble(&v);
        values.push_back(v);
    }
    return f->filerStatus();
}

void registerSampleClass() {
    newZcRxClass("VelmSampleObject", "AcDbObject", 1, 0, 0, &VelmSampleObject::Create, "VELMSAMPLE", "VELM7");
}

namespace {

ZcDbObjectId appendTo(ZcDbObjectId blockId, ZcDbEntity* ent) {
    ZcDbBlockTableRecord* btr = nullptr;
    ZcDbObjectId id;
    if (zcdbOpenObject(btr, blockId, ZcDb::kForWrite) != Zcad::eOk) {
        delete ent;
        return id;
    }
    if (btr->appendZcDbEntity(id, ent) == Zcad::eOk)
        ent->close();
    else
        delete ent;
    btr->close();
    return id;
}

void addRegApp(ZcDbDatabase* db, const char* name) {
    ZcDbRegAppTable* apps = nullptr;
    if (db->getRegAppTable(apps, ZcDb::kForWrite) != Zcad::eOk) return;
    if (!apps->has(name)) {
        auto* rec = new ZcDbRegAppTableRecord;
        rec->setName(name);
        if (apps->add(rec) == Zcad::eOk)
            rec->close();
        else
            delete rec;
    }
    apps->close();
}

ZcDbObjectId addBlock(ZcDbDatabase* db, const std::string& name) {
    ZcDbBlockTable* blocks = nullptr;
    ZcDbObjectId id;
    if (db->getBlockTable(blocks, ZcDb::kForWrite) != Zcad::eOk) return id;
    auto* btr = new ZcDbBlockTableRecord;
    btr->setName(name);
    if (blocks->add(id, btr) == Zcad::eOk)
        btr->close();
    else
        delete btr;
    blocks->close();
    return id;
}

void setXData(ZcDbObjectId id) {
    // Every xdata group: text, control brackets, layer, bytes, handle,
    // points of each kind, reals, distance, scale, integers.
    ads_point p1 = {1, 2, 3}, p2 = {4, 5, 6}, p3 = {0.5, 0, 0}, p4 = {0, 0, 1};
    resbuf* rb = zcutBuildList(1001, "VELM7", 1000, "ściana nośna", 1002, "{", 1003, "0", 1004, "0A1B", 1005,
                               "0", 1010, p1, 1011, p2, 1012, p3, 1013, p4, 1040, 2.5, 1041, 10.0, 1042, 0.75,
                               1070, 7, 1071, 123456, 1002, "}", 0);
    ZcDbObject* obj = nullptr;
    if (rb && zcdbOpenObject(obj, id, ZcDb::kForWrite) == Zcad::eOk) {
        obj->setXData(rb);
        obj->close();
    }
    zcutRelRb(rb);
}

}  // namespace

void buildSampleDrawing(ZcDbDatabase* db) {
    registerSampleClass();
    addRegApp(db, "VELM7");
    // A layer with its properties.
    ZcDbLayerTable* layers = nullptr;
    if (db->getLayerTable(layers, ZcDb::kForWrite) == Zcad::eOk) {
        auto* walls = new ZcDbLayerTableRecord;
        walls->setName("MURI");
        walls->setColorIndex(3);
        walls->setIsLocked(true);
        walls->setLineWeight(35);
        if (layers->add(walls) == Zcad::eOk)
            walls->close();
        else
            delete walls;
        layers->close();
    }

    ZcDbObjectId ms = db->modelSpaceId();
    ZcDbObjectId line = appendTo(ms, new ZcDbLine({0, 0, 0}, {10, 5, 0}));
    setXData(line);
    appendTo(ms, new ZcDbCircle({5, 5, 0}, {0, 0, 1}, 2.5));
    appendTo(ms, new ZcDbArc({5, 5, 0}, 4, 0.25, 2.5));
    appendTo(ms, new ZcDbPoint({1, 1, 0}));
    appendTo(ms, new ZcDbFace({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}));
    appendTo(ms, new ZcDbSolid({0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {2, 2, 0}));
    appendTo(ms, new ZcDbText({3, 3, 0}, "Żółć", 2.5, 0.5));
    auto* mtext = new ZcDbMText;
    mtext->setLocation({8, 8, 0});
    mtext->setContents("Pokój 1\\PSalon");
    mtext->setTextHeight(3);
    appendTo(ms, mtext);
    auto* lw = new ZcDbPolyline;
    lw->addVertexAt(0, {0, 0});
    lw->addVertexAt(1, {10, 0}, 0.5);
    lw->addVertexAt(2, {10, 10});
    lw->setClosed(true);
    ZcDbObjectId lwId = appendTo(ms, lw);
    setXData(lwId);

    auto* pl = new ZcDb2dPolyline;
    ZcDbObjectId plId = appendTo(ms, pl);
    ZcDb2dPolyline* open = nullptr;
    if (zcdbOpenObject(open, plId, ZcDb::kForWrite) == Zcad::eOk) {
        open->appendVertex(new ZcDbVertex({0, 0, 0}));
        open->appendVertex(new ZcDbVertex({5, 0, 0}, 0.3));
        open->appendVertex(new ZcDbVertex({5, 5, 0}));
        open->close();
    }

    // A block with an attribute definition, inserted with its attribute.
    ZcDbObjectId door = addBlock(db, "DRZWI");
    appendTo(door, new ZcDbLine({0, 0, 0}, {0.9, 0, 0}));
    appendTo(door, new ZcDbArc({0, 0, 0}, 0.9, 0, std::numbers::pi / 2));
    auto* def = new ZcDbAttributeDefinition;
    def->setTag("NUMER");
    def->setPrompt("Numer drzwi");
    def->setTextString("D1");
    appendTo(door, def);
    auto* ins = new ZcDbBlockReference({20, 0, 0}, door);
    ins->setRotation(0.5);
    ins->setScaleFactors({2, 2, 1});
    ZcDbObjectId insId = appendTo(ms, ins);
    ZcDbBlockReference* openIns = nullptr;
    if (zcdbOpenObject(openIns, insId, ZcDb::kForWrite) == Zcad::eOk) {
        auto* att = new ZcDbAttribute;
        att->setTag("NUMER");
        att->setTextString("D7");
        att->setPosition({20, 0, 0});
        openIns->appendAttribute(att);
        att->close();
        openIns->close();
    }

    // A dimension drawing its anonymous block.
    ZcDbObjectId dimBlock = addBlock(db, "*D");
    appendTo(dimBlock, new ZcDbLine({0, -5, 0}, {10, -5, 0}));
    auto* dim = new ZcDbAlignedDimension({0, 0, 0}, {10, 0, 0}, {5, -5, 0});
    dim->setDimBlockId(dimBlock);
    appendTo(ms, dim);

    // A hatch with a polyline loop and an edge loop.
    auto* hatch = new ZcDbHatch;
    hatch->setPattern(ZcDbHatch::kPreDefined, "ANSI31");
    hatch->setPatternScale(2);
    ZcDbHatch::Loop outer;
    outer.type = ZcDbHatch::kExternal | ZcDbHatch::kPolyline;
    outer.vertices = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    outer.bulges = {0, 0, 0, 0};
    hatch->appendLoop(outer);
    ZcDbHatch::Loop inner;
    inner.type = ZcDbHatch::kDefault;
    ZcDbHatch::Edge e;
    e.type = 2;
    e.center = {2, 2};
    e.radius = 1;
    e.startAngle = 0;
    e.endAngle = 2 * std::numbers::pi;
    inner.edges.push_back(e);
    hatch->appendLoop(inner);
    appendTo(ms, hatch);

    // Paper space: a viewport and a note.
    ZcDbObjectId ps = db->paperSpaceId();
    auto* vp = new ZcDbViewport;
    vp->setCenterPoint({100, 100, 0});
    vp->setWidth(200);
    vp->setHeight(150);
    appendTo(ps, vp);
    appendTo(ps, new ZcDbText({10, 10, 0}, "Rzut parteru"));

    // A custom object in a nested dictionary.
    ZcDbDictionary* nod = nullptr;
    if (db->getNamedObjectsDictionary(nod, ZcDb::kForWrite) == Zcad::eOk) {
        auto* velm = new ZcDbDictionary;
        ZcDbObjectId velmId;
        if (nod->setAt("VELM_DATI", velm, velmId) == Zcad::eOk) {
            auto* inner = new ZcDbDictionary;
            if (velm->setAt("PIANI", inner) == Zcad::eOk) {
                auto* obj = static_cast<VelmSampleObject*>(VelmSampleObject::Create());
                obj->label = "Parter";
                obj->values = {0, 2.8, 0.3};
                if (inner->setAt("P0", obj) == Zcad::eOk)
                    obj->close();
                else
                    delete obj;
                inner->close();
            } else {
                delete inner;
            }
            velm->close();
        } else {
            delete velm;
        }
        nod->close();
    }
}

void addManyEntities(ZcDbDatabase* db, int count) {
    ZcDbBlockTableRecord* ms = nullptr;
    if (zcdbOpenObject(ms, db->modelSpaceId(), ZcDb::kForWrite) != Zcad::eOk) return;
    for (int i = 0; i < count; ++i) {
        ZcDbEntity* ent = (i % 2) ? static_cast<ZcDbEntity*>(new ZcDbCircle({i * 1.0, 0, 0}, {0, 0, 1}, 1.5))
                                  : static_cast<ZcDbEntity*>(new ZcDbLine({i * 1.0, 0, 0}, {i + 0.5, 3, 0}));
        if (ms->appendZcDbEntity(ent) == Zcad::eOk)
            ent->close();
        else
            delete ent;
    }
    ms->close();
}

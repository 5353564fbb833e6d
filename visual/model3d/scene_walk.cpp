// The drawing walk of the scene exporters: see scene_walk.h.
#include "visual/model3d/scene_walk.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbblockwalk.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/util/nocase.h"

namespace scene {

const resbuf* FindApp(const resbuf* list, const char* app) {
    while (list &&
           !(list->restype == 1001 && list->resval.rstring && zcutEqualsNoCase(list->resval.rstring, app)))
        list = list->rbnext;
    return list;
}

const resbuf* ObjectNameGroup(const resbuf* list) {
    const resbuf* app = FindApp(list, kParamApp);
    for (const resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext)
        if (rb->restype == 1000) return rb;
    return nullptr;
}

const resbuf* FindGroup(const resbuf* list, int code) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == code) return rb;
    return nullptr;
}

ZcGePoint3d InsertionPoint(const resbuf* list) {
    const resbuf* rb = FindGroup(list, 10);
    return rb ? ZcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]) : ZcGePoint3d();
}

double InsertionRotation(const resbuf* list) {
    const resbuf* rb = FindGroup(list, 50);
    return rb ? rb->resval.rreal : 0.0;
}

void ForEachPlacedLight(const std::function<bool(const ads_name light)>& visit) {
    host::ResbufList filter(zcutBuildList(-4, "<and", -3, 1001, kParamApp, 0));
    // The list above holds the -3 group with its application; the type and
    // the closing operator follow.
    resbuf* tail = filter.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = zcutBuildList(RTDXF0, "INSERT", -4, "and>", 0);
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
    std::int32_t count = 0;
    zcedSSLength(set, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name light;
        if (zcedSSName(set, i, light) != RTNORM) continue;
        if (GetParamObjectType(light) != kLightObjectType) continue;
        if (!visit(light)) break;
    }
    zcedSSFree(set);
}

bool RefuseOversizedScene() {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return false;
    std::uint64_t entities = 0;
    for (const ZcDbObjectId& space : {db->modelSpaceId(), db->paperSpaceId()}) {
        const ZcDbBlockExpansion x = zcdbBlockExpansion(space);
        if (!x.cycleBlock.empty()) {
            zcutPrintf("\nBlok \"%s\" zawiera sam siebie: polecenie przerwano.", x.cycleBlock.c_str());
            host::noteFailed();
            return true;
        }
        if (x.depth >= ZcDbBlockPath::kMaxDepth) {
            zcutPrintf("\nBloki są zagnieżdżone na %zu poziomów, więcej niż %zu: polecenie przerwano.",
                       x.depth, ZcDbBlockPath::kMaxDepth - 1);
            host::noteFailed();
            return true;
        }
        entities = entities > ZcDbBlockExpansion::kSaturated - x.entities ? ZcDbBlockExpansion::kSaturated
                                                                          : entities + x.entities;
    }
    if (entities <= kMaxSceneEntities) return false;
    const std::string count = entities == ZcDbBlockExpansion::kSaturated ? "ponad " + std::to_string(entities)
                                                                         : std::to_string(entities);
    zcutPrintf("\nRysunek z rozwiniętymi blokami ma %s obiektów, więcej niż %llu: polecenie przerwano.",
               count.c_str(), static_cast<unsigned long long>(kMaxSceneEntities));
    host::noteFailed();
    return true;
}

std::uint64_t SceneFaces(const ZcDbObjectId& blockId) {
    ZcDbExpansionFilter faces;
    faces.counted = [](const ZcDbEntity& entity) { return ZcDbFace::cast(&entity) != nullptr; };
    faces.throughDimensions = false;
    return zcdbBlockExpansion(blockId, faces).entities;
}

std::vector<ZcDbObjectId> BlockEntities(const ZcDbObjectId& blockId) {
    std::vector<ZcDbObjectId> ids;
    ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
    if (!block) return ids;
    ZcDbBlockTableRecordIterator* it = nullptr;
    if (block->newIterator(it) != Zcad::eOk || !it) return ids;
    for (it->start(); !it->done(); it->step()) {
        ZcDbObjectId id;
        if (it->getEntityId(id) == Zcad::eOk) ids.push_back(id);
    }
    delete it;
    return ids;
}

ZcDbXform Product(const ZcDbXform& left, const ZcDbXform& right) {
    ZcDbXform out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += left.m[i][k] * right.m[k][j];
            out.m[i][j] = sum;
        }
    return out;
}

ZcGePoint3d Polar(const ZcGePoint3d& base, double angle, double distance) {
    const Point3 p = PolarPoint(ToPoint3(base), angle, distance);
    return {p.x, p.y, p.z};
}

Point3 ToPoint3(const ZcGePoint3d& p) {
    return {p.x, p.y, p.z};
}

ZcGePoint3d ReadPointVar(const char* name) {
    ads_point p = {0.0, 0.0, 0.0};
    SysVarPoint(name, nullptr, p);
    return {p[0], p[1], p[2]};
}

int LightKind(const ads_name light) {
    host::ResbufList list(GetEntXData(light, kParaSpecApp));
    const resbuf* rb = FindApp(list.get(), kParaSpecApp);
    for (rb = rb ? rb->rbnext : nullptr; rb && rb->restype == 1070;
         rb = rb->rbnext ? rb->rbnext->rbnext : nullptr) {
        if (rb->resval.rint != 34) continue;
        const resbuf* value = rb->rbnext;
        if (value && (value->restype == 1040 || value->restype == RTREAL))
            return static_cast<int>(std::trunc(value->resval.rreal));
        return kNoLight;
    }
    return kNoLight;
}

}  // namespace scene

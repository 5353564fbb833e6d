// The slab tests' drawing: the module's settings, the host's commands, the
// repository's support files, and helpers that write a slab INSERT the way
// the slab commands do and read back what its block holds.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbents.h"
#include "host/db/dbmain.h"
#include "host/ed/hostcmd_util.h"
#include "host/util/findfile.h"
#include "roofs/slab_block.h"
#include "roofs/slab_record.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"

struct LoopPoint {
    double x, y, z;
    int flag = 1;
};

inline ContourNode* SlabLoops(std::initializer_list<std::vector<LoopPoint>> loops) {
    ContourNode* head = nullptr;
    ContourNode** tail = &head;
    int index = 0;
    for (const auto& pts : loops) {
        auto* k = new ContourNode;
        VertexNode** vt = &k->vertices;
        for (const LoopPoint& p : pts) {
            *vt = NewVertex(p.x, p.y, p.z, p.flag, index, 0, 0);
            vt = &(*vt)->next;
        }
        *tail = k;
        tail = &k->next;
        ++index;
    }
    return head;
}

inline std::vector<LoopPoint> Rect(double x0, double y0, double x1, double y1, double z, int flag = 1) {
    return {{x0, y0, z, flag}, {x1, y0, z, flag}, {x1, y1, z, flag}, {x0, y1, z, flag}};
}

// One entity of a block, as its entity-data list gives it.
struct BlockEntity {
    std::string type, layer;
    Point3 p[4];
    int flags = 0;
};

class SlabTest : public VelmTest {
protected:
    void SetUp() override {
        RegisterSettingsModule();
        VelmTest::SetUp();
        host::installHostCommands();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
    }
    void TearDown() override {
        VelmTest::TearDown();
        UnregisterSettingsModule();
    }

    // Writes the slab block of the record and its INSERT on `layer` (the
    // record's name when empty); false when the block was not made.
    static bool WriteSlab(CFALDA& record, ads_name insert, const std::string& layer = "", double base = 0.0) {
        MakeSlabLayerName(record);
        std::string block;
        resbuf* xdata = MakeSlabBlock(record, block, BridgeHoles(record.loops), base);
        if (!xdata) return false;
        const ads_point at{0, 0, base};
        const std::string on = layer.empty() ? record.name : layer;
        resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, block.c_str(), 8, on.c_str(), 10, at, 50, 0.0, 0);
        resbuf* tail = ins;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = xdata;
        const int rc = zcdbEntMake(ins);
        zcutRelRb(ins);
        return rc == RTNORM && zcdbEntLast(insert) == RTNORM;
    }

    static std::vector<BlockEntity> BlockOf(const ads_name insert) {
        std::vector<BlockEntity> out;
        resbuf* list = zcdbEntGet(insert);
        const resbuf* name = list;
        while (name && name->restype != 2) name = name->rbnext;
        ZcDbObjectId id = name ? db()->recordId(db()->blockTableId(), name->resval.rstring) : ZcDbObjectId();
        zcutRelRb(list);
        ZcDbBlockTableRecord* block = nullptr;
        if (id.isNull() || zcdbOpenObject(block, id, ZcDb::kForRead) != Zcad::eOk) return out;
        for (ZcDbObjectId e : block->entityIds()) {
            ads_name en;
            if (zcdbGetAdsName(en, e) != Zcad::eOk) continue;
            resbuf* data = zcdbEntGet(en);
            BlockEntity be;
            for (const resbuf* rb = data; rb; rb = rb->rbnext) {
                if (rb->restype == 0) be.type = rb->resval.rstring;
                if (rb->restype == 8) be.layer = rb->resval.rstring;
                if (rb->restype == 70) be.flags = rb->resval.rint;
                if (rb->restype >= 10 && rb->restype <= 13) {
                    const double* p = rb->resval.rpoint;
                    be.p[rb->restype - 10] = {p[0], p[1], p[2]};
                }
            }
            zcutRelRb(data);
            out.push_back(be);
        }
        block->close();
        return out;
    }

    static double TriangleArea(const BlockEntity& f) {
        return std::fabs((f.p[1].x - f.p[0].x) * (f.p[2].y - f.p[0].y) -
                         (f.p[1].y - f.p[0].y) * (f.p[2].x - f.p[0].x)) /
               2.0;
    }
    static int CountOn(const std::vector<BlockEntity>& es, const std::string& type,
                       const std::string& layer) {
        int n = 0;
        for (const BlockEntity& e : es) n += e.type == type && e.layer == layer ? 1 : 0;
        return n;
    }
    static double AreaOn(const std::vector<BlockEntity>& es, const std::string& layer) {
        double a = 0.0;
        for (const BlockEntity& e : es)
            if (e.type == "3DFACE" && e.layer == layer) a += TriangleArea(e);
        return a;
    }
};

// A definition whose DRAW section is the test's text, run into a block of
// the current drawing, and the block's entities read back as DXF groups.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_args.h"
#include "store/setup_slots.h"
#include "tests/objects/language/lang_fixture.h"

struct RbFree {
    void operator()(resbuf* rb) const { zcutRelRb(rb); }
};
using Groups = std::unique_ptr<resbuf, RbFree>;

class DrawSection : public ObjLanguage {
protected:
    void SetUp() override {
        ObjLanguage::SetUp();
        catalogue.ParseLayerDefLines(
            {"**Znaczniki,", "VELM_FIXEDP_X,VELM_FIXEDP_X,6,Punkty stałe,Continuous,-3"});
        // No fixed-point marker unless a test asks for it.
        setInt(SetupVar::SET_PFISSOATTIVO, 0);
    }

    // The definition "T" holding `body` after "DRAW" and the object's layer
    // line, loaded with the cursor after "DRAW".
    ObjContext& section(const std::string& body, const std::string& name = "T") {
        write(name + ".txt", "VAR\nEND\nDRAW\nOBIEKT\n" + body);
        ObjContext& c = load(name);
        EXPECT_TRUE(FindSection("DRAW", *c.text, true));
        return c;
    }
    int run(ObjContext& c) { return RunDrawBlock(c, catalogue); }

    static std::vector<Groups> blockEntities(const std::string& name) {
        std::vector<Groups> out;
        ZcDbObjectId id = db()->recordId(db()->blockTableId(), name);
        ZcDbBlockTableRecord* block = nullptr;
        if (id.isNull() || zcdbOpenObject(block, id, ZcDb::kForRead) != Zcad::eOk) return out;
        const std::vector<ZcDbObjectId> ids = block->entityIds();
        block->close();
        for (ZcDbObjectId e : ids) {
            ads_name n;
            if (zcdbGetAdsName(n, e) == Zcad::eOk) out.emplace_back(zcdbEntGet(n));
        }
        return out;
    }
    static std::string kind(const Groups& g) { return FindRbCode(g.get(), 0)->resval.rstring; }
    static std::string text(const Groups& g, int code) {
        const resbuf* r = FindRbCode(g.get(), code);
        return r && r->resval.rstring ? r->resval.rstring : "";
    }
    static int integer(const Groups& g, int code) {
        const resbuf* r = FindRbCode(g.get(), code);
        return r ? r->resval.rint : -99999;
    }
    static double real(const Groups& g, int code) {
        const resbuf* r = FindRbCode(g.get(), code);
        return r ? r->resval.rreal : -99999.0;
    }
    static Point3 point(const Groups& g, int code) {
        const resbuf* r = FindRbCode(g.get(), code);
        return r ? Point3{r->resval.rpoint[0], r->resval.rpoint[1], r->resval.rpoint[2]}
                 : Point3{-1e9, -1e9, -1e9};
    }
    static std::vector<const Groups*> ofKind(const std::vector<Groups>& all, const std::string& k) {
        std::vector<const Groups*> out;
        for (const Groups& g : all)
            if (kind(g) == k) out.push_back(&g);
        return out;
    }
    static void setReal(int slot, double value) { SetVarReal(&slot, &value); }

    AAR_LAYERC catalogue;
};

#define EXPECT_POINT(p, X, Y, Z)      \
    do {                              \
        const Point3 q_ = (p);        \
        EXPECT_NEAR(q_.x, (X), 1e-9); \
        EXPECT_NEAR(q_.y, (Y), 1e-9); \
        EXPECT_NEAR(q_.z, (Z), 1e-9); \
    } while (0)

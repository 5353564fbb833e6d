#include "objects/walledit/wall_edit_openings.h"

#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_records.h"
#include "objects/placement/insert_run.h"
#include "objects/placement/modify_regen.h"
#include "objects/placement/wall_cuts.h"
#include "objects/placement/wall_edit_util.h"
#include "walls/graph/outline_record.h"

namespace {

constexpr int kWallEditRunMode = 7;

class ContextMover : public WallOpeningMover {
public:
    ContextMover(std::unique_ptr<ObjContext> context, const ads_name object)
        : m_context(std::move(context)), m_object{object[0], object[1]} {
        const host::ResbufList list(zcdbEntGet(object));
        const resbuf* layer = FindRbCode(list.get(), 8);
        if (layer && layer->resval.rstring) m_layer = layer->resval.rstring;
    }
    ~ContextMover() override {
        if (m_context) FreeObjContext(std::move(m_context));
    }

    Point3 ReferencePoint() const override {
        return {m_context->insertionPoint[0], m_context->insertionPoint[1], m_context->insertionPoint[2]};
    }

    bool TakeOut() override {
        ads_name a = {0, 0}, b = {0, 0};
        RejoinStraightWallLines(m_object, a, b);
        return !ads_name_nil(a) && !ads_name_nil(b);
    }

    bool PlaceAgain(const Point3& at) override {
        ObjContext& c = *m_context;
        for (int i = 0; i < 3; ++i) c.insertionPoint[i] = i == 0 ? at.x : i == 1 ? at.y : at.z;
        c.host.pickPoint = at;
        c.positionFixed = 0;
        AAR_LAYERC layers;
        layers.ReadLayerDefFile("LAYERC.DEF");
        ads_name last = {0, 0};
        zcdbEntLast(last);
        if (PlaceParamObject(c, layers, &at) < 0) return false;
        KeepLayer(last);
        return true;
    }

private:
    // The placement draws the object on its definition's layer, which need
    // not be the one the object was on (another floor's, or one the user
    // moved it to): the object placed again goes back to its own.
    void KeepLayer(const ads_name last) const {
        if (m_layer.empty()) return;
        ads_name e = {0, 0}, previous = {last[0], last[1]};
        for (int rc = zcdbEntNext(ads_name_nil(previous) ? nullptr : previous, e); rc == RTNORM;
             rc = zcdbEntNext(previous, e)) {
            previous[0] = e[0];
            previous[1] = e[1];
            host::ResbufList list(GetEntXData(e, kParamRecordApp));
            const resbuf* type = FindRbCode(list.get(), 0);
            if (!type || !type->resval.rstring || std::string(type->resval.rstring) != "INSERT" ||
                !FindXDataApp(list.get(), kParamRecordApp))
                continue;
            const resbuf* layer = FindRbCode(list.get(), 8);
            if (layer && layer->resval.rstring && m_layer == layer->resval.rstring) return;
            ReplaceRb(list.get(), 8, m_layer.c_str());
            zcdbEntMod(list.get());
            return;
        }
    }

    std::unique_ptr<ObjContext> m_context;
    ads_name m_object;
    std::string m_layer;
};

}  // namespace

std::unique_ptr<WallOpeningMover> PrepareWallOpening(const OutlineNode& outline, double level) {
    if (outline.kind != 11) return nullptr;
    host::ResbufList list(GetEntXData(outline.entity, kParamRecordApp));
    const resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
    const resbuf* name = app ? app->rbnext : nullptr;
    const resbuf* set = name ? name->rbnext : nullptr;
    const resbuf* type = set ? set->rbnext : nullptr;
    if (!name || name->restype != 1000 || !name->resval.rstring || !type || type->restype != 1070 ||
        type->resval.rint != static_cast<int>(InsertionType::StraightWallOpening))
        return nullptr;
    std::unique_ptr<ObjContext> context = NewObjContext(name->resval.rstring);
    ObjContext& c = *context;
    c.insertionType = c.workingType = InsertionType::StraightWallOpening;
    c.runMode = kWallEditRunMode;
    c.skipParamInput = 1;
    InitObjVariables(c);
    ObjParamRecord record;
    record.insertionType = InsertionType::StraightWallOpening;
    const bool prepared = LoadObjFile(c, c.objectName) > 0 && ReadVarSection(false, c) == 0 &&
                          ReadTypoSection(c) != -1 &&
                          LoadObjectParametriXData(c, outline.entity, record, true) == 1;
    if (!prepared) {
        FreeObjContext(std::move(context));
        return nullptr;
    }
    c.repeat = 0;
    // The wall lines to join across the gap, as the opening's own record
    // gives it: on each face, a line ending at the gap (the wall is cut
    // there) or one running through it.
    const OwnedOutline own{ReadTag3DiStr(outline.entity)};
    bool faceA = false, faceB = false;
    if (own) {
        const wallcut::WallSelection walls("LINE", level, false);
        for (std::int32_t i = 0; i < walls.size(); ++i) {
            ads_name e;
            Point3 s, t;
            if (!walls.name(i, e) || !GetLineData(e, s, t)) continue;
            const auto meets = [&](const Point3 gap[2]) {
                for (int k = 0; k < 2; ++k)
                    if (PointsEqual(s, gap[k], false) || PointsEqual(t, gap[k], false) ||
                        IsPointStrictlyInside(gap[k], s, t))
                        return true;
                return false;
            };
            faceA = faceA || meets(own->gapA);
            faceB = faceB || meets(own->gapB);
        }
    }
    if (!faceA || !faceB) {
        FreeObjContext(std::move(context));
        return nullptr;
    }
    return std::make_unique<ContextMover>(std::move(context), outline.entity);
}

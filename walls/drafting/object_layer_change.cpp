// Changing a layer inside inserted objects (see the header).
#include "walls/drafting/object_layer_change.h"

#include <utility>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "settings/rescale.h"

namespace {

constexpr const char* kParamApp = "VELM5$_$PARAMETRI-";

host::ResbufList ReadWithXData(const ads_name e) {
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(e, apps.get()));
}

std::string LayerOf(const ads_name e) {
    host::ResbufList list(zcdbEntGet(e));
    const resbuf* rb = FindRbCode(list.get(), 8);
    return rb && rb->resval.rstring ? rb->resval.rstring : "0";
}

bool IsString(const resbuf* rb, int code) {
    return rb && rb->restype == code && rb->resval.rstring;
}

resbuf* NewString(int code, const std::string& text) {
    return zcutBuildList(code, text.c_str(), 0);
}

// The record's pairs rewritten for the change.
std::vector<std::pair<std::string, std::string>> ChangedPairs(
    std::vector<std::pair<std::string, std::string>> pairs, const std::string& oldLayer,
    const std::string& newLayer) {
    for (auto it = pairs.begin(); it != pairs.end(); ++it) {
        if (!zcutEqualsNoCase(it->second, oldLayer)) continue;
        if (zcutEqualsNoCase(it->first, newLayer))
            pairs.erase(it);
        else
            it->second = newLayer;
        return pairs;
    }
    pairs.insert(pairs.begin(), {oldLayer, newLayer});
    return pairs;
}

void ChangeLayerOfEntity(ZcDbObjectId id, const std::string& oldLayer, const std::string& newLayer,
                         int depth) {
    ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForWrite);
    if (!entity) return;
    if (auto* ref = ZcDbBlockReference::cast(entity.get())) {
        if (depth > 0) return;
        std::vector<ZcDbObjectId> ids;
        {
            ZcDbObjectPointer<ZcDbBlockTableRecord> block(ref->blockTableRecord(), ZcDb::kForRead);
            if (!block) return;
            ids = block->entityIds();
        }
        for (ZcDbObjectId inner : ids) ChangeLayerOfEntity(inner, oldLayer, newLayer, depth + 1);
        return;
    }
    if (zcutEqualsNoCase(entity->layer(), oldLayer)) entity->setLayer(newLayer, true);
}

}  // namespace

void SetLayerChange(const ads_name entity, const std::string& oldLayer, const std::string& newLayer) {
    host::ResbufList list = ReadWithXData(entity);
    if (!list) return;
    resbuf* tail = list.get();
    resbuf* xdata = nullptr;
    for (resbuf* rb = list.get(); rb; rb = rb->rbnext) {
        if (rb->restype == -3) xdata = rb;
        tail = rb;
    }
    resbuf* app = nullptr;
    for (resbuf* rb = xdata; rb; rb = rb->rbnext)
        if (rb->restype == 1001 && IsString(rb, 1001) &&
            zcutEqualsNoCase(rb->resval.rstring, kLayerChangeApp))
            app = rb;
    if (!app) {
        resbuf* added = xdata ? nullptr : zcutBuildList(-3, 0);
        resbuf* record =
            zcutBuildList(1001, kLayerChangeApp, 1000, oldLayer.c_str(), 1000, newLayer.c_str(), 0);
        if (added) {
            added->rbnext = record;
            tail->rbnext = added;
        } else {
            tail->rbnext = record;
        }
        zcdbEntMod(list.get());
        return;
    }
    // The pairs up to the first group that is not one; what follows is kept.
    std::vector<std::pair<std::string, std::string>> pairs;
    resbuf* rest = app->rbnext;
    while (rest && rest->restype == 1000 && rest->rbnext && rest->rbnext->restype == 1000) {
        pairs.emplace_back(rest->resval.rstring ? rest->resval.rstring : "",
                           rest->rbnext->resval.rstring ? rest->rbnext->resval.rstring : "");
        rest = rest->rbnext->rbnext;
    }
    pairs = ChangedPairs(std::move(pairs), oldLayer, newLayer);
    // Cut the old pairs out and link the new ones in their place.
    resbuf* old = app->rbnext;
    resbuf* last = app;
    for (const auto& [from, to] : pairs) {
        last->rbnext = NewString(1000, from);
        last->rbnext->rbnext = NewString(1000, to);
        last = last->rbnext->rbnext;
    }
    last->rbnext = rest;
    for (resbuf* rb = old; rb != rest;) {
        resbuf* next = rb->rbnext;
        rb->rbnext = nullptr;
        zcutRelRb(rb);
        rb = next;
    }
    zcdbEntMod(list.get());
}

void ChangeLayerInBlock(const ads_name entity, const std::string& oldLayer, const std::string& newLayer) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, entity) != Zcad::eOk) return;
    ZcDbObjectId blockId;
    {
        ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
        if (!ref) return;
        blockId = ref->blockTableRecord();
    }
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = newLayer;
    EnsureLayer(layer, table, false, 0.0, false);
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
        if (!block) return;
        ids = block->entityIds();
    }
    for (ZcDbObjectId inner : ids) ChangeLayerOfEntity(inner, oldLayer, layer, 0);
    // Opened for write so that the insert is drawn again.
    ZcDbObjectPointer<ZcDbBlockReference> redraw(id, ZcDb::kForWrite);
}

void CmdObjectChangeLayer() {
    ads_name picked, insert;
    std::string oldLayer;
    for (;;) {
        ads_point pt;
        ads_matrix xform;
        resbuf* refs = nullptr;
        if (zcedNEntSelP("\nZaznacz obiekt na warstwie, której chcesz zmienić nazwę:", picked, pt, 0, xform,
                         &refs) != RTNORM)
            return;
        const host::ResbufList stack(refs);
        if (!refs) {
            zcutPrintf("%s", "\nWybrany obiekt nie jest blokiem do wstawienia");
            continue;
        }
        // The reference holding the part, or the next one out when the part
        // lies deeper.
        const resbuf* holder = refs->rbnext ? refs->rbnext : refs;
        insert[0] = holder->resval.rlname[0];
        insert[1] = holder->resval.rlname[1];
        oldLayer = LayerOf(picked);
        break;
    }
    HighlightEntity(insert, 0);
    std::string newLayer;
    for (;;) {
        char typed[512] = "";
        const std::string prompt = "\nBieżąca warstwa jest <" + oldLayer + ">. Określ nową nazwę warstwy:";
        if (zcedGetString(0, prompt.c_str(), typed) != RTNORM) {
            HighlightEntity(insert, 1);
            return;
        }
        if (zcdbSNValid(typed, 0) == RTNORM && typed[0] != '\0') {
            newLayer = typed;
            break;
        }
        zcutPrintf("%s", "\nNieprawidłowa nazwa warstwy");
    }
    const char* prompts[2] = {"Zaznacz wszystkie inne obiekty, które chcesz zastąpić nazwą warstwy:",
                              "Usuń obiekt z wybranego zbioru:"};
    host::SelectionSet set;
    zcedSSGet(":$", prompts, nullptr, nullptr, set.put());
    set.add(insert);
    HighlightEntity(insert, 1);
    RegisterXDataApp(kLayerChangeApp);
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    ads_name e;
    for (std::int32_t i = 0; set.name(i, e); ++i) {
        if (zcedUsrBrk()) break;
        host::ResbufList marked(GetEntXData(e, kParamApp));
        if (marked) {
            SetLayerChange(e, oldLayer, newLayer);
            RegenerateParamObject(e, table, nullptr, nullptr);
        } else {
            ChangeLayerInBlock(e, oldLayer, newLayer);
        }
    }
}

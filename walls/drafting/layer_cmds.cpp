// The layer commands (see the header).
//
// The layers "VELMLAYERISO" keeps are marked by colour 9 while the user
// picks; their own colours come back whether the command ends with Enter
// or is cancelled.
#include "walls/drafting/layer_cmds.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"

namespace {

constexpr int kMarkColour = 9;

std::string LayerOf(const ads_name e) {
    host::ResbufList list(zcdbEntGet(e));
    const resbuf* rb = FindRbCode(list.get(), 8);
    return rb && rb->resval.rstring ? rb->resval.rstring : "0";
}

// A nested pick: the host's status, with the picked object's layer.
int PickLayer(const char* prompt, std::string& layer) {
    ads_name e;
    ads_point pt;
    ads_matrix xform;
    resbuf* refs = nullptr;
    const int rc = zcedNEntSelP(prompt, e, pt, 0, xform, &refs);
    zcutRelRb(refs);
    if (rc == RTNORM) layer = LayerOf(e);
    return rc;
}

std::string CurrentLayer() {
    std::string layer;
    SysVarString("CLAYER", "", layer);
    return layer;
}

ZcDbObjectPointer<ZcDbLayerTableRecord> OpenLayerForWrite(const std::string& name) {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return {};
    const ZcDbObjectId id = db->recordId(db->layerTableId(), name);
    if (id.isNull()) return {};
    return ZcDbObjectPointer<ZcDbLayerTableRecord>(id, ZcDb::kForWrite);
}

struct KeptLayer {
    int colour;
    std::string name;
};

void RestoreColours(const std::vector<KeptLayer>& kept) {
    for (const KeptLayer& k : kept) SetLayerColorAndRegen(k.name, k.colour);
}

}  // namespace

void CmdLayerIsolate() {
    std::vector<KeptLayer> kept;
    for (;;) {
        std::string layer;
        const int rc =
            PickLayer("\nWybierz obiekty na warstwie, aby pozostawić widoczną, Enter, aby zamknąć:", layer);
        if (rc == RTNORM) {
            const bool listed = std::any_of(kept.begin(), kept.end(), [&](const KeptLayer& k) {
                return zcutEqualsNoCase(k.name, layer);
            });
            if (!listed) kept.push_back({SetLayerColorAndRegen(layer, kMarkColour), layer});
            continue;
        }
        if (rc == RTERROR && PickHitNothing()) continue;
        RestoreColours(kept);
        if (rc == RTCAN) return;
        break;
    }
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return;
    std::vector<std::string> others;
    for (const resbuf* rb = nullptr;;) {
        host::ResbufList record(zcdbTblNext("LAYER", rb == nullptr));
        rb = record.get();
        if (!rb) break;
        const resbuf* name = FindRbCode(rb, 2);
        if (!name || !name->resval.rstring) continue;
        const std::string n = name->resval.rstring;
        if (std::none_of(kept.begin(), kept.end(),
                         [&](const KeptLayer& k) { return zcutEqualsNoCase(k.name, n); }))
            others.push_back(n);
    }
    for (const std::string& n : others) SetLayerState(n, false, 0);
}

void CmdLayerEmpty() {
    char typed[512] = "";
    if (zcedGetString(0, "\nOkreśl nazwę warstwy w celu opróżnienia lub Enter, aby wybrać:", typed) != RTNORM)
        return;
    std::string layer = typed;
    if (layer.empty()) {
        ads_name e;
        ads_point pt;
        if (zcedEntSel("\nWybierz obiekt, z którego można skopiować nazwę warstwy:", e, pt) != RTNORM) return;
        layer = LayerOf(e);
    }
    bool relock = false;
    if (ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayerForWrite(layer); rec && rec->isLocked()) {
        rec->setIsLocked(false);
        relock = true;
    }
    {
        const host::ResbufList filter(zcutBuildList(8, layer.c_str(), 0));
        host::SelectionSet set;
        if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) == RTNORM) {
            ads_name e;
            for (std::int32_t i = 0; set.name(i, e); ++i) zcdbEntDel(e);
        }
    }
    if (relock)
        if (ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayerForWrite(layer)) rec->setIsLocked(true);
}

void CmdLayerOff() {
    std::string layer;
    if (PickLayer("\nWybierz obiekt na warstwie, aby ją wyłączyć:", layer) != RTNORM) return;
    if (layer == CurrentLayer()) {
        zcutPrintf("%s", "\nBłąd: Próba wyłączenia bieżącej warstwy");
        return;
    }
    SetLayerState(layer, false, 0);
}

void CmdLayerFreeze() {
    std::string layer;
    if (PickLayer("\nWybierz obiekt na warstwie, aby ją zamrozić:", layer) != RTNORM) return;
    if (layer == CurrentLayer()) {
        zcutPrintf("%s", "\nBłąd: Próba zamrożenia bieżącej warstwy");
        return;
    }
    if (SysVarShort("TILEMODE", nullptr) == 1) {
        SetLayerState(layer, false, 1);
        return;
    }
    constexpr int kZero = 0;
    const int echo = SysVarShort("CMDECHO", &kZero);
    zcedCommand(RTSTR, "_VPLAYER", RTSTR, "_F", RTSTR, layer.c_str(), RTSTR, "_C", RTSTR, "", 0);
    SysVarShort("CMDECHO", &echo);
}

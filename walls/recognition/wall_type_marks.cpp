// Reading and writing the wall-type record of wall lines: the external-side
// mark of "VELMWALLATT" and the type assignment of "VELMDEFWALL".
#include "walls/recognition/wall_type_marks.h"

#include <memory>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/transcript.h"
#include "host/ed/prompts.h"
#include "walls/graph/wall_face.h"
#include "walls/recognition/defmuri.h"

namespace {

host::ResbufList ReadWithRecord(const ads_name entity) {
    host::ResbufList apps(zcutBuildList(RTSTR, kWallTypeApp, 0));
    return host::ResbufList(zcdbEntGetX(entity, apps.get()));
}

resbuf* Tail(resbuf* list) {
    while (list->rbnext) list = list->rbnext;
    return list;
}

resbuf* FindCode(resbuf* list, int code) {
    for (; list; list = list->rbnext)
        if (list->restype == code) return list;
    return nullptr;
}

// Appends the record (name, flag), with the -3 group when the list has no
// xdata yet.
void AppendRecord(resbuf* list, const std::string& name, int flag) {
    resbuf* record = FindCode(list, -3)
                         ? zcutBuildList(1001, kWallTypeApp, 1000, name.c_str(), 1070, flag, 0)
                         : zcutBuildList(-3, 1001, kWallTypeApp, 1000, name.c_str(), 1070, flag, 0);
    Tail(list)->rbnext = record;
}

}  // namespace

void ReadWallTypeXData(const ads_name entity, std::string& name, bool& external) {
    name = kDefaultWallTypeName;
    external = false;
    host::ResbufList list = ReadWithRecord(entity);
    const resbuf* app = FindXDataApp(list.get(), kWallTypeApp);
    if (!app) return;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype == 1000 && rb->resval.rstring) name = rb->resval.rstring;
        if (rb->restype == 1070) external = rb->resval.rint > 0;
    }
}

void EnsureWallTypeApp() {
    host::ResbufList found(zcdbTblSearch("APPID", kWallTypeApp, 0));
    if (!found) zcdbRegApp(kWallTypeApp);
}

bool SetExternalFlagInList(resbuf* list, bool flag) {
    resbuf* app = FindXDataApp(list, kWallTypeApp);
    if (!app) {
        if (!flag) return false;
        AppendRecord(list, kDefaultWallTypeName, 1);
        return true;
    }
    resbuf* name = app->rbnext;
    while (name && name->restype != 1001 && name->restype != 1000) name = name->rbnext;
    if (!name || name->restype != 1000) {
        // A record without its name: the name goes first.
        resbuf* added = zcutBuildList(1000, kDefaultWallTypeName, 0);
        added->rbnext = app->rbnext;
        app->rbnext = added;
        name = added;
    }
    resbuf* after = name->rbnext;
    if (after && after->restype == 1070) {
        after->resval.rint = flag ? 1 : 0;
        return true;
    }
    resbuf* added = zcutBuildList(1070, flag ? 1 : 0, 0);
    added->rbnext = after;
    name->rbnext = added;
    return true;
}

bool SetWallTypeInList(resbuf* list, const std::string& typeName) {
    resbuf* app = FindXDataApp(list, kWallTypeApp);
    if (!app) {
        AppendRecord(list, typeName, 0);
        return true;
    }
    resbuf* after = app->rbnext;
    resbuf* added = zcutBuildList(1000, typeName.c_str(), 0);
    if (after && after->restype == 1000) {
        // The old name's node goes, the new one takes its place.
        const host::ResbufList old(after);
        added->rbnext = after->rbnext;
        after->rbnext = nullptr;
    } else {
        added->rbnext = after;
    }
    app->rbnext = added;
    return true;
}

void SetExternalSideFlag(WallFace* face, bool flag) {
    if (!face) return;
    bool registered = false;
    for (const FaceEdge* e = face->edges; e; e = e->next) {
        if (!e->hasEntity()) continue;
        host::ResbufList list = ReadWithRecord(e->entity);
        if (!list) continue;
        if (!registered) {
            EnsureWallTypeApp();
            registered = true;
        }
        if (SetExternalFlagInList(list.get(), flag)) zcdbEntMod(list.get());
    }
}

bool DEFMURI::AssignWallTypeToLines() {
    zcutPrintf("\nWybierz wszystkie linie, które chcesz przydzielić:%s", assignTypeName.c_str());
    ads_name picked = {0, 0};
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, picked) != RTNORM) return false;
    std::int32_t n = 0;
    zcedSSLength(picked, &n);
    bool registered = false, written = false;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        if (zcedSSName(picked, i, entity) != RTNORM) continue;
        double lineLevel = level;
        if (!CheckEntityLevelLayer(entity, "LINE", false, lineLevel, true, false)) continue;
        host::ResbufList list = ReadWithRecord(entity);
        if (!list) continue;
        if (!registered) {
            EnsureWallTypeApp();
            registered = true;
        }
        if (SetWallTypeInList(list.get(), assignTypeName) && zcdbEntMod(list.get()) == RTNORM) written = true;
    }
    zcedSSFree(picked);
    return written;
}

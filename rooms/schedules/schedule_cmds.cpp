// VELMWABC, VELMDABC, VELMABC, VELMREINDEXABC, VELMTOTABC.
#include "rooms/schedules/schedule_cmds.h"

#include <string>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "objects/placement/object_run.h"
#include "rooms/opening_marks.h"
#include "rooms/schedules/schedule_context.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

void AskStartNumber(int slot, const char* format) {
    const int current = SettingInt(slot, 1);
    char prompt[128];
    std::snprintf(prompt, sizeof prompt, format, current);
    int value = 0;
    if (zcedGetInt(prompt, &value) == RTNORM) SetSettingInt(slot, value);
}

// The schedule's layer made on its floor.
void MakeScheduleLayer(CABACHI& s) {
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    s.layer = kScheduleLayerKey;
    EnsureLayer(s.layer, layers, true, s.level, false);
}

// Calls `each` with the entity and its mark record (from its 1001 group)
// for every opening on the schedule's floor whose kind is the schedule's.
template <class Each>
void ForEachListedOpening(const CABACHI& s, Each each) {
    ads_name marks;
    if (!SelectWithRecord(kAbInfissiObjApp, marks)) return;
    std::int32_t n = 0;
    zcedSSLength(marks, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        double level = 0.0;
        if (zcedSSName(marks, i, e) != RTNORM || !EntityLevelOf(e, level) || !SameLevel(level, s.level))
            continue;
        int number = 0;
        std::string kind;
        GetOpeningTypeAndNumber(e, number, kind);
        if (kind.empty() || !zcutEqualsNoCase(kind, s.scheduleName())) continue;
        resbuf* app = nullptr;
        const host::ResbufList list(ReadMarkRecord(e, app));
        if (!list) continue;
        each(e, app);
    }
    zcedSSFree(marks);
}

double ItemReal(const resbuf* app, int item) {
    const resbuf* rb = MarkRecordItem(app, item);
    return rb && rb->restype == 1040 ? rb->resval.rreal : 0.0;
}

}  // namespace

void VelmWAbc() {
    AskStartNumber(SetupVar::SUFFISSOFINES, "Numer początkowy dla oznaczeń okien<%d>:");
}

void VelmDAbc() {
    AskStartNumber(SetupVar::SUFFISSOPORTA, "Numer początkowy dla oznaczeń drzwi<%d>:");
}

void VelmAbc() {
    CABACHI s;
    s.templateName = SettingString(SetupVar::NOMEFILEOA, "VELMOA01");
    s.level = SettingReal(SetupVar::SQPAV);
    const int picked = s.SelectTable(
        "\nWybierz zestawienie otworów, które chcesz ponownie przeliczyć/ENTER, aby wstawić nowe:");
    if (picked < 0) return;
    if (!s.ReadOaFile()) return;
    // A new table's layer is made once the table is placed (perhaps on
    // another floor than the current one): a table given up makes none.
    if (picked == 0 && !s.InsertTable()) return;
    MakeScheduleLayer(s);
    s.EraseRecords();
    ForEachListedOpening(s, [&s](const ads_name, const resbuf* app) {
        s.currentRecord = app;
        s.CreateRecord();
        s.currentRecord = nullptr;
    });
}

bool RebuildSchedule(const ads_name table) {
    CABACHI s;
    if (!s.ReadTable(table, false) || !s.ReadOaFile()) return false;
    MakeScheduleLayer(s);
    ads_name old{table[0], table[1]};
    zcdbEntDel(old);
    const Point3 at = s.insertionPoint;
    if (!s.InsertTable(&at)) {
        zcdbEntDel(old);  // the old table back, its rows untouched
        return false;
    }
    s.EraseRecords();
    ForEachListedOpening(s, [&s](const ads_name, const resbuf* app) {
        s.currentRecord = app;
        s.CreateRecord();
        s.currentRecord = nullptr;
    });
    return true;
}

void VelmReindexAbc() {
    int number = 1;
    const int rc = zcedGetInt("\nZ jakiego numeru chcesz rozpocząć zmiany oznaczeń <1>:", &number);
    if (rc == RTNONE)
        number = 1;
    else if (rc != RTNORM)
        return;
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    for (;;) {
        ads_name e;
        ads_point at;
        const int pick = zcedEntSel(
            "\nWybierz otwór, do którego chcesz przypisać oznaczenie/Enter, aby zakończyć:", e, at);
        if (pick == RTCAN) return;
        if (pick != RTNORM) {
            if (PickHitNothing()) continue;
            return;
        }
        resbuf* app = nullptr;
        const host::ResbufList list(ReadMarkRecord(e, app));
        if (!list) {
            zcutPrintf("\nZaznaczony obiekt nie jest otworem");
            continue;
        }
        for (int item : {8, 22}) {
            resbuf* rb = MarkRecordItem(app, item);
            if (rb && rb->restype == 1070) rb->resval.rint = static_cast<short>(number);
        }
        zcdbEntMod(list.get());
        ++number;
        RunRegenParamObject(e, layers);
    }
}

void VelmTotAbc() {
    CABACHI s;
    s.templateName = SettingString(SetupVar::NOMEFILEOA, "VELMOA01");
    s.level = SettingReal(SetupVar::SQPAV);
    const int picked = s.SelectTable("\nWybierz tabelę, dla której chcesz obliczyć sumę");
    if (picked < 0) return;
    if (picked == 0) {
        zcutPrintf("\nNie ma zestawienia otworów w rysunku");
        return;
    }
    MakeScheduleLayer(s);
    if (!s.ReadOaFile()) return;
    if (s.totalName.empty()) {
        zcutPrintf("\nDla wybranej tabeli nie jest określona całkowita liczba wierszy");
        return;
    }
    s.sumA = s.sumB = s.sumC = 0.0;
    s.count = 0;
    ForEachListedOpening(s, [&s](const ads_name, const resbuf* app) {
        s.sumA += ItemReal(app, 6);
        s.sumB += ItemReal(app, 11);
        s.sumC += ItemReal(app, 13);
        ++s.count;
    });
    s.CreateTotal(false);
}

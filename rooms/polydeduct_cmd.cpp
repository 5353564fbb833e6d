// VELMPOLYDEDUCT (see the header): a pick loop in two modes, add and
// remove, switched by keyword; the mark is the xdata
// (1001 "VELM16$_$DETRAIPOLIGONI-") (1070 1) and nothing else.
#include "rooms/polydeduct_cmd.h"

#include <memory>

#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbpoly.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "rooms/room_deductions.h"

namespace {

void RegisterDeductionApp() {
    const host::ResbufList found(zcdbTblSearch("APPID", kDeductionApp, 0));
    if (!found) zcdbRegApp(kDeductionApp);
}

// Adds or removes the mark on the picked entity, telling the user why not.
void ToggleMark(const ads_name picked, bool add) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, picked) != Zcad::eOk) return;
    {
        ZcDbObjectPointer<ZcDbPolyline> probe(id, ZcDb::kForRead);
        if (probe.openStatus() != Zcad::eOk) {
            zcutPrintf("\nWybrana jednostka nie jest zamkniętą polilinią.");
            return;
        }
        if (!probe->isClosed()) {
            zcutPrintf("\nWybrana polilinia nie jest zamknięta.");
            return;
        }
    }
    RegisterDeductionApp();
    ZcDbObjectPointer<ZcDbPolyline> pline(id, ZcDb::kForWrite);
    if (pline.openStatus() != Zcad::eOk) return;
    host::ResbufList mark(pline->xData(kDeductionApp));
    const bool marked = mark != nullptr;
    if (add) {
        if (marked) {
            zcutPrintf("\nWybrana polilinia jest już odliczona.");
            return;
        }
        host::ResbufList record(zcutBuildList(1001, kDeductionApp, 1070, static_cast<short>(1), 0));
        pline->setXData(record.get());
    } else {
        if (!marked) {
            zcutPrintf("\nWybrana polilinia nie podlega odliczeniu.");
            return;
        }
        host::ResbufList record(zcutBuildList(1001, kDeductionApp, 0));
        pline->setXData(record.get());
    }
}

}  // namespace

void VelmPolyDeduct() {
    bool add = true;
    for (;;) {
        zcedInitGet(0, add ? "Usuń" : "Dodaj");
        const char* prompt = add ? "\nWybierz zamkniętą polilinię dla której chcesz dodać odliczenie[Usuń "
                                   "odliczenie]/Zatwierdź aby "
                                   "zakończyć:"
                                 : "\nWybierz zamkniętą polilinię dla której chcesz usunąć odliczenie[Dodaj "
                                   "odliczenie]/Zatwierdź "
                                   "aby zakończyć:";
        ads_name picked;
        ads_point at{0.0, 0.0, 0.0};
        const int rc = zcedEntSel(prompt, picked, at);
        if (rc == RTCAN) return;
        if (rc == RTKWORD) {
            add = !add;
            continue;
        }
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return;
        ToggleMark(picked, add);
    }
}

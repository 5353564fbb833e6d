// VELMMODTAG, VELMREINDEXROOM, VELMSHOWTAGFIX and VELMINFOUNIT.
//
// VELMMODTAG redraws a label from its own record: the room keeps every
// measured value the label stored, only the form's fields and fixed values
// change, and a changed height carries volume and wall surface with it. The old label goes before the new one
// is placed and comes back when no new label results.
#include "rooms/room_label_cmds.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "host/util/nocase.h"
#include "objects/language/obj_context.h"
#include "objects/placement/object_run.h"
#include "resources/velmresources.h"
#include "rooms/dialogs/dlg_info_vani.h"
#include "rooms/room_calc.h"
#include "rooms/room_records.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kNotALabel = "\nWybrany obiekt nie jest etykietą pokoju";

enum class Pick { kLabel, kAgain, kEnd };

// One label pick: the entity, or ask again (nothing under the box), or
// end (Enter, cancel).
Pick PickEntity(const char* prompt, ads_name picked) {
    ads_point at;
    const int rc = zcedEntSel(prompt, picked, at);
    if (rc == RTNORM) return Pick::kLabel;
    if (rc != RTCAN && PickHitNothing()) return Pick::kAgain;
    return Pick::kEnd;
}

// The label's record list (label and outline link applications); null
// after the message when the entity carries no label record.
host::ResbufList LabelRecord(const ads_name label) {
    const host::ResbufList apps(zcutBuildList(RTSTR, kRoomLabelApp, RTSTR, kRoomOutlineLinkApp, 0));
    host::ResbufList list(zcdbEntGetX(label, apps.get()));
    if (!FindXDataApp(list.get(), kRoomLabelApp)) {
        list.reset();
        zcutPrintf(kNotALabel);
    }
    return list;
}

// The record's item of variable `code`, counted from the template name;
// null when the record ends, or reaches its points, first.
const resbuf* RecordItem(const resbuf* list, int code) {
    const resbuf* app = FindXDataApp(list, kRoomLabelApp);
    const resbuf* rb = app ? app->rbnext : nullptr;
    if (!rb || rb->restype != 1000) return nullptr;
    rb = rb->rbnext;
    for (int n = 60; rb && rb->restype != 1011 && rb->restype != 1001; ++n, rb = rb->rbnext)
        if (n == code) return rb;
    return nullptr;
}

// Whether the record reaches its interior and insertion points.
bool RecordComplete(const resbuf* list) {
    const resbuf* app = FindXDataApp(list, kRoomLabelApp);
    for (const resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext)
        if (rb->restype == 1011) return rb->rbnext && rb->rbnext->restype == 1011;
    return false;
}

// The form's fields the room carries outside its field set.
void TakeLabelFields(CCALCVANI& room) {
    if (const CDefEti* f = room.Field(room.strInfVani)) room.roomTextForOpenings = f->value;
    if (const CDefEti* f = room.Field(room.numInfVani))
        room.roomNumberForOpenings = std::atof(f->value.c_str());
    if (const CDefEti* f = room.Field(75)) room.roomNameForOpenings = f->value;
    if (const CDefEti* f = room.Field(78)) room.rowNumber = std::atoi(f->value.c_str());
    if (const CDefEti* f = room.Field(79)) room.cardName = f->value;
    if (room.fixedLivingFlag) room.livingArea = room.fixedLivingArea;
    if (room.fixedWindowFlag) room.windowArea = room.fixedWindowArea;
    if (room.fixedVentilationFlag) room.ventilationArea = room.fixedVentilationArea;
}

// Edits one label; false when the command ends (the form cancelled).
bool EditLabel(const ads_name label, double level, const resbuf* record) {
    CCALCVANI room;
    room.level = level;
    if (!room.ReadFromLabel(label, nullptr, nullptr, -1)) return true;
    const resbuf* volume = RecordItem(record, 68);
    double storedVolume = volume && volume->restype == 1040 ? volume->resval.rreal : 0.0;
    const resbuf* height = RecordItem(record, 70);
    const bool heightStored = height && height->restype == 1040;
    const double oldHeight = heightStored ? height->resval.rreal : 0.0;
    if (!room.EditLabelFields()) return false;
    TakeLabelFields(room);
    // Under roof pitches the height is the pitches' mean, not the form's.
    if (room.heightFromField && heightStored) {
        const CDefEti* f = room.Field(70);
        const double newHeight = f ? CCALCVANI::FieldNumber(*f) : GetFloorHeightAt(level);
        if (std::fabs(newHeight - oldHeight) > GeomEpsilon) {
            // The walls' surface grows with the height by the perimeter;
            // the areas and the deducted openings in it stay as measured.
            storedVolume = (room.livingArea + room.nonUsableArea) * newHeight;
            room.surface += (newHeight - oldHeight) * room.perimeter;
        }
    }
    // The card's point and number, which the label may show.
    if (!room.cardDefinition.empty()) room.FindRoomCard();

    ads_name old{label[0], label[1]};
    zcdbEntDel(old);
    room.StartRun(room.labelDefinition, room.labelPoint, room.labelRotation, "");
    bool drawn = false;
    if (room.context) {
        SetObjVar(68, 0, 0, u'R', "", storedVolume, "", 0, 0, room.context->vars);
        Point3 preset = room.interiorPoint;
        RunInsertParamObject(*room.context, 1, &preset);
        drawn = !room.context->blockName.empty() && room.CreateRoomLabel();
    }
    room.FreeRun();
    if (!drawn) zcdbEntDel(old);
    return true;
}

}  // namespace

void VelmModTag() {
    for (;;) {
        ads_name label;
        const Pick pick = PickEntity("\nWybierz etykietę pokoju lub Enter, aby zamknąć:", label);
        if (pick == Pick::kEnd) return;
        if (pick == Pick::kAgain) continue;
        const host::ResbufList list = LabelRecord(label);
        if (!list) continue;
        double level = 0.0;
        const resbuf* layer = FindRbCode(list.get(), 8);
        if (!layer || !layer->resval.rstring || !ParseDollarNumber(layer->resval.rstring, level)) {
            zcutPrintf("\nNiemożliwe jest tworzenie etykiety pokoju na wysokości podłogi");
        } else if (!RecordComplete(list.get())) {
            zcutPrintf("\nNie mogę poprawnie odczytać rozszerzonych danych z etykiety pokoju");
        } else if (!EditLabel(label, level, list.get())) {
            return;
        }
    }
}

void VelmReindexRoom() {
    int n = 0;
    zcedInitGet(1, nullptr);
    if (zcedGetInt("\nOkreśl numer początkowy pokoju do progresywnego przenumerowania:", &n) != RTNORM)
        return;
    std::string templateName, cardName;
    for (bool first = true;;) {
        char prompt[256];
        std::snprintf(
            prompt, sizeof prompt,
            "\nWybierz etykietę pomieszczenia, do której przypisać numer pokoju %d. Enter, aby zamknąć:", n);
        ads_name label;
        const Pick pick = PickEntity(prompt, label);
        if (pick == Pick::kEnd) return;
        if (pick == Pick::kAgain) continue;
        if (!LabelRecord(label)) continue;
        double level = 0.0;
        GetEntityLevel(label, level, nullptr, false);
        CCALCVANI probe;
        probe.level = level;
        if (!probe.ReadFromLabel(label, nullptr, nullptr, -1)) continue;
        if (first) {
            if (probe.cardDefinition.empty()) {
                zcutPrintf(
                    "\nPolecenie to może być używane tylko na etykietach pokoi, które mają także kartę "
                    "pokoju");
                return;
            }
            if (!probe.FindRoomCard()) {
                zcutPrintf("\nNie istnieje już tabela, która jest powiązana z etykietą");
                return;
            }
            templateName = probe.templateName;
            cardName = probe.cardName;
            first = false;
        } else if (!zcutEqualsNoCase(probe.templateName, templateName) ||
                   !zcutEqualsNoCase(probe.cardName, cardName)) {
            zcutPrintf(
                "\nEtykieta pokoju nie odnosi się do tej samej karty, która została wybrana jako pierwsza");
            continue;
        }
        CCALCVANI room;
        room.level = level;
        room.LoadFromLabel(label, nullptr, nullptr, n, probe.rowNumber, false);
        ++n;
    }
}

void VelmShowTagFix() {
    zcedInitGet(0, "Podświetlony Normalny");
    char word[64] = "";
    const int rc = zcedGetKword(
        "\nEnter, aby podświetlić etykietę pokoju ze stałymi obszarami lub [Podświetlony/Normalny]:", word);
    if (rc != RTNORM && rc != RTNONE) return;
    const bool highlight = rc == RTNONE || std::string(word) != "Normalny";
    const host::ResbufList filter(zcutBuildList(-3, 1001, kRoomLabelApp, 0));
    ads_name labels;
    const bool any = zcedSSGet("X", nullptr, nullptr, filter.get(), labels) == RTNORM;
    if (!any) return;
    std::int32_t count = 0;
    zcedSSLength(labels, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name label;
        double level = 0.0;
        if (zcedSSName(labels, i, label) != RTNORM || GetEntityLevel(label, level, nullptr, false) != 1)
            continue;
        CCALCVANI room;
        room.level = level;
        room.LoadFromLabel(label, nullptr, nullptr, -1, -1, highlight);
    }
    zcedSSFree(labels);
}

void VelmInfoUnit() {
    const double level = SettingReal(SetupVar::SQPAV);
    ads_point p;
    if (GetPointInRange(1, nullptr, nullptr, "\nWybierz punkt wewnętrzny pokoju:", p) != RTNORM) return;
    CFACCIATE graph;
    PrepareRoomGraph(graph, level);
    CCALCVANI room;
    room.level = level;
    room.recordOpenings = false;
    if (!room.FindRoomOutline({p[0], p[1], p[2]}, graph)) return;

    const double r = SettingReal(SetupVar::SRAPPORTO_UM);
    auto text = [](double value) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.3f", value);
        return std::string(buffer);
    };
    CZcModuleResourceOverride use(VelmResourceHandle());
    cInfoVani dialog;
    dialog.area = text(room.livingArea * r * r);
    dialog.perimeter = text(room.perimeter * r);
    dialog.openingArea = text(room.openingArea * r * r);
    dialog.windowArea = text(room.windowArea * r * r);
    dialog.ventilationArea = text(room.ventilationArea * r * r);
    if (room.windowArea > GeomEpsilon) dialog.floorWindowRatio = text(room.livingArea / room.windowArea);
    dialog.DoModal();
}

// Room cards, their rows and totals. Rows and the total take the card's
// insertion point and rotation; where they show within the card is up to
// their definitions, which receive the room variables (the row number as
// field 78). Every replacement erases the old INSERT first and erases it
// again (restoring it) when the new one cannot be made.
#include <cmath>
#include <vector>

#include "core/entity_data.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/util/nocase.h"
#include "objects/placement/object_run.h"
#include "rooms/labels/label_templates.h"
#include "rooms/record_insert.h"
#include "rooms/room_calc.h"
#include "rooms/room_graph.h"
#include "rooms/room_records.h"

namespace {

using Name = std::array<std::int64_t, 2>;

std::vector<Name> SelectRecords(const char* app) {
    std::vector<Name> names;
    const host::ResbufList filter(zcutBuildList(-3, 1001, app, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) == RTNORM) {
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name e;
            if (zcedSSName(set, i, e) == RTNORM) names.push_back({e[0], e[1]});
        }
        zcedSSFree(set);
    }
    return names;
}

// The entity's record of `app` (from its 1001 group) in `list`; null
// without one.
const resbuf* Record(const Name& e, const char* app, host::ResbufList& list) {
    const host::ResbufList apps(zcutBuildList(RTSTR, app, 0));
    list.reset(zcdbEntGetX(e.data(), apps.get()));
    return FindXDataApp(list.get(), app);
}

std::string Text(const resbuf* rb) {
    return rb && rb->restype == 1000 && rb->resval.rstring ? rb->resval.rstring : "";
}

std::string RoomDataLayer() {
    std::string layer = kRoomDataLayerKey;
    EnsureLayer(layer, *SharedLayerDefFile("LAYERC.DEF"), false, 0.0, false);
    return layer;
}

Point3 InsertionOf(const ObjContext& c) {
    return {c.insertionPoint[0], c.insertionPoint[1], c.insertionPoint[2]};
}

}  // namespace

void CCALCVANI::StartRun(const std::string& definition, const Point3& point, double rotation,
                         const std::string& prompt) {
    FreeRun();
    context = NewObjContext(definition);
    if (!context) return;
    ObjContext& c = *context;
    c.elevation = level;
    c.elevationGiven = 1;
    c.insertionType = c.workingType = InsertionType::RoomObject;
    c.rotation = rotation;
    c.insertionPoint[0] = point.x;
    c.insertionPoint[1] = point.y;
    c.insertionPoint[2] = point.z;
    c.replacementLayer = prompt;
    // A run that asks for no point draws again what the user placed before
    // (a label, card, row or total brought up to date): its parameters come
    // from the room, so neither the parameter dialog nor the parameter set
    // prompt is put to the user. A new label or card, placed by the user,
    // keeps them.
    c.skipParamInput = prompt.empty() ? 1 : 0;
    InitObjVariables(c);
    FillLabelParameters();
    // Beside the label's own variables: what the measuring took off, so that
    // a definition can say how its area was reached.
    SetObjVar(44, 0, 0, u'R', "", deductedArea, "", 0, 0, c.vars);
}

void CCALCVANI::FreeRun() {
    if (context) FreeObjContext(std::move(context));
}

bool CCALCVANI::FindRoomCard() {
    for (const Name& e : SelectRecords(kRoomCardApp)) {
        host::ResbufList list;
        const resbuf* app = Record(e, kRoomCardApp, list);
        const resbuf* name = app ? app->rbnext : nullptr;
        const resbuf* number = name ? name->rbnext : nullptr;
        if (name && number && zcutEqualsNoCase(MapLabelTemplateName(Text(name)), templateName) &&
            zcutEqualsNoCase(Text(number), cardName)) {
            if (const resbuf* p = FindRbCode(list.get(), 10))
                cardPoint = {p->resval.rpoint[0], p->resval.rpoint[1], p->resval.rpoint[2]};
            const resbuf* r = FindRbCode(list.get(), 50);
            cardRotation = r ? r->resval.rreal : 0.0;
            if (number->rbnext && number->rbnext->restype == 1070) cardNumber = number->rbnext->resval.rint;
            return true;
        }
    }
    return false;
}

int CCALCVANI::CreateRoomCard(int insertFlag) {
    StartRun(cardDefinition, cardPoint, cardRotation, cardPointPrompt);
    if (!context) return 0;
    RunInsertParamObject(*context, insertFlag);
    double value = 0.0;
    std::string text;
    GetObjVar(40, value, text, context->vars);
    const int number = static_cast<int>(value);
    if (number == 0 || context->blockName.empty()) {
        FreeRun();
        return 0;
    }
    cardNumber = number;
    const int ok = WriteRoomCard();
    cardPoint = InsertionOf(*context);
    cardRotation = context->rotation;
    FreeRun();
    return ok;
}

int CCALCVANI::WriteRoomCard() {
    if (!context) return 0;
    zcdbRegApp(kRoomCardApp);
    ads_name made;
    return WriteRecordInsert(
        *context, RoomDataLayer(), InsertionOf(*context), context->rotation,
        host::ResbufList(zcutBuildList(1001, kRoomCardApp, 1000, templateName.c_str(), 1000, cardName.c_str(),
                                       1070, cardNumber.value_or(0), 0)),
        made);
}

int CCALCVANI::CreateCardRow() {
    zcdbRegApp(kRoomRowApp);
    StartRun(rowDefinition, cardPoint, cardRotation, "");
    if (context) RunInsertParamObject(*context, 1);
    if (!context || context->blockName.empty()) {
        FreeRun();
        zcutPrintf("\nBłąd tworzenia rekordu karty pokoju");
        return 0;
    }
    ads_name made;
    const int ok = WriteRecordInsert(
        *context, RoomDataLayer(), cardPoint, cardRotation,
        host::ResbufList(zcutBuildList(1001, kRoomRowApp, 1000, cardName.c_str(), 1070, rowNumber, 0)), made);
    if (ok) {
        auto* node = new CardRowNode;
        node->entity[0] = made[0];
        node->entity[1] = made[1];
        node->next = cardRows;
        cardRows = node;
    }
    FreeRun();
    return ok;
}

bool CCALCVANI::EraseCardRow(const std::string* card, int row, ads_name erased) {
    erased[0] = erased[1] = 0;
    const std::string name = card ? *card : cardName;
    const int number = row >= 0 ? row : rowNumber;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return false;
    for (const KeptCardRow& r : KeptCardRowsNumbered(number)) {
        const Name e{db->serial(), r.handle};
        if (row >= 0) {
            bool ours = false;
            for (const CardRowNode* n = cardRows; n && !ours; n = n->next)
                ours = n->entity[0] == e[0] && n->entity[1] == e[1];
            if (ours) continue;
        }
        if (!zcutEqualsNoCase(r.card, name)) continue;
        ads_name victim{e[0], e[1]};
        if (zcdbEntDel(victim) != RTNORM) return false;
        erased[0] = e[0];
        erased[1] = e[1];
        return true;
    }
    return false;
}

int CCALCVANI::CreateRoomCardTotal(bool onlyIfPresent, const std::string* formerCardName) {
    ads_name old{0, 0};
    bool found = false;
    const std::string& ofCard = formerCardName ? *formerCardName : cardName;
    for (const Name& e : SelectRecords(kRoomTotalApp)) {
        host::ResbufList list;
        const resbuf* app = Record(e, kRoomTotalApp, list);
        const resbuf* name = app ? app->rbnext : nullptr;
        found = name && zcutEqualsNoCase(MapLabelTemplateName(Text(name)), templateName) &&
                zcutEqualsNoCase(Text(name->rbnext), ofCard);
        if (found) {
            old[0] = e[0];
            old[1] = e[1];
            zcdbEntDel(old);
            break;
        }
    }
    if (onlyIfPresent && !found) return 0;
    auto restore = [&] {
        if (found) zcdbEntDel(old);
        return 0;
    };
    const std::vector<Name> labels = SelectRecords(kRoomLabelApp);
    if (labels.empty()) return restore();
    double sums[25] = {};
    for (const Name& e : labels) {
        host::ResbufList list;
        const resbuf* app = Record(e, kRoomLabelApp, list);
        const resbuf* first = app ? app->rbnext : nullptr;
        if (!first || !zcutEqualsNoCase(MapLabelTemplateName(Text(first)), templateName)) continue;
        double values[25] = {};
        bool ofCard = false;
        int n = 0;
        for (const resbuf* rb = first->rbnext; rb && n < 25 && rb->restype != 1011 && rb->restype != 1001;
             rb = rb->rbnext, ++n) {
            if (rb->restype == 1040) values[n] = rb->resval.rreal;
            if (n == 79 - 60) ofCard = zcutEqualsNoCase(Text(rb), cardName);
        }
        if (!ofCard) continue;
        for (int i = 0; i < 25; ++i) sums[i] += values[i];
    }
    StartRun(totalDefinition, cardPoint, cardRotation, "");
    if (!context) return restore();
    for (int n = 60; n <= 74; ++n) SetObjVar(n, 0, 0, u'R', "", sums[n - 60], "", 0, 0, context->vars);
    RunInsertParamObject(*context, 1);
    if (context->blockName.empty()) {
        FreeRun();
        return restore();
    }
    zcdbRegApp(kRoomTotalApp);
    ads_name made;
    const int ok =
        WriteRecordInsert(*context, RoomDataLayer(), cardPoint, cardRotation,
                          host::ResbufList(zcutBuildList(1001, kRoomTotalApp, 1000, templateName.c_str(),
                                                         1000, cardName.c_str(), 0)),
                          made);
    FreeRun();
    return ok ? 1 : restore();
}

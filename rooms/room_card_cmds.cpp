// VELMEDITTAB, VELMTOTAB and VELMCNAMETAB.
#include "rooms/room_card_cmds.h"

#include <string>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "rooms/labels/label_templates.h"
#include "rooms/room_calc.h"
#include "rooms/room_records.h"

namespace {

struct PickedCard {
    ads_name entity{0, 0};
    std::string templateName, cardName;
    int cardNumber = 0;
    Point3 point;
    double rotation = 0.0;
};

// A card's template, name, number, point and rotation from its record;
// false when the entity is no card.
bool ReadCard(const ads_name entity, PickedCard& card) {
    const host::ResbufList apps(zcutBuildList(RTSTR, kRoomCardApp, 0));
    const host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    const resbuf* app = FindXDataApp(list.get(), kRoomCardApp);
    const resbuf* name = app ? app->rbnext : nullptr;
    if (!name || !name->rbnext || name->restype != 1000 || name->rbnext->restype != 1000) return false;
    card.entity[0] = entity[0];
    card.entity[1] = entity[1];
    card.templateName = MapLabelTemplateName(name->resval.rstring ? name->resval.rstring : "");
    card.cardName = name->rbnext->resval.rstring ? name->rbnext->resval.rstring : "";
    const resbuf* number = name->rbnext->rbnext;
    card.cardNumber = number && number->restype == 1070 ? number->resval.rint : 0;
    if (const resbuf* p = FindRbCode(list.get(), 10))
        card.point = {p->resval.rpoint[0], p->resval.rpoint[1], p->resval.rpoint[2]};
    const resbuf* r = FindRbCode(list.get(), 50);
    card.rotation = r ? r->resval.rreal : 0.0;
    return true;
}

// A card picked with the prompt: a miss asks again, a pick of something
// else says so and asks again; false on cancel or any other failure.
bool PickCard(const char* prompt, PickedCard& card) {
    for (;;) {
        ads_point at;
        const int rc = zcedEntSel(prompt, card.entity, at);
        if (rc == RTCAN) return false;
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return false;
        }
        if (ReadCard(card.entity, card)) return true;
        zcutPrintf("\nWybrany obiekt nie jest kartą pokoju");
    }
}

// The room calculation of a card's template, card name, number and place.
bool Prepare(CCALCVANI& room, const PickedCard& card, const std::string& cardName) {
    room.templateName = card.templateName;
    room.cardName = cardName;
    room.cardNumber = card.cardNumber;
    room.cardPoint = card.point;
    room.cardRotation = card.rotation;
    LabelTemplate names;
    if (!ReadUaFile(card.templateName, names, kRoomCardApp)) return false;
    room.labelDefinition = names.labelBlock;
    room.cardDefinition = names.cardBlock;
    room.rowDefinition = names.rowBlock;
    room.totalDefinition = names.totalBlock;
    return true;
}

}  // namespace

void VelmEditTab() {
    PickedCard card;
    if (!PickCard("\nWybierz kartę pokoju do modyfikacji:", card)) return;
    zcdbEntDel(card.entity);
    CCALCVANI room;
    if (!Prepare(room, card, card.cardName) || room.cardDefinition.empty() || !room.CreateRoomCard(0))
        zcdbEntDel(card.entity);  // the old card back
}

bool RebuildRoomCard(const ads_name entity, double level) {
    PickedCard card;
    if (!ReadCard(entity, card)) return false;
    bool made = false;
    {
        CCALCVANI room;
        room.level = level;
        if (!Prepare(room, card, card.cardName) || room.cardDefinition.empty()) return false;
        zcdbEntDel(card.entity);
        made = room.CreateRoomCard(0) != 0;
        if (!made) zcdbEntDel(card.entity);  // the old card back
    }
    // The total sums the labels of the card as they now stand.
    CCALCVANI room;
    room.level = level;
    if (Prepare(room, card, card.cardName) && !room.totalDefinition.empty() && room.FindRoomCard())
        room.CreateRoomCardTotal(true);
    return made;
}

void VelmTotTab() {
    PickedCard card;
    if (!PickCard("\nWybierz kartę pokoju, dla której chcesz obliczyć sumę:", card)) return;
    CCALCVANI room;
    if (!Prepare(room, card, card.cardName)) return;
    if (room.totalDefinition.empty()) {
        zcutPrintf("\nTen model karty pokoju nie zawiera wszystkich wierszy.");
        return;
    }
    room.CreateRoomCardTotal(false);
}

void VelmCNameTab() {
    PickedCard card;
    if (!PickCard("\nWybierz kartę pokoju, dla której chcesz zmienić nazwę:", card)) return;
    const std::string oldName = card.cardName;
    char prompt[600];
    std::snprintf(prompt, sizeof prompt, "\nOkreśl nową nazwę dla karty pokoju <%s>:", oldName.c_str());
    char answer[512] = "";
    if (zcedGetString(1, prompt, answer, sizeof answer) != RTNORM) return;
    const std::string newName = answer;
    if (newName.empty() || zcutEqualsNoCase(newName, oldName)) return;
    {
        CCALCVANI room;
        if (!Prepare(room, card, newName) || room.cardDefinition.empty()) return;
        zcdbEntDel(card.entity);
        if (!room.CreateRoomCard(0)) {
            zcdbEntDel(card.entity);
            return;
        }
    }
    const host::ResbufList filter(zcutBuildList(-3, 1001, kRoomLabelApp, 0));
    ads_name labels;
    const bool any = zcedSSGet("X", nullptr, nullptr, filter.get(), labels) == RTNORM;
    std::int32_t n = 0;
    if (any) zcedSSLength(labels, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name label;
        double level = 0.0;
        if (zcedSSName(labels, i, label) != RTNORM || GetEntityLevel(label, level, nullptr, false) != 1)
            continue;
        CCALCVANI room;
        room.level = level;
        room.LoadFromLabel(label, &newName, &oldName, -1, -1, false);
    }
    if (any) zcedSSFree(labels);
    // The total once the labels carry the new name, so it sums them; the
    // card's total still carries the old one, and would otherwise be left
    // behind, no longer the card's, never brought up to date again.
    CCALCVANI room;
    if (Prepare(room, card, newName) && room.FindRoomCard()) room.CreateRoomCardTotal(true, &oldName);
}

// "_UNDO" (a number of steps, BEgin, End, Mark, Back) and "U" over the
// drawing's undo journal. Each outermost command is one undo group (the
// command processor opens and closes it); BEgin/End gather several
// commands into one, Mark sets a point that Back returns to.
#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/ed/cmdproc.h"
#include "host/ed/grdraw.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"

namespace host {
namespace {

int undoSteps(ZcDbDatabase* db, long steps) {
    long done = 0;
    while (done < steps && db->undoGroup()) ++done;
    if (done == 0) zcutPrintf("\nNie ma nic do cofnięcia.");
    redrawScreen();
    return RTNORM;
}

int undoCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    std::string answer;
    for (;;) {
        zcedInitGet(RSG_OTHER,
                    "Auto Steruj Początek Koniec Znacznik Wstecz _ Auto Control BEgin End Mark Back");
        char buf[256] = "";
        int rc = zcedGetKword(
            "\nPodaj liczbę operacji do cofnięcia lub "
            "[Auto/Steruj/Początek/Koniec/Znacznik/Wstecz] <1>: ",
            buf);
        if (rc == RTCAN) return rc;
        if (rc == RTNONE) return undoSteps(db, 1);
        answer = buf;
        if (auto n = ads_text::parseInteger(answer)) {
            if (*n > 0) return undoSteps(db, static_cast<long>(*n));
            zcutPrintf("\nWymagana liczba dodatnia.");
            continue;
        }
        break;
    }
    if (answer == "BEgin")
        db->beginUndoGroup();
    else if (answer == "End")
        db->endUndoGroup();
    else if (answer == "Mark")
        db->undoMark();
    else if (answer == "Back") {
        if (db->undoToMark() == 0) zcutPrintf("\nNie ma nic do cofnięcia.");
        redrawScreen();
    } else if (answer == "Auto" || answer == "Control") {
        std::string ignored;
        // Accepted for scripts; every command is already one group.
        if (askText("\nPodaj opcję: ", ignored) == RTCAN) return RTCAN;
    } else {
        zcutPrintf("\nNieprawidłowa opcja.");
        return RTERROR;
    }
    return RTNORM;
}

int uCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    return undoSteps(db, 1);
}

}  // namespace

void installUndoCommands() {
    registerHostCommand("UNDO", undoCommand);
    registerHostCommand("U", uCommand);
}

}  // namespace host

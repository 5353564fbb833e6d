// The stair commands: a stair from model lines ("VELMCREATESTAIR"), a stair
// reopened in its options and rebuilt ("VELMEDITSTAIR"), a stair turned back
// into its model lines ("VELMSTAIRMODEL"), and the builder they share.
#pragma once

#include "host/util/adscodes.h"

class CSCALA;

constexpr const char* kStairTwoRisersMessage = "\nSchody muszą mieć przynajmniej dwa podstopnie";
constexpr const char* kStairNotAStairMessage = "\nWybrany element nie jest schodami";
constexpr const char* kStairPickLineMessage = "\nWybrany element musi być linią!";
constexpr const char* kStairLandingOutsideMessage = "\nPunkt nie jest wewnątrz modelu schodów";

constexpr const char* kStairFlightWithoutStepsMessage =
    "\nBieg za zakrętem jest zbyt krótki, aby miał stopnie; schody nie zostały utworzone";
constexpr const char* kStairPathNotWholeMessage =
    "\nNie wszystkie linie ścieżki tworzą schody (ścieżka zawraca lub przecina się); schody nie zostały "
    "utworzone";

// Builds a stair from the model lines of the set (the first riser named
// apart): the model read, the options dialog with its landing picks, then,
// on OK, the model lines erased and the stair written: true. A model that
// cannot be read or has fewer than two risers, or the options cancelled,
// leaves everything as it was: false; all but the cancel fail the command.
// Given the number of step lines among them (lines the path jig drew, every
// one meant for the stair), a model that leaves a line out, makes a riser
// of any other line or misses a tread is refused too.
bool CreateStairFromModel(const ads_name set, const ads_name firstRiser, int stepLines = -1);

// Shows the options dialog until it is closed by OK or cancel, letting the
// user pick landings whenever asked; the exit code.
int RunStairOptions(CSCALA& record);

void CmdCreateStair();
void CmdEditStair();
void CmdStairModel();

// Clean-up of the LINEs that form 2D walls: two lines joined into one, the
// open end of a wall closed, and the L, T and X junctions of two walls cut
// from their face lines.
//
// Every line changed is read with the xdata of every application and written
// back with only its ends replaced, and each new piece is made from the list
// of the line it was split from: layer, colour, linetype and the wall
// records go with the geometry. Where an intersection the cut needs is
// missing, nothing is changed.
#pragma once

#include <cstdint>
#include <string>

#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

// The lines of one junction of two walls as the user selected them.
class GESTINNESTO {
public:
    enum Kind : std::int32_t { kL = 0, kT = 1, kX = 2 };

    GESTINNESTO();
    virtual ~GESTINNESTO();

    // The selection asked and sorted into the two pairs; 1, or 0 when the
    // command must end (cancelled, too few or too many lines).
    int CollectLines();
    void CleanLJunction();
    void CleanTJunction();
    void CleanXJunction();

    std::int32_t junctionType = kL;
    std::string name = "0";
    resbuf filter{};                            // group 1001 "*": the xdata of every application
    ads_name pairLine1{0, 0}, pairLine2{0, 0};  // the two lines closest to parallel
    ads_name line3{0, 0}, line4{0, 0};          // the others; line4 empty with three lines
};

// "VELMULINES": two lines become one spanning their farthest ends.
void CmdUnionLines();
// "VELMJOINWALL": the open end of a wall closed at right angles.
void CmdJoinWall();
// "VELMCLEANL", "VELMCLEANT", "VELMCLEANX".
void CmdCleanL();
void CmdCleanT();
void CmdCleanX();

// Viewports and paper space. TILEMODE 1 is model space, one tiled view kept
// in the "*Active" viewport record and the view variables. TILEMODE 0 is
// the paper layout: VIEWPORT entities in paper space, number 1 the sheet
// itself, 2 and up the model views cut into it; CVPORT 1 works on the
// sheet (paper space), CVPORT n ≥ 2 inside viewport n (model space).
// Each viewport keeps its own view (height, direction, target, lens
// length, perspective) and its own list of frozen layers.
//
// The first switch to TILEMODE 0 lays out the sheet (viewport 1) and one
// model viewport (2) over it when paper space has none; the current space
// of the database follows TILEMODE and CVPORT.
#pragma once

#include "host/db/dbdatabase.h"
#include "host/ge/gebase.h"

// The viewport the user works in: in the paper layout the VIEWPORT entity
// numbered CVPORT; in model space the "*Active" viewport record. Null when
// there is none.
ZcDbObjectId zcedGetCurViewportObjectId();

namespace host {

struct ViewState {
    ZcGePoint3d center;  // in the view's own plane
    double height = 297;
    ZcGeVector3d direction{0, 0, 1};  // from target towards the eye
    ZcGePoint3d target;
    double lensLength = 50;
    bool perspective = false;
};

// The view of the current viewport (from the view variables), and
// changing it (variables and the viewport record or entity).
ViewState currentView();
void setCurrentView(const ViewState& view);

// Lays out the sheet when paper space has no viewport yet.
void ensureLayoutViewports(ZcDbDatabase* db);
// Current space := paper space when TILEMODE 0 and CVPORT 1, else model.
void syncCurrentSpace();
// Sets TILEMODE (with the editor's change notifications) and follows it.
bool setTileMode(int mode);
// Sets CVPORT and follows it; false when no such viewport.
bool setCurrentViewportNumber(int number);

// Makes TILEMODE/CVPORT changes from anywhere (zcedSetVar) follow the
// spaces; installed with the view commands.
void installSpaceWatcher();

// Temporary graphics and highlighting live until the next regeneration.
void noteRegen();
int regenCount();

}  // namespace host

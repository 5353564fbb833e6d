// What the slab, roof and profile dialogs share: the check of a layer name
// typed by the user, the hatch group (a "make hatch" box enabling the
// pattern controls, the pattern picture refreshed as the name is typed) and
// the slope shown in percent or in degrees.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "host/ui/dialog.h"

// On saving, a name the host refuses as a symbol name shows "Nazwa warstwy
// nie jest prawidłowa" and fails the exchange: the dialog stays open with
// the focus on the field the exchange last prepared.
void DDV_SymbolName(CDataExchange* dx, const std::string& name);

// Ids of the shared hatch controls.
inline constexpr int IDC_SLAB_PATTERN_BUTTON = 6;
inline constexpr int IDC_SLAB_PATTERN = 102;
inline constexpr int IDC_SLAB_HATCH_ANGLE = 101;
inline constexpr int IDC_SLAB_MAKE_HATCH = 1023;
inline constexpr int IDC_SLAB_PREVIEW = 1374;

// Wires the pattern name (every change refreshes the picture), the picker
// button and the picture (both open the picker, whose choice goes into the
// name field), and the "make hatch" box, which enables `hatchControls`.
// The name is read from its field, so no other field is validated on the way.
void WireSlabHatchGroup(CDialog& dialog, std::initializer_list<int> hatchControls);
// Enables the controls when the "make hatch" box is checked.
void EnableSlabHatchControls(CDialog& dialog, const std::vector<int>& hatchControls);

// The edits the slab and the profile editing dialogs both close with,
// numbered alike in both so that one editor step runs them.
enum SlabEditAction {
    kSlabEditAccept = 0,
    kSlabEditTilt = 1,
    kSlabEditAddOpening = 2,
    kSlabEditDeleteOpening = 3,
    kSlabEditDeleteVertex = 4,
    kSlabEditChangeSlope = 5,
};

// Runs the dialog with the module's resources switched in; its result.
INT_PTR RunModuleDialog(CDialog& dialog);

// Slopes: percent (rise per 100 of run) and decimal degrees.
double SlopePercentToDegrees(double percent);
double SlopeDegreesToPercent(double degrees);

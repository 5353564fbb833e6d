// Rescaling after a change of the drawing unit or of the print-scale
// factors: the unit change rescales every stored length at once; the
// command "VELMSCALEF" edits the print-scale records and then rebuilds, on
// demand, the families of drawn things that were made at the old factors.
//
// Families whose makers live in higher folders are rebuilt through one hook
// each, set by the owner's registration unit. A hook called while unset
// stops the module (`VELM_ASSERT`): the module sets every one at start-up,
// so only a caller that skipped the owner's registration reaches one unset.
#pragma once

#include <functional>
#include <string>

#include "host/util/adscodes.h"

class AAR_LAYERC;
struct Point3;

// Rescales the stored lengths, print-scale records, floor heights and wall
// thicknesses for the new drawing-unit factor `factor` (1 = centimetre,
// 0.01 = metre), and the module's tolerances with them. Nothing below the
// shared tolerance or when the store cannot be opened.
void ApplyDrawingUnitFactor(double factor);

// The host's INSUNITS code of a unit factor (drawing units per centimetre):
// 4 millimetres, 5 centimetres, 14 decimetres, 6 metres, 1 inches, 2 feet,
// 0 for any other factor.
short InsUnitsOfFactor(double factor);
// Tells the host the drawing's unit (INSUNITS, and MEASUREMENT: imperial for
// inches and feet, else metric), so that the saved file says at what scale
// other programs are to take it. With `onlyWhenUnset`, a drawing that names
// its unit already (one read from another program) keeps it.
void PublishDrawingUnit(bool onlyWhenUnset);

// "VELMSCALEF".
void CmdScaleFactors();

// Update flags of the print-scale dialog, in the order of its check boxes.
enum ScaleUpdate : int {
    kUpdateInnerDims = 1,
    kUpdateDoors = 2,
    kUpdateWindows = 4,
    kUpdateLabels = 8,
    kUpdateSymbols = 16,
    kUpdateWallHatches = 32,
    kUpdateSlabHatches = 64,
    kUpdateRoofHatches = 128,
    kUpdateWalls = 256,
    kUpdateObjects = 512,
    kUpdateDimensions = 1024,
};

// Runs the updates of `flags` in their fixed order; with kUpdateObjects the
// door, window and inner-dimension updates are left out (every object is
// regenerated anyway).
void RunScaleUpdates(int flags);

// The families. Each selects its entities by their xdata application and
// handles them in selection order.
void RegenObjectsByApp(const char* app, const char* kind);
void RescaleQuoteIntBlocks();
void RescaleSymbolBlocks();
// kind 1 roofs, 2 slabs, 3 walls; any other kind does nothing.
void RescaleHatchBlocks(int kind);
void RescaleDimensions();
void RescaleLabelsAndTables();
void RescaleWallDefs();

// ---- hooks into the folders that own the rebuilt families ----

// Regenerates one parametric object from its own record; `kind` null for
// every object, else "DOORS" or "WINDOWS" for openings of that type only;
// `options` null, or five 0.0/1.0 values overriding an opening's 2D drawing
// options (no dimension text, sill height, no label code, no load view, no
// dimension centre line).
using RegenParamObjectHook = std::function<void(const ads_name entity, const AAR_LAYERC& layers,
                                                const char* kind, const double* options)>;
// Runs the hook.
void RegenerateParamObject(const ads_name entity, const AAR_LAYERC& layers, const char* kind,
                           const double* options);
void SetRegenParamObjectHook(RegenParamObjectHook hook);

// Draws an inner dimension symbol from the values of its record; true when
// something was drawn.
using DimensionSymbolHook =
    std::function<bool(const Point3& at, double a, double b, int flags, const std::string& text, double c)>;
void SetDimensionSymbolHook(DimensionSymbolHook hook);

// The room family: a label placed again at its level, a card made again
// (restored when that fails) with its total row, an opening schedule made
// again with its rows. The hook handles the one entity whole and returns
// whether it was rebuilt.
enum class RoomRebuild { kLabel, kCard, kSchedule };
using RoomRebuildHook = std::function<bool(RoomRebuild what, const ads_name entity, double level)>;
void SetRoomRebuildHook(RoomRebuildHook hook);

// The build-up layers of the walls of the current floor drawn again from
// the wall types; false when the floor's wall types cannot be loaded.
using FloorWallLayersHook = std::function<bool(double elevation)>;
void SetFloorWallLayersHook(FloorWallLayersHook hook);

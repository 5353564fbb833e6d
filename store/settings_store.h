// The drawing's settings objects: the dictionary "VELMOR_6" under the
// named-object dictionary holds one object per settings class, keyed by the
// class name. Every user opens the object of the working drawing, reads or
// changes it and closes it again (the caller hands the object an opener
// returns to a ZcDbObjectPointer); nothing is cached. An object that is not
// there is made with its defaults on first open, which therefore may write
// to the drawing even when asked for read.
//
// The typed access to the variables store takes the slot by address and
// opens and closes the store itself: getters clear their output and return
// false for a missing store, a slot outside 0..321 or a slot of another
// type; setters do nothing in those cases. Text reads are bounded by the
// destination's size.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "host/db/dbobjptr.h"
#include "store/fscala.h"
#include "store/velm_gengruppo.h"
#include "store/velm_layermuri.h"
#include "store/velm_layerombra.h"
#include "store/velm_libobjopt.h"
#include "store/velm_setup.h"
#include "store/velm_spessmuri.h"

class ZcDbDatabase;

// Registers (and, on unload, removes) the seven classes of the store in the
// order the module's start-up gives them; the settings subsystem registers
// them itself among its own (settings/settings_module.h).
void RegisterStoreClasses();
void UnregisterStoreClasses();

// The store, opened for read (true) or write (false); a store made now is
// returned open for write whatever was asked. Null when it cannot be opened.
VELM_SETUP* OpenSetupObject(bool forRead);
// The other objects, always opened for write with write access asserted.
VELM_LIBOBJOPT* OpenLibObjOptObject();
VELM_LAYERMURI* OpenLayerMuriObject();
VELM_FSCALA* OpenFScalaObject();
VELM_GENGRUPPO* OpenGenGruppoObject();
VELM_LAYEROMBRA* OpenLayerOmbraObject();
VELM_SPESSMURI* OpenSpessMuriObject();
// Some of them opened for read, so that a reader does not file them into
// the command's undo (a record made now, with the same defaults, is open
// for write).
VELM_LIBOBJOPT* ReadLibObjOptObject();
VELM_LAYERMURI* ReadLayerMuriObject();
VELM_FSCALA* ReadFScalaObject();
VELM_GENGRUPPO* ReadGenGruppoObject();

// What a dialog shows before the user confirms anything: the drawing's
// recent wall thicknesses and wall layers, or the defaults of a new record
// when the drawing has none yet. Nothing is made in the drawing.
std::array<double, 5> ReadWallThicknesses();
std::vector<std::string> ReadWallLayerNames();

bool GetVarInt(const int* slot, int* value);
bool GetVarReal(const int* slot, double* value);
// The text is cut to fit `size` bytes with its terminator (never inside a
// UTF-8 character); false, and an empty text, on failure.
bool GetVarString(const int* slot, char* text, std::size_t size);
bool GetVarString(const int* slot, std::string& text);
// The output is left untouched on failure.
bool GetVarPoint(const int* slot, double* x, double* y, double* z);
// SetVarInt and SetVarString leave the store closed when the slot already
// holds the value: nothing goes into the undo step, no reactor is told.
void SetVarInt(const int* slot, const short* value);
// Slot 0 (the current floor elevation) also sets the system variable
// "ELEVATION".
void SetVarReal(const int* slot, const double* value);
void SetVarPoint(const int* slot, const double* x, const double* y, const double* z);
void SetVarString(const int* slot, const char* text);

// The same reads returning the value: `fallback` when there is no store or
// the slot is outside 0..321 or of another type.
double SettingReal(int slot, double fallback = 0.0);
int SettingInt(int slot, int fallback = 0);
std::string SettingString(int slot, std::string fallback = {});
// The same writes taking the value (an int is stored as the slot's 16 bits).
void SetSettingReal(int slot, double value);
void SetSettingInt(int slot, int value);
void SetSettingString(int slot, const std::string& value);

// The drawing-unit factor SFTMTCM (drawing units per centimetre) of the
// drawing; 1.0 when it cannot be read.
double DrawingUnitFactor();

// Entry `index` (0..9) of the current print scale's record, the two text
// heights (1 and 4) converted to drawing units; 0.0 when it cannot be read.
double GetScaleFactor(int index);
// All ten entries as GetScaleFactor gives them, from one open of each record.
std::array<double, kScaleEntryCount> GetScaleFactors();
// Reads (set false) or writes (set true) one raw entry of the print-scale
// record with that key; false, and `value` 0.0, when there is none.
bool AccessScaleFactor(int key, int index, double& value, bool set);

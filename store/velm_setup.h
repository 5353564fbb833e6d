// The settings store of a drawing: exactly 322 typed variables addressed by
// slot number, with their names (used only by the by-name access), their
// defaults, and the two filing forms.
//
// Filing, DWG: version 7, a 16-bit count, then per slot the type code and
// the value. A store saved with fewer slots reads the missing ones at their
// defaults, the lengths among them scaled by the drawing-unit factor of the
// file; a store saved with more slots has the extra ones read and dropped.
// An unknown type code cannot be skipped (its value's size is unknown), so
// reading stops there with an error and the unread slots keep their defaults.
// DXF: subclass marker "VELM_SETUP", then one item per slot whose group code
// is the type code; reading stops, pushing the item back, at the first item
// that is not one of the four variable codes. A group whose code is not its
// slot's own type ends the reading too (the record lost or gained a value,
// so the groups after it are skipped rather than put in the wrong slots).
//
// The records are custom objects of the drawing (their registration and
// filing members come from settings_dbfiler.h); a drawing keeps one of each
// in its dictionary "VELMOR_6", opened through settings_store.h. A copy of a
// record holds the same settings and belongs to no drawing.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "host/db/dbobject.h"
#include "store/aa_variabile.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"
#include "store/setup_slots.h"

constexpr int kSetupVarCount = 322;
constexpr short kSetupFilingVersion = 7;

// One row of the variables' table: name, type code and default. Numbers of
// every type are held in `number` (a point default has all three
// coordinates equal to it), texts in `text`.
struct SetupVarDef {
    const char* name;
    unsigned short type;
    double number;
    const char* text;
};

// The row of a slot; the slot must be in 0..321.
const SetupVarDef& SetupVarDefinition(int slot);
// The default value of a slot, as a fresh store holds it.
AA_VALORE SetupVarDefault(int slot);
// The slot of a variable name compared ignoring case, from slot 0 up; -1
// when no variable has that name.
int FindSetupVarSlot(std::string_view name);
// Reals that are not lengths and so are never scaled by the unit factor.
bool IsUnscaledRealSlot(int slot);

using SetupSlots = std::array<AA_VARIABILE, kSetupVarCount>;

// Every slot set to its default type and value.
void InitSetupSlots(SetupSlots& slots);
// After reading a store that held only `storedCount` slots: the real
// defaults of the missing slots (but for the unscaled ones) times the
// drawing-unit factor of slot 5 as read.
void ScaleMissingRealDefaults(SetupSlots& slots, int storedCount);

FilingStatus WriteSetupDwg(const SetupSlots& slots, SettingsDwgWriter& w);
FilingStatus ReadSetupDwg(SetupSlots& slots, SettingsDwgReader& r);
FilingStatus WriteSetupDxf(const SetupSlots& slots, SettingsDxfWriter& w);
// `repaired` (when given) tells whether the record held fewer groups than
// slots or a group of another type than its slot's; the slots from there on
// keep their defaults.
FilingStatus ReadSetupDxf(SetupSlots& slots, SettingsDxfReader& r, bool* repaired = nullptr);

class VELM_SETUP : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_SETUP);
    static constexpr const char* kClassName = "VELM_SETUP";

    // The variables of a store made by the host to be read back are set by
    // the reader (which starts from the defaults); a new store is given its
    // defaults with InitVariables.
    VELM_SETUP() = default;
    // A copy holds the same settings and is in no database.
    VELM_SETUP(const VELM_SETUP& o) : ZcDbObject(), slots_(o.slots_) {}
    VELM_SETUP& operator=(const VELM_SETUP& o) {
        slots_ = o.slots_;
        return *this;
    }

    void InitVariables() {
        assertWriteEnabled();
        InitSetupSlots(slots_);
    }

    // Typed reads: false (and the output cleared, but for points) when the
    // slot is outside 0..321 or holds another type.
    bool getInt(int slot, int& out) const;
    bool getReal(int slot, double& out) const;
    bool getString(int slot, std::string& out) const;
    bool getPoint(int slot, ZcGePoint3d& out) const;
    // Typed writes: ignored when the slot is outside 0..321 or holds another
    // type. Return whether the value was stored.
    bool setInt(int slot, short v);
    bool setReal(int slot, double v);
    bool setString(int slot, std::string v);
    bool setPoint(int slot, const ZcGePoint3d& v);

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const { return WriteSetupDwg(slots_, w); }
    FilingStatus fileInDwg(SettingsDwgReader& r) { return ReadSetupDwg(slots_, r); }
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const { return WriteSetupDxf(slots_, w); }
    // A short or damaged record is read with its missing slots at their
    // defaults and reported once on the command line.
    FilingStatus fileInDxf(SettingsDxfReader& r);

    const SetupSlots& slots() const { return slots_; }
    SetupSlots& slots() { return slots_; }

private:
    const AA_VARIABILE* slot(int i) const;
    AA_VARIABILE* slot(int i);

    SetupSlots slots_;
};

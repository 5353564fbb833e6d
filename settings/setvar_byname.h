// Settings variables by name: the command VELMSETVAR and the LISP functions
// "velmsetvar" and "velmgetvar". Besides the 322 variable names they accept
// the pseudo-variables "scale$<key>" (an entry of a print-scale record),
// 10001 to 10005 (bits 1 to 5 of CALC_INT_SEZ) and, for "velmsetvar" only,
// "$LIBOPT$" (adds a library folder).
//
// Everything these operations need of the drawing and the command line goes
// through SettingsByNameHost, so the rules (which kinds a variable accepts,
// which messages are printed) are independent of how the stores are opened.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "host/util/resbuf.h"
#include "store/fscala.h"
#include "store/velm_libobjopt.h"
#include "store/velm_setup.h"

class SettingsByNameHost {
public:
    virtual ~SettingsByNameHost() = default;
    // The drawing's records, opened on first call and kept open until the
    // operation ends; null when they cannot be opened. Opening for write
    // records undo.
    virtual VELM_SETUP* openSetup(bool forWrite) = 0;
    virtual VELM_FSCALA* openFScala() = 0;
    virtual VELM_LIBOBJOPT* openLibObjOpt() = 0;
    // Command-line output and input.
    virtual void print(const std::string& text) = 0;
    // A prompt for a text (spaces allowed or not); the host status (RTNORM …).
    virtual int getString(bool allowSpaces, const std::string& prompt, std::string& answer) = 0;
    // A real in the drawing's current linear units and precision.
    virtual std::string formatReal(double value) = 0;
};

// Kinds: the settings type codes and the result-buffer codes of the same kinds.
enum : int { kKindInt = 1070, kKindReal = 1040, kKindText = 1000 };

// "INTEGER", "REAL", "TEXT" for the kinds and result-buffer codes, else "UNKNOWN".
const char* KindLabel(int kind);

// A decimal integer read as "%d" reads it: leading blanks, a sign, digits;
// what follows is ignored. Empty when no digit is there or it overflows.
std::optional<int> ReadDecimalInt(std::string_view s);
// A real read as "%lf" reads it, with '.' as the decimal point whatever the
// locale; empty when none is there or it is not finite.
std::optional<double> ReadDecimalReal(std::string_view s);

// The pseudo-variable N of 10001..10005 that a name reads as, if any.
std::optional<int> CalcBitPseudoVariable(std::string_view name);
bool IsScaleName(std::string_view name);   // begins like "SCALE$", any case
bool IsLibOptName(std::string_view name);  // begins like "$LIBOPT$", any case

// Stores `text`, `integer` or `real` into a variable by the rules of the
// by-name access, given the kind of the value. Returns the two labels, the
// variable's first; the value was stored when they are equal.
std::pair<std::string, std::string> AssignByKind(AA_VARIABILE& var, int kind, const std::string& text,
                                                 int integer, double real);

// The value of a variable by name: the kind delivered (1000, 1040, 1070) with
// the value in `text`, `real` or `integer`; -1 for an unknown name, a point
// variable or a missing scale entry; -5001 when the store cannot be opened.
int GetVarByName(SettingsByNameHost& host, const std::string& name, int index, std::string& text,
                 int& integer, double& real);
// Stores a value given as `kind` into the variable of that name.
void SetVarFromText(SettingsByNameHost& host, int kind, const std::string& name, const std::string& text,
                    int integer, double real);
// (velmsetvar scale$<key> <index> <value>): true when stored.
bool SetScaleFactorFromArgs(SettingsByNameHost& host, const resbuf* args);

// The command VELMSETVAR.
void VELMSETVAR(SettingsByNameHost& host);

// The value a LISP function returns: nil, an integer, a real or a string.
using LispValue = std::variant<std::monostate, short, double, std::string>;
struct LispResult {
    int status = RTNORM;  // RTNORM or RTERROR
    LispValue value;
};
// (velmsetvar <name> <value>) and (velmsetvar scale$<key> <index> <value>).
LispResult VelmSetVarLisp(SettingsByNameHost& host, const resbuf* args);
// (velmgetvar <name>) and (velmgetvar scale$<key> <index>).
LispResult VelmGetVarLisp(SettingsByNameHost& host, const resbuf* args);

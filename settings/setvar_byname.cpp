// Settings by name (see the header). Names are looked up from slot 0 up;
// a name that is no variable may still be a pseudo-variable. No path stores
// anything when the value's kind does not fit the variable.
#include "settings/setvar_byname.h"

#include <climits>
#include <cmath>

#include "core/base/velm_assert.h"
#include "host/win/textutil.h"
#include "store/settings_text.h"

namespace {

const char* const kMsgUnknownName = "\nNie istnieje zmienna o tej nazwie ";
const char* const kMsgScaleGet =
    "\nWspółczynnik skali nie istnieje lub wkaźnik jest nieprawidłowy: (velmgetvar scale$<sfactor> <0..9>)";
const char* const kMsgScaleSet =
    "\nWspółczynnik skali nie istnieje, wskaźnik lub wartość jest "
    "nieprawidłowa:(velmsetvar scale$<sfactor> <0..9> <value>)";
const char* const kMsgSetVarArgs =
    "\nFunkcja nie ma wystarczających parametrów:(velmsetvar <name> <value>) or "
    "(velmsetvar scale$<sfactor> <0..9> <value>)";
const char* const kMsgSetVarFirst =
    "\nPierwszy parametr musi być tekstem:(velmsetvar <name> <value>) or "
    "(velmsetvar scale$<sfactor> <0..9> <value>";
const char* const kMsgGetVarArgs =
    "\nFunkcja nie ma wystarczających parametrów:(velmgetvar <name>) or (velmgetvar scale$<sfactor> <0..9>)";
const char* const kMsgGetVarFirst =
    "\nArgument musi być tekstem:(velmgetvar <name>) or (velmgetvar scale$<sfactor> <0..9>)";

bool isIntKind(int k) {
    return k == kKindInt || k == RTSHORT;
}
bool isRealKind(int k) {
    return k == kKindReal || k == RTREAL;
}
bool isTextKind(int k) {
    return k == kKindText || k == RTSTR;
}

bool startsLike(std::string_view name, std::string_view pattern) {
    return name.size() >= 5 && SameNameIgnoringCase(name.substr(0, 5), pattern.substr(0, 5));
}

// The key of a "scale$<key>" name: the number after its first six characters.
std::optional<int> scaleKeyOf(std::string_view name) {
    if (name.size() < 6) return std::nullopt;
    return ReadDecimalInt(name.substr(6));
}

bool accessScale(SettingsByNameHost& host, int key, int index, double& value, bool set) {
    VELM_FSCALA* f = host.openFScala();
    if (!f) {
        value = 0.0;
        return false;
    }
    return AccessScaleEntry(f->scales, key, index, value, set);
}

const char* variableLabel(const AA_VARIABILE& v) {
    // A point has no kind of its own among the given values, so its label
    // never matches one and nothing is ever assigned to it by name.
    return v.asPoint() ? "POINT" : KindLabel(v.typeCode());
}

std::string typeMessage(const std::string& varLabel, const std::string& givenLabel) {
    return "\nZmienna jest typu " + varLabel + " i nie może być przypisana do rodzaju " + givenLabel;
}

// Sets or clears bit (n - 10000) of CALC_INT_SEZ; false when the store is not
// there. A slot that holds no integer is left alone.
bool setCalcBit(SettingsByNameHost& host, int n, bool on) {
    VELM_ASSERT(n > 10000 && n - 10000 < 16);  // a bit of the 16-bit slot
    VELM_SETUP* s = host.openSetup(true);
    if (!s) return false;
    if (short* bits = s->slots()[SetupVar::CALC_INT_SEZ].asInt()) {
        const int mask = 1 << (n - 10000);
        *bits = static_cast<short>(on ? (*bits | mask) : (*bits & ~mask));
    }
    return true;
}

}  // namespace

const char* KindLabel(int kind) {
    if (isIntKind(kind)) return "INTEGER";
    if (isRealKind(kind)) return "REAL";
    if (isTextKind(kind)) return "TEXT";
    return "UNKNOWN";
}

std::optional<int> ReadDecimalInt(std::string_view s) {
    std::optional<long long> v = host::parseIntegerPrefix(s);
    if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<double> ReadDecimalReal(std::string_view s) {
    std::optional<double> v = host::parseDoublePrefix(s);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

std::optional<int> CalcBitPseudoVariable(std::string_view name) {
    std::optional<int> n = ReadDecimalInt(name);
    if (n && *n >= 10001 && *n <= 10005) return n;
    return std::nullopt;
}

bool IsScaleName(std::string_view name) {
    return startsLike(name, "SCALE$");
}
bool IsLibOptName(std::string_view name) {
    return startsLike(name, "$LIBOPT$");
}

std::pair<std::string, std::string> AssignByKind(AA_VARIABILE& var, int kind, const std::string& text,
                                                 int integer, double real) {
    std::string varLabel = variableLabel(var);
    std::string givenLabel = KindLabel(kind);
    if (short* v = var.asInt()) {
        if (isIntKind(kind)) *v = static_cast<short>(integer);  // the low 16 bits
    } else if (double* v = var.asReal()) {
        if (isIntKind(kind)) {
            givenLabel = "REAL";
            *v = integer;
        } else if (isRealKind(kind)) {
            *v = real;
        }
    } else if (std::string* v = var.asText()) {
        if (isTextKind(kind)) *v = text;
    }
    return {varLabel, givenLabel};
}

int GetVarByName(SettingsByNameHost& host, const std::string& name, int index, std::string& text,
                 int& integer, double& real) {
    text.clear();
    integer = 0;
    real = 0.0;
    if (IsScaleName(name)) {
        std::optional<int> key = scaleKeyOf(name);
        if (!key || !accessScale(host, *key, index, real, false)) {
            host.print(kMsgScaleGet);
            return -1;
        }
        return kKindReal;
    }
    int slot = FindSetupVarSlot(name);
    if (slot < 0) {
        if (std::optional<int> n = CalcBitPseudoVariable(name)) {
            const VELM_SETUP* s = host.openSetup(false);
            const short* bits = s ? s->slots()[SetupVar::CALC_INT_SEZ].asInt() : nullptr;
            if (!bits) return -1;
            integer = (*bits >> (*n - 10000)) & 1;
            return kKindInt;
        }
        host.print(kMsgUnknownName + name);
        return -1;
    }
    const VELM_SETUP* s = host.openSetup(false);
    if (!s) return RTERROR;
    VELM_ASSERT(slot < kSetupVarCount);
    const AA_VARIABILE& v = s->slots()[slot];
    if (const std::string* t = v.asText()) {
        text = *t;
        return kKindText;
    }
    if (const double* r = v.asReal()) {
        real = *r;
        return kKindReal;
    }
    if (const short* i = v.asInt()) {
        integer = *i;
        return kKindInt;
    }
    return -1;
}

void SetVarFromText(SettingsByNameHost& host, int kind, const std::string& name, const std::string& text,
                    int integer, double real) {
    int slot = FindSetupVarSlot(name);
    if (slot < 0) {
        std::optional<int> n = CalcBitPseudoVariable(name);
        if (n && isIntKind(kind))
            setCalcBit(host, *n, integer > 0);
        else
            host.print(kMsgUnknownName + name);
        return;
    }
    VELM_SETUP* s = host.openSetup(true);
    if (!s) return;
    VELM_ASSERT(slot < kSetupVarCount);
    auto [varLabel, givenLabel] = AssignByKind(s->slots()[slot], kind, text, integer, real);
    if (varLabel != givenLabel) host.print(typeMessage(varLabel, givenLabel));
}

bool SetScaleFactorFromArgs(SettingsByNameHost& host, const resbuf* args) {
    if (!args || args->restype != RTSTR || !args->resval.rstring) return false;
    std::optional<int> key = scaleKeyOf(args->resval.rstring);
    const resbuf* indexArg = args->rbnext;
    if (!key || !indexArg || indexArg->restype != RTSHORT) return false;
    const resbuf* valueArg = indexArg->rbnext;
    double value = 0;
    if (valueArg && valueArg->restype == RTSHORT)
        value = valueArg->resval.rint;
    else if (valueArg && valueArg->restype == RTREAL)
        value = valueArg->resval.rreal;
    else
        return false;
    return accessScale(host, *key, indexArg->resval.rint, value, true);
}

void VELMSETVAR(SettingsByNameHost& host) {
    std::string name;
    if (host.getString(false, "\nNazwa zmiennej:", name) != RTNORM) return;
    std::string text;
    int integer = 0;
    double real = 0;
    int kind = GetVarByName(host, name, -1, text, integer, real);
    if (kind < 0) return;
    std::string current;
    if (isIntKind(kind))
        current = std::to_string(integer);
    else if (isRealKind(kind))
        current = host.formatReal(real);
    else if (isTextKind(kind))
        current = text;
    else
        return;
    std::string answer;
    if (host.getString(true, "\nNowa wartość dla zmiennej " + name + " <" + current + ">:", answer) !=
            RTNORM ||
        answer.empty())
        return;
    bool read = true;
    if (isIntKind(kind)) {
        std::optional<int> v = ReadDecimalInt(answer);
        read = v.has_value();
        integer = v.value_or(0);
    } else if (isRealKind(kind)) {
        std::optional<double> v = ReadDecimalReal(answer);
        read = v.has_value();
        real = v.value_or(0.0);
    }
    if (!read) {
        host.print("\nWartość <" + answer + "> nie jest prawidłową wartością dla zmiennej <" + name + ">:");
        return;
    }
    SetVarFromText(host, kind, name, answer, integer, real);
}

LispResult VelmSetVarLisp(SettingsByNameHost& host, const resbuf* args) {
    if (!args || !args->rbnext) {
        host.print(kMsgSetVarArgs);
        return {RTERROR, {}};
    }
    if (args->restype != RTSTR || !args->resval.rstring) {
        host.print(kMsgSetVarFirst);
        return {RTERROR, {}};
    }
    const std::string name = args->resval.rstring;
    const resbuf* value = args->rbnext;
    if (IsLibOptName(name)) {
        if (value->restype == RTSTR && value->resval.rstring)
            if (VELM_LIBOBJOPT* lib = host.openLibObjOpt()) lib->AddFolderOnce(value->resval.rstring);
        return {RTNORM, {}};
    }
    if (IsScaleName(name)) {
        if (!SetScaleFactorFromArgs(host, args)) host.print(kMsgScaleSet);
        return {RTNORM, {}};
    }
    int slot = FindSetupVarSlot(name);
    if (slot < 0) {
        std::optional<int> n = CalcBitPseudoVariable(name);
        if (n && value->restype == RTSHORT)
            return {setCalcBit(host, *n, value->resval.rint > 0) ? RTNORM : RTERROR, {}};
        host.print(kMsgUnknownName + name);
        return {RTERROR, {}};
    }
    VELM_SETUP* s = host.openSetup(true);
    if (!s) return {RTERROR, {}};
    std::string text;
    int integer = 0;
    double real = 0;
    if (value->restype == RTSHORT)
        integer = value->resval.rint;
    else if (value->restype == RTREAL)
        real = value->resval.rreal;
    else if (value->restype == RTSTR && value->resval.rstring)
        text = value->resval.rstring;
    VELM_ASSERT(slot < kSetupVarCount);
    auto [varLabel, givenLabel] = AssignByKind(s->slots()[slot], value->restype, text, integer, real);
    if (varLabel != givenLabel) {
        host.print(typeMessage(varLabel, givenLabel));
        return {RTERROR, {}};
    }
    return {RTNORM, {}};
}

LispResult VelmGetVarLisp(SettingsByNameHost& host, const resbuf* args) {
    if (!args) {
        host.print(kMsgGetVarArgs);
        return {RTERROR, {}};
    }
    if (args->restype != RTSTR || !args->resval.rstring) {
        host.print(kMsgGetVarFirst);
        return {RTERROR, {}};
    }
    const std::string name = args->resval.rstring;
    std::string text;
    int integer = 0;
    double real = 0;
    if (IsScaleName(name)) {
        const resbuf* indexArg = args->rbnext;
        int index = indexArg && indexArg->restype == RTSHORT ? indexArg->resval.rint : -1;
        if (GetVarByName(host, name, index, text, integer, real) == kKindReal) return {RTNORM, real};
        return {RTNORM, {}};
    }
    switch (GetVarByName(host, name, -1, text, integer, real)) {
        case kKindText:
            return {RTNORM, text};
        case kKindReal:
            return {RTNORM, real};
        case kKindInt:
            return {RTNORM, static_cast<short>(integer)};
        case RTERROR:
            return {RTERROR, {}};
        default:
            return {RTNORM, {}};
    }
}

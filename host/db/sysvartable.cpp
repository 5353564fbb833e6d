// The variable table is built once; lookups go through a hash map keyed by
// the upper-case name.
#include "host/db/sysvartable.h"

#include <optional>
#include <unordered_map>

#include "host/win/textutil.h"

namespace {

using host::SysVarDef;
using host::SysVarScope;
using host::SysVarValue;

constexpr auto D = SysVarScope::Drawing;
constexpr auto S = SysVarScope::Session;
constexpr int kShortMin = -32768;
constexpr int kShortMax = 32767;

SysVarDef shortVar(const char* n, short def, SysVarScope sc, int lo = kShortMin, int hi = kShortMax,
                   bool ro = false) {
    return {n, RTSHORT, SysVarValue{def}, ro, sc, lo, hi};
}
SysVarDef realVar(const char* n, double def, SysVarScope sc, bool ro = false) {
    return {n, RTREAL, SysVarValue{def}, ro, sc, 0, 0};
}
SysVarDef textVar(const char* n, const char* def, SysVarScope sc, bool ro = false) {
    return {n, RTSTR, SysVarValue{std::string(def)}, ro, sc, 0, 0};
}
SysVarDef pointVar(const char* n, ZcGePoint3d def, SysVarScope sc, bool ro = false, short type = RT3DPOINT) {
    return {n, type, SysVarValue{def}, ro, sc, 0, 0};
}

std::vector<SysVarDef> buildTable() {
    std::vector<SysVarDef> t = {
        realVar("ANGBASE", 0.0, D),
        shortVar("ANGDIR", 0, D, 0, 1),
        shortVar("APERTURE", 10, S, 1, 50),
        shortVar("ATTDIA", 0, S, 0, 1),
        shortVar("ATTREQ", 1, S, 0, 1),
        shortVar("AUNITS", 0, D, 0, 4),
        shortVar("AUPREC", 0, D, 0, 8),
        textVar("CECOLOR", "BYLAYER", D),
        textVar("CELTYPE", "BYLAYER", D),
        textVar("CLAYER", "0", D),
        shortVar("CMDDIA", 1, S, 0, 1),
        shortVar("CMDECHO", 1, S, 0, 1),
        textVar("CMDNAMES", "", S, true),
        shortVar("COORDS", 1, S, 0, 3),
        shortVar("CVPORT", 2, D, 1, kShortMax),
        shortVar("DIMDEC", 4, D, 0, 8),
        realVar("DIMLFAC", 1.0, D),
        realVar("DIMSCALE", 1.0, D),
        textVar("DIMSTYLE", "STANDARD", D, true),
        realVar("DIMTXT", 2.5, D),
        shortVar("DIMZIN", 8, D, 0, 15),
        textVar("DWGNAME", "Drawing1.dwg", S, true),
        textVar("DWGPREFIX", "", S, true),
        realVar("ELEVATION", 0.0, D),
        shortVar("ERRNO", 0, S),
        shortVar("EXPERT", 0, S, 0, 5),
        pointVar("EXTMAX", {-1e20, -1e20, -1e20}, D, true),
        pointVar("EXTMIN", {1e20, 1e20, 1e20}, D, true),
        shortVar("FILEDIA", 1, S, 0, 1),
        // The unit of the drawing's lengths (0 none, 1 inches, 4 mm, 5 cm, 6 m …)
        // and its measurement system (0 imperial, 1 metric), for other programs.
        shortVar("INSUNITS", 0, D, 0, 24),
        pointVar("LASTPOINT", {0, 0, 0}, S),
        realVar("LENSLENGTH", 50.0, D, true),
        shortVar("LUNITS", 2, D, 1, 5),
        shortVar("LUPREC", 4, D, 0, 8),
        shortVar("MEASUREMENT", 1, D, 0, 1),
        shortVar("ORTHOMODE", 0, D, 0, 1),
        shortVar("OSMODE", 4133, S, 0, 32767),
        shortVar("PICKADD", 1, S, 0, 2),
        shortVar("PICKFIRST", 1, S, 0, 1),
        shortVar("REGENMODE", 1, D, 0, 1),
        shortVar("SHADEMODE", 0, D, 0, 6),
        realVar("SNAPANG", 0.0, D),
        pointVar("SNAPBASE", {0, 0, 0}, D, false, RTPOINT),
        shortVar("SNAPMODE", 0, D, 0, 1),
        pointVar("TARGET", {0, 0, 0}, D, true),
        realVar("TEXTSIZE", 2.5, D),
        textVar("TEXTSTYLE", "STANDARD", D),
        realVar("THICKNESS", 0.0, D),
        shortVar("TILEMODE", 1, D, 0, 1),
        shortVar("UCSORTHO", 1, S, 0, 1),
        pointVar("VIEWCTR", {0, 0, 0}, D, true),
        pointVar("VIEWDIR", {0, 0, 1}, D, true),
        shortVar("VIEWMODE", 0, D, 0, kShortMax, true),
        realVar("VIEWSIZE", 297.0, D, true),
    };
    static const char* const userR[] = {"USERR1", "USERR2", "USERR3", "USERR4", "USERR5"};
    static const char* const userI[] = {"USERI1", "USERI2", "USERI3", "USERI4", "USERI5"};
    static const char* const userS[] = {"USERS1", "USERS2", "USERS3", "USERS4", "USERS5"};
    for (int i = 0; i < 5; ++i) {
        t.push_back(realVar(userR[i], 0.0, D));
        t.push_back(shortVar(userI[i], 0, D));
        t.push_back(textVar(userS[i], "", S));
    }
    return t;
}

struct Table {
    std::vector<SysVarDef> defs = buildTable();
    std::unordered_map<std::string, size_t> index;

    Table() {
        for (size_t i = 0; i < defs.size(); ++i) index.emplace(defs[i].name, i);
    }
};

const Table& table() {
    static const Table t;
    return t;
}

}  // namespace

namespace host {

const std::vector<SysVarDef>& sysVarTable() {
    return table().defs;
}

const SysVarDef* findSysVar(const std::string& name) {
    const Table& t = table();
    // The host's own reads name variables in capitals: found as they are.
    auto it = t.index.find(name);
    if (it == t.index.end()) it = t.index.find(host::toUpper(name));
    return it == t.index.end() ? nullptr : &t.defs[it->second];
}

bool isHeaderAngle(std::string_view name) {
    return name == "ANGBASE" || name == "SNAPANG";
}

short colorNumberOf(std::string_view text) {
    const std::string t = host::toUpper(std::string(text));
    if (t == "BYLAYER") return 256;
    if (t == "BYBLOCK") return 0;
    static const char* const kNames[] = {"RED", "YELLOW", "GREEN", "CYAN", "BLUE", "MAGENTA", "WHITE"};
    for (short i = 0; i < 7; ++i)
        if (t == kNames[i]) return static_cast<short>(i + 1);
    if (std::optional<long long> n = host::parseInteger(t); n && *n >= 1 && *n <= 255)
        return static_cast<short>(*n);
    return 256;
}

std::string colorTextOf(long long number) {
    if (number == 0) return "BYBLOCK";
    if (number >= 1 && number <= 255) return std::to_string(number);
    return "BYLAYER";
}

const SysVarValue* MemorySysVarStore::find(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

void MemorySysVarStore::store(const std::string& name, const SysVarValue& value) {
    values_[name] = value;
}

}  // namespace host

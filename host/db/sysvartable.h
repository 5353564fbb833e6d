// The system variables' table (names, types, defaults, read-only flags,
// ranges, scope) and the store of one drawing's variables. The drawing's
// header is read and written through them; reading and setting a variable
// is the classic interface's (host/ads/sysvars.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/ge/gebase.h"
#include "host/util/adscodes.h"

namespace host {

using SysVarValue = std::variant<short, double, std::string, ZcGePoint3d, std::int32_t>;

enum class SysVarScope { Drawing, Session };

struct SysVarDef {
    const char* name;
    short type;  // RTSHORT, RTREAL, RTSTR, RT3DPOINT (RTPOINT: a 2D point), RTLONG
    SysVarValue defaultValue;
    bool readOnly;
    SysVarScope scope;
    int minValue;  // shorts and longs only
    int maxValue;
};

// The whole table in a stable order.
const std::vector<SysVarDef>& sysVarTable();
const SysVarDef* findSysVar(const std::string& name);

// The drawing variables the file keeps as angles: radians here, degrees
// under group 50 in the file.
bool isHeaderAngle(std::string_view name);
// CECOLOR's text ("BYLAYER", "BYBLOCK", a colour number 1-255 or the name of
// one of the seven first colours, case ignored) as the number the file keeps
// it by: 256 by layer, 0 by block; 256 for a text that names no colour.
short colorNumberOf(std::string_view text);
// The text of CECOLOR for a colour number of the file: "BYLAYER" for 256,
// "BYBLOCK" for 0, else the number; "BYLAYER" for one out of range.
std::string colorTextOf(long long number);

// Storage of the drawing variables of one document.
class SysVarStore {
public:
    virtual ~SysVarStore() = default;
    virtual const SysVarValue* find(const std::string& name) const = 0;
    virtual void store(const std::string& name, const SysVarValue& value) = 0;
};

class MemorySysVarStore : public SysVarStore {
public:
    const SysVarValue* find(const std::string& name) const override;
    void store(const std::string& name, const SysVarValue& value) override;

private:
    std::map<std::string, SysVarValue> values_;
};

}  // namespace host

// The system variables' table (names, types, defaults, read-only flags,
// ranges, scope) and the store of one drawing's variables. The drawing's
// header is read and written through them; reading and setting a variable
// is the classic interface's (host/ads/sysvars.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
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

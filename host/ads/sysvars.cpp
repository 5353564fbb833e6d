// The variable table is built once; lookups go through a hash map keyed by
// the upper-case name. Values of session variables live in one map; drawing
// variables in the current document's store, defaulting to the table.
#include "host/ads/sysvars.h"

#include <cstring>
#include <unordered_map>

#include "host/ads/adstext.h"
#include "host/ads/editor.h"
#include "host/db/dbdatabase.h"

namespace {

using host::SysVarDef;
using host::SysVarScope;
using host::SysVarValue;

struct Registry {
    std::map<std::string, SysVarValue> session;
    host::MemorySysVarStore fallback;
    std::function<host::SysVarStore*()> provider;
};

Registry& registry() {
    static Registry r;
    return r;
}

host::SysVarStore& drawingStore() {
    Registry& r = registry();
    if (r.provider)
        if (host::SysVarStore* s = r.provider()) return *s;
    return r.fallback;
}

std::vector<std::function<void(const std::string&)>>& readHooks() {
    static std::vector<std::function<void(const std::string&)>> hooks;
    return hooks;
}

const SysVarValue& currentValue(const SysVarDef& def) {
    Registry& r = registry();
    // Computed variables are refreshed by their owner just before a read.
    for (const auto& hook : readHooks()) hook(def.name);
    if (def.scope == SysVarScope::Session) {
        auto it = r.session.find(def.name);
        return it != r.session.end() ? it->second : def.defaultValue;
    }
    const SysVarValue* v = drawingStore().find(def.name);
    return v ? *v : def.defaultValue;
}

void storeValue(const SysVarDef& def, const SysVarValue& v) {
    if (def.scope == SysVarScope::Session)
        registry().session[def.name] = v;
    else
        drawingStore().store(def.name, v);
}

void fillResbuf(const SysVarDef& def, const SysVarValue& v, resbuf* rb) {
    rb->restype = def.type;
    if (auto* s = std::get_if<short>(&v))
        rb->resval.rint = *s;
    else if (auto* d = std::get_if<double>(&v))
        rb->resval.rreal = *d;
    else if (auto* l = std::get_if<std::int32_t>(&v))
        rb->resval.rlong = *l;
    else if (auto* p = std::get_if<ZcGePoint3d>(&v)) {
        rb->resval.rpoint[0] = p->x;
        rb->resval.rpoint[1] = p->y;
        rb->resval.rpoint[2] = def.type == RTPOINT ? 0.0 : p->z;
    } else {
        const std::string& s = std::get<std::string>(v);
        rb->resval.rstring = new char[s.size() + 1];
        std::memcpy(rb->resval.rstring, s.c_str(), s.size() + 1);
    }
}

// Converts what a caller gives into the variable's type; false when the
// type does not fit or a number is out of the variable's range.
bool convert(const SysVarDef& def, const resbuf* rb, SysVarValue& out) {
    switch (def.type) {
        case RTSHORT:
        case RTLONG: {
            long long v;
            if (rb->restype == RTSHORT)
                v = rb->resval.rint;
            else if (rb->restype == RTLONG)
                v = rb->resval.rlong;
            else
                return false;
            if (v < def.minValue || v > def.maxValue) return false;
            if (def.type == RTSHORT)
                out.emplace<short>(static_cast<short>(v));
            else
                out.emplace<std::int32_t>(static_cast<std::int32_t>(v));
            return true;
        }
        case RTREAL:
            if (rb->restype == RTREAL || rb->restype == RTANG || rb->restype == RTORINT)
                out.emplace<double>(rb->resval.rreal);
            else if (rb->restype == RTSHORT)
                out.emplace<double>(rb->resval.rint);
            else if (rb->restype == RTLONG)
                out.emplace<double>(rb->resval.rlong);
            else
                return false;
            return true;
        case RTSTR:
            if (rb->restype != RTSTR) return false;
            out.emplace<std::string>(rb->resval.rstring ? rb->resval.rstring : "");
            return true;
        case RTPOINT:
        case RT3DPOINT:
            if (rb->restype != RTPOINT && rb->restype != RT3DPOINT) return false;
            out.emplace<ZcGePoint3d>(
                rb->resval.rpoint[0], rb->resval.rpoint[1],
                def.type == RTPOINT || rb->restype == RTPOINT ? 0.0 : rb->resval.rpoint[2]);
            return true;
        default:
            return false;
    }
}

bool sameKind(const SysVarDef& def, const SysVarValue& v) {
    return v.index() == def.defaultValue.index();
}

void notifyAndStore(const SysVarDef& def, const SysVarValue& v, bool notify) {
    if (notify) host::editorNotifySysVarWillChange(def.name);
    storeValue(def, v);
    if (notify) host::editorNotifySysVarChanged(def.name, true);
}

}  // namespace

int zcedGetVar(const char* name, resbuf* result) {
    if (!name || !result) return RTERROR;
    const SysVarDef* def = host::findSysVar(name);
    if (!def) return RTERROR;
    fillResbuf(*def, currentValue(*def), result);
    return RTNORM;
}

int zcedSetVar(const char* name, const resbuf* value) {
    if (!name || !value) return RTERROR;
    const SysVarDef* def = host::findSysVar(name);
    if (!def || def->readOnly) return RTERROR;
    SysVarValue v;
    if (!convert(*def, value, v)) return RTREJ;
    // The current layer is the drawing's, where new entities go, not only
    // the variable's text: a layer the drawing lacks is refused, as the
    // platform does.
    if (std::strcmp(def->name, "CLAYER") == 0) {
        if (ZcDbDatabase* db = zcdbCurDwg()) {
            const ZcDbObjectId id = db->recordId(db->layerTableId(), std::get<std::string>(v));
            if (id.isNull() || db->setClayer(id) != Zcad::eOk) return RTERROR;
        }
    }
    notifyAndStore(*def, v, true);
    return RTNORM;
}

void zcutDelString(char*& s) {
    delete[] s;
    s = nullptr;
}

namespace host {

void addSysVarReadHook(std::function<void(const std::string&)> hook) {
    readHooks().push_back(std::move(hook));
}

void setDrawingSysVarStoreProvider(std::function<SysVarStore*()> provider) {
    registry().provider = std::move(provider);
}

std::optional<SysVarValue> getSysVar(const std::string& name) {
    const SysVarDef* def = findSysVar(name);
    if (!def) return std::nullopt;
    return currentValue(*def);
}

bool setSysVar(const std::string& name, const SysVarValue& value, bool notify) {
    const SysVarDef* def = findSysVar(name);
    if (!def || !sameKind(*def, value)) return false;
    notifyAndStore(*def, value, notify);
    return true;
}

short sysVarShort(const std::string& name) {
    auto v = getSysVar(name);
    if (v && std::holds_alternative<short>(*v)) return std::get<short>(*v);
    return 0;
}

double sysVarReal(const std::string& name) {
    auto v = getSysVar(name);
    if (v && std::holds_alternative<double>(*v)) return std::get<double>(*v);
    return 0.0;
}

std::string sysVarString(const std::string& name) {
    auto v = getSysVar(name);
    if (v && std::holds_alternative<std::string>(*v)) return std::get<std::string>(*v);
    return {};
}

ZcGePoint3d sysVarPoint(const std::string& name) {
    auto v = getSysVar(name);
    if (v && std::holds_alternative<ZcGePoint3d>(*v)) return std::get<ZcGePoint3d>(*v);
    return {};
}

void resetSessionSysVars() {
    registry().session.clear();
    registry().fallback = MemorySysVarStore();
}

}  // namespace host

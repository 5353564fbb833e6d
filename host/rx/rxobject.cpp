// Runtime classes, the class dictionary and the system registry.
// The class dictionary is created on first use and immediately filled with
// the platform's own classes, so that a module registering "AcDbObject"
// children always finds its parents.
#include "host/rx/rxobject.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>

void zcdbInitClasses();  // host/db: registers the database classes

namespace {

ZcRxDictionary* rawClassDictionary() {
    static ZcRxDictionary* dict = [] {
        auto* d = new ZcRxDictionary;  // lives for the process
        zcrxSysRegistry()->atPut("ClassDictionary", d);
        return d;
    }();
    return dict;
}

std::vector<std::unique_ptr<ZcRxClass>>& hostClasses() {
    static std::vector<std::unique_ptr<ZcRxClass>> v;
    return v;
}

}  // namespace

ZcRxDictionary* zcrxSysRegistry() {
    static ZcRxDictionary registry;
    return &registry;
}

ZcRxDictionary* zcrxClassDictionaryPtr() {
    static bool started = false;
    ZcRxDictionary* dict = rawClassDictionary();
    if (!started) {
        started = true;
        zcdbInitClasses();
    }
    return dict;
}

ZcRxClass* zcrxFindClass(std::string_view name) {
    return static_cast<ZcRxClass*>(zcrxClassDictionaryPtr()->at(name));
}

ZcRxClass* zcrxFindClassByDxfName(std::string_view dxfName) {
    // Few classes (tens), looked up once per object read or made: a scan is
    // enough, the first letter telling most apart before the names are
    // measured and compared.
    ZcRxDictionary* dict = zcrxClassDictionaryPtr();
    for (const auto& [key, obj] : dict->entries()) {
        auto* cls = static_cast<ZcRxClass*>(obj);
        if (!cls || (!dxfName.empty() && cls->dxfName()[0] != dxfName.front())) continue;
        // Several classes may share a DXF name (the dimension kinds): the
        // first in name order answers; zcdbClassForDxf chooses better.
        if (dxfName == cls->dxfName() && cls->constructor()) return cls;
    }
    return nullptr;
}

ZcRxClass* newZcRxClass(const char* className, const char* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags, ZcRxPseudoConstructor create,
                        const char* dxfName, const char* appName) {
    if (!className || !*className) return nullptr;
    if (ZcRxClass* existing = zcrxFindClass(className)) return existing;
    std::string parentName = parentClassName ? parentClassName : "";
    ZcRxClass* parent = parentName.empty() ? ZcRxObject::desc() : zcrxFindClass(parentName);
    auto* cls = new ZcRxClass(className, parent, parentName, dwgVersion, maintenanceVersion, proxyFlags,
                              create, dxfName ? dxfName : "", appName ? appName : "");
    zcrxClassDictionaryPtr()->atPut(className, cls);
    return cls;
}

ZcRxClass* newZcRxClass(const char* className, const char* parentClassName, ZcRxPseudoConstructor create) {
    return newZcRxClass(className, parentClassName, 0, 0, 0, create, "", "");
}

void deleteZcRxClass(ZcRxClass* cls) {
    if (!cls) return;
    for (const auto& owned : hostClasses())
        if (owned.get() == cls) return;  // the platform's own classes stay
    ZcRxDictionary* dict = zcrxClassDictionaryPtr();
    if (dict->at(cls->name()) == cls) dict->remove(cls->name());
    // Children registered under the deleted class lose their parent link.
    for (const std::string& key : dict->keys()) {
        auto* other = static_cast<ZcRxClass*>(dict->at(key));
        if (other && other->myParent() == cls) other->setParent(nullptr);
    }
    delete cls;
}

void zcrxBuildClassHierarchy() {
    ZcRxDictionary* dict = zcrxClassDictionaryPtr();
    for (const std::string& key : dict->keys()) {
        auto* cls = static_cast<ZcRxClass*>(dict->at(key));
        if (cls && !cls->myParent() && !cls->parentName().empty())
            cls->setParent(zcrxFindClass(cls->parentName()));
    }
}

ZcRxClass* zcrxRegisterHostClass(const char* name, ZcRxClass* parent, const char* dxfName,
                                 ZcRxPseudoConstructor create) {
    ZcRxDictionary* dict = rawClassDictionary();
    if (auto* existing = static_cast<ZcRxClass*>(dict->at(name))) return existing;
    auto cls = std::make_unique<ZcRxClass>(name, parent, parent ? parent->name() : "", 0, 0, 0, create,
                                           dxfName ? dxfName : "", "");
    ZcRxClass* raw = cls.get();
    hostClasses().push_back(std::move(cls));
    dict->atPut(name, raw);
    return raw;
}

void zcrx_abort(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fflush(stdout);  // the transcript's echo first, then why it stops
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::abort();
}

// ---------------------------------------------------------------- ZcRxObject

ZcRxClass* ZcRxObject::desc() {
    static ZcRxClass* cls = zcrxRegisterHostClass("AcRxObject", nullptr, "", nullptr);
    return cls;
}

ZcRxClass* ZcRxObject::isA() const {
    return ZcRxObject::desc();
}

bool ZcRxObject::isKindOf(const ZcRxClass* cls) const {
    const ZcRxClass* mine = isA();
    return mine && cls && mine->isDerivedFrom(cls);
}

// ----------------------------------------------------------------- ZcRxClass

ZcRxClass::ZcRxClass(std::string name, ZcRxClass* parent, std::string parentName, int dwgVersion,
                     int maintenanceVersion, int proxyFlags, ZcRxPseudoConstructor create,
                     std::string dxfName, std::string appName)
    : m_name(std::move(name)),
      m_parentName(std::move(parentName)),
      m_dxfName(std::move(dxfName)),
      m_appName(std::move(appName)),
      m_parent(parent),
      m_dwgVersion(dwgVersion),
      m_maintenance(maintenanceVersion),
      m_proxyFlags(proxyFlags),
      m_create(create) {}

ZcRxClass* ZcRxClass::desc() {
    static ZcRxClass* cls = zcrxRegisterHostClass("AcRxClass", ZcRxObject::desc(), "", nullptr);
    return cls;
}

ZcRxClass* ZcRxClass::isA() const {
    return ZcRxClass::desc();
}

bool ZcRxClass::isDerivedFrom(const ZcRxClass* other) const {
    // Bounded walk: a cycle made by a bad registration cannot hang us.
    const ZcRxClass* c = this;
    for (int depth = 0; c && depth < 64; ++depth, c = c->m_parent)
        if (c == other) return true;
    return false;
}

// ------------------------------------------------------------ ZcRxDictionary

ZcRxClass* ZcRxDictionary::desc() {
    static ZcRxClass* cls = zcrxRegisterHostClass("AcRxDictionary", ZcRxObject::desc(), "", nullptr);
    return cls;
}

ZcRxClass* ZcRxDictionary::isA() const {
    return ZcRxDictionary::desc();
}

ZcRxObject* ZcRxDictionary::at(std::string_view key) const {
    auto it = m_map.find(key);
    return it == m_map.end() ? nullptr : it->second;
}

ZcRxObject* ZcRxDictionary::atPut(std::string_view key, ZcRxObject* obj) {
    auto it = m_map.find(key);
    if (it == m_map.end()) {
        m_map.emplace(std::string(key), obj);
        return nullptr;
    }
    ZcRxObject* old = it->second;
    it->second = obj;
    return old;
}

ZcRxObject* ZcRxDictionary::remove(std::string_view key) {
    auto it = m_map.find(key);
    if (it == m_map.end()) return nullptr;
    ZcRxObject* old = it->second;
    m_map.erase(it);
    return old;
}

std::vector<std::string> ZcRxDictionary::keys() const {
    std::vector<std::string> out;
    out.reserve(m_map.size());
    for (const auto& [k, v] : m_map) out.push_back(k);
    return out;
}

// Runtime classes of the platform: every database object knows its class
// descriptor (ZcRxClass), which names it, its parent, its DXF name, the
// application that registered it and the pseudo-constructor that makes a new
// instance by name. Descriptors live in the "ClassDictionary", itself one
// entry of the system registry of named services ("DynamicLinker",
// "ZCAD_REGISTERED_COMMANDS", "ZcEditor" ...). Lookups are hash based.
// Limits: one registry per process; the registry does not own what it holds
// (services and module classes are owned by whoever registered them).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

class ZcRxClass;

class ZcRxObject {
public:
    virtual ~ZcRxObject() = default;
    static ZcRxClass* desc();
    static ZcRxObject* cast(const ZcRxObject* p) { return const_cast<ZcRxObject*>(p); }
    virtual ZcRxClass* isA() const;
    bool isKindOf(const ZcRxClass* cls) const;
};

// Declares the runtime-class members of a class derived from ZcRxObject.
#define ZCRX_DECLARE_MEMBERS(CLASS)                                                                \
    static ZcRxClass* desc();                                                                      \
    static CLASS* cast(const ZcRxObject* p) {                                                      \
        return (p && p->isKindOf(CLASS::desc())) ? static_cast<CLASS*>(const_cast<ZcRxObject*>(p)) \
                                                 : nullptr;                                        \
    }                                                                                              \
    ZcRxClass* isA() const override

// Defines desc()/isA() for a class registered elsewhere with newZcRxClass:
// the descriptor is looked up by name in the class dictionary.
#define ZCRX_DEFINE_MEMBERS(CLASS)    \
    ZcRxClass* CLASS::desc() {        \
        return zcrxFindClass(#CLASS); \
    }                                 \
    ZcRxClass* CLASS::isA() const {   \
        return CLASS::desc();         \
    }

using ZcRxPseudoConstructor = ZcRxObject* (*)();

class ZcRxClass : public ZcRxObject {
public:
    ZcRxClass(std::string name, ZcRxClass* parent, std::string parentName, int dwgVersion,
              int maintenanceVersion, int proxyFlags, ZcRxPseudoConstructor create, std::string dxfName,
              std::string appName);
    static ZcRxClass* desc();
    ZcRxClass* isA() const override;

    const char* name() const { return m_name.c_str(); }
    const char* dxfName() const { return m_dxfName.c_str(); }
    const char* appName() const { return m_appName.c_str(); }
    ZcRxClass* myParent() const { return m_parent; }
    const std::string& parentName() const { return m_parentName; }
    int dwgVersion(int& maintenanceVersion) const {
        maintenanceVersion = m_maintenance;
        return m_dwgVersion;
    }
    int proxyFlags() const { return m_proxyFlags; }
    bool isDerivedFrom(const ZcRxClass* other) const;
    // A new instance through the pseudo-constructor; null for abstract classes.
    ZcRxObject* create() const { return m_create ? m_create() : nullptr; }
    ZcRxPseudoConstructor constructor() const { return m_create; }
    void setParent(ZcRxClass* parent) { m_parent = parent; }

private:
    std::string m_name, m_parentName, m_dxfName, m_appName;
    ZcRxClass* m_parent;
    int m_dwgVersion, m_maintenance, m_proxyFlags;
    ZcRxPseudoConstructor m_create;
};

// A name → object map, iterated in name order. Keys are case-sensitive.
class ZcRxDictionary : public ZcRxObject {
public:
    static ZcRxClass* desc();
    ZcRxClass* isA() const override;

    ZcRxObject* at(std::string_view key) const;
    // Stores obj under key and returns what was there before (or null).
    ZcRxObject* atPut(std::string_view key, ZcRxObject* obj);
    // Removes the key and returns what it held (or null).
    ZcRxObject* remove(std::string_view key);
    bool has(std::string_view key) const { return at(key) != nullptr; }
    std::size_t numEntries() const { return m_map.size(); }
    std::vector<std::string> keys() const;
    const std::map<std::string, ZcRxObject*, std::less<>>& entries() const { return m_map; }

private:
    std::map<std::string, ZcRxObject*, std::less<>> m_map;
};

// The system registry and its class dictionary, created on first use.
ZcRxDictionary* zcrxSysRegistry();
ZcRxDictionary* zcrxClassDictionaryPtr();
#define zcrxClassDictionary (zcrxClassDictionaryPtr())

// Class dictionary helpers.
ZcRxClass* zcrxFindClass(std::string_view name);
ZcRxClass* zcrxFindClassByDxfName(std::string_view dxfName);

// Registers a new class (the module's pseudo-constructor path). When a class
// of that name exists already it is returned unchanged. The parent is looked
// up by name now, or later by zcrxBuildClassHierarchy.
ZcRxClass* newZcRxClass(const char* className, const char* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags, ZcRxPseudoConstructor create,
                        const char* dxfName, const char* appName);
ZcRxClass* newZcRxClass(const char* className, const char* parentClassName,
                        ZcRxPseudoConstructor create = nullptr);
// Removes a class made by newZcRxClass from the dictionary and frees it.
void deleteZcRxClass(ZcRxClass* cls);
// Resolves parents that were not registered when their children were.
void zcrxBuildClassHierarchy();

// Used by the platform's own classes: makes a descriptor owned by the platform.
ZcRxClass* zcrxRegisterHostClass(const char* name, ZcRxClass* parent, const char* dxfName,
                                 ZcRxPseudoConstructor create);

// Fatal stop of the module with a message (printed to standard error).
[[noreturn]] void zcrx_abort(const char* format, ...);

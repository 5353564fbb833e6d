// The drawing database's two filers seen through the settings records' own
// filing interfaces, and the filing members every named settings object of
// the drawing shares. The adapters are thin: a DWG value is one filer value,
// a DXF item is one filer item (a 1010 point is a single item), and the
// records' FilingStatus becomes the filer's status (an unknown type code is
// a filer error, eInvalidInput).
//
// VELM_SETTINGS_OBJECT_MEMBERS declares, inside a settings record that
// derives from ZcDbObject, the runtime-class members, the create function,
// registration and removal, and the four filing overrides; the record keeps
// its own fileOutDwg/fileInDwg/fileOutDxf/fileInDxf. VELM_SETTINGS_OBJECT_DEFINE
// defines them in the record's .cpp.
#pragma once

#include <string>

#include "host/db/dbfiler.h"
#include "host/db/dbobject.h"
#include "store/settings_filer.h"

class DwgFilerAdapter : public SettingsDwgWriter, public SettingsDwgReader {
public:
    explicit DwgFilerAdapter(ZcDbDwgFiler* filer) : filer_(filer) {}

    void writeInt16(short v) override;
    void writeReal(double v) override;
    void writeText(const std::string& v) override;
    void writePoint3d(const ZcGePoint3d& v) override;
    bool readInt16(short& v) override;
    bool readReal(double& v) override;
    bool readText(std::string& v) override;
    bool readPoint3d(ZcGePoint3d& v) override;

private:
    ZcDbDwgFiler* filer_;
};

class DxfFilerAdapter : public SettingsDxfWriter, public SettingsDxfReader {
public:
    explicit DxfFilerAdapter(ZcDbDxfFiler* filer) : filer_(filer) {}

    void writeItem(const SettingsDxfItem& item) override;
    bool atSubclassData(const std::string& name) override;
    bool readItem(SettingsDxfItem& item) override;
    void pushBackItem() override;

private:
    ZcDbDxfFiler* filer_;
};

// The filer's status after a record filed itself with result `st`.
Zcad::ErrorStatus DwgFilingResult(ZcDbDwgFiler* filer, FilingStatus st);
Zcad::ErrorStatus DxfFilingResult(ZcDbDxfFiler* filer, FilingStatus st, const char* className);

// Tells the user, on the command line, that the record of the class was read
// from a damaged or short form and that what it lacked now holds defaults.
void ReportRepairedSettingsRecord(const char* className);
// The same once for the slots that held a number out of range (their names
// joined by commas), which took their defaults.
void ReportSettingsOutOfRange(const char* className, const std::string& names);

// The registration of one settings class: its descriptor, null until the
// class is registered, and whether this module made it (and so removes it).
struct SettingsClassSlot {
    const char* name;
    ZcRxClass* desc = nullptr;
    bool owned = false;
};

// Registers the class under `parent` ("AcDbObject" for the settings
// objects, "AcDbEntity" for the jigs' preview entities), DXF name = class
// name and application "VELM7", unless a class of that name is known
// already, which is then used as it is (the host is never stopped for it).
void RegisterSettingsClass(SettingsClassSlot& slot, ZcRxPseudoConstructor create, const char* parent);
// Removes the class when this module registered it.
void UnregisterSettingsClass(SettingsClassSlot& slot);
// The descriptor: the registered one, else looked up by name.
ZcRxClass* SettingsClassDesc(SettingsClassSlot& slot);

// The same for a class known only by its name: the classes this module
// made are remembered by name in one place, so the classes of the jigs'
// preview entities need no slot each; the descriptor is the host's class
// registry's entry for the name.
void RegisterClassByName(const char* name, ZcRxPseudoConstructor create, const char* parent);
void UnregisterClassByName(const char* name);
ZcRxClass* ClassDescByName(const char* name);

// The runtime-class members of a jig's preview entity, a class known by its
// name alone under "AcDbEntity" (declared with ZCRX_DECLARE_MEMBERS and the
// static Create, rxInit and rxUninit).
#define VELM_PREVIEW_ENTITY_MEMBERS(CLASS)                         \
    ZcRxClass* CLASS::desc() {                                     \
        return ClassDescByName(#CLASS);                            \
    }                                                              \
    ZcRxClass* CLASS::isA() const {                                \
        return CLASS::desc();                                      \
    }                                                              \
    ZcRxObject* CLASS::Create() {                                  \
        return new CLASS;                                          \
    }                                                              \
    void CLASS::rxInit() {                                         \
        RegisterClassByName(#CLASS, &CLASS::Create, "AcDbEntity"); \
    }                                                              \
    void CLASS::rxUninit() {                                       \
        UnregisterClassByName(#CLASS);                             \
    }

#define VELM_SETTINGS_OBJECT_MEMBERS(CLASS)                             \
    ZCRX_DECLARE_MEMBERS(CLASS);                                        \
    static ZcRxObject* Create();                                        \
    static void rxInit();                                               \
    static void rxUninit();                                             \
    Zcad::ErrorStatus dwgInFields(ZcDbDwgFiler* filer) override;        \
    Zcad::ErrorStatus dwgOutFields(ZcDbDwgFiler* filer) const override; \
    Zcad::ErrorStatus dxfInFields(ZcDbDxfFiler* filer) override;        \
    Zcad::ErrorStatus dxfOutFields(ZcDbDxfFiler* filer) const override

#define VELM_SETTINGS_OBJECT_DEFINE(CLASS)                                     \
    namespace {                                                                \
    SettingsClassSlot g_##CLASS##Class{#CLASS};                                \
    }                                                                          \
    ZcRxClass* CLASS::desc() {                                                 \
        return SettingsClassDesc(g_##CLASS##Class);                            \
    }                                                                          \
    ZcRxClass* CLASS::isA() const {                                            \
        return CLASS::desc();                                                  \
    }                                                                          \
    ZcRxObject* CLASS::Create() {                                              \
        return new CLASS;                                                      \
    }                                                                          \
    void CLASS::rxInit() {                                                     \
        RegisterSettingsClass(g_##CLASS##Class, &CLASS::Create, "AcDbObject"); \
    }                                                                          \
    void CLASS::rxUninit() {                                                   \
        UnregisterSettingsClass(g_##CLASS##Class);                             \
    }                                                                          \
    Zcad::ErrorStatus CLASS::dwgOutFields(ZcDbDwgFiler* filer) const {         \
        assertReadEnabled();                                                   \
        Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(filer);                \
        if (es != Zcad::eOk) return es;                                        \
        DwgFilerAdapter w(filer);                                              \
        return DwgFilingResult(filer, fileOutDwg(w));                          \
    }                                                                          \
    Zcad::ErrorStatus CLASS::dwgInFields(ZcDbDwgFiler* filer) {                \
        assertWriteEnabled();                                                  \
        Zcad::ErrorStatus es = ZcDbObject::dwgInFields(filer);                 \
        if (es != Zcad::eOk) return es;                                        \
        DwgFilerAdapter r(filer);                                              \
        return DwgFilingResult(filer, fileInDwg(r));                           \
    }                                                                          \
    Zcad::ErrorStatus CLASS::dxfOutFields(ZcDbDxfFiler* filer) const {         \
        assertReadEnabled();                                                   \
        Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(filer);                \
        if (es != Zcad::eOk) return es;                                        \
        DxfFilerAdapter w(filer);                                              \
        return DxfFilingResult(filer, fileOutDxf(w), #CLASS);                  \
    }                                                                          \
    Zcad::ErrorStatus CLASS::dxfInFields(ZcDbDxfFiler* filer) {                \
        assertWriteEnabled();                                                  \
        Zcad::ErrorStatus es = ZcDbObject::dxfInFields(filer);                 \
        if (es != Zcad::eOk) return es;                                        \
        DxfFilerAdapter r(filer);                                              \
        return DxfFilingResult(filer, fileInDxf(r), #CLASS);                   \
    }

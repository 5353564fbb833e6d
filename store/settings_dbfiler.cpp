// Adapters from the database's filers to the settings filing interfaces, and
// the registration of the settings classes (see the header).
#include "store/settings_dbfiler.h"

#include <cstdint>
#include <set>
#include <string>

#include "host/ads/cmdline.h"

void DwgFilerAdapter::writeInt16(short v) {
    filer_->writeInt16(v);
}
void DwgFilerAdapter::writeReal(double v) {
    filer_->writeDouble(v);
}
void DwgFilerAdapter::writeText(const std::string& v) {
    filer_->writeString(v);
}
void DwgFilerAdapter::writePoint3d(const ZcGePoint3d& v) {
    filer_->writePoint3d(v);
}

bool DwgFilerAdapter::readInt16(short& v) {
    std::int16_t x = 0;
    if (filer_->readInt16(&x) != Zcad::eOk) return false;
    v = x;
    return true;
}

bool DwgFilerAdapter::readReal(double& v) {
    return filer_->readDouble(&v) == Zcad::eOk;
}
bool DwgFilerAdapter::readText(std::string& v) {
    return filer_->readString(&v) == Zcad::eOk;
}
bool DwgFilerAdapter::readPoint3d(ZcGePoint3d& v) {
    return filer_->readPoint3d(&v) == Zcad::eOk;
}

void DxfFilerAdapter::writeItem(const SettingsDxfItem& item) {
    if (auto v = std::get_if<short>(&item.value))
        filer_->writeInt16(item.code, *v);
    else if (auto v = std::get_if<double>(&item.value))
        filer_->writeDouble(item.code, *v);
    else if (auto v = std::get_if<std::string>(&item.value))
        filer_->writeString(item.code, *v);
    else
        filer_->writePoint3d(item.code, std::get<ZcGePoint3d>(item.value));
}

bool DxfFilerAdapter::atSubclassData(const std::string& name) {
    return filer_->atSubclassData(name.c_str());
}

bool DxfFilerAdapter::readItem(SettingsDxfItem& item) {
    ZcDbDxfItem it;
    if (filer_->readItem(it) != Zcad::eOk) return false;
    item.code = static_cast<short>(it.code);
    switch (it.kind) {
        case ZcDbDxfItem::kInt16:
            item.value = static_cast<short>(it.integer);
            break;
        case ZcDbDxfItem::kReal:
            item.value = it.real[0];
            break;
        case ZcDbDxfItem::kPoint:
            item.value = it.point();
            break;
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kHandle:
            item.value = it.text;
            break;
        default:
            // Kinds no settings record files (32-bit integers, ids …): kept as
            // text, so no reader can mistake them for one of its own values.
            item.value = it.toString();
            break;
    }
    return true;
}

void DxfFilerAdapter::pushBackItem() {
    filer_->pushBackItem();
}

Zcad::ErrorStatus DwgFilingResult(ZcDbDwgFiler* filer, FilingStatus st) {
    if (st == FilingStatus::kBadData && filer->filerStatus() == Zcad::eOk)
        filer->setFilerStatus(Zcad::eInvalidInput);
    else if (st == FilingStatus::kReadFailed && filer->filerStatus() == Zcad::eOk)
        filer->setFilerStatus(Zcad::eEndOfFile);
    return filer->filerStatus();
}

Zcad::ErrorStatus DxfFilingResult(ZcDbDxfFiler* filer, FilingStatus st, const char* className) {
    if (st != FilingStatus::kOk && filer->filerStatus() == Zcad::eOk)
        filer->setError(st == FilingStatus::kBadData ? Zcad::eInvalidInput : Zcad::eEndOfFile,
                        std::string("bad data in ") + className);
    return filer->filerStatus();
}

void ReportRepairedSettingsRecord(const char* className) {
    zcutPrintf("\nUszkodzony rekord ustawień \"%s\": brakujące wartości przyjęły wartości domyślne",
               className);
}

void ReportSettingsOutOfRange(const char* className, const std::string& names) {
    zcutPrintf("\nRekord ustawień \"%s\": wartości poza zakresem przyjęły wartości domyślne: %s", className,
               names.c_str());
}

void RegisterSettingsClass(SettingsClassSlot& slot, ZcRxPseudoConstructor create, const char* parent) {
    if (slot.desc) return;
    if (ZcRxClass* known = zcrxFindClass(slot.name)) {
        slot.desc = known;
        slot.owned = false;
        return;
    }
    slot.desc = newZcRxClass(slot.name, parent, 1, 0, 0, create, slot.name, "VELM7");
    slot.owned = slot.desc != nullptr;
}

void UnregisterSettingsClass(SettingsClassSlot& slot) {
    if (slot.desc && slot.owned) deleteZcRxClass(slot.desc);
    slot.desc = nullptr;
    slot.owned = false;
}

ZcRxClass* SettingsClassDesc(SettingsClassSlot& slot) {
    return slot.desc ? slot.desc : zcrxFindClass(slot.name);
}

namespace {

// The names of the classes RegisterClassByName made, which it removes again.
std::set<std::string>& ClassesMadeByName() {
    static std::set<std::string> names;
    return names;
}

}  // namespace

void RegisterClassByName(const char* name, ZcRxPseudoConstructor create, const char* parent) {
    if (zcrxFindClass(name)) return;
    if (newZcRxClass(name, parent, 1, 0, 0, create, name, "VELM7")) ClassesMadeByName().insert(name);
}

void UnregisterClassByName(const char* name) {
    if (ClassesMadeByName().erase(name) == 0) return;
    if (ZcRxClass* made = zcrxFindClass(name)) deleteZcRxClass(made);
}

ZcRxClass* ClassDescByName(const char* name) {
    return zcrxFindClass(name);
}

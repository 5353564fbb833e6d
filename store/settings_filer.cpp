// Helpers shared by the filing code of every settings record: values by type
// code, counts, and DXF items read only when they are what the layout expects
// (anything else is pushed back for whoever reads next).
#include "store/settings_filer.h"

void WriteDwgValue(SettingsDwgWriter& w, const AA_VALORE& value) {
    if (auto v = std::get_if<short>(&value))
        w.writeInt16(*v);
    else if (auto v = std::get_if<double>(&value))
        w.writeReal(*v);
    else if (auto v = std::get_if<std::string>(&value))
        w.writeText(*v);
    else
        w.writePoint3d(std::get<ZcGePoint3d>(value));
}

bool ReadDwgValue(SettingsDwgReader& r, unsigned short code, AA_VALORE& value) {
    switch (code) {
        case kVarInt: {
            short v = 0;
            if (!r.readInt16(v)) return false;
            value = v;
            return true;
        }
        case kVarReal: {
            double v = 0;
            if (!r.readReal(v)) return false;
            value = v;
            return true;
        }
        case kVarText: {
            std::string v;
            if (!r.readText(v)) return false;
            value = std::move(v);
            return true;
        }
        case kVarPoint: {
            ZcGePoint3d v;
            if (!r.readPoint3d(v)) return false;
            value = v;
            return true;
        }
    }
    return false;
}

bool ReadDwgCount(SettingsDwgReader& r, int& count) {
    short n = 0;
    if (!r.readInt16(n)) return false;
    count = n < 0 ? 0 : n;
    return true;
}

namespace {

template <typename T>
bool readDxfTyped(SettingsDxfReader& r, short code, T& v) {
    SettingsDxfItem item;
    if (!r.readItem(item)) return false;
    const T* p = std::get_if<T>(&item.value);
    if (item.code != code || !p) {
        r.pushBackItem();
        return false;
    }
    v = *p;
    return true;
}

}  // namespace

bool ReadDxfShort(SettingsDxfReader& r, short code, short& v) {
    return readDxfTyped(r, code, v);
}
bool ReadDxfReal(SettingsDxfReader& r, short code, double& v) {
    return readDxfTyped(r, code, v);
}
bool ReadDxfText(SettingsDxfReader& r, short code, std::string& v) {
    return readDxfTyped(r, code, v);
}

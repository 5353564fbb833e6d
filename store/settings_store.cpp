// Open-or-create of the drawing's settings objects, typed access to the
// variables store and the print-scale factors (see the header).
//
// Open-or-create walks "VELMOR_6" in entry order and takes the first entry
// whose key equals the class name ignoring case; when none does, the object
// is made with its defaults and added under the class name.
#include "store/settings_store.h"

#include <cstring>
#include <memory>

#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbdict.h"
#include "host/ed/docman.h"
#include "host/util/resbuf.h"
#include "host/win/textutil.h"
#include "store/open_or_create.h"

namespace {

std::size_t utf8CutPoint(const std::string& s, std::size_t maxBytes);

}  // namespace

// The seven classes of the store, in the order the module registers them;
// the settings subsystem registers them among its own.
void RegisterStoreClasses() {
    VELM_SETUP::rxInit();
    VELM_LIBOBJOPT::rxInit();
    VELM_FSCALA::rxInit();
    VELM_GENGRUPPO::rxInit();
    VELM_LAYEROMBRA::rxInit();
    VELM_LAYERMURI::rxInit();
    VELM_SPESSMURI::rxInit();
    zcrxBuildClassHierarchy();
}

void UnregisterStoreClasses() {
    VELM_SETUP::rxUninit();
    VELM_LIBOBJOPT::rxUninit();
    VELM_FSCALA::rxUninit();
    VELM_GENGRUPPO::rxUninit();
    VELM_LAYEROMBRA::rxUninit();
    VELM_LAYERMURI::rxUninit();
    VELM_SPESSMURI::rxUninit();
}

// The id of "VELMOR_6", made when missing (the named-object dictionary is
// then opened, or upgraded, for write); null when it cannot be had.
ZcDbObjectId SettingsDictionaryId(ZcDbDatabase* db, ZcDb::OpenMode mode, bool createWhenMissing) {
    ZcDbDictionary* nod = nullptr;
    if (db->getNamedObjectsDictionary(nod, mode) != Zcad::eOk) return {};
    ZcDbObjectId id;
    if (nod->getAt(kSettingsDictionaryName, id) == Zcad::eOk || !createWhenMissing) {
        nod->close();
        return id;
    }
    if (mode == ZcDb::kForRead && nod->upgradeOpen() != Zcad::eOk) {
        nod->close();
        return {};
    }
    auto dict = std::make_unique<ZcDbDictionary>();
    if (nod->setAt(kSettingsDictionaryName, dict.get(), id) != Zcad::eOk) {
        nod->close();
        return {};
    }
    dict.release()->close();
    nod->close();
    return id;
}

ZcDbDatabase* SettingsDatabase() {
    if (ZcDbDatabase* db = zcdbHostApplicationServices()->workingDatabase()) return db;
    ZcApDocument* doc = zcDocManagerPtr() ? zcDocManagerPtr()->curDocument() : nullptr;
    return doc ? doc->database() : nullptr;
}

VELM_SETUP* OpenSetupObject(bool forRead) {
    return OpenOrCreateSetting<VELM_SETUP>(forRead, [](VELM_SETUP& s) { s.InitVariables(); });
}

VELM_LIBOBJOPT* OpenLibObjOptObject() {
    return OpenSettingForWrite<VELM_LIBOBJOPT>([](VELM_LIBOBJOPT&) {});
}
VELM_LAYERMURI* OpenLayerMuriObject() {
    return OpenSettingForWrite<VELM_LAYERMURI>([](VELM_LAYERMURI& o) { o.Reset(); });
}
VELM_FSCALA* OpenFScalaObject() {
    return OpenSettingForWrite<VELM_FSCALA>([](VELM_FSCALA& o) { o.Reset(); });
}
VELM_GENGRUPPO* OpenGenGruppoObject() {
    return OpenSettingForWrite<VELM_GENGRUPPO>([](VELM_GENGRUPPO& o) { o.Reset(); });
}
VELM_LAYEROMBRA* OpenLayerOmbraObject() {
    return OpenSettingForWrite<VELM_LAYEROMBRA>([](VELM_LAYEROMBRA& o) { o.Reset(); });
}
VELM_SPESSMURI* OpenSpessMuriObject() {
    return OpenSettingForWrite<VELM_SPESSMURI>([](VELM_SPESSMURI& o) { o.Reset(); });
}

std::array<double, 5> ReadWallThicknesses() {
    VELM_SPESSMURI shown;
    shown.Reset();
    if (VELM_SPESSMURI* kept = OpenOrCreateSetting<VELM_SPESSMURI>(true, nullptr, false)) {
        shown.thicknesses = kept->thicknesses;
        kept->close();
    }
    return shown.thicknesses;
}

std::vector<std::string> ReadWallLayerNames() {
    VELM_LAYERMURI shown;
    shown.Reset();
    if (VELM_LAYERMURI* kept = OpenOrCreateSetting<VELM_LAYERMURI>(true, nullptr, false)) {
        shown.entries = kept->entries;
        kept->close();
    }
    return shown.entries;
}

bool GetVarInt(const int* slot, int* value) {
    *value = 0;
    VELM_SETUP* s = OpenSetupObject(true);
    if (!s) return false;
    bool ok = s->getInt(*slot, *value);
    s->close();
    return ok;
}

bool GetVarReal(const int* slot, double* value) {
    *value = 0.0;
    VELM_SETUP* s = OpenSetupObject(true);
    if (!s) return false;
    bool ok = s->getReal(*slot, *value);
    s->close();
    return ok;
}

bool GetVarString(const int* slot, std::string& text) {
    text.clear();
    VELM_SETUP* s = OpenSetupObject(true);
    if (!s) return false;
    bool ok = s->getString(*slot, text);
    s->close();
    return ok;
}

bool GetVarString(const int* slot, char* text, std::size_t size) {
    if (size == 0) return false;
    text[0] = '\0';
    std::string value;
    if (!GetVarString(slot, value)) return false;
    std::size_t n = utf8CutPoint(value, size - 1);
    std::memcpy(text, value.data(), n);
    text[n] = '\0';
    return true;
}

bool GetVarPoint(const int* slot, double* x, double* y, double* z) {
    VELM_SETUP* s = OpenSetupObject(true);
    if (!s) return false;
    ZcGePoint3d p;
    bool ok = s->getPoint(*slot, p);
    s->close();
    if (ok) {
        *x = p.x;
        *y = p.y;
        *z = p.z;
    }
    return ok;
}

void SetVarInt(const int* slot, const short* value) {
    if (VELM_SETUP* s = OpenSetupObject(false)) {
        s->assertWriteEnabled();
        s->setInt(*slot, *value);
        s->close();
    }
}

void SetVarReal(const int* slot, const double* value) {
    VELM_SETUP* s = OpenSetupObject(false);
    if (!s) return;
    s->assertWriteEnabled();
    bool stored = s->setReal(*slot, *value);
    s->close();
    if (stored && *slot == SetupVar::SQPAV) {
        resbuf rb{};
        rb.restype = RTREAL;
        rb.resval.rreal = *value;
        zcedSetVar("ELEVATION", &rb);
    }
}

void SetVarPoint(const int* slot, const double* x, const double* y, const double* z) {
    if (VELM_SETUP* s = OpenSetupObject(false)) {
        s->assertWriteEnabled();
        s->setPoint(*slot, ZcGePoint3d(*x, *y, *z));
        s->close();
    }
}

void SetVarString(const int* slot, const char* text) {
    if (VELM_SETUP* s = OpenSetupObject(false)) {
        s->assertWriteEnabled();
        s->setString(*slot, text ? text : "");
        s->close();
    }
}

double SettingReal(int slot, double fallback) {
    double value = 0.0;
    return GetVarReal(&slot, &value) ? value : fallback;
}

int SettingInt(int slot, int fallback) {
    int value = 0;
    return GetVarInt(&slot, &value) ? value : fallback;
}

std::string SettingString(int slot, std::string fallback) {
    std::string value;
    return GetVarString(&slot, value) ? value : fallback;
}

void SetSettingReal(int slot, double value) {
    SetVarReal(&slot, &value);
}

void SetSettingInt(int slot, int value) {
    const short stored = static_cast<short>(value);
    SetVarInt(&slot, &stored);
}

void SetSettingString(int slot, const std::string& value) {
    SetVarString(&slot, value.c_str());
}

double DrawingUnitFactor() {
    return SettingReal(SetupVar::SFTMTCM, 1.0);
}

double GetScaleFactor(int index) {
    if (index < 0 || index >= kScaleEntryCount) return 0.0;
    // Both slots from one open of the store.
    VELM_SETUP* s = OpenSetupObject(true);
    if (!s) return 0.0;
    double sftmtcm = 0.0;
    int sfatscala = 0;
    s->getReal(SetupVar::SFTMTCM, sftmtcm);
    s->getInt(SetupVar::SFATSCALA, sfatscala);
    s->close();
    VELM_FSCALA* f = OpenFScalaObject();
    if (!f) return 0.0;
    double v = ScaleFactorFor(f->scales, index, sftmtcm, sfatscala);
    f->close();
    return v;
}

bool AccessScaleFactor(int key, int index, double& value, bool set) {
    VELM_FSCALA* f = index >= 0 && index < kScaleEntryCount ? OpenFScalaObject() : nullptr;
    if (!f) {
        value = 0.0;
        return false;
    }
    bool ok = AccessScaleEntry(f->scales, key, index, value, set);
    f->close();
    return ok;
}

namespace {

// The longest prefix of at most maxBytes that does not split a character.
std::size_t utf8CutPoint(const std::string& s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return s.size();
    std::size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return n;
}

}  // namespace

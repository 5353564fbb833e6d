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
#include "host/db/dbobjptr.h"
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

VELM_SETUP* OpenSetupObject(bool forRead) {
    return OpenOrCreateSetting<VELM_SETUP>(forRead, [](VELM_SETUP& s) { s.InitVariables(); });
}

namespace {

// What a record made now holds.
template <class T>
void ResetNew(T& o) {
    o.Reset();
}
void KeepNew(VELM_LIBOBJOPT&) {}

}  // namespace

VELM_LIBOBJOPT* OpenLibObjOptObject() {
    return OpenSettingForWrite<VELM_LIBOBJOPT>(KeepNew);
}
VELM_LAYERMURI* OpenLayerMuriObject() {
    return OpenSettingForWrite<VELM_LAYERMURI>(ResetNew<VELM_LAYERMURI>);
}
VELM_FSCALA* OpenFScalaObject() {
    return OpenSettingForWrite<VELM_FSCALA>(ResetNew<VELM_FSCALA>);
}
VELM_GENGRUPPO* OpenGenGruppoObject() {
    return OpenSettingForWrite<VELM_GENGRUPPO>(ResetNew<VELM_GENGRUPPO>);
}

VELM_LIBOBJOPT* ReadLibObjOptObject() {
    return OpenOrCreateSetting<VELM_LIBOBJOPT>(true, KeepNew);
}
VELM_LAYERMURI* ReadLayerMuriObject() {
    return OpenOrCreateSetting<VELM_LAYERMURI>(true, ResetNew<VELM_LAYERMURI>);
}
VELM_FSCALA* ReadFScalaObject() {
    return OpenOrCreateSetting<VELM_FSCALA>(true, ResetNew<VELM_FSCALA>);
}
VELM_GENGRUPPO* ReadGenGruppoObject() {
    return OpenOrCreateSetting<VELM_GENGRUPPO>(true, ResetNew<VELM_GENGRUPPO>);
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
    if (ZcDbObjectPointer<VELM_SPESSMURI> kept(OpenOrCreateSetting<VELM_SPESSMURI>(true, nullptr, false));
        kept)
        shown.thicknesses = kept->thicknesses;
    return shown.thicknesses;
}

std::vector<std::string> ReadWallLayerNames() {
    VELM_LAYERMURI shown;
    shown.Reset();
    if (ZcDbObjectPointer<VELM_LAYERMURI> kept(OpenOrCreateSetting<VELM_LAYERMURI>(true, nullptr, false));
        kept)
        shown.entries = kept->entries;
    return shown.entries;
}

bool GetVarInt(const int* slot, int* value) {
    *value = 0;
    ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true));
    return s && s->getInt(*slot, *value);
}

bool GetVarReal(const int* slot, double* value) {
    *value = 0.0;
    ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true));
    return s && s->getReal(*slot, *value);
}

bool GetVarString(const int* slot, std::string& text) {
    text.clear();
    ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true));
    return s && s->getString(*slot, text);
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
    ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true));
    ZcGePoint3d p;
    if (!s || !s->getPoint(*slot, p)) return false;
    *x = p.x;
    *y = p.y;
    *z = p.z;
    return true;
}

// A write that would change nothing is not made: opening the store for
// write files all its slots into the command's undo step and tells every
// reactor, and dialogs write their choices back on every OK.
void SetVarInt(const int* slot, const short* value) {
    if (int now = 0; GetVarInt(slot, &now) && now == *value) return;
    if (ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(false)); s) {
        s->assertWriteEnabled();
        s->setInt(*slot, *value);
    }
}

void SetVarReal(const int* slot, const double* value) {
    bool stored = false;
    {
        ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(false));
        if (!s) return;
        s->assertWriteEnabled();
        stored = s->setReal(*slot, *value);
    }
    if (stored && *slot == SetupVar::SQPAV) {
        resbuf rb{};
        rb.restype = RTREAL;
        rb.resval.rreal = *value;
        zcedSetVar("ELEVATION", &rb);
    }
}

void SetVarPoint(const int* slot, const double* x, const double* y, const double* z) {
    if (ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(false)); s) {
        s->assertWriteEnabled();
        s->setPoint(*slot, ZcGePoint3d(*x, *y, *z));
    }
}

void SetVarString(const int* slot, const char* text) {
    if (std::string now; GetVarString(slot, now) && now == (text ? text : "")) return;
    if (ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(false)); s) {
        s->assertWriteEnabled();
        s->setString(*slot, text ? text : "");
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
    return GetScaleFactors()[index];
}

std::array<double, kScaleEntryCount> GetScaleFactors() {
    std::array<double, kScaleEntryCount> factors{};
    // Both slots from one open of the store.
    double sftmtcm = 0.0;
    int sfatscala = 0;
    {
        ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true));
        if (!s) return factors;
        s->getReal(SetupVar::SFTMTCM, sftmtcm);
        s->getInt(SetupVar::SFATSCALA, sfatscala);
    }
    // Read only: a factor asked for by every label and wall must not file
    // the table into the command's undo as if it changed.
    ZcDbObjectPointer<VELM_FSCALA> f(ReadFScalaObject());
    if (f)
        for (int i = 0; i < kScaleEntryCount; ++i)
            factors[i] = ScaleFactorFor(f->scales, i, sftmtcm, sfatscala);
    return factors;
}

bool AccessScaleFactor(int key, int index, double& value, bool set) {
    ZcDbObjectPointer<VELM_FSCALA> f(index >= 0 && index < kScaleEntryCount ? OpenFScalaObject() : nullptr);
    if (!f) {
        value = 0.0;
        return false;
    }
    return AccessScaleEntry(f->scales, key, index, value, set);
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

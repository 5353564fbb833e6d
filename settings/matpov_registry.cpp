// The user's render settings under Software\VelSoftware\Variabili: defaults
// per value name, reading through a fixed 260-byte buffer, writing as text.
#include "settings/matpov_registry.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "host/ads/cmdline.h"
#include "host/ed/cmdproc.h"
#include "host/util/nocase.h"
#include "host/win/registry.h"
#include "host/win/textutil.h"

namespace {

struct RegistryDefault {
    const char* name;
    const char* text;  // the default as the value would be stored
};

constexpr RegistryDefault kDefaults[] = {
    {"povDirSupporto", ""},       {"povIntAmbiente", "1.0"},   {"povColAmbiente", "9633776"},
    {"povColSfondo", "15540736"}, {"povColZenit", "16159600"}, {"povColOrizzonte", "1065953"},
    {"povBrightness", "0.0"},     {"povGrayHold", "0.0"},      {"povSenzaLuci", "0"},
    {"qualitaRadiosity", "2"},
};

constexpr DWORD kBufferBytes = 260;

const RegistryDefault* FindDefault(const char* name) {
    for (const RegistryDefault& d : kDefaults)
        if (zcutEqualsNoCase(d.name, name)) return &d;
    return nullptr;
}

// Parses into the outputs given; an output whose text does not parse keeps
// what it holds.
void ParseInto(const std::string& text, int* integer, double* real, std::string* out) {
    if (out) *out = text;
    if (real)
        if (auto v = host::parseDoublePrefix(text)) *real = *v;
    if (integer)
        if (auto v = host::parseIntegerPrefix(text))
            *integer = static_cast<int>(std::clamp<long long>(*v, INT_MIN, INT_MAX));
}

std::optional<std::string> QueryValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRenderSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    BYTE buffer[kBufferBytes] = {};
    DWORD size = kBufferBytes;
    DWORD type = REG_NONE;
    LONG status = RegQueryValueExW(key, name, nullptr, &type, buffer, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || size == 0) return std::nullopt;
    // The stored bytes need not end with a terminator: stop at the first
    // one, or at the end of what was returned, never beyond the buffer.
    size = std::min(size, kBufferBytes);
    const char* chars = reinterpret_cast<const char*>(buffer);
    return std::string(chars, strnlen(chars, size));
}

// A setting that could not be stored is said, with the registry's file
// and why, and fails the running command: the user's change is lost.
void ReportNotStored(const char* name) {
    zcutPrintf("\nnie można zapisać ustawienia %s: %s; zmiany nie zostały zapisane.", name,
               host::registryError().c_str());
    host::noteFailed();
}

}  // namespace

void ReadRegistryVariables(const char* name, int* integer, double* real, std::string* text) {
    if (!name) return;
    if (const RegistryDefault* d = FindDefault(name)) ParseInto(d->text, integer, real, text);
    if (auto stored = QueryValue(name)) ParseInto(*stored, integer, real, text);
}

LONG WriteRegistryVariable(const char* name, const int* integer, const double* real, const char* text) {
    std::string value;
    if (integer)
        value = std::to_string(*integer);
    else if (real)
        value = host::formatFixed(*real, 6);
    else if (text)
        value = text;
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, kRenderSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
        ReportNotStored(name);
        return status;
    }
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) ReportNotStored(name);
    return status;
}

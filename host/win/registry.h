// The current user's registry as a small file-backed store. Keys are paths
// of names separated by "\", compared without regard to case; each key holds
// named values of type REG_SZ (UTF-8 text with its terminator) or REG_DWORD.
// The store lives in one readable text file, $XDG_CONFIG_HOME/velm/registry
// (else ~/.config/velm/registry), rewritten whole through a temporary file
// at every change, which is made on the file as it is then: two programs
// setting different values both keep them, and for one value the later
// wins. host::setRegistryFile points it elsewhere. The calls keep
// the contracts of the real ones: ERROR_FILE_NOT_FOUND for a missing key or
// value, ERROR_MORE_DATA with the needed size when the buffer is short, the
// size alone when no buffer is given. The documents folder is answered as
// the value "Personal" of the Explorer "Shell Folders" key unless the file
// sets it. Limits: HKEY_CURRENT_USER only; no deletion, enumeration or
// other value types. A registry file that cannot be parsed (when read
// first, or when changed) is read as far as it goes and never overwritten:
// every change then fails with ERROR_ACCESS_DENIED, registryError naming
// the file.
#pragma once

#include <string>

#include "host/win/winbase.h"

using HKEY = struct HKEY__*;
using REGSAM = DWORD;

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

LONG RegOpenKeyExW(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyExW(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options,
                     REGSAM access, void* securityAttributes, HKEY* result, DWORD* disposition);
LONG RegQueryValueExW(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegSetValueExW(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegCloseKey(HKEY key);

namespace host {

// Uses another registry file from now on (read when first needed); an empty
// path goes back to the default file.
void setRegistryFile(const std::string& path);
std::string registryFile();
// Why the registry file could not be read or written last, or empty.
std::string registryError();

}  // namespace host

// Last error and the handle table. Handle values count up from a fixed
// start and are never reused within a run, so a stale handle cannot reach
// a newer object.
#include "host/win/winbase.h"

#include <cerrno>
#include <map>
#include <utility>

namespace {

DWORD gLastError = 0;

struct HandleEntry {
    host::handles::Kind kind;
    std::intptr_t payload;
};

std::map<std::uintptr_t, HandleEntry>& table() {
    static std::map<std::uintptr_t, HandleEntry> entries;
    return entries;
}

std::uintptr_t gNextHandle = 0x1000;

}  // namespace

DWORD GetLastError() {
    return gLastError;
}
void SetLastError(DWORD code) {
    gLastError = code;
}

BOOL CloseHandle(HANDLE handle) {
    if (host::handles::close(handle, host::handles::Kind::Process) ||
        host::handles::close(handle, host::handles::Kind::Thread)) {
        host::reapFinishedChildren();
        return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

namespace host {

DWORD winErrorFromErrno(int err) {
    switch (err) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case ETXTBSY:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOSPC:
            return ERROR_DISK_FULL;
        case EROFS:
            return ERROR_WRITE_PROTECT;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_GEN_FAILURE;
    }
}

namespace handles {

HANDLE open(Kind kind, std::intptr_t payload) {
    std::uintptr_t value = gNextHandle;
    gNextHandle += 4;
    table()[value] = HandleEntry{kind, payload};
    return reinterpret_cast<HANDLE>(value);
}

bool find(HANDLE handle, Kind kind, std::intptr_t& payload) {
    auto it = table().find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table().end() || it->second.kind != kind) return false;
    payload = it->second.payload;
    return true;
}

bool close(HANDLE handle, Kind kind) {
    auto it = table().find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table().end() || it->second.kind != kind) return false;
    table().erase(it);
    return true;
}

}  // namespace handles
}  // namespace host

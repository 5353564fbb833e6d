// The few Windows base types, error codes and handles the module's calls
// use. Text arguments that Windows takes as wide strings are UTF-8 here
// (`const char*`); the W names stay so the module reads as written for the
// real platform. Handles are opaque numbers from one table: a process, a
// thread or a file search; closing one twice fails with ERROR_INVALID_HANDLE.
// The last error is one process-wide value (the host runs no threads).
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using UINT = unsigned int;
using HANDLE = void*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr DWORD MAX_PATH = 260;

// System error codes, as GetLastError and the registry calls report them.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_NOT_SAME_DEVICE = 17;
constexpr LONG ERROR_NO_MORE_FILES = 18;
constexpr LONG ERROR_WRITE_PROTECT = 19;
constexpr LONG ERROR_GEN_FAILURE = 31;
constexpr LONG ERROR_FILE_EXISTS = 80;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_INVALID_NAME = 123;
constexpr LONG ERROR_DIR_NOT_EMPTY = 145;
constexpr LONG ERROR_ALREADY_EXISTS = 183;
constexpr LONG ERROR_FILENAME_EXCED_RANGE = 206;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_DIRECTORY = 267;

DWORD GetLastError();
void SetLastError(DWORD code);
// Closes a process or thread handle. A process handle is only a reference:
// closing it neither waits for nor stops the program.
BOOL CloseHandle(HANDLE handle);

namespace host {

// The Windows error code closest to a C library errno value.
DWORD winErrorFromErrno(int err);

// Collects the exit status of started programs that have ended, without
// waiting for the others (process.cpp).
void reapFinishedChildren();

namespace handles {

enum class Kind { Process, Thread, Find };

HANDLE open(Kind kind, std::intptr_t payload);
// The payload of a live handle of that kind, or false.
bool find(HANDLE handle, Kind kind, std::intptr_t& payload);
bool close(HANDLE handle, Kind kind);

}  // namespace handles
}  // namespace host

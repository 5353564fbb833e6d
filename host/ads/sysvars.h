// System variables: a typed table of the host's variables with their
// defaults, read-only flags, allowed ranges and where each lives.
//
// Drawing variables (saved with the drawing) are kept per document behind
// SysVarStore, so the drawing database can take them over (its header
// reader/writer iterates sysVarTable() and reads or writes the store of its
// document). Session variables live once per process. Setting a variable
// through zcedSetVar checks its type, range and read-only flag and fires the
// editor reactors' sysVarWillChange/sysVarChanged around the change.
//
// Statuses: unknown name RTERROR; read-only RTERROR; a value of the wrong
// type or out of range RTREJ (nothing changes in either case).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/db/sysvartable.h"
#include "host/ge/gebase.h"
#include "host/util/resbuf.h"

// Reads a variable into result (an RTSTR value is a new[] copy the caller
// owns: release it with zcutDelString, or let zcutRelRb free the node).
int zcedGetVar(const char* name, resbuf* result);
int zcedSetVar(const char* name, const resbuf* value);
void zcutDelString(char*& s);

namespace host {

// The store of the current document; the editor installs the provider. With
// none (or a null result) a process-wide fallback store is used.
void setDrawingSysVarStoreProvider(std::function<SysVarStore*()> provider);

// A hook called with a variable's name before each read, so the owner of a
// computed variable (EXTMIN, EXTMAX) can store its current value first
// (with setSysVar, which does not call the hooks).
void addSysVarReadHook(std::function<void(const std::string&)> hook);

// Typed access for the host's own code (module code reads and sets
// variables with zcedGetVar/zcedSetVar, as on the platform). get* fall back to the default of the
// variable (or 0/empty when unknown). setSysVar bypasses the read-only flag
// (the host keeps CMDNAMES, DWGNAME, LASTPOINT … itself) but not the type.
std::optional<SysVarValue> getSysVar(const std::string& name);
bool setSysVar(const std::string& name, const SysVarValue& value, bool notify = true);
short sysVarShort(const std::string& name);
double sysVarReal(const std::string& name);
std::string sysVarString(const std::string& name);
ZcGePoint3d sysVarPoint(const std::string& name);

// Back to the defaults: the session variables and the fallback store.
void resetSessionSysVars();

}  // namespace host

// A check that stays on in every build: when the condition is false, the
// file, the line and the condition are written to the error stream and the
// process stops. For invariants whose breach would corrupt data further on
// (the links of hand-made lists, objects left open against the rules), not
// for input, which gets a message.
#pragma once

[[noreturn]] void VelmAssertFailed(const char* condition, const char* file, int line);

#define VELM_ASSERT(cond) ((cond) ? static_cast<void>(0) : VelmAssertFailed(#cond, __FILE__, __LINE__))

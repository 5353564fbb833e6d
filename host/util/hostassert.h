// A check of the host's own invariants that stays on in every build: when
// the condition is false, the file, line and condition go to stderr and the
// process aborts, since whatever follows would work on broken state. For
// invariants of the host's hand-made lists and of the open/close rules, not
// for bad input (which gets a status or a message).
#pragma once

namespace host {
[[noreturn]] void hostAssertionFailed(const char* condition, const char* file, int line);
}  // namespace host

#define ZC_HOST_ASSERT(cond) \
    ((cond) ? static_cast<void>(0) : ::host::hostAssertionFailed(#cond, __FILE__, __LINE__))

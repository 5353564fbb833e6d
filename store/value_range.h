// The range of numbers the module takes: drawing units beyond 1e10 are no
// building's, and a value past them (or not a number, or endless) is a
// slip or a damaged record. The settings store and the module's prompts
// and dialogs share this one rule.
#pragma once

#include <cmath>

inline constexpr double kValueLimit = 1e10;

// Finite and not beyond the limit either way.
inline bool NumberInRange(double v) {
    return std::isfinite(v) && std::fabs(v) <= kValueLimit;
}

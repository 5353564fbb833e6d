// The kinds of object outline the wall-face graph knows: the number is the
// insertion type of the object that cut the wall, as its record files it,
// and stays a plain number in the outline so that an outline of another
// kind is carried through unchanged.
#pragma once

#include <cstdint>

enum class OutlineKind : std::int32_t {
    StraightWallOpening = 11,
    ArcWallOpening = 12,
    WallCorner = 18,
};

// The stored number compared with a kind.
constexpr bool operator==(std::int32_t stored, OutlineKind kind) {
    return stored == static_cast<std::int32_t>(kind);
}

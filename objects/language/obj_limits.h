// What one run of an object definition may expand to. A definition comes
// with the library or with a drawing's folder, and the values it draws
// with come from the drawing (a window's sash count is an ARRAY's count),
// so a few bytes could otherwise ask for billions of entities or lines.
// The real library is far below each bound: a definition of some hundred
// lines with its includes, arrays of tens of copies, a few thousand
// statements and entities at most. A run past a bound is refused whole:
// the message names the definition and the bound, and nothing is drawn.
#pragma once

#include <cstddef>
#include <cstdint>

// Lines of a definition with every include expanded in it.
inline constexpr std::size_t kMaxDefinitionLines = 100000;
// Copies of one ARRAY.
inline constexpr int kMaxArrayCopies = 10000;
// Drawing statements one DRAW run executes, each ARRAY copy counted as
// one.
inline constexpr std::uint64_t kMaxDrawStatements = 1000000;
// Entities one DRAW run makes, the vertices of its polylines and faces
// counted with them.
inline constexpr std::uint64_t kMaxDrawElements = 100000;

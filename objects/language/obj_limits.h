// What one run of an object definition may expand to. A definition comes
// with the library or with a drawing's folder, and the values it draws
// with come from the drawing (a window's sash count is an ARRAY's count),
// so a few bytes could otherwise ask for billions of entities or lines.
// The real library is far below each bound: a definition of some hundred
// lines with its includes, arrays of tens of copies, a few thousand
// statements and entities at most, texts of a room's name or a label's
// line. A run past a bound is refused whole: the message names the
// definition and the bound, nothing is drawn, and the command fails.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes of one definition or include file, looked at before it is read.
inline constexpr std::size_t kMaxDefinitionBytes = std::size_t{4} << 20;
// Lines of a definition with every include expanded in it.
inline constexpr std::size_t kMaxDefinitionLines = 100000;
// Include files open one inside another: the library nests a few, and a
// chain of thousands (a few bytes each) would otherwise take the reader's
// whole stack.
inline constexpr std::size_t kMaxIncludeDepth = 64;
// Bytes of the text one expression gives a variable: a few joins double a
// text each line otherwise.
inline constexpr std::size_t kMaxComputedTextBytes = 65536;
// Bytes of text one evaluation of a run's variables copies and compares
// in all, each variable's text within the bound above.
inline constexpr std::uint64_t kMaxRunTextBytes = std::uint64_t{16} << 20;
// Text bytes an evaluation copies or compares that count as one statement
// against kMaxDrawStatements when it is made again for every ARRAY copy
// (each variable it walks counts as one too).
inline constexpr std::uint64_t kTextBytesPerStatement = 256;
// Copies of one ARRAY.
inline constexpr int kMaxArrayCopies = 10000;
// Drawing statements one DRAW run executes, each ARRAY copy counted as
// one.
inline constexpr std::uint64_t kMaxDrawStatements = 1000000;
// Entities one DRAW run makes, the vertices of its polylines and faces
// counted with them.
inline constexpr std::uint64_t kMaxDrawElements = 100000;
// The same made by all the object runs of one command (a print-scale
// change rebuilding every object of a drawing): objects each within the
// bound above add up otherwise.
inline constexpr std::uint64_t kMaxCommandElements = 1000000;
// The statements all the object runs of one command execute, those of
// runs refused included: the time they take adds up as well.
inline constexpr std::uint64_t kMaxCommandStatements = 10000000;

// Pattern lines of a hatch: the line families of a pattern read from a
// ".pat" file, and the evaluation that decides whether the hatch can be
// drawn. A pattern file holds "*NAME,description" headers each followed by
// lines "angle, x-origin,y-origin, delta-x,delta-y [,dash…]"; ';' starts a
// comment. Evaluation counts the pattern lines that would cross the
// boundary's extent, and the dashes along them; past kMaxHatchLines or
// kMaxHatchDashes the hatch is too dense and fails,
// as the host refuses to draw such a hatch. Solid fills always evaluate;
// a pattern that cannot be found evaluates to no lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/db/dbhatch.h"
#include "host/db/dbid.h"
#include "host/ge/gebase.h"

namespace host {

struct PatternLine {
    double angle = 0.0;  // degrees
    double originX = 0.0, originY = 0.0;
    double deltaX = 0.0, deltaY = 0.0;  // offset between parallel lines
    std::vector<double> dashes;
};

// The definition lines of pattern `name` (case ignored) in the file's text;
// nullopt when the file does not define it.
std::optional<std::vector<PatternLine>> parsePatternDefinition(const std::vector<std::string>& lines,
                                                               const std::string& name);

// The largest pattern file read: a library of hundreds of patterns holds
// some tens of kilobytes, so a file past this is no pattern file and is
// refused, named with the reason on the command line.
constexpr std::size_t kMaxPatternFileBytes = std::size_t{1} << 20;
// What the pattern files kept for later hatches hold in all (their text
// and the definitions read from them); each file is kept once, whatever
// the names (links) it was found under.
constexpr std::size_t kMaxKeptPatternBytes = std::size_t{16} << 20;
// How many pattern files were read since the program started, and what the
// cache holds now: the files and their bytes.
struct PatternCacheUse {
    std::size_t reads = 0, files = 0, bytes = 0;
};
PatternCacheUse patternCacheUse();

// Upper bound of pattern lines one hatch may hold.
constexpr double kMaxHatchLines = 10000.0;
// Upper bound of the dashes and gaps along all of one hatch's lines: with
// tiny dashes a few lines would otherwise stand for billions of pieces.
constexpr double kMaxHatchDashes = 1000000.0;

// The number of dashes and gaps the pattern lines of countPatternLines
// hold across the extent's diagonal (each line taken that long; a family
// without dashes counts none; infinite for a zero period).
double countPatternDashes(const std::vector<PatternLine>& pattern, double scale, double width, double height);

// The number of pattern lines that cross the hatch's boundary extent for
// these line families at this scale (infinite for a zero offset).
double countPatternLines(const std::vector<PatternLine>& pattern, double scale, double width, double height);

// eOk when the hatch can be drawn; eInvalidInput when its pattern lines are
// too dense. A custom pattern is read from NAME.pat, a predefined one from
// the host's "zwcadiso.pat", both on the support path.
Zcad::ErrorStatus evaluateHatch(const ZcDbHatch& hatch);

// The definition lines of the hatch's pattern as a file holds them: each
// line family of the pattern file turned by the hatch's angle and scaled by
// its scale, the step between lines turned by the family's own direction
// too (the pattern file gives it along and across the lines), and for a
// double hatch each family again a right angle on. A user-defined pattern is
// one family of solid lines at the hatch's angle, its scale apart. None for
// a solid fill or a pattern that cannot be found. Safe to call from the
// threads that write a drawing side by side.
std::vector<ZcDbHatch::DefinitionLine> patternDefinitionLines(const ZcDbHatch& hatch);

// The drawn pieces of an evaluated hatch's pattern lines, clipped to its
// loops (even-odd, arcs and bulges as fine chords), as start and end points
// in the hatch's own plane. Dashes are kept as pieces, dots are left out.
// False, with no lines, for a solid fill, a pattern that cannot be found
// and a hatch too dense to draw.
bool hatchPatternLines(const ZcDbHatch& hatch, std::vector<std::pair<ZcGePoint2d, ZcGePoint2d>>& lines);

}  // namespace host

// What the DRAW statements share: the statement header (condition and
// layer line), the argument readers with their two ways to fail (no "("
// before the text ends, a value that cannot be read), the count lines and
// the entity maker. Statements answer RTNORM (5100) when done, skipped or
// refused, and a negative code on failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "host/db/dbfiler.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "objects/language/obj_context.h"

namespace draw {

// Argument readers: 0 read, kNoParen when the text ends before "(" or ")",
// kUnreadable when the value is not a number or $n (an undeclared $n has
// printed its message).
constexpr int kNoParen = -1;
constexpr int kUnreadable = -2;

int ReadPoint(ObjContext& context, Point3& out);
// Up to three values ("-" allowed), the others 0: sizes, widths, scales.
int ReadValues(ObjContext& context, double out[3]);
int ReadInt(ObjContext& context, int& out);
int ReadReal(ObjContext& context, double& out);

enum class Header { Draw, Skip, Fail };
// Condition, layer line, substitution and resolution. `checkName` runs the
// host's symbol-name check (section level); `discardOnFalse` drops the line
// after a false condition (inside ROTATE).
Header ReadStatementHeader(ObjContext& context, const AAR_LAYERC& catalogue, bool groups, bool checkName,
                           bool discardOnFalse, std::string& layer);

// zcdbEntMake of the list, which is freed; the host's status.
int MakeEntity(resbuf* list);
// The same of the type and groups a list would hold, made without one.
int MakeEntity(std::string_view type, std::vector<ZcDbDxfItem> groups);
// A point's group.
inline ZcDbDxfItem PointGroup(int code, const Point3& p) {
    return ZcDbDxfItem::ofPoint(code, p.x, p.y, p.z);
}

inline void ToAds(const Point3& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// Counts `statements` statements run and `elements` entities or vertices
// about to be made by the running DRAW section; false once that takes the
// run past a bound of obj_limits.h: the message naming the definition and
// the bound is printed (once) and the section ends with nothing drawn.
// The statements and entities of all the runs of one command count
// together against kMaxCommandStatements and kMaxCommandElements: past one
// the message names the command and the bound, every later run of the
// command is refused too, the command fails and is taken back (undone)
// once it has ended.
bool Tally(ObjContext& context, std::uint64_t statements, std::uint64_t elements);
// A run ended: its statements are the command's from now on, and its
// entities when it `made` them (it was not refused).
void CountRun(const ObjContext& context, bool made);
// The copies of one ARRAY, against kMaxArrayCopies, as Tally.
bool TallyArray(ObjContext& context, int copies);

// Keyword lines: at section level cut at the first blank, inside blocks
// read whole; 124 characters at most.
std::optional<std::string> ReadKeywordLine(ObjText& text, bool whole);
bool IsKeyword(std::string_view line, std::string_view keyword);

constexpr const char* kBadCodeMessage = "Błąd: nieprawidłowy $ kod w wyrażeniu";

}  // namespace draw

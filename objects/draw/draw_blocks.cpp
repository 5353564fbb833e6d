// ARRAY and ROTATE blocks. A copy re-reads the body from its first line,
// so per-copy variables and nested arrays see the values of their copy.
#include "objects/draw/draw_blocks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/util/nocase.h"
#include "objects/draw/draw_annotation.h"
#include "objects/draw/draw_common.h"
#include "objects/draw/draw_geometry.h"
#include "objects/language/obj_args.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"

using draw::Header;

namespace {

// Where a block statement's points go, and what the block allows.
struct BlockPlace {
    Point3 p1, p2;
    double a = 0.0;
    int k = 0;
    Point3 V, C;
    double A = 0.0;
    bool rotate = false;   // inside ROTATE: no collinearity tests, 100 PFACE items
    double arcTurn = 0.0;  // added to arc angles (and text rotations)

    Point3 map(const Point3& q) const { return TransformCopyPoint(p1, p2, a, k, V, A, C, q); }
    int capacity() const { return rotate ? 100 : 80; }
};

int Code(int readResult, int noParen) {
    return readResult == draw::kNoParen ? noParen : noParen - 1;
}

bool BlockHeader(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const BlockPlace& at,
                 std::string& layer) {
    return draw::ReadStatementHeader(context, catalogue, groups != 0, false, at.rotate, layer) ==
           Header::Draw;
}

int Block3dFace(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const BlockPlace& at) {
    std::string layer;
    if (!BlockHeader(context, catalogue, groups, at, layer)) return 0;
    Point3 corners[4];
    for (Point3& p : corners) {
        const int r = draw::ReadPoint(context, p);
        if (r != 0) return Code(r, -3);
        p = at.map(p);
    }
    int flags = 0;
    const int r = draw::ReadInt(context, flags);
    if (r != 0) return r == draw::kNoParen ? -1 : -5;
    if (at.rotate || !draw::CornersCollinear(corners)) draw::Make3dFace(layer, corners, flags);
    return 0;
}

int BlockPface(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const BlockPlace& at) {
    std::string layer;
    if (!BlockHeader(context, catalogue, groups, at, layer)) return 0;
    auto counts = ReadCountLine(*context.text, 2);
    // More items than the block holds are refused like an unreadable count.
    if (!counts || counts->first > at.capacity() || counts->second > at.capacity()) return -6;
    if (!draw::Tally(context, 0, std::max(counts->first, 0) + std::max(counts->second, 0))) return -6;
    std::vector<Point3> vertices(counts->first > 0 ? static_cast<std::size_t>(counts->first) : 0);
    for (Point3& p : vertices) {
        const int r = draw::ReadPoint(context, p);
        if (r != 0) return Code(r, -7);
        p = at.map(p);
    }
    const int nv = static_cast<int>(vertices.size());
    for (int f = 0; f < counts->second; ++f) {
        std::string arg;
        if (ReadStatementArg(arg, *context.text) != RTNORM) return -9;
        int i[4];
        if (std::sscanf(arg.c_str(), "%d %d %d %d", &i[0], &i[1], &i[2], &i[3]) != 4) return -10;
        const int mask = FaceEdgeMask(i[0], i[1], i[2], i[3]);
        Point3 corners[4];
        for (int c = 0; c < 4; ++c) {
            if (i[c] < 1 || i[c] > nv) return -10;
            corners[c] = vertices[i[c] - 1];
        }
        if (at.rotate || !draw::CornersCollinear(corners)) draw::Make3dFace(layer, corners, mask);
    }
    return 0;
}

int BlockLine(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const BlockPlace& at) {
    std::string layer;
    if (!BlockHeader(context, catalogue, groups, at, layer)) return 0;
    Point3 p[2];
    for (Point3& q : p) {
        const int r = draw::ReadPoint(context, q);
        if (r != 0) return Code(r, -11);
        q = at.map(q);
    }
    draw::MakeLine(layer, p[0], p[1]);
    return 0;
}

int BlockCircle(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const BlockPlace& at) {
    std::string layer;
    if (!BlockHeader(context, catalogue, groups, at, layer)) return 0;
    Point3 centre, normal;
    int r = draw::ReadPoint(context, centre);
    if (r == 0) r = draw::ReadPoint(context, normal);
    double size[3] = {0.0, 0.0, 0.0};
    if (r == 0) r = draw::ReadValues(context, size);
    if (r != 0) return Code(r, -13);
    draw::MakeCircle(layer, at.map(centre), normal, size[0], size[1]);
    return 0;
}

int BlockArc(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const BlockPlace& at) {
    std::string layer;
    if (!BlockHeader(context, catalogue, groups, at, layer)) return 0;
    Point3 centre, normal;
    double v[4];
    if (ReadArcArguments(context, centre, normal, v) < 0) return -15;
    draw::MakeArc(layer, at.map(centre), normal, v[0], v[1], v[2] + at.arcTurn, v[3] + at.arcTurn);
    return 0;
}

// Whether a keyword line inside a block names a statement that ARRAY runs.
bool IsBlockStatement(const std::string& line) {
    for (const char* keyword : {"ARRAY", "3DFACE", "PFACE", "LINE", "CIRCLE", "ARC"})
        if (draw::IsKeyword(line, keyword)) return true;
    return false;
}

// Passes over a body from the cursor to the END_ARRAY that closes it;
// false when the text ends first.
bool SkipArrayBody(ObjText& text) {
    int depth = 1;
    while (std::optional<std::string> line = draw::ReadKeywordLine(text, true)) {
        if (draw::IsKeyword(*line, "ARRAY"))
            ++depth;
        else if (draw::IsKeyword(*line, "END_ARRAY") && --depth == 0)
            return true;
    }
    return false;
}

int ArrayFails(int code, ObjVarList& perCopy, ObjContext& context) {
    if (!perCopy.empty()) EndArrayVarN(perCopy, context);
    return code;
}

// The per-copy variables given their values for copy `k`, the work of
// evaluating them and the object's variables again counted as statements
// (as many as a copy of the variables' texts would take): false when that
// failed or took the run past its bound.
bool ApplyCopyVars(ObjVarList& perCopy, int k, ObjContext& context) {
    if (perCopy.empty()) return true;
    std::uint64_t work = 0;
    const bool applied = ApplyArrayVarN(perCopy, k, context, &work) != 0;
    // Counted even when it failed: a refusal by a bound is kept with it.
    return draw::Tally(context, work, 0) && applied;
}

}  // namespace

int ParseArrayVarNBlock(ObjContext& context, ObjVarList& perCopy) {
    ObjText& text = *context.text;
    perCopy.clear();
    if (TextAtEnd(text)) return 1;
    const std::string& first = text.lines[text.cursor.line].text;
    if (first.size() < 10 || !zcutEqualsNoCase(std::string_view(first).substr(0, 10), "ARRAY_VARN")) return 1;
    PassLine(text);
    for (;;) {
        std::optional<std::string> line = ReadTextLine(text, kObjLineChars, true);
        if (!line) break;
        if (line->size() >= 8 && zcutEqualsNoCase(std::string_view(*line).substr(0, 8), "END_VARN")) return 1;
        std::size_t pos = 1;
        std::size_t digits = pos;
        while (digits < line->size() && (*line)[digits] >= '0' && (*line)[digits] <= '9') ++digits;
        if (digits == pos || digits >= line->size() || (*line)[digits] != '=') break;
        pos = digits + 1;
        while (pos < line->size() && ((*line)[pos] == ' ' || (*line)[pos] == '\t')) ++pos;
        std::string expression = line->substr(
            pos, line->find(';', pos) == std::string::npos ? std::string::npos : line->find(';', pos) - pos);
        if (expression.empty() || expression.size() >= 258) break;
        auto var = std::make_unique<ObjVar>();
        var->number = std::stoi(line->substr(1, digits - 1));
        var->kind = kVarComputed;
        var->type = u'R';
        var->description = expression;
        perCopy.push_back(std::move(var));
    }
    perCopy.clear();
    return -1;
}

int RunArrayBlock(const Point3& offset, const Point3& centre, double angle, int groups, ObjContext& context,
                  const AAR_LAYERC& catalogue) {
    ObjText& text = *context.text;
    int n = 0;
    Point3 V, C;
    double A = 0.0;
    if (int r = draw::ReadInt(context, n); r != 0) return Code(r, -20);
    if (int r = draw::ReadPoint(context, V); r != 0) return Code(r, -22);
    if (int r = draw::ReadPoint(context, C); r != 0) return Code(r, -24);
    if (int r = draw::ReadReal(context, A); r != 0) return Code(r, -26);
    PassLine(text);

    if (!CheckGenerationFlag(context)) {
        SkipArrayBody(text);
        return RTNORM;
    }
    if (!draw::TallyArray(context, n)) return -1;
    ObjVarList perCopy;
    if (ParseArrayVarNBlock(context, perCopy) < 0) return -1;
    const TextCursor body{text.cursor.line, 0};

    for (int k = 0; k < n; ++k) {
        if (!draw::Tally(context, 1, 0)) return ArrayFails(-1, perCopy, context);
        // A failed evaluation has printed its message.
        if (!ApplyCopyVars(perCopy, k, context)) return -2;
        BlockPlace at{offset, centre, angle, k, V, C, A, false, k * A};
        text.cursor = body;
        for (;;) {
            std::optional<std::string> line = draw::ReadKeywordLine(text, true);
            if (!line) {
                zcutPrintf("\n%s: ARRAY", draw::kBadCodeMessage);
                return ArrayFails(-1, perCopy, context);
            }
            if (draw::IsKeyword(*line, "END_ARRAY")) break;
            int r = 0;
            bool statement = true;
            const bool nested = draw::IsKeyword(*line, "ARRAY");
            if (IsBlockStatement(*line) && !draw::Tally(context, 1, nested ? 0 : 1))
                return ArrayFails(-1, perCopy, context);
            if (nested) {
                const Point3 origin = at.map({0.0, 0.0, 0.0});
                if (RunArrayBlock(origin, C, k * A, groups, context, catalogue) < 0)
                    return ArrayFails(-2, perCopy, context);
                if (!ApplyCopyVars(perCopy, k, context)) return -2;
                continue;
            }
            if (draw::IsKeyword(*line, "3DFACE"))
                r = Block3dFace(context, catalogue, groups, at);
            else if (draw::IsKeyword(*line, "PFACE"))
                r = BlockPface(context, catalogue, groups, at);
            else if (draw::IsKeyword(*line, "LINE"))
                r = BlockLine(context, catalogue, groups, at);
            else if (draw::IsKeyword(*line, "CIRCLE"))
                r = BlockCircle(context, catalogue, groups, at);
            else if (draw::IsKeyword(*line, "ARC"))
                r = BlockArc(context, catalogue, groups, at);
            else
                statement = false;
            if (r < 0) return ArrayFails(r, perCopy, context);
            if (statement) PassLine(text);
        }
    }
    if (!perCopy.empty()) {
        std::uint64_t work = 0;
        EndArrayVarN(perCopy, context, &work);
        if (!draw::Tally(context, work, 0)) return -1;
    }
    text.cursor = body;
    if (!SkipArrayBody(text)) {
        zcutPrintf("\n%s: ARRAY", draw::kBadCodeMessage);
        return -1;
    }
    return RTNORM;
}

int RunRotateBlock(ObjContext& context, const AAR_LAYERC& catalogue) {
    ObjText& text = *context.text;
    BlockPlace at;
    at.k = 1;
    at.rotate = true;
    if (draw::ReadPoint(context, at.V) != 0 || draw::ReadPoint(context, at.C) != 0 ||
        draw::ReadReal(context, at.A) != 0)
        return -1;
    at.arcTurn = at.A;
    for (;;) {
        std::optional<std::string> line = draw::ReadKeywordLine(text, true);
        if (!line) {
            zcutPrintf("\n%s: ROTATE", draw::kBadCodeMessage);
            return -1;
        }
        if (draw::IsKeyword(*line, "END_ROTATE")) return RTNORM;
        const bool statement = (IsBlockStatement(*line) && !draw::IsKeyword(*line, "ARRAY")) ||
                               draw::IsKeyword(*line, "TEXT") || draw::IsKeyword(*line, "ATTDEF");
        if (statement && !draw::Tally(context, 1, 1)) return -1;
        int r = 0;
        if (draw::IsKeyword(*line, "3DFACE"))
            r = Block3dFace(context, catalogue, 1, at);
        else if (draw::IsKeyword(*line, "PFACE"))
            r = BlockPface(context, catalogue, 1, at);
        else if (draw::IsKeyword(*line, "LINE"))
            r = BlockLine(context, catalogue, 1, at);
        else if (draw::IsKeyword(*line, "CIRCLE"))
            r = BlockCircle(context, catalogue, 1, at);
        else if (draw::IsKeyword(*line, "ARC"))
            r = BlockArc(context, catalogue, 1, at);
        else if (draw::IsKeyword(*line, "TEXT") || draw::IsKeyword(*line, "ATTDEF")) {
            const bool attdef = draw::IsKeyword(*line, "ATTDEF");
            draw::TextTurn turn;
            turn.map = [&at](const Point3& q) { return at.map(q); };
            turn.angle = at.A;
            r = attdef ? draw::DrawAttdefTurned(1, context, catalogue, turn)
                       : draw::DrawTextTurned(1, context, catalogue, turn);
        }
        if (r < 0) return -1;
    }
}

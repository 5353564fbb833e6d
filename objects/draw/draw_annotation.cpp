// Annotation DRAW statements.
#include "objects/draw/draw_annotation.h"

#include <cstdio>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/units.h"
#include "host/ed/cmdproc.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "objects/draw/draw_common.h"
#include "objects/language/obj_args.h"

using draw::Header;

namespace {

// Values and joins of TEXTNS are cut to what a text entity takes.
constexpr std::size_t kValueChars = 255;
constexpr std::size_t kJoinChars = 259;
constexpr std::size_t kDimTextChars = 79;

std::size_t SkipBlanks(std::string_view s, std::size_t pos) {
    while (pos < s.size() && static_cast<unsigned char>(s[pos]) <= 32) ++pos;
    return pos;
}

// The first `chars` characters (code points) of a UTF-8 text.
std::string CutChars(const std::string& s, std::size_t chars) {
    std::size_t pos = 0, n = 0;
    while (pos < s.size() && n < chars) {
        host::decodeUtf8(s, pos);
        ++n;
    }
    return s.substr(0, pos);
}

std::string Quoted(std::string_view arg, std::size_t pos) {
    const std::size_t end = arg.find('"', pos + 1);
    return std::string(
        arg.substr(pos + 1, end == std::string_view::npos ? std::string_view::npos : end - pos - 1));
}

// The variable named at `pos` (just after "$"), or null.
const ObjVar* VarAt(std::string_view arg, std::size_t pos, const ObjContext& context) {
    std::size_t end = pos;
    while (end < arg.size() && arg[end] >= '0' && arg[end] <= '9') ++end;
    if (end == pos || end - pos > 9) return nullptr;
    int number = 0;  // nine digits at most: never beyond an int
    for (std::size_t i = pos; i < end; ++i) number = number * 10 + (arg[i] - '0');
    return FindContextVar(number, context);
}

// The longest text of a value (the buffer of Decimal less its end).
constexpr std::size_t kDecimalChars = 129;

std::string Decimal(double value, int precision) {
    char buf[kDecimalChars + 1] = "";
    zcdbRToS(value, 2, precision, buf);
    return buf;
}

bool StyleExists(const char* table, const std::string& name) {
    return host::tableHasRecord(table, name.c_str());
}

bool TextStyleExists(const std::string& name) {
    return host::readableTextStyle(name) != nullptr;
}

int ReadValueArg(ObjContext& context, int precision, std::string& out) {
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return -1;
    return ReadTextValue(arg, precision, context, out);
}

struct TextPlacement {
    Point3 point;
    int justification = 0;
    std::string style;
    double height = 0.0, rotation = 0.0;
};

int ReadPlacement(ObjContext& context, TextPlacement& t) {
    return ReadTextPlacement(context, t.point, t.justification, t.style, t.height, t.rotation);
}

Header ReadHeader(ObjContext& context, const AAR_LAYERC& catalogue, int groups, const draw::TextTurn* turn,
                  std::string& layer) {
    return draw::ReadStatementHeader(context, catalogue, groups != 0, turn == nullptr, turn != nullptr,
                                     layer);
}

void Turn(TextPlacement& t, const draw::TextTurn* turn) {
    if (!turn) return;
    t.point = turn->map(t.point);
    t.rotation += turn->angle;
}

// TEXT and TEXTNS: the text last, or group 11 last for TEXTNS.
void MakeText(const std::string& layer, const TextPlacement& t, const std::string& text, int generation,
              bool pointLast) {
    ads_point p;
    draw::ToAds(t.point, p);
    const int horizontal = t.justification % 100, vertical = t.justification / 100;
    resbuf* list = zcutBuildList(RTDXF0, "TEXT", 8, layer.c_str(), 41, GetStyleWidthFactor(t.style), 51,
                                 GetStyleObliqueAngle(t.style), 62, 256, 10, p, 0);
    resbuf* tail = list;
    auto append = [&tail](resbuf* more) {
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = more;
    };
    if (!pointLast) append(zcutBuildList(11, p, 0));
    append(zcutBuildList(1, text.c_str(), 7, t.style.c_str(), 40, t.height, 50, t.rotation, 71, generation,
                         72, horizontal, 73, vertical, 0));
    if (pointLast) append(zcutBuildList(11, p, 0));
    draw::MakeEntity(list);
}

int TextStatement(int groups, ObjContext& context, const AAR_LAYERC& catalogue, const draw::TextTurn* turn) {
    std::string layer;
    const Header h = ReadHeader(context, catalogue, groups, turn, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    TextPlacement t;
    int precision = 0;
    std::string text;
    if (ReadPlacement(context, t) < 0 || draw::ReadInt(context, precision) != 0 ||
        ReadValueArg(context, precision, text) < 0)
        return -1;
    Turn(t, turn);
    const int generation = context.mirrored ? (turn ? 4 : 2) : 0;
    MakeText(layer, t, text, generation, false);
    return RTNORM;
}

int AttdefStatement(int groups, ObjContext& context, const AAR_LAYERC& catalogue,
                    const draw::TextTurn* turn) {
    std::string layer;
    const Header h = ReadHeader(context, catalogue, groups, turn, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    TextPlacement t;
    int precision = 0, flags = 0;
    std::string value, tag, prompt;
    if (ReadPlacement(context, t) < 0 || draw::ReadInt(context, precision) != 0 ||
        ReadValueArg(context, precision, value) < 0 || draw::ReadInt(context, flags) != 0 ||
        ReadValueArg(context, 0, tag) < 0 || ReadValueArg(context, 0, prompt) < 0)
        return -1;
    Turn(t, turn);

    // The text's groups before the attribute's own, the order in which the
    // entity files them; inside ROTATE also its rotation and generation.
    using Item = ZcDbDxfItem;
    std::vector<Item> items;
    items.reserve(16);
    // One by one, each moved in: a list to insert would be copied, its
    // texts with it.
    const auto add = [&items](Item&& it) { items.push_back(std::move(it)); };
    add(Item::ofText(8, layer));
    add(Item::ofInt(62, 256));
    add(draw::PointGroup(10, t.point));
    add(Item::ofReal(40, t.height));
    add(Item::ofText(1, value));
    if (turn) add(Item::ofReal(50, t.rotation));
    add(Item::ofReal(41, GetStyleWidthFactor(t.style)));
    add(Item::ofReal(51, GetStyleObliqueAngle(t.style)));
    add(Item::ofText(7, t.style));
    if (turn) add(Item::ofInt(71, context.mirrored ? 4 : 0));
    add(Item::ofInt(72, t.justification % 100));
    add(draw::PointGroup(11, t.point));
    add(Item::ofText(3, prompt));
    add(Item::ofText(2, tag));
    add(Item::ofInt(70, flags));
    add(Item::ofInt(74, t.justification / 100));

    // The texts are the record's now: the items hold their own copies.
    // A definition has a few: grown once, not at each.
    if (context.attdefs.empty()) context.attdefs.reserve(8);
    AttdefRecord& record = context.attdefs.emplace_back();
    record.layer = std::move(layer);
    record.flags = flags;
    record.tag = std::move(tag);
    record.prompt = std::move(prompt);
    record.style = std::move(t.style);
    record.defaultValue = std::move(value);
    record.height = t.height;
    record.point[0] = t.point.x;
    record.point[1] = t.point.y;
    record.point[2] = t.point.z;
    record.rotation = t.rotation;
    record.justification = static_cast<std::int16_t>(t.justification);
    draw::MakeEntity("ATTDEF", std::move(items));
    return RTNORM;
}

}  // namespace

int ReadTextValue(std::string_view arg, int precision, const ObjContext& context, std::string& out) {
    out.clear();
    const std::size_t pos = SkipBlanks(arg, 0);
    if (pos >= arg.size()) return 1;
    if (arg[pos] == '"') {
        out = Quoted(arg, pos);
        return 1;
    }
    if (arg[pos] != '$') return 1;
    const ObjVar* v = VarAt(arg, pos + 1, context);
    if (!v) return -1;
    if (v->type == u'S') {
        out = v->text;
        return 1;
    }
    // Zeros kept as DIMZIN 1 keeps them, given to the conversion: setting
    // the variable and back for every value told every editor reactor twice.
    out = host::realToString(v->value, 2, precision, 1).value_or("");
    if (out.size() > kDecimalChars) out.resize(kDecimalChars);
    return 1;
}

int ReadTextPlacement(ObjContext& context, Point3& point, int& justification, std::string& style,
                      double& height, double& rotation) {
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return -1;
    double p[3] = {0.0, 0.0, 0.0};
    int kind = 0;
    if (EvalPointLine(arg, p, kind, context) < 0) return -1;
    point = {p[0], p[1], p[2]};
    justification = kind;
    if (ReadValueArg(context, 0, style) < 0) return -1;
    if (!TextStyleExists(style)) style = "STANDARD";
    if (draw::ReadReal(context, height) != 0 || draw::ReadReal(context, rotation) != 0) return -1;
    return 1;
}

int ReadDimensionText(ObjContext& context, std::string& out) {
    out.clear();
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return -1;
    const std::size_t pos = SkipBlanks(arg, 0);
    if (pos >= arg.size()) return 1;
    if (arg[pos] == '"') {
        out = CutChars(Quoted(arg, pos), kDimTextChars);
        return 1;
    }
    if (arg[pos] != '$') return 1;
    const ObjVar* v = VarAt(arg, pos + 1, context);
    if (!v) return -1;
    if (v->type == u'S') {
        out = v->text;
        return 1;
    }
    const int keep = -1, off = 0;
    const double factor = SysVarReal("DIMLFAC", nullptr, &off);
    out = Decimal(v->value * factor, SysVarShort("DIMDEC", &keep));
    return 1;
}

int DrawText(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    return TextStatement(groups, context, catalogue, nullptr);
}

int DrawAttdef(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    return AttdefStatement(groups, context, catalogue, nullptr);
}

int DrawTextNs(ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = ReadHeader(context, catalogue, 1, nullptr, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    TextPlacement t;
    int n = 0;
    if (ReadPlacement(context, t) < 0 || draw::ReadInt(context, n) != 0) return -1;
    std::string joined;
    for (int i = 0; i < n; ++i) {
        int precision = 0;
        std::string value;
        if (draw::ReadInt(context, precision) != 0 || ReadValueArg(context, precision, value) < 0) return -1;
        joined += CutChars(value, kValueChars);
    }
    MakeText(layer, t, CutChars(joined, kJoinChars), context.mirrored ? 2 : 0, true);
    return RTNORM;
}

int DrawHatch(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    ObjText& text = *context.text;
    const bool drawn = CheckGenerationFlag(context) != 0;
    std::optional<std::string> line = ReadTextLine(text, 258, false);
    if (!line) return -1;
    std::string layer = *line;
    SubstituteLayer(context.layerSubstitutions, layer);
    const bool refused = drawn && !PrepareStatementLayer(groups != 0, layer, &context, catalogue, false, 0.0);
    if (zcdbSNValid(layer.c_str(), 0) != RTNORM) return -1;
    std::optional<std::string> pattern = ReadTextLine(text, 258, false);
    if (!pattern || TextAtEnd(text)) return kHatchContourFailed;
    int n = 0;
    if (std::sscanf(text.lines[text.cursor.line].text.c_str(), "%d", &n) != 1) return kHatchContourFailed;
    if (!drawn || refused) return RTNORM;
    PassLine(text);

    double values[3];
    if (draw::ReadValues(context, values) != 0) return kHatchContourFailed;
    DeferredHatch hatch;
    hatch.layer = layer;
    hatch.pattern = *pattern;
    hatch.scale = values[0];
    hatch.angle = values[1];
    VertexNode* head = nullptr;
    for (int i = 0; i < n; ++i) {
        Point3 p;
        if (draw::ReadPoint(context, p) != 0) {
            FreeList(head);
            return kHatchContourFailed;
        }
        AppendVertex(&head, p, 1, 0, 0);
    }
    hatch.contour.reset(head);
    context.hatches.insert(context.hatches.begin(), std::move(hatch));
    return RTNORM;
}

int DrawDim(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = ReadHeader(context, catalogue, groups, nullptr, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    ObjText& text = *context.text;
    std::optional<std::string> style = ReadTextLine(text, 258, false);
    if (!style || style->empty() || !StyleExists("DIMSTYLE", *style)) return -1;
    std::optional<std::string> type = ReadTextLine(text, 258, false);
    if (!type) return -1;
    std::string dimText;
    if (ReadDimensionText(context, dimText) < 0) return -1;
    const bool aligned = zcutEqualsNoCase(*type, "ALIGNED");
    if (!aligned && !zcutEqualsNoCase(*type, "ANGULAR")) return -1;
    Point3 p[4];
    for (int i = 0; i < (aligned ? 3 : 4); ++i)
        if (draw::ReadPoint(context, p[i]) != 0) return -1;

    std::string former;
    SysVarString("DIMSTYLE", "", former);
    zcedCommand(RTSTR, "_DIMSTYLE", RTSTR, "", RTSTR, style->c_str(), 0);
    ads_name before{0, 0};
    const bool hadLast = zcdbEntLast(before) == RTNORM;
    ads_point a[4];
    for (int i = 0; i < 4; ++i) draw::ToAds(p[i], a[i]);
    const std::string kind = "_" + *type;
    const host::ResbufList args(
        aligned
            ? zcutBuildList(RTSTR, "_DIM1", RTSTR, kind.c_str(), RT3DPOINT, a[0], RT3DPOINT, a[1], RT3DPOINT,
                            a[2], RTSTR, dimText.c_str(), 0)
            : zcutBuildList(RTSTR, "_DIM1", RTSTR, kind.c_str(), RTSTR, "", RT3DPOINT, a[0], RT3DPOINT, a[1],
                            RT3DPOINT, a[2], RT3DPOINT, a[3], RTSTR, dimText.c_str(), RTSTR, "", 0));
    zcedCmd(args.get());

    // Only the dimension this statement's command made is copied and
    // deleted; the drawing's last entity before it is never touched.
    ads_name made{0, 0};
    bool fresh = zcdbEntLast(made) == RTNORM && !(hadLast && ads_name_equal(before, made));
    std::string block;
    if (fresh) {
        const host::ResbufList data(zcdbEntGet(made));
        const resbuf* kindGroup = data ? FindRbCode(data.get(), 0) : nullptr;
        fresh = kindGroup && kindGroup->resval.rstring &&
                zcutEqualsNoCase(kindGroup->resval.rstring, "DIMENSION");
        if (fresh)
            if (const resbuf* name = FindRbCode(data.get(), 2); name && name->resval.rstring)
                block = name->resval.rstring;
    }
    if (!block.empty()) {
        resbuf* dim =
            aligned
                ? zcutBuildList(RTDXF0, "DIMENSION", 2, block.c_str(), 3, style->c_str(), 8, layer.c_str(),
                                10, a[0], 11, a[2], 13, a[0], 14, a[1], 15, a[2], 70, 1, 0)
                : zcutBuildList(RTDXF0, "DIMENSION", 2, block.c_str(), 3, style->c_str(), 8, layer.c_str(),
                                10, a[2], 11, a[1], 13, a[0], 14, a[1], 16, a[3], 70, 2, 0);
        draw::MakeEntity(dim);
    }
    if (!former.empty()) zcedCommand(RTSTR, "_DIMSTYLE", RTSTR, "", RTSTR, former.c_str(), 0);
    if (fresh) zcdbEntDel(made);
    return RTNORM;
}

namespace draw {

int DrawTextTurned(int groups, ObjContext& context, const AAR_LAYERC& catalogue, const TextTurn& turn) {
    return TextStatement(groups, context, catalogue, &turn);
}

int DrawAttdefTurned(int groups, ObjContext& context, const AAR_LAYERC& catalogue, const TextTurn& turn) {
    return AttdefStatement(groups, context, catalogue, &turn);
}

}  // namespace draw

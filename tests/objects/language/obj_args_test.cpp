// Statement arguments and layers: bracketed arguments over lines, value
// items and points, the generation flag, and the statement's layer.
#include "objects/language/obj_args.h"

#include <gtest/gtest.h>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/win/textutil.h"
#include "lang_fixture.h"

namespace {

bool HasLayer(const std::string& name) {
    resbuf* rec = zcdbTblSearch("LAYER", name.c_str(), 0);
    if (rec) zcutRelRb(rec);
    return rec != nullptr;
}

}  // namespace

TEST_F(ObjLanguage, bracketed_arguments_run_over_lines_and_keep_escaped_brackets) {
    std::string longValue(400, '7');
    write("ARGS.txt", "DRAW\nLINE (1 2\n 3) +(4 5 6) x -(7)\n(50%% %)) (a)\n(" + longValue + ")\n(open");
    ObjContext& c = load("ARGS");
    ObjText& t = *c.text;
    std::string arg;
    ASSERT_EQ(ReadParenArg(arg, t), RTNORM);
    EXPECT_EQ(arg, "1 2\n 3");
    int sign = -1;
    ASSERT_EQ(ReadSignedParenArg(sign, arg, t), RTNORM);
    EXPECT_EQ(sign, 1);
    EXPECT_EQ(arg, "4 5 6");
    ASSERT_EQ(ReadSignedParenArg(sign, arg, t), RTNORM);
    EXPECT_EQ(sign, 0);
    EXPECT_EQ(arg, "7");
    // The cursor stays on the line where the argument ended.
    EXPECT_EQ(ReadTextLine(t, 124, true).value(), " 3) +(4 5 6) x -(7)");
    ASSERT_EQ(ReadParenArg(arg, t), RTNORM);
    EXPECT_EQ(arg, "50% )");
    ASSERT_EQ(ReadParenArg(arg, t), RTNORM);
    EXPECT_EQ(arg, "a");
    ASSERT_EQ(ReadParenArg(arg, t), RTNORM);
    EXPECT_EQ(arg, longValue);  // read whole, whatever its length
    EXPECT_EQ(ReadParenArg(arg, t), -1);
    EXPECT_EQ(ReadParenArg(arg, t), -1);
}

// Arguments are copied a run of ASCII at a time: what is read must be what
// reading character by character gives, with letters beyond ASCII, bytes
// that are not UTF-8, escapes and brackets at every place of a line.
TEST_F(ObjLanguage, arguments_read_as_character_by_character_reading_reads_them) {
    const auto byChars = [](std::string& out, ObjText& text) -> int {
        if (TextAtEnd(text)) return -1;
        out.clear();
        for (int c = NextTextChar(text); c != '('; c = NextTextChar(text))
            if (c < 0) return -1;
        for (;;) {
            int c = NextTextChar(text);
            if (c < 0) return -1;
            if (c == ')') return RTNORM;
            if (c == '%' && (c = NextTextChar(text)) < 0) return -1;
            host::appendUtf8(out, static_cast<char32_t>(c));
        }
    };
    write("MIXED.txt", "DRAW\nTEXT (Łódź \xE5 50%% %)) ż(ścianа\n\xC3(x%\xC3\xB3)\n)(\xE2\x82) (a(b)\n(%)");
    ObjText& fast = *load("MIXED").text;
    ObjText slow = fast;
    for (int i = 0; i < 8; ++i) {
        std::string a, b;
        const int ra = ReadParenArg(a, fast), rb = byChars(b, slow);
        ASSERT_EQ(ra, rb) << i;
        EXPECT_EQ(a, b) << i;
        EXPECT_EQ(fast.cursor.line, slow.cursor.line) << i;
        EXPECT_EQ(fast.cursor.pos, slow.cursor.pos) << i;
        if (ra < 0) break;
    }
}

TEST_F(ObjLanguage, values_and_points_from_arguments) {
    auto c = NewObjContext("OBJ");
    SetObjVar(8, kVarParameter, 1, u'D', "W", 90.5, "", 0, 0, c->vars);
    SetObjVar(9, kVarFixed, 0, u'R', "", 3.0, "", 0, 0, c->vars);
    int whole = 0;
    double real = 0;
    EXPECT_EQ(ReadNumOrVar("$8", true, whole, real, c->vars), 1);
    EXPECT_EQ(whole, 90);
    EXPECT_EQ(ReadNumOrVar("12.75", false, whole, real, c->vars), 1);
    EXPECT_EQ(real, 12.75);
    EXPECT_EQ(ReadNumOrVar("-1", false, whole, real, c->vars), -1);
    EXPECT_EQ(ReadNumOrVar("$77", false, whole, real, c->vars), -1);
    EXPECT_NE(transcript().find("\nNastępujące parametry nie zostały zdefiniowane: 77"), std::string::npos);

    // Two values leave the third coordinate as the caller set it.
    double p[3] = {0, 0, 42};
    int kind = -1;
    EXPECT_EQ(EvalPointLine("$8 -2.5", p, kind, *c), 0);
    EXPECT_EQ(p[0], 90.5);
    EXPECT_EQ(p[1], -2.5);
    EXPECT_EQ(p[2], 42);
    EXPECT_EQ(EvalPointLine("1 2 3 $9", p, kind, *c), 1);
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(EvalPointLine("1 2 3 201", p, kind, *c), 1);
    EXPECT_EQ(kind, 201);
    EXPECT_EQ(EvalPointLine("1 $66 3", p, kind, *c), -1);
    EXPECT_NE(transcript().find("\nNastępujące parametry nie zostały zdefiniowane: 66-OBJ"),
              std::string::npos);
    EXPECT_EQ(EvalPointLine("1 2 3 $67", p, kind, *c), -1);
}

TEST_F(ObjLanguage, generation_flag_with_and_without_brackets) {
    write("FLAGS.txt", "(0)\nLAYER\n($9)\n(x)\n( 1 )\n");
    ObjContext& c = load("FLAGS");
    SetObjVar(9, kVarFixed, 0, u'R', "", 2.7, "", 0, 0, c.vars);
    EXPECT_EQ(CheckGenerationFlag(c), 0);
    EXPECT_EQ(c.text->cursor.line, 1u);
    EXPECT_EQ(CheckGenerationFlag(c), 1);  // no brackets: the line stays
    EXPECT_EQ(c.text->cursor.line, 1u);
    c.text->cursor.line = 2;
    EXPECT_EQ(CheckGenerationFlag(c), 2);
    EXPECT_EQ(CheckGenerationFlag(c), 1);
    EXPECT_NE(transcript().find("\nNieprawidłowe generowanie flagi! in file FLAGS"), std::string::npos);
    EXPECT_EQ(CheckGenerationFlag(c), 1);
    EXPECT_EQ(c.text->cursor.line, 5u);
}

TEST_F(ObjLanguage, statement_layers_are_resolved_refused_and_made) {
    AAR_LAYERC catalogue;
    catalogue.ParseLayerDefLines({"**Otwory,", "2DWINDOWS,2DWINDOWS,4,Okna,Continuous,18",
                                  "3DWINDOWS,3DWINDOWS,140,Okna 3D,Continuous,-3"});
    auto c = NewObjContext("F1");
    SetObjVar(21, kVarFixed, 0, u'S', "", 0.0, "MOJA", 0, 0, c->vars);

    std::string layer = "2DWINDOWS";
    EXPECT_TRUE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    EXPECT_TRUE(HasLayer("2DWINDOWS"));
    ASSERT_NE(c->madeLayers, nullptr);
    EXPECT_EQ(c->madeLayers->layerName, "2DWINDOWS");
    EXPECT_EQ(c->madeLayers->colorIndex, 4);
    layer = "2DWINDOWS";
    EXPECT_TRUE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    EXPECT_EQ(c->madeLayers->next, nullptr);  // an existing layer is not listed again

    layer = "-$21";
    EXPECT_TRUE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    EXPECT_EQ(layer, "MOJA");
    // A floor layer stands for its key on that floor.
    layer = "VELM3DWINDOWS$300";
    EXPECT_TRUE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    EXPECT_EQ(layer.rfind("VELM3DWINDOWS$300", 0), 0u) << layer;

    c->only3d = 1;
    layer = "2dwindows";
    EXPECT_FALSE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    c->only3d = 0;
    c->replace2d = 1;
    c->replacementLayer = "ZAMIANA";
    layer = "3DWINDOWS";
    EXPECT_FALSE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    layer = "2DWINDOWS";
    EXPECT_TRUE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    EXPECT_EQ(layer, "ZAMIANA");
    c->replace2d = 0;

    // Layer groups: "*" generates everything but what "X*" excludes.
    VELM_GENGRUPPO* groups = OpenGenGruppoObject();
    ASSERT_NE(groups, nullptr);
    groups->generating = {"*"};
    groups->nonGenerating = {"X*"};
    EXPECT_FALSE(LayerInGroups(*groups, "XWALL"));
    EXPECT_TRUE(LayerInGroups(*groups, "wall"));
    const ZcDbObjectId groupsId = groups->objectId();
    groups->close();
    // The groups are only read: the drawing is told of no change to them.
    struct Seen : ZcDbDatabaseReactor {
        ZcDbObjectId watched;
        int changes = 0;
        void objectModified(const ZcDbDatabase*, const ZcDbObject* o) override {
            changes += o->objectId() == watched;
        }
    } seen;
    seen.watched = groupsId;
    zcdbCurDwg()->addReactor(&seen);
    layer = "XWALL";
    EXPECT_FALSE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    EXPECT_FALSE(HasLayer("XWALL"));
    layer = "wall";
    EXPECT_TRUE(PrepareStatementLayer(true, layer, c.get(), catalogue, false, 0.0));
    zcdbCurDwg()->removeReactor(&seen);
    EXPECT_EQ(seen.changes, 0);
    layer = "XWALL";
    EXPECT_TRUE(PrepareStatementLayer(false, layer, c.get(), catalogue, false, 0.0));
    // Without a context the name is only resolved.
    layer = "NEWONE";
    EXPECT_TRUE(PrepareStatementLayer(false, layer, nullptr, catalogue, false, 0.0));
    EXPECT_FALSE(HasLayer("NEWONE"));
    // A name the layer service refuses is not drawn on.
    layer = std::string(300, 'L');
    EXPECT_FALSE(PrepareStatementLayer(false, layer, c.get(), catalogue, false, 0.0));

    std::vector<LayerSubstitution> subst = {{"2dwindows", "MY2D"}, {"2DWINDOWS", "OTHER"}};
    layer = "2DWINDOWS";
    SubstituteLayer(subst, layer);
    EXPECT_EQ(layer, "MY2D");
    layer = "3DWINDOWS";
    SubstituteLayer(subst, layer);
    EXPECT_EQ(layer, "3DWINDOWS");
    FreeObjContext(std::move(c));
}

TEST_F(ObjLanguage, text_style_lookups) {
    EXPECT_EQ(GetStyleWidthFactor("NOSUCHSTYLE"), 1.0);
    EXPECT_EQ(GetStyleObliqueAngle("NOSUCHSTYLE"), 0.0);
    EXPECT_EQ(GetStyleWidthFactor("STANDARD"), 1.0);
}

// The DRAW section runner.
#include "objects/draw/draw_runner.h"

#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "core/hatch.h"
#include "core/host_services.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "objects/draw/draw_annotation.h"
#include "objects/draw/draw_blocks.h"
#include "objects/draw/draw_common.h"
#include "objects/draw/draw_geometry.h"
#include "objects/language/obj_args.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

using Statement = int (*)(ObjContext&, const AAR_LAYERC&);

struct Keyword {
    const char* name;
    Statement run;
    int code;
};

// Comparison order matters: the first keyword that matches runs.
const Keyword kKeywords[] = {
    {"ARRAY", nullptr, 0},
    {"ROTATE", [](ObjContext& c, const AAR_LAYERC& t) { return RunRotateBlock(c, t); }, kDrawRotateFailed},
    {"PFACE", [](ObjContext& c, const AAR_LAYERC& t) { return DrawPface(c, t); }, kDrawPfaceFailed},
    {"3DFACE", [](ObjContext& c, const AAR_LAYERC& t) { return Draw3dFace(1, c, t); }, kDraw3dFaceFailed},
    {"LINE", [](ObjContext& c, const AAR_LAYERC& t) { return DrawLine(1, c, t); }, kDrawLineFailed},
    {"CIRCLE", [](ObjContext& c, const AAR_LAYERC& t) { return DrawCircle(1, c, t); }, kDrawCircleFailed},
    {"ARC", [](ObjContext& c, const AAR_LAYERC& t) { return DrawArc(1, c, t); }, kDrawArcFailed},
    {"TEXT", [](ObjContext& c, const AAR_LAYERC& t) { return DrawText(1, c, t); }, kDrawTextFailed},
    {"HATCH", [](ObjContext& c, const AAR_LAYERC& t) { return DrawHatch(1, c, t); }, kDrawHatchFailed},
    {"DIM", [](ObjContext& c, const AAR_LAYERC& t) { return DrawDim(1, c, t); }, kDrawDimFailed},
    {"ATTDEF", [](ObjContext& c, const AAR_LAYERC& t) { return DrawAttdef(1, c, t); }, kDrawAttdefFailed},
    {"TEXTNS", [](ObjContext& c, const AAR_LAYERC& t) { return DrawTextNs(c, t); }, kDrawTextNsFailed},
    {"PLINE", [](ObjContext& c, const AAR_LAYERC& t) { return DrawPline(1, c, t); }, kDrawPlineFailed},
    {"SPOLIG", [](ObjContext& c, const AAR_LAYERC& t) { return DrawSpolig(1, c, t); }, kDrawPolygonFailed},
    {"LWPLINE", [](ObjContext& c, const AAR_LAYERC& t) { return DrawLwpline(1, c, t); }, kDrawPolygonFailed},
};

// The statement a line names, or null. Keywords are whole lines compared
// ignoring case, so at most one matches; an ASCII first letter that is not
// a keyword's, in either case, rules that keyword out without the whole
// comparison (most lines of a section are arguments, not keywords).
bool NamesKeyword(std::string_view line, const char* keyword) {
    const auto first = line.empty() ? 0u : static_cast<unsigned char>(line[0]);
    const unsigned upper = first >= 'a' && first <= 'z' ? first - 32u : first;
    if (first && first < 0x80 && upper != static_cast<unsigned char>(keyword[0])) return false;
    return draw::IsKeyword(line, keyword);
}

const Keyword* StatementOf(std::string_view line) {
    for (const Keyword& k : kKeywords)
        if (NamesKeyword(line, k.name)) return &k;
    return nullptr;
}

void EndBlock() {
    draw::MakeEntity("ENDBLK", {});
}

bool LayerExists(const std::string& name) {
    return host::tableHasRecord("LAYER", name.c_str());
}

ZcDbXform ToXform(const Matrix4& m) {
    ZcDbXform x;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) x.m[i][j] = m.m[i][j];
    return x;
}

// One recorded contour hatched in its own plane and added to the block.
void MakeDeferredHatch(const DeferredHatch& record, const std::string& blockName) {
    const VertexNode* first = record.contour.get();
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    if (!first || !first->next || !PolygonNormal(first, a, b, c, d)) return;
    if (HostDistance(first->pt(), first->next->pt()) < GeomEpsilon) return;
    Matrix4 toBlock, toPlane;
    CoordSystemFromNormal(first, toBlock, a, b, c);
    if (!InvertMatrix4(toBlock, toPlane)) return;

    auto* hatch = new ZcDbHatch;
    hatch->setPatternScale(record.scale);
    hatch->setPatternAngle(record.angle);
    hatch->setLayer(record.layer);
    hatch->setAssociative(false);
    const bool custom = IsCustomPattern(record.pattern, "HATCH");
    hatch->setPattern(custom ? ZcDbHatch::kCustomDefined : ZcDbHatch::kPreDefined, record.pattern);
    std::vector<ZcGePoint2d> loop;
    for (const VertexNode* v = first; v; v = v->next) {
        Point3 q;
        TransformPoint(toPlane, v->pt(), q);
        loop.push_back({q.x, q.y});
    }
    loop.push_back(loop.front());
    if (hatch->appendLoop(ZcDbHatch::kExternal, loop) != Zcad::eOk) {
        delete hatch;
        return;
    }
    if (host::evaluateHatch(*hatch) != Zcad::eOk) {
        zcutPrintf("%s", kHatchTooDenseMessage);
        delete hatch;
        return;
    }
    hatch->transformBy(ToXform(toBlock));
    ZcDbDatabase* db = GetWorkingDatabase();
    ZcDbObjectId blockId = db ? db->recordId(db->blockTableId(), blockName) : ZcDbObjectId();
    ZcDbObjectPointer<ZcDbBlockTableRecord> block;
    if (blockId.isNull() || block.open(blockId, ZcDb::kForWrite) != Zcad::eOk) {
        delete hatch;
        return;
    }
    hatch->setDatabaseDefaults(db);
    hatch->setLayer(record.layer);
    // Closed once the block holds it, deleted when the block refuses it.
    ZcDbObjectPointer<ZcDbHatch> owned(hatch);
    block->appendZcDbEntity(hatch);
}

}  // namespace

void DrawFixedPointMarker(ObjContext& context, const AAR_LAYERC& catalogue) {
    const InsertionType type = context.insertionType;
    if (type == InsertionType::BlockOnly ||
        (type >= InsertionType::LabelBlockOnly && type <= InsertionType::ProgressiveLabel))
        return;
    std::string layer = "VELM_FIXEDP_X";
    EnsureLayer(layer, catalogue, false, 0.0, true, nullptr);
    const double h = SettingReal(SetupVar::SET_DIMQPFISSO) * 0.5;
    double p[3] = {0.0, 0.0, 0.0};
    GetObjPoint(context, p);
    const Point3 c[4] = {{p[0] - h, p[1] - h, 0.0},
                         {p[0] + h, p[1] - h, 0.0},
                         {p[0] + h, p[1] + h, 0.0},
                         {p[0] - h, p[1] + h, 0.0}};
    const int edges[6][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 2}, {1, 3}};
    for (const auto& e : edges) draw::MakeLine(layer, c[e[0]], c[e[1]]);
}

int RunDrawBlock(ObjContext& context, const AAR_LAYERC& catalogue) {
    if (!context.text) return kDrawTextEnded;
    // The layers prepared and the index of the variables serve this
    // section's statements only: between runs the drawing's layers and
    // groups may change, and the variables are declared anew.
    struct SectionScope {
        ObjContext& c;
        ObjVarIndex vars;
        const ObjVarIndex* outer;
        explicit SectionScope(ObjContext& context) : c(context), vars(context.vars), outer(context.drawVars) {
            c.preparedLayers.emplace();
            c.drawVars = &vars;
        }
        ~SectionScope() {
            c.preparedLayers.reset();
            c.drawVars = outer;
        }
    } scope(context);
    context.drawStatements = context.drawElements = 0;
    context.drawRefused = false;
    draw::MakeEntity("BLOCK", {ZcDbDxfItem::ofText(2, "*U"), ZcDbDxfItem::ofText(8, "0"),
                               ZcDbDxfItem::ofInt(70, 1), draw::PointGroup(10, {0.0, 0.0, 0.0})});
    int status = 1;
    while (status > 0) {
        std::optional<std::string> line = draw::ReadKeywordLine(*context.text, false);
        if (!line) {
            ReportTextFault(*context.text, context.text->lines.size(),
                            "sekcja DRAW nie kończy się wierszem END");
            status = kDrawTextEnded;
            break;
        }
        if (NamesKeyword(*line, "END")) break;
        const Keyword* k = StatementOf(*line);
        if (k && !draw::Tally(context, 1, k->run ? 1 : 0)) break;
        if (k && !k->run) {
            const int r = RunArrayBlock({}, {}, 0.0, 1, context, catalogue);
            status = r < 0 ? r - 100 : r;
        } else if (k && k->run(context, catalogue) < 0) {
            status = k->code;
        }
    }
    draw::CountRun(context, !context.drawRefused);
    if (context.drawRefused) {
        // Dropped whole: a block of a part of what the definition asked for
        // may already be millions of entities.
        zcdbEntMake(nullptr);
        return kDrawRunRefused;
    }
    if (status < 0) {
        EndBlock();
        return status;
    }
    if (SettingInt(SetupVar::SET_PFISSOATTIVO) != 0) DrawFixedPointMarker(context, catalogue);
    EndBlock();
    char name[260] = "";
    zcedGetInput(name);
    context.blockName = name;

    for (const DeferredHatch& h : context.hatches)
        if (!LayerExists(h.layer)) MakeBareLayer(h.layer);
    for (const DeferredHatch& h : context.hatches) MakeDeferredHatch(h, context.blockName);
    return status;
}

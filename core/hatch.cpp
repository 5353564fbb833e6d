// The hatching service. A contour is hatched in its own plane: the plane of
// the outer loop is given a coordinate system whose X axis runs along the
// loop's lowest edge (LowestEdgeCoordSystem), the loops are taken into that
// plane as 2D polyline loops, the host evaluates the pattern lines, and the
// hatch is moved into place. The record written with it repeats the plane
// and the loops in world coordinates, so that the hatch can be found by its
// outline and made again without the element.
//
// Reading a record back checks every group code in the record's order and
// refuses a record that is cut short or holds a foreign group, rather than
// reading values from the wrong groups.
#include "core/hatch.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/transcript.h"
#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"

namespace {

bool ContourUsable(const FaceRecord* contour, double normal[4]);
std::string HatchLayerName(const std::string& layer, int kind);
ZcDbHatch* NewHatch(const std::string& layer, double angleDegrees, double scale, const std::string& pattern);
bool AddLoops(ZcDbHatch* hatch, const FaceRecord* contour, const Matrix4* toPlane, double zRaise);
bool Evaluated(ZcDbHatch* hatch);
ZcDbXform ToXform(const Matrix4& m);
void RegisterHatchApp();
double Value(const double* p, double fallback) {
    return p ? *p : fallback;
}

}  // namespace

// ------------------------------------------------------------- hatching

void HatchContour(const FaceRecord* contour, const std::string& layer, const double* angle,
                  const double* scale, const double* elevation, const std::string& pattern, int kind) {
    double n[4];
    if (!ContourUsable(contour, n)) return;
    double z = Value(elevation, 0.0);
    double degrees = Value(angle, 0.0);
    double factor = Value(scale, 1.0);

    HatchXData data;
    Matrix4 toWorld;
    LowestEdgeCoordSystem(contour->corners, toWorld, n[0], n[1], n[2], z, data.p1, data.p2, data.p3);
    Matrix4 toPlane;
    if (!InvertMatrix4(toWorld, toPlane)) return;

    ZcDbHatch* hatch = NewHatch(HatchLayerName(layer, kind), degrees, factor, pattern);
    if (!AddLoops(hatch, contour, &toPlane, z) || !Evaluated(hatch)) return;
    hatch->transformBy(ToXform(toWorld));
    if (kind != 4) {
        data.kind = kind;
        data.scale = factor;
        data.angle = degrees;
        data.pattern = pattern;
        data.layer = layer;
        data.shift = 0.0;
        RegisterHatchApp();
        const host::ResbufList record(BuildHatchRecord(data, contour, false, z));
        hatch->setXData(record.get());
    }
    ZcDbObjectId id;
    if (AppendToModelSpace(id, hatch) != Zcad::eOk) delete hatch;
}

void HatchContourPlan(const FaceRecord* contour, const std::string& layer, const double* angle,
                      const double* scale, const std::string& pattern) {
    if (!contour || CountNodes(contour->corners) < 3) return;
    ZcDbHatch* hatch = NewHatch(layer, Value(angle, 0.0), Value(scale, 1.0), pattern);
    hatch->setElevation(contour->corners->z);
    if (!AddLoops(hatch, contour, nullptr, 0.0) || !Evaluated(hatch)) return;
    ZcDbObjectId id;
    if (AppendToModelSpace(id, hatch) != Zcad::eOk) delete hatch;
}

void HatchContour3d(const FaceRecord* contour, const std::string& layer, const double* angle,
                    const double* scale, const std::string& pattern, const double* shift) {
    double n[4];
    if (!ContourUsable(contour, n)) return;
    HatchXData data;
    data.kind = 3;
    data.scale = Value(scale, 1.0);
    data.angle = Value(angle, 0.0);
    data.pattern = pattern;
    data.layer = layer;
    data.shift = Value(shift, 0.0);

    std::string bare = layer;
    if (bare.size() >= 4 && zcutEqualsNoCase(std::string_view(bare).substr(0, 4), "VELM")) {
        bare = bare.substr(4);
        bare = bare.substr(0, bare.find('$'));
    }

    ads_point origin{0, 0, 0};
    const host::ResbufList head(zcutBuildList(RTDXF0, "BLOCK", 2, "*U", 8, "0", 70, 1, 10, origin, 0));
    if (zcdbEntMake(head.get()) != RTNORM) return;
    std::string edgeLayer = bare + "_c";
    for (const FaceRecord* loop = contour; loop; loop = loop->next) {
        for (const VertexNode* v = loop->corners; v; v = v->next) {
            if (v->edgeFlag != 0) continue;
            const VertexNode* w = v->next ? v->next : loop->corners;
            ads_point a{v->x, v->y, v->z}, b{w->x, w->y, w->z};
            const host::ResbufList line(
                zcutBuildList(RTDXF0, "LINE", 8, edgeLayer.c_str(), 62, 256, 10, a, 11, b, 39, 0.0, 0));
            zcdbEntMake(line.get());
        }
    }
    const host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (zcdbEntMake(end.get()) != RTNORM) return;
    char blockName[260] = "";
    zcedGetInput(blockName);

    Matrix4 toWorld, toPlane;
    LowestEdgeCoordSystem(contour->corners, toWorld, n[0], n[1], n[2], 0.0, data.p1, data.p2, data.p3,
                          &data.shift);
    if (InvertMatrix4(toWorld, toPlane)) {
        ZcDbHatch* hatch = NewHatch(bare, data.angle, data.scale, pattern);
        if (AddLoops(hatch, contour, &toPlane, 0.0) && Evaluated(hatch)) {
            hatch->transformBy(ToXform(toWorld));
            hatch->setDatabaseDefaults(GetWorkingDatabase());
            hatch->setLayer(bare);
            AppendToBlock(blockName, hatch);
        }
    }

    RegisterHatchApp();
    const host::ResbufList insert(
        zcutBuildList(RTDXF0, "INSERT", 2, blockName, 8, layer.c_str(), 10, origin, 50, 0.0, -3, 0));
    resbuf* tail = insert.get();
    while (tail && tail->rbnext) tail = tail->rbnext;
    if (tail) tail->rbnext = BuildHatchRecord(data, contour, true, 0.0);
    zcdbEntMake(insert.get());
}

// ------------------------------------------------------------- reading back

FaceRecord* GetHatchData(const ads_name entity, HatchXData& data) {
    const host::ResbufList apps(zcutBuildList(RTSTR, kHatchApp, 0));
    const host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    FaceRecord* loops = nullptr;
    if (const resbuf* app = FindXDataApp(list.get(), kHatchApp)) loops = ParseHatchRecord(app, data);
    return loops;
}

int FindHatchByOutline(const VertexNode* outline, double tolerance, HatchXData& data, ads_name entity) {
    int count = CountNodes(outline);
    if (count < 3) return 0;
    const host::ResbufList filter(zcutBuildList(-3, 1001, kHatchApp, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return 0;
    double tol = std::fabs(tolerance);
    int found = 0;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n && !found; ++i) {
        ads_name member;
        if (zcedSSName(set, i, member) != RTNORM) continue;
        OwnedList<FaceRecord> loops(GetHatchData(member, data));
        if (!loops || CountNodes(loops->corners) != count) continue;
        bool all = true;
        for (const VertexNode* o = outline; o && all; o = o->next) {
            bool near = false;
            for (const VertexNode* v = loops->corners; v && !near; v = v->next)
                near = HostDistance(o->pt(), v->pt()) < tol;
            all = near;
        }
        if (all) {
            ads_name_set(member, entity);
            found = data.kind;
        }
    }
    zcedSSFree(set);
    return found;
}

// ------------------------------------------------------------- the parts

HatchLayerKey HatchLayerKeyFor(const std::string& layer, int kind) {
    HatchLayerKey out;
    if (layer.size() >= 4 && zcutEqualsNoCase(std::string_view(layer).substr(0, 4), "VELM")) {
        std::string rest = layer.substr(4);
        out.key = rest.substr(0, rest.find('$'));
        out.useLevel = true;
        if (!ParseDollarNumber(layer, out.level)) out.level = 0.0;
        return out;
    }
    if (kind == 1 || kind == 2)
        out.key = "3D" + layer + "_H";
    else if (kind == 6)
        out.key = layer + "_H";
    else
        out.key = layer;
    return out;
}

resbuf* BuildHatchRecord(const HatchXData& d, const FaceRecord* loops, bool withFlags, double zRaise) {
    ads_point p1{d.p1.x, d.p1.y, d.p1.z}, p2{d.p2.x, d.p2.y, d.p2.z}, p3{d.p3.x, d.p3.y, d.p3.z};
    resbuf* head =
        zcutBuildList(1001, kHatchApp, 1070, d.kind, 1040, d.scale, 1040, d.angle, 1000, d.pattern.c_str(),
                      1011, p1, 1011, p2, 1011, p3, 1000, d.layer.c_str(), 1040, d.shift, 0);
    resbuf* tail = head;
    while (tail->rbnext) tail = tail->rbnext;
    auto append = [&tail](resbuf* node) {
        tail->rbnext = node;
        while (tail->rbnext) tail = tail->rbnext;
    };
    for (const FaceRecord* loop = loops; loop; loop = loop->next) {
        append(zcutBuildList(1002, "{", 0));
        for (const VertexNode* v = loop->corners; v; v = v->next) {
            ads_point p{v->x, v->y, v->z + zRaise};
            append(zcutBuildList(1011, p, 0));
            if (withFlags) append(zcutBuildList(1070, v->edgeFlag, 0));
        }
        append(zcutBuildList(1002, "}", 0));
    }
    return head;
}

FaceRecord* ParseHatchRecord(const resbuf* r, HatchXData& d) {
    // Start at the record's kind; stop at the next application's xdata.
    while (r && r->restype != 1070) {
        if (r->restype == 1001 && r->resval.rstring && !zcutEqualsNoCase(r->resval.rstring, kHatchApp))
            return nullptr;
        r = r->rbnext;
    }
    auto take = [&r](int code) -> const resbuf* {
        if (!r || r->restype != code) return nullptr;
        const resbuf* node = r;
        r = r->rbnext;
        return node;
    };
    auto point = [](const resbuf* node) {
        return Point3{node->resval.rpoint[0], node->resval.rpoint[1], node->resval.rpoint[2]};
    };
    const resbuf* kind = take(1070);
    const resbuf* scale = take(1040);
    const resbuf* angle = take(1040);
    const resbuf* pattern = take(1000);
    const resbuf* p1 = take(1011);
    const resbuf* p2 = take(1011);
    const resbuf* p3 = take(1011);
    const resbuf* layer = take(1000);
    if (!kind || !scale || !angle || !pattern || !p1 || !p2 || !p3 || !layer) return nullptr;
    d.kind = kind->resval.rint;
    d.scale = scale->resval.rreal;
    d.angle = angle->resval.rreal;
    d.pattern = pattern->resval.rstring ? pattern->resval.rstring : "";
    d.p1 = point(p1);
    d.p2 = point(p2);
    d.p3 = point(p3);
    d.layer = layer->resval.rstring ? layer->resval.rstring : "";
    const resbuf* shift = take(1040);
    d.shift = shift ? shift->resval.rreal : 0.0;

    FaceRecord* head = nullptr;
    FaceRecord** next = &head;
    while (r && r->restype != 1001) {
        const resbuf* open = take(1002);
        if (!open || !open->resval.rstring || std::strcmp(open->resval.rstring, "{") != 0)
            return FreeList(head);
        auto* loop = new FaceRecord;
        *next = loop;
        next = &loop->next;
        VertexNode* last = nullptr;
        for (;;) {
            if (const resbuf* p = take(1011)) {
                Point3 q = point(p);
                last = AppendVertex(&loop->corners, q, 0, 0, 0);
                continue;
            }
            if (const resbuf* flag = take(1070)) {
                if (!last) return FreeList(head);
                last->edgeFlag = flag->resval.rint;
                continue;
            }
            const resbuf* close = take(1002);
            if (!close || !close->resval.rstring || std::strcmp(close->resval.rstring, "}") != 0)
                return FreeList(head);
            break;
        }
    }
    return head;
}

// ------------------------------------------------------------- helpers

namespace {

bool ContourUsable(const FaceRecord* contour, double n[4]) {
    if (!contour || CountNodes(contour->corners) < 3) return false;
    if (!PolygonNormal(contour->corners, n[0], n[1], n[2], n[3])) return false;
    const VertexNode* a = contour->corners;
    return HostDistance(a->pt(), a->next->pt()) >= GeomEpsilon;
}

std::string HatchLayerName(const std::string& layer, int kind) {
    HatchLayerKey key = HatchLayerKeyFor(layer, kind);
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    std::string name = key.key;
    EnsureLayer(name, table, key.useLevel, key.level, true);
    return name;
}

ZcDbHatch* NewHatch(const std::string& layer, double angleDegrees, double scale, const std::string& pattern) {
    auto* hatch = new ZcDbHatch;
    hatch->setPatternScale(scale);
    hatch->setPatternAngle(angleDegrees * std::numbers::pi / 180.0);
    hatch->setAssociative(false);
    hatch->setPatternDouble(false);
    hatch->setLayer(layer);
    hatch->setAssociative(false);
    hatch->setPatternDouble(false);
    const bool custom = IsCustomPattern(pattern, kHatchApp);
    hatch->setPattern(custom ? ZcDbHatch::kCustomDefined : ZcDbHatch::kPreDefined, pattern);
    return hatch;
}

// The loops as closed 2D polylines in the hatch's plane; the hatch is
// deleted when a loop is refused.
bool AddLoops(ZcDbHatch* hatch, const FaceRecord* contour, const Matrix4* toPlane, double zRaise) {
    bool first = true;
    for (const FaceRecord* loop = contour; loop; loop = loop->next) {
        std::vector<ZcGePoint2d> points;
        for (const VertexNode* v = loop->corners; v; v = v->next) {
            Point3 p{v->x, v->y, v->z + zRaise};
            if (toPlane) TransformPoint(*toPlane, p, p);
            points.push_back({p.x, p.y});
        }
        if (points.empty()) continue;
        points.push_back(points.front());
        int type = (first ? ZcDbHatch::kExternal : ZcDbHatch::kDefault) | ZcDbHatch::kPolyline;
        if (hatch->appendLoop(type, points) != Zcad::eOk) {
            delete hatch;
            return false;
        }
        first = false;
    }
    return true;
}

bool Evaluated(ZcDbHatch* hatch) {
    if (host::evaluateHatch(*hatch) == Zcad::eOk) return true;
    zcutPrintf("%s", kHatchTooDenseMessage);
    delete hatch;
    return false;
}

ZcDbXform ToXform(const Matrix4& m) {
    ZcDbXform x;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) x.m[i][j] = m.m[i][j];
    return x;
}

void RegisterHatchApp() {
    if (host::ResbufList(zcdbTblSearch("APPID", kHatchApp, 0))) return;
    zcdbRegApp(kHatchApp);
}

}  // namespace

// ------------------------------------------------------------- shared makers

ZcDbHatch* NewModuleHatch(const std::string& layer, double angleDegrees, double scale,
                          const std::string& pattern) {
    return NewHatch(layer, angleDegrees, scale, pattern);
}

bool EvaluateModuleHatch(ZcDbHatch* hatch) {
    return Evaluated(hatch);
}

bool AppendToBlock(const std::string& blockName, ZcDbEntity* entity) {
    ZcDbDatabase* db = GetWorkingDatabase();
    // The entity closes (or, never appended, is deleted) before its block.
    ZcDbObjectPointer<ZcDbBlockTableRecord> block;
    ZcDbObjectPointer<ZcDbEntity> owned(entity);
    ZcDbObjectId blockId = db ? db->recordId(db->blockTableId(), blockName) : ZcDbObjectId();
    if (blockId.isNull() || block.open(blockId, ZcDb::kForWrite) != Zcad::eOk) return false;
    return block->appendZcDbEntity(entity) == Zcad::eOk;
}

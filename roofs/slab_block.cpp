// The slab block writer and the slab layers.
//
// Faces are written straight into a pending anonymous block (BLOCK "*U" ...
// ENDBLK through entity make); the block's name comes from the host after
// ENDBLK. Every z is lowered by the base elevation because the INSERT is
// made at (0, 0, base). A break asked for during the ear clipping abandons
// the pending block, so a slab is either written whole or not at all.
#include "roofs/slab_block.h"

#include <cmath>
#include <vector>

#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/polygon.h"
#include "core/hatch.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/prompts.h"
#include "roofs/slab_ears.h"

namespace {

bool HasThickness(double t) {
    return std::fabs(t) > GeomEpsilon;
}

void WriteFace(const std::string& layer, const Point3 (&p)[4], double dz, int flags70) {
    if (layer.empty()) return;
    ads_point c[4];
    for (int i = 0; i < 4; ++i) {
        c[i][0] = p[i].x;
        c[i][1] = p[i].y;
        c[i][2] = p[i].z + dz;
    }
    const host::ResbufList face(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, c[0], 11, c[1],
                                              12, c[2], 13, c[3], 70, flags70, 0));
    zcdbEntMake(face.get());
}

void WriteLine(const std::string& layer, const Point3& a, const Point3& b) {
    if (layer.empty()) return;
    const ads_point p{a.x, a.y, 0.0}, q{b.x, b.y, 0.0};
    const host::ResbufList line(
        zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 62, 256, 10, p, 11, q, 39, 0.0, 0));
    zcdbEntMake(line.get());
}

void AdjustApproximatedFlags(CFALDA& record) {
    for (ContourNode* k = record.loops; k; k = k->next) {
        for (VertexNode* v = k->vertices; v; v = v->next) {
            if (record.hideApproximated) {
                if (v->edgeFlag == 100)
                    v->edgeFlag = 98;
                else if (v->edgeFlag == 101)
                    v->edgeFlag = 99;
            } else {
                if (v->edgeFlag == 98)
                    v->edgeFlag = 100;
                else if (v->edgeFlag == 99)
                    v->edgeFlag = 101;
            }
        }
    }
}

int SideFlags(int reduced, int mask) {
    switch (reduced) {
        case -2:
            return 15;
        case -1:
            return mask + 10;
        case 0:
            return 5;
        default:
            return mask;
    }
}

void WriteSideFaces(const CFALDA& record, double T, double dz, const int keyPair[2]) {
    int index = 0;
    for (const ContourNode* k = record.loops; k; k = k->next, ++index) {
        const int mask = index == 0 ? keyPair[0] + 4 * keyPair[1] : 0;
        for (const VertexNode* v = k->vertices; v; v = v->next) {
            const VertexNode* w = NextInRing<const VertexNode>(k->vertices, v);
            const Point3 p[4] = {v->pt(), w->pt(), {w->x, w->y, w->z + T}, {v->x, v->y, v->z + T}};
            WriteFace(record.sideLayer, p, dz, SideFlags(ReducedEdgeFlag(v->edgeFlag), mask));
        }
    }
}

// The host refuses an entity whose xdata passes kSlabXDataLimit bytes; a
// record that would pass it keeps its head on the INSERT, with the vertex
// count as a 1071 after the flag word, and its loops go in pieces of at
// most kCarrierPairs vertices onto invisible carrier faces of the block
// (see GetSlabXData).
constexpr int kCarrierPairs = 500;

std::size_t SlabXDataSize(const CFALDA& record) {
    auto text = [](const std::string& s) { return 2 + s.size() + 2; };
    const int key = record.edgeKey >= 0 && record.edgeKey < 4 ? record.edgeKey : 0;
    std::size_t n = text(kSlabApp) + text(record.name) + text(kSlabEdgeKeys[key]) + (2 + 8) + (2 + 2);
    for (const ContourNode* k = record.loops; k; k = k->next)
        n += 2 * text("{") + static_cast<std::size_t>(CountNodes(k->vertices)) * ((2 + 24) + (2 + 2));
    return n;
}

struct SlabXData {
    host::ResbufList insert;        // from the -3 marker on
    std::vector<resbuf*> carriers;  // the same, one per carrier face
};

SlabXData BuildSlabXData(const CFALDA& record) {
    SlabXData out;
    const int key = record.edgeKey >= 0 && record.edgeKey < 4 ? record.edgeKey : 0;
    out.insert.reset(zcutBuildList(-3, 1001, kSlabApp, 1000, record.name.c_str(), 1000, kSlabEdgeKeys[key],
                                   1040, record.thickness, 1070, record.FlagWord(), 0));
    const bool split = SlabXDataSize(record) > kSlabXDataLimit;
    resbuf* tail = out.insert.get();
    while (tail->rbnext) tail = tail->rbnext;
    auto append = [&](resbuf* part) {
        tail->rbnext = part;
        while (tail->rbnext) tail = tail->rbnext;
    };
    if (split) {
        int total = 0;
        for (const ContourNode* k = record.loops; k; k = k->next) total += CountNodes(k->vertices);
        append(zcutBuildList(1071, total, 0));
    }
    int pairs = kCarrierPairs;  // in the current carrier
    int index = 0;
    for (const ContourNode* k = record.loops; k; k = k->next, ++index) {
        bool open = false;
        for (const VertexNode* v = k->vertices; v; v = v->next) {
            if (split && pairs == kCarrierPairs) {
                if (open) append(zcutBuildList(1002, "}", 0));
                out.carriers.push_back(zcutBuildList(-3, 1001, kSlabApp, 0));
                tail = out.carriers.back();
                while (tail->rbnext) tail = tail->rbnext;
                pairs = 0;
                open = false;
            }
            if (!open) {
                if (split) append(zcutBuildList(1071, index, 0));
                append(zcutBuildList(1002, "{", 0));
                open = true;
            }
            const ads_point p{v->x, v->y, v->z};
            append(zcutBuildList(1011, p, 1070, v->edgeFlag, 0));
            ++pairs;
        }
        if (!open) append(zcutBuildList(1002, "{", 0));
        append(zcutBuildList(1002, "}", 0));
    }
    return out;
}

// A face with every edge hidden and its corners at one point: it draws
// nothing and only carries a piece of the record.
void WriteCarrier(const std::string& layer, const Point3& at, double dz, resbuf* xdata) {
    const ads_point c{at.x, at.y, at.z + dz};
    const host::ResbufList face(zcutBuildList(RTDXF0, "3DFACE", 8, layer.empty() ? "0" : layer.c_str(), 62,
                                              256, 10, c, 11, c, 12, c, 13, c, 70, 15, 0));
    resbuf* tail = face.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata;
    zcdbEntMake(face.get());
}

}  // namespace

resbuf* MakeSlabBlock(CFALDA& record, std::string& blockName, RingNode* ring, double baseElevation) {
    blockName.clear();
    if (!host::ResbufList(zcdbTblSearch("APPID", kSlabApp, 0))) zcdbRegApp(kSlabApp);

    AdjustApproximatedFlags(record);
    // The face flags tell loops apart by their index.
    RenumberSlabLoops(record.loops);
    int keyPair[2];
    SlabKeyPair(record.edgeKey, keyPair);

    const ads_point origin{0.0, 0.0, 0.0};
    const host::ResbufList block(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 1, 2, "*U", 10, origin, 0));
    if (zcdbEntMake(block.get()) != RTNORM) {
        FreeList(ring);
        return nullptr;
    }

    const double T = SlopeLength(record.thickness, record.slope);
    const double dz = -baseElevation;
    const bool thick = HasThickness(record.thickness);
    if (thick) WriteSideFaces(record, T, dz, keyPair);

    const ContourNode* loops = record.loops;
    auto face = [&](const VertexNode* a, const VertexNode* b, const VertexNode* c) {
        int flags[2];
        GetFaceEdgeFlags(flags, keyPair, a, b, c, loops);
        const Point3 bottom[4] = {a->pt(), b->pt(), c->pt(), a->pt()};
        WriteFace(record.bottomLayer, bottom, dz, flags[0]);
        if (thick) WriteFace(record.topLayer, bottom, dz + T, flags[1]);
    };
    if (!ClipSlabRing(ring, face, &HostUserBreak)) {
        zcdbEntMake(nullptr);
        return nullptr;
    }

    if (record.draw2D) {
        for (const ContourNode* k = record.loops; k; k = k->next)
            for (const VertexNode* v = k->vertices; v; v = v->next)
                WriteLine(record.layer2d, v->pt(), NextInRing<const VertexNode>(k->vertices, v)->pt());
    }

    SlabXData xdata = BuildSlabXData(record);
    if (!xdata.carriers.empty()) {
        const VertexNode* first = record.loops ? record.loops->vertices : nullptr;
        const Point3 at = first ? first->pt() : Point3{0.0, 0.0, 0.0};
        for (resbuf* carrier : xdata.carriers) WriteCarrier(record.bottomLayer, at, dz, carrier);
    }
    const host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (zcdbEntMake(end.get()) != RTNORM) return nullptr;
    char name[260] = "";
    zcedGetInput(name);
    blockName = name;
    return xdata.insert.release();
}

FaceRecord* LoopsAsHatchContour(const ContourNode* loops) {
    FaceRecord* head = nullptr;
    FaceRecord** tail = &head;
    for (const ContourNode* k = loops; k; k = k->next) {
        auto* loop = new FaceRecord;
        loop->corners = CopyVertexList(k->vertices);
        for (VertexNode* v = loop->corners; v; v = v->next) v->edgeFlag = 0;
        *tail = loop;
        tail = &loop->next;
    }
    return head;
}

bool RewriteSlab(CFALDA& record, const ads_name insert, double baseElevation, ContourNode* newLoops) {
    if (newLoops) {
        for (ContourNode* k = newLoops; k; k = k->next)
            for (VertexNode* v = k->vertices; v; v = v->next)
                if (v->edgeFlag < 0) v->edgeFlag = 0;
        record.SetLoops(CopySlabLoops(newLoops));
    }
    RingNode* ring = BridgeHoles(record.loops);
    std::string blockName;
    host::ResbufList xdata(MakeSlabBlock(record, blockName, ring, baseElevation));
    if (!xdata) return false;

    const host::ResbufList list(zcdbEntGet(insert));
    if (!list) return false;
    std::string layer = record.name;
    if (record.linkedToFloor) MakeLevelLayerName(layer, baseElevation);
    // Both codes take strings, so the list keeps its head.
    ReplaceRb(list.get(), 2, blockName.c_str());
    ReplaceRb(list.get(), 8, layer.c_str());
    const ads_point at{0.0, 0.0, baseElevation};
    SetRbPoint(list.get(), 10, at);
    SetRbReal(list.get(), 50, 0.0);
    for (int code : {41, 42, 43})
        if (resbuf* scale = FindRbCode(list.get(), code)) scale->resval.rreal = 1.0;
    resbuf* tail = list.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata.release();
    zcdbEntMod(list.get());

    if (record.hatch.kind != 0) {
        zcdbEntDel(record.hatch.entity);
        HatchSlabAgain(record, record.hatch.kind);
    }
    return true;
}

void HatchSlabAgain(CFALDA& record, int kind) {
    ads_name before{0, 0};
    const bool hadLast = zcdbEntLast(before) == RTNORM;
    FaceRecord* contour = LoopsAsHatchContour(record.loops);
    const double T = SlopeLength(record.thickness, record.slope);
    const std::string& hatchLayer = record.hatch.data.layer.empty() ? record.name : record.hatch.data.layer;
    HatchContour(contour, hatchLayer, &record.hatch.data.angle, &record.hatch.data.scale, &T,
                 record.hatch.data.pattern, kind);
    FreeList(contour);
    // The record must name the hatch now over the slab: naming the erased
    // one would have the next rewrite erase it again (an erase of an erased
    // entity brings it back) and leave two hatches.
    ads_name last{0, 0};
    if (zcdbEntLast(last) == RTNORM && !(hadLast && ads_name_equal(last, before))) {
        record.hatch.kind = kind;
        ads_name_set(last, record.hatch.entity);
    } else {
        record.hatch.kind = 0;
        record.hatch.entity[0] = record.hatch.entity[1] = 0;
    }
}

namespace {

void EnsureSlabLayer(std::string& name, const AAR_LAYERC& table) {
    if (!name.empty()) EnsureLayer(name, table, false, 0.0, true);
}

}  // namespace

void MakeSlabLayerName(CFALDA& record) {
    const std::string& n = record.name;
    if (record.singleLayer) {
        record.sideLayer = record.topLayer = record.bottomLayer = "3D" + n;
    } else {
        record.sideLayer = "3D" + n + "_S";
        record.topLayer = "3D" + n + "_T";
        record.bottomLayer = "3D" + n + "_B";
    }
    record.layer2d = "2D" + n;
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    EnsureSlabLayer(record.sideLayer, table);
    EnsureSlabLayer(record.topLayer, table);
    EnsureSlabLayer(record.bottomLayer, table);
    if (record.draw2D) EnsureSlabLayer(record.layer2d, table);
}

void Make2DSlabLayerName(CFALDA& record) {
    const std::string& n = record.name;
    record.sideLayer = record.topLayer = record.bottomLayer = n;
    const bool has3D = n.size() >= 2 && (n[0] == '3') && (n[1] == 'D' || n[1] == 'd');
    record.layer2d = "2D" + (has3D ? n.substr(2) : n);
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    EnsureSlabLayer(record.sideLayer, table);
    record.topLayer = record.bottomLayer = record.sideLayer;
    if (record.draw2D) EnsureSlabLayer(record.layer2d, table);
}

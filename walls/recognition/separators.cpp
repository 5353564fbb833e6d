// Cutting the chain's head segment at separator lines.
#include "walls/recognition/separators.h"

#include <memory>

#include "core/entity_data.h"
#include "core/level_layers.h"
#include "core/level_records.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/util/nocase.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/wall_type_marks.h"

namespace {

bool ReadSeparator(const ads_name entity, double level, SeparatorLine& out) {
    host::ResbufList apps(zcutBuildList(RTSTR, kSeparatorApp, 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    const resbuf* rb = FindXDataApp(list.get(), kSeparatorApp);
    while (rb && rb->restype != 1011) rb = rb->rbnext;
    if (!rb || !rb->rbnext) return false;
    const resbuf* second = rb->rbnext;
    if (second->restype != 1011 && second->restype != 1010 && second->restype != 10) return false;
    out.a = {rb->resval.rpoint[0], rb->resval.rpoint[1], level};
    out.b = {second->resval.rpoint[0], second->resval.rpoint[1], level};
    return true;
}

// The type of a piece from the first straight edge of its faces lying
// wholly on it.
void TypePiece(DEFMURI& set, WallSegment& piece) {
    for (const WallFace* f = piece.faces; f; f = f->next)
        for (const FaceEdge* e = f->edges; e; e = e->next) {
            if (!IsPointOnSegment(e->start, piece.start, piece.end) ||
                !IsPointOnSegment(e->end, piece.start, piece.end))
                continue;
            std::string name = e->wallTypeName;
            bool external = e->externalSide > 0;
            if (e->hasEntity()) ReadWallTypeXData(e->entity, name, external);
            if (!zcutEqualsNoCase(name, kDefaultWallTypeName)) {
                piece.typeName = name;
                set.ApplyWallType(piece);
            }
            return;
        }
}

}  // namespace

std::vector<SeparatorLine> ReadSeparators(double level) {
    std::vector<SeparatorLine> out;
    ForEachLevelRecord(kSeparatorApp, level, kLevelTolerance, [&](const ads_name entity) {
        SeparatorLine line;
        if (ReadSeparator(entity, level, line)) out.push_back(line);
    });
    return out;
}

void DEFMURI::SplitAtSeparators() {
    SplitHeadAtSeparators(ReadSeparators(level));
}

void DEFMURI::SplitHeadAtSeparators(const std::vector<SeparatorLine>& separators) {
    WallSegment* h = segments;
    if (!h || separators.empty()) return;
    for (;;) {
        double best = Distance2d(h->start, h->end);
        bool found = false;
        Point3 cut;
        for (const SeparatorLine& sep : separators) {
            Point3 x;
            if (!IntersectSegments(h->start, h->end, sep.a, sep.b, true, x)) continue;
            if (PointsEqual(x, h->start, true) || PointsEqual(x, h->end, true)) continue;
            const double d = Distance2d(h->start, x);
            if (d < best) {
                best = d;
                cut = x;
                found = true;
            }
        }
        if (!found) return;
        WallSegment* n = NewWallSegment();
        n->faces = h->faces;
        n->start = h->start;
        n->end = cut;
        h->start = cut;
        TypePiece(*this, *n);
        TypePiece(*this, *h);
        AppendSegment(n);
        SegmentMoved(h);
    }
}

#include "rooms/opening_marks.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "walls/graph/outline_kind.h"

namespace {

Point3 FirstPoint(const VertexNode* ring) {
    return ring ? ring->pt() : Point3{};
}

// Distance in plan of p from the line through a and b (from a when the
// line has no length).
double PlanDistanceToLine(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    if (length < GeomEpsilon) return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / length;
}

// 1 own side, 0 the other side, -1 no side. The outline's points: the
// jambs start on the opening's own face (points 3 and 4 of a wall opening;
// 4 and 6 of a corner object) and end on the other.
int OpeningSide(const OutlineNode& o, const FaceSegment& face) {
    switch (static_cast<OutlineKind>(o.kind)) {
        case OutlineKind::StraightWallOpening: {
            const Point3 p3 = FirstPoint(o.jamb1), p4 = FirstPoint(o.jamb2);
            const bool own = PlanDistanceToLine(p3, face.start, face.end) <= SharedTolerance &&
                             PlanDistanceToLine(p4, face.start, face.end) <= SharedTolerance;
            return own ? 1 : 0;
        }
        case OutlineKind::ArcWallOpening:
            return std::fabs(o.radiusA - face.radius) < GeomEpsilon ? 1 : 0;
        case OutlineKind::WallCorner: {
            const Point3 p4 = FirstPoint(o.jamb1), p6 = FirstPoint(o.jamb2);
            const bool own = IsOnSegmentTol(p4, face.start, face.end, SharedTolerance) ||
                             IsOnSegmentTol(p6, face.start, face.end, SharedTolerance);
            return own ? 1 : 0;
        }
        default:
            return -1;
    }
}

// Item `item` (from 1) of a mark record's groups, when it is of `code`.
ZcDbDxfItem* MarkItem(std::vector<ZcDbDxfItem>& items, std::size_t item, int code) {
    return item >= 1 && item <= items.size() && items[item - 1].code == code ? &items[item - 1] : nullptr;
}

void SetText(std::vector<ZcDbDxfItem>& items, std::size_t item, std::string_view text) {
    if (ZcDbDxfItem* it = MarkItem(items, item, 1000)) it->text = text;
}

void SetInt(std::vector<ZcDbDxfItem>& items, std::size_t item, int value) {
    if (ZcDbDxfItem* it = MarkItem(items, item, 1070)) it->integer = static_cast<short>(value);
}

}  // namespace

const resbuf* MarkRecordItem(const resbuf* app, int item) {
    const resbuf* rb = app ? app->rbnext : nullptr;
    for (int i = 1; rb && rb->restype != 1001; ++i, rb = rb->rbnext)
        if (i == item) return rb;
    return nullptr;
}

resbuf* MarkRecordItem(resbuf* app, int item) {
    return const_cast<resbuf*>(MarkRecordItem(static_cast<const resbuf*>(app), item));
}

resbuf* ReadMarkRecord(const ads_name entity, resbuf*& app) {
    app = nullptr;
    const host::ResbufList apps(zcutBuildList(RTSTR, kAbInfissiObjApp, 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    app = FindXDataApp(list.get(), kAbInfissiObjApp);
    return app ? list.release() : nullptr;
}

void GetOpeningTypeAndNumber(const ads_name entity, int& number, std::string& kind) {
    number = 0;
    kind.clear();
    resbuf* app = nullptr;
    const host::ResbufList list(ReadMarkRecord(entity, app));
    if (!list) return;
    const resbuf* word = MarkRecordItem(app, 2);
    if (word && word->restype == 1000 && word->resval.rstring)
        TranslateOpeningType(word->resval.rstring, kind, true);
    const resbuf* mark = MarkRecordItem(app, 8);
    if (mark && mark->restype == 1070) number = mark->resval.rint;
}

bool RecordOpeningRoom(const OutlineNode& opening, const FaceSegment& face, int roomNumber,
                       std::string_view roomName, int textFlag, int valueFlag, std::string_view text,
                       double value) {
    if (opening.entity[0] == 0 && opening.entity[1] == 0) return true;
    const int side = OpeningSide(opening, face);
    if (side < 0) return true;
    // The record's groups edited where they are: reading the door's whole
    // list and feeding it back was most of what a room's openings cost.
    return host::modifyXDataApp(opening.entity, kAbInfissiObjApp, [&](std::vector<ZcDbDxfItem>& items) {
               if (textFlag > 0) SetText(items, 4, text);
               if (valueFlag > 0)
                   if (ZcDbDxfItem* it = MarkItem(items, 6, 1040)) it->real[0] = value;
               SetInt(items, side ? 16 : 18, roomNumber);
               SetText(items, side ? 17 : 19, roomName);
           }) != RTERROR;
}

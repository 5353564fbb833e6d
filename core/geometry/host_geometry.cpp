// Host adapters of the geometry toolkit. Each one turns a kernel's plain
// records into host calls (entity lists, prompts) or the other way round;
// none of them computes geometry of its own.
#include "core/geometry/host_geometry.h"

#include <cstring>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "store/settings_store.h"

int EmitFaces(const std::string& layer, const FaceRecord* faces) {
    int made = 0;
    for (const FaceRecord* f = faces; f; f = f->next) {
        FaceEntityData d = FaceToEntityData(*f);
        ads_point c[4];
        for (int i = 0; i < 4; ++i) {
            c[i][0] = d.corners[i].x;
            c[i][1] = d.corners[i].y;
            c[i][2] = d.corners[i].z;
        }
        const host::ResbufList list(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, c[0], 11,
                                                  c[1], 12, c[2], 13, c[3], 70, d.flags70, 0));
        if (list && zcdbEntMake(list.get()) == RTNORM) ++made;
    }
    return made;
}

PointAnswer HostPointInputPort::GetPoint(const Point3* base, const std::string& prompt,
                                         const std::string& keywords, bool noNull) {
    zcedInitGet(noNull ? 1 : 0, keywords.empty() ? nullptr : keywords.c_str());
    ads_point from{0, 0, 0}, result{0, 0, 0};
    if (base) {
        from[0] = base->x;
        from[1] = base->y;
        from[2] = base->z;
    }
    int rc = zcedGetPoint(base ? from : nullptr, prompt.c_str(), result);
    PointAnswer answer;
    switch (rc) {
        case RTNORM:
            answer.kind = PointAnswer::Kind::Point;
            answer.point = {result[0], result[1], result[2]};
            break;
        case RTKWORD: {
            char text[512] = "";
            zcedGetInput(text);
            answer.kind = PointAnswer::Kind::Keyword;
            answer.keyword = text;
            break;
        }
        case RTNONE:
            answer.kind = PointAnswer::Kind::None;
            break;
        case RTCAN:
            answer.kind = PointAnswer::Kind::Cancel;
            break;
        default:
            answer.kind = PointAnswer::Kind::Error;
            break;
    }
    return answer;
}

void HostPointInputPort::DrawVector(const Point3& from, const Point3& to, int colour) {
    ads_point a{from.x, from.y, from.z}, b{to.x, to.y, to.z};
    zcedGrDraw(a, b, colour, 0);
}

void HostPointInputPort::Redraw() {
    zcedRedraw(nullptr, 0);
}

void HostPointInputPort::Alert(const std::string& text) {
    zcedAlert(text.c_str());
}

std::optional<PolylineData> ReadPolylineData(const ads_name entity) {
    const host::ResbufList list(zcdbEntGet(entity));
    if (!list) return std::nullopt;
    PolylineData data;
    bool isLw = false;
    for (const resbuf* r = list.get(); r; r = r->rbnext) {
        switch (r->restype) {
            case 0:
                isLw = r->resval.rstring && std::strcmp(r->resval.rstring, "LWPOLYLINE") == 0;
                break;
            case 10:
                data.vertices.push_back({r->resval.rpoint[0], r->resval.rpoint[1], 0.0});
                break;
            case 42:
                // A bulge belongs to the vertex read just before it.
                if (!data.vertices.empty()) data.vertices.back().bulge = r->resval.rreal;
                break;
            case 70:
                data.closed = (r->resval.rint & 1) != 0;
                break;
            case 38:
                data.elevation = r->resval.rreal;
                break;
            case 210:
                data.normal = {r->resval.rpoint[0], r->resval.rpoint[1], r->resval.rpoint[2]};
                break;
            default:
                break;
        }
    }
    if (!isLw) return std::nullopt;
    return data;
}

VertexNode* PolylineEntityToPolygon(const ads_name entity, const Point3& pick, int n) {
    std::optional<PolylineData> data = ReadPolylineData(entity);
    if (!data) return nullptr;
    OutlineReport report;
    VertexNode* outline = PolylineToPolygon(*data, pick, n, DrawingChordStep(), &report);
    ShowOutlineReport(report);
    return outline;
}

double DrawingChordStep() {
    return GetScaleFactor(0);
}

bool HostUserBreak() {
    return zcedUsrBrk() != 0;
}

void ShowOutlineReport(const OutlineReport& report) {
    if (report.arcTooCoarse) zcedAlert(kArcTooCoarseMessage);
    if (report.notClosed) zcutPrintf("%s", kOutlineNotClosedMessage);
}

// Temporary graphics and preview drawing, recorded instead of shown.
//
// zcedGrDraw/zcedGrVecs draw vectors over the drawing in XOR mode: a
// vector drawn again where the same vector already shows (same colour,
// same ends in either order) removes it, as XOR ink cancels itself. A
// whole-screen redraw (zcedRedraw with no entity, or "_REDRAW"/"_REGEN")
// clears them. zcedRedraw on an entity: 1 redraw, 2 undraw (hidden until
// the next redraw), 3 highlight, 4 unhighlight.
//
// The drawing interfaces an entity's worldDraw receives record what it
// draws: polylines, polygons, circles, circular arcs and text, each with
// the sub-entity colour in force when it was drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/db/dbid.h"
#include "host/ge/gebase.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

class ZcDbEntity;

int zcedGrDraw(const ads_point from, const ads_point to, int color, int hl);
// A list of (RTSHORT colour) and (RT3DPOINT from, RT3DPOINT to) pairs;
// the matrix (may be null) transforms the points first. RTERROR on a
// malformed list, with nothing drawn.
int zcedGrVecs(const resbuf* vlist, ads_matrix mat);
int zcedRedraw(const ads_name ent, int mode);

namespace ZcGiArcType {
enum Type { kZcGiArcSimple = 0, kZcGiArcSector = 1, kZcGiArcChord = 2 };
}

// One recorded primitive.
struct ZcGiPrimitive {
    enum Kind { kPolyline, kPolygon, kCircle, kCircularArc, kText } kind = kPolyline;
    int color = 256;
    std::vector<ZcGePoint3d> points;  // polylines and polygons
    ZcGePoint3d center;               // circles, arcs; text position
    double radius = 0;
    ZcGeVector3d normal{0, 0, 1};
    ZcGeVector3d startVector{1, 0, 0};  // arcs: from centre to start
    double sweepAngle = 0;              // arcs, counter-clockwise about the normal
    std::string text;
    double height = 0;
    ZcGeVector3d direction{1, 0, 0};  // text baseline
};

class ZcGiSubEntityTraits {
public:
    void setColor(std::uint16_t color) { color_ = color; }
    std::uint16_t color() const { return color_; }
    void setLayer(ZcDbObjectId layer) { layer_ = layer; }
    ZcDbObjectId layerId() const { return layer_; }
    void setLineWeight(int weight) { weight_ = weight; }
    int lineWeight() const { return weight_; }

private:
    std::uint16_t color_ = 256;
    ZcDbObjectId layer_;
    int weight_ = -1;
};

class ZcGiWorldGeometry {
public:
    explicit ZcGiWorldGeometry(std::vector<ZcGiPrimitive>& out, const ZcGiSubEntityTraits& traits)
        : out_(out), traits_(traits) {}
    bool polyline(std::uint32_t nbPoints, const ZcGePoint3d* points, const ZcGeVector3d* normal = nullptr,
                  std::int32_t subEntMarker = -1);
    bool polygon(std::uint32_t nbPoints, const ZcGePoint3d* points);
    bool circle(const ZcGePoint3d& center, double radius, const ZcGeVector3d& normal);
    bool circularArc(const ZcGePoint3d& center, double radius, const ZcGeVector3d& normal,
                     const ZcGeVector3d& startVector, double sweepAngle,
                     ZcGiArcType::Type arcType = ZcGiArcType::kZcGiArcSimple);
    // The arc from start through point to end (recorded as a centre, radius
    // and sweep); three points in a line draw the straight segment.
    bool circularArc(const ZcGePoint3d& start, const ZcGePoint3d& point, const ZcGePoint3d& end,
                     ZcGiArcType::Type arcType = ZcGiArcType::kZcGiArcSimple);
    bool text(const ZcGePoint3d& position, const ZcGeVector3d& normal, const ZcGeVector3d& direction,
              double height, double width, double oblique, const char* pMsg);

private:
    std::vector<ZcGiPrimitive>& out_;
    const ZcGiSubEntityTraits& traits_;
};

// The recording world draw: what one worldDraw call drew.
class ZcGiWorldDraw {
public:
    ZcGiWorldDraw() : geometry_(prims_, traits_) {}
    ZcGiWorldDraw(const ZcGiWorldDraw&) = delete;
    ZcGiWorldDraw& operator=(const ZcGiWorldDraw&) = delete;
    ZcGiWorldGeometry& geometry() { return geometry_; }
    ZcGiWorldGeometry& rawGeometry() { return geometry_; }
    ZcGiSubEntityTraits& subEntityTraits() { return traits_; }
    bool isDragging() const { return dragging_; }
    void setDragging(bool on) { dragging_ = on; }
    bool regenAbort() const { return false; }

    const std::vector<ZcGiPrimitive>& primitives() const { return prims_; }
    void clear() { prims_.clear(); }

private:
    std::vector<ZcGiPrimitive> prims_;
    ZcGiSubEntityTraits traits_;
    ZcGiWorldGeometry geometry_;
    bool dragging_ = false;
};

namespace host {

struct TempVector {
    ZcGePoint3d from, to;
    int color = 7;
    bool highlighted = false;
};
// The temporary vectors showing now, in drawing order.
const std::vector<TempVector>& temporaryVectors();
// Entities undrawn by zcedRedraw mode 2 and not yet redrawn.
bool isUndrawn(ZcDbObjectId id);
// A whole-screen redraw: temporary graphics go, undrawn entities return.
void redrawScreen();
void resetTemporaryGraphics();

// What the entity's worldDraw draws, recorded.
std::vector<ZcGiPrimitive> recordWorldDraw(ZcDbEntity* ent, bool dragging = false);

}  // namespace host

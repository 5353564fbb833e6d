// The geometry toolkit's doors to the host: faces written as 3DFACE
// entities, the point-by-point polygon input on the host's prompts, a
// lightweight polyline read from the drawing into a PolylineData, the
// drawing's chord step and the user-break test. The kernels stay free of the
// host; only this unit and its callers touch the drawing and the prompts.
#pragma once

#include <optional>
#include <string>

#include "core/geometry/outline.h"
#include "core/geometry/point_input.h"
#include "core/geometry/triangulate.h"
#include "host/util/adscodes.h"

// Writes one 3DFACE per face record on `layer` (colour by layer); the
// number of faces made. A face the host refuses is skipped.
int EmitFaces(const std::string& layer, const FaceRecord* faces);

// PointInputPort over the host's prompts: keywords armed with zcedInitGet,
// the rubber band from the base point, temporary vectors in XOR colour.
class HostPointInputPort : public PointInputPort {
public:
    PointAnswer GetPoint(const Point3* base, const std::string& prompt, const std::string& keywords,
                         bool noNull) override;
    void DrawVector(const Point3& from, const Point3& to, int colour) override;
    void Redraw() override;
    void Alert(const std::string& text) override;
};

// The LWPOLYLINE `entity` as a PolylineData (groups 10, 42, 70, 38, 210);
// nullopt when it cannot be read or is not a lightweight polyline.
std::optional<PolylineData> ReadPolylineData(const ads_name entity);

// The outline holding the picked piece of the polyline `entity`, with the
// drawing's chord step; the builder's report shown to the user. Null when
// the polyline cannot be read or gives no outline.
VertexNode* PolylineEntityToPolygon(const ads_name entity, const Point3& pick, int n);

// The drawing's default chord step for arcs (print scale factor 0).
double DrawingChordStep();

// True when the user asked to break off a long computation.
bool HostUserBreak();

// Shows what an outline builder reported: the coarse-arc alert and the
// not-closed message on the command line.
void ShowOutlineReport(const OutlineReport& report);

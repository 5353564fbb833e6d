// VELM_MUROJ: one wall segment while walls are drawn. It is the preview the
// wall jig shows under the cursor and it writes itself into the drawing as
// two wall faces (two LINEs, or two counter-clockwise ARCs) on the wall
// layer, each carrying the wall type in the "VELM5$_$DATITIPOMURO-" xdata;
// once written it keeps the faces' entity names to update or erase them.
//
// The class is registered with the host as a transient entity (parent
// "AcDbEntity"): it is never appended to a drawing, so it files nothing.
#pragma once

#include <string>

#include "host/db/dbentity.h"
#include "host/util/adscodes.h"
#include "walls/drawing/wall_segment.h"

struct LayerAttrEntry;

// The application of the wall-type record every wall face carries.
inline constexpr const char* kWallTypeApp = "VELM5$_$DATITIPOMURO-";

class VELM_MUROJ : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(VELM_MUROJ);
    static ZcRxObject* Create();
    static void rxInit();
    static void rxUninit();

    // Straight, counter-clockwise, no caps, nothing written.
    VELM_MUROJ();
    // The segment that follows `prev`: its faces' geometry, layer, wall type
    // and vertex, its end thickness as both thicknesses; straight,
    // counter-clockwise, without caps and without entities.
    void ContinueFrom(const VELM_MUROJ& prev);

    // Both faces in colour 2 (and the start cap when asked).
    bool worldDraw(ZcGiWorldDraw* wd) override;

    // Makes the two faces (and the start cap when the segment asks for
    // one), then hands `pending` (the layers whose attributes wait for the
    // first entity on them) to the linetype loader. False when a face could
    // not be made; what was made stays recorded for erasing.
    bool WriteWallSegments(const LayerAttrEntry* pending);
    // Writes the faces' present geometry into their entities.
    void UpdateSegmentEntities() const;
    // Erases the faces written (the start cap too) and forgets them.
    void EraseSegmentEntities();
    // A cap LINE across the wall between the faces' given ends, as the faces
    // are written; its name in `cap`.
    bool WriteCap(bool atEnd, ads_name cap) const;

    DrawnSegment seg;
    ads_name faceEntity[2] = {{0, 0}, {0, 0}};
    ads_name startCapEntity = {0, 0};
    std::string layer;
    std::string wallType;
    double unitFactor = 1.0;
};

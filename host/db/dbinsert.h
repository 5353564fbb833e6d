// Block references (INSERT) with their owned attributes and SEQEND, and
// paper-space viewports (VIEWPORT) with the list of layers frozen in them.
// A reference names its block; the block record is looked up by name
// (case-insensitive) in the database. A file layer writes INSERT, then
// attributeIds() in order, then seqendId() when there are attributes.
#pragma once

#include <memory>
#include <vector>

#include "host/db/dbents.h"
#include "host/db/dbowned.h"

class ZcDbBlockReference : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbBlockReference);
    ZcDbBlockReference() = default;
    ZcDbBlockReference(const ZcGePoint3d& position, ZcDbObjectId blockId);
    ~ZcDbBlockReference() override;

    ZcDbObjectId blockTableRecord() const;
    const std::string& blockName() const { return m_block; }
    Zcad::ErrorStatus setBlockTableRecord(ZcDbObjectId blockId);
    Zcad::ErrorStatus setBlockName(const std::string& name);
    ZcGePoint3d position() const { return zcdbOcsToWcs(m_position, m_normal); }
    Zcad::ErrorStatus setPosition(const ZcGePoint3d& p);
    ZcGeVector3d scaleFactors() const { return m_scale; }
    Zcad::ErrorStatus setScaleFactors(const ZcGeVector3d& s);
    double rotation() const { return m_rotation; }
    Zcad::ErrorStatus setRotation(double a);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);
    // Block coordinates → world coordinates.
    ZcDbXform blockTransform() const;

    // Attributes: as vertices of a polyline (see ZcDb2dPolyline).
    Zcad::ErrorStatus appendAttribute(ZcDbObjectId& id, ZcDbAttribute* attr);
    Zcad::ErrorStatus appendAttribute(ZcDbAttribute* attr);
    std::vector<ZcDbObjectId> attributeIds(bool skipErased = true) const;
    ZcDbObjectId seqendId() const { return m_attributes.seqend(); }
    void subAppendedToDb(ZcDbDatabase* db) override;
    void adoptAttributeId(ZcDbObjectId id) { m_attributes.adopt(id); }
    void adoptSeqendId(ZcDbObjectId id) { m_attributes.adoptSeqend(id); }

private:
    std::string m_block;
    ZcGePoint3d m_position;  // OCS
    ZcGeVector3d m_scale{1, 1, 1};
    double m_rotation = 0;
    ZcGeVector3d m_normal{0, 0, 1};
    ZcDbOwnedEntities m_attributes;
};

class ZcDbViewport : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbViewport);
    ZcGePoint3d centerPoint() const { return m_center; }
    Zcad::ErrorStatus setCenterPoint(const ZcGePoint3d& p);
    double width() const { return m_width; }
    double height() const { return m_height; }
    Zcad::ErrorStatus setWidth(double w);
    Zcad::ErrorStatus setHeight(double h);
    int number() const { return m_number; }
    Zcad::ErrorStatus setNumber(int n);
    bool isOn() const { return (m_status & 0x20000) != 0; }
    Zcad::ErrorStatus setOn();
    Zcad::ErrorStatus setOff();
    ZcGePoint2d viewCenter() const { return m_viewCenter; }
    Zcad::ErrorStatus setViewCenter(const ZcGePoint2d& p);
    double viewHeight() const { return m_viewHeight; }
    Zcad::ErrorStatus setViewHeight(double h);
    ZcGeVector3d viewDirection() const { return m_direction; }
    Zcad::ErrorStatus setViewDirection(const ZcGeVector3d& d);
    ZcGePoint3d viewTarget() const { return m_target; }
    Zcad::ErrorStatus setViewTarget(const ZcGePoint3d& p);
    double lensLength() const { return m_lens; }
    Zcad::ErrorStatus setLensLength(double mm);
    bool isPerspectiveOn() const { return (m_status & 0x1) != 0; }
    Zcad::ErrorStatus setPerspectiveOn();
    Zcad::ErrorStatus setPerspectiveOff();
    double twistAngle() const { return m_twist; }
    Zcad::ErrorStatus setTwistAngle(double a);
    // Front and back clipping planes: distances from the target along the
    // view direction, each used only while its flag of the status is on.
    double frontClipDistance() const { return m_frontClip; }
    Zcad::ErrorStatus setFrontClipDistance(double d);
    double backClipDistance() const { return m_backClip; }
    Zcad::ErrorStatus setBackClipDistance(double d);
    bool isFrontClipOn() const { return (m_status & 0x2) != 0; }
    Zcad::ErrorStatus setFrontClipOn();
    Zcad::ErrorStatus setFrontClipOff();
    bool isBackClipOn() const { return (m_status & 0x4) != 0; }
    Zcad::ErrorStatus setBackClipOn();
    Zcad::ErrorStatus setBackClipOff();
    // The ratio of paper height to model height shown.
    double customScale() const { return m_viewHeight > 0 ? m_height / m_viewHeight : 1.0; }

    // Per-viewport layer freezing.
    Zcad::ErrorStatus freezeLayersInViewport(const std::vector<ZcDbObjectId>& layers);
    Zcad::ErrorStatus thawLayersInViewport(const std::vector<ZcDbObjectId>& layers);
    Zcad::ErrorStatus thawAllLayersInViewport();
    bool isLayerFrozenInViewport(ZcDbObjectId layer) const;
    const std::vector<ZcDbObjectId>& frozenLayers() const { return m_frozen; }

private:
    ZcGePoint3d m_center;
    double m_width = 297, m_height = 210, m_viewHeight = 210, m_lens = 50, m_twist = 0;
    double m_frontClip = 0, m_backClip = 0;
    std::int16_t m_number = 2, m_statusField = 1;
    std::int32_t m_status = 0x20000 | 0x8000;
    ZcGePoint2d m_viewCenter;
    ZcGeVector3d m_direction{0, 0, 1};
    ZcGePoint3d m_target;
    std::vector<ZcDbObjectId> m_frozen;
};

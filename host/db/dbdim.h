// Dimensions: aligned, rotated and three-point angular. A dimension names
// its anonymous "*D" block (the picture the editor draws), may override its
// text (1; "<>" stands for the measurement), and keeps its definition points
// in WCS as the format does. Every kind is DXF "DIMENSION"; the subclass
// follows from group 70 (0 rotated, 1 aligned, 2 two-line angular, 5
// three-point angular): a reader picks the class with zcdbClassForDxf.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbentity.h"

class ZcDbDimension : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbDimension);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);

    ZcDbObjectId dimBlockId() const;
    const std::string& dimBlockName() const { return m_block; }
    Zcad::ErrorStatus setDimBlockId(ZcDbObjectId blockId);
    const std::string& dimensionText() const { return m_text; }
    Zcad::ErrorStatus setDimensionText(const std::string& text);
    ZcGePoint3d textPosition() const { return m_textPosition; }
    Zcad::ErrorStatus setTextPosition(const ZcGePoint3d& p);
    double textRotation() const { return m_textRotation; }
    Zcad::ErrorStatus setTextRotation(double a);
    const std::string& dimensionStyleName() const { return m_style; }
    ZcDbObjectId dimensionStyle() const;
    Zcad::ErrorStatus setDimensionStyle(const std::string& name);
    ZcGeVector3d normal() const { return m_normal; }
    // The dimension's own values of its style's real variables (group code
    // of the style record: 40 DIMSCALE, 140 DIMTXT …): kept where the
    // exchange format keeps per-dimension overrides, in the "ACAD" xdata
    // ("DSTYLE", "{", 1070 code, 1040 value, ..., "}"), beside any other
    // override, so they travel with the rest of the xdata and any reader
    // finds them. A change redraws the "*D" picture when the dimension,
    // already in a drawing, is closed.
    bool ownReal(int code, double& value) const;
    Zcad::ErrorStatus setOwnReal(int code, double value);
    // The own scale and text height, else the style's.
    double dimscale() const;
    double dimtxt() const;
    bool hasOwnDimscale() const;
    Zcad::ErrorStatus setDimscale(double scale);
    // The measured value: a length, or an angle in radians.
    virtual double measurement() const { return 0; }
    // The kind in group 70 (low bits).
    virtual int dimensionType() const = 0;

protected:
    std::string m_block, m_text, m_style = "STANDARD";
    ZcGePoint3d m_dimLinePoint, m_textPosition;  // 10, 11
    double m_textRotation = 0;
    std::int16_t m_attachment = 5;
    ZcGeVector3d m_normal{0, 0, 1};
    std::int16_t m_flagsRead = 0;
    bool m_pictureStale = false;

    void subClose() override;
};

// Draws a dimension's "*D" picture again (the dimension open for write);
// the editor installs it, so a dimension closed after its own scale changed
// shows the new sizes.
void zcdbSetDimensionPictureMaker(bool (*maker)(ZcDbDimension* dim));

class ZcDbAlignedDimension : public ZcDbDimension {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbAlignedDimension);
    ZCDB_DECLARE_FILING;
    void alignedFields(ZcDbFields& v);
    ZcDbAlignedDimension() = default;
    ZcDbAlignedDimension(const ZcGePoint3d& xLine1, const ZcGePoint3d& xLine2, const ZcGePoint3d& dimLine,
                         const std::string& text = "", ZcDbObjectId style = ZcDbObjectId());
    ZcGePoint3d xLine1Point() const { return m_x1; }
    ZcGePoint3d xLine2Point() const { return m_x2; }
    ZcGePoint3d dimLinePoint() const { return m_dimLinePoint; }
    Zcad::ErrorStatus setXLine1Point(const ZcGePoint3d& p);
    Zcad::ErrorStatus setXLine2Point(const ZcGePoint3d& p);
    Zcad::ErrorStatus setDimLinePoint(const ZcGePoint3d& p);
    double oblique() const { return m_oblique; }
    double measurement() const override;
    int dimensionType() const override { return 1; }
    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

protected:
    ZcGePoint3d m_x1, m_x2;
    double m_oblique = 0;
};

class ZcDbRotatedDimension : public ZcDbAlignedDimension {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbRotatedDimension);
    ZCDB_DECLARE_FILING;
    ZcDbRotatedDimension() = default;
    ZcDbRotatedDimension(double rotation, const ZcGePoint3d& xLine1, const ZcGePoint3d& xLine2,
                         const ZcGePoint3d& dimLine, const std::string& text = "");
    double rotation() const { return m_rotation; }
    Zcad::ErrorStatus setRotation(double a);
    double measurement() const override;
    int dimensionType() const override { return 0; }
    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

private:
    double m_rotation = 0;
};

class ZcDb3PointAngularDimension : public ZcDbDimension {
public:
    ZCRX_DECLARE_MEMBERS(ZcDb3PointAngularDimension);
    ZCDB_DECLARE_FILING;
    void angularFields(ZcDbFields& v);
    ZcDb3PointAngularDimension() = default;
    ZcDb3PointAngularDimension(const ZcGePoint3d& center, const ZcGePoint3d& xLine1,
                               const ZcGePoint3d& xLine2, const ZcGePoint3d& arcPoint,
                               const std::string& text = "");
    ZcGePoint3d centerPoint() const { return m_center; }
    ZcGePoint3d xLine1Point() const { return m_x1; }
    ZcGePoint3d xLine2Point() const { return m_x2; }
    ZcGePoint3d arcPoint() const { return m_dimLinePoint; }
    double measurement() const override;
    int dimensionType() const override { return 5; }
    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

private:
    ZcGePoint3d m_center, m_x1, m_x2;
};

// The angle between two lines: the first from 13 to 14, the second from 15
// to the dimension's own definition point (10); the arc passes through 16.
class ZcDb2LineAngularDimension : public ZcDbDimension {
public:
    ZCRX_DECLARE_MEMBERS(ZcDb2LineAngularDimension);
    ZCDB_DECLARE_FILING;
    void angularFields(ZcDbFields& v);
    ZcDb2LineAngularDimension() = default;
    ZcDb2LineAngularDimension(const ZcGePoint3d& xLine1Start, const ZcGePoint3d& xLine1End,
                              const ZcGePoint3d& xLine2Start, const ZcGePoint3d& xLine2End,
                              const ZcGePoint3d& arcPoint, const std::string& text = "");
    ZcGePoint3d xLine1Start() const { return m_x1Start; }
    ZcGePoint3d xLine1End() const { return m_x1End; }
    ZcGePoint3d xLine2Start() const { return m_x2Start; }
    ZcGePoint3d xLine2End() const { return m_dimLinePoint; }
    ZcGePoint3d arcPoint() const { return m_arcPoint; }
    double measurement() const override;
    int dimensionType() const override { return 2; }
    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

private:
    ZcGePoint3d m_x1Start, m_x1End, m_x2Start, m_arcPoint;
};

// The class a reader should make for an entity of this DXF name whose
// items are known: DIMENSION by its group 70; any other name as registered.
ZcRxClass* zcdbClassForDxf(const std::string& dxfName, const std::vector<ZcDbDxfItem>& items);
